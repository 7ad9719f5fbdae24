// Dialog files and the headless driver: blocks from the .dlx, values set as a designer sets them with
// an update after each, buttons in order, clear errors for what cannot be played.
#include "host_fixture.hpp"
#include "ui/driver.hpp"

#include <NXOpen/BlockStyler_BlockDialog.hxx>
#include <NXOpen/NXException.hxx>
#include <NXOpen/UI.hxx>

#include <filesystem>
#include <fstream>
#include <memory>

namespace {

using nlohmann::ordered_json;
using namespace NXOpen::BlockStyler;

const char *kDialog = R"(<dialog name="probe" title="Probe">
  <block id="group1" class="Group" label="Bodies"/>
  <block id="bodySelect0" class="BodyCollector" label="Bodies"/>
  <block id="selection0" class="SelectObject" label="Plates"/>
  <block id="expression0" class="ExpressionBlock" label="Margin" value="2"/>
  <block id="toggle0" class="Toggle" label="Chamfer" value="true"/>
  <block id="enum0" class="Enumeration" label="Size" value="1"><member>S</member><member>M</member><member>L</member></block>
  <block id="point0" class="SpecifyPoint" label="At" value="1 2 3"/>
</dialog>)";

class DialogTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        path = std::filesystem::temp_directory_path() / ("probe_" + std::to_string(::getpid()) + ".dlx");
        write(kDialog);
        store().add_body(diekit::kernel::make_box({}, {0, 0, 0}, 1, 1, 1), true).name = "plate";
        store().add_curve(diekit::kernel::make_line({0, 0, 0}, {1, 0, 0})).name = "edge";
    }
    void TearDown() override {
        std::filesystem::remove(path);
        store().dialog_run().reset();
        HostTest::TearDown();
    }
    void write(const std::string &text) { std::ofstream(path) << text; }

    // Plays one step on the probe dialog; every update and button is logged in `calls`.
    diekit::model::DialogRun play(const ordered_json &values, std::vector<std::string> press) {
        diekit::model::DialogRun run;
        run.step = 1;
        run.plugin = "probe";
        run.values = values;
        run.press = std::move(press);
        store().dialog_run() = run;
        std::unique_ptr<BlockDialog> dialog(NXOpen::UI::GetUI()->CreateDialog(path.c_str()));
        dialog->AddInitializeHandler(BlockDialog::Initialize([this] { calls.push_back("init"); }));
        dialog->AddDialogShownHandler(BlockDialog::DialogShown([this] { calls.push_back("shown"); }));
        dialog->AddUpdateHandler(BlockDialog::Update([this](UIBlock *block) {
            calls.push_back("update " + block->Name().str());
            return 0;
        }));
        dialog->AddApplyHandler(BlockDialog::Apply([this] { calls.push_back("apply"); return 0; }));
        dialog->AddOkHandler(BlockDialog::Ok([this] { calls.push_back("ok"); return 1; }));
        dialog->Show();
        auto done = *store().dialog_run();
        store().dialog_run().reset();
        return done;
    }

    std::filesystem::path path;
    std::vector<std::string> calls;
};

TEST_F(DialogTest, ValuesAreSetInOrderEachWithItsUpdateThenTheButtons) {
    auto run = play(ordered_json::parse(R"({"toggle0": false, "expression0": "3*2", "enum0": "L",
                                            "bodySelect0": ["plate"], "point0": [4, 5, 6]})"),
                    {"apply", "apply", "ok"});
    EXPECT_EQ(run.error, "");
    EXPECT_EQ(calls, (std::vector<std::string>{"init", "shown", "update toggle0", "update expression0", "update enum0",
                                                "update bodySelect0", "update point0", "apply", "apply", "ok"}));
    EXPECT_EQ(run.results, (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(run.dialog["expression0"]["value"], 6.0);
    EXPECT_EQ(run.dialog["expression0"]["formula"], "3*2");
    EXPECT_EQ(run.dialog["enum0"]["value"], 2);
    EXPECT_EQ(run.dialog["toggle0"]["value"], false);
    EXPECT_EQ(run.dialog["point0"]["value"], ordered_json::parse("[4.0, 5.0, 6.0]"));
    EXPECT_EQ(run.dialog["group1"]["class"], "Group");
}

TEST_F(DialogTest, DefaultsComeFromTheDialogFile) {
    auto run = play(ordered_json::object(), {"cancel"});
    EXPECT_EQ(run.dialog["expression0"]["value"], 2.0);
    EXPECT_EQ(run.dialog["toggle0"]["value"], true);
    EXPECT_EQ(run.dialog["enum0"]["value"], 1);
    EXPECT_EQ(run.dialog["point0"]["value"], ordered_json::parse("[1.0, 2.0, 3.0]"));
    EXPECT_EQ(calls, (std::vector<std::string>{"init", "shown"})) << "cancel runs no builder";
}

TEST_F(DialogTest, WhatCannotBePlayedIsASessionErrorNamingTheBlock) {
    struct Case {
        const char *values;
        std::vector<std::string> press;
        const char *expected;
        long oks = 0;  // OK presses played before the fault
    } cases[] = {
        {R"({"nosuch": 1})", {"ok"}, "unknown block 'nosuch'"},
        {R"({"toggle0": 1})", {"ok"}, "block 'toggle0' (Toggle): expects true or false"},
        {R"({"expression0": true})", {"ok"}, "block 'expression0' (ExpressionBlock): expects a number"},
        {R"({"expression0": "2+"})", {"ok"}, "block 'expression0'"},
        {R"({"enum0": 3})", {"ok"}, "member 3 outside 0..2"},
        {R"({"enum0": "XL"})", {"ok"}, "no member 'XL'"},
        {R"({"bodySelect0": ["edge"]})", {"ok"}, "refuses curve"},
        {R"({"bodySelect0": ["ghost"]})", {"ok"}, "no object named 'ghost'"},
        {R"({"group1": 1})", {"ok"}, "takes no value"},
        {R"({"point0": [1, 2]})", {"ok"}, "expects [x, y, z]"},
        {R"({})", {"ok", "apply"}, "button 'apply' pressed after the dialog closed", 1},
        {R"({})", {"press"}, "unknown button 'press'"},
    };
    for (auto &c : cases) {
        calls.clear();
        auto run = play(ordered_json::parse(c.values), c.press);
        EXPECT_NE(run.error.find(c.expected), std::string::npos) << c.values << " -> " << run.error;
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "ok"), c.oks) << c.values << ": no builder after the error";
    }
}

