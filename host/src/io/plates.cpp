#include "io/plates.hpp"

#include "io/roles.hpp"
#include "io/standard_parts.hpp"
#include "model/errors.hpp"
#include "model/store.hpp"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace diekit::io {

namespace {

const std::set<std::string> &plate_roles() {
    static const std::set<std::string> roles = {"die plate",     "ejector block",  "pad",       "hollow backing plate",
                                                "die-set retainer plate", "retainer plate", "backing plate",
                                                "stripper plate", "punch-die",     "die shoe",  "insert"};
    return roles;
}

// What a body sitting in a hole is: its standard part's role, else its own.
struct Occupant {
    const model::Body *body;
    kernel::Box box;
    std::string role;
    double thread = 0;  // screws: the thread's nominal diameter
};

std::vector<Occupant> occupants(const model::Body &plate) {
    std::vector<Occupant> found;
    for (model::Body *body : model::Store::instance().bodies()) {
        if (body == &plate || kernel::is_empty(body->shape)) continue;
        Occupant o{body, kernel::bounding_box(body->shape), role_of(*body)};
        if (auto part = standard_part(*body)) {
            o.role = part->role;
            model::Object *group = model::Store::instance().find(body->group);
            const auto value = [&](const char *name) {
                auto *e = model::Store::instance().expression(name + std::string("'") +
                                                               std::to_string(static_cast<model::Group *>(group)->suffix));
                return e ? e->value : 0.0;
            };
            if (o.role == "cap screw") o.thread = value("d");
            if (o.role == "stripper bolt") o.thread = value("M");
        }
        found.push_back(std::move(o));
    }
    return found;
}

bool in_box(const kernel::Box &b, const kernel::Vec3 &p) {
    return p.x >= b[0] && p.x <= b[3] && p.y >= b[1] && p.y <= b[4] && p.z >= b[2] && p.z <= b[5];
}

const Occupant *occupant_at(const std::vector<Occupant> &candidates, const std::vector<kernel::Vec3> &probes) {
    for (const kernel::Vec3 &p : probes)
        for (const Occupant &o : candidates)
            if (in_box(o.box, p) && kernel::classify(o.body->shape, p) == kernel::Where::Inside) return &o;
    return nullptr;
}

// Points inside the hole (not in the plate's material) at three depths.
std::vector<kernel::Vec3> probes(const kernel::Frame &frame, const kernel::Hole &hole) {
    std::vector<kernel::Vec3> points;
    for (double t : {0.5, 0.25, 0.75}) {
        const double z = hole.z_open + (hole.z_end - hole.z_open) * t;
        if (hole.round) {
            // Near the wall first: a rod standing in the bore of the part that fills the hole (the
            // knock-out rod in the shank) must not name the hole.
            for (double r : {0.45, 0.3})
                for (int q = 0; q < 4; ++q) {
                    const double a = q * 1.5707963267948966 + 0.3;
                    points.push_back(to_world(frame, hole.x + r * hole.diameter * std::cos(a),
                                              hole.y + r * hole.diameter * std::sin(a), z));
                }
            points.push_back(to_world(frame, hole.x, hole.y, z));
        } else {
            // Just inside each side of the outline (counter-clockwise: inside is on the left).
            const double inset = std::min(0.5, 0.05 * std::min(hole.width, hole.length));
            const auto &loop = hole.outline;
            for (std::size_t i = 0; i < loop.size() && i < 6; ++i) {
                const auto &a = loop[i].start, &b = loop[(i + 1) % loop.size()].start;
                const double dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
                if (length < 1e-9) continue;
                // An arc's middle lies off the chord by the sagitta, bulge × half the chord.
                const double sag = loop[i].bulge * length / 2;
                const double mx = (a.x + b.x) / 2 + dy / length * sag, my = (a.y + b.y) / 2 - dx / length * sag;
                points.push_back(to_world(frame, mx - dy / length * inset, my + dx / length * inset, z));
            }
        }
    }
    return points;
}

std::string kind_of(const kernel::Hole &hole, const Occupant *o, const std::string &plate_role) {
    const bool cutting = plate_role == "die plate" || plate_role == "punch-die" || plate_role == "insert";
    const std::string noun = hole.round ? "hole" : hole.through ? "opening" : "pocket";
    if (!o) {
        if (cutting) return "die hole";
        if (plate_role == "backing plate" || plate_role == "die shoe") return hole.round ? "clearance hole" : "slug hole";
        return hole.round ? "hole" : noun;
    }
    const std::string &r = o->role;
    auto thread = [&](const std::string &clearance) {
        return hole.round && hole.diameter <= o->thread + 1e-6 ? "tapped hole M" + size_text(o->thread) : clearance;
    };
    if (r == "die spring" || r == "wire spring") return "spring clearance";
    if (r == "cap screw") return thread("screw clearance");
    if (r == "stripper bolt") return thread("stripper bolt clearance");
    if (r == "guide bushing") return "guide bushing hole";
    if (r == "guide pillar") return "pillar hole";
    if (r == "die shank") return "shank bore";
    if (r == "knock-out rod") return "knock-out rod hole";
    if (r == "insert") return "insert pocket";
    if (r == "punch") return cutting ? "die hole" : "punch hole";
    if (r == "ejector block") return "die opening";
    if (r == "punch-die") return "punch-die " + noun;
    if (r == "other" || r == "library part") return noun;
    return r + " " + noun;
}

std::string letters(std::size_t n) {
    std::string s;
    for (++n; n > 0; n = (n - 1) / 26) s.insert(s.begin(), char('A' + (n - 1) % 26));
    return s;
}

}  // namespace

