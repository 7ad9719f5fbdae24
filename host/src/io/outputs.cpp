#include "io/outputs.hpp"

#include "io/bom.hpp"
#include "io/checks.hpp"
#include "io/palette.hpp"
#include "io/pdf.hpp"
#include "io/report.hpp"
#include "io/roles.hpp"
#include "io/shop_outputs.hpp"
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

// An output folder, made when missing and removed again unless committed.
class PendingFolder {
public:
    explicit PendingFolder(const std::string &path) : m_path(path) {
        std::error_code error;
        m_made = fs::create_directories(path, error);
        if (error || !fs::is_directory(path)) throw SessionError("cannot make the folder '" + path + "'");
    }
    ~PendingFolder() {
        std::error_code ignored;
        if (m_made && !m_committed) fs::remove_all(m_path, ignored);
    }
    std::string file(const std::string &name) const { return (fs::path(m_path) / name).string(); }
    void commit() { m_committed = true; }

private:
    std::string m_path;
    bool m_made = false, m_committed = false;
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
    const auto names = display_names();
    for (auto *body : model::Store::instance().bodies())
        shapes.push_back({body->shape, names.at(body->tag), palette_rgb(body->color)});
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
    ShopOutputs shop(result.name);
    if (!paths.svg.empty()) {
        pending.push_back(std::make_unique<PendingFile>(paths.svg));
        write_text(drawing_svg(result.name, shop.parts()), pending.back()->temp());
    }
    if (!paths.bom.empty()) {
        pending.push_back(std::make_unique<PendingFile>(paths.bom));
        write_text(parts_list_csv(shop.parts()), pending.back()->temp());
    }
    if (!paths.bodies.empty()) {
        pending.push_back(std::make_unique<PendingFile>(paths.bodies));
        write_text(bom_csv(bill_of_materials()), pending.back()->temp());
    }
    std::vector<std::unique_ptr<PendingFolder>> folders;
    if (!paths.sheets.empty()) {
        folders.push_back(std::make_unique<PendingFolder>(paths.sheets));
        for (const SheetFile &sheet : shop.sheets()) {
            pending.push_back(std::make_unique<PendingFile>(folders.back()->file(sheet.file)));
            write_text(sheet.svg, pending.back()->temp());
        }
    }
    if (!paths.pdf.empty()) {
        pending.push_back(std::make_unique<PendingFile>(paths.pdf));
        std::vector<std::string> sheets;
        for (const SheetFile &sheet : shop.sheets()) sheets.push_back(sheet.svg);
        write_pdf(sheets, pending.back()->temp());
    }
    if (!paths.dxf.empty()) {
        folders.push_back(std::make_unique<PendingFolder>(paths.dxf));
        for (const auto &[file, profile] : shop.profiles()) {
            pending.push_back(std::make_unique<PendingFile>(folders.back()->file(file)));
            write_dxf(profile, pending.back()->temp());
        }
    }
    for (auto &file : pending) file->commit();
    for (auto &folder : folders) folder->commit();
}

}  // namespace diekit::io
