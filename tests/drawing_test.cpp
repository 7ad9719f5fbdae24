// The drawing (--svg): a well-formed A3 sheet with four hidden-line views laid out without overlap,
// the orthographic views aligned, bodies in their colours, named bodies labelled, a title block; not
// blank when a real SVG renderer draws it; blanked bodies left out; written whole by diehost.
#include "io/palette.hpp"
#include "io/svg.hpp"
#include "diehost_command.hpp"
#include "scenario.hpp"

#include <uf.h>
#include <uf_obj.h>

#include <png.h>
#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using scenario::Json;

struct Rect {
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    bool empty() const { return x0 > x1; }
    void add(double x, double y) { x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y); }
    bool overlaps(const Rect &o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
};

// The points of a path's "M x y L x y ..." data.
std::vector<std::pair<double, double>> points_of(const char *d) {
    std::vector<double> numbers;
    std::istringstream in(d);
    std::string token;
    while (in >> token)
        if (token != "M" && token != "L") numbers.push_back(std::stod(token[0] == 'M' || token[0] == 'L' ? token.substr(1) : token));
    std::vector<std::pair<double, double>> points;
    for (std::size_t i = 0; i + 1 < numbers.size(); i += 2) points.emplace_back(numbers[i], numbers[i + 1]);
    return points;
}

Rect extent_of(const pugi::xml_node &node, const char *tag = nullptr, const char *cls = nullptr) {
    Rect r;
    for (auto path : node.select_nodes(".//path")) {
        auto p = path.node();
        if (tag && std::string(p.attribute("data-tag").value()) != tag) continue;
        if (cls && std::string(p.attribute("class").value()) != cls) continue;
        for (auto [x, y] : points_of(p.attribute("d").value())) r.add(x, y);
    }
    return r;
}

std::string drawing_of(const Json &report) { return diekit::io::drawing_svg(report["session"].get<std::string>()); }

class Drawing : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        report = new Json(scenario::play_file("examples/flatinsert.json"));
        svg = new std::string(drawing_of(*report));
    }
    static void TearDownTestSuite() {
        delete report;
        delete svg;
    }
    static Json *report;
    static std::string *svg;
};
Json *Drawing::report = nullptr;
std::string *Drawing::svg = nullptr;

TEST_F(Drawing, IsAWellFormedSheetWithFourViewsThatDoNotOverlapEachOtherOrTheTitleBlock) {
    pugi::xml_document doc;
    auto parsed = doc.load_string(svg->c_str());
    ASSERT_TRUE(parsed) << parsed.description();
    auto root = doc.child("svg");
    EXPECT_STREQ(root.attribute("viewBox").value(), "0 0 420 297");

    const char *ids[] = {"view-front", "view-left", "view-top", "view-iso"};
    std::vector<Rect> views;
    for (auto id : ids) {
        auto view = root.find_child_by_attribute("g", "id", id);
        ASSERT_TRUE(view) << id;
        EXPECT_GE(view.select_nodes("path[@class='visible']").size(), 4u) << id;
        views.push_back(extent_of(view));
        ASSERT_FALSE(views.back().empty()) << id;
        // Inside the frame.
        EXPECT_GE(views.back().x0, 10) << id;
        EXPECT_GE(views.back().y0, 10) << id;
        EXPECT_LE(views.back().x1, 410) << id;
        EXPECT_LE(views.back().y1, 287) << id;
    }
    EXPECT_EQ(root.select_nodes("g[@class='view']").size(), 4u);
    for (std::size_t i = 0; i < views.size(); ++i)
        for (std::size_t j = i + 1; j < views.size(); ++j) EXPECT_FALSE(views[i].overlaps(views[j])) << ids[i] << " / " << ids[j];

    auto title = root.find_child_by_attribute("g", "id", "title-block");
    ASSERT_TRUE(title);
    Rect block;
    auto rect = title.child("rect");
    block.add(rect.attribute("x").as_double(), rect.attribute("y").as_double());
    block.add(block.x0 + rect.attribute("width").as_double(), block.y0 + rect.attribute("height").as_double());
    for (std::size_t i = 0; i < views.size(); ++i) EXPECT_FALSE(views[i].overlaps(block)) << ids[i];
    EXPECT_STREQ(title.find_child_by_attribute("text", "id", "title").child_value(), "flatinsert");
    // The plate (200 x 120 x 25 with punches 60 long) fits A3 at a standard reduction.
    EXPECT_STREQ(title.find_child_by_attribute("text", "id", "scale").child_value(), "scale 1:1.5");
}

