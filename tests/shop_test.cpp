// Shop outputs of the demo die (parts list, plate sheets, PDF, wire-cutting DXF), written by diehost
// and read back as a die shop's tools would; display names; the editable materials table.
#include "csv.hpp"
#include "diehost_command.hpp"
#include "io/checks.hpp"
#include "io/materials.hpp"
#include "io/outputs.hpp"
#include "io/parts_list.hpp"
#include "io/pdf.hpp"
#include "io/roles.hpp"
#include "kernel/kernel.hpp"
#include "model/errors.hpp"
#include "raster.hpp"
#include "scenario.hpp"

#include <uf.h>
#include <uf_part.h>

#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>
#include <pugixml.hpp>

#include <cmath>
#include <complex>
#include <filesystem>
#include <fstream>
#include <map>
#include <numbers>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using scenario::Json;
using P = std::complex<double>;
constexpr double pi = std::numbers::pi;

// ---- the demo's outputs, written once ----

class DemoShop : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new fs::path(fs::temp_directory_path() / ("diekit_shop_" + std::to_string(::getpid())));
        fs::remove_all(*dir);
        fs::create_directories(*dir);
        const std::string d = dir->string();
        outcome = new CommandOutcome(run_diehost("run " + std::string(DIEKIT_SOURCE_DIR) + "/examples/demo.json --quiet --report " +
                                                 d + "/r.json --bom " + d + "/bom.csv --sheets " + d + "/sheets --pdf " + d +
                                                 "/sheets.pdf --dxf " + d + "/dxf"));
    }
    static void TearDownTestSuite() {
        if (!std::getenv("DIEKIT_KEEP_DRAWING")) fs::remove_all(*dir);
        delete dir;
        delete outcome;
    }
    void SetUp() override { ASSERT_EQ(outcome->status, 0) << outcome->output; }
    static std::string read(const fs::path &path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static Json report() { return Json::parse(read(*dir / "r.json")); }
    static fs::path *dir;
    static CommandOutcome *outcome;
};
fs::path *DemoShop::dir = nullptr;
CommandOutcome *DemoShop::outcome = nullptr;

// ---- DXF read back with dxflib ----

struct Polyline {
    std::string layer;
    int flags = 0;
    std::vector<std::pair<P, double>> vertices;  // point, bulge
};

struct DxfReader : DL_CreationAdapter {
    std::vector<std::string> layers;
    std::vector<Polyline> polylines;
    void addLayer(const DL_LayerData &data) override { layers.push_back(data.name); }
    void addPolyline(const DL_PolylineData &data) override { polylines.push_back({attributes.getLayer(), data.flags, {}}); }
    void addVertex(const DL_VertexData &data) override {
        if (!polylines.empty()) polylines.back().vertices.push_back({{data.x, data.y}, data.bulge});
    }
};

// Area (counter-clockwise positive) and length of a closed polyline with bulges.
std::pair<double, double> measure(const Polyline &p) {
    double area = 0, length = 0;
    for (std::size_t i = 0; i < p.vertices.size(); ++i) {
        const P a = p.vertices[i].first, b = p.vertices[(i + 1) % p.vertices.size()].first;
        const double bulge = p.vertices[i].second, chord = std::abs(b - a);
        area += (std::conj(a) * b).imag() / 2;
        if (bulge == 0) {
            length += chord;
            continue;
        }
        const double theta = 4 * std::atan(bulge), r = chord / (2 * std::sin(std::abs(theta) / 2));
        area += std::copysign(r * r * (std::abs(theta) - std::sin(std::abs(theta))) / 2, theta);
        length += r * std::abs(theta);
    }
    return {area, length};
}

// ---- the blank outline of the demo grown by the clearance, worked out here on its own ----
// Lines move out by c along their normals, arcs change radius by c, and where two pieces meet at an
// angle they are extended to meet (the offset the die set's opening is cut with).

struct Piece {
    bool arc;
    P a, b, centre;
    double radius = 0;
    bool ccw = true;
};

P circumcentre(P a, P b, P c) {
    const double d = 2 * (a.real() * (b.imag() - c.imag()) + b.real() * (c.imag() - a.imag()) + c.real() * (a.imag() - b.imag()));
    const double x = (std::norm(a) * (b.imag() - c.imag()) + std::norm(b) * (c.imag() - a.imag()) + std::norm(c) * (a.imag() - b.imag())) / d;
    const double y = (std::norm(a) * (c.real() - b.real()) + std::norm(b) * (a.real() - c.real()) + std::norm(c) * (b.real() - a.real())) / d;
    return {x, y};
}

