// Session files: fixtures and dialog steps played through the plug-ins, on a fresh work part.
#pragma once

#include "model/dialog_run.hpp"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace diekit::io {

struct RunOptions {
    std::string plugin_dir;  // empty: beside the command, else the build's plug-in folder
    std::string library;     // overrides the session's "library" entry when set
};

struct SessionResult {
    std::string name;                     // session file name without folder and extension
    std::vector<model::DialogRun> steps;  // what each step did
    double ms = 0;                        // wall time of the whole session
};

// The folder of the plug-in libraries: the option, else $DIEKIT_PLUGINS, else the build's folder.
std::string plugin_folder(const RunOptions &options);

// Reads and plays a session file into the (reset) object store. Throws SessionError with a one-line
// reason naming the step, block or fixture at fault.
SessionResult run_session(const std::string &path, const RunOptions &options = {});

// Plays a session given as JSON; base_dir resolves relative paths.
SessionResult run_session_json(const nlohmann::ordered_json &session, const std::string &base_dir,
                               const RunOptions &options = {});

}  // namespace diekit::io
