// Base of every object of the object interface that stands for a tagged host object.
#ifndef NXOPEN_TAGGEDOBJECT_HXX_INCLUDED
#define NXOPEN_TAGGEDOBJECT_HXX_INCLUDED
#include <uf_defs.h>

namespace NXOpen {
class TaggedObject {
public:
    explicit TaggedObject(tag_t tag = NULL_TAG) : m_tag(tag) {}
    virtual ~TaggedObject() = default;
    TaggedObject(const TaggedObject &) = delete;
    TaggedObject &operator=(const TaggedObject &) = delete;
    tag_t Tag() const { return m_tag; }
    tag_t GetTag() const { return m_tag; }

protected:
    tag_t m_tag;
};

class TransientObject {
public:
    TransientObject() = default;
    virtual ~TransientObject() = default;
    TransientObject(const TransientObject &) = delete;
    TransientObject &operator=(const TransientObject &) = delete;
};
}  // namespace NXOpen
#endif
