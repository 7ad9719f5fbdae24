#include "io/step_warnings.hpp"

#include "io/terminal_text.hpp"

#include <cstdio>

namespace diekit::io {

namespace {

std::string step_name(int step, const std::string &plugin) {
    return "step " + std::to_string(step) + " (" + plugin + ")";
}

bool is_error_box(const model::Message &message) { return message.kind == "box" && message.type == 0; }

}  // namespace

StepMark mark_step(const model::Store &store) { return {store.log_lines().size(), store.messages().size()}; }

std::vector<std::string> step_warnings(const model::Store &store, const StepMark &since, int step,
                                       const std::string &plugin) {
    const std::string where = step_name(step, plugin) + ": ";
    std::vector<std::string> warnings;
    const auto &log = store.log_lines();
    for (std::size_t i = since.log; i < log.size(); ++i) warnings.push_back(where + log[i]);
    const auto &messages = store.messages();
    for (std::size_t i = since.messages; i < messages.size(); ++i)
        if (is_error_box(messages[i]))
            warnings.push_back(where + "error box '" + messages[i].title + "': " + messages[i].text);
    return warnings;
}

void print_step_warnings(const std::vector<std::string> &warnings, int step, const std::string &plugin) {
    if (warnings.empty()) return;
    for (const std::string &line : warnings) std::fprintf(stderr, "diehost: warning: %s\n", one_line(line).c_str());
    std::fprintf(stderr, "diehost: %s: %zu warning(s) (failed host calls and error boxes)\n",
                 one_line(step_name(step, plugin)).c_str(), warnings.size());
    std::fflush(stderr);
}

}  // namespace diekit::io
