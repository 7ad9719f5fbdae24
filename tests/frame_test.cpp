// The frame as the host runs it: every plug-in loads and starts through ufusr, binds the blocks of
// its table, applies its visibility and formula rules when the dialog opens and on each update, and
// runs nothing on cancel; dialog files that lack a block or give one another class are session
// errors; the parameter removal on an empty part.
#include "scenario.hpp"

#include "boxspring/boxspring.hpp"
#include "flatinsert/flatinsert.hpp"
#include "flipdie/flipdie.hpp"
#include "formpunch/formpunch.hpp"
#include "keepplate/keepplate.hpp"
#include "stripbolt/stripbolt.hpp"
#include "tiltinsert/tiltinsert.hpp"
#include "tiltledge/tiltledge.hpp"
#include "tiltplate/tiltplate.hpp"
#include "wirespring/wirespring.hpp"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using scenario::Json;

struct Row {
    std::string cls, id;
    bool operator==(const Row &) const = default;
};
#define FRAME_TEST_ROW(cls, id) Row{#cls, #id},
// Each plug-in's block table, as its header declares it (the members initialize_cb binds).
const std::map<std::string, std::vector<Row>> kTables = {
    {"flatinsert", {FLATINSERT_BLOCKS(FRAME_TEST_ROW)}}, {"tiltinsert", {TILTINSERT_BLOCKS(FRAME_TEST_ROW)}},
    {"tiltledge", {TILTLEDGE_BLOCKS(FRAME_TEST_ROW)}},   {"boxspring", {BOXSPRING_BLOCKS(FRAME_TEST_ROW)}},
    {"wirespring", {WIRESPRING_BLOCKS(FRAME_TEST_ROW)}}, {"stripbolt", {STRIPBOLT_BLOCKS(FRAME_TEST_ROW)}},
    {"keepplate", {KEEPPLATE_BLOCKS(FRAME_TEST_ROW)}},   {"tiltplate", {TILTPLATE_BLOCKS(FRAME_TEST_ROW)}},
    {"formpunch", {FORMPUNCH_BLOCKS(FRAME_TEST_ROW)}},   {"flipdie", {FLIPDIE_BLOCKS(FRAME_TEST_ROW)}},
};
#undef FRAME_TEST_ROW

const char *const kNoBodyNote = "没有部件，无法进行移除参数操作";

// One fixture body, so that a builder that ran would leave a trace (a changed or plain body).
Json plate_fixture() {
    return Json::parse(R"([{"name": "plate", "block": {"corner": [-50, -40, 0], "size": [100, 80, 20]}}])");
}

Json session_of(const std::string &plugin, const Json &values, const std::vector<std::string> &press,
                const Json &objects = Json::array()) {
    Json session;
    session["objects"] = objects;
    session["steps"] = Json::array({Json{{"plugin", plugin}, {"values", values}, {"press", press}}});
    return session;
}

// Opens the plug-in's dialog, sets the values in order and presses cancel: the report's dialog state.
Json dialog_after(const std::string &plugin, const Json &values = Json::object()) {
    return scenario::play(session_of(plugin, values, {"cancel"}))["steps"][0]["dialog"];
}

