#include "fake_host.hpp"

#include <NXOpen/BlockStyler_Blocks.hxx>
#include <NXOpen/BlockStyler_PropertyList.hxx>
#include <NXOpen/NXException.hxx>
#include <NXOpen/NXMessageBox.hxx>
#include <NXOpen/Session.hxx>
#include <NXOpen/UI.hxx>
#include <uf.h>
#include <uf_assem.h>
#include <uf_modl.h>
#include <uf_obj.h>
#include <uf_ui.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <pugixml.hpp>

using namespace NXOpen;
using namespace NXOpen::BlockStyler;

namespace diekit::ui {
struct DialogData;
struct BlockData {
    std::string id;
    fake::BlockState st;
    DialogData *owner = nullptr;
    std::unique_ptr<UIBlock> block;
    std::vector<std::unique_ptr<TaggedObject>> handed_out;
};
struct DialogData {
    std::vector<std::unique_ptr<BlockData>> blocks;
    BlockData top_data;
    std::unique_ptr<CompositeBlock> top;
    BlockDialog::Apply apply;
    BlockDialog::Ok ok;
    BlockDialog::Update update;
    BlockDialog::Initialize initialize;
    BlockDialog::DialogShown shown;
    bool closed = false;
    BlockData *find(const std::string &id) {
        for (auto &b : blocks)
            if (b->id == id) return b.get();
        return nullptr;
    }
};
}  // namespace diekit::ui

using diekit::ui::BlockData;
using diekit::ui::DialogData;

