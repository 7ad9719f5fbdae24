// create_mould: the plate stack of the inverted compound die from the blank outline and the plate
// thicknesses: die plate with its opening, ejector block "tui_kuai", pad "dian_ban", hollow backing
// plate, upper retainer and backing plates, stripper plate, lower retainer plate, punch-die, lower
// backing plate, die shank and knock-out rod with its bore in the upper backing plate. z = 0 is the
// stripper plate's top face.
#include <uf.h>
#include <uf_modl.h>
#include <uf_obj.h>
#include <uf_ui.h>

#include <algorithm>
#include <exception>
#include <limits>
#include <vector>

#include "flipdie.hpp"
#include "flipdie_inputs.hpp"
#include "host_helpers.hpp"
#include "parameter_removal.hpp"

using diekit::frame::ObjectList;
using diekit::frame::SizeText;
using diekit::frame::body_of;
using diekit::frame::size_text;
using diekit::frame::size_text_down;
using diekit::frame::size_text_up;
using flipdie_detail::Inputs;

namespace {

enum Colour {
    ao_mo_ban_colour = 100,          // die plate
    tui_kuai_colour = 5,             // ejector block
    dian_ban_colour = 206,           // pad
    kong_xin_dian_ban_colour = 120,  // hollow backing plate
    gu_ding_ban_colour = 95,         // upper and lower retainer plates
    bei_ban_colour = 98,             // upper and lower backing plates
    xie_liao_ban_colour = 128,       // stripper plate
    tu_ao_mo_colour = 119,           // punch-die
    mo_bing_colour = 105,            // die shank
    da_gan_colour = 160,             // knock-out rod
};

// The XY extent of the outline: xmin, ymin, xmax, ymax.
struct OutlineBox {
    double xmin = 0, ymin = 0, xmax = 0, ymax = 0;
};

tag_t create_block(UF_FEATURE_SIGN sign, double x, double y, double z, SizeText &x_len, SizeText &y_len,
                   SizeText &z_len) {
    double corner[3] = {x, y, z};
    char *edge_len[3] = {x_len.data(), y_len.data(), z_len.data()};
    tag_t feature = NULL_TAG;
    UF_MODL_create_block1(sign, corner, edge_len, &feature);
    return feature;
}

// A plate of the full chang x kuan plan, bottom face at z, coloured; returns its body.
tag_t create_plate(Inputs &in, double z, SizeText &hou_du, int colour) {
    const tag_t plate = body_of(create_block(UF_NULLSIGN, -in.v.chang / 2, -in.v.kuan / 2, z, in.t.chang, in.t.kuan,
                                             hou_du));
    UF_OBJ_set_color(plate, colour);
    return plate;
}

// A cylinder on a vertical axis, base centre (x, y, z), rising along +Z.
tag_t create_cylinder(UF_FEATURE_SIGN sign, double x, double y, double z, char *height, char *diameter) {
    double origin[3] = {x, y, z};
    double direction[3] = {0, 0, 1};
    tag_t feature = NULL_TAG;
    UF_MODL_create_cyl1(sign, origin, height, diameter, direction, &feature);
    return feature;
}

// Extrudes the outline along +Z between the limit texts (distances from the outline's plane) by sign.
// features receives the host's feature list (released with it); returns its first feature.
tag_t extrude_outline(uf_list_p_t edge_list_tu_ao_mo1, SizeText qi_shi, SizeText jie_shu, UF_FEATURE_SIGN sign,
                      ObjectList &features) {
    char *limit[2] = {qi_shi.data(), jie_shu.data()};
    char taper_angle[] = "0";
    double point[3] = {0, 0, 0};
    double direction[3] = {0, 0, 1};
    UF_MODL_create_extruded(edge_list_tu_ao_mo1, taper_angle, limit, point, direction, sign, features.out());
    return features.count() > 0 ? features.item(0) : NULL_TAG;
}

// The box that encloses every selected curve. Taking one curve's box would size the ejector, the
// pad and the hollow plate's opening from a single side of an outline made of several curves.
OutlineBox outline_box(const std::vector<tag_t> &curves) {
    OutlineBox box;
    box.xmin = box.ymin = std::numeric_limits<double>::infinity();
    box.xmax = box.ymax = -std::numeric_limits<double>::infinity();
    for (const tag_t curve : curves) {
        double bounding_box[6] = {0, 0, 0, 0, 0, 0};
        if (UF_MODL_ask_bounding_box(curve, bounding_box) != 0) continue;  // not a curve of the part
        box.xmin = std::min(box.xmin, bounding_box[0]);
        box.ymin = std::min(box.ymin, bounding_box[1]);
        box.xmax = std::max(box.xmax, bounding_box[3]);
        box.ymax = std::max(box.ymax, bounding_box[4]);
    }
    return box;
}

bool is_empty(const OutlineBox &box) { return !(box.xmin <= box.xmax && box.ymin <= box.ymax); }

// The edges of a cylinder feature on which the point lies: its top rim for a point on the rim.
void edges_through(tag_t feature, double point[3], uf_list_p_t into) {
    ObjectList edges;
    UF_MODL_ask_feat_edges(feature, edges.out());
    const int count = edges.count();
    for (int i = 0; i < count; ++i) {
        const tag_t edge = edges.item(i);
        int status = 0;
        UF_MODL_ask_point_containment(point, edge, &status);
        if (status == 1) UF_MODL_put_list_item(into, edge);
    }
}

// Symmetric chamfer (subtype 1) of the listed edges, both offsets the same, 45 degrees.
void chamfer_45(uf_list_p_t edges, char *offset) {
    char angle[] = "45";
    tag_t feature = NULL_TAG;
    UF_MODL_create_chamfer(1, offset, offset, angle, edges, &feature);
}

// The die plate with the outline grown by the clearance cut through it.
tag_t create_ao_mo_ban(Inputs &in, uf_list_p_t edge_list_tu_ao_mo1) {
    const double T = in.v.tiao_liao;
    const tag_t ao_mo_ban = create_plate(in, T, in.t.AMBC, ao_mo_ban_colour);

    // The offset moves the prism's end faces too. A positive clearance makes them stand out of the
    // plate; a negative one would pull them inside and leave the opening closed by skins of the
    // clearance's thickness, so the prism then starts and ends 1 beyond the plate after shrinking.
    const double reach = in.v.jian_xi < 0 ? 1 - in.v.jian_xi : 0;
    ObjectList features;
    extrude_outline(edge_list_tu_ao_mo1, size_text_down(T - reach), size_text_up(T + in.v.AMBC + reach), UF_NULLSIGN,
                    features);
    tag_t offset_feature = NULL_TAG;
    UF_MODL_create_feature_offset(in.t.jian_xi.data(), features.get(), &offset_feature);
    tag_t frec_eid = NULL_TAG;
    UF_MODL_subtract_bodies_with_retained_options(ao_mo_ban, body_of(offset_feature), false, false, &frec_eid);
    return ao_mo_ban;
}

// Ejector block and pad from the outline box grown by 2, the hollow backing plate with
// an opening grown by 6.
void create_tui_kuai_and_dian_ban(Inputs &in, const OutlineBox &box, tag_t ao_mo_ban) {
    const double T = in.v.tiao_liao;
    SizeText chang2 = size_text((box.xmax - box.xmin) + 4);
    SizeText kuan2 = size_text((box.ymax - box.ymin) + 4);

    const tag_t tui_kuai = body_of(create_block(UF_NULLSIGN, box.xmin - 2, box.ymin - 2, T, chang2, kuan2, in.t.AMBC));
    UF_OBJ_set_color(tui_kuai, tui_kuai_colour);
    tag_t frec_eid = NULL_TAG;
    UF_MODL_subtract_bodies_with_retained_options(tui_kuai, ao_mo_ban, false, true, &frec_eid);
    UF_OBJ_set_name(tui_kuai, "tui_kuai");

    SizeText hou_du4{"4.0"};
    const tag_t dian_ban =
        body_of(create_block(UF_NULLSIGN, box.xmin - 2, box.ymin - 2, T + in.v.AMBC, chang2, kuan2, hou_du4));
    UF_OBJ_set_color(dian_ban, dian_ban_colour);
    UF_OBJ_set_name(dian_ban, "dian_ban");

    create_plate(in, T + in.v.AMBC, in.t.KXDBC, kong_xin_dian_ban_colour);
    SizeText chang6 = size_text((box.xmax - box.xmin) + 12);
    SizeText kuan6 = size_text((box.ymax - box.ymin) + 12);
    // Sign 2 acts on the body made last, the hollow plate, never on the pad below the opening.
    create_block(UF_NEGATIVE, box.xmin - 6, box.ymin - 6, T + in.v.AMBC, chang6, kuan6, in.t.KXDBC);
}

// Stripper plate, lower retainer plate, punch-die, lower backing plate.
void create_lower_plates(Inputs &in, uf_list_p_t edge_list_tu_ao_mo1) {
    const double xia = -0.5 - in.v.TAMC;  // bottom of the punch-die and of the lower retainer plate

    create_plate(in, -in.v.XLBC, in.t.XLBC, xie_liao_ban_colour);
    ObjectList stripper_opening;
    // Openings through a plate: their ends rounded outwards, so that "%f" leaves no skin.
    extrude_outline(edge_list_tu_ao_mo1, size_text_down(-in.v.XLBC), size_text_up(in.v.XLBC), UF_NEGATIVE,
                    stripper_opening);

    create_plate(in, xia, in.t.XGDBC, gu_ding_ban_colour);
    ObjectList retainer_opening;
    extrude_outline(edge_list_tu_ao_mo1, size_text_down(xia), size_text_up(in.v.XGDBC), UF_NEGATIVE, retainer_opening);

    ObjectList punch_die;
    const tag_t tu_ao_mo = extrude_outline(edge_list_tu_ao_mo1, size_text(xia), size_text(-0.5), UF_NULLSIGN, punch_die);
    UF_OBJ_set_color(body_of(tu_ao_mo), tu_ao_mo_colour);

    create_plate(in, xia - in.v.XDBC, in.t.XDBC, bei_ban_colour);
}

// Die shank with collar, bore and chamfered top; knock-out rod with head and
// chamfered top.
void create_mo_bing_and_da_gan(Inputs &in) {
    const double Ztop = in.z_top();

    char liu[] = "6";
    char shi_yi[] = "11";
    SizeText mo_bing_tai_jie120 = size_text(in.v.mo_bing + 10);
    SizeText mo_bing_gao = size_text(in.v.SMZC + 50);
    create_cylinder(UF_NULLSIGN, 0, 0, Ztop, liu, mo_bing_tai_jie120.data());
    const tag_t mo_bing = create_cylinder(UF_POSITIVE, 0, 0, Ztop, mo_bing_gao.data(), in.t.mo_bing.data());
    create_cylinder(UF_NEGATIVE, 0, 0, Ztop, mo_bing_gao.data(), shi_yi);
    UF_OBJ_set_color(body_of(mo_bing), mo_bing_colour);

    ObjectList edge_list_yuan_jiao120(diekit::frame::new_empty_list);
    double mo_bing_ding[3] = {in.v.mo_bing / 2, 0, Ztop + in.v.SMZC + 50};
    edges_through(mo_bing, mo_bing_ding, edge_list_yuan_jiao120.get());
    char er[] = "2";
    chamfer_45(edge_list_yuan_jiao120.get(), er);

    const double z_da_gan = Ztop - in.v.SDBC;
    char shi[] = "10";
    char shi_san[] = "13";
    char si[] = "4";
    SizeText mo_bing_gao130 = size_text(in.v.SMZC + 80);
    const tag_t da_gan = create_cylinder(UF_NULLSIGN, 0, 0, z_da_gan, mo_bing_gao130.data(), shi);
    create_cylinder(UF_POSITIVE, 0, 0, z_da_gan, si, shi_san);

    ObjectList edge_list_yuan_jiao130(diekit::frame::new_empty_list);
    double da_gan_ding[3] = {5, 0, z_da_gan + in.v.SMZC + 80};
    edges_through(da_gan, da_gan_ding, edge_list_yuan_jiao130.get());
    char yi[] = "1";
    chamfer_45(edge_list_yuan_jiao130.get(), yi);
    UF_OBJ_set_color(body_of(da_gan), da_gan_colour);
}

// The knock-out rod's bore through the upper backing plate it stands in: 0.5 wider on every side
// than the rod and, over the head's height, than its head, so that the rod is free to slide. The
// cylinders run 1 beyond the plate's faces, so that no rounding of a level leaves a skin.
void cut_da_gan_kong(Inputs &in, tag_t shang_bei_ban) {
    const double z_da_gan = in.z_top() - in.v.SDBC;
    char shi_yi[] = "11";
    char shi_si[] = "14";
    char wu[] = "5";
    SizeText gan_kong_gao = size_text(in.v.SDBC + 2);
    const tag_t gan_kong = body_of(create_cylinder(UF_NULLSIGN, 0, 0, z_da_gan - 1, gan_kong_gao.data(), shi_yi));
    const tag_t tou_kong = body_of(create_cylinder(UF_NULLSIGN, 0, 0, z_da_gan - 1, wu, shi_si));
    for (const tag_t kong : {gan_kong, tou_kong}) {
        tag_t frec_eid = NULL_TAG;
        UF_MODL_subtract_bodies_with_retained_options(shang_bei_ban, kong, false, false, &frec_eid);
    }
}

}  // namespace