P tangent(const Piece &p, P at) {
    if (!p.arc) return (p.b - p.a) / std::abs(p.b - p.a);
    const P radial = (at - p.centre) / std::abs(at - p.centre);
    return p.ccw ? radial * P(0, 1) : radial * P(0, -1);
}

// Intersections of two offset pieces taken as whole lines and circles; the one nearest `near`.
P meet(const Piece &u, const Piece &v, P near) {
    std::vector<P> found;
    auto line_circle = [&](P a, P d, P c, double r) {
        const P f = a - c;
        const double B = 2 * (std::conj(f) * d).real(), C = std::norm(f) - r * r, disc = B * B - 4 * C;
        for (double s : {-1.0, 1.0}) found.push_back(a + d * ((-B + s * std::sqrt(std::max(disc, 0.0))) / 2));
    };
    if (!u.arc && !v.arc) {
        const P d1 = u.b - u.a, d2 = v.b - v.a;
        const double t = ((std::conj(v.a - u.a) * d2).imag()) / (std::conj(d1) * d2).imag();
        found.push_back(u.a + d1 * t);
    } else if (u.arc != v.arc) {
        const Piece &l = u.arc ? v : u, &c = u.arc ? u : v;
        line_circle(l.a, (l.b - l.a) / std::abs(l.b - l.a), c.centre, c.radius);
    } else {
        const double d = std::abs(v.centre - u.centre), a = (u.radius * u.radius - v.radius * v.radius + d * d) / (2 * d);
        const double h = std::sqrt(std::max(u.radius * u.radius - a * a, 0.0));
        const P e = (v.centre - u.centre) / d, m = u.centre + e * a;
        found = {m + e * P(0, 1) * h, m - e * P(0, 1) * h};
    }
    return *std::min_element(found.begin(), found.end(), [&](P x, P y) { return std::abs(x - near) < std::abs(y - near); });
}

std::pair<double, double> grown_outline(const Json &session, double c) {
    std::vector<Piece> pieces;
    auto point = [](const Json &p) { return P(p[0].get<double>(), p[1].get<double>()); };
    for (auto &object : session["objects"]) {
        if (object["name"] != "blank") continue;
        const Json &curve = object["curve"];
        if (curve.contains("polyline"))
            for (std::size_t i = 0; i + 1 < curve["polyline"].size(); ++i)
                pieces.push_back({false, point(curve["polyline"][i]), point(curve["polyline"][i + 1]), {}, 0, true});
        else {
            const P a = point(curve["arc"][0]), m = point(curve["arc"][1]), b = point(curve["arc"][2]);
            const P centre = circumcentre(a, m, b);
            pieces.push_back({true, a, b, centre, std::abs(a - centre), (std::conj(m - a) * (b - m)).imag() > 0});
        }
    }
    // Offset each piece outwards (the outline runs counter-clockwise: outwards is to the right).
    std::vector<Piece> moved = pieces;
    for (Piece &p : moved) {
        if (p.arc) {
            p.radius += p.ccw ? c : -c;
        } else {
            const P right = tangent(p, p.a) * P(0, -1);
            p.a += right * c, p.b += right * c;
        }
    }
    const std::size_t n = pieces.size();
    std::vector<P> joints(n);  // joints[i]: where piece i starts
    for (std::size_t i = 0; i < n; ++i) {
        const Piece &before = pieces[(i + n - 1) % n], &after = pieces[i];
        const P v = after.a, t1 = tangent(before, v), t2 = tangent(after, v);
        joints[i] = std::abs((std::conj(t1) * t2).imag()) < 1e-9 ? v + t2 * P(0, -1) * c : meet(moved[(i + n - 1) % n], moved[i], v);
    }
    double area = 0, length = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const P a = joints[i], b = joints[(i + 1) % n];
        area += (std::conj(a) * b).imag() / 2;
        if (!moved[i].arc) {
            length += std::abs(b - a);
            continue;
        }
        const Piece &p = moved[i];
        double sweep = std::arg((b - p.centre) / (a - p.centre));
        if (p.ccw && sweep < 0) sweep += 2 * pi;
        if (!p.ccw && sweep > 0) sweep -= 2 * pi;
        area += std::copysign(p.radius * p.radius * (std::abs(sweep) - std::sin(std::abs(sweep))) / 2, sweep);
        length += p.radius * std::abs(sweep);
    }
    return {area, length};
}