namespace fake {

namespace {
constexpr tag_t part_tag = 1;
std::string phase;

Object *object(tag_t tag) {
    auto &objects = state().objects;
    return tag != NULL_TAG && tag < objects.size() && objects[tag].alive ? &objects[tag] : nullptr;
}
Object *body(tag_t tag) {
    Object *o = object(tag);
    return o != nullptr && o->kind == Object::Body ? o : nullptr;
}
tag_t add(Object o) {
    state().objects.push_back(std::move(o));
    return static_cast<tag_t>(state().objects.size() - 1);
}
tag_t add_feature(tag_t of_body) {
    Object f;
    f.kind = Object::Feature;
    f.body = of_body;
    return add(f);
}

bool overlap(const Box &a, const Box &b, Box *common) {
    Box c;
    for (int k = 0; k < 3; ++k) {
        c.lo[k] = std::max(a.lo[k], b.lo[k]);
        c.hi[k] = std::min(a.hi[k], b.hi[k]);
        if (c.hi[k] - c.lo[k] <= 1e-9) return false;
    }
    if (common != nullptr) *common = c;
    return true;
}

// a minus b as disjoint boxes.
std::vector<Box> minus(Box a, const Box &b) {
    if (!overlap(a, b, nullptr)) return {a};
    std::vector<Box> pieces;
    for (int k = 0; k < 3; ++k) {
        if (a.lo[k] < b.lo[k]) {
            Box p = a;
            p.hi[k] = b.lo[k];
            pieces.push_back(p);
            a.lo[k] = b.lo[k];
        }
        if (a.hi[k] > b.hi[k]) {
            Box p = a;
            p.lo[k] = b.hi[k];
            pieces.push_back(p);
            a.hi[k] = b.hi[k];
        }
    }
    return pieces;
}

BlockData *block_named(BlockDialog &dialog, const std::string &id) {
    BlockData *b = dialog.Data().find(id);
    if (b == nullptr) throw std::runtime_error("script names unknown block " + id);
    return b;
}

Step change(const std::string &id, std::function<void(BlockState &)> set) {
    return [id, set](BlockDialog &dialog) {
        BlockData *b = block_named(dialog, id);
        set(b->st);
        phase = "update:" + id;
        state().phases.push_back(phase);
        state().update_results.push_back(dialog.Data().update(b->block.get()));
    };
}

std::unique_ptr<UIBlock> make_block(const std::string &cls, BlockData *data) {
    if (cls == "Group") return std::make_unique<Group>(data);
    if (cls == "Label") return std::make_unique<Label>(data);
    if (cls == "BodyCollector") return std::make_unique<BodyCollector>(data);
    if (cls == "CurveCollector") return std::make_unique<CurveCollector>(data);
    if (cls == "FaceCollector") return std::make_unique<FaceCollector>(data);
    if (cls == "SelectObject") return std::make_unique<SelectObject>(data);
    if (cls == "SpecifyPoint") return std::make_unique<SpecifyPoint>(data);
    if (cls == "SpecifyVector") return std::make_unique<SpecifyVector>(data);
    if (cls == "ExpressionBlock") return std::make_unique<ExpressionBlock>(data);
    if (cls == "Toggle") return std::make_unique<Toggle>(data);
    if (cls == "Enumeration") return std::make_unique<Enumeration>(data);
    throw NXException(1, "unknown block class " + cls);
}

std::vector<TaggedObject *> hand_out(BlockData *data) {
    std::vector<TaggedObject *> objects;
    for (tag_t t : data->st.selected) {
        data->handed_out.push_back(std::make_unique<TaggedObject>(t));
        objects.push_back(data->handed_out.back().get());
    }
    return objects;
}

const BlockState &readable(const BlockData *data, const NXString &name, const char *cls) {
    if (state().failing_blocks.count(data->id) != 0 || name.str() != "Value" || data->st.cls != cls)
        throw NXException(2, "block " + data->id + " has no readable property " + name.str());
    return data->st;
}
}  // namespace

State &state() {
    static State s;
    return s;
}

void reset(const std::string &dialog_root) {
    state() = State{};
    state().dialog_root = dialog_root;
    Object part;
    part.kind = Object::Feature;
    add(part);  // tag 1: the work part
    phase.clear();
}

tag_t add_body(std::vector<Box> boxes, int color) {
    Object o;
    o.boxes = std::move(boxes);
    o.color = color;
    return add(o);
}

std::vector<tag_t> live_bodies() {
    std::vector<tag_t> tags;
    for (tag_t t = 2; t < state().objects.size(); ++t)
        if (body(t) != nullptr) tags.push_back(t);
    return tags;
}

double volume(tag_t tag) {
    double v = 0;
    if (Object *b = body(tag))
        for (const Box &box : b->boxes) v += box.volume();
    return v;
}

Box bounds(tag_t tag) {
    Box r{{1e300, 1e300, 1e300}, {-1e300, -1e300, -1e300}};
    Object *o = object(tag);
    if (o == nullptr) return Box{};
    if (o->kind == Object::Edge) {
        for (int k = 0; k < 3; ++k) {
            r.lo[k] = std::min(o->p0[k], o->p1[k]);
            r.hi[k] = std::max(o->p0[k], o->p1[k]);
        }
        return r;
    }
    if (o->boxes.empty()) return Box{};
    for (const Box &b : o->boxes)
        for (int k = 0; k < 3; ++k) {
            r.lo[k] = std::min(r.lo[k], b.lo[k]);
            r.hi[k] = std::max(r.hi[k], b.hi[k]);
        }
    return r;
}

Step set_logical(const std::string &id, bool value) {
    return change(id, [value](BlockState &s) { s.logical = value; });
}
Step set_enum(const std::string &id, int index) {
    return change(id, [index](BlockState &s) { s.index = index; });
}
Step set_value(const std::string &id, double value) {
    return change(id, [value](BlockState &s) { s.formula = std::to_string(value); });
}
Step select(const std::string &id, std::vector<tag_t> tags) {
    return change(id, [tags](BlockState &s) { s.selected = tags; });
}
Step press(const std::string &button) {
    return [button](BlockDialog &dialog) {
        DialogData &d = dialog.Data();
        phase = button;
        state().phases.push_back(button);
        if (button == "apply") state().results.push_back(d.apply());
        if (button == "ok") state().results.push_back(d.ok());
        if (button == "ok" || button == "cancel") d.closed = true;
    };
}

Step snapshot(const std::string &name) {
    return [name](BlockDialog &dialog) {
        for (auto &b : dialog.Data().blocks) state().snapshots[name][b->id] = b->st;
    };
}

}  // namespace fake

