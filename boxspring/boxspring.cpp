#include "boxspring.hpp"

#include "sibling_rules.hpp"

#include <array>

namespace {

// Free length of each spring size of enum0: the default spring length ("expression0").
constexpr std::array<const char *, 8> free_length = {"25", "25", "25", "25", "25", "38", "51", "64"};

void default_length_for_size(boxspring &d) {
    const int size = diekit::frame::enum_index(d.enum0);
    if (size >= 0 && size < static_cast<int>(free_length.size()))
        diekit::frame::set_formula(d.expression0, free_length[size]);
}

}  // namespace

DIEKIT_DIALOG_COMMON(boxspring)

void boxspring::initialize_cb() {
    diekit::frame::guard(theUI, [this] {
        DIEKIT_BIND_BLOCKS(BOXSPRING_BLOCKS);
        diekit::frame::select_solid_bodies_only(selection0);
    });
}

// The default length follows the size from the first display on; initialize_cb leaves the
// dialog file's value.
void boxspring::dialogShown_cb() {
    diekit::frame::guard(theUI, [this] { default_length_for_size(*this); });
}

int boxspring::apply_cb() {
    return diekit::frame::run_apply(theUI, [this] { diekit::frame::build_spring_layout(*this); });
}

int boxspring::update_cb(NXOpen::BlockStyler::UIBlock *block) {
    return diekit::frame::run_update(theUI, [this, block] {
        if (diekit::frame::changed(block, enum0)) default_length_for_size(*this);
    });
}
