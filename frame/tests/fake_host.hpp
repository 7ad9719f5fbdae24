// A small stand-in for the platform, enough to run the plug-in frame and the straight insert
// builder without the real host: dialogs read from the .dlx files and driven by a script, message
// boxes and one-line messages recorded, and solids kept as unions of axis-aligned boxes so that
// blocks, intersections, subtractions, edges and bounding boxes are exact for box geometry.
#ifndef DIEKIT_FRAME_TESTS_FAKE_HOST_HPP
#define DIEKIT_FRAME_TESTS_FAKE_HOST_HPP

#include <NXOpen/BlockStyler_BlockDialog.hxx>
#include <NXOpen/Selection.hxx>
#include <uf_defs.h>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace fake {

struct Box {
    std::array<double, 3> lo{}, hi{};
    double volume() const { return (hi[0] - lo[0]) * (hi[1] - lo[1]) * (hi[2] - lo[2]); }
};

struct Object {
    enum Kind { Body, Edge, Feature } kind = Body;
    bool alive = true;
    bool parametric = true;
    int color = 0;
    std::vector<Box> boxes;             // Body: disjoint boxes
    std::array<double, 3> p0{}, p1{};   // Edge: segment
    tag_t body = NULL_TAG;              // Edge: owner; Feature: its body
    std::vector<tag_t> edges;           // Feature of a block: its twelve edges, once asked
};

struct MessageBox {
    std::string title;
    int type = -1;
    std::string text;
};

struct BlockState {
    std::string cls;
    bool shown = true;
    bool logical = false;
    int index = 0;
    std::vector<std::string> members;
    std::string formula;
    std::vector<tag_t> selected;
    int filter_action = -1;
    std::vector<std::array<int, 3>> filter;
};

struct Chamfer {
    int subtype = 0;
    std::string offset1, offset2, angle;
    std::vector<tag_t> edges;
    int status = 0;
};

struct BlockCall {
    std::array<double, 3> corner{};
    std::array<std::string, 3> lengths;
};

// One scripted action inside BlockDialog::Show after the initialise and shown callbacks.
using Step = std::function<void(NXOpen::BlockStyler::BlockDialog &)>;
Step set_logical(const std::string &id, bool value);
Step set_enum(const std::string &id, int index);
Step set_value(const std::string &id, double value);
Step select(const std::string &id, std::vector<tag_t> tags);
Step press(const std::string &button);  // "apply", "ok" or "cancel"
// Copies every block's state into State::snapshots[name].
Step snapshot(const std::string &name);

struct State {
    std::string dialog_root;  // <root>/<plugin>/<plugin>.dlx
    std::vector<Step> script;
    std::set<std::string> failing_blocks;  // their property reads throw NXException

    // records
    std::vector<std::string> handlers;      // registration order
    std::vector<std::string> phases;        // callbacks run: "initialize", "shown", "update:<id>", "apply", "ok"
    std::vector<std::string> formulas;      // "<phase>:<id>=<formula>"
    std::vector<int> results;               // what each pressed button returned
    std::vector<int> update_results;
    std::vector<MessageBox> boxes;
    std::vector<std::string> notes;         // uc1601
    std::map<std::string, BlockState> closed_dialog;  // block states when the dialog closed
    std::map<std::string, std::map<std::string, BlockState>> snapshots;
    int bracket_depth = 0, max_bracket_depth = 0;
    int live_lists = 0;

    // geometry
    std::vector<Object> objects{Object{}};  // index = tag; tag 0 unused
    std::vector<BlockCall> blocks_made;
    std::vector<Chamfer> chamfers;
    std::vector<std::vector<tag_t>> parms_removed;
};

State &state();
// Clears everything: a fresh part and no records.
void reset(const std::string &dialog_root);

tag_t add_body(std::vector<Box> boxes, int color = 0);
// Live bodies in tag order.
std::vector<tag_t> live_bodies();
double volume(tag_t body);
Box bounds(tag_t body);

}  // namespace fake

#endif
