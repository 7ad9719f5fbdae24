// creat_dao_tao_and_dao_zhu_1 .. _4: one guide pillar and bushing set each, imported from the
// standard-part library at one corner of the die set on the upper shoe's base level, then fitted to
// the plate stack by editing its "L1" (bushing) and "L2" (pillar) expressions.
#include <uf.h>
#include <uf_modl.h>
#include <uf_part.h>
#include <uf_ui.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "flipdie.hpp"
#include "flipdie_inputs.hpp"
#include "host_helpers.hpp"
#include "parameter_removal.hpp"
#include "placement.hpp"

using flipdie_detail::Inputs;

namespace {

// One row of the guide pillar size table for the sets.
struct DaoZhuRow {
    const char *part_file;
    double a, c;        // corner insets, as for the shoes' holes
    double L1_jian;     // "L1" = SMZC - L1_jian; also the bushing's guide length
    double L2_jian;     // "L2" = H - L2_jian
};

constexpr std::array<DaoZhuRow, flipdie_detail::guide_size_count> dao_zhu_rows = {{
    {"D:\\DIELIB\\STANDARD\\Outside the guide pin\\16X100.prt", 0, 30, 25, 17.5},
    {"D:\\DIELIB\\STANDARD\\Outside the guide pin\\18X100.prt", 0, 30, 25, 17.5},
    {"D:\\DIELIB\\STANDARD\\Outside the guide pin\\20X100.prt", 0, 30, 25, 17.5},
    {"D:\\DIELIB\\STANDARD\\Outside the guide pin\\22X100.prt", 0, 30, 25, 17.5},
    {"D:\\DIELIB\\STANDARD\\Outside the guide pin\\25X100.prt", 5, 30, 55, 22.5},
    {"D:\\DIELIB\\STANDARD\\Outside the guide pin\\28X100.prt", 10, 35, 55, 30.5},
    {"D:\\DIELIB\\STANDARD\\Outside the guide pin\\32X100.prt", 10, 35, 55, 30.5},
    {"D:\\DIELIB\\STANDARD\\Outside the guide pin\\35X100.prt", 10, 35, 55, 30.5},
    {"D:\\DIELIB\\STANDARD\\Outside the guide pin\\38X100.prt", 10, 40, 55, 30.5},
}};

// Memory the host hands out, released with UF_free.
struct HostFree {
    void operator()(void *data) const { UF_free(data); }
};
template <class T>
using HostMemory = std::unique_ptr<T, HostFree>;

// The largest suffix number over the expressions of the display part, leaving out the names whose
// base is "L1"; 0 when none is larger. Names are split at the first apostrophe; the text after it is
// read with atoi, and a name without one counts as 0.
int largest_suffix() {
    const tag_t part = UF_PART_ask_display_part();
    int count = 0;
    tag_t *exps_raw = nullptr;
    UF_MODL_ask_exps_of_part(part, &count, &exps_raw);
    const HostMemory<tag_t> exps(exps_raw);

    std::vector<int> arrayN;
    for (int i = 0; i < count; ++i) {
        char *string_raw = nullptr;
        UF_MODL_ask_exp_tag_string(exps.get()[i], &string_raw);
        const HostMemory<char> string(string_raw);
        if (!string) continue;
        char *lhs_raw = nullptr, *rhs_raw = nullptr;
        tag_t exp_tag = NULL_TAG;
        UF_MODL_dissect_exp_string(string.get(), &lhs_raw, &rhs_raw, &exp_tag);
        const HostMemory<char> lhs(lhs_raw), rhs(rhs_raw);
        if (!lhs) continue;

        const std::string name = lhs.get();
        const std::size_t apostrophe = name.find('\'');
        const std::string oldname = name.substr(0, apostrophe);
        const int number = apostrophe == std::string::npos ? 0 : std::atoi(name.c_str() + apostrophe + 1);
        if (oldname != "L1") arrayN.push_back(number);
    }
    int n = 0;
    for (const int number : arrayN) n = std::max(n, number);
    return n;
}

// Import and fit for one corner (builder number 1 to 4) and one row of the size table.
void place_set(int builder, const Inputs &in, const DaoZhuRow &row) {
    const double x = in.v.chang / 2, y = in.v.kuan / 2 + row.c;
    const std::array<std::array<double, 2>, 4> jiao = {{
        {x - row.a, y},       // 1: corner 1 of the shoes
        {-x + row.a, y},      // 2: corner 3
        {x - 5 - row.a, -y},  // 3: corner 2, 5 further in along X
        {-x + row.a, -y},     // 4: corner 4
    }};
    const auto &xy = jiao[static_cast<std::size_t>(builder - 1)];
    double dest_point[3] = {xy[0], xy[1], in.z_shang_mo_zuo()};
    double dest_csys[6] = {1, 0, 0, 0, 1, 0};

    UF_import_part_modes_t modes = diekit::frame::standard_part_modes();
    tag_t group = NULL_TAG;
    UF_PART_import(row.part_file, &modes, dest_csys, dest_point, 1.0, &group);
    // Without the new set the largest suffix would belong to an earlier set, which must not be
    // edited again: say so and leave the expressions alone.
    if (group == NULL_TAG) {
        const std::string message = std::string("导柱导套零件导入失败: ") + row.part_file;
        uc1601(message.c_str(), 1);
        return;
    }

    // A shoe thinner than the guide length leaves "L1" < 0: the set still fits the shoe, with a
    // shorter guide. The four sets share the size and the shoe, so the first one says it.
    const double L1 = in.v.SMZC - row.L1_jian;
    if (L1 < 0 && builder == 1) {
        const std::string note = "the upper die shoe (" + std::string(diekit::frame::size_text(in.v.SMZC).data()) +
                                 ") is thinner than the guide sets' guide length " +
                                 std::string(diekit::frame::size_text(row.L1_jian).data()) +
                                 ": each bushing fills the shoe and guides over its thickness only";
        diekit::frame::notify("flipdie", note.c_str());
    }
    const int n = largest_suffix();
    char LL1[256], LL2[256];
    std::snprintf(LL1, sizeof LL1, "L1'%d=%f", n, L1);
    std::snprintf(LL2, sizeof LL2, "L2'%d=%f", n, in.h_xia() - row.L2_jian);
    UF_MODL_edit_exp(LL1);
    UF_MODL_edit_exp(LL2);
    UF_MODL_update();
}

// The procedure of all four builders; returns the builder's result.
int dao_tao_and_dao_zhu(flipdie &dialog, int builder) {
    try {
        diekit::frame::HostBracket bracket;
        Inputs in = flipdie_detail::read_inputs(dialog);
        const int k = flipdie_detail::guide_size_index(dialog);
        // A size outside the table imports and edits nothing; the parameters are removed all the same.
        if (k >= 0 && k < flipdie_detail::guide_size_count)
            place_set(builder, in, dao_zhu_rows[static_cast<std::size_t>(k)]);
        return diekit::frame::remove_all_body_parameters(flipdie::theUI);
    } catch (const std::exception &) {
        diekit::frame::report_error(flipdie::theUI);
        return 1;
    }
}

}  // namespace

int flipdie::creat_dao_tao_and_dao_zhu_1() { return dao_tao_and_dao_zhu(*this, 1); }
int flipdie::creat_dao_tao_and_dao_zhu_2() { return dao_tao_and_dao_zhu(*this, 2); }
int flipdie::creat_dao_tao_and_dao_zhu_3() { return dao_tao_and_dao_zhu(*this, 3); }
int flipdie::creat_dao_tao_and_dao_zhu_4() { return dao_tao_and_dao_zhu(*this, 4); }
