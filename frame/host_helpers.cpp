#include "host_helpers.hpp"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace diekit::frame {

int ObjectList::count() const {
    int n = 0;
    if (m_list != nullptr) UF_MODL_ask_list_count(m_list, &n);
    return n;
}

tag_t ObjectList::item(int index) const {
    tag_t object = NULL_TAG;
    UF_MODL_ask_list_item(m_list, index, &object);
    return object;
}

SizeText size_text(double value) {
    SizeText text{};
    std::snprintf(text.data(), text.size(), "%f", value);
    return text;
}

double trunc32(double value) {
    if (!(std::fabs(value) < 2147483648.0)) return 0.0;
    return static_cast<double>(static_cast<std::int32_t>(value));
}

std::array<double, 6> bounding_box(tag_t object) {
    std::array<double, 6> box{};
    UF_MODL_ask_bounding_box(object, box.data());
    return box;
}

tag_t body_of(tag_t feature) {
    tag_t body = NULL_TAG;
    UF_MODL_ask_feat_body(feature, &body);
    return body;
}

}  // namespace diekit::frame
