// creat_stripbolt_*: one stripper bolt at one mirror position of the picked point, its length set
// through the imported part's expression L, its cutting body cut out of every selected plate.
#include <uf.h>
#include <uf_modl.h>
#include <uf_obj.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "dialog_frame.hpp"
#include "host_helpers.hpp"
#include "placement.hpp"
#include "stripbolt.hpp"

namespace {

// A bolt that was not placed: said as an error box, so the step counts as failed.
void not_placed(const std::string &text) { diekit::frame::report_not_built("stripbolt", "stripbolt: " + text); }

// enum0 -> library part.
constexpr std::array<const char *, 4> bolt_table = {
    "D:\\DIELIB\\STANDARD\\Plug screw\\PBB10X35.prt",
    "D:\\DIELIB\\STANDARD\\Plug screw\\PBB13X35.prt",
    "D:\\DIELIB\\STANDARD\\Plug screw\\PBB16X35.prt",
    "D:\\DIELIB\\STANDARD\\Plug screw\\PBB20X35.prt",
};

// The overall length is L + 12 in every bolt part.
constexpr double length_beyond_L = 12.0;

// The suffix of the newest imported set of expressions: the largest number after the apostrophe
// among the names other than L (0 when there is none). Names without an apostrophe count as 0.
int newest_suffix(tag_t group) {
    int number = 0;
    tag_t *exps = nullptr;
    UF_MODL_ask_exps_of_part(group, &number, &exps);
    std::vector<int> abc;
    for (int i = 0; i < number; ++i) {
        char *string1 = nullptr;
        UF_MODL_ask_exp_tag_string(exps[i], &string1);
        char *lhs_str = nullptr;
        char *rhs_str = nullptr;
        tag_t exp_tag = NULL_TAG;
        UF_MODL_dissect_exp_string(string1, &lhs_str, &rhs_str, &exp_tag);
        const std::string lhs_string = lhs_str != nullptr ? lhs_str : "";
        const std::size_t apostrophe = lhs_string.find('\'');
        const std::string name_part = lhs_string.substr(0, apostrophe);
        const int abc1 = apostrophe == std::string::npos ? 0 : std::atoi(lhs_string.c_str() + apostrophe + 1);
        if (name_part != "L") abc.push_back(abc1);
        UF_free(rhs_str);
        UF_free(lhs_str);
        UF_free(string1);
    }
    UF_free(exps);
    int k = 0;
    for (const int candidate : abc)
        if (candidate > k) k = candidate;
    return k;
}

// Sets L'k to B - 12 and regenerates the imported bolt and its cutting body; false when the host
// refused the edit or could not regenerate.
bool set_bolt_length(int k, double B) {
    std::array<char, 300> a_fuzhi{};
    std::snprintf(a_fuzhi.data(), a_fuzhi.size(), "L'%d=%f", k, B - length_beyond_L);
    const int edit_status = UF_MODL_edit_exp(a_fuzhi.data());
    const int update_status = UF_MODL_update();
    return edit_status == 0 && update_status == 0;
}

// The cutting body out of every plate in order; after each plate the growing list (the plates so
// far and the bolt, once per plate) loses its parameters.
void cut_and_strip(const std::vector<tag_t> &bodys, tag_t cutting_body, tag_t bolt) {
    diekit::frame::ObjectList list(diekit::frame::new_empty_list);
    for (const tag_t plate : bodys) {
        tag_t feature = NULL_TAG;
        UF_MODL_subtract_bodies_with_retained_options(plate, cutting_body, false, true, &feature);
        UF_MODL_put_list_item(list.get(), plate);
        UF_MODL_put_list_item(list.get(), bolt);
        UF_MODL_delete_object_parms(list.get());
    }
}

int creat_stripbolt(stripbolt &dialog, diekit::frame::MirrorSigns signs) {
    diekit::frame::HostBracket bracket;
    const diekit::frame::PlacementRequest request = diekit::frame::read_placement_request(
        dialog.point0, dialog.enum0, dialog.expression0, dialog.selection0);
    if (request.bodys.empty()) {
        not_placed("select the plates the bolt passes through; no bolt was placed");
        return 0;
    }
    if (request.index < 0 || request.index >= static_cast<int>(bolt_table.size())) {
        not_placed(("bolt size " + std::to_string(request.index) + " is not in the table; no bolt was placed").c_str());
        return 0;
    }
    const char *part_file = bolt_table[request.index];

    diekit::frame::PartPlacement placement = diekit::frame::place_on_plates(request.bodys, request.point, signs);
    const tag_t group = diekit::frame::import_standard_part(part_file, placement);
    if (group == NULL_TAG) {
        not_placed((std::string("the bolt part '") + part_file + "' could not be imported; no bolt was placed").c_str());
        return 0;
    }
    const int k = newest_suffix(group);
    const bool length_set = set_bolt_length(k, request.length);

    const std::vector<tag_t> group_members = diekit::frame::group_members_of(group);
    if (group_members.size() < 2) {
        not_placed((std::string("the bolt part '") + part_file + "' does not hold a cutting body and a bolt").c_str());
        return 0;
    }
    const tag_t cutting_body = group_members[0];
    const tag_t bolt = group_members[1];
    if (!length_set) {
        // A bolt that did not take the typed length is not cut into the plates at another length.
        UF_OBJ_delete_object(bolt);
        UF_OBJ_delete_object(cutting_body);
        const std::string text = "the bolt length " + std::string(diekit::frame::size_text(request.length).data()) +
                                 " cannot be set on '" + part_file + "'; no bolt was placed";
        not_placed(text.c_str());
        return 0;
    }
    cut_and_strip(placement.bodys, cutting_body, bolt);
    UF_OBJ_delete_object(cutting_body);
    return 0;
}

}  // namespace

int stripbolt::creat_stripbolt_one() { return creat_stripbolt(*this, diekit::frame::mirror_one); }
int stripbolt::creat_stripbolt_X() { return creat_stripbolt(*this, diekit::frame::mirror_X); }
int stripbolt::creat_stripbolt_Y() { return creat_stripbolt(*this, diekit::frame::mirror_Y); }
int stripbolt::creat_stripbolt_XY() { return creat_stripbolt(*this, diekit::frame::mirror_XY); }
