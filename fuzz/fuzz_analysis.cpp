// fuzz_analysis: the whole analysis of a graph file held in memory, once with
// an empty catalog and once with a small fixed one.  The analysis must end
// through its own failure path, whatever the bytes; the checks below hold for
// any input.  Every report writer then runs on the second result, whose lines
// also name catalog entries; the first only goes through the plain-text
// writer (the writers' own target reads every format back, far faster than
// a whole analysis could feed them).
#include <cstddef>
#include <cstdint>
#include <span>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "analysis/GraphAnalyzer.hpp"
#include "catalog/FilterCatalog.hpp"
#include "fuzz/FuzzCheck.hpp"
#include "report/ReportExport.hpp"
#include "tests/support/AnalysisHarness.hpp"
#include "tests/support/WellKnown.hpp"

// Under AddressSanitizer, every allocation made while the analysis runs is
// watched: none may be larger than the report the file is allowed to give,
// so that no count read from the file decides how much memory is taken.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORVEL_FUZZ_WATCH_ALLOCATIONS 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define QUORVEL_FUZZ_WATCH_ALLOCATIONS 1
#endif

#ifdef QUORVEL_FUZZ_WATCH_ALLOCATIONS
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, std::size_t),
                                                         void (*free_hook)(const volatile void*));
#endif

namespace {

using namespace quorvel;
namespace wk = quorvel::wellknown;

bool gWatching = false;
std::size_t gLargest = 0;

[[maybe_unused]] void OnMalloc(const volatile void*, std::size_t size) {
    if (gWatching && size > gLargest) gLargest = size;
}
[[maybe_unused]] void OnFree(const volatile void*) {}

bool InstallAllocationWatch() {
#ifdef QUORVEL_FUZZ_WATCH_ALLOCATIONS
    return __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
#else
    return false;
#endif
}

// A few filters the seed graphs name: a plain filter, a kernel-streaming
// device known by its path (another instance of the same device), a DMO, and
// names outside ASCII.
const FilterCatalog& FixedCatalog() {
    static const FilterCatalog catalog = [] {
        FilterCatalog c;
        c.AddFilter("AVI Splitter", MakeGuid(wk::kAviSplitter));
        c.AddFilter("Cam\xE9ra USB \x80", kProxyClsid,
                    "\\\\?\\usb#vid_046d&pid_0825&mi_02#7&1f00aa&0&0002#{65e8773d-8f56-11d0-a3b9-00a0c9223196}"
                    "\\global");
        c.AddFilter("Default DirectSound Device", MakeGuid(wk::kDirectSoundRenderer));
        c.AddFilter("Video Renderer", MakeGuid(wk::kVideoMixingRenderer));
        c.AddDmo("Mpeg43 Decoder DMO", MakeGuid(wk::kMpeg43DecoderDmo));
        c.AddDmo("WMAudio Decoder DMO", MakeGuid(wk::kWmaDecoderDmo));
        return c;
    }();
    return catalog;
}

// The JSON parses back, strictly, and its graph holds what the model holds.
void CheckJsonReadsBack(const ReportView& report, const AnalysisResult& result) {
    std::ostringstream out;
    WriteJsonReport(out, report, result);
    const nlohmann::json doc = nlohmann::json::parse(out.str());  // throws, and so fails, on malformed JSON
    const nlohmann::json& graph = doc.at("graph");
    QUORVEL_FUZZ_CHECK(graph.at("filters").size() == result.graph.filters.size());
    QUORVEL_FUZZ_CHECK(graph.at("connections").size() == result.graph.connections.size());
    QUORVEL_FUZZ_CHECK(graph.at("version").is_null() == !result.graph.version.has_value());
    for (std::size_t i = 0; i < result.graph.filters.size(); ++i) {
        const nlohmann::json& f = graph["filters"][i];
        QUORVEL_FUZZ_CHECK(f.at("data").at("hex").get<std::string>().size() == 2 * result.graph.filters[i].data.size());
        QUORVEL_FUZZ_CHECK(f.at("clsid").get<std::string>().size() == 38);
    }
    for (std::size_t i = 0; i < result.graph.connections.size(); ++i) {
        const nlohmann::json& type = graph["connections"][i].at("mediaType");
        QUORVEL_FUZZ_CHECK(type.at("fields").size() == result.graph.connections[i].mediaType.fields.size());
    }
}

void AnalyseAndWrite(std::span<const std::uint8_t> bytes, const FilterCatalog* catalog, bool everyWriter) {
    AnalysisEnvironment env = testing::TestEnvironment(catalog);
    env.details = everyWriter;  // the second pass reads every detail too
    ReportView report;
    gLargest = 0;
    gWatching = true;
    const AnalysisResult result = AnalyzeGraphBytes(bytes, "C:\\graphs\\fuzz.grf", report, env);
    gWatching = false;

    const std::uint64_t limit = ReportByteLimit(bytes.size());
    QUORVEL_FUZZ_CHECK(result.complete == !result.stopped.has_value());
    QUORVEL_FUZZ_CHECK(!result.stopped || result.stopped->offset <= bytes.size());
    QUORVEL_FUZZ_CHECK(gLargest <= limit);

    std::uint64_t textBytes = 0;
    std::uint64_t expectedText = 0;
    for (const ReportEntry& e : report.Entries()) {
        textBytes += e.text.size();
        QUORVEL_FUZZ_CHECK(e.color <= 0xFFFFFF);
        QUORVEL_FUZZ_CHECK(fuzz::IsWellFormedUtf8(e.text));
    }
    QUORVEL_FUZZ_CHECK(textBytes <= limit);
    report.ForEachLine([&](std::string_view line, Color, bool) { expectedText += line.size() + 1; });

    for (const ReportFormat format :
         {ReportFormat::Text, ReportFormat::Ansi, ReportFormat::Json, ReportFormat::Rtf, ReportFormat::Html}) {
        if (format != ReportFormat::Text && !everyWriter) continue;
        fuzz::CountingStream out;
        WriteReport(out, format, report, result);
        QUORVEL_FUZZ_CHECK(static_cast<bool>(out));
        if (format == ReportFormat::Text) QUORVEL_FUZZ_CHECK(out.count() == expectedText);
    }
    if (everyWriter) CheckJsonReadsBack(report, result);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool watching = InstallAllocationWatch();
    (void)watching;
    const std::span<const std::uint8_t> bytes(data, size);
    AnalyseAndWrite(bytes, nullptr, false);
    AnalyseAndWrite(bytes, &FixedCatalog(), true);
    return 0;
}
