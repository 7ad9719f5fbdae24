#include "flipdie_inputs.hpp"

#include "flipdie.hpp"

namespace flipdie_detail {

using diekit::frame::expression_value;
using diekit::frame::size_text;

Inputs read_inputs(const flipdie &dialog) {
    Inputs in{};
    PerBlock<double> &v = in.v;
    v.tiao_liao = expression_value(dialog.tiao_liao);
    v.jian_xi = expression_value(dialog.jian_xi);
    v.chang = expression_value(dialog.chang);
    v.kuan = expression_value(dialog.kuan);
    v.SMZC = expression_value(dialog.SMZC);
    v.SDBC = expression_value(dialog.SDBC);
    v.SGDBC = expression_value(dialog.SGDBC);
    v.KXDBC = expression_value(dialog.KXDBC);
    v.AMBC = expression_value(dialog.AMBC);
    v.XLBC = expression_value(dialog.XLBC);
    v.XGDBC = expression_value(dialog.XGDBC);
    v.XDBC = expression_value(dialog.XDBC);
    v.XMZC = expression_value(dialog.XMZC);
    v.TAMC = expression_value(dialog.TAMC);
    v.mo_bing = expression_value(dialog.mo_bing);

    PerBlock<diekit::frame::SizeText> &t = in.t;
    t.tiao_liao = size_text(v.tiao_liao);
    t.jian_xi = size_text(v.jian_xi);
    t.chang = size_text(v.chang);
    t.kuan = size_text(v.kuan);
    t.SMZC = size_text(v.SMZC);
    t.SDBC = size_text(v.SDBC);
    t.SGDBC = size_text(v.SGDBC);
    t.KXDBC = size_text(v.KXDBC);
    t.AMBC = size_text(v.AMBC);
    t.XLBC = size_text(v.XLBC);
    t.XGDBC = size_text(v.XGDBC);
    t.XDBC = size_text(v.XDBC);
    t.XMZC = size_text(v.XMZC);
    t.TAMC = size_text(v.TAMC);
    t.mo_bing = size_text(v.mo_bing);

    in.edge_select0 = diekit::frame::selected_tags(dialog.edge_select0);
    return in;
}

int guide_size_index(const flipdie &dialog) { return diekit::frame::enum_index(dialog.enum0); }

}  // namespace flipdie_detail
