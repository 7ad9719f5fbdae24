// creat_tang_huang_*: one round-wire (linear) die spring at one mirror position of the picked
// point, stretched to the typed length, its clearance cut into every selected plate.
#include <array>

#include "placement.hpp"
#include "spring_builder.hpp"
#include "wirespring.hpp"

namespace {

using diekit::frame::SpringRow;

// enum0 -> library part; every size is modelled with the free length 7.
constexpr std::array<SpringRow, 6> spring_table = {{
    {"D:\\DIELIB\\STANDARD\\linear spring\\xian_huang_4X7.prt", 7},
    {"D:\\DIELIB\\STANDARD\\linear spring\\xian_huang_5X7.prt", 7},
    {"D:\\DIELIB\\STANDARD\\linear spring\\xian_huang_6X7.prt", 7},
    {"D:\\DIELIB\\STANDARD\\linear spring\\xian_huang_8X7.prt", 7},
    {"D:\\DIELIB\\STANDARD\\linear spring\\xian_huang_10X7.prt", 7},
    {"D:\\DIELIB\\STANDARD\\linear spring\\xian_huang_13X7.prt", 7},
}};

int creat_tang_huang(wirespring &dialog, diekit::frame::MirrorSigns signs) {
    diekit::frame::HostBracket bracket;
    const diekit::frame::PlacementRequest request = diekit::frame::read_placement_request(
        dialog.point0, dialog.enum0, dialog.expression0, dialog.selection0);
    return diekit::frame::place_spring("wirespring", request, spring_table, signs);
}

}  // namespace

int wirespring::creat_tang_huang_one() { return creat_tang_huang(*this, diekit::frame::mirror_one); }
int wirespring::creat_tang_huang_X() { return creat_tang_huang(*this, diekit::frame::mirror_X); }
int wirespring::creat_tang_huang_Y() { return creat_tang_huang(*this, diekit::frame::mirror_Y); }
int wirespring::creat_tang_huang_XY() { return creat_tang_huang(*this, diekit::frame::mirror_XY); }