TEST_F(DemoShop, EveryDxfReadsBackAndTheDieOpeningIsTheBlankGrownByTheClearance) {
    std::map<std::string, DxfReader> files;
    for (auto &entry : fs::directory_iterator(*dir / "dxf")) {
        DxfReader &reader = files[entry.path().filename().string()];
        DL_Dxf dxf;
        ASSERT_TRUE(dxf.in(entry.path().string(), &reader)) << entry.path();
        EXPECT_FALSE(reader.polylines.empty()) << entry.path();
        for (const Polyline &p : reader.polylines) {
            EXPECT_EQ(p.flags & 1, 1) << entry.path() << ": polyline not closed";
            EXPECT_GE(p.vertices.size(), 2u) << entry.path();
            EXPECT_NE(std::find(reader.layers.begin(), reader.layers.end(), p.layer), reader.layers.end()) << p.layer;
        }
    }
    // The die opening, the punch-die and its four inserts, the four punches and the ejector at least.
    for (const char *name : {"die_plate_1.dxf", "tui_kuai.dxf", "tu_ao_mo.dxf", "insert_1.dxf", "chong_zi_a.dxf"})
        EXPECT_TRUE(files.count(name)) << name;

    const Json session = Json::parse(read(fs::path(DIEKIT_SOURCE_DIR) / "examples/demo.json"));
    const double clearance = session["steps"][0]["values"]["jian_xi"];
    const auto [area, length] = grown_outline(session, clearance);
    auto only_on = [&](const std::string &file, const std::string &layer) {
        std::vector<Polyline> found;
        for (const Polyline &p : files[file].polylines)
            if (p.layer == layer) found.push_back(p);
        EXPECT_EQ(found.size(), 1u) << file << " " << layer;
        return found.empty() ? Polyline{} : found.front();
    };
    // The opening in the die plate and the ejector standing in it have that outline.
    for (const auto &[file, layer] : {std::pair("die_plate_1.dxf", "DIE_OPENING"), std::pair("tui_kuai.dxf", "EJECTOR_BLOCK")}) {
        const auto [a, l] = measure(only_on(file, layer));
        EXPECT_NEAR(std::abs(a), area, 1e-6 * area) << file;
        EXPECT_NEAR(l, length, 1e-6 * length) << file;
    }
    // The opening keeps the blank's arcs as arcs (it runs clockwise): its two convex corners, and the
    // concave bite, which is more than a half circle once grown and so comes in two pieces.
    int convex = 0, concave = 0;
    for (auto &[point, bulge] : only_on("die_plate_1.dxf", "DIE_OPENING").vertices) convex += bulge < 0, concave += bulge > 0;
    EXPECT_EQ(convex, 2);
    EXPECT_EQ(concave, 2);
}

// ---- sheets ----

TEST_F(DemoShop, SheetsHoldHoleTablesAsTextAndRenderInked) {
    std::size_t sheets = 0;
    for (auto &entry : fs::directory_iterator(*dir / "sheets")) sheets += entry.path().extension() == ".svg";
    // Every plate-like part once: 18 plate-like bodies, the two keepplate retainer plates alike.
    EXPECT_EQ(sheets, 17u);

    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file((*dir / "sheets" / "xie_liao_ban.svg").c_str()));
    std::vector<std::vector<std::string>> rows;
    for (auto cell : doc.select_nodes("//g[@id='hole-table']/text[@class='cell']")) {
        const int column = cell.node().attribute("data-column").as_int();
        if (column == 0) rows.emplace_back();
        ASSERT_FALSE(rows.empty());
        rows.back().resize(column + 1);
        rows.back()[column] = cell.node().child_value();
    }
    // Stripper plate: four die springs from below (SPRING20X25 in 21 pockets), four bolt threads,
    // two wire springs, the punch-die's opening.
    std::map<std::string, int> kinds;
    for (auto &row : rows) ++kinds[row.back() + " " + row[3]];
    EXPECT_EQ(kinds, (std::map<std::string, int>{{"spring clearance Ø21", 4}, {"stripper bolt clearance Ø14", 4},
                                                 {"spring clearance Ø14", 2}, {"punch-die opening 80 × 50", 1}}));
    EXPECT_EQ(rows.front(), (std::vector<std::string>{"A1", "30.00", "30.00", "Ø21", "9.84", "", "bottom", "spring clearance"}));
    // Each hole is labelled in the top view by its table label.
    EXPECT_EQ(doc.select_nodes("//g[@id='view-top']/text[@data-hole]").size(), rows.size());
    EXPECT_TRUE(doc.select_node("//*[@id='projection-symbol'][@data-projection='first-angle']"));
    EXPECT_STREQ(doc.select_node("//*[@id='material']").node().child_value(), "1.0503 (C45)");

    // Rendered through librsvg and cairo: the views and the table carry ink, the sheet is not a blot.
    const std::string png = (*dir / "stripper.png").string();
    diekit::io::write_png(read(*dir / "sheets" / "xie_liao_ban.svg"), png, 1680);
    const Raster raster = read_png(png);
    ASSERT_EQ(raster.width, 1680u);
    const double px = 1680 / 420.0;
    const double all = raster.ink(0, 0, raster.width, raster.height);
    EXPECT_GT(all, 0.02);
    EXPECT_LT(all, 0.3);
    EXPECT_GT(raster.ink(unsigned(40 * px), unsigned(70 * px), unsigned(200 * px), unsigned(160 * px)), 0.01) << "top view";
    EXPECT_GT(raster.ink(unsigned(225 * px), unsigned(20 * px), unsigned(410 * px), unsigned(80 * px)), 0.05) << "hole table";
    // Every cell's text is drawn where the cell is (a missing font or a misplaced table leaves it blank).
    for (auto node : doc.select_nodes("//g[@id='hole-table']/text[@class='cell']")) {
        auto cell = node.node();
        const double x = cell.attribute("x").as_double(), y = cell.attribute("y").as_double();
        const double size = cell.attribute("font-size").as_double();
        const double width = 0.45 * size * std::string(cell.child_value()).size();
        EXPECT_GT(raster.ink(unsigned(x * px), unsigned((y - 0.7 * size) * px), unsigned((x + width) * px), unsigned(y * px)), 0.08)
            << cell.child_value() << " at " << x << ", " << y;
    }

    // One PDF page per sheet.
    const std::string pdf = read(*dir / "sheets.pdf");
    ASSERT_EQ(pdf.rfind("%PDF-", 0), 0u);
    std::size_t pages = 0;
    for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1))
        pages += pdf.compare(at, 12, "/Type /Pages") != 0;
    EXPECT_EQ(pages, sheets);
}

