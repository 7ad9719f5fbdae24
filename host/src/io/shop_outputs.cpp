#include "io/shop_outputs.hpp"

#include "model/store.hpp"

namespace diekit::io {

const std::vector<PartsListRow> &ShopOutputs::parts() {
    if (!m_parts) m_parts = parts_list(load_materials(model::Store::instance().library_root()));
    return *m_parts;
}

const std::vector<Plate> &ShopOutputs::plates() {
    if (!m_plates) m_plates = io::plates();
    return *m_plates;
}

const std::vector<SheetFile> &ShopOutputs::sheets() {
    if (!m_sheets) m_sheets = plate_sheets(m_session, plates(), parts());
    return *m_sheets;
}

const std::vector<std::pair<std::string, BodyProfile>> &ShopOutputs::profiles() {
    if (!m_profiles) {
        m_profiles.emplace();
        std::vector<std::string> taken;
        for (BodyProfile &profile : body_profiles(plates()))
            m_profiles->emplace_back(file_stem(profile.name, taken) + ".dxf", std::move(profile));
    }
    return *m_profiles;
}

}  // namespace diekit::io
