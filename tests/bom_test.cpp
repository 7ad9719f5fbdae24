// The bill of materials (--bom): one CSV row per body of the report, sizes and volumes as the report
// gives them, steel mass = volume × 7.85e-3 g/mm³, roles from the colours and from library groups.
#include "host_fixture.hpp"
#include "io/bom.hpp"
#include "csv.hpp"
#include "scenario.hpp"

#include <uf_part.h>

#include <map>
#include <sstream>

namespace {

using scenario::Json;

std::map<std::string, std::string> as_map(const std::vector<std::string> &header, const std::vector<std::string> &row) {
    std::map<std::string, std::string> m;
    for (std::size_t i = 0; i < header.size() && i < row.size(); ++i) m[header[i]] = row[i];
    return m;
}

TEST(BillOfMaterials, RowsMatchTheReportBodiesOneForOneWithSteelMasses) {
    Json report = scenario::play_file("examples/flatinsert.json");
    auto records = parse_csv(diekit::io::bom_csv(diekit::io::bill_of_materials()));
    ASSERT_FALSE(records.empty());
    const auto header = records.front();
    EXPECT_EQ(header, (std::vector<std::string>{"tag", "name", "color", "role", "library_file", "size_x_mm", "size_y_mm",
                                                "size_z_mm", "volume_mm3", "mass_g"}));
    auto &bodies = report["bodies"];
    ASSERT_EQ(records.size() - 1, bodies.size());
    std::map<std::string, int> roles;
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        auto row = as_map(header, records[i + 1]);
        auto &body = bodies[i];
        EXPECT_EQ(std::stoi(row["tag"]), body["tag"].get<int>());
        EXPECT_EQ(row["name"], body["name"].get<std::string>());
        EXPECT_EQ(std::stoi(row["color"]), body["color"].get<int>());
        for (int axis = 0; axis < 3; ++axis)
            EXPECT_NEAR(std::stod(row[std::string("size_") + char('x' + axis) + "_mm"]), scenario::extent(body, axis), 1e-6);
        const double volume = std::stod(row["volume_mm3"]);
        EXPECT_NEAR(volume, body["volume"].get<double>(), 1e-6);
        EXPECT_GT(volume, 0);
        EXPECT_NEAR(std::stod(row["mass_g"]), volume * 7.85e-3, 1e-6);
        EXPECT_TRUE(row["library_file"].empty());
        ++roles[row["role"]];
    }
    // Three inserts (181), the die plate (100), three punches in the default colour.
    EXPECT_EQ(roles, (std::map<std::string, int>{{"insert", 3}, {"die plate", 1}, {"other", 3}}));
}

TEST(BillOfMaterials, NamesWithSeparatorsAndQuotesSurviveTheCsv) {
    Json session = Json::parse(R"({"objects": [
        {"name": "plate, \"upper\"", "block": {"corner": [0, 0, 0], "size": [10, 20, 30]}, "color": 108}]})");
    scenario::play(session);
    auto records = parse_csv(diekit::io::bom_csv(diekit::io::bill_of_materials()));
    ASSERT_EQ(records.size(), 2u);
    auto row = as_map(records[0], records[1]);
    EXPECT_EQ(row["name"], "plate, \"upper\"");
    EXPECT_EQ(row["role"], "die shoe");
    EXPECT_EQ(row["volume_mm3"], "6000.000000");
    EXPECT_EQ(row["mass_g"], "47.100000");
}

class LibraryBillOfMaterials : public HostTest {};

TEST_F(LibraryBillOfMaterials, ImportedPartsAreLibraryPartsWithTheirFile) {
    store().set_library_root(std::string(DIEKIT_SOURCE_DIR) + "/library");
    double axes[6] = {1, 0, 0, 0, 1, 0}, at[3] = {0, 0, 0};
    UF_import_part_modes_t modes{};
    tag_t group = NULL_TAG;
    ASSERT_EQ(UF_PART_import("D:\\DIELIB\\STANDARD\\Rectangular spring\\SPRING10X25.prt", &modes, axes, at, 1.0, &group), 0);
    ASSERT_NE(group, NULL_TAG);
    const auto members = store().group(group).members;
    ASSERT_FALSE(members.empty());
    auto rows = diekit::io::bill_of_materials();
    ASSERT_EQ(rows.size(), members.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].tag, members[i]);
        EXPECT_EQ(rows[i].role, "library part");
        EXPECT_EQ(rows[i].library_file, "Rectangular spring/SPRING10X25.prt");
        EXPECT_GT(rows[i].volume, 0);
    }
}

}  // namespace
