// Scale series: one die plate with 10, 50 and 200 round punches on a grid through flatinsert. The time
// is the plug-in's Apply as the host measures it (the report's steps[].ms); the counter ms_per_punch is
// that time divided by the number of punches, to compare the cost of one insert at each size.
#include "io/session.hpp"
#include "model/store.hpp"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// A plate big enough for a square grid of n punches 30 apart, each Ø10 standing through it.
nlohmann::ordered_json plate_with_punches(int n) {
    const int per_row = static_cast<int>(std::ceil(std::sqrt(n)));
    const double pitch = 30, margin = 20, side = per_row * pitch + 2 * margin;
    nlohmann::ordered_json objects = nlohmann::ordered_json::array();
    objects.push_back({{"name", "plate"}, {"block", {{"corner", {0, 0, 0}}, {"size", {side, side, 25}}}}, {"color", 100}});
    for (int i = 0; i < n; ++i) {
        const double x = margin + pitch * (i % per_row + 0.5), y = margin + pitch * (i / per_row + 0.5);
        objects.push_back({{"name", "punch"},
                           {"cylinder", {{"base", {x, y, -10}}, {"axis", {0, 0, 1}}, {"height", 60}, {"diameter", 10}}}});
    }
    nlohmann::ordered_json step = {{"plugin", "flatinsert"},
                                   {"values", {{"bodySelect0", {"punch"}}, {"bodySelect01", {"plate"}}, {"expression0", 2},
                                               {"expression01", 1}, {"toggle0", true}, {"toggle03", true}}},
                                   {"press", {"apply", "cancel"}}};
    return {{"name", "scale" + std::to_string(n)}, {"objects", objects}, {"steps", {step}}};
}

void punches(benchmark::State &state) {
    const int n = static_cast<int>(state.range(0));
    auto &store = diekit::model::Store::instance();
    store.set_echo(false);
    const auto session = plate_with_punches(n);
    double per_punch = 0;
    for (auto _ : state) {
        auto result = diekit::io::run_session_json(session, DIEKIT_SOURCE_DIR);
        double ms = 0;
        for (auto &step : result.steps) ms += step.ms;
        state.SetIterationTime(ms / 1000.0);
        per_punch += ms / n;
        if (store.bodies().size() != static_cast<std::size_t>(2 * n + 1)) state.SkipWithError("not one insert per punch");
    }
    state.counters["ms_per_punch"] = benchmark::Counter(per_punch, benchmark::Counter::kAvgIterations);
}

BENCHMARK(punches)->Name("Scale/flatinsert")->Arg(10)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(punches)->Name("Scale/flatinsert")->Arg(50)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(punches)->Name("Scale/flatinsert")->Arg(200)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
