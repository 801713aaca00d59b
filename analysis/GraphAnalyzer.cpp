#include "analysis/GraphAnalyzer.hpp"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>

#include "analysis/AnalysisState.hpp"
#include "analysis/ClockSection.hpp"
#include "analysis/ConnectionsSection.hpp"
#include "analysis/FiltersSection.hpp"
#include "analysis/ReportParts.hpp"
#include "analysis/MediaTypeReaders.hpp"
#include "platform/File.hpp"
#include "platform/Paths.hpp"
#include "platform/TextConv.hpp"
#include "resources/Strings.hpp"

namespace quorvel {
namespace {

struct Context {
    const FilterCatalog& catalog;
    const DateFormats& dates;
    LocalDateTime today;
    std::string version;
    bool keepGraph;
    bool details;
    model::GraphSink* graphSink;
};

// The file name without its folder, a to z upper-cased and nothing else.
std::string TitleFromPath(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\:");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    for (char& c : name)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return name;
}

void WriteHeader(ReportView& report, const std::string& path, const std::string& stamp, const Context& c) {
    report.AddSeparatorLine();
    report.AddTitleLine(TitleFromPath(path));
    report.AddBlankLine();
    report.AddLine(FormatRes(Str::HeaderAnalysedFile, {path, stamp}));
    report.AddLine(FormatRes(Str::HeaderMadeOn,
                             {c.dates.LongDate(c.today), Res(Str::ProductName), Res(Str::Author), c.version}));
    report.AddLine(FormatRes(Str::HeaderVisit, {Res(Str::HomePageUrl)}));
    report.AddBlankLine();
    report.AddSeparatorLine();
}

bool IsVersionText(const std::uint8_t* units) {
    static constexpr std::uint8_t k0002[8] = {'0', 0, '0', 0, '0', 0, '2', 0};
    static constexpr std::uint8_t k0003[8] = {'0', 0, '0', 0, '0', 0, '3', 0};
    return std::equal(units, units + 8, k0002) || std::equal(units, units + 8, k0003);
}

// The first offset of 512, 1024, ... whose 8 bytes are the version text that
// starts the stream.  The file is read in large blocks and the boundaries
// are looked at in memory, so that a file of gigabytes without a stream costs
// what reading it costs.  A file shorter than its size ends the search.
std::optional<std::uint64_t> ProbeForVersion(ByteSource& source) {
    constexpr std::size_t kBlock = std::size_t{1} << 20;  // a multiple of 512
    const std::uint64_t size = source.Size();
    std::unique_ptr<std::uint8_t[]> block;
    for (std::uint64_t start = 512; start < size && size - start >= 8; start += kBlock) {
        if (!block) block = std::make_unique_for_overwrite<std::uint8_t[]>(kBlock);
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, size - start));
        const std::size_t got = source.ReadAt(start, block.get(), want);
        for (std::size_t at = 0; at + 8 <= got; at += 512)
            if (IsVersionText(block.get() + at)) return start + at;
        if (got < want) break;
    }
    return std::nullopt;
}

// Puts the look-ahead on the stream's first code unit and reads the version
// text and the line end after it.
std::string FindGraphStream(GraphReader& r, ByteSource& source) {
    const std::optional<std::uint64_t> at = ProbeForVersion(source);
    if (!at)
        r.FailAt(r.Size(), StopKind::NoGraphStream,
                 "no graph stream: no version text 0002 or 0003 at a 512-byte boundary");
    r.ResyncAt(*at);
    const std::string version = r.ReadChars(4);
    r.SkipBytes(4);  // the line end after the version text
    return version;
}

void ReadSections(GraphReader& r, ByteSource& source, ReportView& report, AnalysisState& s) {
    const std::string version = FindGraphStream(r, source);
    s.graph.version = Utf8FromAnsi(version);
    report.AddLine(version);
    report.AddBlankLine();
    report.AddSeparatorLine();

    report.AddTitleLine(Utf8FromAnsi(r.ReadLine()));
    report.AddBlankLine();
    while (r.CurrentIsDigit()) {
        const std::string line = ReadFilterEntry(s);
        report.AddColorLine(line, s.FilterLineColor);
        if (s.details) {
            // The bytes the line only counts, under it.
            ReportParts parts(true);
            AppendHexDump(parts, s.filterBytesShownAsCount, 6);
            parts.WriteTo(report);
        }
    }
    report.AddBlankLine();
    report.AddSeparatorLine();

    report.AddTitleLine(Utf8FromAnsi(r.ReadLine()));
    report.AddBlankLine();
    while (r.CurrentIsDigit()) {
        report.AddBoldLine(DescribeConnectionHeader(s));
        model::MediaType& type = s.graph.connections.back().mediaType;
        const bool full = s.keepGraph || s.details;
        ReportParts majorParts(s.details);
        majorParts.Line(DescribeMajorType(r, type, full));
        DescribeGuidName(majorParts, *type.majorType, 9);
        majorParts.WriteTo(report);
        ReportParts subtypeParts(s.details);
        subtypeParts.Line(DescribeSubtype(r, type, full));
        DescribeGuidName(subtypeParts, *type.subtype, 9);
        subtypeParts.WriteTo(report);
        DescribeFormat(r, type, FormatReading{s.keepGraph, s.details}).WriteTo(report);
        r.ReadLine();
        report.AddBlankLine();
        if (s.graphSink) s.graphSink->TakeConnection(s.graph.connections.back());
        if (!s.keepGraph || s.graphSink) s.graph.connections.pop_back();
    }
    report.AddBlankLine();
    report.AddSeparatorLine();

    if (version == "0003") {
        const std::string clock = ReadClockSection(s);
        const std::size_t split = clock.find("\r\n");
        report.AddTitleLine(clock.substr(0, split));
        report.AddLine(split == std::string::npos ? std::string() : clock.substr(split + 2));
    }
    report.AddBlankLine();
    report.AddSeparatorLine();

    if (r.CurrentIs(u'E')) {
        s.graph.endMarker = Utf8FromAnsi(r.ReadChars(3));
        report.AddTitleLine(*s.graph.endMarker);
    }
}

