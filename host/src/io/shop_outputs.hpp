// What the shop outputs share, made once per run when first asked for: the parts list, the plates with
// their hole tables, the sheets and the wire-cutting profiles.
#pragma once

#include "io/dxf_profiles.hpp"
#include "io/parts_list.hpp"
#include "io/plate_sheets.hpp"

#include <optional>
#include <string>
#include <vector>

namespace diekit::io {

class ShopOutputs {
public:
    explicit ShopOutputs(std::string session) : m_session(std::move(session)) {}
    const std::vector<PartsListRow> &parts();
    const std::vector<Plate> &plates();
    const std::vector<SheetFile> &sheets();
    // Each profile with its file name ("die_plate_1.dxf").
    const std::vector<std::pair<std::string, BodyProfile>> &profiles();

private:
    std::string m_session;
    std::optional<std::vector<PartsListRow>> m_parts;
    std::optional<std::vector<Plate>> m_plates;
    std::optional<std::vector<SheetFile>> m_sheets;
    std::optional<std::vector<std::pair<std::string, BodyProfile>>> m_profiles;
};

}  // namespace diekit::io
