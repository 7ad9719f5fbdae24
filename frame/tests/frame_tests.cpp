// The frame through the plug-ins' entry points: life cycle, callbacks, dialog files, the
// visibility and formula rules, and the parameter removal.
#include <pugixml.hpp>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "boxspring.hpp"
#include "flatinsert.hpp"
#include "flipdie.hpp"
#include "formpunch.hpp"
#include "keepplate.hpp"
#include "plugin_runner.hpp"
#include "stripbolt.hpp"
#include "tiltinsert.hpp"
#include "tiltledge.hpp"
#include "tiltplate.hpp"
#include "wirespring.hpp"

using runner::all_plugins;
using runner::PluginTest;
using runner::run;
using namespace fake;

namespace {

struct Row {
    std::string cls, id;
    bool operator==(const Row &) const = default;
};
#define TEST_ROW(cls, id) Row{#cls, #id},
const std::map<std::string, std::vector<Row>> block_tables = {
    {"flatinsert", {FLATINSERT_BLOCKS(TEST_ROW)}}, {"tiltinsert", {TILTINSERT_BLOCKS(TEST_ROW)}},
    {"tiltledge", {TILTLEDGE_BLOCKS(TEST_ROW)}},   {"boxspring", {BOXSPRING_BLOCKS(TEST_ROW)}},
    {"wirespring", {WIRESPRING_BLOCKS(TEST_ROW)}}, {"stripbolt", {STRIPBOLT_BLOCKS(TEST_ROW)}},
    {"keepplate", {KEEPPLATE_BLOCKS(TEST_ROW)}},   {"tiltplate", {TILTPLATE_BLOCKS(TEST_ROW)}},
    {"formpunch", {FORMPUNCH_BLOCKS(TEST_ROW)}},   {"flipdie", {FLIPDIE_BLOCKS(TEST_ROW)}},
};

// Enumeration members the builders address by index.
const std::map<std::string, std::map<std::string, size_t>> members_needed = {
    {"tiltledge", {{"enum0", 2}}},  {"boxspring", {{"enum0", 8}}},
    {"wirespring", {{"enum0", 6}}}, {"stripbolt", {{"enum0", 4}}},
    {"keepplate", {{"enum0", 2}, {"enum01", 3}}}, {"tiltplate", {{"enum0", 2}, {"enum01", 3}}},
    {"formpunch", {{"enum0", 3}, {"enum01", 2}}}, {"flipdie", {{"enum0", 9}}},
};

const char *const no_body_message = "没有部件，无法进行移除参数操作";

bool is_number(const std::string &text) {
    char *end = nullptr;
    std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0';
}

}  // namespace

TEST(DialogFiles, DefineTheTableBlocksInOrderWithUsableValues) {
    for (const std::string &name : all_plugins) {
        SCOPED_TRACE(name);
        pugi::xml_document doc;
        ASSERT_TRUE(doc.load_file((std::string(DIEKIT_SOURCE_DIR) + "/" + name + "/" + name + ".dlx").c_str()));
        const pugi::xml_node dialog = doc.child("dialog");
        EXPECT_EQ(name, dialog.attribute("name").value());
        EXPECT_STRNE("", dialog.attribute("title").value());
        std::vector<Row> rows;
        for (pugi::xml_node block : dialog.children("block")) {
            const std::string cls = block.attribute("class").value();
            const std::string id = block.attribute("id").value();
            const std::string value = block.attribute("value").value();
            rows.push_back({cls, id});
            EXPECT_STRNE("", block.attribute("label").value()) << id;
            if (cls == "ExpressionBlock") {
                EXPECT_TRUE(is_number(value)) << id << " = " << value;
            }
            if (cls == "Toggle") {
                EXPECT_TRUE(value == "true" || value == "false") << id;
            }
            if (cls == "Enumeration") {
                const size_t members = std::distance(block.children("member").begin(), block.children("member").end());
                EXPECT_LT(std::atoi(value.c_str()), static_cast<int>(members)) << id;
                EXPECT_GE(members, members_needed.at(name).at(id)) << id;
            }
        }
        EXPECT_EQ(block_tables.at(name), rows);
    }
}