AnalysisStop StopAt(const std::optional<GraphReader>& r, StopKind kind, std::string reason) {
    return AnalysisStop{r ? std::min(r->Cursor(), r->Size()) : 0, std::move(reason), kind};
}

// The protected part: any failure ends it, keeping the lines written so far.
AnalysisResult Run(const std::string& path, const std::function<ByteSource&()>& open, const std::string& stamp,
                   ReportView& report, const Context& c) {
    AnalysisResult result;
    result.file = path;
    std::optional<GraphReader> reader;
    try {
        ByteSource& source = open();
        report.Clear();
        report.SetByteLimit(static_cast<std::size_t>(ReportByteLimit(source.Size())));
        WriteHeader(report, path, stamp, c);
        GraphReader& r = reader.emplace(source);
        AnalysisState state(r, c.catalog, result.graph);
        state.keepGraph = c.keepGraph;
        state.details = c.details;
        state.graphSink = c.graphSink;
        ReadSections(r, source, report, state);
        result.complete = true;
    } catch (const AnalysisError& e) {
        result.stopped = AnalysisStop{e.offset(), e.reason(), e.kind()};
    } catch (const FileError& e) {
        result.stopped = StopAt(reader, StopKind::Read, e.what());
    } catch (const ByteRangeError& e) {
        result.stopped = StopAt(reader, StopKind::ShortBlock, e.what());
    } catch (const ReportFullError& e) {
        result.stopped = StopAt(reader, StopKind::ReportFull, e.what());
    } catch (const std::bad_alloc&) {
        result.stopped = StopAt(reader, StopKind::Memory, "out of memory");
    } catch (const std::exception& e) {
        result.stopped = StopAt(reader, StopKind::Other, e.what());
    }
    report.SetByteLimit(0);
    return result;
}

AnalysisResult Analyze(const std::filesystem::path& path, const std::function<ByteSource&()>& open,
                       const std::optional<LocalDateTime>& lastWrite, ReportView& report,
                       const AnalysisEnvironment& env) {
    static const FilterCatalog kEmptyCatalog;
    static const SystemDateFormats kSystemFormats;
    const DateFormats& dates = env.dates ? *env.dates : kSystemFormats;
    const LocalDateTime today = env.now ? env.now() : LocalNow();
    const Context context{env.catalog ? *env.catalog : kEmptyCatalog, dates, today,
                          env.programVersion.empty() ? ProgramVersionText() : env.programVersion, env.keepGraph, env.details,
                          env.graphSink};

    if (env.observer) env.observer->AnalysisStarted(path);
    // The stamp is taken before the file is opened; a file that vanished in
    // between fails at the open.
    const LocalDateTime written = lastWrite.value_or(today);
    const std::string stamp = dates.ShortDate(written) + " " + dates.LongTime(written);
    report.Clear();

    AnalysisResult result = Run(PathText(path), open, stamp, report, context);
    if (env.observer) env.observer->AnalysisFinished(result);
    return result;
}

}  // namespace

std::string ProgramVersionText() {
    return FormatRes(Str::VersionFormat, {Res(Str::VersionMajor), Res(Str::VersionMinor)});
}

std::uint64_t ReportByteLimit(std::uint64_t fileSize) { return 32 * fileSize + (1u << 20); }

AnalysisResult AnalyzeGraphFile(const std::filesystem::path& path, ReportView& report,
                                const AnalysisEnvironment& env) {
    std::optional<FileSource> source;
    const auto open = [&]() -> ByteSource& {
        try {
            source.emplace(ReadOnlyFile::OpenExclusive(path));
        } catch (const FileError& e) {
            throw AnalysisError(0, StopKind::Open, e.what());
        }
        return *source;
    };
    const std::optional<LocalDateTime> lastWrite = LastWriteTime(path);
    return Analyze(path, open, lastWrite, report, env);
}

AnalysisResult AnalyzeStandardInput(ReportView& report, const AnalysisEnvironment& env) {
    // Standard input is taken whole before the analysis starts: a pipe has
    // no last-write time of its own, and the stamp needs one first.
    std::optional<FileSource> source;
    std::string failure;
    try {
        source.emplace(ReadOnlyFile::OpenStandardInput());
    } catch (const FileError& e) {
        failure = e.what();
    }
    const auto open = [&]() -> ByteSource& {
        if (!source) throw AnalysisError(0, StopKind::Open, failure);
        return *source;
    };
    const std::optional<LocalDateTime> lastWrite = source ? source->File().LastWrite() : std::nullopt;
    return Analyze(kStandardInputName, open, lastWrite, report, env);
}

AnalysisResult AnalyzeGraphBytes(std::span<const std::uint8_t> bytes, const std::string& path, ReportView& report,
                                 const AnalysisEnvironment& env) {
    MemorySource source(bytes);
    const auto open = [&]() -> ByteSource& { return source; };
    return Analyze(PathFromUtf8(path), open, std::nullopt, report, env);
}

}  // namespace quorvel
