// STEP exchange: names, colours and geometry survive a round trip; failures are reported.
#include "kernel_test_util.hpp"

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
