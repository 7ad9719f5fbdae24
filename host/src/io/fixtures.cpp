#include "io/fixtures.hpp"

#include "io/json_input.hpp"
#include "model/model_range.hpp"
#include "model/store.hpp"

#include <set>

namespace diekit::io {

namespace {

using nlohmann::ordered_json;

double number(const ordered_json &object, const char *key) {
    if (!object.contains(key) || !object[key].is_number())
        throw SessionError(std::string("'") + key + "' expects a number");
    return object[key].get<double>();
}

kernel::Vec3 triple(const ordered_json &object, const char *key) {
    const ordered_json *value = object.contains(key) ? &object[key] : nullptr;
    if (!value || !value->is_array() || value->size() != 3 || !(*value)[0].is_number() ||
        !(*value)[1].is_number() || !(*value)[2].is_number())
        throw SessionError(std::string("'") + key + "' expects [x, y, z]");
    return {(*value)[0].get<double>(), (*value)[1].get<double>(), (*value)[2].get<double>()};
}

std::vector<kernel::Vec3> points(const ordered_json &object, const char *key, std::size_t dims) {
    if (!object.contains(key) || !object[key].is_array() || object[key].size() < 2)
        throw SessionError(std::string("'") + key + "' expects a list of points");
    std::vector<kernel::Vec3> result;
    for (auto &p : object[key]) {
        if (!p.is_array() || p.size() != dims)
            throw SessionError(std::string("'") + key + "' holds " + io::brief(p) + ", not a point of " +
                               std::to_string(dims) + " numbers");
        for (auto &c : p)
            if (!c.is_number()) throw SessionError(std::string("'") + key + "' holds " + io::brief(p));
        result.push_back({p[0].get<double>(), p[1].get<double>(), dims == 3 ? p[2].get<double>() : 0.0});
        model::check_point(result.back(), std::string("'") + key + "' point");
    }
    return result;
}

kernel::Vec3 position(const ordered_json &object, const char *key) {
    kernel::Vec3 p = triple(object, key);
    model::check_point(p, std::string("'") + key + "'");
    return p;
}

double length(const ordered_json &object, const char *key) {
    double value = number(object, key);
    model::check_length(value, std::string("'") + key + "'");
    return value;
}

kernel::Shape block(const ordered_json &params) {
    auto size = triple(params, "size");
    model::check_length(size.x, "'size' x");
    model::check_length(size.y, "'size' y");
    model::check_length(size.z, "'size' z");
    return kernel::make_box(kernel::Frame{}, position(params, "corner"), size.x, size.y, size.z);
}

kernel::Shape cylinder(const ordered_json &params) {
    kernel::Vec3 axis = params.contains("axis") ? triple(params, "axis") : kernel::Vec3{0, 0, 1};
    return kernel::make_cylinder(position(params, "base"), axis, length(params, "height"), length(params, "diameter"));
}

kernel::Shape prism(const ordered_json &params) {
    if (!params.contains("z") || !params["z"].is_array() || params["z"].size() != 2 || !params["z"][0].is_number() ||
        !params["z"][1].is_number())
        throw SessionError("'z' expects [z0, z1]");
    model::check_coordinate(params["z"][0].get<double>(), "'z' z0");
    model::check_coordinate(params["z"][1].get<double>(), "'z' z1");
    return kernel::make_prism(points(params, "outline", 2), params["z"][0].get<double>(), params["z"][1].get<double>());
}

// Curves: a polyline (one line per side, closed on request), a circle or an arc (three points).
std::vector<kernel::Shape> curves(const ordered_json &params) {
    std::vector<kernel::Shape> result;
    if (params.contains("polyline")) {
        auto pts = points(params, "polyline", 3);
        if (params.contains("closed") && !params["closed"].is_boolean())
            throw SessionError("'closed' expects true or false");
        bool closed = params.contains("closed") && params["closed"].get<bool>();
        for (std::size_t i = 0; i + 1 < pts.size(); ++i) result.push_back(kernel::make_line(pts[i], pts[i + 1]));
        if (closed) result.push_back(kernel::make_line(pts.back(), pts.front()));
    } else if (params.contains("circle")) {
        auto &circle = params["circle"];
        kernel::Vec3 normal = circle.contains("normal") ? triple(circle, "normal") : kernel::Vec3{0, 0, 1};
        result.push_back(kernel::make_circle(position(circle, "center"), normal, length(circle, "radius")));
    } else if (params.contains("arc")) {
        auto pts = points(params, "arc", 3);
        if (pts.size() != 3) throw SessionError("'arc' expects three points: start, middle, end");
        result.push_back(kernel::make_arc(pts[0], pts[1], pts[2]));
    } else {
        throw SessionError("a curve is a 'polyline', 'circle' or 'arc'");
    }
    return result;
}

}  // namespace

void create_fixture(const ordered_json &fixture) {
    static const std::set<std::string> kKeys = {"name", "color", "block", "cylinder", "prism", "curve"};
    if (!fixture.is_object()) throw SessionError("a fixture is an object, got " + io::brief(fixture));
    int shapes = 0;
    for (auto &[key, value] : fixture.items()) {
        if (!kKeys.count(key)) throw SessionError("unknown key '" + key + "'");
        shapes += key == "block" || key == "cylinder" || key == "prism" || key == "curve";
    }
    if (shapes != 1) throw SessionError("needs exactly one of 'block', 'cylinder', 'prism', 'curve'");
    if (fixture.contains("name") && !fixture["name"].is_string()) throw SessionError("'name' expects a text");
    std::string name = fixture.contains("name") ? fixture["name"].get<std::string>() : "";
    int color = 0;
    if (fixture.contains("color")) {
        auto index = whole_number(fixture["color"], 1, 216);
        if (!index) throw SessionError("'color' expects a colour index 1..216, got " + io::brief(fixture["color"]));
        color = static_cast<int>(*index);
    }
    auto &store = model::Store::instance();
    try {
        if (fixture.contains("curve")) {
            for (auto &shape : curves(fixture["curve"])) {
                auto &curve = store.add_curve(shape);
                curve.name = name;
                if (color) curve.color = color;
            }
            return;
        }
        kernel::Shape shape = fixture.contains("block")      ? block(fixture["block"])
                              : fixture.contains("cylinder") ? cylinder(fixture["cylinder"])
                                                             : prism(fixture["prism"]);
        auto &body = store.add_body(shape, true);
        body.name = name;
        if (color) body.color = color;
    } catch (const kernel::KernelError &e) {
        throw SessionError(e.what());
    } catch (const HostError &e) {
        throw SessionError(e.what());
    }
}

}  // namespace diekit::io