TEST_F(Drawing, OrthographicViewsAreAlignedAndDrawnToTheStatedScale) {
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(svg->c_str()));
    auto root = doc.child("svg");
    const std::string plate = std::to_string(scenario::body(*report, "die_plate")["tag"].get<int>());
    Rect front = extent_of(root.find_child_by_attribute("g", "id", "view-front"), plate.c_str());
    Rect top = extent_of(root.find_child_by_attribute("g", "id", "view-top"), plate.c_str());
    Rect left = extent_of(root.find_child_by_attribute("g", "id", "view-left"), plate.c_str());
    const double s = 1 / 1.5;
    // The plate is 200 long (x), 120 wide (y), 25 thick (z).
    EXPECT_NEAR(front.x1 - front.x0, 200 * s, 0.02);
    EXPECT_NEAR(front.y1 - front.y0, 25 * s, 0.02);
    EXPECT_NEAR(top.y1 - top.y0, 120 * s, 0.02);
    EXPECT_NEAR(left.x1 - left.x0, 120 * s, 0.02);
    // Front above top with the same x; the left view beside the front at the same height.
    EXPECT_NEAR(front.x0, top.x0, 0.01);
    EXPECT_LT(front.y1, top.y0);
    EXPECT_NEAR(front.y0, left.y0, 0.01);
    EXPECT_LT(front.x1, left.x0);
}

TEST_F(Drawing, BodiesAreDrawnInTheirColoursAndNamedBodiesAreLabelled) {
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(svg->c_str()));
    auto root = doc.child("svg");
    auto top = root.find_child_by_attribute("g", "id", "view-top");
    std::map<int, std::string> stroke_of_color;
    for (auto &body : (*report)["bodies"]) {
        const std::string tag = std::to_string(body["tag"].get<int>());
        // Every body is in sight from above (the punches stand out of the plate, inserts are flush).
        auto path = top.find_child_by_attribute("path", "data-tag", tag.c_str());
        ASSERT_TRUE(path) << body["name"];
        auto [it, fresh] = stroke_of_color.emplace(body["color"].get<int>(), path.attribute("stroke").value());
        EXPECT_EQ(it->second, path.attribute("stroke").value()) << "one colour, one stroke";
    }
    // Inserts (cyan), the plate (100) and the punches (default grey) are told apart.
    ASSERT_EQ(stroke_of_color.size(), 3u);
    const std::string insert = stroke_of_color.at(181);
    EXPECT_EQ(insert.substr(1, 2), "00") << insert;                 // no red
    EXPECT_EQ(insert.substr(3, 2), insert.substr(5, 2)) << insert;  // green = blue
    EXPECT_NE(insert, "#000000");

    for (const char *name : {"die_plate", "punch_round", "punch_rect", "punch_hex"}) {
        auto labels = root.select_nodes(("//text[@class='label'][text()='" + std::string(name) + "']").c_str());
        EXPECT_EQ(labels.size(), 2u) << name << ": once in the front view and once in the top view";
    }
    // Inserts have no name and no label.
    EXPECT_EQ(root.select_nodes("//text[@class='label']").size(), 8u);
}

// Renders the SVG with rsvg-convert and returns the RGB pixels (width, height, bytes).
struct Raster {
    unsigned width = 0, height = 0;
    std::vector<png_byte> rgb;
    bool white(unsigned x, unsigned y) const {
        const png_byte *p = &rgb[3 * (std::size_t(y) * width + x)];
        return p[0] > 235 && p[1] > 235 && p[2] > 235;
    }
};

Raster render(const std::string &svg_text, const fs::path &dir) {
    fs::create_directories(dir);
    const fs::path svg_path = dir / "sheet.svg", png_path = dir / "sheet.png";
    std::ofstream(svg_path) << svg_text;
    const std::string command = "rsvg-convert -w 1680 -o '" + png_path.string() + "' '" + svg_path.string() + "' 2>&1";
    const int status = std::system(command.c_str());
    Raster raster;
    if (status != 0) {
        ADD_FAILURE() << "rsvg-convert failed (status " << status << "); install librsvg2-bin (./diekit does)";
        return raster;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, png_path.c_str())) {
        ADD_FAILURE() << "cannot read " << png_path << ": " << image.message;
        return raster;
    }
    image.format = PNG_FORMAT_RGB;
    raster.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, raster.rgb.data(), 0, nullptr)) {
        ADD_FAILURE() << "cannot decode " << png_path << ": " << image.message;
        return raster;
    }
    raster.width = image.width;
    raster.height = image.height;
    return raster;
}

