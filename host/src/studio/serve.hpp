// `diehost serve`: the studio. Opens the starting part, prints the address with its token, and
// serves the page and its API until SIGINT or SIGTERM.
#pragma once

#include <string>

namespace diekit::studio {

struct ServeOptions {
    std::string start;          // SESSION.json, PART.step or empty
    int steps = -1;             // play only the first N steps of the session (all when negative)
    std::string bind = "127.0.0.1";
    int port = 0;
    std::string page_dir;       // the page's files; empty: the repository's studio/ folder
    std::string plugin_dir;     // as for diehost run
    std::string library;        // as for diehost run
    std::string work_dir;       // where uploaded parts are kept; empty: a new folder in the temp dir
    double wait_seconds = 30;   // how long a request waits for its turn before 503
};

// Returns the exit status: 0 after a clean stop, 1 when the start failed (reason on stderr).
int serve(const ServeOptions &options);

// The studio is a library of its own that diehost loads for `serve` only (the HTTP, TLS and
// compression libraries stay out of every other run); this is what its entry hands over.
struct StudioFunctions {
    int (*serve)(const ServeOptions &options);
};

}  // namespace diekit::studio

extern "C" const diekit::studio::StudioFunctions *diekit_studio_functions();
