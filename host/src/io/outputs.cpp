#include "io/outputs.hpp"

#include "io/bom.hpp"
#include "io/checks.hpp"
#include "io/output_set.hpp"
#include "io/palette.hpp"
#include "io/pdf.hpp"
#include "io/report.hpp"
#include "io/roles.hpp"
#include "io/shop_outputs.hpp"
#include "io/svg.hpp"
#include "model/store.hpp"

#include <filesystem>
#include <fstream>
#include <cerrno>
#include <cstring>

namespace diekit::io {

namespace {

// Writers of the set: each fills its temporary and throws with a reason when it cannot.
void write_text_file(const std::string &text, const std::string &path) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) throw SessionError("the file could not be written (" + std::string(std::strerror(errno)) + ")");
}

std::string report_text(const SessionResult &result, const InterferenceReport *checks) {
    auto report = make_report(result);
    report["checks"] = checks_json(checks ? *checks : check_interference());
    return report.dump(2) + "\n";
}

void write_step(const std::string &path) {
    std::vector<kernel::NamedShape> shapes;
    const auto names = display_names();
    for (auto *body : model::Store::instance().bodies())
        shapes.push_back({body->shape, names.at(body->tag), palette_rgb(body->color)});
    kernel::write_step(path, shapes);
}

}  // namespace

void write_outputs(const SessionResult &result, const OutputPaths &paths, const InterferenceReport *checks) {
    ShopOutputs shop(result.name);  // the parts list, plates and profiles, worked out once for all
    auto in_folder = [](const std::string &folder, const std::string &file) { return (std::filesystem::path(folder) / file).string(); };
    OutputSet outputs;
    outputs.add_file(paths.step, write_step);
    outputs.add_file(paths.report,
                     [&result, checks](const std::string &path) { write_text_file(report_text(result, checks), path); });
    outputs.add_file(paths.svg, [&](const std::string &path) { write_text_file(drawing_svg(result.name, shop.parts()), path); });
    outputs.add_file(paths.bom, [&](const std::string &path) { write_text_file(parts_list_csv(shop.parts()), path); });
    outputs.add_file(paths.bodies, [](const std::string &path) { write_text_file(bom_csv(bill_of_materials()), path); });
    outputs.add_folder(paths.sheets, [&](const std::string &folder) {
        for (const SheetFile &sheet : shop.sheets()) write_text_file(sheet.svg, in_folder(folder, sheet.file));
    });
    outputs.add_file(paths.pdf, [&](const std::string &path) {
        std::vector<std::string> sheets;
        for (const SheetFile &sheet : shop.sheets()) sheets.push_back(sheet.svg);
        write_pdf(sheets, path);
    });
    outputs.add_folder(paths.dxf, [&](const std::string &folder) {
        for (const auto &[file, profile] : shop.profiles()) write_dxf(profile, in_folder(folder, file));
    });
    outputs.commit();
}

}  // namespace diekit::io
