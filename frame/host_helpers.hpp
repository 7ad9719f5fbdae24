// Small wrappers around the host's C interface that every builder needs: the UF_initialize /
// UF_terminate bracket, object lists that are always released, and "%f" size texts.
#ifndef DIEKIT_FRAME_HOST_HELPERS_HPP
#define DIEKIT_FRAME_HOST_HELPERS_HPP

#include <uf.h>
#include <uf_defs.h>
#include <uf_modl.h>

#include <array>

namespace diekit::frame {

// Opens a host bracket for the lifetime of the object. Brackets nest (callback, then builder), and
// the bracket is closed on every path out, an exception included.
class HostBracket {
public:
    HostBracket() { UF_initialize(); }
    ~HostBracket() { UF_terminate(); }
    HostBracket(const HostBracket &) = delete;
    HostBracket &operator=(const HostBracket &) = delete;
};

struct NewEmptyList {};
inline constexpr NewEmptyList new_empty_list{};

// An object list owned by its creator: a new empty list, or one that a host query hands out
// through out(). The list is released with UF_MODL_delete_list when the object goes.
class ObjectList {
public:
    // A slot for the list that a query hands out through out().
    ObjectList() = default;
    // A new empty list made with UF_MODL_create_list.
    explicit ObjectList(NewEmptyList) { UF_MODL_create_list(&m_list); }
    ~ObjectList() { release(); }
    ObjectList(const ObjectList &) = delete;
    ObjectList &operator=(const ObjectList &) = delete;

    uf_list_p_t get() const { return m_list; }
    // Releases the list held so far and gives the slot for a query's new list.
    uf_list_p_t *out() {
        release();
        return &m_list;
    }
    int count() const;
    tag_t item(int index) const;

private:
    void release() {
        if (m_list != nullptr) UF_MODL_delete_list(&m_list);
    }
    uf_list_p_t m_list = nullptr;
};

// A length as the host takes it: "%f", six decimals. The buffer is writable because the host's
// size arguments are plain char pointers.
using SizeText = std::array<char, 256>;
SizeText size_text(double value);
// The "%f" texts of the two ends of an extrusion that must pass through what lies between them:
// the start rounded down and the end rounded up at the sixth decimal, so that "%f" never pulls an
// end inside (a plate bottom at 3.3333337 would give "3.333334" and leave a skin over the opening).
SizeText size_text_down(double value);
SizeText size_text_up(double value);

// Conversion to a 32-bit integer toward zero and back: the builders drop the fraction of measured
// extents this way. A value within 1e-9 of a whole number is that number (a measured 10 may come out
// as 9.999999999999996). Values outside the 32-bit range (only from failed measurements) give 0.
double trunc32(double value);

// Box of a body, face or edge: minimum x, y, z then maximum x, y, z (zeros when the host refuses).
std::array<double, 6> bounding_box(tag_t object);
// The first body of the work part carrying the name, or NULL_TAG: curves, faces and other objects
// of that name are passed over (a curve named like a plate is not the plate).
tag_t first_body_named(const char *name);
// Body of a feature (NULL_TAG when the host refuses).
tag_t body_of(tag_t feature);

// New block (sign 0) along the WCS axes from an absolute corner; returns its feature.
tag_t create_block(const double corner[3], SizeText &x_len, SizeText &y_len, SizeText &z_len);

// Makes a temporary coordinate system at origin, turned by angle (radians) about +Z, the WCS and
// shows it. matrix, when given, receives its axes as rows. Returns the coordinate system.
tag_t set_turned_wcs(const double origin[3], double angle, double *matrix = nullptr);
// Makes a temporary coordinate system with the absolute axes, at origin (default the absolute
// origin), the WCS.
void set_absolute_wcs(const double *origin = nullptr);

// For its lifetime the WCS is the absolute system, for builders whose blocks must follow the absolute
// axes whatever WCS the designer (or an earlier command) left; the WCS it found is put back on every
// path out, display status included (which this never changes).
class AbsoluteWcs {
public:
    AbsoluteWcs();
    ~AbsoluteWcs();
    AbsoluteWcs(const AbsoluteWcs &) = delete;
    AbsoluteWcs &operator=(const AbsoluteWcs &) = delete;

private:
    tag_t m_saved = NULL_TAG;
};

}  // namespace diekit::frame

#endif
