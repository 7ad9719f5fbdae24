// The studio's host-side pieces that the HTTP tests cannot reach deterministically: a request the
// host never took in time is answered 503 and never run; a snapshot of the work part brings back its
// objects and tags, and the tags handed out after it are handed out again. And the session form the
// studio records for a dialog with values after an Apply: its events, played in order by diehost run.
#include "diehost_command.hpp"
#include "host_fixture.hpp"
#include "studio/command_queue.hpp"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

using namespace std::chrono_literals;
using diekit::studio::CommandQueue;

TEST(StudioQueue, ARequestNotStartedInTimeIsAnswered503AndNeverRuns) {
    CommandQueue queue;
    queue.set_activity("flatinsert: apply");
    // No host takes it: the wait runs out while it is still queued.
    auto reply = queue.call({"GET /api/state", ""}, 20ms, 1000ms);
    EXPECT_EQ(reply.status, 503);
    EXPECT_NE(reply.body.find("busy (flatinsert: apply for"), std::string::npos) << reply.body;

    // The host now finds only the request posted after it; the dropped one is skipped.
    std::thread host([&] {
        auto command = queue.take();
        ASSERT_TRUE(command);
        EXPECT_EQ(command->request().route, "GET /api/mesh");
        command->reply({200, "application/json", "{}", ""});
    });
    EXPECT_EQ(queue.call({"GET /api/mesh", ""}, 60000ms, 60000ms).status, 200);
    host.join();

    queue.close();
    EXPECT_EQ(queue.take(), nullptr);
    EXPECT_EQ(queue.call({"GET /api/state", ""}, 1000ms, 1000ms).status, 503) << "a closed queue answers at once";
}

class StoreSnapshot : public HostTest {};

TEST_F(StoreSnapshot, RestoreBringsBackObjectsTagsAndTheTagCounter) {
    auto &made = store().add_body(diekit::kernel::make_box({}, {0, 0, 0}, 10, 10, 10), true);
    made.name = "plate";
    const tag_t plate = made.tag;  // objects are records of the store: a restore makes them anew
    const auto faces = store().face_tags(made);
    const auto snapshot = store().snapshot();

    store().add_message({"note", "", 0, "after the snapshot"});
    const tag_t later = store().add_body(diekit::kernel::make_box({}, {20, 0, 0}, 1, 1, 1), true).tag;
    store().set_shape(store().body(plate), diekit::kernel::make_box({}, {0, 0, 0}, 5, 5, 5));
    store().body(plate).name = "renamed";
    EXPECT_EQ(store().find(faces[0]), nullptr) << "the new shape's faces are new";

    store().restore(snapshot);
    EXPECT_EQ(store().bodies().size(), 1u);
    EXPECT_EQ(store().body(plate).name, "plate");
    EXPECT_NEAR(diekit::kernel::volume(store().body(plate).shape), 1000, 1e-9);
    EXPECT_EQ(store().face_tags(store().body(plate)), faces) << "face tags as they were";
    EXPECT_EQ(store().sub_index(faces[2]), 2);
    EXPECT_TRUE(store().messages().empty());
    EXPECT_EQ(store().add_body(diekit::kernel::make_box({}, {20, 0, 0}, 1, 1, 1), true).tag, later)
        << "the tag handed out after the snapshot is handed out again";

    // A restored snapshot is left as it was: restoring it twice gives the same part.
    store().restore(snapshot);
    EXPECT_EQ(store().bodies().size(), 1u);
}

TEST(StudioSessionEvents, InterleavedValuesAndButtonsPlayInOrderAndMalformedOnesAreRefused) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("studio_events_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    auto play = [&](const std::string &events) {
        std::ofstream(dir / "s.json") << R"({"objects": [
            {"name": "plate", "block": {"corner": [-50, -50, 0], "size": [100, 100, 20]}},
            {"name": "p1", "cylinder": {"base": [-20, 0, -5], "height": 40, "diameter": 8}},
            {"name": "p2", "cylinder": {"base": [20, 0, -5], "height": 40, "diameter": 8}}],
          "steps": [{"plugin": "flatinsert", "events": )" + events + "}]}";
        return run_diehost("run " + (dir / "s.json").string() + " --report " + (dir / "r.json").string() + " -q");
    };
    // One insert per Apply: p1's, then p2's with the plate still selected from before.
    auto played = play(R"([{"set": "bodySelect0", "value": ["p1"]}, {"set": "bodySelect01", "value": ["plate"]},
                           {"press": "apply"}, {"set": "bodySelect0", "value": ["p2"]}, {"press": "ok"}])");
    ASSERT_EQ(played.status, 0) << played.output;
    auto report = nlohmann::json::parse(std::ifstream(dir / "r.json"));
    EXPECT_EQ(report["bodies"].size(), 5u);
    EXPECT_EQ(report["steps"][0]["pressed"], nlohmann::json::parse(R"(["apply", "ok"])"));
    EXPECT_EQ(report["steps"][0]["dialog"]["bodySelect0"]["value"].size(), 1u);

    const std::pair<const char *, const char *> refused[] = {
        {R"([{"set": "bodySelect0"}])", "event 1: expects"},
        {R"({"set": "bodySelect0"})", "'events' expects a list"},
        {R"([{"press": "ok"}, {"set": "bodySelect0", "value": ["p1"]}])", "block 'bodySelect0' set after the dialog closed"},
        {R"([{"press": "apply", "set": "x", "value": 1}])", "event 1: expects"},
    };
    for (auto &[events, reason] : refused) {
        auto outcome = play(events);
        EXPECT_EQ(outcome.status, 1) << events;
        EXPECT_NE(outcome.output.find(reason), std::string::npos) << events << "\n" << outcome.output;
    }
    fs::remove_all(dir);
}

}  // namespace