using fake::state;

// ---------------- object interface ----------------

namespace NXOpen {
Session *Session::GetSession() {
    static Session session;
    return &session;
}
tag_t Session::WorkPartTag() const { return 1; }

UI *UI::GetUI() {
    static UI ui;
    return &ui;
}
NXOpen::NXMessageBox *UI::NXMessageBox() { return &m_messageBox; }
BlockStyler::BlockDialog *UI::CreateDialog(const NXString &name) { return CreateDialog(name.GetText()); }
BlockStyler::BlockDialog *UI::CreateDialog(const char *name) {
    const std::string file = name;
    const std::string path = state().dialog_root + "/" + file.substr(0, file.find('.')) + "/" + file;
    pugi::xml_document doc;
    if (!doc.load_file(path.c_str())) throw NXException(3, "cannot read dialog file " + path);
    auto data = std::make_unique<DialogData>();
    data->top_data.id = "top";
    data->top_data.owner = data.get();
    data->top = std::make_unique<CompositeBlock>(&data->top_data);
    for (pugi::xml_node n : doc.child("dialog").children("block")) {
        auto b = std::make_unique<BlockData>();
        b->id = n.attribute("id").value();
        b->owner = data.get();
        b->st.cls = n.attribute("class").value();
        const std::string value = n.attribute("value").value();
        b->st.logical = value == "true";
        b->st.index = b->st.cls == "Enumeration" ? std::atoi(value.c_str()) : 0;
        b->st.formula = b->st.cls == "ExpressionBlock" ? value : "";
        for (pugi::xml_node m : n.children("member")) b->st.members.push_back(m.text().get());
        b->block = fake::make_block(b->st.cls, b.get());
        data->blocks.push_back(std::move(b));
    }
    return new BlockStyler::BlockDialog(std::move(data));
}

int NXMessageBox::Show(const char *title, DialogType type, const char *message) {
    state().boxes.push_back({title, static_cast<int>(type), message});
    return 0;
}
int NXMessageBox::Show(const NXString &title, DialogType type, const NXString &message) {
    return Show(title.GetText(), type, message.GetText());
}
}  // namespace NXOpen