// ---- parts list ----

TEST_F(DemoShop, PartsListCountsEveryBodyOnceAndNamesStandardPartsByTheirStandard) {
    const auto records = parse_csv(read(*dir / "bom.csv"));
    ASSERT_GT(records.size(), 1u);
    const auto &header = records.front();
    auto column = [&](const std::string &name) { return std::find(header.begin(), header.end(), name) - header.begin(); };
    const auto qty = column("quantity"), item = column("item"), designation = column("designation"), file = column("library_file");
    int quantities = 0;
    std::map<std::string, std::string> bought;  // designation -> quantity
    for (std::size_t r = 1; r < records.size(); ++r) {
        const auto &row = records[r];
        EXPECT_EQ(std::stoi(row[item]), int(r));
        quantities += std::stoi(row[qty]);
        if (!row[file].empty()) bought[row[designation]] = row[qty];
    }
    EXPECT_EQ(quantities, int(report()["bodies"].size()));
    EXPECT_EQ(bought.at("ISO 10243 die spring 20 × 46"), "4");
    EXPECT_EQ(bought.at("ISO 4762 M4 × 12"), "2");
    EXPECT_EQ(bought.at("guide pillar 20 × 175, set 20X100"), "4");
    EXPECT_EQ(bought.at("guide bushing 20 × 32 × 45, set 20X100"), "4");
    EXPECT_EQ(bought.size(), 6u);
    for (auto &[name, count] : bought)
        EXPECT_TRUE(name.rfind("ISO ", 0) == 0 || name.rfind("guide ", 0) == 0 || name.rfind("round-wire compression spring", 0) == 0)
            << name;

    // The die plate: stock is its size plus 2, rounded up to 5; its mass from the D2 steel's density.
    const auto &die_plate = records[1];
    EXPECT_EQ(die_plate[designation], "die plate 200 × 160 × 22");
    EXPECT_EQ(die_plate[column("stock_size_mm")], "205 × 165 × 25");
    double volume = 0;
    const Json played = report();
    for (auto &body : played["bodies"])
        if (body["color"] == 100) volume = body["volume"];
    EXPECT_NEAR(std::stod(die_plate[column("mass_each_g")]), volume * 7.70e-3, 0.05);
}

// ---- display names ----

class DisplayNames : public ::testing::Test {};

