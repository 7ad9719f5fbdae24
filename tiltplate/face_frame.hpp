// The local frame that the tiltplate builders work in: origin on the selected punch face at the
// fixed plate's bottom, axes turned about Z to follow the face, made the work coordinate system.
#ifndef DIEKIT_TILTPLATE_FACE_FRAME_HPP
#define DIEKIT_TILTPLATE_FACE_FRAME_HPP

#include <uf_defs.h>

#include <optional>
#include <vector>

#include "ya_ban_steps.hpp"

namespace ya_ban {

struct FaceFrame {
    double origin[3] = {0, 0, 0};  // O: centre of the face's box in x and y, at the fixed plate's bottom
    double normal[3] = {0, 0, 0};  // unit normal of the face at its point nearest O, pointing out of the punch
    double angle = 0;              // a = arctan(nx / ny), radians; ny = 0 gives +-90 degrees
    // True when the turned Y axis points out of the punch (side A: the plate lies on local +Y);
    // false when it points into the punch (side B: the plate lies on local -Y).
    bool plate_on_plus_y = true;
    bool horizontal = false;       // nx = ny = 0: no side face, no frame
};

// Reads the face's normal and sets up the frame's numbers; the WCS is not touched.
FaceFrame face_frame(tag_t mian, const Box &bounding_box_mian, const Box &bounding_box_gu_ding_ban);

// Whether the face is flat: its normal is the same over its whole parameter range.
bool is_planar(tag_t mian);

// The frame of a flat side face of the punch; for a horizontal or a curved face it says in one line
// that the face must be a flat side face, and gives nothing.
std::optional<FaceFrame> side_face_frame(tag_t mian, const Box &bounding_box_mian, const Box &bounding_box_gu_ding_ban);

// What both tiltplate builders read before they build: the first selected face and punch, the named
// plates, the face's frame, and the relief pocket's start (8 below the backing plate's top face, as in
// keepplate) in the frame's z. Nothing when an input is missing or the face is not a side face (each
// said in one line).
struct TiltInputs {
    tag_t mian = NULL_TAG;
    tag_t chong_zi = NULL_TAG;
    NamedPlates plates;
    FaceFrame frame;
    double ran_wei_z = 0;
};
std::optional<TiltInputs> tilt_inputs(const std::vector<tag_t> &mian_list, const std::vector<tag_t> &bodys_chong_zi);

// Makes the frame the work coordinate system (shown) for the object's lifetime, and the absolute
// coordinate system the WCS again when it goes, on every path out.
class TurnedWcs {
public:
    explicit TurnedWcs(const FaceFrame &frame);
    ~TurnedWcs();
    TurnedWcs(const TurnedWcs &) = delete;
    TurnedWcs &operator=(const TurnedWcs &) = delete;
};

// A point of the work coordinate system in absolute coordinates.
struct Point {
    double xyz[3];
};
Point to_absolute(double x, double y, double z);

}  // namespace ya_ban

#endif