TEST_F(DialogTest, SelectionFilterOfSolidBodiesRefusesEdgesAndCurves) {
    diekit::ui::BlockData block;
    block.cls = diekit::ui::BlockClass::SelectObject;
    PropertyList(&block).SetSelectionFilter("SelectionFilter", NXOpen::Selection::SelectionActionClearAndEnableSpecific,
                                            {NXOpen::Selection::MaskTriple(70, 3, 36)});
    auto plate = store().named("plate").front()->tag;
    auto edge = store().named("edge").front()->tag;
    EXPECT_TRUE(diekit::ui::accepts(block, plate));
    EXPECT_FALSE(diekit::ui::accepts(block, edge));
    auto body_edges = store().edge_tags(store().body(plate));
    EXPECT_FALSE(diekit::ui::accepts(block, body_edges.front()));
}

TEST_F(DialogTest, BrokenDialogFilesAreReportedNotCrashed) {
    for (const char *text : {"<dialog><block class=\"Toggle\"/></dialog>", "<dialog><block id=\"a\" class=\"Dial\"/></dialog>",
                             "<nodialog/>", "<dialog><block id=\"e\" class=\"Enumeration\"/></dialog>",
                             "<dialog><block id=\"t\" class=\"Toggle\" value=\"maybe\"/></dialog>", "<dialog",
                             "<dialog/><dialog/>",  // two roots: which dialog is meant?
                             "<dialog><block id=\"e\" class=\"Enumeration\" value=\"4294967297\"><member>a</member></block></dialog>",
                             "<dialog><block id=\"e\" class=\"Enumeration\" value=\"b\"><member>a</member></block></dialog>",
                             "<dialog title=\"\xC3\x28\"/>"}) {  // not UTF-8
        write(text);
        EXPECT_THROW(std::unique_ptr<BlockDialog>(NXOpen::UI::GetUI()->CreateDialog(path.c_str())), NXOpen::NXException)
            << text;
    }
    EXPECT_THROW(NXOpen::UI::GetUI()->CreateDialog("/no/such/file.dlx"), NXOpen::NXException);
    const auto folder = path.parent_path() / ("folder_" + std::to_string(::getpid()) + ".dlx");
    std::filesystem::create_directory(folder);
    EXPECT_THROW(NXOpen::UI::GetUI()->CreateDialog(folder.c_str()), NXOpen::NXException);
    std::filesystem::remove(folder);
    // An enumeration's default may name its member by text as well as by index.
    write("<dialog><block id=\"e\" class=\"Enumeration\" value=\"b\"><member>a</member><member>b</member></block></dialog>");
    std::unique_ptr<BlockDialog> dialog(NXOpen::UI::GetUI()->CreateDialog(path.c_str()));
    EXPECT_EQ(std::unique_ptr<PropertyList>(dialog->GetBlockProperties("e"))->GetEnum("Value"), 1);
}

TEST_F(DialogTest, PropertyListsReadValuesAndRefuseWrongKinds) {
    std::unique_ptr<BlockDialog> dialog(NXOpen::UI::GetUI()->CreateDialog(path.c_str()));
    std::unique_ptr<PropertyList> toggle(dialog->GetBlockProperties("toggle0"));
    std::unique_ptr<PropertyList> choice(dialog->GetBlockProperties("enum0"));
    ASSERT_TRUE(toggle && choice);
    EXPECT_TRUE(toggle->GetLogical("Value"));
    EXPECT_EQ(choice->GetEnum("Value"), 1);
    EXPECT_THROW(toggle->GetEnum("Value"), NXOpen::NXException);
    EXPECT_THROW(choice->GetLogical("Value"), NXOpen::NXException);
    EXPECT_EQ(dialog->GetBlockProperties("nosuch"), nullptr);
    auto *top = dialog->TopBlock();
    EXPECT_EQ(top->FindBlock("nosuch"), nullptr);
    EXPECT_NE(dynamic_cast<Toggle *>(top->FindBlock("toggle0")), nullptr);
    EXPECT_EQ(dynamic_cast<Toggle *>(top->FindBlock("enum0")), nullptr);
}

}  // namespace
