// chong_zi_B and chong_zi_C: the straight punch of the common steps with a rectangular head at its
// upper end, in a frame at the centre of the punch's top face turned about Z. The head is relieved by
// the arc standard part and united with the punch; "dian_ban" and "tui_kuai" get a pocket one size
// larger; the upper plates take the finished punch without clearance. Type C adds a 5 high step at
// the top of the punch and its pocket in the highest plate.
#include <uf.h>
#include <uf_csys.h>
#include <uf_modl.h>
#include <uf_mtx.h>
#include <uf_obj.h>
#include <uf_part.h>

#include <exception>
#include <vector>

#include "chong_zi_common.hpp"
#include "dialog_frame.hpp"
#include "formpunch.hpp"
#include "placement.hpp"

using diekit::frame::ObjectList;
using diekit::frame::SizeText;
using diekit::frame::size_text;
using diekit::frame::trunc32;
using namespace chong_zi;  // XMIN ... ZMAX

namespace {

constexpr double du_to_hu_du = 0.017453292519943295;  // degrees to radians

// The dialog values of the head, read before anything is built.
struct HeadInput {
    double chang = 0;          // "expression01": head length along local X
    double kuang = 0;          // "expression02": head width along local Y
    double tai_jie_chang = 0;  // "expression03": step length (type C)
    double tai_jie_kuang = 0;  // "expression04": step width (type C)
    double jiao_du = 0;        // "expression05": turn about Z, degrees
    double li_bian = 0;        // "expression051": margin when sized from the punch
    bool turn = false;         // "toggle0"
    int head_sizing = 0;       // "enum01": 0 given size, otherwise from the punch
};

HeadInput read_head_input(formpunch &d) {
    HeadInput in;
    in.chang = diekit::frame::expression_value(d.expression01);
    in.kuang = diekit::frame::expression_value(d.expression02);
    in.tai_jie_chang = diekit::frame::expression_value(d.expression03);
    in.tai_jie_kuang = diekit::frame::expression_value(d.expression04);
    in.jiao_du = diekit::frame::expression_value(d.expression05);
    in.li_bian = diekit::frame::expression_value(d.expression051);
    in.turn = diekit::frame::toggle_on(d.toggle0);
    in.head_sizing = diekit::frame::enum_index(d.enum01);
    return in;
}

// The frame point: the middle of the parameter box of the punch face that holds the centre of the
// punch's top (the last such face when several do). The host's face point is absolute already, so it
// is taken as it is rather than mapped from the WCS, which may be turned when the builder starts.
// Without such a face the test point itself is used.
void zhong_xin_dian(tag_t chong_zi_shi_ti, const Box &P, double F[3]) {
    double ce_shi_dian[3] = {(P[XMIN] + P[XMAX]) / 2, (P[YMIN] + P[YMAX]) / 2, P[ZMAX]};
    F[0] = ce_shi_dian[0];
    F[1] = ce_shi_dian[1];
    F[2] = ce_shi_dian[2];
    ObjectList face_list;
    UF_MODL_ask_body_faces(chong_zi_shi_ti, face_list.out());
    const int count = face_list.count();
    for (int i = 0; i < count; ++i) {
        const tag_t face = face_list.item(i);
        int status = 0;
        UF_MODL_ask_point_containment(ce_shi_dian, face, &status);
        if (status != 1) continue;
        double uv_min_max[4] = {0, 0, 0, 0};
        UF_MODL_ask_face_uv_minmax(face, uv_min_max);
        double param[2] = {(uv_min_max[0] + uv_min_max[1]) / 2, (uv_min_max[2] + uv_min_max[3]) / 2};
        double point[3], u1[3], v1[3], u2[3], v2[3], unit_norm[3], radii[2];
        if (UF_MODL_ask_face_props(face, param, point, u1, v1, u2, v2, unit_norm, radii) == 0) {
            F[0] = point[0];
            F[1] = point[1];
            F[2] = point[2];
        }
    }
}

// A new block along the WCS axes from a corner given in WCS coordinates; returns its body.
tag_t block_in_wcs(double x, double y, double z, char *chang, char *kuan, char *gao) {
    double local[3] = {x, y, z};
    double corner[3] = {0, 0, 0};
    UF_CSYS_map_point(UF_CSYS_ROOT_WCS_COORDS, local, UF_CSYS_WORK_COORDS, corner);
    char *edge_len[3] = {chang, kuan, gao};
    tag_t feature = NULL_TAG;
    UF_MODL_create_block1(UF_NULLSIGN, corner, edge_len, &feature);
    return body_of(feature);
}

struct HeadBlocks {
    tag_t fang_kuai = NULL_TAG;   // the head
    tag_t fang_kuai2 = NULL_TAG;  // the head's pocket tool
    tag_t tai_jie = NULL_TAG;     // type C: the step
    tag_t tai_jie2 = NULL_TAG;    // type C: the step's pocket tool
};

HeadBlocks create_head_blocks(const HeadInput &in, bool with_step, tag_t chong_zi_shi_ti, tag_t csys, const Box &P,
                              const Box &TK) {
    HeadBlocks blocks;
    const double z0 = TK[ZMAX] - 5;
    if (in.head_sizing == 0) {
        SizeText chang = size_text(in.chang);
        SizeText kuang = size_text(in.kuang);
        SizeText gao = size_text(P[ZMAX] - TK[ZMAX] + 5);
        blocks.fang_kuai = block_in_wcs(-in.chang / 2, -in.kuang / 2, z0, chang.data(), kuang.data(), gao.data());
        SizeText chang2 = size_text(in.chang + 2);
        SizeText kuang2 = size_text(in.kuang + 2);
        SizeText gao2 = size_text(P[ZMAX] - TK[ZMAX] + 8);
        blocks.fang_kuai2 = block_in_wcs(-in.chang / 2 - 1, -in.kuang / 2 - 1, TK[ZMAX] - 8, chang2.data(), kuang2.data(),
                                         gao2.data());
    } else {
        double min_corner[3] = {0, 0, 0};
        double directions[3][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
        double distances[3] = {0, 0, 0};
        UF_MODL_ask_bounding_box_aligned(chong_zi_shi_ti, csys, false, min_corner, directions, distances);
        const double L = trunc32(distances[0]) + 2 * in.li_bian;
        const double W = trunc32(distances[1]) + 2 * in.li_bian;
        SizeText chang = size_text(L);
        SizeText kuang = size_text(W);
        SizeText gao = size_text(P[ZMAX] - TK[ZMAX] + 5);
        blocks.fang_kuai = block_in_wcs(-L / 2, -W / 2, z0, chang.data(), kuang.data(), gao.data());
        SizeText chang2 = size_text(L + 2);
        SizeText kuang2 = size_text(W + 2);
        blocks.fang_kuai2 = block_in_wcs(-L / 2 - 1, -W / 2 - 1, z0, chang2.data(), kuang2.data(), gao.data());
    }
    if (with_step) {
        SizeText tai_jie_chang = size_text(in.tai_jie_chang);
        SizeText tai_jie_kuang = size_text(in.tai_jie_kuang);
        char gao[] = "5.0";
        blocks.tai_jie = block_in_wcs(-in.tai_jie_chang / 2, -in.tai_jie_kuang / 2, P[ZMAX] - 5, tai_jie_chang.data(),
                                      tai_jie_kuang.data(), gao);
        SizeText tai_jie_chang2 = size_text(in.tai_jie_chang + 1);
        SizeText tai_jie_kuang2 = size_text(in.tai_jie_kuang + 1);
        blocks.tai_jie2 = block_in_wcs(-(in.tai_jie_chang + 1) / 2, -(in.tai_jie_kuang + 1) / 2, P[ZMAX] - 5,
                                       tai_jie_chang2.data(), tai_jie_kuang2.data(), gao);
    }
    return blocks;
}

// The arc reliefs: the standard part whose reliefs lie along the head's longer side (by the dialog's
// length and width), placed at the punch centre with the frame's axes; its first two bodies are cut
// out of the head.
void cut_arc_reliefs(const HeadInput &in, tag_t fang_kuai, const Box &P, const Box &TK, const double M[9]) {
    const char *part_file = in.kuang > in.chang ? "D:\\DIELIB\\STANDARD\\chong_zi_yuan_hu.prt"
                                                : "D:\\DIELIB\\STANDARD\\chong_zi_yuan_hu_90.prt";
    double dest_csys[6] = {M[0], M[1], M[2], M[3], M[4], M[5]};
    double dest_point[3] = {(P[XMIN] + P[XMAX]) / 2, (P[YMIN] + P[YMAX]) / 2, TK[ZMAX] - 5};
    UF_import_part_modes_t modes = diekit::frame::standard_part_modes();
    tag_t group = NULL_TAG;
    UF_PART_import(part_file, &modes, dest_csys, dest_point, 1.0, &group);
    const std::vector<tag_t> members = diekit::frame::group_members_of(group);
    for (std::size_t i = 0; i < members.size() && i < 2; ++i) {
        tag_t jian_qu = NULL_TAG;
        UF_MODL_subtract_bodies_with_retained_options(fang_kuai, members[i], false, false, &jian_qu);
    }
}

// Every upper plate takes the punch as it now is, the punch kept.
void cut_punch_into_upper_plates(tag_t chong_zi_shi_ti, const std::vector<tag_t> &shang_mo) {
    for (const tag_t plate : shang_mo) {
        tag_t jian_qu = NULL_TAG;
        UF_MODL_subtract_bodies_with_retained_options(plate, chong_zi_shi_ti, false, true, &jian_qu);
    }
}

// Types B (without the step) and C (with it). Every dialog value is read before the first change, so
// that nothing after the frame is turned can throw and leave the WCS turned.
int chong_zi_with_head(formpunch &dialog, bool with_step) {
    try {
        diekit::frame::HostBracket bracket;
        const chong_zi::CommonInput input = chong_zi::read_common_input(dialog);
        const HeadInput head = read_head_input(dialog);
        const chong_zi::Outline outline(input.curves);
        if (!chong_zi::input_usable(input, outline)) return 0;

        const chong_zi::Plates plates = chong_zi::sort_and_split(input.plates);
        chong_zi::cut_lower_openings(outline, plates.xia_mo, input.jian_xi);
        const tag_t chong_zi_shi_ti = chong_zi::create_punch_body(outline, plates);

        const tag_t tui_kuai = diekit::frame::first_body_named("tui_kuai");
        const tag_t dian_ban = diekit::frame::first_body_named("dian_ban");
        if (tui_kuai == NULL_TAG) {
            // No ejector block to hang the head from: the straight punch, held by the upper plates.
            UF_OBJ_set_color(chong_zi_shi_ti, chong_zi::chong_zi_colour);
            cut_punch_into_upper_plates(chong_zi_shi_ti, plates.shang_mo);
            diekit::frame::notify("formpunch", "no body named tui_kuai; the punch was built without a head");
            return 0;
        }
        const Box P = bounding_box(chong_zi_shi_ti);
        const Box TK = bounding_box(tui_kuai);

        double F[3];
        zhong_xin_dian(chong_zi_shi_ti, P, F);
        const double angle = head.turn ? head.jiao_du * du_to_hu_du : 0.0;
        double M[9];
        const double frame_origin[3] = {F[0], F[1], 0.0};
        const tag_t csys = diekit::frame::set_turned_wcs(frame_origin, angle, M);  // the frame at (F.x, F.y, 0)

        const HeadBlocks blocks = create_head_blocks(head, with_step, chong_zi_shi_ti, csys, P, TK);
        cut_arc_reliefs(head, blocks.fang_kuai, P, TK, M);

        UF_OBJ_set_color(chong_zi_shi_ti, chong_zi::chong_zi_colour);
        UF_MODL_unite_bodies(chong_zi_shi_ti, blocks.fang_kuai);
        if (with_step) UF_MODL_unite_bodies(chong_zi_shi_ti, blocks.tai_jie);

        tag_t jian_qu = NULL_TAG;
        UF_MODL_subtract_bodies_with_retained_options(dian_ban, blocks.fang_kuai2, false, true, &jian_qu);
        UF_MODL_subtract_bodies_with_retained_options(tui_kuai, blocks.fang_kuai2, false, false, &jian_qu);
        if (with_step)
            UF_MODL_subtract_bodies_with_retained_options(plates.bodys.front(), blocks.tai_jie2, false, false,
                                                          &jian_qu);

        cut_punch_into_upper_plates(chong_zi_shi_ti, plates.shang_mo);
        diekit::frame::set_absolute_wcs();
        return 0;
    } catch (const std::exception &error) {
        diekit::frame::report_exception(dialog.theUI, error);
        return 1;
    }
}

}  // namespace

int formpunch::chong_zi_B() { return chong_zi_with_head(*this, false); }

int formpunch::chong_zi_C() { return chong_zi_with_head(*this, true); }
