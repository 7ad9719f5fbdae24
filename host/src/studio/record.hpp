// What the designer did in the studio, as a session file that `diehost run` replays: the starting
// part or fixtures, the steps played when the studio started, then every rename and every dialog
// (its values as stable references and its buttons) in order. Undo moves a cut back over the
// record and redo forward again; what lies beyond the cut is not part of the session, and is
// dropped when something new is recorded.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace diekit::studio {

struct RecordEntry {
    enum class Kind { Rename, Open, Value, Press };
    Kind kind = Kind::Open;
    std::string text;              // Rename: new name; Open: plug-in; Value: block; Press: button
    nlohmann::ordered_json value;  // Rename: the body reference; Value: the value
    std::string comment;           // Rename: what the body was called before
};

class Record {
public:
    // Starts over: the session's header (everything but its steps) and the steps already played.
    void start(nlohmann::ordered_json header, nlohmann::ordered_json steps);
    // Adds an entry at the cut (what lay beyond it is dropped).
    void add(RecordEntry entry);
    // The number of entries in the session; cut(n) with n ≤ the entries kept moves it.
    std::size_t size() const { return m_cut; }
    void cut(std::size_t size);

    // The session file. A dialog whose last button did not close it (it is still open, or an undo
    // cut it after an Apply) is closed with "cancel". A dialog whose values came only before its
    // buttons, each block once, is written as "values" and "press"; any other as "events".
    nlohmann::ordered_json session() const;
    // The session as a file a person can read: short lists and objects on one line.
    std::string session_text() const;

private:
    nlohmann::ordered_json m_header = nlohmann::ordered_json::object();
    nlohmann::ordered_json m_steps = nlohmann::ordered_json::array();
    std::vector<RecordEntry> m_entries;
    std::size_t m_cut = 0;
};

}  // namespace diekit::studio
