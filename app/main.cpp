// diehost: plays a designer's dialog session through the plug-ins and writes the resulting part.
#include "io/checks.hpp"
#include "io/outputs.hpp"
#include "io/session.hpp"
#include "io/terminal_text.hpp"
#include "kernel/modules.hpp"
#include "model/errors.hpp"
#include "model/store.hpp"
#include "studio/serve.hpp"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <exception>
#include <new>
#include <string>

namespace {

// The steps that had a failed host call or an error box.
std::size_t steps_with_warnings(const diekit::io::SessionResult &result) {
    std::size_t count = 0;
    for (auto &step : result.steps) count += !step.warnings.empty();
    return count;
}

// The interference checks run only when an output asks for them: the report or --checks.
int run(const std::string &session, const diekit::io::RunOptions &options, const diekit::io::OutputPaths &paths,
        bool print_checks, bool quiet, bool strict) {
    auto &store = diekit::model::Store::instance();
    store.set_echo(!quiet);
    try {
        auto result = diekit::io::run_session(session, options);
        if (std::size_t failed = steps_with_warnings(result); strict && failed) {
            std::fprintf(stderr, "diehost: --strict: %zu step(s) had failed host calls or error boxes; nothing written\n",
                         failed);
            return 1;
        }
        std::optional<diekit::io::InterferenceReport> checks;
        if (print_checks) checks = diekit::io::check_interference();
        diekit::io::write_outputs(result, paths, checks ? &*checks : nullptr);
        if (checks) std::fputs(diekit::io::checks_text(*checks, result.name).c_str(), stdout);
        if (!quiet)
            std::printf("diehost: %s: %zu step(s), %zu bodies, %.1f ms\n", result.name.c_str(), result.steps.size(),
                        store.bodies().size(), result.ms);
        return 0;
    } catch (const std::bad_alloc &) {
        std::fputs("diehost: out of memory\n", stderr);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "diehost: %s\n", diekit::io::one_line(e.what()).c_str());
    }
    return 1;
}

// Plays the session and prints the pairs of bodies that share volume or touch; exit 0 when it played.
int check(const std::string &session, const diekit::io::RunOptions &options, bool quiet) {
    auto &store = diekit::model::Store::instance();
    store.set_echo(!quiet);
    try {
        auto result = diekit::io::run_session(session, options);
        std::fputs(diekit::io::checks_text(diekit::io::check_interference(), result.name).c_str(), stdout);
        return 0;
    } catch (const std::bad_alloc &) {
        std::fputs("diehost: out of memory\n", stderr);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "diehost: %s\n", diekit::io::one_line(e.what()).c_str());
    }
    return 1;
}

// Serves the studio from its own library, loaded only for this command.
int serve_studio(const diekit::studio::ServeOptions &options) {
    try {
        const auto &studio = diekit::kernel::module_table<diekit::studio::StudioFunctions, std::runtime_error>(
            "libdiehost_studio.so", "diekit_studio_functions", "the studio");
        return studio.serve(options);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "diehost: %s\n", diekit::io::one_line(e.what()).c_str());
    }
    return 1;
}

// An exception that escapes a thread would abort the process: say what it was in one line and exit
// with status 1 instead, as for any other failure.
[[noreturn]] void on_terminate() {
    const char *reason = "an internal error";
    std::string text;
    try {
        if (auto error = std::current_exception()) std::rethrow_exception(error);
    } catch (const std::bad_alloc &) {
        reason = "out of memory";
    } catch (const std::exception &e) {
        text = e.what();
        reason = text.c_str();
    } catch (...) {
    }
    std::fprintf(stderr, "diehost: %s\n", diekit::io::one_line(reason).c_str());
    std::fflush(stdout);
    std::_Exit(1);
}

}  // namespace

