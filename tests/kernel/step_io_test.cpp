// STEP exchange: names, colours and geometry survive a round trip; failures are reported.
#include "kernel_test_util.hpp"

#include "kernel/child_process.hpp"
#include "kernel/step_check.hpp"

#include <csignal>
#include <functional>
#include <sstream>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

using namespace diekit::kernel;
using namespace diekit::kernel::test;

namespace {

// A file name in the temporary directory, removed at the end of the test.
struct TempFile {
    std::filesystem::path path;
    explicit TempFile(const std::string &stem)
        : path(std::filesystem::temp_directory_path() /
               (stem + "_" + std::to_string(::getpid()) + ".step")) {}
    ~TempFile() { std::filesystem::remove(path); }
};

}  // namespace

TEST(KernelStep, NamedColouredShapesSurviveARoundTrip) {
    const TempFile file("kernel_round_trip");
    const Shape plate = cut(block({-50, -25, 0}, 100, 50, 20), make_cylinder({0, 0, -1}, {0, 0, 1}, 22, 10));
    const Shape punch = make_cylinder({30, 0, 20}, {0, 0, 1}, 40, 8);
    write_step(file.path.string(), {{plate, "plate", {0.2, 0.4, 0.8}}, {punch, "punch1", {1, 0, 0}}});
    ASSERT_TRUE(std::filesystem::exists(file.path));

    const std::vector<NamedShape> back = read_step(file.path.string());
    ASSERT_EQ(back.size(), 2u);
    const Shape originals[] = {plate, punch};
    const char *names[] = {"plate", "punch1"};
    const Rgb colors[] = {{0.2, 0.4, 0.8}, {1, 0, 0}};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(back[i].name, names[i]);
        EXPECT_NEAR(back[i].color.r, colors[i].r, 1e-3);
        EXPECT_NEAR(back[i].color.g, colors[i].g, 1e-3);
        EXPECT_NEAR(back[i].color.b, colors[i].b, 1e-3);
        EXPECT_EQ(kind(back[i].shape), ShapeKind::Solid);
        EXPECT_NEAR(volume(back[i].shape), volume(originals[i]), 1e-6 * volume(originals[i]));
        expect_box_near(bounding_box(back[i].shape), bounding_box(originals[i]), 1e-6);
    }
}

// A plate top with hundreds of edges is written with its shell's faces reordered and the pocket
// edges' plane curves stored: the same solid must come back.
TEST(KernelStep, PlateWithManyPocketsComesBackWhole) {
    const TempFile file("kernel_many_pockets");
    Shape plate = block({0, 0, 0}, 200, 140, 20);
    for (int i = 0; i < 70; ++i) plate = cut(plate, block({8.0 + 20 * (i % 10), 8.0 + 20 * (i / 10), -1}, 4, 6, 22));
    write_step(file.path.string(), {{plate, "plate", {0.2, 0.4, 0.8}}});

    const std::vector<NamedShape> back = read_step(file.path.string());
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(solid_count(back[0].shape), 1);
    EXPECT_TRUE(is_valid(back[0].shape));
    EXPECT_EQ(faces(back[0].shape).size(), 6u + 70 * 4);
    EXPECT_EQ(edges(back[0].shape).size(), edges(plate).size());
    EXPECT_NEAR(volume(back[0].shape), 200.0 * 140 * 20 - 70 * 4 * 6 * 20, 1e-6);
}

TEST(KernelStep, UnnamedShapesComeBackUnnamed) {
    const TempFile file("kernel_unnamed");
    write_step(file.path.string(), {{block({0, 0, 0}, 10, 10, 10), "", {0.5, 0.5, 0.5}},
                                    {block({20, 0, 0}, 10, 10, 10), "named", {1, 0, 0}},
                                    {block({40, 0, 0}, 10, 10, 10), "", {0, 1, 0}}});
    const std::vector<NamedShape> back = read_step(file.path.string());
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(back[0].name, "");
    EXPECT_EQ(back[1].name, "named");
    EXPECT_EQ(back[2].name, "");
    EXPECT_NEAR(back[2].color.g, 1, 1e-3);
}

TEST(KernelStep, FileCarriesTheColourValuesAsGiven) {
    // OCCT's colours are linear RGB and its writer stores sRGB: handing it our values as linear
    // would write 0.4845 for 0.2. The file must hold the display values themselves.
    const TempFile file("kernel_colour");
    write_step(file.path.string(), {{block({0, 0, 0}, 1, 1, 1), "box", {0.2, 0.4, 0.8}}});
    std::ifstream in(file.path);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto at = text.find("COLOUR_RGB(");
    ASSERT_NE(at, std::string::npos);
    double r = 0, g = 0, b = 0;
    const std::string args = text.substr(text.find(',', at) + 1);
    ASSERT_EQ(std::sscanf(args.c_str(), "%lf,%lf,%lf", &r, &g, &b), 3) << args.substr(0, 60);
    EXPECT_NEAR(r, 0.2, 1e-6);
    EXPECT_NEAR(g, 0.4, 1e-6);
    EXPECT_NEAR(b, 0.8, 1e-6);
    EXPECT_NE(text.find("PRODUCT('box'"), std::string::npos);
    EXPECT_NE(text.find("AUTOMOTIVE_DESIGN"), std::string::npos);  // AP214
}

