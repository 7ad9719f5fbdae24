#include "io/standard_parts.hpp"

#include "kernel/oriented_box.hpp"
#include "model/store.hpp"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>

namespace diekit::io {

namespace {

// The group's values by the file's own expression names, and the member's length along its axis.
struct PartValues {
    const model::Group &group;
    const model::Body &body;
    double get(const std::string &name) const {
        model::Expression *e = model::Store::instance().expression(name + "'" + std::to_string(group.suffix));
        return e ? e->value : std::nan("");
    }
    double length() const {
        if (kernel::is_empty(body.shape)) return 0;
        const kernel::Box box = kernel::bounding_box(kernel::to_frame(body.shape, group.frame));
        return box[5] - box[2];
    }
    std::string operator()(const std::string &name) const { return size_text(get(name)); }
};

struct Rule {
    const char *folder;
    const char *member;  // the body's name in the file ("" for any)
    const char *role;
    std::function<std::string(const PartValues &)> designation;
};

const std::vector<Rule> &rules() {
    static const std::vector<Rule> table = {
        {"Rectangular spring", "spring", "die spring",
         [](const PartValues &v) { return "ISO 10243 die spring " + v("D") + " × " + size_text(v.length()); }},
        {"linear spring", "spring", "wire spring",
         [](const PartValues &v) {
             return "round-wire compression spring " + v("D") + " × " + size_text(v.length()) + ", wire " + v("W");
         }},
        {"Plug screw", "stripper_bolt", "stripper bolt",
         [](const PartValues &v) {
             return "ISO 7379 shoulder screw " + v("D") + " × " + size_text(v.get("L") - v.get("H")) + " M" + v("M");
         }},
        {"chong zi ya ban", "", "cap screw", [](const PartValues &v) { return "ISO 4762 M" + v("d") + " × " + v("L"); }},
        {"Outside the guide pin", "bushing", "guide bushing",
         [](const PartValues &v) {
             return "guide bushing " + v("D") + " × " + v("DB") + " × " + size_text(v.length()) + ", set " +
                    std::filesystem::path(v.group.file).stem().string();
         }},
        {"Outside the guide pin", "pillar", "guide pillar",
         [](const PartValues &v) {
             return "guide pillar " + v("D") + " × " + size_text(v.length()) + ", set " +
                    std::filesystem::path(v.group.file).stem().string();
         }},
    };
    return table;
}

}  // namespace

std::string size_text(double mm) {
    if (!std::isfinite(mm)) return "?";
    char text[32];
    const double whole = std::round(mm);
    if (std::abs(mm - whole) < 5e-3) std::snprintf(text, sizeof text, "%.0f", whole);
    else {
        std::snprintf(text, sizeof text, "%.2f", mm);
        std::string s(text);
        while (s.back() == '0') s.pop_back();
        return s;
    }
    return text;
}

std::optional<StandardPart> standard_part(const model::Body &body) {
    if (body.group == NULL_TAG) return std::nullopt;
    model::Object *object = model::Store::instance().find(body.group);
    if (!object || object->kind != model::Kind::Group) return std::nullopt;
    const auto &group = static_cast<const model::Group &>(*object);
    const std::string folder = std::filesystem::path(group.file).parent_path().generic_string();
    // The body's name in the file (its host name may have been changed since).
    std::string member;
    for (std::size_t i = 0; i < group.members.size() && i < group.recipes.size(); ++i)
        if (group.members[i] == body.tag) member = group.recipes[i].value("name", "");
    const PartValues values{group, body};
    for (const Rule &rule : rules())
        if (folder == rule.folder && (*rule.member == 0 || member == rule.member))
            return StandardPart{rule.role, rule.designation(values)};
    const std::string stem = std::filesystem::path(group.file).stem().string();
    return StandardPart{"library part", member.empty() ? stem : stem + " " + member};
}

}  // namespace diekit::io