std::string read_text(const fs::path &path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A plug-in library copied into a folder of its own beside a dialog file edited by the test, so
// that the real plug-in meets other defaults or a damaged file.
class PluginCopy {
public:
    explicit PluginCopy(const std::string &plugin) : m_plugin(plugin) {
        m_dir = fs::temp_directory_path() / ("diekit_frame_" + std::to_string(::getpid()) + "_" + plugin);
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        fs::copy_file(fs::path(DIEKIT_PLUGIN_DIR) / (plugin + ".so"), m_dir / (plugin + ".so"));
        m_dlx = read_text(fs::path(DIEKIT_SOURCE_DIR) / plugin / (plugin + ".dlx"));
    }
    ~PluginCopy() { fs::remove_all(m_dir); }

    // Sets the value attribute of the block (its default in the dialog).
    PluginCopy &value(const std::string &id, const std::string &value) {
        return edit("(<block id=\"" + id + "\"[^>]*value=\")[^\"]*(\")", "$01" + value + "$02");
    }
    PluginCopy &block_class(const std::string &id, const std::string &cls) {
        return edit("(<block id=\"" + id + "\" class=\")[^\"]*(\")", "$01" + cls + "$02");
    }
    PluginCopy &remove(const std::string &id) { return edit("<block id=\"" + id + "\"[^>]*/>", ""); }
    PluginCopy &no_dialog_file() {
        m_write_dlx = false;
        return *this;
    }

    Json play(const Json &session) {
        if (m_write_dlx) std::ofstream(m_dir / (m_plugin + ".dlx")) << m_dlx;
        diekit::model::Store::instance().set_echo(false);
        diekit::io::RunOptions options;
        options.plugin_dir = m_dir.string();
        return diekit::io::make_report(diekit::io::run_session_json(session, DIEKIT_SOURCE_DIR, options));
    }
    Json dialog_after(const Json &values = Json::object()) {
        return play(session_of(m_plugin, values, {"cancel"}))["steps"][0]["dialog"];
    }
    std::string error_of(const Json &session) {
        try {
            play(session);
        } catch (const diekit::SessionError &e) {
            return e.what();
        }
        return "";
    }

private:
    PluginCopy &edit(const std::string &pattern, const std::string &replacement) {
        const std::regex expression(pattern);
        EXPECT_TRUE(std::regex_search(m_dlx, expression)) << "the dialog file has nothing matching " << pattern;
        m_dlx = std::regex_replace(m_dlx, expression, replacement);
        return *this;
    }

    std::string m_plugin;
    fs::path m_dir;
    std::string m_dlx;
    bool m_write_dlx = true;
};

// The shown flags of the listed blocks, in order.
std::vector<bool> shown(const Json &dialog, const std::vector<std::string> &ids) {
    std::vector<bool> flags;
    for (const auto &id : ids) flags.push_back(dialog.at(id).at("shown").get<bool>());
    return flags;
}

std::string values_text(const Json &values) { return values.dump(); }

}  // namespace

// ---- loading, binding, cancel ----

// Each library exports the three entry points and its class, asks to be unloaded at once, opens its
// own dialog file with every block of its table under the table's class, and runs nothing on cancel.
TEST(FrameLifecycle, EveryPluginStartsBindsItsTableAndCancelRunsNothing) {
    for (const auto &[plugin, table] : kTables) {
        SCOPED_TRACE(plugin);
        const std::string path = std::string(DIEKIT_PLUGIN_DIR) + "/" + plugin + ".so";
        void *library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << dlerror();
        auto ask_unload = reinterpret_cast<int (*)()>(dlsym(library, "ufusr_ask_unload"));
        ASSERT_NE(ask_unload, nullptr);
        EXPECT_EQ(ask_unload(), 1) << "unload as soon as ufusr returns";
        EXPECT_NE(dlsym(library, "ufusr"), nullptr);
        EXPECT_NE(dlsym(library, "ufusr_cleanup"), nullptr);
        const std::string mangled = std::to_string(plugin.size()) + plugin;
        for (const char *method : {"4ShowEv", "8apply_cbEv", "5ok_cbEv", "13initialize_cbEv"})
            EXPECT_NE(dlsym(library, ("_ZN" + mangled + method).c_str()), nullptr) << plugin << "::" << method;
        EXPECT_NE(dlsym(library, ("_ZN" + mangled + "5theUIE").c_str()), nullptr);
        dlclose(library);

        const Json report = scenario::play(session_of(plugin, Json::object(), {"cancel"}, plate_fixture()));
        const Json &step = report["steps"][0];
        EXPECT_EQ(step["pressed"], Json::array({"cancel"}));
        EXPECT_TRUE(report["messages"].empty()) << report["messages"].dump();
        // Nothing built, nothing stripped: the fixture is as it was made.
        ASSERT_EQ(report["bodies"].size(), 1u);
        EXPECT_TRUE(report["bodies"][0]["parametric"].get<bool>());
        EXPECT_NEAR(report["bodies"][0]["volume"].get<double>(), 100 * 80 * 20, 1e-9);

        std::vector<Row> bound;
        for (const auto &[id, state] : step["dialog"].items()) bound.push_back({state["class"].get<std::string>(), id});
        EXPECT_EQ(bound, table) << "the dialog file's blocks against the table";
    }
}

