// What the host sends back as files: the meshes of the work part and of the shared volumes, and the
// downloads (STEP, drawing, bill of materials, report, the recorded session).
#include "io/outputs.hpp"
#include "io/palette.hpp"
#include "io/roles.hpp"
#include "studio/glb.hpp"
#include "studio/studio_dialog.hpp"

#include <unistd.h>

#include <fstream>
#include <sstream>

namespace diekit::studio {

namespace fs = std::filesystem;
using nlohmann::ordered_json;

namespace {

model::Store &store() { return model::Store::instance(); }

Reply glb_reply(std::string bytes) {
    Reply reply;
    reply.type = "model/gltf-binary";
    reply.body = std::move(bytes);
    return reply;
}

ordered_json rgb_list(const kernel::Rgb &rgb) {
    auto byte = [](double v) { return static_cast<int>(v * 255.0 + 0.5); };
    return {byte(rgb.r), byte(rgb.g), byte(rgb.b)};
}

}  // namespace

void StudioHost::add_node(GlbWriter &glb, const kernel::Shape &shape, const kernel::Rgb &rgb, ordered_json extras) {
    try {
        glb.add(m_shapes.mesh(shape), rgb, std::move(extras));
    } catch (const kernel::KernelError &e) {
        // One shape the kernel cannot mesh leaves the rest of the view intact; the node says why.
        extras["error"] = e.what();
        glb.add_empty(std::move(extras));
    }
}

Reply StudioHost::mesh() {
    if (m_mesh && m_mesh->first == m_revision) return glb_reply(m_mesh->second);
    auto names = io::display_names();
    GlbWriter glb;
    for (model::Object *object : store().objects()) {
        if (object->kind == model::Kind::Body) {
            auto &body = static_cast<model::Body &>(*object);
            kernel::Rgb rgb = io::palette_rgb(body.color);
            add_node(glb, body.shape, rgb,
                     {{"tag", body.tag}, {"kind", "body"}, {"name", body.name}, {"display", names[body.tag]},
                      {"color", body.color}, {"rgb", rgb_list(rgb)}, {"blanked", body.blanked}});
        } else if (object->kind == model::Kind::Curve) {
            auto &curve = static_cast<model::Curve &>(*object);
            kernel::Rgb rgb = io::palette_rgb(curve.color);
            add_node(glb, curve.shape, rgb,
                     {{"tag", curve.tag}, {"kind", "curve"}, {"name", curve.name},
                      {"display", curve.name.empty() ? "curve " + std::to_string(curve.tag) : curve.name},
                      {"color", curve.color}, {"rgb", rgb_list(rgb)}, {"blanked", false}});
        }
    }
    m_shapes.sweep();
    m_mesh.emplace(m_revision, glb.finish());
    return glb_reply(m_mesh->second);
}

const io::InterferenceReport &StudioHost::checks() {
    if (!m_checks || m_checks->first != m_revision) m_checks.emplace(m_revision, io::check_interference());
    return m_checks->second;
}

Reply StudioHost::checks_mesh() {
    if (m_checks_mesh && m_checks_mesh->first == m_revision) return glb_reply(m_checks_mesh->second);
    GlbWriter glb;
    const kernel::Rgb red{0.9, 0.1, 0.1};
    for (const io::Overlap &overlap : checks().overlaps) {
        kernel::Shape shared = kernel::common(store().body(overlap.a).shape, store().body(overlap.b).shape);
        if (!kernel::has_solid(shared)) continue;
        glb.add(kernel::tessellate(shared), red,
                {{"kind", "overlap"}, {"a", overlap.a}, {"b", overlap.b}, {"volume", overlap.volume}});
    }
    m_checks_mesh.emplace(m_revision, glb.finish());
    return glb_reply(m_checks_mesh->second);
}

Reply StudioHost::download(const std::string &what) {
    Reply reply;
    if (what == "session") {
        reply.body = m_record.session_text();
        reply.filename = m_name + "-studio.json";
        return reply;
    }
    struct Kind {
        const char *name, *extension, *type;
        std::string io::OutputPaths::*path;
    };
    static const Kind kinds[] = {
        {"step", ".step", "model/step", &io::OutputPaths::step},
        {"svg", ".svg", "image/svg+xml", &io::OutputPaths::svg},
        {"bom", ".csv", "text/csv", &io::OutputPaths::bom},
        {"report", ".json", "application/json", &io::OutputPaths::report},
    };
    const Kind *kind = nullptr;
    for (auto &k : kinds)
        if (what == k.name) kind = &k;
    if (!kind) throw ApiError(404, "no download '" + what + "' (step, svg, bom, report, session)");

    std::error_code error;
    fs::create_directories(m_options.work_dir, error);
    fs::path path = fs::path(m_options.work_dir) / (".download-" + std::to_string(::getpid()) + kind->extension);
    io::OutputPaths paths;
    paths.*(kind->path) = path.string();
    io::SessionResult result{m_name, m_steps, 0};
    if (m_dialog && store().dialog_run()) result.steps.push_back(*store().dialog_run());
    try {
        io::write_outputs(result, paths);
    } catch (const std::exception &e) {
        throw ApiError(500, e.what());
    }
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    fs::remove(path, error);
    reply.body = bytes.str();
    reply.type = kind->type;
    reply.filename = m_name + kind->extension;
    return reply;
}

}  // namespace diekit::studio
