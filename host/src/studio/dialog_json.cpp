#include "studio/dialog_json.hpp"

#include "model/store.hpp"
#include "ui/driver.hpp"

#include <uf_object_types.h>
#include <uf_ui_types.h>

#include <algorithm>

namespace diekit::studio {

using nlohmann::ordered_json;
using ui::BlockClass;

namespace {

bool is_selection(BlockClass cls) {
    return cls == BlockClass::BodyCollector || cls == BlockClass::FaceCollector ||
           cls == BlockClass::CurveCollector || cls == BlockClass::SelectObject;
}

// The kind of object one mask admits, or "" (sheet bodies, types this host has no objects of).
std::string kind_of_mask(const NXOpen::Selection::MaskTriple &mask) {
    if (mask.Type == UF_line_type || mask.Type == UF_circle_type || mask.Type == UF_spline_type) return "curve";
    if (mask.Type != UF_solid_type) return "";
    if (mask.SolidBodySubtype == UF_UI_SEL_FEATURE_SOLID_BODY) return "body";
    if (mask.SolidBodySubtype == UF_UI_SEL_FEATURE_SHEET_BODY) return "";
    switch (mask.Subtype) {
    case UF_solid_body_subtype: return "body";
    case UF_solid_face_subtype: return "face";
    case UF_solid_edge_subtype: return "edge";
    default: return "";
    }
}

// The selected objects as the page can show them: faces and edges by their body and index.
ordered_json picks(const ui::BlockData &block) {
    auto &store = model::Store::instance();
    ordered_json list = ordered_json::array();
    for (tag_t tag : block.selected) {
        ordered_json pick = {{"tag", tag}};
        model::Object *object = store.find(tag);
        if (!object) {
            pick["kind"] = "stale";
        } else if (object->kind == model::Kind::Face || object->kind == model::Kind::Edge) {
            const char *kind = object->kind == model::Kind::Face ? "face" : "edge";
            pick["kind"] = kind;
            pick["body"] = static_cast<model::SubShape &>(*object).body;
            pick[kind] = store.sub_index(tag);
        } else {
            pick["kind"] = model::kind_name(object->kind);
        }
        list.push_back(pick);
    }
    return list;
}

}  // namespace

std::vector<std::string> accepted_kinds(const ui::BlockData &block) {
    switch (block.cls) {
    case BlockClass::BodyCollector: return {"body"};
    case BlockClass::FaceCollector: return {"face"};
    case BlockClass::CurveCollector: return {"curve", "edge"};
    case BlockClass::SpecifyPoint: return {"point"};
    case BlockClass::SpecifyVector: return {"axis", "face", "edge", "curve"};
    case BlockClass::SelectObject: {
        if (!block.filtered) return {"body", "face", "edge", "curve"};
        std::vector<std::string> kinds;
        for (const char *kind : {"body", "face", "edge", "curve"})
            for (auto &mask : block.filter)
                if (kind_of_mask(mask) == kind) {
                    kinds.push_back(kind);
                    break;
                }
        return kinds;
    }
    default: return {};
    }
}

std::string unit_of(const ui::BlockData &block) {
    if (block.cls != BlockClass::ExpressionBlock) return {};
    const std::string &label = block.label;
    auto open = label.rfind('(');
    if (open == std::string::npos) return {};
    std::string inside = label.substr(open + 1);
    inside = inside.substr(0, inside.find_first_of(",)"));
    if (inside == "mm") return "mm";
    if (inside == "degrees" || inside == "deg") return "deg";
    return {};
}

ordered_json dialog_json(const std::string &plugin, const ui::DialogData &dialog, const model::DialogRun &run) {
    ordered_json blocks = ordered_json::array();
    std::string group;
    for (auto &data : dialog.data) {
        const ui::BlockData &block = *data;
        ordered_json state = ui::block_state(block);
        ordered_json entry = {{"id", block.id}, {"class", state["class"]}, {"label", block.label},
                              {"shown", block.shown}, {"enabled", block.enabled}};
        if (state.contains("value")) entry["value"] = state["value"];
        if (block.cls == BlockClass::ExpressionBlock) {
            entry["formula"] = block.formula;
            if (auto unit = unit_of(block); !unit.empty()) entry["unit"] = unit;
        }
        if (block.cls == BlockClass::Enumeration) entry["members"] = block.members;
        if (auto kinds = accepted_kinds(block); !kinds.empty()) entry["accepts"] = kinds;
        if (is_selection(block.cls)) entry["picks"] = picks(block);
        // A group holds the blocks that follow it in the file, up to the next group.
        if (block.cls == BlockClass::Group) group = block.id;
        else if (!group.empty()) entry["parent"] = group;
        blocks.push_back(entry);
    }
    return {{"plugin", plugin}, {"title", dialog.title}, {"blocks", blocks}, {"warnings", run.warnings}};
}

}  // namespace diekit::studio
