#include "spring_builder.hpp"

#include "dialog_frame.hpp"

#include <uf.h>
#include <uf_csys.h>
#include <uf_modl.h>
#include <uf_mtx.h>
#include <uf_obj.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace diekit::frame {

namespace {

// Both bodies stretched along the WCS Z axis about the WCS origin (the anchor); false when the host
// refused either scale.
bool stretch(tag_t spring, tag_t clearance, SizeText &z) {
    char x_factor[] = "1.0";
    char y_factor[] = "1.0";
    char *scale_factors[3] = {x_factor, y_factor, z.data()};
    tag_t feature = NULL_TAG;
    const int spring_status = UF_MODL_create_non_uni_scale(spring, NULL_TAG, scale_factors, &feature);
    const int clearance_status = UF_MODL_create_non_uni_scale(clearance, NULL_TAG, scale_factors, &feature);
    return spring_status == 0 && clearance_status == 0;
}

// The clearance is cut from every plate in order; after each plate the growing list (the plates so
// far and the spring, once per plate) loses its parameters.
void cut_and_strip(const std::vector<tag_t> &bodys, tag_t spring, tag_t clearance) {
    ObjectList list(new_empty_list);
    for (const tag_t plate : bodys) {
        tag_t feature = NULL_TAG;
        UF_MODL_subtract_bodies_with_retained_options(plate, clearance, false, true, &feature);
        UF_MODL_put_list_item(list.get(), plate);
        UF_MODL_put_list_item(list.get(), spring);
        UF_MODL_delete_object_parms(list.get());
    }
}

// A spring that was not placed: said as an error box, so the step counts as failed.
void not_built(const char *plugin, const std::string &text) { report_not_built(plugin, std::string(plugin) + ": " + text); }

}  // namespace

SizeText spring_scale_text(double length, double free_length) { return size_text(length / free_length); }

int place_spring(const char *plugin, const PlacementRequest &request, std::span<const SpringRow> table,
                 MirrorSigns signs) {
    if (request.bodys.empty()) {
        not_built(plugin, "select the plates the spring passes through; no spring was placed");
        return 0;
    }
    if (request.index < 0 || request.index >= static_cast<int>(table.size())) {
        not_built(plugin, ("spring size " + std::to_string(request.index) + " is not in the table; no spring was placed").c_str());
        return 0;
    }
    const SpringRow &row = table[request.index];
    SizeText z = spring_scale_text(request.length, row.free_length);
    if (!(std::atof(z.data()) > 0)) {
        not_built(plugin, ("the spring length " + std::string(size_text(request.length).data()) +
                        " is not a positive length; no spring was placed").c_str());
        return 0;
    }

    PartPlacement placement = place_on_plates(request.bodys, request.point, signs);
    const tag_t group = import_standard_part(row.part_file, placement);
    if (group == NULL_TAG) {
        not_built(plugin, (std::string("the spring part '") + row.part_file + "' could not be imported; no spring was placed").c_str());
        return 0;
    }
    const std::vector<tag_t> group_members = group_members_of(group);
    if (group_members.size() < 2) {
        not_built(plugin, (std::string("the spring part '") + row.part_file + "' does not hold a spring and its clearance").c_str());
        return 0;
    }
    const tag_t spring = group_members[0];
    const tag_t clearance = group_members[1];

    // The scales below are taken in the WCS: at the anchor, with the absolute orientation in both
    // cases, so the anchor end stays and the length along Z becomes L.
    set_absolute_wcs(placement.dest_point);
    UF_CSYS_set_wcs_display(1);

    if (stretch(spring, clearance, z)) {
        cut_and_strip(placement.bodys, spring, clearance);
        UF_OBJ_delete_object(clearance);
    } else {
        // A spring that cannot take the typed length is not left behind at another length.
        UF_OBJ_delete_object(spring);
        UF_OBJ_delete_object(clearance);
        not_built(plugin, "the spring could not be stretched to the typed length; no spring was placed");
    }
    set_absolute_wcs();
    return 0;
}

}  // namespace diekit::frame
