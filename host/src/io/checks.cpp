#include "io/checks.hpp"

#include "io/roles.hpp"
#include "kernel/contact.hpp"
#include "model/errors.hpp"
#include "model/store.hpp"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <map>
#include <optional>
#include <cstdio>
#include <thread>

namespace diekit::io {

namespace {

struct Candidate {
    const model::Body *body;
    kernel::Box box;
    double volume;
    bool block;  // a solid that fills its box
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

bool contains(const kernel::Box &outer, const kernel::Box &inner) {
    for (int i = 0; i < 3; ++i)
        if (inner[i] < outer[i] || inner[i + 3] > outer[i + 3]) return false;
    return true;
}

// Two blocks along the axes meet as their boxes do: the shared volume is the common box, and the
// distance between the boundaries follows from the gaps between the sides.
kernel::Contact block_contact(const kernel::Box &a, const kernel::Box &b, bool boxes_overlap) {
    kernel::Contact result;
    double apart = 0, shared = 1;
    for (int i = 0; i < 3; ++i) {
        const double depth = std::min(a[i + 3], b[i + 3]) - std::max(a[i], b[i]);
        if (depth < 0) apart += depth * depth;
        shared *= std::max(depth, 0.0);
    }
    double gap = std::sqrt(apart);
    if (apart == 0 && (contains(a, b) || contains(b, a))) {
        const kernel::Box &outer = contains(a, b) ? a : b, &inner = contains(a, b) ? b : a;
        gap = std::numeric_limits<double>::infinity();
        for (int i = 0; i < 3; ++i) gap = std::min({gap, inner[i] - outer[i], outer[i + 3] - inner[i + 3]});
    }
    result.boundaries_meet = gap <= kernel::kTolerance;
    result.may_share = boxes_overlap;
    if (boxes_overlap) result.shared_volume = shared;
    return result;
}

struct Pair {
    const Candidate *first;
    const Candidate *second;
    bool boxes_overlap;  // boxes that only meet leave no room for shared volume: no boolean then
    kernel::Contact meeting{};
    std::string error;
    std::optional<std::size_t> same_as;  // the pair with the same B-reps placed alike, whose answer this is
    const kernel::Shape &a() const { return first->body->shape; }
    const kernel::Shape &b() const { return second->body->shape; }
};

// Runs work(k) for k in [0, count) on every core. work must not throw.
template <class F>
void on_every_core(std::size_t count, F &&work) {
    std::atomic<std::size_t> next{0};
    auto worker = [&] {
        for (std::size_t k = next++; k < count; k = next++) work(k);
    };
    const std::size_t workers = std::clamp<std::size_t>(std::min<std::size_t>(std::thread::hardware_concurrency(), count), 1, 8);
    std::vector<std::thread> helpers;
    for (std::size_t w = 1; w < workers; ++w) {
        try {
            helpers.emplace_back(worker);
        } catch (const std::exception &) {
            break;  // no more threads to be had: the ones running share the rest
        }
    }
    worker();
    for (auto &helper : helpers) helper.join();
}

// Runs compare on a pair and keeps any failure as the pair's error: in a worker thread nothing may
// escape (an exception leaving a thread ends the process).
template <class F>
void guarded_compare(Pair &pair, F &&compare) {
    try {
        compare(pair);
    } catch (const std::bad_alloc &) {
        pair.error = "out of memory";
    } catch (const std::exception &e) {
        pair.error = e.what();
    } catch (...) {
        pair.error = "unknown failure";
    }
}

// The pairs are independent and their shapes only read (any held-back cut has run when the volumes
// were taken), so they are compared on every core. The shared volume comes from a common of the pair
// taken near the smaller body (see kernel::contact); boxes that only meet leave no room for one.
void compare_pairs(std::vector<Pair *> &pairs) {
    on_every_core(pairs.size(), [&](std::size_t k) {
        guarded_compare(*pairs[k], [](Pair &pair) { pair.meeting = kernel::contact(pair.a(), pair.b(), pair.boxes_overlap); });
    });
}

// Answers what needs no pair test: two blocks, the same B-rep at the same place, and pairs made of the
// same B-reps as an earlier pair and placed alike (the earlier pair is compared, this one copies it).
std::vector<Pair *> settle_without_kernel(std::vector<Pair> &pairs) {
    std::vector<Pair *> left;
    std::map<kernel::PairKey, std::size_t> first_of_key;
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        Pair &pair = pairs[k];
        if (pair.first->block && pair.second->block) {
            pair.meeting = block_contact(pair.first->box, pair.second->box, pair.boxes_overlap);
        } else if (kernel::same_shape(pair.a(), pair.b())) {
            pair.meeting = {pair.first->volume, true, true};
        } else if (auto [it, added] = first_of_key.emplace(kernel::pair_key(pair.a(), pair.b()), k); !added) {
            pair.same_as = it->second;
        } else {
            left.push_back(&pair);
        }
    }
    return left;
}

std::string label(tag_t tag, const std::string &name) {
    std::string text = "#";
    text += std::to_string(tag);
    if (!name.empty()) text += ' ', text += name;
    return text;
}

}  // namespace

InterferenceReport check_interference() {
    auto &store = model::Store::instance();
    InterferenceReport report;
    std::vector<Candidate> bodies;
    for (auto *body : store.bodies()) {
        try {
            if (kernel::is_empty(body->shape)) continue;
            bodies.push_back({body, kernel::bounding_box(body->shape), kernel::volume(body->shape),
                              kernel::is_axis_block(body->shape)});
            kernel::prepare_contacts(body->shape);
        } catch (const kernel::KernelError &e) {
            // A body the kernel cannot measure cannot be compared with any other.
            report.uncompared.push_back({body->tag, NULL_TAG, e.what()});
        }
    }

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
            pairs.push_back({first, second, boxes == BoxContact::Overlap, {}, {}, std::nullopt});
        }
    }
    // Reproducible order whatever the sweep found first: by tags.
    std::sort(pairs.begin(), pairs.end(), [](const Pair &l, const Pair &r) {
        return std::pair(l.first->body->tag, l.second->body->tag) < std::pair(r.first->body->tag, r.second->body->tag);
    });
    report.compared = pairs.size();
    std::vector<Pair *> left = settle_without_kernel(pairs);
    compare_pairs(left);

    for (Pair &pair : pairs) {
        const Pair &answer = pair.same_as ? pairs[*pair.same_as] : pair;
        const tag_t a = pair.first->body->tag, b = pair.second->body->tag;
        if (!answer.error.empty()) {
            report.uncompared.push_back({a, b, answer.error});
            continue;
        }
        // Shared volume must be more than round-off of the smaller body.
        const double threshold = std::max(1e-9, 1e-9 * std::min(pair.first->volume, pair.second->volume));
        if (answer.meeting.shared_volume > threshold)
            report.overlaps.push_back({a, b, answer.meeting.shared_volume});
        else if (answer.meeting.boundaries_meet)
            report.touching.emplace_back(a, b);
    }
    std::sort(report.uncompared.begin(), report.uncompared.end(),
              [](const Uncompared &l, const Uncompared &r) { return std::pair(l.a, l.b) < std::pair(r.a, r.b); });
    return report;
}

