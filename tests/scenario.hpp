// Scenario tests: play a session through the real plug-ins and read the report, as a user would.
#pragma once

#include "io/report.hpp"
#include "io/session.hpp"
#include "model/errors.hpp"
#include "model/store.hpp"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <string>

namespace scenario {

using Json = nlohmann::ordered_json;

// Plays the session (relative paths from the repository) and returns its report.
inline Json play(const Json &session) {
    diekit::model::Store::instance().set_echo(false);
    auto result = diekit::io::run_session_json(session, DIEKIT_SOURCE_DIR);
    return diekit::io::make_report(result);
}

// Plays a session file of the repository ("examples/flatinsert.json").
inline Json play_file(const std::string &relative) {
    diekit::model::Store::instance().set_echo(false);
    auto result = diekit::io::run_session(std::string(DIEKIT_SOURCE_DIR) + "/" + relative);
    return diekit::io::make_report(result);
}

// The session error's text, or "" when the session played.
inline std::string error_of(const Json &session) {
    try {
        play(session);
    } catch (const diekit::SessionError &e) {
        return e.what();
    }
    return "";
}

// The first body of the report with this name (fails the test when there is none).
inline const Json &body(const Json &report, const std::string &name) {
    for (auto &b : report["bodies"])
        if (b["name"] == name) return b;
    ADD_FAILURE() << "no body named " << name;
    static const Json none = Json::object();
    return none;
}

// Bodies of the report with this colour.
inline std::vector<Json> bodies_of_color(const Json &report, int color) {
    std::vector<Json> found;
    for (auto &b : report["bodies"])
        if (b["color"] == color) found.push_back(b);
    return found;
}

inline double extent(const Json &b, int axis) { return b["bbox"][axis + 3].get<double>() - b["bbox"][axis].get<double>(); }

}  // namespace scenario
