#include "io/outputs.hpp"

#include "io/bom.hpp"
#include "io/checks.hpp"
#include "io/output_set.hpp"
#include "io/palette.hpp"
#include "io/report.hpp"
#include "io/svg.hpp"
#include "model/store.hpp"

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
    for (auto *body : model::Store::instance().bodies())
        shapes.push_back({body->shape, body->name, palette_rgb(body->color)});
    kernel::write_step(path, shapes);
}

}  // namespace

void write_outputs(const SessionResult &result, const OutputPaths &paths, const InterferenceReport *checks) {
    OutputSet outputs;
    outputs.add_file(paths.step, write_step);
    outputs.add_file(paths.report,
                     [&result, checks](const std::string &path) { write_text_file(report_text(result, checks), path); });
    outputs.add_file(paths.svg, [&result](const std::string &path) { write_text_file(drawing_svg(result.name), path); });
    outputs.add_file(paths.bom, [](const std::string &path) { write_text_file(bom_csv(bill_of_materials()), path); });
    outputs.commit();
}

}  // namespace diekit::io
