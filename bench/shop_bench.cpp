// The shop outputs of the demo die: the parts list, every plate sheet (hole finding, hidden lines,
// section) and every wire-cutting profile written as DXF, made from scratch each iteration after one
// play of the session. Only the outputs are timed.
#include "io/dxf_profiles.hpp"
#include "io/session.hpp"
#include "io/shop_outputs.hpp"
#include "model/store.hpp"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace {

void shop_outputs(benchmark::State &state) {
    diekit::model::Store::instance().set_echo(false);
    diekit::io::run_session(std::string(DIEKIT_SOURCE_DIR) + "/examples/demo.json");
    const auto dir = std::filesystem::temp_directory_path() / ("diekit_shop_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    for (auto _ : state) {
        diekit::io::ShopOutputs shop("demo");
        benchmark::DoNotOptimize(shop.parts().size());
        benchmark::DoNotOptimize(shop.sheets().size());
        for (const auto &[file, profile] : shop.profiles()) diekit::io::write_dxf(profile, (dir / file).string());
    }
    state.counters["sheets"] = static_cast<double>(diekit::io::ShopOutputs("demo").sheets().size());
    std::filesystem::remove_all(dir);
}

// Parts of the whole: the parts list alone, and the plates with their hole tables alone.
void shop_part(benchmark::State &state, bool parts) {
    diekit::model::Store::instance().set_echo(false);
    diekit::io::run_session(std::string(DIEKIT_SOURCE_DIR) + "/examples/demo.json");
    for (auto _ : state) {
        diekit::io::ShopOutputs shop("demo");
        benchmark::DoNotOptimize(parts ? shop.parts().size() : shop.plates().size());
    }
}

BENCHMARK_CAPTURE(shop_part, parts, true)->Name("Shop/demo parts list")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(shop_part, plates, false)->Name("Shop/demo hole tables")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(shop_outputs)->Name("Shop/demo (parts list, sheets, DXF)")->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