// Renders the sheet and checks that it is inked, in colour, in each of the four views.
void expect_inked_sheet(const std::string &sheet, const std::string &which) {
    const fs::path dir = fs::temp_directory_path() / ("diekit_drawing_" + which + "_" + std::to_string(::getpid()));
    Raster raster = render(sheet, dir);
    ASSERT_EQ(raster.width, 1680u);
    ASSERT_EQ(raster.height, 1188u);
    const double px = raster.width / 420.0;  // pixels per sheet millimetre

    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(sheet.c_str()));
    std::size_t inked_total = 0, coloured = 0;
    for (unsigned y = 0; y < raster.height; ++y)
        for (unsigned x = 0; x < raster.width; ++x) {
            if (raster.white(x, y)) continue;
            ++inked_total;
            const png_byte *p = &raster.rgb[3 * (std::size_t(y) * raster.width + x)];
            if (std::abs(int(p[0]) - int(p[1])) > 60 || std::abs(int(p[1]) - int(p[2])) > 60) ++coloured;
        }
    const double share = double(inked_total) / (double(raster.width) * raster.height);
    // The frame and title block alone ink about 1% of an A3 sheet at this resolution.
    EXPECT_GT(share, 0.015) << "the rendered sheet is (nearly) blank";
    EXPECT_LT(share, 0.5) << "the rendered sheet is mostly ink";
    EXPECT_GT(coloured, 2000u) << "bodies are not drawn in colour";

    // Each view's own box on the sheet carries ink (a line drawing: a few per cent).
    for (const char *id : {"view-front", "view-left", "view-top", "view-iso"}) {
        Rect r = extent_of(doc.child("svg").find_child_by_attribute("g", "id", id));
        std::size_t inked = 0, all = 0;
        for (unsigned y = unsigned(r.y0 * px); y < unsigned(r.y1 * px) && y < raster.height; ++y)
            for (unsigned x = unsigned(r.x0 * px); x < unsigned(r.x1 * px) && x < raster.width; ++x, ++all)
                inked += !raster.white(x, y);
        EXPECT_GT(double(inked) / double(std::max<std::size_t>(all, 1)), 0.01) << id;
    }
    if (!std::getenv("DIEKIT_KEEP_DRAWING")) fs::remove_all(dir);
}

TEST_F(Drawing, RenderedSheetShowsLinesInEveryViewAndColour) { expect_inked_sheet(*svg, "flatinsert"); }

class DemoDrawing : public ::testing::Test {
protected:
    static void SetUpTestSuite() { svg = new std::string(drawing_of(scenario::play_file("examples/demo.json"))); }
    static void TearDownTestSuite() { delete svg; }
    static std::string *svg;
};
std::string *DemoDrawing::svg = nullptr;

TEST_F(DemoDrawing, RenderedDemoSheetShowsTheWholeDieInEveryView) { expect_inked_sheet(*svg, "demo"); }

// How far (sheet mm) segment q runs along segment p, when q lies on p's line; 0 otherwise.
double run_along(std::pair<double, double> p0, std::pair<double, double> p1, std::pair<double, double> q0,
                 std::pair<double, double> q1) {
    const double length = std::hypot(p1.first - p0.first, p1.second - p0.second);
    if (length < 1e-9) return 0;
    const double ux = (p1.first - p0.first) / length, uy = (p1.second - p0.second) / length;
    auto off = [&](auto q) { return std::abs((q.first - p0.first) * uy - (q.second - p0.second) * ux); };
    auto along = [&](auto q) { return (q.first - p0.first) * ux + (q.second - p0.second) * uy; };
    if (off(q0) > 0.03 || off(q1) > 0.03) return 0;  // the sheet's coordinates are rounded to 0.01
    const double lo = std::max(0.0, std::min(along(q0), along(q1))), hi = std::min(length, std::max(along(q0), along(q1)));
    return std::max(0.0, hi - lo);
}