TEST_F(PluginTest, EveryPluginOpensItsDialogWithCallbacksInPlatformOrder) {
    for (const std::string &name : all_plugins) {
        SCOPED_TRACE(name);
        fake::reset(DIEKIT_SOURCE_DIR);
        const runner::Plugin &p = runner::plugin(name);
        ASSERT_NE(nullptr, p.ufusr);
        ASSERT_NE(nullptr, p.ufusr_cleanup);
        ASSERT_NE(nullptr, p.ufusr_ask_unload);
        EXPECT_EQ(1, p.ufusr_ask_unload());

        run(name, {press("cancel")});
        EXPECT_EQ((std::vector<std::string>{"apply", "ok", "update", "initialize", "shown"}), host().handlers);
        EXPECT_EQ((std::vector<std::string>{"initialize", "shown", "cancel"}), host().phases);
        // Binding and the rules ran on the real dialog file without a report.
        EXPECT_TRUE(host().boxes.empty()) << host().boxes.front().text;
        EXPECT_TRUE(host().results.empty());
        EXPECT_EQ(0, host().bracket_depth);
        EXPECT_EQ(1, host().max_bracket_depth);

        p.ufusr_cleanup();
        EXPECT_TRUE(host().boxes.empty());
    }
}

TEST_F(PluginTest, UnreadableDialogFileIsReportedAndNothingRuns) {
    fake::reset("/nonexistent");
    run("flatinsert", {press("ok")});
    ASSERT_EQ(1u, host().boxes.size());
    EXPECT_EQ("Block Styler", host().boxes[0].title);
    EXPECT_EQ(0, host().boxes[0].type);
    EXPECT_EQ("cannot read dialog file /nonexistent/flatinsert/flatinsert.dlx", host().boxes[0].text);
    EXPECT_TRUE(host().phases.empty());
    EXPECT_EQ(0, host().bracket_depth);
}

TEST_F(PluginTest, PluginsWithoutBuildersSayEveryApplyAndCancelSaysNothing) {
    for (const std::string &name : all_plugins) {
        if (!runner::builds_nothing_yet(name)) continue;
        SCOPED_TRACE(name);
        fake::reset(DIEKIT_SOURCE_DIR);
        const tag_t plate = add_body({Box{{0, 0, 0}, {10, 10, 10}}});
        run(name, {press("apply"), press("apply"), press("ok")});
        EXPECT_EQ((std::vector<int>{0, 0, 0}), host().results);
        ASSERT_EQ(3u, host().boxes.size());
        for (const MessageBox &box : host().boxes) {
            EXPECT_EQ(name, box.title);
            EXPECT_EQ(2, box.type);  // information
            EXPECT_EQ(name + ": this command builds nothing yet", box.text);
        }
        // Nothing built, nothing stripped: the part is as it was.
        EXPECT_TRUE(host().parms_removed.empty());
        EXPECT_TRUE(host().notes.empty());
        EXPECT_EQ(std::vector<tag_t>{plate}, live_bodies());

        fake::reset(DIEKIT_SOURCE_DIR);
        run(name, {press("cancel")});
        EXPECT_TRUE(host().boxes.empty());
    }
}

TEST_F(PluginTest, SolidBodyFilterOnlyOnThePlateSelections) {
    const std::vector<std::string> filtered = {"boxspring", "wirespring", "stripbolt", "formpunch"};
    for (const std::string &name : all_plugins) {
        SCOPED_TRACE(name);
        fake::reset(DIEKIT_SOURCE_DIR);
        run(name, {press("cancel")});
        const bool wanted = std::find(filtered.begin(), filtered.end(), name) != filtered.end();
        for (const auto &[id, block] : host().closed_dialog) {
            if (wanted && id == "selection0") {
                EXPECT_EQ(3, block.filter_action);  // clear, then enable the listed kinds only
                EXPECT_EQ((std::vector<std::array<int, 3>>{{70, 3, 36}}), block.filter);
            } else {
                EXPECT_EQ(-1, block.filter_action) << id;
            }
        }
    }
}

TEST_F(PluginTest, TiltledgeModeSwitchesGroupsAndSetsHalfWidthOnlyWhenOpening) {
    run("tiltledge", {snapshot("open"), set_logical("toggle0", true), snapshot("toggle"), set_enum("enum0", 1),
                      snapshot("given"), set_enum("enum0", 7), snapshot("other"), set_enum("enum0", 0),
                      snapshot("whole"), press("cancel")});
    for (const char *s : {"open", "toggle", "whole"}) {
        EXPECT_FALSE(shown(s, "group4")) << s;
        EXPECT_TRUE(shown(s, "group5")) << s;
    }
    for (const char *s : {"given", "other"}) {
        EXPECT_TRUE(shown(s, "group4")) << s;
        EXPECT_FALSE(shown(s, "group5")) << s;
    }
    EXPECT_EQ((std::vector<std::string>{"initialize:expression03=1", "shown:expression03=1"}), host().formulas);
    EXPECT_EQ((std::vector<int>{0, 0, 0, 0}), host().update_results);
}

