#include "io/checks.hpp"

#include "io/roles.hpp"
#include "kernel/contact.hpp"
#include "model/errors.hpp"
#include "model/store.hpp"

#include <algorithm>
#include <cstdio>
#include <thread>

namespace diekit::io {

namespace {

struct Candidate {
    const model::Body *body;
    kernel::Box box;
    double volume;
};

// Whether the boxes overlap with positive volume (more than the tolerance on every axis), merely meet
// (within the tolerance), or are apart.
enum class BoxContact { Overlap, Meet, Apart };

BoxContact box_contact(const kernel::Box &a, const kernel::Box &b) {
    bool overlap = true;
    for (int i = 0; i < 3; ++i) {
        const double depth = std::min(a[i + 3], b[i + 3]) - std::max(a[i], b[i]);
        if (depth < -kernel::kTolerance) return BoxContact::Apart;
        if (depth <= kernel::kTolerance) overlap = false;
    }
    return overlap ? BoxContact::Overlap : BoxContact::Meet;
}

struct Pair {
    const Candidate *first;
    const Candidate *second;
    bool boxes_overlap;  // boxes that only meet leave no room for shared volume: no boolean then
    kernel::Contact meeting{};
    std::string error;
};

// The pairs are independent and their shapes only read (any held-back cut has run when the volumes
// were taken), so they are compared on every core.
void compare_pairs(std::vector<Pair> &pairs) {
    auto work = [&pairs](std::size_t begin, std::size_t step) {
        for (std::size_t k = begin; k < pairs.size(); k += step) {
            Pair &pair = pairs[k];
            try {
                pair.meeting = kernel::contact(pair.first->body->shape, pair.second->body->shape, pair.boxes_overlap);
            } catch (const kernel::KernelError &e) {
                pair.error = e.what();
            }
        }
    };
    const std::size_t workers =
        std::clamp<std::size_t>(std::min<std::size_t>(std::thread::hardware_concurrency(), pairs.size()), 1, 8);
    std::vector<std::thread> helpers;
    for (std::size_t w = 1; w < workers; ++w) helpers.emplace_back(work, w, workers);
    work(0, workers);
    for (auto &helper : helpers) helper.join();
}

std::string label(tag_t tag, const std::string &name) {
    std::string text = "#";
    text += std::to_string(tag);
    if (!name.empty()) text += ' ', text += name;
    return text;
}
std::string label(const model::Body &body) { return label(body.tag, display_name(body.tag)); }

}  // namespace

InterferenceReport check_interference() {
    auto &store = model::Store::instance();
    std::vector<Candidate> bodies;
    for (auto *body : store.bodies())
        if (!kernel::is_empty(body->shape)) {
            bodies.push_back({body, kernel::bounding_box(body->shape), kernel::volume(body->shape)});
            kernel::prepare_contacts(body->shape);
        }

    InterferenceReport report;
    report.bodies = bodies.size();
    // Sweep along x: only bodies whose x ranges meet are looked at further.
    std::sort(bodies.begin(), bodies.end(), [](const Candidate &l, const Candidate &r) { return l.box[0] < r.box[0]; });
    std::vector<Pair> pairs;
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        for (std::size_t j = i + 1; j < bodies.size() && bodies[j].box[0] <= bodies[i].box[3] + kernel::kTolerance;
             ++j) {
            const BoxContact boxes = box_contact(bodies[i].box, bodies[j].box);
            if (boxes == BoxContact::Apart) continue;
            const Candidate *first = &bodies[i], *second = &bodies[j];
            if (first->body->tag > second->body->tag) std::swap(first, second);
            pairs.push_back({first, second, boxes == BoxContact::Overlap, {}, {}});
        }
    }
    report.compared = pairs.size();
    compare_pairs(pairs);

    for (const Pair &pair : pairs) {
        if (!pair.error.empty())
            throw SessionError("cannot compare bodies " + label(*pair.first->body) + " and " + label(*pair.second->body) +
                               ": " + pair.error);
        // Shared volume must be more than round-off of the smaller body.
        const double threshold = std::max(1e-9, 1e-9 * std::min(pair.first->volume, pair.second->volume));
        if (pair.meeting.shared_volume > threshold)
            report.overlaps.push_back({pair.first->body->tag, pair.second->body->tag, pair.meeting.shared_volume});
        else if (pair.meeting.boundaries_meet)
            report.touching.emplace_back(pair.first->body->tag, pair.second->body->tag);
    }
    std::sort(report.overlaps.begin(), report.overlaps.end(),
              [](const Overlap &l, const Overlap &r) { return std::pair(l.a, l.b) < std::pair(r.a, r.b); });
    std::sort(report.touching.begin(), report.touching.end());
    return report;
}

nlohmann::ordered_json checks_json(const InterferenceReport &report) {
    nlohmann::ordered_json overlaps = nlohmann::ordered_json::array(), touching = nlohmann::ordered_json::array();
    for (auto &o : report.overlaps) overlaps.push_back({{"a", o.a}, {"b", o.b}, {"volume", o.volume}});
    for (auto &[a, b] : report.touching) touching.push_back({a, b});
    return {{"overlaps", overlaps}, {"touching", touching}};
}

std::string checks_text(const InterferenceReport &report, const std::string &session_name) {
    const auto names = display_names();
    auto name = [&](tag_t tag) {
        auto found = names.find(tag);
        return label(tag, found == names.end() ? "" : found->second);
    };
    std::string text = session_name;
    text += ": " + std::to_string(report.bodies) + " bodies, " + std::to_string(report.overlaps.size()) +
            " overlapping pair(s), " + std::to_string(report.touching.size()) + " touching pair(s)\n";
    for (auto &o : report.overlaps) {
        char volume[48];
        std::snprintf(volume, sizeof volume, "%.6f", o.volume);
        text += "  overlap   " + name(o.a) + " / " + name(o.b) + ": shared volume " + volume + " mm3\n";
    }
    for (auto &[a, b] : report.touching) text += "  touching  " + name(a) + " / " + name(b) + "\n";
    return text;
}

}  // namespace diekit::io