TEST_F(DemoDrawing, NoHiddenLineIsDrawnTwiceOrUnderAVisibleLine) {
    // Two dash patterns laid over each other, or a dashed line under a solid one, read as a solid line.
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(svg->c_str()));
    using Segment = std::array<std::pair<double, double>, 2>;
    for (const char *id : {"view-front", "view-left", "view-top"}) {
        std::vector<Segment> hidden, drawn;
        for (auto path : doc.child("svg").find_child_by_attribute("g", "id", id).select_nodes(".//path")) {
            const bool is_hidden = std::string(path.node().attribute("class").value()) == "hidden";
            // Subpaths start at "M": points_of gives them joined, so split at each M.
            std::string d = path.node().attribute("d").value();
            for (std::size_t at = d.find('M'); at != std::string::npos;) {
                const std::size_t next = d.find('M', at + 1);
                const auto points = points_of(d.substr(at, next == std::string::npos ? next : next - at).c_str());
                for (std::size_t i = 1; i < points.size(); ++i) (is_hidden ? hidden : drawn).push_back({points[i - 1], points[i]});
                at = next;
            }
        }
        ASSERT_GT(hidden.size(), 10u) << id << ": the die has hidden parts in every view";
        int twice = 0;
        for (std::size_t i = 0; i < hidden.size(); ++i) {
            auto over = [&](const Segment &q) { return run_along(hidden[i][0], hidden[i][1], q[0], q[1]) > 0.1; };
            if (std::any_of(drawn.begin(), drawn.end(), over) || std::any_of(hidden.begin(), hidden.begin() + i, over)) ++twice;
        }
        EXPECT_EQ(twice, 0) << id << ": of " << hidden.size() << " hidden segments";
    }
}

TEST(CrowdedDrawing, LabelsNeverOverlapAndStayNearTheirBodies) {
    // Twelve small named pins stacked on one axis over a large plain plate that sets a small scale:
    // their labels all want the same few lines.
    Json objects = Json::array({{{"block", {{"corner", {-200, -150, -30}}, {"size", {400, 300, 20}}}}}});
    for (int i = 0; i < 12; ++i)
        objects.push_back({{"name", "pin_number_" + std::to_string(i)},
                           {"cylinder", {{"base", {0, 0, 5.0 * i}}, {"axis", {0, 0, 1}}, {"height", 4}, {"diameter", 4}}}});
    const Json report = scenario::play({{"name", "crowded"}, {"objects", objects}});
    const std::string sheet = drawing_of(report);
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(sheet.c_str()));
    for (const char *id : {"view-front", "view-top"}) {
        auto view = doc.child("svg").find_child_by_attribute("g", "id", id);
        struct Label { double x0, y0, x1, y1; Rect body; };
        std::vector<Label> labels;
        for (auto node : view.select_nodes("text[@class='label']")) {
            auto text = node.node();
            const double x = text.attribute("x").as_double(), y = text.attribute("y").as_double();
            const double size = text.attribute("font-size").as_double();
            const double half = 0.3 * size * std::string(text.text().get()).size();
            labels.push_back({x - half, y - size, x + half, y, extent_of(view, text.attribute("data-tag").value())});
        }
        // From above only the top pin is in sight; from the front all twelve are, 1 mm apart.
        EXPECT_GE(labels.size(), std::string(id) == "view-front" ? 3u : 1u) << id;
        for (std::size_t i = 0; i < labels.size(); ++i) {
            // Within three label lines of the body it names.
            EXPECT_LT(labels[i].y0, labels[i].body.y1 + 3 * 1.3 * 2.5 + 1e-9) << id;
            EXPECT_GT(labels[i].y1, labels[i].body.y0 - 3 * 1.3 * 2.5 - 1e-9) << id;
            for (std::size_t j = i + 1; j < labels.size(); ++j) {
                const bool apart = labels[i].x1 <= labels[j].x0 || labels[j].x1 <= labels[i].x0 ||
                                   labels[i].y1 <= labels[j].y0 || labels[j].y1 <= labels[i].y0;
                EXPECT_TRUE(apart) << id << ": labels " << i << " and " << j << " overlap";
            }
        }
    }
}

class BlankedDrawing : public ::testing::Test {};

