// The outputs beyond STEP: the drawing (hidden-line removal of four views and the SVG) and the
// interference checks, on the flatinsert and flipdie examples, on a 40-body scene (a plate with 12
// punches and their inserts, seven more plates in the stack, eight springs) and on a plate with 100
// punches through flatinsert. Only the output itself is timed.
#include "io/checks.hpp"
#include "io/session.hpp"
#include "io/svg.hpp"
#include "model/store.hpp"
#include "scenes.hpp"

#include <benchmark/benchmark.h>

namespace {

nlohmann::ordered_json forty_bodies() {
    nlohmann::ordered_json objects = nlohmann::ordered_json::array();
    objects.push_back({{"name", "die_plate"}, {"block", {{"corner", {-150, -100, 0}}, {"size", {300, 200, 25}}}}, {"color", 100}});
    for (int i = 0; i < 12; ++i)
        objects.push_back({{"name", "punch"},
                           {"cylinder", {{"base", {-110 + 40 * (i % 6), -40 + 60 * (i / 6), -10}}, {"axis", {0, 0, 1}},
                                         {"height", 60}, {"diameter", 8 + i % 3 * 2}}}});
    const double thickness[] = {20, 30, 15, 25, 20, 35, 40};
    const int color[] = {206, 120, 95, 98, 128, 95, 108};
    double z = 25;
    for (int i = 0; i < 7; ++i) {
        objects.push_back({{"name", "plate" + std::to_string(i)},
                           {"block", {{"corner", {-150, -100, z}}, {"size", {300, 200, thickness[i]}}}},
                           {"color", color[i]}});
        z += thickness[i];
    }
    for (int i = 0; i < 8; ++i)
        objects.push_back({{"name", "spring"},
                           {"cylinder", {{"base", {-120 + 240 * (i % 2), -75 + 50 * (i / 2), 25}}, {"axis", {0, 0, 1}},
                                         {"height", 40}, {"diameter", 25}}}});
    nlohmann::ordered_json step = {{"plugin", "flatinsert"},
                                   {"values", {{"bodySelect0", {"punch"}}, {"bodySelect01", {"die_plate"}},
                                               {"expression0", 2}, {"expression01", 1}, {"toggle0", true}}},
                                   {"press", {"apply", "cancel"}}};
    return {{"name", "forty"}, {"objects", objects}, {"steps", {step}}};
}

void play(const std::string &scene) {
    diekit::model::Store::instance().set_echo(false);
    if (scene == "forty")
        diekit::io::run_session_json(forty_bodies(), DIEKIT_SOURCE_DIR);
    else if (scene == "hundred")
        diekit::io::run_session_json(bench_scenes::plate_with_punches(100), DIEKIT_SOURCE_DIR);
    else
        diekit::io::run_session(std::string(DIEKIT_SOURCE_DIR) + "/examples/" + scene + ".json");
}

void drawing(benchmark::State &state, const std::string &scene, diekit::kernel::HiddenLineMethod method) {
    play(scene);
    state.counters["bodies"] = static_cast<double>(diekit::model::Store::instance().bodies().size());
    for (auto _ : state) benchmark::DoNotOptimize(diekit::io::drawing_svg(scene, {method}));
}

void checks(benchmark::State &state, const std::string &scene) {
    play(scene);
    state.counters["bodies"] = static_cast<double>(diekit::model::Store::instance().bodies().size());
    for (auto _ : state) benchmark::DoNotOptimize(diekit::io::check_interference());
}

using diekit::kernel::HiddenLineMethod;
BENCHMARK_CAPTURE(drawing, flatinsert, "flatinsert", HiddenLineMethod::Mesh)
    ->Name("Drawing/flatinsert")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(drawing, flipdie, "flipdie", HiddenLineMethod::Mesh)
    ->Name("Drawing/flipdie")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(drawing, forty, "forty", HiddenLineMethod::Mesh)
    ->Name("Drawing/40 bodies")->Unit(benchmark::kMillisecond)->Iterations(3);
// The exact algorithm for comparison (on flipdie's front view it takes seconds).
BENCHMARK_CAPTURE(drawing, forty_exact, "forty", HiddenLineMethod::Exact)
    ->Name("Drawing/40 bodies, exact HLR")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(drawing, flatinsert_exact, "flatinsert", HiddenLineMethod::Exact)
    ->Name("Drawing/flatinsert, exact HLR")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(checks, flipdie, "flipdie")->Name("Checks/flipdie")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(checks, forty, "forty")->Name("Checks/40 bodies")->Unit(benchmark::kMillisecond)->Iterations(3);
// One iteration: the first check of a part also indexes its large plate.
BENCHMARK_CAPTURE(checks, hundred, "hundred")->Name("Checks/plate with 100 punches and inserts")->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
