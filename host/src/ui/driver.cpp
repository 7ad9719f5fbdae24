#include "ui/driver.hpp"

#include "io/json_input.hpp"
#include "model/model_range.hpp"
#include "model/store.hpp"
#include "ui/dialog_events.hpp"

#include <NXOpen/BlockStyler_BlockDialog.hxx>

namespace diekit::ui {

namespace {

bool is_number(const nlohmann::ordered_json &v) { return v.is_number(); }

std::string kind_text(const nlohmann::ordered_json &v) { return v.type_name(); }

void set_expression(BlockData &block, const nlohmann::ordered_json &value) {
    if (value.is_number()) {
        auto finite = io::finite_number(value);
        if (!finite) throw SessionError("expects a finite number, got " + io::brief(value));
        double number = *finite;
        set_formula(block, value.dump());
        block.value = number;
    } else if (value.is_string()) {
        try {
            set_formula(block, value.get<std::string>());
        } catch (const std::exception &e) {
            throw SessionError(e.what());
        }
    } else {
        throw SessionError("expects a number, got " + kind_text(value));
    }
}

void set_enumeration(BlockData &block, const nlohmann::ordered_json &value) {
    if (value.is_number_integer()) {
        auto index = io::whole_number(value, 0, static_cast<std::int64_t>(block.members.size()) - 1);
        if (!index)
            throw SessionError("member " + io::brief(value) + " outside 0.." + std::to_string(block.members.size() - 1));
        block.enum_index = static_cast<int>(*index);
        return;
    }
    if (value.is_string()) {
        for (std::size_t i = 0; i < block.members.size(); ++i)
            if (block.members[i] == value.get<std::string>()) {
                block.enum_index = static_cast<int>(i);
                return;
            }
        throw SessionError("no member '" + value.get<std::string>() + "'");
    }
    throw SessionError("expects a member index or text, got " + kind_text(value));
}

void set_triple(BlockData &block, const nlohmann::ordered_json &value) {
    if (!value.is_array() || value.size() != 3 || !is_number(value[0]) || !is_number(value[1]) ||
        !is_number(value[2]))
        throw SessionError("expects [x, y, z], got " + io::brief(value));
    for (int i = 0; i < 3; ++i) block.point[i] = value[i].get<double>();
    // A point is a position in the part; a vector's length carries no size, but must stay finite.
    if (block.cls == BlockClass::SpecifyPoint) {
        try {
            model::check_point({block.point[0], block.point[1], block.point[2]}, "point");
        } catch (const HostError &e) {
            throw SessionError(e.what());
        }
    }
}

void set_selection(BlockData &block, const nlohmann::ordered_json &value) {
    std::vector<tag_t> tags = resolve_selection(value);
    for (tag_t tag : tags)
        if (!accepts(block, tag)) {
            auto *object = model::Store::instance().find(tag);
            throw SessionError("refuses " + std::string(object ? model::kind_name(object->kind) : "object") + " " +
                               std::to_string(tag) + (object && !object->name.empty() ? " ('" + object->name + "')" : ""));
        }
    block.selected = tags;
}

}  // namespace

void set_block_value(BlockData &block, const nlohmann::ordered_json &value) {
    switch (block.cls) {
    case BlockClass::ExpressionBlock: set_expression(block, value); break;
    case BlockClass::Toggle:
        if (!value.is_boolean()) throw SessionError("expects true or false, got " + kind_text(value));
        block.toggle = value.get<bool>();
        break;
    case BlockClass::Enumeration: set_enumeration(block, value); break;
    case BlockClass::SpecifyPoint:
    case BlockClass::SpecifyVector: set_triple(block, value); break;
    case BlockClass::BodyCollector:
    case BlockClass::CurveCollector:
    case BlockClass::FaceCollector:
    case BlockClass::SelectObject: set_selection(block, value); break;
    default: throw SessionError(std::string("a ") + class_name(block.cls) + " takes no value");
    }
}

nlohmann::ordered_json block_state(const BlockData &block) {
    nlohmann::ordered_json state;
    state["class"] = class_name(block.cls);
    state["shown"] = block.shown;
    switch (block.cls) {
    case BlockClass::ExpressionBlock:
        state["value"] = block.value;
        state["formula"] = block.formula;
        break;
    case BlockClass::Toggle: state["value"] = block.toggle; break;
    case BlockClass::Enumeration: state["value"] = block.enum_index; break;
    case BlockClass::SpecifyPoint:
    case BlockClass::SpecifyVector: state["value"] = block.point; break;
    case BlockClass::BodyCollector:
    case BlockClass::CurveCollector:
    case BlockClass::FaceCollector:
    case BlockClass::SelectObject: state["value"] = block.selected; break;
    default: break;
    }
    return state;
}

namespace {

// The events of a session step: its values in the order written, then its buttons; or, in the
// interleaved form, its "events" ({"set": block, "value": v} or {"press": button}) as written.
class SessionStep : public DialogEvents {
public:
    explicit SessionStep(const model::DialogRun &run) {
        if (!run.events.empty()) {
            for (auto &entry : run.events) {
                if (entry.contains("press"))
                    m_events.push_back({DialogEvent::Kind::Press, {}, {}, entry["press"].get<std::string>()});
                else
                    m_events.push_back({DialogEvent::Kind::Value, entry["set"].get<std::string>(), entry["value"], {}});
            }
            return;
        }
        for (auto &[id, value] : run.values.items()) m_events.push_back({DialogEvent::Kind::Value, id, value, {}});
        for (auto &button : run.press) m_events.push_back({DialogEvent::Kind::Press, {}, {}, button});
    }

    std::optional<DialogEvent> next(DialogData &) override {
        if (m_next == m_events.size()) return std::nullopt;
        return m_events[m_next++];
    }

    void done(DialogData &, const DialogEvent &, int, double, bool closed) override {
        if (!closed || m_next == m_events.size()) return;
        const DialogEvent &late = m_events[m_next];
        if (late.kind == DialogEvent::Kind::Press)
            throw SessionError("button '" + late.button + "' pressed after the dialog closed");
        throw SessionError("block '" + late.block + "' set after the dialog closed");
    }

    void refused(DialogData &, const DialogEvent &, Refusal, const std::string &reason) override {
        throw SessionError(reason);
    }

private:
    std::vector<DialogEvent> m_events;
    std::size_t m_next = 0;
};

void record(const DialogData &dialog, model::DialogRun &run) {
    run.dialog = nlohmann::ordered_json::object();
    for (auto &block : dialog.data) run.dialog[block->id] = block_state(*block);
}

}  // namespace

int play(DialogData &dialog) {
    auto &store = model::Store::instance();
    auto &run = store.dialog_run();
    if (!run || run->opened) {
        // Not a step of the session (a second dialog of one step): open and close it.
        if (dialog.initialize) dialog.initialize();
        if (dialog.shown) dialog.shown();
        return NXOpen::BlockStyler::BlockDialog::DialogResponseCancel;
    }
    run->opened = true;
    int response = NXOpen::BlockStyler::BlockDialog::DialogResponseCancel;
    try {
        SessionStep step(*run);
        DialogEvents &events = store.dialog_events() ? *store.dialog_events() : step;
        response = run_dialog(dialog, events, *run);
    } catch (const SessionError &e) {
        run->error = e.what();
    } catch (const std::exception &e) {
        run->error = std::string("a callback failed: ") + e.what();
    } catch (...) {
        run->error = "a callback failed";
    }
    record(dialog, *run);
    return response;
}

}  // namespace diekit::ui