namespace NXOpen::BlockStyler {
BlockDialog::BlockDialog(std::unique_ptr<DialogData> data) : m_data(std::move(data)) {}
BlockDialog::~BlockDialog() = default;
void BlockDialog::AddApplyHandler(const Apply &cb) { state().handlers.push_back("apply"), m_data->apply = cb; }
void BlockDialog::AddOkHandler(const Ok &cb) { state().handlers.push_back("ok"), m_data->ok = cb; }
void BlockDialog::AddUpdateHandler(const Update &cb) { state().handlers.push_back("update"), m_data->update = cb; }
void BlockDialog::AddInitializeHandler(const Initialize &cb) {
    state().handlers.push_back("initialize"), m_data->initialize = cb;
}
void BlockDialog::AddDialogShownHandler(const DialogShown &cb) {
    state().handlers.push_back("shown"), m_data->shown = cb;
}
int BlockDialog::Show() {
    for (const char *p : {"initialize", "shown"}) {
        fake::phase = p;
        state().phases.push_back(p);
        if (fake::phase == "initialize") m_data->initialize();
        else m_data->shown();
    }
    for (const fake::Step &step : state().script) {
        if (m_data->closed) break;
        step(*this);
    }
    for (auto &b : m_data->blocks) state().closed_dialog[b->id] = b->st;
    return m_data->closed ? DialogResponseOk : DialogResponseCancel;
}
CompositeBlock *BlockDialog::TopBlock() { return m_data->top.get(); }
PropertyList *BlockDialog::GetBlockProperties(const char *id) {
    BlockData *b = m_data->find(id);
    return b == nullptr ? nullptr : new PropertyList(b);
}

UIBlock::UIBlock(diekit::ui::BlockData *data) : m_data(data) {}
UIBlock::~UIBlock() = default;
PropertyList *UIBlock::GetProperties() { return new PropertyList(m_data); }
void UIBlock::SetShow(bool show) { m_data->st.shown = show; }
bool UIBlock::Show() const { return m_data->st.shown; }

UIBlock *CompositeBlock::FindBlock(const NXString &name) {
    BlockData *b = m_data->owner->find(name.str());
    return b == nullptr ? nullptr : b->block.get();
}
std::vector<TaggedObject *> BodyCollector::GetSelectedObjects() { return fake::hand_out(m_data); }
std::vector<TaggedObject *> CurveCollector::GetSelectedObjects() { return fake::hand_out(m_data); }
std::vector<TaggedObject *> FaceCollector::GetSelectedObjects() { return fake::hand_out(m_data); }
std::vector<TaggedObject *> SelectObject::GetSelectedObjects() { return fake::hand_out(m_data); }
double ExpressionBlock::Value() const {
    if (state().failing_blocks.count(m_data->id) != 0) throw NXException(2, "cannot evaluate " + m_data->id);
    return std::strtod(m_data->st.formula.c_str(), nullptr);
}
void ExpressionBlock::SetFormula(const NXString &formula) {
    m_data->st.formula = formula.str();
    state().formulas.push_back(fake::phase + ":" + m_data->id + "=" + formula.str());
}

bool PropertyList::GetLogical(const NXString &name) const { return fake::readable(m_data, name, "Toggle").logical; }
int PropertyList::GetEnum(const NXString &name) const { return fake::readable(m_data, name, "Enumeration").index; }
void PropertyList::SetSelectionFilter(const NXString &name, Selection::SelectionAction action,
                                      const std::vector<Selection::MaskTriple> &masks) {
    if (name.str() != "SelectionFilter" || m_data->st.cls != "SelectObject")
        throw NXException(2, "no selection filter on " + m_data->id);
    m_data->st.filter_action = static_cast<int>(action);
    m_data->st.filter.clear();
    for (const auto &m : masks) m_data->st.filter.push_back({m.Type, m.Subtype, m.SolidBodySubtype});
}
}  // namespace NXOpen::BlockStyler

// ---------------- C interface ----------------

using fake::Box;
using fake::Object;

