// The block classes and their property lists.
#include "expr/formula.hpp"
#include "model/store.hpp"
#include "ui/block_data.hpp"

#include <NXOpen/BlockStyler_Blocks.hxx>
#include <NXOpen/BlockStyler_PropertyList.hxx>
#include <NXOpen/NXException.hxx>

namespace NXOpen::BlockStyler {

using diekit::ui::BlockClass;
using diekit::ui::BlockData;

namespace {

[[noreturn]] void no_property(const BlockData &block, const NXString &name, const char *kind) {
    throw NXException(1, "block '" + block.id + "' (" + diekit::ui::class_name(block.cls) + ") has no " + kind +
                             " property '" + name.str() + "'");
}

bool is_value(const NXString &name) { return name.str() == "Value"; }

bool is_selection(BlockClass cls) {
    return cls == BlockClass::BodyCollector || cls == BlockClass::CurveCollector ||
           cls == BlockClass::FaceCollector || cls == BlockClass::SelectObject;
}

std::vector<TaggedObject *> handles(const BlockData &block) {
    std::vector<TaggedObject *> objects;
    auto &store = diekit::model::Store::instance();
    for (tag_t tag : block.selected) objects.push_back(store.handle(tag));
    return objects;
}

}  // namespace

UIBlock::UIBlock(diekit::ui::BlockData *data) : TaggedObject(NULL_TAG), m_data(data) {}
UIBlock::~UIBlock() = default;
PropertyList *UIBlock::GetProperties() { return new PropertyList(m_data); }
void UIBlock::SetShow(bool show) { m_data->shown = show; }
bool UIBlock::Show() const { return m_data->shown; }
void UIBlock::SetEnable(bool enable) { m_data->enabled = enable; }
bool UIBlock::Enable() const { return m_data->enabled; }
NXString UIBlock::Label() const { return m_data->label; }
void UIBlock::SetLabel(const NXString &label) { m_data->label = label.str(); }
NXString UIBlock::Name() const { return m_data->id; }
NXString UIBlock::Type() const { return diekit::ui::class_name(m_data->cls); }

std::vector<TaggedObject *> BodyCollector::GetSelectedObjects() { return handles(*m_data); }
std::vector<TaggedObject *> CurveCollector::GetSelectedObjects() { return handles(*m_data); }
std::vector<TaggedObject *> FaceCollector::GetSelectedObjects() { return handles(*m_data); }
std::vector<TaggedObject *> SelectObject::GetSelectedObjects() { return handles(*m_data); }

Point3d SpecifyPoint::Point() const { return {m_data->point[0], m_data->point[1], m_data->point[2]}; }
void SpecifyPoint::SetPoint(const Point3d &p) { m_data->point = {p.X, p.Y, p.Z}; }
Vector3d SpecifyVector::Vector() const { return {m_data->point[0], m_data->point[1], m_data->point[2]}; }
void SpecifyVector::SetVector(const Vector3d &v) { m_data->point = {v.X, v.Y, v.Z}; }

double ExpressionBlock::Value() const { return m_data->value; }
void ExpressionBlock::SetValue(double value) {
    m_data->value = value;
    m_data->formula = diekit::expr::format(value);
}
NXString ExpressionBlock::Formula() const { return m_data->formula; }
void ExpressionBlock::SetFormula(const NXString &formula) {
    try {
        diekit::ui::set_formula(*m_data, formula.str());
    } catch (const std::exception &e) {
        throw NXException(1, "block '" + m_data->id + "': " + e.what());
    }
}

bool Toggle::Value() const { return m_data->toggle; }
void Toggle::SetValue(bool value) { m_data->toggle = value; }

std::vector<NXString> Enumeration::GetEnumMembers() const {
    return {m_data->members.begin(), m_data->members.end()};
}
NXString Enumeration::ValueAsString() const { return m_data->members.at(m_data->enum_index); }
void Enumeration::SetValueAsString(const NXString &member) {
    for (std::size_t i = 0; i < m_data->members.size(); ++i)
        if (m_data->members[i] == member.str()) {
            m_data->enum_index = static_cast<int>(i);
            return;
        }
    throw NXException(1, "block '" + m_data->id + "' has no member '" + member.str() + "'");
}

bool PropertyList::GetLogical(const NXString &name) const {
    if (name.str() == "Show") return m_data->shown;
    if (name.str() == "Enable") return m_data->enabled;
    if (is_value(name) && m_data->cls == BlockClass::Toggle) return m_data->toggle;
    no_property(*m_data, name, "logical");
}

void PropertyList::SetLogical(const NXString &name, bool value) {
    if (name.str() == "Show")
        m_data->shown = value;
    else if (name.str() == "Enable")
        m_data->enabled = value;
    else if (is_value(name) && m_data->cls == BlockClass::Toggle)
        m_data->toggle = value;
    else
        no_property(*m_data, name, "logical");
}

int PropertyList::GetEnum(const NXString &name) const {
    if (is_value(name) && m_data->cls == BlockClass::Enumeration) return m_data->enum_index;
    no_property(*m_data, name, "enum");
}

void PropertyList::SetEnum(const NXString &name, int value) {
    if (!is_value(name) || m_data->cls != BlockClass::Enumeration) no_property(*m_data, name, "enum");
    if (value < 0 || value >= static_cast<int>(m_data->members.size()))
        throw NXException(1, "block '" + m_data->id + "': member " + std::to_string(value) + " out of range");
    m_data->enum_index = value;
}

NXString PropertyList::GetEnumAsString(const NXString &name) const {
    return m_data->members.at(static_cast<std::size_t>(GetEnum(name)));
}

double PropertyList::GetDouble(const NXString &name) const {
    if (is_value(name) && m_data->cls == BlockClass::ExpressionBlock) return m_data->value;
    no_property(*m_data, name, "double");
}

void PropertyList::SetDouble(const NXString &name, double value) {
    if (!is_value(name) || m_data->cls != BlockClass::ExpressionBlock) no_property(*m_data, name, "double");
    m_data->value = value;
    m_data->formula = diekit::expr::format(value);
}

NXString PropertyList::GetString(const NXString &name) const {
    if (name.str() == "Label") return m_data->label;
    if (name.str() == "Formula" && m_data->cls == BlockClass::ExpressionBlock) return m_data->formula;
    no_property(*m_data, name, "string");
}

void PropertyList::SetString(const NXString &name, const NXString &value) {
    if (name.str() == "Label")
        m_data->label = value.str();
    else if (name.str() == "Formula" && m_data->cls == BlockClass::ExpressionBlock)
        diekit::ui::set_formula(*m_data, value.str());
    else
        no_property(*m_data, name, "string");
}

Point3d PropertyList::GetPoint(const NXString &name) const {
    if (!is_value(name) && name.str() != "Point") no_property(*m_data, name, "point");
    if (m_data->cls != BlockClass::SpecifyPoint) no_property(*m_data, name, "point");
    return {m_data->point[0], m_data->point[1], m_data->point[2]};
}

Vector3d PropertyList::GetVector(const NXString &name) const {
    if (!is_value(name) && name.str() != "Vector") no_property(*m_data, name, "vector");
    if (m_data->cls != BlockClass::SpecifyVector) no_property(*m_data, name, "vector");
    return {m_data->point[0], m_data->point[1], m_data->point[2]};
}

std::vector<TaggedObject *> PropertyList::GetTaggedObjectVector(const NXString &name) const {
    if ((is_value(name) || name.str() == "SelectedObjects") && is_selection(m_data->cls)) return handles(*m_data);
    no_property(*m_data, name, "object vector");
}

void PropertyList::SetSelectionFilter(const NXString &name, Selection::SelectionAction action,
                                      const std::vector<Selection::MaskTriple> &maskTriples) {
    if (name.str() != "SelectionFilter" || !is_selection(m_data->cls)) no_property(*m_data, name, "selection filter");
    switch (action) {
    case Selection::SelectionActionEnableAll:
        m_data->filtered = false;
        m_data->filter.clear();
        break;
    case Selection::SelectionActionClearAndEnableSpecific:
        m_data->filtered = true;
        m_data->filter = maskTriples;
        break;
    case Selection::SelectionActionEnableSpecific:
        if (m_data->filtered) m_data->filter.insert(m_data->filter.end(), maskTriples.begin(), maskTriples.end());
        break;
    default:
        throw NXException(1, "block '" + m_data->id + "': selection action " + std::to_string(action) +
                                 " is not supported");
    }
}

}  // namespace NXOpen::BlockStyler
