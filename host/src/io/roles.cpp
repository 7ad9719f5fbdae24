#include "io/roles.hpp"

#include "model/store.hpp"

#include <filesystem>

namespace diekit::io {

std::string role_of_color(int color) {
    switch (color) {
    case 181: return "insert";
    case 190: return "retainer plate";
    case 165: return "punch";
    case 108: return "die shoe";
    // The die set's plates and parts.
    case 100: return "die plate";
    case 5: return "ejector block";
    case 206: return "pad";
    case 120: return "hollow backing plate";
    case 95: return "die-set retainer plate";
    case 98: return "backing plate";
    case 128: return "stripper plate";
    case 119: return "punch-die";
    case 105: return "die shank";
    case 160: return "knock-out rod";
    default: return "other";
    }
}

std::string library_file_of(const model::Body &body) {
    if (body.group == NULL_TAG) return {};
    model::Object *group = model::Store::instance().find(body.group);
    return group && group->kind == model::Kind::Group ? static_cast<model::Group *>(group)->file : std::string();
}

std::string role_of(const model::Body &body) {
    return library_file_of(body).empty() ? role_of_color(body.color) : "library part";
}

std::map<tag_t, std::string> display_names() {
    std::map<tag_t, std::string> names;
    std::map<std::string, int> counts;
    for (model::Body *body : model::Store::instance().bodies()) {
        if (!body->name.empty()) {
            names[body->tag] = body->name;
            continue;
        }
        std::string file = library_file_of(*body);
        std::string stem = file.empty() ? role_of_color(body->color) : std::filesystem::path(file).stem().string();
        if (stem == "other") stem = "body";
        names[body->tag] = stem + ' ' + std::to_string(++counts[stem]);
    }
    return names;
}

}  // namespace diekit::io