extern "C" {

int UF_initialize(void) {
    state().max_bracket_depth = std::max(state().max_bracket_depth, ++state().bracket_depth);
    return 0;
}
int UF_terminate(void) {
    if (state().bracket_depth == 0) return 1;
    --state().bracket_depth;
    return 0;
}
int uc1601(const char *message, int) {
    if (message == nullptr) return 1;
    state().notes.push_back(message);
    return 0;
}
tag_t UF_ASSEM_ask_work_part(void) { return fake::part_tag; }

int UF_OBJ_cycle_objs_in_part(tag_t part, int type, tag_t *obj) {
    const tag_t after = *obj;
    *obj = NULL_TAG;
    if (part != fake::part_tag || type != 70) return 1;
    for (tag_t t = after + 1; t < state().objects.size(); ++t) {
        const Object *o = fake::object(t);
        if (o != nullptr && (o->kind == Object::Body || (o->kind == Object::Edge && fake::body(o->body)))) {
            *obj = t;
            return 0;
        }
    }
    return 0;
}
int UF_OBJ_ask_type_and_subtype(tag_t tag, int *type, int *subtype) {
    const Object *o = fake::object(tag);
    *type = o == nullptr ? 0 : o->kind == Object::Feature ? 205 : 70;
    *subtype = o != nullptr && o->kind == Object::Edge ? 3 : 0;
    return o == nullptr ? 1 : 0;
}
int UF_OBJ_set_color(tag_t tag, int color) {
    Object *o = fake::body(tag);
    if (o == nullptr) return 1;
    o->color = color;
    return 0;
}
int UF_OBJ_delete_object(tag_t tag) {
    Object *o = fake::object(tag);
    if (o == nullptr) return 1;
    o->alive = false;
    return 0;
}

// Lists: a head node that holds no item, then the items.
int UF_MODL_create_list(uf_list_p_t *list) {
    *list = new uf_list_s{NULL_TAG, nullptr};
    ++state().live_lists;
    return 0;
}
int UF_MODL_put_list_item(uf_list_p_t list, tag_t item) {
    if (list == nullptr) return 1;
    uf_list_p_t node = list;
    for (; node->next != nullptr; node = node->next)
        if (node->next->eid == item) return 0;
    node->next = new uf_list_s{item, nullptr};
    return 0;
}
int UF_MODL_ask_list_count(uf_list_p_t list, int *count) {
    *count = 0;
    if (list == nullptr) return 1;
    for (uf_list_p_t n = list->next; n != nullptr; n = n->next) ++*count;
    return 0;
}
int UF_MODL_ask_list_item(uf_list_p_t list, int index, tag_t *item) {
    *item = NULL_TAG;
    if (list == nullptr) return 1;
    uf_list_p_t n = list->next;
    for (int i = 0; n != nullptr && i < index; ++i) n = n->next;
    if (n == nullptr) return 1;
    *item = n->eid;
    return 0;
}
int UF_MODL_delete_list(uf_list_p_t *list) {
    if (list == nullptr || *list == nullptr) return 1;
    for (uf_list_p_t n = *list; n != nullptr;) {
        uf_list_p_t next = n->next;
        delete n;
        n = next;
    }
    *list = nullptr;
    --state().live_lists;
    return 0;
}
static std::vector<tag_t> items(uf_list_p_t list) {
    std::vector<tag_t> tags;
    for (uf_list_p_t n = list == nullptr ? nullptr : list->next; n != nullptr; n = n->next) tags.push_back(n->eid);
    return tags;
}
int UF_MODL_delete_object_parms(uf_list_p_t list) {
    state().parms_removed.push_back(items(list));
    for (tag_t t : items(list))
        if (Object *o = fake::body(t)) o->parametric = false;
    return 0;
}

int UF_MODL_create_block1(UF_FEATURE_SIGN sign, double corner[3], char *edge_len[3], tag_t *feature) {
    *feature = NULL_TAG;
    fake::BlockCall call;
    Box box;
    for (int k = 0; k < 3; ++k) {
        call.corner[k] = corner[k];
        call.lengths[k] = edge_len[k];
        box.lo[k] = corner[k];
        box.hi[k] = corner[k] + std::strtod(edge_len[k], nullptr);
    }
    state().blocks_made.push_back(call);
    if (sign != UF_NULLSIGN || box.volume() <= 0) return 1;
    *feature = fake::add_feature(fake::add_body({box}));
    return 0;
}
int UF_MODL_ask_feat_body(tag_t feature, tag_t *body) {
    const Object *f = fake::object(feature);
    *body = f != nullptr && f->kind == Object::Feature && fake::body(f->body) ? f->body : NULL_TAG;
    return *body == NULL_TAG ? 1 : 0;
}
// The twelve edges of a block feature: four along X, four along Y, then the four vertical ones.
int UF_MODL_ask_feat_edges(tag_t feature, uf_list_p_t *list) {
    *list = nullptr;
    Object *f = fake::object(feature);
    if (f == nullptr || f->kind != Object::Feature || !fake::body(f->body)) return 1;
    if (f->edges.empty()) {
        const Box b = fake::body(f->body)->boxes.front();
        const tag_t owner = f->body;
        auto edge = [&](std::array<double, 3> p0, std::array<double, 3> p1) {
            Object e;
            e.kind = Object::Edge;
            e.p0 = p0, e.p1 = p1, e.body = owner;
            return fake::add(e);
        };
        std::vector<tag_t> edges;
        for (double z : {b.lo[2], b.hi[2]})
            for (double y : {b.lo[1], b.hi[1]}) edges.push_back(edge({b.lo[0], y, z}, {b.hi[0], y, z}));
        for (double z : {b.lo[2], b.hi[2]})
            for (double x : {b.lo[0], b.hi[0]}) edges.push_back(edge({x, b.lo[1], z}, {x, b.hi[1], z}));
        for (double y : {b.lo[1], b.hi[1]})
            for (double x : {b.lo[0], b.hi[0]}) edges.push_back(edge({x, y, b.lo[2]}, {x, y, b.hi[2]}));
        fake::object(feature)->edges = edges;
    }
    UF_MODL_create_list(list);
    for (tag_t e : fake::object(feature)->edges) UF_MODL_put_list_item(*list, e);
    return 0;
}
int UF_MODL_ask_bounding_box(tag_t tag, double box[6]) {
    std::fill(box, box + 6, 0.0);
    if (fake::object(tag) == nullptr) return 1;
    const Box b = fake::bounds(tag);
    for (int k = 0; k < 3; ++k) box[k] = b.lo[k], box[k + 3] = b.hi[k];
    return 0;
}
int UF_MODL_ask_point_containment(double point[3], tag_t tag, int *status) {
    *status = 0;
    const Object *o = fake::object(tag);
    if (o == nullptr) return 1;
    *status = 2;
    if (o->kind == Object::Edge) {
        double along = 0, len2 = 0;
        for (int k = 0; k < 3; ++k) {
            along += (point[k] - o->p0[k]) * (o->p1[k] - o->p0[k]);
            len2 += (o->p1[k] - o->p0[k]) * (o->p1[k] - o->p0[k]);
        }
        const double t = std::clamp(along / len2, 0.0, 1.0);
        double d2 = 0;
        for (int k = 0; k < 3; ++k) d2 += std::pow(point[k] - (o->p0[k] + t * (o->p1[k] - o->p0[k])), 2);
        if (d2 <= 1e-12) *status = 1;
    }
    return 0;
}
int UF_MODL_create_chamfer(int subtype, char *offset1, char *offset2, char *theta, uf_list_p_t edges,
                           tag_t *feature) {
    *feature = NULL_TAG;
    fake::Chamfer c{subtype, offset1, offset2, theta, items(edges), 0};
    c.status = c.edges.empty() ? 1 : 0;
    state().chamfers.push_back(c);
    if (c.status == 0) *feature = fake::add_feature(fake::object(c.edges.front())->body);
    return c.status;
}

// Booleans. A target that is not retained keeps its tag and takes the result; a retained target
// stays and the result is a new body. A tool that is not retained is deleted.
static int boolean(tag_t target, tag_t tool, bool keep_target, bool keep_tool, bool subtract, tag_t *feature) {
    *feature = NULL_TAG;
    Object *a = fake::body(target);
    Object *b = fake::body(tool);
    if (a == nullptr || b == nullptr || target == tool) return 1;
    std::vector<Box> result;
    if (subtract) {
        result = a->boxes;
        for (const Box &cut : b->boxes) {
            std::vector<Box> next;
            for (const Box &piece : result)
                for (const Box &left : fake::minus(piece, cut)) next.push_back(left);
            result = next;
        }
    } else {
        for (const Box &p : a->boxes)
            for (const Box &q : b->boxes)
                if (Box c; fake::overlap(p, q, &c)) result.push_back(c);
    }
    if (result.empty()) return 1;
    tag_t result_body = target;
    if (keep_target)
        result_body = fake::add_body(result, a->color);
    else
        a->boxes = result;
    if (!keep_tool) fake::object(tool)->alive = false;
    *feature = fake::add_feature(result_body);
    return 0;
}
int UF_MODL_intersect_bodies_with_retained_options(tag_t target, tag_t tool, logical keep_target,
                                                   logical keep_tool, tag_t *feature) {
    return boolean(target, tool, keep_target, keep_tool, false, feature);
}
int UF_MODL_subtract_bodies_with_retained_options(tag_t target, tag_t tool, logical keep_target,
                                                  logical keep_tool, tag_t *feature) {
    return boolean(target, tool, keep_target, keep_tool, true, feature);
}

}  // extern "C"
