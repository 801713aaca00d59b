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
// so the window lays a graph out off its own thread.
#include <benchmark/benchmark.h>

#include "analysis/GraphAnalyzer.hpp"
#include "bench/BenchGraph.hpp"
#include "diagram/GraphDiagram.hpp"
#include "diagram/GraphLayout.hpp"
#include "tests/support/AnalysisHarness.hpp"
#include "tests/support/HostileGraphs.hpp"

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

// The picture's budget: graphs small as files but costly to lay out, beside
// the estimate made before any layout ("estimate_s").  Each layout runs under
// a limit of 60 s: "stopped" counts those that reached it.
//
// Measured on the project's 2-core machine (Release, Graphviz 2.43; the
// layouts vary by a third from run to run):
//   filters/connections  estimate   layout
//        10/200            0.6 s     0.3 s
//        30/500             25 s      14-30 s
//       100/300             14 s     7-12 s
//       500/620             14 s     1.2-1.6 s
//      1000/1000           5.3 s     1.2 s
//    chain of 5000         5.3 s     1.9 s
// and the benchmark graph of 1,000, 1,500, 2,000 and 3,000 filters: 4.1,
// 10, 16 and 39 s estimated, 2, 10-14, 6-11 and 44-78 s laid out.
void BM_HostileLayout(benchmark::State& state) {
    if (!diagram::LayoutAvailable()) {
        state.SkipWithError("built without Graphviz");
        return;
    }
    const int filters = static_cast<int>(state.range(0));
    const int connections = static_cast<int>(state.range(1));
    const model::Graph graph =
        connections < 0 ? testing::ChainGraph(filters) : testing::RandomConnectionsGraph(filters, connections);
    const std::string dot = diagram::DotText(graph, "hostile.grf");
    diagram::LayoutLimits limits;
    limits.seconds = 60;
    int stopped = 0;
    for (auto _ : state) {
        try {
            benchmark::DoNotOptimize(diagram::RenderSvg(dot, limits));
        } catch (const diagram::LayoutError&) {
            ++stopped;
        }
    }
    state.counters["estimate_s"] = diagram::EstimateLayout(graph).seconds;
    state.counters["stopped"] = stopped;
}
BENCHMARK(BM_HostileLayout)
    ->Args({10, 200})
    ->Args({30, 500})
    ->Args({100, 300})
    ->Args({500, 620})
    ->Args({1000, 1000})
    ->Args({5000, -1})
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

void BM_EstimateLayout(benchmark::State& state) {
    const model::Graph graph = testing::RandomConnectionsGraph(999, static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(diagram::EstimateLayout(graph));
}
BENCHMARK(BM_EstimateLayout)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