// Enumerations hold every member index that the rules and the builders use.
TEST(FrameLifecycle, EnumerationsCoverTheIndexesTheBuildersUse) {
    const std::vector<std::pair<std::string, Json>> highest = {
        {"tiltledge", {{"enum0", 1}}},
        {"boxspring", {{"enum0", 7}}},
        {"wirespring", {{"enum0", 5}}},
        {"stripbolt", {{"enum0", 3}}},
        {"keepplate", {{"enum0", 1}, {"enum01", 2}}},
        {"tiltplate", {{"enum0", 1}, {"enum01", 2}}},
        {"formpunch", {{"enum0", 2}, {"enum01", 1}}},
        {"flipdie", {{"enum0", 8}}},
    };
    for (const auto &[plugin, values] : highest) {
        const std::string error = scenario::error_of(session_of(plugin, values, {"cancel"}));
        EXPECT_EQ(error, "") << plugin << " " << values_text(values);
    }
}

// The four plate selections take solid bodies only: an edge or a curve is refused by the filter
// that initialize_cb sets (an unfiltered selection takes anything).
TEST(FrameLifecycle, PlateSelectionsTakeSolidBodiesOnly) {
    Json objects = plate_fixture();
    objects.push_back(Json::parse(R"({"name": "line", "curve": {"polyline": [[0, 0, 30], [10, 0, 30]]}})"));
    for (const std::string plugin : {"boxspring", "wirespring", "stripbolt", "formpunch"}) {
        SCOPED_TRACE(plugin);
        auto attempt = [&](const Json &selection) {
            return scenario::error_of(session_of(plugin, Json{{"selection0", selection}}, {"cancel"}, objects));
        };
        EXPECT_EQ(attempt(Json::array({"plate"})), "");
        EXPECT_NE(attempt(Json::array({"line"})).find("refuses curve"), std::string::npos);
        EXPECT_NE(attempt(Json::array({Json{{"edge", "plate"}, {"near", {50, 40, 10}}}})).find("refuses edge"),
                  std::string::npos);
        EXPECT_NE(attempt(Json::array({Json{{"face", "plate"}, {"near", {0, 0, 20}}}})).find("refuses face"),
                  std::string::npos);
    }
}

// Plug-ins without a visibility rule leave every block shown, whatever the designer sets.
TEST(FrameLifecycle, PluginsWithoutVisibilityRulesLeaveEveryBlockShown) {
    const std::vector<std::pair<std::string, Json>> cases = {
        {"flatinsert", {{"toggle0", true}, {"expression0", 3}}},
        {"tiltinsert", {{"toggle03", true}}},
        {"boxspring", {{"enum0", 6}, {"toggle02", true}}},
        {"wirespring", {{"enum0", 5}, {"toggle0", true}}},
        {"stripbolt", {{"enum0", 3}, {"toggle03", true}}},
        {"flipdie", {{"enum0", 8}}},
    };
    for (const auto &[plugin, values] : cases)
        for (const Json &v : {Json::object(), values}) {
            const Json dialog = dialog_after(plugin, v);
            for (const auto &[id, state] : dialog.items())
                EXPECT_TRUE(state["shown"].get<bool>()) << plugin << " " << id << " after " << values_text(v);
        }
}

// ---- visibility and formula rules ----
// The report holds the dialog as it closed: a step with no values shows the state that
// initialize_cb and dialogShown_cb left; a step that sets only the controlling block shows the
// update rule. Other defaults come from an edited copy of the dialog file.

struct RuleCase {
    std::map<std::string, std::string> defaults;  // dialog-file values changed for this case
    Json values;                                   // set in order, each followed by its update
    std::vector<bool> expected;
};

void check_visibility(const std::string &plugin, const std::vector<std::string> &ids,
                      const std::vector<RuleCase> &cases) {
    for (const RuleCase &c : cases) {
        std::string label = plugin + " values " + values_text(c.values) + " defaults";
        for (const auto &[id, value] : c.defaults) label += " " + id + "=" + value;
        SCOPED_TRACE(label);
        Json dialog;
        if (c.defaults.empty()) {
            dialog = dialog_after(plugin, c.values);
        } else {
            PluginCopy copy(plugin);
            for (const auto &[id, value] : c.defaults) copy.value(id, value);
            dialog = copy.dialog_after(c.values);
        }
        EXPECT_EQ(shown(dialog, ids), c.expected);
    }
}

TEST(DialogRules, TiltledgeLengthModeShowsItsOwnSizeGroup) {
    // group4: sizes for a given length; group5: sizes along the whole edge.
    check_visibility("tiltledge", {"group4", "group5"},
                     {
                         {{}, Json::object(), {false, true}},
                         {{}, {{"enum0", 1}}, {true, false}},
                         {{}, {{"enum0", 0}}, {false, true}},
                         {{}, {{"toggle0", true}, {"expression0", 30}}, {false, true}},
                         {{{"enum0", "1"}}, Json::object(), {true, false}},
                         {{{"enum0", "1"}}, {{"enum0", 0}}, {false, true}},
                         {{{"enum0", "1"}}, {{"toggle0", true}}, {true, false}},
                     });
}

