#include "studio/record.hpp"

#include <set>

namespace diekit::studio {

using nlohmann::ordered_json;

namespace {

using Entries = std::vector<RecordEntry>;

// One dialog's entries (from its Open to the next Open or Rename) as a session step.
ordered_json dialog_step(Entries::const_iterator open, Entries::const_iterator end) {
    ordered_json events = ordered_json::array();
    std::set<std::string> blocks;
    bool compact = true, pressed = false;
    std::string last_button;
    for (auto it = std::next(open); it != end; ++it) {
        if (it->kind == RecordEntry::Kind::Value) {
            compact = compact && !pressed && blocks.insert(it->text).second;
            events.push_back({{"set", it->text}, {"value", it->value}});
        } else {
            pressed = true;
            last_button = it->text;
            events.push_back({{"press", it->text}});
        }
    }
    if (last_button != "ok" && last_button != "cancel") events.push_back({{"press", "cancel"}});
    ordered_json step = {{"plugin", open->text}};
    if (!compact) {
        step["events"] = events;
        return step;
    }
    ordered_json values = ordered_json::object(), press = ordered_json::array();
    for (auto &event : events) {
        if (event.contains("set")) values[event["set"].get<std::string>()] = event["value"];
        else press.push_back(event["press"]);
    }
    step["values"] = values;
    step["press"] = press;
    return step;
}

std::string one_line(const ordered_json &value) {
    return value.dump(-1, ' ', false, ordered_json::error_handler_t::replace);
}

// Points, outlines and small objects stay on one line; everything else is indented.
void write(std::string &out, const ordered_json &value, int indent) {
    std::string line = one_line(value);
    if (!value.is_structured() || value.empty() || line.size() + static_cast<std::size_t>(indent) <= 100) {
        out += line;
        return;
    }
    const std::string inner(static_cast<std::size_t>(indent + 2), ' ');
    out += value.is_array() ? "[\n" : "{\n";
    bool first = true;
    for (auto it = value.begin(); it != value.end(); ++it) {
        if (!first) out += ",\n";
        first = false;
        out += inner;
        if (value.is_object()) {
            out += one_line(it.key());
            out += ": ";
        }
        write(out, *it, indent + 2);
    }
    out += '\n';
    out.append(static_cast<std::size_t>(indent), ' ');
    out += value.is_array() ? ']' : '}';
}

}  // namespace

std::string Record::session_text() const {
    std::string out;
    write(out, session(), 0);
    return out + "\n";
}

void Record::start(ordered_json header, ordered_json steps) {
    m_header = std::move(header);
    m_steps = std::move(steps);
    m_entries.clear();
    m_cut = 0;
}

void Record::add(RecordEntry entry) {
    m_entries.resize(m_cut);
    m_entries.push_back(std::move(entry));
    m_cut = m_entries.size();
}

void Record::cut(std::size_t size) { m_cut = std::min(size, m_entries.size()); }

ordered_json Record::session() const {
    ordered_json session = m_header;
    ordered_json steps = m_steps;
    const auto end = m_entries.begin() + static_cast<std::ptrdiff_t>(m_cut);
    for (auto it = m_entries.begin(); it != end;) {
        if (it->kind == RecordEntry::Kind::Rename) {
            ordered_json step = {{"rename", it->value}, {"to", it->text}};
            if (!it->comment.empty()) step["comment"] = it->comment;
            steps.push_back(step);
            ++it;
            continue;
        }
        // Values or buttons without their Open cannot happen: every dialog starts with one.
        auto next = std::next(it);
        while (next != end && next->kind != RecordEntry::Kind::Open && next->kind != RecordEntry::Kind::Rename) ++next;
        if (it->kind == RecordEntry::Kind::Open) steps.push_back(dialog_step(it, next));
        it = next;
    }
    session["steps"] = steps;
    return session;
}

}  // namespace diekit::studio
