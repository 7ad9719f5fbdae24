// One-step parameter removal: every solid body of the work part becomes a plain body.
#ifndef DIEKIT_FRAME_PARAMETER_REMOVAL_HPP
#define DIEKIT_FRAME_PARAMETER_REMOVAL_HPP

#include <NXOpen/UI.hxx>

namespace diekit::frame {

// Strips the feature parameters of all solid bodies of the work part, whoever made them. With no
// body in the part it says so in a one-line message. Returns 0, or 1 after an exception, which is
// reported as "错误" / "错误信息" on ui.
int remove_all_body_parameters(NXOpen::UI *ui);

}  // namespace diekit::frame

#endif
