// What every flipdie builder reads first: the fifteen sizes of the dialog (millimetres), each also as
// its "%f" text named like its block, and the curves of the blank's outline in selection order.
#ifndef DIEKIT_FLIPDIE_INPUTS_HPP
#define DIEKIT_FLIPDIE_INPUTS_HPP

#include <uf_defs.h>

#include <vector>

#include "host_helpers.hpp"

class flipdie;

namespace flipdie_detail {

// One value of each kind per block; the field names are the block identifiers.
template <class T>
struct PerBlock {
    T tiao_liao, jian_xi, chang, kuan;
    T SMZC, SDBC, SGDBC, KXDBC, AMBC, XLBC, XGDBC, XDBC, XMZC, TAMC;
    T mo_bing;
};

struct Inputs {
    PerBlock<double> v;                   // values as read
    PerBlock<diekit::frame::SizeText> t;  // the same values formatted with "%f"
    std::vector<tag_t> edge_select0;      // curve tags, in the collector's order

    // Ztop: the top face of the upper backing plate.
    double z_top() const { return v.tiao_liao + v.AMBC + v.KXDBC + v.SGDBC + v.SDBC; }
    // Zs: the base of the upper die shoe and the level of the guide sets.
    double z_shang_mo_zuo() const { return v.tiao_liao + v.TAMC + v.SDBC + 0.5; }
    // H: from the stripper plate's top face down to the lower die shoe's base.
    double h_xia() const { return v.AMBC + v.KXDBC + v.XGDBC + v.XDBC + v.XMZC; }
};

// Reads the blocks of the dialog; a block missing from the dialog file throws std::invalid_argument.
Inputs read_inputs(const flipdie &dialog);

// Guide pillar size: the zero-based member index of "enum0".
int guide_size_index(const flipdie &dialog);

// Number of rows of the guide pillar size tables: valid indexes are 0 to 8.
inline constexpr int guide_size_count = 9;

}  // namespace flipdie_detail

#endif