kernel::Vec3 to_world(const kernel::Frame &f, double x, double y, double z) {
    return {f.origin.x + x * f.x.x + y * f.y.x + z * f.z.x, f.origin.y + x * f.x.y + y * f.y.y + z * f.z.y,
            f.origin.z + x * f.x.z + y * f.y.z + z * f.z.z};
}

bool is_plate_like(const model::Body &body) {
    if (kernel::is_empty(body.shape) || body.group != NULL_TAG) return false;
    const std::string role = role_of(body);
    if (plate_roles().count(role)) return true;
    if (role != "other") return false;
    const kernel::OrientedBox box = kernel::oriented_box(body.shape);
    return box.size[2] <= 0.5 * std::min(box.size[0], box.size[1]);
}

Plate plate_of(const model::Body &body, const std::string &name) {
    Plate plate;
    plate.body = &body;
    plate.name = name;
    plate.role = role_of(body);
    try {
        plate.box = kernel::oriented_box(body.shape);
        const std::vector<kernel::Hole> holes = kernel::find_holes(body.shape, plate.box.frame, plate.box.size[2]);
        const std::vector<Occupant> candidates = occupants(body);
        // Labels: one letter per kind and size, in the order the holes come (largest first).
        std::map<std::string, std::pair<std::string, int>> groups;
        for (const kernel::Hole &hole : holes) {
            TableHole entry{hole, "", kind_of(hole, occupant_at(candidates, probes(plate.box.frame, hole)), plate.role)};
            const std::string size = hole.round ? size_text(hole.diameter) + "/" + size_text(hole.counterbore_diameter)
                                                : size_text(hole.width) + "x" + size_text(hole.length);
            auto [it, fresh] = groups.emplace(entry.kind + "|" + size, std::pair(letters(groups.size()), 0));
            entry.label = it->second.first + std::to_string(++it->second.second);
            plate.holes.push_back(std::move(entry));
        }
        std::stable_sort(plate.holes.begin(), plate.holes.end(), [](const TableHole &a, const TableHole &b) {
            const auto split = [](const std::string &l) {
                std::size_t i = 0;
                while (i < l.size() && std::isalpha(static_cast<unsigned char>(l[i]))) ++i;
                return std::pair(std::pair(l.size() - (l.size() - i), l.substr(0, i)), std::stoi(l.substr(i)));
            };
            return split(a.label) < split(b.label);
        });
    } catch (const kernel::KernelError &e) {
        throw SessionError("cannot find the holes of " + name + ": " + e.what());
    }
    return plate;
}

std::vector<Plate> plates() {
    const auto names = display_names();
    std::vector<Plate> found;
    for (model::Body *body : model::Store::instance().bodies()) {
        bool plate_like = false;
        try {
            plate_like = is_plate_like(*body);
        } catch (const kernel::KernelError &e) {
            throw SessionError("cannot measure " + names.at(body->tag) + ": " + e.what());
        }
        if (plate_like) found.push_back(plate_of(*body, names.at(body->tag)));
    }
    return found;
}

}  // namespace diekit::io