int main(int argc, char **argv) {
    CLI::App app{"diehost: runs diekit plug-ins headless on a real geometry kernel.\n"
                 "A session file gives the starting part, fixtures and the dialog steps to play;\n"
                 "the work part is written as STEP (names and colours), a JSON report, a drawing (SVG)\n"
                 "a parts list, plate sheets with hole tables (SVG, PDF) and wire-cutting profiles (DXF);\n"
                 "`check` lists the bodies that interfere."};
    app.require_subcommand(1);

    auto *run_cmd = app.add_subcommand("run", "Play a session file and write the outputs asked for");
    std::string session;
    diekit::io::RunOptions options;
    diekit::io::OutputPaths paths;
    bool quiet = false, print_checks = false;
    run_cmd->add_option("session", session, "Session file (JSON)")->required();
    run_cmd->add_option("--step", paths.step, "Write the work part's bodies as STEP (AP214, names and colours)");
    run_cmd->add_option("--report", paths.report,
                        "Write the JSON report (bodies, messages, steps, WCS, interference checks)");
    run_cmd->add_option("--svg", paths.svg,
                        "Write a drawing of the unblanked bodies: front, top, left and isometric views, hidden "
                        "lines removed, A3 sheet (SVG)");
    run_cmd->add_option("--bom", paths.bom,
                        "Write the parts list (CSV): one row per distinct part with quantity, item number, "
                        "designation, stock size, material, heat treatment and mass");
    run_cmd->add_option("--bodies", paths.bodies,
                        "Write one CSV row per body with role, library file, size, volume, steel mass");
    run_cmd->add_option("--sheets", paths.sheets,
                        "Write one drawing sheet per plate into this folder (SVG): top view, section, "
                        "dimensions and hole table");
    run_cmd->add_option("--pdf", paths.pdf, "Write every plate sheet into one PDF");
    run_cmd->add_option("--dxf", paths.dxf,
                        "Write the wire-cutting profiles into this folder: one DXF (R12) per body with a "
                        "through profile, layers by role");
    run_cmd->add_option("--plugins", options.plugin_dir,
                        "Folder of the plug-in libraries and their .dlx files (default: $DIEKIT_PLUGINS, "
                        "else the build's plugins/ folder)");
    run_cmd->add_option("--library", options.library,
                        "Standard-part library root (default: the session's 'library', else $DIELIB, else "
                        "the repository's library/)");
    bool strict = false;
    run_cmd->add_flag("--checks", print_checks,
                      "Print the interference checks as `check` does (they run only for this or --report)");
    run_cmd->add_flag("--quiet,-q", quiet, "Print only errors, the steps' warnings and the checks asked for");
    run_cmd->add_flag("--strict", strict,
                      "Exit 1 and write nothing when any step had a failed host call or an error message box");

    auto *check_cmd = app.add_subcommand(
        "check", "Play a session file and list every pair of bodies that share volume (with the shared volume) "
                 "and every pair that only touches");
    check_cmd->add_option("session", session, "Session file (JSON)")->required();
    check_cmd->add_option("--plugins", options.plugin_dir, "Folder of the plug-in libraries (as for run)");
    check_cmd->add_option("--library", options.library, "Standard-part library root (as for run)");
    check_cmd->add_flag("--quiet,-q", quiet, "Print only the checks and errors");

    auto *serve_cmd = app.add_subcommand(
        "serve", "Serve the studio: the plug-ins run interactively in a local web page (prints its address)");
    diekit::studio::ServeOptions serve_options;
    serve_cmd->add_option("start", serve_options.start,
                          "Session file (JSON) or STEP part to start from (default: an empty part)");
    serve_cmd->add_option("--port", serve_options.port, "Port to listen on (default: any free port)")
        ->check(CLI::Range(0, 65535));
    serve_cmd->add_option("--bind", serve_options.bind, "Address to listen on (default: 127.0.0.1, this machine only)");
    serve_cmd->add_option("--steps", serve_options.steps,
                          "Play only the first N steps of the session (renames count as steps)")
        ->check(CLI::NonNegativeNumber);
    serve_cmd->add_option("--page", serve_options.page_dir, "Folder of the page's files (default: the repository's studio/)");
    serve_cmd->add_option("--plugins", serve_options.plugin_dir, "Folder of the plug-in libraries (as for run)");
    serve_cmd->add_option("--library", serve_options.library, "Standard-part library root (as for run)");
    serve_cmd->add_option("--work", serve_options.work_dir,
                          "Folder where uploaded STEP parts are kept (default: a new folder in the temp folder)");
    serve_cmd->add_option("--wait", serve_options.wait_seconds,
                          "Seconds a request waits for the host (busy with an Apply) before it is answered 503")
        ->check(CLI::Range(0.0, 3600.0));

    std::set_terminate(on_terminate);
    CLI11_PARSE(app, argc, argv);
    if (run_cmd->parsed()) return run(session, options, paths, print_checks, quiet, strict);
    if (check_cmd->parsed()) return check(session, options, quiet);
    if (serve_cmd->parsed()) return serve_studio(serve_options);
    return 2;
}