int flipdie::create_mould() {
    try {
        diekit::frame::HostBracket bracket;
        Inputs in = flipdie_detail::read_inputs(*this);
        if (in.v.jian_xi == 0.0) {
            uc1601("请输入冲裁间隙", 1);
            return 0;
        }
        // Without an outline the opening, ejector, pad and punch-die have nothing to follow; the
        // plates alone would be a die set that cannot blank.
        const OutlineBox box = outline_box(in.edge_select0);
        if (is_empty(box)) {
            uc1601("请选择凸凹模轮廓曲线", 1);
            return 0;
        }

        ObjectList edge_list_tu_ao_mo1(diekit::frame::new_empty_list);
        for (const tag_t curve : in.edge_select0) UF_MODL_put_list_item(edge_list_tu_ao_mo1.get(), curve);

        const tag_t ao_mo_ban = create_ao_mo_ban(in, edge_list_tu_ao_mo1.get());
        create_tui_kuai_and_dian_ban(in, box, ao_mo_ban);
        const double above_die = in.v.tiao_liao + in.v.AMBC + in.v.KXDBC;
        create_plate(in, above_die, in.t.SGDBC, gu_ding_ban_colour);
        const tag_t shang_bei_ban = create_plate(in, above_die + in.v.SGDBC, in.t.SDBC, bei_ban_colour);
        create_lower_plates(in, edge_list_tu_ao_mo1.get());
        create_mo_bing_and_da_gan(in);
        cut_da_gan_kong(in, shang_bei_ban);
        // Every solid body of the part, not only these, becomes plain (it reports its own failure).
        return diekit::frame::remove_all_body_parameters(theUI);
    } catch (const std::exception &) {
        diekit::frame::report_error(theUI);
        return 1;
    }
}
