#include "studio/glb.hpp"

#include <algorithm>
#include <cstring>
#include <limits>

namespace diekit::studio {

using nlohmann::ordered_json;

namespace {

constexpr int kFloat = 5126, kUnsignedShort = 5123, kUnsignedInt = 5125;
constexpr int kArrayBuffer = 34962, kElementArrayBuffer = 34963;
constexpr int kLines = 1, kTriangles = 4;

ordered_json span_list(const std::vector<kernel::Span> &spans) {
    ordered_json list = ordered_json::array();
    for (auto &span : spans) list.push_back({span[0], span[1]});
    return list;
}

void append_u32(std::string &out, std::uint32_t value) {
    char bytes[4];
    std::memcpy(bytes, &value, 4);  // glTF is little-endian, as this host is
    out.append(bytes, 4);
}

void pad(std::string &text, char with) {
    while (text.size() % 4) text.push_back(with);
}

}  // namespace

GlbWriter::GlbWriter() {
    m_json["asset"] = {{"version", "2.0"}, {"generator", "diehost studio"}};
    m_json["scene"] = 0;
    m_json["scenes"] = ordered_json::array({{{"nodes", ordered_json::array()}}});
    for (const char *key : {"nodes", "meshes", "materials", "accessors", "bufferViews"})
        m_json[key] = ordered_json::array();
}

int GlbWriter::material(const kernel::Rgb &rgb, bool lines) {
    auto key = std::make_tuple(rgb.r, rgb.g, rgb.b, lines);
    if (auto it = m_materials.find(key); it != m_materials.end()) return it->second;
    ordered_json m;
    m["pbrMetallicRoughness"] = {{"baseColorFactor", {rgb.r, rgb.g, rgb.b, 1.0}},
                                 {"metallicFactor", 0.0},
                                 {"roughnessFactor", lines ? 1.0 : 0.7}};
    m["doubleSided"] = true;
    m_json["materials"].push_back(m);
    int index = static_cast<int>(m_json["materials"].size()) - 1;
    m_materials.emplace(key, index);
    return index;
}

int GlbWriter::accessor(const void *data, std::size_t bytes, int component, std::size_t count, const char *type,
                        int target, ordered_json extra) {
    pad(m_binary, '\0');
    m_json["bufferViews"].push_back(
        {{"buffer", 0}, {"byteOffset", m_binary.size()}, {"byteLength", bytes}, {"target", target}});
    m_binary.append(static_cast<const char *>(data), bytes);
    ordered_json a = {{"bufferView", m_json["bufferViews"].size() - 1},
                      {"componentType", component},
                      {"count", count},
                      {"type", type}};
    if (extra.is_object())
        for (auto &[key, value] : extra.items()) a[key] = value;
    m_json["accessors"].push_back(a);
    return static_cast<int>(m_json["accessors"].size()) - 1;
}

// Indices as 16-bit numbers when the vertices allow it: most bodies of a die need no more.
int GlbWriter::indices(const std::vector<std::uint32_t> &values, std::size_t vertices) {
    if (vertices <= std::numeric_limits<std::uint16_t>::max()) {
        std::vector<std::uint16_t> narrow(values.begin(), values.end());
        return accessor(narrow.data(), narrow.size() * 2, kUnsignedShort, narrow.size(), "SCALAR",
                        kElementArrayBuffer);
    }
    return accessor(values.data(), values.size() * 4, kUnsignedInt, values.size(), "SCALAR", kElementArrayBuffer);
}

int GlbWriter::positions(const std::vector<float> &values) {
    float low[3] = {std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                    std::numeric_limits<float>::max()};
    float high[3] = {-low[0], -low[1], -low[2]};
    for (std::size_t i = 0; i + 2 < values.size(); i += 3)
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min(low[axis], values[i + axis]);
            high[axis] = std::max(high[axis], values[i + axis]);
        }
    return accessor(values.data(), values.size() * 4, kFloat, values.size() / 3, "VEC3", kArrayBuffer,
                    {{"min", {low[0], low[1], low[2]}}, {"max", {high[0], high[1], high[2]}}});
}

void GlbWriter::add(const kernel::Tessellation &mesh, const kernel::Rgb &rgb, ordered_json extras) {
    ordered_json primitives = ordered_json::array();
    if (!mesh.triangles.empty()) {
        ordered_json attributes = {{"POSITION", positions(mesh.positions)},
                                   {"NORMAL", accessor(mesh.normals.data(), mesh.normals.size() * 4, kFloat,
                                                       mesh.normals.size() / 3, "VEC3", kArrayBuffer)}};
        primitives.push_back({{"attributes", attributes},
                              {"indices", indices(mesh.triangles, mesh.positions.size() / 3)},
                              {"material", material(rgb, false)},
                              {"mode", kTriangles}});
    }
    if (!mesh.segments.empty()) {
        // Curves are drawn in their own colour; a body's edges darker than its faces.
        const bool curve = mesh.triangles.empty();
        kernel::Rgb line = curve ? rgb : kernel::Rgb{rgb.r * 0.25, rgb.g * 0.25, rgb.b * 0.25};
        primitives.push_back({{"attributes", {{"POSITION", positions(mesh.line_positions)}}},
                              {"indices", indices(mesh.segments, mesh.line_positions.size() / 3)},
                              {"material", material(line, true)},
                              {"mode", kLines}});
    }
    if (primitives.empty()) return;  // nothing to draw (glTF allows no empty primitive)
    m_json["meshes"].push_back({{"primitives", primitives},
                                {"extras", {{"faces", span_list(mesh.faces)}, {"edges", span_list(mesh.edges)}}}});
    m_json["nodes"].push_back({{"mesh", m_json["meshes"].size() - 1}, {"extras", std::move(extras)}});
    m_json["scenes"][0]["nodes"].push_back(m_json["nodes"].size() - 1);
}

void GlbWriter::add_empty(ordered_json extras) {
    m_json["nodes"].push_back({{"extras", std::move(extras)}});
    m_json["scenes"][0]["nodes"].push_back(m_json["nodes"].size() - 1);
}

std::string GlbWriter::finish() {
    pad(m_binary, '\0');
    if (!m_binary.empty()) m_json["buffers"] = ordered_json::array({{{"byteLength", m_binary.size()}}});
    for (const char *key : {"nodes", "meshes", "materials", "accessors", "bufferViews"})
        if (m_json[key].empty()) m_json.erase(key);
    std::string json = m_json.dump(-1, ' ', false, ordered_json::error_handler_t::replace);
    pad(json, ' ');
    std::string out;
    const std::size_t total = 12 + 8 + json.size() + (m_binary.empty() ? 0 : 8 + m_binary.size());
    out.reserve(total);
    out.append("glTF", 4);
    append_u32(out, 2);
    append_u32(out, static_cast<std::uint32_t>(total));
    append_u32(out, static_cast<std::uint32_t>(json.size()));
    out.append("JSON", 4);
    out += json;
    if (!m_binary.empty()) {
        append_u32(out, static_cast<std::uint32_t>(m_binary.size()));
        out.append("BIN\0", 4);
        out += m_binary;
    }
    return out;
}

}  // namespace diekit::studio
