// How long the picture of a graph takes: the DOT text from the model, then
// Graphviz's layered layout and its SVG, for graphs of 10, 100 and 1,000
// filters made by the benchmark graph's generator (as many connections as
// filters).  Run from a Release build:  build-bench/bench/quorvel_diagram_bench
//
// Measured on the project's 2-core machine (Release, Graphviz 2.43), median
// of three layouts (the DOT text itself takes 0.015, 0.16 and 1.9 ms):
//     10 filters          2.1 ms
//    100 filters         20   ms
//  1,000 filters        1.7  s
// so the window lays a graph out off its own thread, and asks before it lays
// out one of more than 1,000 filters.
#include <benchmark/benchmark.h>

#include "analysis/GraphAnalyzer.hpp"
#include "bench/BenchGraph.hpp"
#include "diagram/GraphDiagram.hpp"
#include "diagram/GraphLayout.hpp"
#include "tests/support/AnalysisHarness.hpp"

namespace {

using namespace quorvel;

model::Graph GraphOf(int filters) {
    const testing::Bytes file = bench::BenchGraphFile(filters, filters);
    ReportView report;
    AnalysisResult result = AnalyzeGraphBytes(file, "bench.grf", report, testing::TestEnvironment());
    return std::move(result.graph);
}

void BM_DotText(benchmark::State& state) {
    const model::Graph graph = GraphOf(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(diagram::DotText(graph, "bench.grf"));
}
BENCHMARK(BM_DotText)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_LayoutAndSvg(benchmark::State& state) {
    if (!diagram::LayoutAvailable()) {
        state.SkipWithError("built without Graphviz");
        return;
    }
    const std::string dot = diagram::DotText(GraphOf(static_cast<int>(state.range(0))), "bench.grf");
    for (auto _ : state) benchmark::DoNotOptimize(diagram::RenderSvg(dot));
}
BENCHMARK(BM_LayoutAndSvg)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

}  // namespace

BENCHMARK_MAIN();