// expression03 gets the formula "1" when the dialog opens, whatever the file says; an update of the
// mode does not reset what the designer typed.
TEST(DialogRules, TiltledgeHalfWidthFormulaIsSetOnlyWhenTheDialogOpens) {
    PluginCopy copy("tiltledge");
    copy.value("expression03", "7");
    const Json opened = copy.dialog_after();
    EXPECT_EQ(opened["expression03"]["formula"], "1");
    EXPECT_DOUBLE_EQ(opened["expression03"]["value"].get<double>(), 1.0);
    const Json typed = copy.dialog_after(Json{{"expression03", 2.5}, {"enum0", 1}});
    EXPECT_EQ(typed["expression03"]["formula"], "2.5");
    EXPECT_DOUBLE_EQ(typed["expression03"]["value"].get<double>(), 2.5);
    EXPECT_EQ(copy.dialog_after(Json{{"expression03", 2.5}})["expression03"]["formula"], "2.5");
}

// The spring length follows the size from the first display on (25, 38, 51, 64 by size); an
// update of any other block leaves what the designer typed.
TEST(DialogRules, BoxspringLengthFollowsTheSpringSize) {
    const std::vector<std::string> lengths = {"25", "25", "25", "25", "25", "38", "51", "64"};
    for (int size = 0; size < 8; ++size) {
        SCOPED_TRACE("enum0 = " + std::to_string(size));
        const Json chosen = dialog_after("boxspring", Json{{"expression0", 30}, {"enum0", size}});
        EXPECT_EQ(chosen["expression0"]["formula"], lengths[size]);
        EXPECT_DOUBLE_EQ(chosen["expression0"]["value"].get<double>(), std::stod(lengths[size]));
    }
    for (const Json &values : {Json{{"enum0", 6}, {"expression0", 30}}, Json{{"enum0", 6}, {"expression0", 30},
                                                                          {"toggle0", true}, {"point0", {1, 2, 0}}}})
        EXPECT_EQ(dialog_after("boxspring", values)["expression0"]["formula"], "30") << values_text(values);

    // At the first display the length already matches the default size, whatever the file says.
    for (const auto &[size, length] : std::vector<std::pair<std::string, std::string>>{{"7", "64"}, {"0", "25"}}) {
        PluginCopy copy("boxspring");
        copy.value("enum0", size).value("expression0", "30");
        const Json opened = copy.dialog_after();
        EXPECT_EQ(opened["expression0"]["formula"], length) << "default size " << size;
        EXPECT_EQ(copy.dialog_after(Json{{"toggle01", true}})["expression0"]["formula"], length);
    }
}

TEST(DialogRules, RetainerPlateShapeShowsItsSizesAndHelp) {
    // Rectangular: group4 (sizes) and group8 (help); round: group5 and group9.
    const std::vector<bool> rectangular = {true, true, false, false};
    const std::vector<bool> round = {false, false, true, true};
    for (const std::string plugin : {"keepplate", "tiltplate"})
        check_visibility(plugin, {"group4", "group8", "group5", "group9"},
                         {
                             {{}, Json::object(), rectangular},
                             {{}, {{"enum0", 1}}, round},
                             {{}, {{"enum0", 0}}, rectangular},
                             {{}, {{"enum01", 2}, {"expression06", 3}}, rectangular},
                             {{{"enum0", "1"}}, Json::object(), round},
                             {{{"enum0", "1"}}, {{"enum0", 0}}, rectangular},
                             {{{"enum0", "1"}}, {{"enum01", 0}}, round},
                         });
}

