#ifndef NXOPEN_SESSION_HXX_INCLUDED
#define NXOPEN_SESSION_HXX_INCLUDED
#include <uf_defs.h>

namespace NXOpen {
// The host session. One per process; never deleted by callers.
class Session {
public:
    static Session *GetSession();
    // Tag of the work part.
    tag_t WorkPartTag() const;

private:
    Session() = default;
};
}  // namespace NXOpen
#endif