TEST_F(DisplayNames, UnnamedBodiesGetRoleOrFileNamesThatRepeatNoHostNameInCheckStepDrawingAndPartsList) {
    scenario::play(Json::parse(R"({"objects": [
        {"name": "insert 1", "block": {"corner": [0, 0, 0], "size": [10, 10, 10]}, "color": 100},
        {"block": {"corner": [0, 0, 20], "size": [10, 10, 10]}, "color": 181},
        {"block": {"corner": [0, 0, 40], "size": [10, 10, 10]}, "color": 181},
        {"block": {"corner": [0, 0, 5], "size": [10, 10, 10]}, "color": 190},
        {"block": {"corner": [50, 0, 0], "size": [10, 10, 10]}}]})"));
    auto &store = diekit::model::Store::instance();
    double axes[6] = {1, 0, 0, 0, 1, 0}, at[3] = {100, 0, 0};
    UF_import_part_modes_t modes{};
    tag_t group = NULL_TAG;
    UF_initialize();
    ASSERT_EQ(UF_PART_import("D:\\DIELIB\\STANDARD\\Rectangular spring\\SPRING10X25.prt", &modes, axes, at, 1.0, &group), 0);
    UF_terminate();
    std::vector<std::string> names;
    const auto display = diekit::io::display_names();
    for (auto *body : store.bodies()) names.push_back(display.at(body->tag));
    EXPECT_EQ(names, (std::vector<std::string>{"insert 1", "insert 2", "insert 3", "retainer plate 1", "body 1",
                                               "SPRING10X25 spring 1", "SPRING10X25 spring_clearance 1"}));
    EXPECT_EQ(store.bodies()[5]->name, "spring") << "host names stay";
    // check's lines name the bodies so: the retainer plate stands in the lower insert.
    const std::string text = diekit::io::checks_text(diekit::io::check_interference(), "names");
    EXPECT_NE(text.find(" insert 1 / #"), std::string::npos) << text;
    EXPECT_NE(text.find(" retainer plate 1"), std::string::npos) << text;
    EXPECT_EQ(text.find("#" + std::to_string(store.bodies()[3]->tag) + "\n"), std::string::npos) << text;

    // The STEP products, the drawing's labels and the parts list name them so too.
    const fs::path dir = fs::temp_directory_path() / ("diekit_names_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    diekit::io::OutputPaths paths;
    paths.step = (dir / "n.step").string(), paths.svg = (dir / "n.svg").string(), paths.bom = (dir / "n.csv").string();
    diekit::io::write_outputs({"names", {}, 0}, paths);
    std::vector<std::string> products;
    for (auto &shape : diekit::kernel::read_step(paths.step)) products.push_back(shape.name);
    EXPECT_EQ(products, names);
    pugi::xml_document drawing;
    ASSERT_TRUE(drawing.load_file(paths.svg.c_str()));
    // (the spring stands hidden in its clearance body)
    for (const char *name : {"insert 2", "retainer plate 1", "body 1", "SPRING10X25 spring_clearance 1"})
        EXPECT_TRUE(drawing.select_node(("//text[@class='label'][text()='" + std::string(name) + "']").c_str())) << name;
    std::string listed;
    std::ifstream csv(paths.bom);
    for (auto &row : parse_csv({std::istreambuf_iterator<char>(csv), {}})) listed += row.back() + "|";
    for (const std::string &name : names) EXPECT_NE(listed.find(name), std::string::npos) << name << " in " << listed;
    fs::remove_all(dir);
}

// ---- the materials table ----

TEST(MaterialsTable, EditedTableChangesThePartsListAndAFaultyOneIsRefusedInOneLine) {
    const fs::path root = fs::temp_directory_path() / ("diekit_materials_" + std::to_string(::getpid()));
    fs::create_directories(root);
    std::ofstream(root / "materials.json") << R"json({"materials": {"A2": {"name": "1.2363 (A2)", "density": 7.86}},
        "roles": {"die plate": {"material": "A2", "heat_treatment": "60 HRC"}}, "stock": {"allowance": 0, "step": 0}})json";
    scenario::play(Json::parse(R"({"objects": [{"block": {"corner": [0, 0, 0], "size": [100, 50, 20]}, "color": 100}]})"));
    const auto rows = diekit::io::parts_list(diekit::io::load_materials(root.string()));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].material, "1.2363 (A2)");
    EXPECT_EQ(rows[0].heat_treatment, "60 HRC");
    EXPECT_NEAR(rows[0].mass, 100 * 50 * 20 * 7.86e-3, 1e-9);
    EXPECT_EQ(diekit::io::size_triple(rows[0].stock), "100 × 50 × 20");

    std::ofstream(root / "materials.json") << R"({"materials": {}, "roles": {"die plate": {"material": "D2"}}})";
    try {
        diekit::io::load_materials(root.string());
        ADD_FAILURE() << "an unknown material was taken";
    } catch (const diekit::SessionError &e) {
        EXPECT_NE(std::string(e.what()).find("role 'die plate' names the unknown material 'D2'"), std::string::npos) << e.what();
        EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos);
    }
    fs::remove_all(root);
}

}  // namespace
