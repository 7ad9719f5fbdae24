// Apply time of every example session: the wall time of the plug-ins' callbacks as the host measures
// it (the report's steps[].ms), one benchmark per example. Fixture creation and output writing are
// not part of the figure.
#include "io/session.hpp"
#include "model/store.hpp"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {

void apply_time(benchmark::State &state, const std::string &example) {
    auto &store = diekit::model::Store::instance();
    store.set_echo(false);
    std::string path = std::string(DIEKIT_SOURCE_DIR) + "/examples/" + example;
    for (auto _ : state) {
        auto result = diekit::io::run_session(path);
        double ms = 0;
        for (auto &step : result.steps) ms += step.ms;
        state.SetIterationTime(ms / 1000.0);
    }
}

// Registers every examples/*.json except the full demo, which has a benchmark of its own.
int register_examples() {
    std::filesystem::path folder = std::filesystem::path(DIEKIT_SOURCE_DIR) / "examples";
    for (auto &entry : std::filesystem::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".json" || name == "demo.json") continue;
        benchmark::RegisterBenchmark(("Apply/" + entry.path().stem().string()).c_str(),
                                     [name](benchmark::State &state) { apply_time(state, name); })
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(5);
    }
    return 0;
}

const int registered = register_examples();

}  // namespace
