// creat_tang_huang_*: one rectangular die spring (ISO 10243) at one mirror position of the picked
// point, stretched to the typed length, its clearance cut into every selected plate.
#include <array>

#include "boxspring.hpp"
#include "placement.hpp"
#include "spring_builder.hpp"

namespace {

using diekit::frame::SpringRow;

// enum0 -> library part and the free length it is modelled with.
constexpr std::array<SpringRow, 8> spring_table = {{
    {"D:\\DIELIB\\STANDARD\\Rectangular spring\\SPRING10X25.prt", 25},
    {"D:\\DIELIB\\STANDARD\\Rectangular spring\\SPRING13X25.prt", 25},
    {"D:\\DIELIB\\STANDARD\\Rectangular spring\\SPRING16X25.prt", 25},
    {"D:\\DIELIB\\STANDARD\\Rectangular spring\\SPRING20X25.prt", 25},
    {"D:\\DIELIB\\STANDARD\\Rectangular spring\\SPRING25X25.prt", 25},
    {"D:\\DIELIB\\STANDARD\\Rectangular spring\\SPRING32X38.prt", 38},
    {"D:\\DIELIB\\STANDARD\\Rectangular spring\\SPRING40X51.prt", 51},
    {"D:\\DIELIB\\STANDARD\\Rectangular spring\\SPRING50X64.prt", 64},
}};

int creat_tang_huang(boxspring &dialog, diekit::frame::MirrorSigns signs) {
    diekit::frame::HostBracket bracket;
    const diekit::frame::PlacementRequest request = diekit::frame::read_placement_request(
        dialog.point0, dialog.enum0, dialog.expression0, dialog.selection0);
    return diekit::frame::place_spring("boxspring", request, spring_table, signs);
}

}  // namespace

int boxspring::creat_tang_huang_one() { return creat_tang_huang(*this, diekit::frame::mirror_one); }
int boxspring::creat_tang_huang_X() { return creat_tang_huang(*this, diekit::frame::mirror_X); }
int boxspring::creat_tang_huang_Y() { return creat_tang_huang(*this, diekit::frame::mirror_Y); }
int boxspring::creat_tang_huang_XY() { return creat_tang_huang(*this, diekit::frame::mirror_XY); }
