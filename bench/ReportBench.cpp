// Throughput of the analysis on a large graph (about 6 MB), beside the
// cheapest thing that also reads every code unit of it: converting the same
// bytes from UTF-16LE to UTF-8 with iconv.  Every benchmark reports bytes of
// graph file per second, so the figures compare side by side.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include <unistd.h>

#include "analysis/GraphAnalyzer.hpp"
#include "report/ReportExport.hpp"
#include "bench/BenchGraph.hpp"

namespace {

using quorvel::testing::Bytes;

// Discards what is written, so that only the writer's own work is timed.
class NullBuffer final : public std::streambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

const Bytes& BenchFile() {
    static const Bytes file = quorvel::bench::BenchGraphFile();
    return file;
}

// The graph file on disk for the file benchmark; removed at exit.
class TempGraphFile {
public:
    TempGraphFile() {
        path_ = (std::filesystem::temp_directory_path() / ("quorvel-bench-" + std::to_string(::getpid()) + ".grf"))
                    .string();
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        const Bytes& file = BenchFile();
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    }
    ~TempGraphFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

const std::string& BenchFilePath() {
    static const TempGraphFile file;
    return file.path();
}

void SetBytes(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
    state.counters["file_bytes"] = static_cast<double>(bytes);
}

// A stopped analysis would time less than the whole graph.
bool CheckComplete(benchmark::State& state, const quorvel::AnalysisResult& result) {
    if (result.complete) return true;
    state.SkipWithError(("analysis stopped: " + result.stopped.value_or(quorvel::AnalysisStop{}).reason).c_str());
    return false;
}

void BM_AnalyzeBytes(benchmark::State& state) {
    const Bytes& file = BenchFile();
    quorvel::ReportView report;
    for (auto _ : state) {
        const auto result = quorvel::AnalyzeGraphBytes(file, "bench.grf", report);
        if (!CheckComplete(state, result)) return;
        benchmark::DoNotOptimize(report.Empty());
    }
    state.counters["report_lines"] = static_cast<double>(report.LineCount());
    SetBytes(state, file.size());
}

void BM_AnalyzeBytesAndWriteText(benchmark::State& state) {
    const Bytes& file = BenchFile();
    quorvel::ReportView report;
    NullBuffer sink;
    std::ostream out(&sink);
    for (auto _ : state) {
        const auto result = quorvel::AnalyzeGraphBytes(file, "bench.grf", report);
        if (!CheckComplete(state, result)) return;
        quorvel::WriteTextReport(out, report);
    }
    SetBytes(state, file.size());
}

// As the command line runs it: a new report each time, so the cost of
// growing and freeing the report's storage is timed too.
void BM_AnalyzeBytesAndWriteTextNewReport(benchmark::State& state) {
    const Bytes& file = BenchFile();
    NullBuffer sink;
    std::ostream out(&sink);
    for (auto _ : state) {
        quorvel::ReportView report;
        const auto result = quorvel::AnalyzeGraphBytes(file, "bench.grf", report);
        if (!CheckComplete(state, result)) return;
        quorvel::WriteTextReport(out, report);
    }
    SetBytes(state, file.size());
}

void BM_AnalyzeFileAndWriteText(benchmark::State& state) {
    const std::string& path = BenchFilePath();
    quorvel::ReportView report;
    NullBuffer sink;
    std::ostream out(&sink);
    for (auto _ : state) {
        const auto result = quorvel::AnalyzeGraphFile(path, report);
        if (!CheckComplete(state, result)) return;
        quorvel::WriteTextReport(out, report);
    }
    SetBytes(state, BenchFile().size());
}

// The baseline: glibc's iconv over the same bytes, through a 64 KiB output
// buffer as the iconv program uses one.
void BM_IconvUtf16ToUtf8(benchmark::State& state) {
    const Bytes& file = BenchFile();
    const iconv_t cd = iconv_open("UTF-8", "UTF-16LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        state.SkipWithError("iconv_open(UTF-8, UTF-16LE) failed");
        return;
    }
    std::vector<char> output(64 * 1024);
    std::size_t written = 0;
    for (auto _ : state) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(reinterpret_cast<const char*>(file.data()));
        std::size_t inLeft = file.size();
        written = 0;
        while (inLeft > 0) {
            char* out = output.data();
            std::size_t outLeft = output.size();
            const std::size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
            written += output.size() - outLeft;
            benchmark::DoNotOptimize(output.data());
            if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
                state.SkipWithError("iconv stopped before the end of the graph");
                iconv_close(cd);
                return;
            }
        }
    }
    iconv_close(cd);
    state.counters["utf8_bytes"] = static_cast<double>(written);
    SetBytes(state, file.size());
}

// The probe alone: 64 MiB of container bytes and no version text at any
// 512-byte boundary, so the analysis probes to the end of the buffer and
// stops there.
void BM_ProbeWithoutGraphStream(benchmark::State& state) {
    static const Bytes buffer = [] {
        Bytes b(64u << 20);
        std::uint32_t x = 0x9E3779B9u;  // xorshift: container-like noise, the same every run
        for (auto& byte : b) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            byte = static_cast<std::uint8_t>(x);
        }
        static const std::uint8_t kSignature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
        std::copy(std::begin(kSignature), std::end(kSignature), b.begin());
        return b;
    }();
    quorvel::ReportView report;
    for (auto _ : state) {
        const auto result = quorvel::AnalyzeGraphBytes(buffer, "noise.grf", report);
        if (result.complete || result.stopped->offset != buffer.size()) {
            state.SkipWithError("the probe stopped before the end of the buffer");
            return;
        }
        benchmark::DoNotOptimize(report.Empty());
    }
    SetBytes(state, buffer.size());
}

BENCHMARK(BM_AnalyzeBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnalyzeBytesAndWriteText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnalyzeBytesAndWriteTextNewReport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnalyzeFileAndWriteText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvUtf16ToUtf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProbeWithoutGraphStream)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
