// Dialog definition files (.dlx): <dialog name title><block id class label value>...</dialog>.
#include "expr/formula.hpp"
#include "model/errors.hpp"
#include "ui/block_data.hpp"

#include <pugixml.hpp>

#include "io/json_input.hpp"

#include <cstdlib>
#include <filesystem>
#include <fstream>
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

// An enumeration's default: a member index written in digits, or a member's text.
int default_member(const std::vector<std::string> &members, const std::string &text, const std::string &where) {
    if (!text.empty() && text.size() <= 9 && text.find_first_not_of("0123456789") == std::string::npos) {
        const int index = std::stoi(text);
        if (index < static_cast<int>(members.size())) return index;
        throw SessionError(where + ": default member " + text + " outside 0.." + std::to_string(members.size() - 1));
    }
    for (std::size_t i = 0; i < members.size(); ++i)
        if (members[i] == text) return static_cast<int>(i);
    throw SessionError(where + ": default '" + text + "' is neither a member index nor a member's text");
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
        block.enum_index = value ? default_member(block.members, value.as_string(), where) : 0;
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

namespace {

// Dialog files are a few kilobytes; a larger one is not a dialog file.
constexpr std::uintmax_t kMaxDialogFileBytes = 4ull << 20;

std::string read_text(const std::string &path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        if (std::filesystem::exists(path, error)) throw SessionError("dialog file '" + path + "' is not a file");
        throw SessionError("dialog file '" + path + "' does not exist");
    }
    if (std::filesystem::file_size(path, error) > kMaxDialogFileBytes)
        throw SessionError("dialog file '" + path + "' is larger than 4 MiB");
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in) throw SessionError("cannot read dialog file '" + path + "'");
    return text.str();
}

}  // namespace

std::unique_ptr<DialogData> read_dialog_file(const std::string &path) {
    const std::string text = read_text(path);
    if (auto bad = io::first_bad_utf8(text); bad != std::string::npos)
        throw SessionError("dialog file '" + path + "': byte " + std::to_string(bad + 1) + " is not UTF-8 text");
    pugi::xml_document doc;
    pugi::xml_parse_result parsed = doc.load_buffer(text.data(), text.size());
    if (!parsed)
        throw SessionError("dialog file '" + path + "': " + parsed.description() + " at byte " +
                           std::to_string(parsed.offset + 1));
    int elements = 0;
    for (auto node : doc.children()) elements += node.type() == pugi::node_element;
    pugi::xml_node root = doc.child("dialog");
    if (!root || elements != 1)
        throw SessionError("dialog file '" + path + "': expects one <dialog> element as its root");
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
