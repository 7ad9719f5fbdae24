// Where a standard part from the library goes when it is placed through a stack of plates: the rule
// that the spring builders (boxspring, wirespring) and the stripper bolt builders (stripbolt) share.
//
//  - ordering pass: the plates are exchange-sorted by their tops, highest first;
//  - up/down decision: from the two tops the ordering pass read last (see decide_upward);
//  - anchor: upward, the top of the highest plate, the part keeping its orientation; downward, the
//    bottom of the plate ordered last, the part turned over about X so that its Z axis points down;
//  - mirror: the picked point's x and y times the builder's signs, about the part's absolute origin.
//
// The library parts hang from their origin along -Z of their own frame, so the part lies inside the
// stack in both cases.
#ifndef DIEKIT_FRAME_PLACEMENT_HPP
#define DIEKIT_FRAME_PLACEMENT_HPP

#include <NXOpen/BlockStyler_Enumeration.hxx>
#include <NXOpen/BlockStyler_ExpressionBlock.hxx>
#include <NXOpen/BlockStyler_SelectObject.hxx>
#include <NXOpen/BlockStyler_SpecifyPoint.hxx>
#include <uf_defs.h>
#include <uf_part.h>

#include <optional>
#include <vector>

namespace diekit::frame {

// The signs a builder applies to the picked point's x and y.
struct MirrorSigns {
    double sx;
    double sy;
};
inline constexpr MirrorSigns mirror_one{1, 1};
inline constexpr MirrorSigns mirror_X{-1, 1};
inline constexpr MirrorSigns mirror_Y{1, -1};
inline constexpr MirrorSigns mirror_XY{-1, -1};

// What the ordering pass leaves: the plates highest top first, and the two tops it read last.
struct OrderedPlates {
    std::vector<tag_t> bodys;
    double t1 = 0;  // the key of the last outer step: the top of the plate ordered last
    double t2 = 0;  // the top read by the last comparison (before its exchange, if any)
    bool compared = false;  // false with a single plate: no comparison was made
};

// Exchange sort by top height, highest first; equal tops are never exchanged. Every top is read
// from the host when it is needed, so the tops are those of the plates as they are now.
OrderedPlates order_plates(std::vector<tag_t> bodys);

// Upward when t1 + t2 > 0 (a sum of exactly 0 goes down). A single plate is judged by its own top:
// above the parting plane z = 0 is upward.
bool decide_upward(const OrderedPlates &plates);

struct PartPlacement {
    std::vector<tag_t> bodys;  // the plates in the order of the ordering pass
    bool upward = true;
    double dest_csys[6] = {1, 0, 0, 0, 1, 0};  // the part's X then Y axis in the work part
    double dest_point[3] = {0, 0, 0};           // where the part's origin goes
};

// The whole rule for the plates (at least one) and the picked point; pz is not used.
PartPlacement place_on_plates(const std::vector<tag_t> &bodys, const double point[3], MirrorSigns signs);

// The import modes of every standard-part builder: by position, layer mode 1, group mode 1 (a new
// group is returned), the csys and parts-list modes left at 0, the fifth field (the expressions)
// 1, and the first flag after the five integer fields (views) false.
UF_import_part_modes_t standard_part_modes();

// The blocks every placement dialog has, read once before anything changes.
struct PlacementRequest {
    double point[3] = {0, 0, 0};
    std::vector<tag_t> bodys;
    int index = 0;      // "enum0": the row of the part table
    double length = 0;  // "expression0"
};

PlacementRequest read_placement_request(NXOpen::BlockStyler::SpecifyPoint *point0,
                                        NXOpen::BlockStyler::Enumeration *enum0,
                                        NXOpen::BlockStyler::ExpressionBlock *expression0,
                                        NXOpen::BlockStyler::SelectObject *selection0);

// Imports a library part at the placement; the group, or NULL_TAG when the host refused.
tag_t import_standard_part(const char *part_file, PartPlacement &placement);

// The members of a group (released with UF_free); empty when the group has none or is not a group.
std::vector<tag_t> group_members_of(tag_t group);

// A one-line notice to the designer (uc1601, display option 1).
void notify(const char *plugin, const char *text);

}  // namespace diekit::frame

#endif
