#include "io/dxf_profiles.hpp"

#include "io/roles.hpp"
#include "model/errors.hpp"
#include "model/store.hpp"

#include <dxflib/dl_dxf.h>

#include <algorithm>
#include <memory>
#include <set>

namespace diekit::io {

namespace {

// Parts cut from their own profile: their outline goes to the file.
bool is_profile_part(const std::string &role) {
    return role == "punch" || role == "insert" || role == "ejector block" || role == "punch-die";
}

std::string layer_of(std::string text) {
    for (char &c : text) c = std::isalnum(static_cast<unsigned char>(c)) ? char(std::toupper(static_cast<unsigned char>(c))) : '_';
    return text;
}

bool wire_cut(const TableHole &h) {
    return h.hole.through && (!h.hole.round || h.kind == "die hole" || h.kind == "punch hole");
}

kernel::Loop clockwise(kernel::Loop loop) {
    if (kernel::loop_area(loop) < 0) return loop;
    kernel::Loop turned;
    for (std::size_t k = loop.size(); k-- > 0;) turned.push_back({loop[(k + 1) % loop.size()].start, -loop[k].bulge});
    return turned;
}

kernel::Loop circle(double x, double y, double r) { return {{{x + r, y}, 1}, {{x - r, y}, 1}}; }

// DXF colour numbers for the layers, in order of first use.
int layer_colour(std::size_t index) {
    static const int colours[] = {7, 1, 3, 5, 6, 4, 2, 30, 140, 210};
    return colours[index % (sizeof colours / sizeof colours[0])];
}

}  // namespace

std::vector<BodyProfile> body_profiles(const std::vector<Plate> &plates) {
    std::vector<BodyProfile> profiles;
    const auto names = display_names();
    for (model::Body *body : model::Store::instance().bodies()) {
        if (kernel::is_empty(body->shape) || body->group != NULL_TAG) continue;
        const std::string role = role_of(*body);
        auto found = std::find_if(plates.begin(), plates.end(), [&](const Plate &p) { return p.body == body; });
        const bool profile_part = is_profile_part(role);
        if (!profile_part && found == plates.end()) continue;
        try {
            const Plate plate = found != plates.end() ? *found : plate_of(*body, names.at(body->tag));
            BodyProfile profile{body, plate.name, {}};
            const bool has_cut = std::any_of(plate.holes.begin(), plate.holes.end(), wire_cut);
            if (!profile_part && !has_cut) continue;
            // The outline: a punch at its cutting end (the bottom), other parts halfway up.
            const double T = plate.box.size[2];
            const double level = role == "punch" ? std::min(1.0, 0.1 * T) : T / 2;
            const kernel::PlaneSection section = kernel::section_at(body->shape, plate.box.frame, level);
            for (const kernel::Loop &outer : section.outer) profile.loops.push_back({layer_of(role == "other" ? "outline" : role), outer});
            for (const TableHole &h : plate.holes) {
                if (!h.hole.through) continue;
                if (!profile_part && !wire_cut(h)) continue;
                const kernel::Loop loop = h.hole.round ? circle(h.hole.x, h.hole.y, h.hole.diameter / 2) : h.hole.outline;
                profile.loops.push_back({layer_of(h.kind), clockwise(loop)});
            }
            profiles.push_back(std::move(profile));
        } catch (const kernel::KernelError &e) {
            throw SessionError("cannot take the profile of " + names.at(body->tag) + ": " + e.what());
        }
    }
    return profiles;
}

void write_dxf(const BodyProfile &profile, const std::string &path) {
    DL_Dxf dxf;
    std::unique_ptr<DL_WriterA> dw(dxf.out(path.c_str(), DL_Codes::AC1009));
    if (!dw || dw->openFailed()) throw SessionError("cannot write '" + path + "'");
    std::vector<std::string> layers = {"0"};
    for (const ProfileLoop &l : profile.loops)
        if (std::find(layers.begin(), layers.end(), l.layer) == layers.end()) layers.push_back(l.layer);

    dxf.writeHeader(*dw);
    dw->sectionEnd();
    dw->sectionTables();
    dxf.writeVPort(*dw);
    dw->tableLinetypes(1);
    dxf.writeLinetype(*dw, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
    dw->tableEnd();
    dw->tableLayers(static_cast<int>(layers.size()));
    for (std::size_t i = 0; i < layers.size(); ++i)
        dxf.writeLayer(*dw, DL_LayerData(layers[i], 0), DL_Attributes("", layer_colour(i), 0, 100, "CONTINUOUS"));
    dw->tableEnd();
    dw->sectionEnd();
    dw->sectionEntities();
    for (const ProfileLoop &l : profile.loops) {
        const DL_Attributes attributes(l.layer, 256, -1, -1, "BYLAYER");
        dxf.writePolyline(*dw, DL_PolylineData(static_cast<int>(l.loop.size()), 0, 0, 1), attributes);
        for (const kernel::LoopVertex &v : l.loop) dxf.writeVertex(*dw, DL_VertexData(v.start.x, v.start.y, 0, v.bulge));
        dxf.writePolylineEnd(*dw);
    }
    dw->sectionEnd();
    dw->dxfEOF();
    dw->close();
}

}  // namespace diekit::io
