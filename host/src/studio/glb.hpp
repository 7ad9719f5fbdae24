// Binary glTF 2.0 (GLB) of tessellated shapes: one node per shape, its triangles as primitive 0 and
// its edges as lines (primitive 1, or 0 for a curve), with the face and edge spans in mesh.extras so
// that a triangle or segment the page hits names its face or edge index.
#pragma once

#include "kernel/kernel.hpp"
#include "kernel/mesh.hpp"

#include <nlohmann/json.hpp>

#include <map>
#include <string>
#include <tuple>

namespace diekit::studio {

class GlbWriter {
public:
    GlbWriter();
    // Adds a node for the tessellation: its faces shaded in rgb, its edges as dark lines;
    // node.extras = extras, mesh.extras = {"faces": [[first, count]...], "edges": [...]}.
    void add(const kernel::Tessellation &mesh, const kernel::Rgb &rgb, nlohmann::ordered_json extras);
    // Adds a node without a mesh (a shape the kernel could not mesh), so that it is still listed.
    void add_empty(nlohmann::ordered_json extras);
    // The finished file.
    std::string finish();

private:
    int material(const kernel::Rgb &rgb, bool lines);
    int accessor(const void *data, std::size_t bytes, int component, std::size_t count, const char *type,
                 int target, nlohmann::ordered_json extra = nullptr);
    int indices(const std::vector<std::uint32_t> &values, std::size_t vertices);
    int positions(const std::vector<float> &values);

    nlohmann::ordered_json m_json;
    std::string m_binary;
    std::map<std::tuple<double, double, double, bool>, int> m_materials;
};

}  // namespace diekit::studio