nlohmann::ordered_json checks_json(const InterferenceReport &report) {
    nlohmann::ordered_json overlaps = nlohmann::ordered_json::array(), touching = nlohmann::ordered_json::array();
    for (auto &o : report.overlaps) overlaps.push_back({{"a", o.a}, {"b", o.b}, {"volume", o.volume}});
    for (auto &[a, b] : report.touching) touching.push_back({a, b});
    nlohmann::ordered_json uncompared = nlohmann::ordered_json::array();
    for (auto &u : report.uncompared) uncompared.push_back({{"a", u.a}, {"b", u.b}, {"reason", u.reason}});
    return {{"overlaps", overlaps}, {"touching", touching}, {"uncompared", uncompared}};
}

std::string checks_text(const InterferenceReport &report, const std::string &session_name) {
    const auto names = display_names();
    auto name = [&](tag_t tag) {
        auto found = names.find(tag);
        return label(tag, found == names.end() ? "" : found->second);
    };
    std::string text = session_name;
    text += ": " + std::to_string(report.bodies) + " bodies, " + std::to_string(report.overlaps.size()) +
            " overlapping pair(s), " + std::to_string(report.touching.size()) + " touching pair(s)";
    if (!report.uncompared.empty()) text += ", " + std::to_string(report.uncompared.size()) + " pair(s) not compared";
    text += "\n";
    for (auto &o : report.overlaps) {
        char volume[48];
        std::snprintf(volume, sizeof volume, "%.6f", o.volume);
        text += "  overlap   " + name(o.a) + " / " + name(o.b) + ": shared volume " + volume + " mm3\n";
    }
    for (auto &[a, b] : report.touching) text += "  touching  " + name(a) + " / " + name(b) + "\n";
    for (auto &u : report.uncompared)
        text += "  uncompared " + name(u.a) + (u.b == NULL_TAG ? "" : " / " + name(u.b)) + ": " + u.reason + "\n";
    return text;
}

}  // namespace diekit::io
