#include "io/outputs.hpp"

#include "io/bom.hpp"
#include "io/checks.hpp"
#include "io/palette.hpp"
#include "io/report.hpp"
#include "io/svg.hpp"
#include "model/store.hpp"

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace diekit::io {

namespace fs = std::filesystem;

namespace {

// A temporary file beside the target, removed unless committed.
class PendingFile {
public:
    explicit PendingFile(const std::string &target)
        : m_target(target), m_temp(target + ".tmp" + std::to_string(::getpid())) {}
    ~PendingFile() {
        std::error_code ignored;
        if (!m_committed) fs::remove(m_temp, ignored);
    }
    const std::string &temp() const { return m_temp; }
    void commit() {
        std::error_code error;
        fs::rename(m_temp, m_target, error);
        if (error) throw SessionError("cannot write '" + m_target + "': " + error.message());
        m_committed = true;
    }

private:
    std::string m_target;
    std::string m_temp;
    bool m_committed = false;
};

void write_report(const SessionResult &result, const std::string &path, const InterferenceReport *checks) {
    auto report = make_report(result);
    report["checks"] = checks_json(checks ? *checks : check_interference());
    std::ofstream out(path);
    out << report.dump(2) << '\n';
    out.close();
    if (!out) throw SessionError("cannot write '" + path + "'");
}

// A text output (drawing, bill of materials) written as it is.
void write_text(const std::string &text, const std::string &path) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) throw SessionError("cannot write '" + path + "'");
}

void write_step(const std::string &path) {
    std::vector<kernel::NamedShape> shapes;
    for (auto *body : model::Store::instance().bodies())
        shapes.push_back({body->shape, body->name, palette_rgb(body->color)});
    try {
        kernel::write_step(path, shapes);
    } catch (const kernel::KernelError &e) {
        throw SessionError("cannot write '" + path + "': " + e.what());
    }
}

}  // namespace

void write_outputs(const SessionResult &result, const OutputPaths &paths, const InterferenceReport *checks) {
    std::vector<std::unique_ptr<PendingFile>> pending;
    if (!paths.step.empty()) {
        pending.push_back(std::make_unique<PendingFile>(paths.step));
        write_step(pending.back()->temp());
    }
    if (!paths.report.empty()) {
        pending.push_back(std::make_unique<PendingFile>(paths.report));
        write_report(result, pending.back()->temp(), checks);
    }
    if (!paths.svg.empty()) {
        pending.push_back(std::make_unique<PendingFile>(paths.svg));
        write_text(drawing_svg(result.name), pending.back()->temp());
    }
    if (!paths.bom.empty()) {
        pending.push_back(std::make_unique<PendingFile>(paths.bom));
        write_text(bom_csv(bill_of_materials()), pending.back()->temp());
    }
    for (auto &file : pending) file->commit();
}

}  // namespace diekit::io
