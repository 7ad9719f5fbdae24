#include "parameter_removal.hpp"

#include <uf.h>
#include <uf_assem.h>
#include <uf_modl.h>
#include <uf_obj.h>
#include <uf_ui.h>

#include <exception>

#include "dialog_frame.hpp"
#include "host_helpers.hpp"

namespace diekit::frame {

namespace {

constexpr int solid_type = 70;
constexpr int body_subtype = 0;

// Puts every body of the part (solid objects of subtype 0; faces and edges are skipped) into list.
void collect_bodies(tag_t part, uf_list_p_t list) {
    tag_t object = NULL_TAG;
    while (UF_OBJ_cycle_objs_in_part(part, solid_type, &object), object != NULL_TAG) {
        int type = 0;
        int subtype = 0;
        UF_OBJ_ask_type_and_subtype(object, &type, &subtype);
        if (subtype == body_subtype) UF_MODL_put_list_item(list, object);
    }
}

}  // namespace

int remove_all_body_parameters(NXOpen::UI *ui) {
    try {
        HostBracket bracket;
        const tag_t part = UF_ASSEM_ask_work_part();
        ObjectList bodies(new_empty_list);
        collect_bodies(part, bodies.get());
        if (bodies.count() != 0)
            UF_MODL_delete_object_parms(bodies.get());
        else
            uc1601("没有部件，无法进行移除参数操作", 1);
        return 0;
    } catch (const std::exception &) {
        report_error(ui);
        return 1;
    }
}

}  // namespace diekit::frame