// Type A hides the head; B shows the head size (group6) and hides the step (group7); C shows the
// step; the toggle shows the turn angle (group9); the head sizing chooses group6 or group8.
TEST(DialogRules, FormpunchTypeHeadSizingAndTurn) {
    const std::vector<std::string> ids = {"group5", "group6", "group7", "group8", "group9", "toggle0"};
    const std::vector<bool> type_a = {false, false, false, false, false, false};
    check_visibility(
        "formpunch", ids,
        {
            {{}, Json::object(), type_a},
            {{}, {{"enum0", 1}}, {true, true, false, false, false, true}},
            {{}, {{"enum0", 1}, {"enum01", 1}}, {true, false, false, true, false, true}},
            {{}, {{"enum0", 1}, {"enum01", 1}, {"toggle0", true}}, {true, false, false, true, true, true}},
            {{}, {{"enum0", 2}}, {true, true, true, false, false, true}},
            {{}, {{"enum01", 1}, {"toggle0", true}, {"enum0", 2}}, {true, false, true, true, true, true}},
            {{}, {{"enum0", 0}}, type_a},
            // The toggle and sizing rules also run alone, whatever the type.
            {{}, {{"enum01", 1}}, {false, false, false, true, false, false}},
            {{}, {{"toggle0", true}}, {false, false, false, false, true, false}},
            {{}, {{"expression0", 0.1}, {"expression051", 3}}, type_a},
            // The first display follows the file's defaults.
            {{{"enum0", "1"}}, Json::object(), {true, true, false, false, false, true}},
            {{{"enum0", "2"}, {"enum01", "1"}, {"toggle0", "true"}}, Json::object(),
             {true, false, true, true, true, true}},
            {{{"enum0", "1"}}, {{"enum0", 0}}, type_a},
            {{{"enum0", "2"}}, {{"enum0", 1}}, {true, true, false, false, false, true}},
            {{{"enum0", "2"}, {"toggle0", "true"}}, {{"toggle0", false}}, {true, true, true, false, false, true}},
        });
}

// ---- damaged dialog files ----

// A block of the table that the file lacks or gives another class, or no file at all, ends the
// step with a session error naming the fault; no callback crashes and the host plays on.
TEST(DialogFiles, MissingOrMistypedBlocksAreSessionErrors) {
    struct Case {
        std::string plugin, id, cls;  // cls empty: the block is removed
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"flatinsert", "toggle02", "", "has no block 'toggle02'"},
        {"flatinsert", "toggle02", "Label", "toggle02"},
        {"flatinsert", "bodySelect01", "FaceCollector", "bodySelect01"},
        {"flatinsert", "expression0", "Label", "expression0"},
        {"tiltledge", "group4", "", "has no block 'group4'"},
        // A rule that uses the mistyped block fails as well: the step names the opening as the fault.
        {"tiltledge", "enum0", "Label", "while opening"},
        {"boxspring", "selection0", "BodyCollector", "while opening"},
        {"keepplate", "group9", "Label", "while opening"},
        {"formpunch", "toggle0", "", "has no block 'toggle0'"},
        {"flipdie", "SMZC", "Label", "SMZC"},
    };
    Json objects = plate_fixture();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.plugin + " " + c.id + " " + (c.cls.empty() ? "removed" : "as " + c.cls));
        PluginCopy copy(c.plugin);
        if (c.cls.empty())
            copy.remove(c.id);
        else
            copy.block_class(c.id, c.cls);
        const std::string error = copy.error_of(session_of(c.plugin, Json::object(), {"apply", "ok"}, objects));
        EXPECT_NE(error.find("step 1 (" + c.plugin + ")"), std::string::npos) << error;
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
    }
    PluginCopy unreadable("flatinsert");
    unreadable.no_dialog_file();
    EXPECT_NE(unreadable.error_of(session_of("flatinsert", Json::object(), {"ok"})).find("flatinsert.dlx"),
              std::string::npos);
    // The host is unharmed: the real plug-in plays right after.
    EXPECT_EQ(scenario::error_of(session_of("flatinsert", Json::object(), {"cancel"})), "");
}

// ---- parameter removal ----

// An empty part: each Apply and OK notes once that there is nothing to strip, and returns 0.
TEST(ParameterRemoval, EmptyPartNotesOncePerApply) {
    const std::vector<std::vector<std::string>> presses = {{"apply"}, {"apply", "apply"}, {"apply", "apply", "ok"}, {"cancel"}};
    for (const auto &press : presses) {
        const Json report = scenario::play(session_of("flatinsert", Json::object(), press));
        const std::size_t applies = press.back() == "cancel" ? 0 : press.size();
        SCOPED_TRACE(report["steps"][0]["pressed"].dump());
        EXPECT_EQ(report["steps"][0]["results"], Json(std::vector<int>(press.size(), 0)));
        ASSERT_EQ(report["messages"].size(), applies) << report["messages"].dump();
        for (const Json &message : report["messages"]) {
            EXPECT_EQ(message["kind"], "note");
            EXPECT_EQ(message["text"], kNoBodyNote);
        }
        EXPECT_TRUE(report["bodies"].empty());
    }
}
