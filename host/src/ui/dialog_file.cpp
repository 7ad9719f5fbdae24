// Dialog definition files (.dlx): <dialog name title><block id class label value>...</dialog>.
#include "expr/formula.hpp"
#include "model/errors.hpp"
#include "ui/block_data.hpp"

#include <pugixml.hpp>

#include <cstdlib>
#include <set>
#include <sstream>

namespace diekit::ui {

namespace {

constexpr std::pair<BlockClass, const char *> kClassNames[] = {
    {BlockClass::Group, "Group"},
    {BlockClass::Label, "Label"},
    {BlockClass::BodyCollector, "BodyCollector"},
    {BlockClass::CurveCollector, "CurveCollector"},
    {BlockClass::FaceCollector, "FaceCollector"},
    {BlockClass::SelectObject, "SelectObject"},
    {BlockClass::SpecifyPoint, "SpecifyPoint"},
    {BlockClass::SpecifyVector, "SpecifyVector"},
    {BlockClass::ExpressionBlock, "ExpressionBlock"},
    {BlockClass::Toggle, "Toggle"},
    {BlockClass::Enumeration, "Enumeration"},
    {BlockClass::Composite, "CompositeBlock"},
};

std::array<double, 3> parse_triple(const std::string &text, const std::string &where) {
    std::istringstream in(text);
    std::array<double, 3> v{};
    if (!(in >> v[0] >> v[1] >> v[2])) throw SessionError(where + ": '" + text + "' is not three numbers");
    return v;
}

void read_value(BlockData &block, const pugi::xml_node &node, const std::string &where) {
    for (auto member : node.children("member")) block.members.push_back(member.text().as_string());
    pugi::xml_attribute value = node.attribute("value");
    switch (block.cls) {
    case BlockClass::ExpressionBlock:
        try {
            set_formula(block, value ? value.as_string() : "0");
        } catch (const HostError &e) {
            throw SessionError(where + ": " + e.what());
        }
        break;
    case BlockClass::Toggle: {
        std::string text = value ? value.as_string() : "false";
        if (text != "true" && text != "false") throw SessionError(where + ": toggle value '" + text + "'");
        block.toggle = text == "true";
        break;
    }
    case BlockClass::Enumeration: {
        if (block.members.empty()) throw SessionError(where + ": enumeration without members");
        block.enum_index = value ? value.as_int(-1) : 0;
        if (block.enum_index < 0 || block.enum_index >= static_cast<int>(block.members.size()))
            throw SessionError(where + ": default member " + std::string(value.as_string()) + " out of range");
        break;
    }
    case BlockClass::SpecifyPoint:
    case BlockClass::SpecifyVector:
        if (value) block.point = parse_triple(value.as_string(), where);
        break;
    default: break;
    }
}

}  // namespace

const char *class_name(BlockClass cls) {
    for (auto &[c, name] : kClassNames)
        if (c == cls) return name;
    return "UIBlock";
}

bool parse_class(const std::string &name, BlockClass &cls) {
    for (auto &[c, text] : kClassNames)
        if (name == text) {
            cls = c;
            return true;
        }
    return false;
}

void set_formula(BlockData &block, const std::string &formula) {
    block.value = expr::evaluate(formula);
    block.formula = formula;
}

std::unique_ptr<DialogData> read_dialog_file(const std::string &path) {
    pugi::xml_document doc;
    pugi::xml_parse_result parsed = doc.load_file(path.c_str());
    if (!parsed) throw SessionError("dialog file '" + path + "': " + parsed.description());
    pugi::xml_node root = doc.child("dialog");
    if (!root) throw SessionError("dialog file '" + path + "': no <dialog> element");
    auto dialog = std::make_unique<DialogData>();
    dialog->path = path;
    dialog->name = root.attribute("name").as_string();
    dialog->title = root.attribute("title").as_string();
    std::set<std::string> ids;
    for (auto node : root.children("block")) {
        auto block = std::make_unique<BlockData>();
        block->id = node.attribute("id").as_string();
        std::string where = "dialog file '" + path + "', block '" + block->id + "'";
        if (block->id.empty()) throw SessionError("dialog file '" + path + "': a block without an id");
        if (!ids.insert(block->id).second) throw SessionError(where + ": defined twice");
        if (!parse_class(node.attribute("class").as_string(), block->cls) || block->cls == BlockClass::Composite)
            throw SessionError(where + ": unknown class '" + node.attribute("class").as_string() + "'");
        block->label = node.attribute("label").as_string();
        read_value(*block, node, where);
        dialog->data.push_back(std::move(block));
    }
    return dialog;
}

}  // namespace diekit::ui
