#include "io/roles.hpp"

#include "model/store.hpp"

#include <algorithm>
#include <filesystem>
#include <set>

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

namespace {

// The name a library member got from its part file ("spring"), when it still has it: the import gave
// it, not the designer, and four springs all called "spring" tell a reader nothing.
bool has_file_name(const model::Body &body) {
    if (body.group == NULL_TAG || body.name.empty()) return false;
    model::Object *object = model::Store::instance().find(body.group);
    if (!object || object->kind != model::Kind::Group) return false;
    const auto &group = static_cast<const model::Group &>(*object);
    for (std::size_t i = 0; i < group.members.size() && i < group.recipes.size(); ++i)
        if (group.members[i] == body.tag) return group.recipes[i].value("name", "") == body.name;
    return false;
}

// The stem a made-up name counts on: the role, or the library file ("SPRING20X25"), with the member's
// own name when more than one member of its group is still there ("20X100 pillar").
std::string stem_of(const model::Body &body) {
    const std::string file = library_file_of(body);
    if (file.empty()) {
        const std::string role = role_of_color(body.color);
        return role == "other" ? "body" : role;
    }
    std::string stem = std::filesystem::path(file).stem().string();
    const auto &group = static_cast<const model::Group &>(*model::Store::instance().find(body.group));
    const auto live = std::count_if(group.members.begin(), group.members.end(),
                                    [](tag_t t) { return model::Store::instance().find(t) != nullptr; });
    if (live > 1 && !body.name.empty()) stem += " " + body.name;
    return stem;
}

}  // namespace

std::map<tag_t, std::string> display_names() {
    const std::vector<model::Body *> bodies = model::Store::instance().bodies();
    std::map<tag_t, std::string> names;
    std::set<std::string> taken;  // the designer's names: a made-up name never repeats one of them
    for (model::Body *body : bodies)
        if (!body->name.empty() && !has_file_name(*body)) names[body->tag] = body->name, taken.insert(body->name);
    std::map<std::string, int> counts;
    for (model::Body *body : bodies) {
        if (names.count(body->tag)) continue;
        const std::string stem = stem_of(*body);
        std::string name;
        do {
            name = stem;  // built in steps: GCC 12 warns (-Wrestrict) on stem + ' ' + number
            name += ' ';
            name += std::to_string(++counts[stem]);
        } while (taken.count(name));
        names[body->tag] = name;
    }
    return names;
}

std::string display_name(tag_t tag) {
    auto names = display_names();
    auto found = names.find(tag);
    if (found != names.end()) return found->second;
    std::string text = "#";
    text += std::to_string(tag);
    return text;
}

}  // namespace diekit::io
