// Scale series: one die plate with 10, 50 and 200 round punches on a grid through flatinsert. The time
// is the plug-in's Apply as the host measures it (the report's steps[].ms); the counter ms_per_punch is
// that time divided by the number of punches, to compare the cost of one insert at each size.
#include "io/session.hpp"
#include "model/store.hpp"
#include "scenes.hpp"

#include <benchmark/benchmark.h>


namespace {

void punches(benchmark::State &state) {
    const int n = static_cast<int>(state.range(0));
    auto &store = diekit::model::Store::instance();
    store.set_echo(false);
    const auto session = bench_scenes::plate_with_punches(n);
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
BENCHMARK(punches)->Name("Scale/flatinsert")->Arg(500)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