TEST_F(PluginTest, BoxspringLengthFollowsSizeFromFirstDisplayOn) {
    run("boxspring", {set_enum("enum0", 5), set_enum("enum0", 6), set_enum("enum0", 7), set_enum("enum0", 4),
                      set_enum("enum0", 8), set_logical("toggle0", true), press("cancel")});
    EXPECT_EQ((std::vector<std::string>{"shown:expression0=25", "update:enum0:expression0=38",
                                        "update:enum0:expression0=51", "update:enum0:expression0=64",
                                        "update:enum0:expression0=25"}),
              host().formulas);
    EXPECT_EQ("25", host().closed_dialog.at("expression0").formula);
}

TEST_F(PluginTest, RetainerPlateShapeShowsItsOwnSizesAndHelp) {
    for (const std::string name : {"keepplate", "tiltplate"}) {
        SCOPED_TRACE(name);
        fake::reset(DIEKIT_SOURCE_DIR);
        run(name, {snapshot("open"), set_enum("enum0", 1), snapshot("round"), set_enum("enum0", 0),
                   snapshot("rect"), press("cancel")});
        for (const char *s : {"open", "round", "rect"}) {
            const bool rectangular = std::string(s) != "round";
            EXPECT_EQ(rectangular, shown(s, "group4")) << s;
            EXPECT_EQ(rectangular, shown(s, "group8")) << s;
            EXPECT_EQ(!rectangular, shown(s, "group5")) << s;
            EXPECT_EQ(!rectangular, shown(s, "group9")) << s;
        }
    }
}

TEST_F(PluginTest, FormpunchTypeHeadSizingAndTurnRules) {
    run("formpunch", {snapshot("A"), set_enum("enum0", 1), snapshot("B"), set_enum("enum01", 1),
                      snapshot("B measured"), set_logical("toggle0", true), snapshot("B turned"),
                      set_enum("enum0", 2), snapshot("C"), set_enum("enum0", 0), snapshot("A again"),
                      set_enum("enum0", 3), snapshot("other"), set_enum("enum0", 2), snapshot("C from A"),
                      press("cancel")});
    const std::vector<std::string> ids = {"group5", "group6", "group7", "group8", "group9", "toggle0"};
    const std::map<std::string, std::vector<bool>> expected = {
        {"A", {false, false, false, false, false, false}},
        {"B", {true, true, false, false, false, true}},
        {"B measured", {true, false, false, true, false, true}},
        {"B turned", {true, false, false, true, true, true}},
        {"C", {true, false, true, true, true, true}},
        {"A again", {false, false, false, false, false, false}},
        {"other", {false, false, false, false, false, false}},
        // From type A every group is hidden: type C itself shows the margin and the angle.
        {"C from A", {true, false, true, true, true, true}},
    };
    for (const auto &[s, flags] : expected)
        for (size_t i = 0; i < ids.size(); ++i) EXPECT_EQ(flags[i], shown(s, ids[i])) << s << " " << ids[i];
}

// Parameter removal runs after creat_ru_zi, which builds nothing without a selection.
TEST_F(PluginTest, ParameterRemovalWithoutBodiesSaysSoOncePerApply) {
    run("flatinsert", {press("apply"), press("ok")});
    EXPECT_EQ((std::vector<std::string>{no_body_message, no_body_message}), host().notes);
    EXPECT_TRUE(host().parms_removed.empty());
    EXPECT_EQ((std::vector<int>{0, 0}), host().results);
    EXPECT_EQ(0, host().live_lists);
}

TEST_F(PluginTest, ParameterRemovalStripsEveryBodyButNoFaceOrEdge) {
    const tag_t a = add_body({Box{{0, 0, 0}, {10, 10, 10}}});
    Object edge;
    edge.kind = Object::Edge;
    edge.body = a;
    edge.p1 = {10, 0, 0};
    host().objects.push_back(edge);
    const tag_t b = add_body({Box{{20, 0, 0}, {30, 10, 10}}});
    host().objects[b].parametric = false;  // already plain: still passed on

    run("flatinsert", {press("apply"), press("apply")});
    EXPECT_EQ((std::vector<std::vector<tag_t>>{{a, b}, {a, b}}), host().parms_removed);
    EXPECT_FALSE(host().objects[a].parametric);
    EXPECT_TRUE(host().notes.empty());
    EXPECT_EQ(0, host().live_lists);
    EXPECT_EQ(0, host().bracket_depth);
}