TEST(KernelStep, SplitBodyComesBackAsItsSolidsUnderOneName) {
    const TempFile file("kernel_split");
    const Shape split = cut(block({0, 0, 0}, 100, 10, 10), block({45, -1, -1}, 10, 12, 12));
    write_step(file.path.string(), {{split, "bar", {0, 0.5, 0}}});
    const std::vector<NamedShape> back = read_step(file.path.string());
    ASSERT_EQ(back.size(), 2u);
    for (const NamedShape &item : back) {
        EXPECT_EQ(item.name, "bar");
        EXPECT_NEAR(item.color.g, 0.5, 1e-3);
        EXPECT_NEAR(volume(item.shape), 4500, 1e-6);
    }
}

TEST(KernelStep, FailuresAreKernelErrors) {
    const Shape box = block({0, 0, 0}, 1, 1, 1);
    expect_kernel_error([&] { write_step("/nonexistent-dir/out.step", {{box, "box", {}}}); }, "write STEP");
    expect_kernel_error([&] { write_step("", {{box, "box", {}}}); }, "write STEP");
    expect_kernel_error([&] { write_step("/tmp/nothing.step", {}); }, "write STEP");
    expect_kernel_error([] { read_step("/nonexistent-dir/in.step"); }, "read STEP");

    // The parse error arrives as the exception only: OCCT's own console report is switched off.
    const TempFile garbage("kernel_garbage");
    std::ofstream(garbage.path) << "this is not a STEP file\n";
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    expect_kernel_error([&] { read_step(garbage.path.string()); }, "read STEP");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// Files no CAD system writes are refused before OCCT's reader sees them, each with its reason.
TEST(KernelStep, ImplausibleFilesAreRefusedBeforeReading) {
    const std::string head = "ISO-10303-21;\nHEADER;\nFILE_NAME('a;b(',(''),(''),'','','','');\nENDSEC;\nDATA;\n";
    const std::string tail = "ENDSEC;\nEND-ISO-10303-21;\n";
    std::ostringstream chain;
    for (int i = 1; i <= 450; ++i) chain << '#' << i << "=ITEM('',#" << i + 1 << ");\n";
    chain << "#451=ITEM('');\n";
    const struct {
        std::string text, reason;
    } cases[] = {
        {"solid cube\n", "not a STEP file"},
        {head + "#1=POINT('',(0.,0.,0.));\n", "cut short"},
        {head + "#1=LINE('',#1,#2);\n#2=POINT('');\n" + tail, "#1 refers to itself"},
        {head + "#1=LINE('',#2,#3);\n#2=POINT('');\n" + tail, "#1 refers to #3, which the file does not define"},
        {head + "#1=POINT('');\n#1=POINT('');\n" + tail, "#1 is defined twice"},
        {head + "#1=POINT(" + std::string(40, '(') + std::string(40, ')') + ");\n" + tail, "lists nested deeper than 32"},
        {head + chain.str() + tail, "references nested deeper than 400 levels"},
        {head + "#1=POINT('it''s);\n" + tail, "a text is not closed"},
        {head + tail, "holds no entities"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reason);
        try {
            check_step_text(c.text);
            ADD_FAILURE() << "accepted";
        } catch (const KernelError &e) {
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
        }
    }
    // A reference chain back onto itself through other entities is a cycle, not depth: accepted.
    EXPECT_NO_THROW(check_step_text(head + "#1=A('',#2);\n#2=B('',#1);\n" + tail));
}

// Whatever the kernel does inside the child (a crash, an endless loop, an exception), the caller gets
// an error naming the operation and the process goes on.
TEST(KernelStep, AKernelFailureInTheReaderProcessBecomesAnError) {
    using diekit::kernel::detail::run_in_child;
    EXPECT_EQ(run_in_child("task", [] { return std::string("shapes\n\0bytes", 13); }, 10, 0),
              std::string("shapes\n\0bytes", 13));
    const struct {
        std::function<std::string()> task;
        std::string reason;
    } cases[] = {
        {[]() -> std::string { std::raise(SIGSEGV); return ""; }, "task: the kernel crashed"},
        {[]() -> std::string { for (;;) ::pause(); }, "task: the kernel took longer than 1 s"},
        {[]() -> std::string { throw KernelError("read STEP: no such entity"); }, "read STEP: no such entity"},
        {[]() -> std::string { throw std::bad_alloc(); }, "out of memory"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reason);
        try {
            run_in_child("task", c.task, 1, 0);
            ADD_FAILURE() << "no error";
        } catch (const KernelError &e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.reason, 0), 0u) << e.what();
        }
    }
}
