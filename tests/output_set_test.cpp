// Outputs written all or none: targets change only when every output was written and placed, a
// rename that fails puts back what earlier ones replaced, and no temporary is ever left behind.
#include "io/output_set.hpp"
#include "model/errors.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using diekit::io::OutputSet;

class OutputSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("output_set_" + std::to_string(::getpid()));
        fs::create_directories(dir / "sheets");
        put(dir / "a.txt", "old a");
        put(dir / "sheets" / "1.svg", "old sheet");
    }
    void TearDown() override { fs::remove_all(dir); }

    static void put(const fs::path &path, const std::string &text) { std::ofstream(path) << text; }
    static std::string read(const fs::path &path) {
        std::stringstream text;
        text << std::ifstream(path).rdbuf();
        return text.str();
    }
    // What the folder holds, one sorted line per path; the old state is a.txt and sheets/1.svg.
    std::string listing() const {
        std::set<std::string> names;
        for (auto &entry : fs::recursive_directory_iterator(dir)) names.insert(fs::relative(entry.path(), dir).string());
        std::string text;
        for (auto &name : names) text += name + "\n";
        return text;
    }
    void expect_old_state(const std::string &before) {
        EXPECT_EQ(listing(), before);
        EXPECT_EQ(read(dir / "a.txt"), "old a");
        EXPECT_EQ(read(dir / "sheets" / "1.svg"), "old sheet");
    }
    // A file output, a folder output and a new file, the third written by `third`.
    void add_three(OutputSet &set, OutputSet::Writer third) {
        set.add_file((dir / "a.txt").string(), [](const std::string &t) { put(t, "new a"); });
        set.add_folder((dir / "sheets").string(), [](const std::string &t) { put(fs::path(t) / "2.svg", "new sheet"); });
        set.add_file((dir / "b.txt").string(), std::move(third));
    }

    fs::path dir;
};

TEST_F(OutputSetTest, AllAreReplacedTogetherOrNoneAndNothingIsLeftBehind) {
    const std::string before = listing();
    {
        OutputSet set;
        add_three(set, [](const std::string &) { throw std::runtime_error("the drawing failed"); });
        try {
            set.commit();
            ADD_FAILURE() << "committed";
        } catch (const diekit::SessionError &e) {
            EXPECT_EQ(std::string(e.what()), "cannot write '" + (dir / "b.txt").string() + "': the drawing failed");
        }
    }
    expect_old_state(before);

    {
        OutputSet set;
        add_three(set, [](const std::string &t) { put(t, "new b"); });
        set.commit();
    }
    EXPECT_EQ(read(dir / "a.txt"), "new a");
    EXPECT_EQ(read(dir / "b.txt"), "new b");
    EXPECT_FALSE(fs::exists(dir / "sheets" / "1.svg")) << "a folder output replaces the whole folder";
    EXPECT_EQ(read(dir / "sheets" / "2.svg"), "new sheet");
    EXPECT_EQ(listing(), "a.txt\nb.txt\nsheets\nsheets/2.svg\n");
}

TEST_F(OutputSetTest, ARenameThatFailsPutsBackWhatTheEarlierOnesReplaced) {
    const std::string before = listing();
    for (int failing : {1, 2, 3, 4, 5}) {  // each rename in turn: aside a, a, aside sheets, sheets, b
        SCOPED_TRACE(failing);
        int renames = 0;
        OutputSet set([&renames, failing](const std::string &from, const std::string &to) {
            if (++renames == failing) throw fs::filesystem_error("disk full", from, to, std::make_error_code(std::errc::no_space_on_device));
            fs::rename(from, to);
        });
        add_three(set, [](const std::string &t) { put(t, "new b"); });
        EXPECT_THROW(set.commit(), diekit::SessionError);
        EXPECT_GE(renames, failing);
    }
    expect_old_state(before);
}

TEST_F(OutputSetTest, TargetsThatCannotBeOutputsAreRefusedBeforeAnythingIsWritten) {
    const std::string before = listing();
    const std::string a = (dir / "a.txt").string();
    const struct {
        std::string file, folder, reason;
    } cases[] = {
        {(dir / "sheets").string(), "", "it is a folder"},
        {"", a, "a file of that name exists"},
        {(dir / "none" / "x.txt").string(), "", "does not exist"},
        {a, (dir / "." / "a.txt").string(), "is given for two outputs"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reason);
        bool written = false;
        OutputSet set;
        set.add_file(c.file, [&written](const std::string &t) { written = true, put(t, "x"); });
        set.add_folder(c.folder, [&written](const std::string &) { written = true; });
        try {
            set.commit();
            ADD_FAILURE() << "committed";
        } catch (const diekit::SessionError &e) {
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
        }
        EXPECT_FALSE(written);
    }
    expect_old_state(before);
}

}  // namespace