TEST_F(BlankedDrawing, BlankedBodiesAreLeftOutAndCountedInTheTitleBlock) {
    Json session = Json::parse(R"({"name": "blanking", "objects": [
        {"name": "kept", "block": {"corner": [0, 0, 0], "size": [50, 40, 20]}, "color": 190},
        {"name": "hidden", "cylinder": {"base": [100, 0, 0], "axis": [0, 0, 1], "height": 30, "diameter": 20}}]})");
    Json report = scenario::play(session);
    const int kept = scenario::body(report, "kept")["tag"], hidden = scenario::body(report, "hidden")["tag"];
    auto tagged = [](const std::string &svg, int tag) {
        return svg.find("data-tag=\"" + std::to_string(tag) + "\"") != std::string::npos;
    };

    const std::string before = drawing_of(report);
    EXPECT_TRUE(tagged(before, hidden));
    EXPECT_NE(before.find(">hidden</text>"), std::string::npos);

    UF_initialize();
    ASSERT_EQ(UF_OBJ_set_blank_status(static_cast<tag_t>(hidden), UF_OBJ_BLANKED), 0);
    UF_terminate();
    const std::string after = drawing_of(report);
    EXPECT_FALSE(tagged(after, hidden));
    EXPECT_EQ(after.find(">hidden</text>"), std::string::npos);
    EXPECT_TRUE(tagged(after, kept));
    EXPECT_NE(after.find("1 bodies drawn, 1 blanked"), std::string::npos);
}

TEST_F(BlankedDrawing, AnEmptyPartStillGivesASheetWithItsTitleBlock) {
    Json report = scenario::play(Json::parse(R"({"name": "empty"})"));
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(drawing_of(report).c_str()));
    EXPECT_EQ(doc.select_nodes("//path").size(), 0u);
    EXPECT_EQ(doc.select_nodes("//g[@class='view']").size(), 4u);
    EXPECT_STREQ(doc.select_node("//text[@id='scale']").node().child_value(), "scale 1:1");
}

TEST(DrawingScale, PicksTheLargestStandardScaleThatFits) {
    struct Case {
        double fit;
        const char *text;
    } cases[] = {{1, "1:1"},      {0.99, "1:1.5"}, {0.5, "1:2"},  {0.45, "1:2.5"}, {0.2, "1:5"},
                 {0.1999, "1:6"}, {0.01, "1:100"}, {2.2, "2:1"},  {4.9, "4:1"},    {12, "10:1"},
                 {0, "1:1"},      {-3, "1:1"}};
    for (auto &c : cases) {
        auto scale = diekit::io::standard_scale(c.fit);
        EXPECT_EQ(scale.text, c.text) << c.fit;
        if (c.fit > 0) {
            EXPECT_LE(scale.factor, c.fit * (1 + 1e-12)) << c.fit;
        }
    }
}

// ---- the command ----

// The command's output appended to output; its exit status returned.
int run_diehost(const std::string &arguments, std::string &output) {
    CommandOutcome outcome = ::run_diehost(arguments);
    output += outcome.output;
    return outcome.status;
}

TEST(DrawingCli, DrawingAndBillOfMaterialsAreWrittenWholeOrNotAtAll) {
    const fs::path dir = fs::temp_directory_path() / ("diekit_drawing_cli_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string example = std::string(DIEKIT_SOURCE_DIR) + "/examples/flatinsert.json";
    std::string output;
    ASSERT_EQ(run_diehost("run " + example + " --quiet --svg " + (dir / "d.svg").string() + " --bom " +
                              (dir / "d.csv").string(),
                          output),
              0)
        << output;
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_file((dir / "d.svg").c_str()));
    EXPECT_EQ(doc.select_nodes("//g[@class='view']").size(), 4u);
    std::ifstream csv(dir / "d.csv");
    std::string header;
    std::getline(csv, header);
    EXPECT_EQ(header.rfind("tag,name,", 0), 0u) << header;

    // The drawing cannot be written (no such folder): the report asked for with it is not written either.
    output.clear();
    EXPECT_EQ(run_diehost("run " + example + " --quiet --report " + (dir / "r.json").string() + " --svg " +
                              (dir / "missing" / "d.svg").string(),
                          output),
              1);
    EXPECT_NE(output.find("missing/d.svg"), std::string::npos) << output;
    EXPECT_FALSE(fs::exists(dir / "r.json"));
    for (auto &entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << "temporary left: " << entry.path();
    fs::remove_all(dir);
}

}  // namespace
