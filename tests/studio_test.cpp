// The studio's host-side pieces that the HTTP tests cannot reach deterministically: a request the
// host never took in time is answered 503 and never run; a snapshot of the work part brings back its
// objects and tags, and the tags handed out after it are handed out again.
#include "host_fixture.hpp"
#include "studio/command_queue.hpp"

#include <chrono>
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

}  // namespace
