// Loads the plug-ins built against the fake host and runs them the way the host does: ufusr with
// a scripted dialog session.
#ifndef DIEKIT_FRAME_TESTS_PLUGIN_RUNNER_HPP
#define DIEKIT_FRAME_TESTS_PLUGIN_RUNNER_HPP

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_host.hpp"

namespace runner {

struct Plugin {
    void (*ufusr)(char *, int *, int) = nullptr;
    int (*ufusr_ask_unload)() = nullptr;
    void (*ufusr_cleanup)() = nullptr;
};

inline const std::vector<std::string> all_plugins = {"flatinsert", "tiltinsert", "tiltledge", "boxspring",
                                                     "wirespring", "stripbolt",  "keepplate", "tiltplate",
                                                     "formpunch",  "flipdie"};

// The plug-in's library, loaded once.
const Plugin &plugin(const std::string &name);

// True while the plug-in's apply_cb only says that it builds nothing (its builders not written).
bool builds_nothing_yet(const std::string &name);

// ufusr of the plug-in with this dialog script.
void run(const std::string &name, std::vector<fake::Step> script);

// A fresh part and fresh records, dialogs read from the source tree.
class PluginTest : public ::testing::Test {
protected:
    void SetUp() override { fake::reset(DIEKIT_SOURCE_DIR); }
    static fake::State &host() { return fake::state(); }
    static bool shown(const std::string &snapshot, const std::string &id) {
        return host().snapshots.at(snapshot).at(id).shown;
    }
};

}  // namespace runner

#endif
