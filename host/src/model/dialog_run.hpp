// One session step as the headless dialog driver plays it, and what it leaves for the report.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace diekit::model {

struct DialogRun {
    // What to play.
    int step = 0;                   // 1-based step number, for messages
    std::string plugin;             // plug-in name
    std::string plugin_dir;         // folder of the plug-in library (its .dlx lies beside it)
    nlohmann::ordered_json values;  // block identifier -> value, in the order written
    std::vector<std::string> press;  // buttons in order: "apply", "ok", "cancel"
    // Values and buttons interleaved, as the studio records a dialog where values were set after an
    // Apply or a block was set twice: [{"set": block, "value": v} | {"press": button}]. When not
    // empty, it is played instead of values and press.
    nlohmann::ordered_json events = nlohmann::ordered_json::array();

    // What happened.
    bool opened = false;            // a dialog of this step was shown
    std::vector<std::string> pressed;
    std::vector<int> results;
    double ms = 0;                  // wall time inside the plug-in's callbacks
    nlohmann::ordered_json dialog = nlohmann::ordered_json::object();  // block states at close
    std::string error;              // non-empty: the step cannot be played
    std::vector<std::string> warnings;  // one line per failed host call and per error box of the step
};

}  // namespace diekit::model
