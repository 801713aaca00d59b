// The driver: header, probing for the graph stream, the order of sections,
// the attributes of a whole report, and how every failure ends an analysis.
#include <gtest/gtest.h>

#include <sys/file.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "tests/support/AnalysisHarness.hpp"
#include "tests/support/WellKnown.hpp"

namespace quorvel::testing {
namespace {

namespace wk = quorvel::wellknown;

const std::string kSep(100, '-');

bool IsSubsequence(const std::vector<Line>& part, const std::vector<Line>& whole) {
    std::size_t k = 0;
    for (const Line& l : whole)
        if (k < part.size() && part[k] == l) ++k;
    return k == part.size();
}

GraphStream SmallGraph(std::string_view version = "0003") {
    GraphStream s(version);
    s.Filters();
    s.Filter({"0001", "Source", "{11111111-2222-3333-4444-555555555555}", "", {}});
    s.Filter({"0002", "Sink", wk::kDirectSoundRenderer, "", Bytes(4, 1)});
    s.Connections();
    s.Connection({1, "Out", 2, "In",
                  {wk::kMediatypeAudio, wk::kSubtypePcm, '1', '0', "0000000004", wk::kFormatWaveFormatEx,
                   WaveFormatEx(1, 2, 44100, 16)}});
    if (version == "0003") s.Clock(true, wk::kSystemClock);
    s.End();
    return s;
}

TEST(GraphAnalyzer, WholeReportWithItsAttributes) {
    const Analysed a = AnalyzeStream(SmallGraph());
    ASSERT_TRUE(a.result.complete);
    EXPECT_FALSE(a.result.stopped);
    const Color k = kBlack, o = kOlive;
    const std::string ten(10, ' ');
    const std::vector<Line> expected = {
        {kSep, k, false},
        {"TEST.GRF", o, true},
        {"", o, true},
        {"Analyse du fichier C:\\graphs\\test.grf, modifié le 20/01/2009 14:05:09", o, true},
        {"faite le mardi 20 janvier 2009 avec Quorvel de Brunmoor version 2.1.1", o, true},
        {"Visitez mon site web https://brunmoor.example/quorvel/", o, true},
        {"", o, true},
        {kSep, o, true},
        {"0003", o, true},
        {"", o, true},
        {kSep, o, true},
        {"FILTERS", o, true},
        {"", o, true},
        {"0001  \"Source\"  {11111111-2222-3333-4444-555555555555}  ", k, true},
        {"0002  \"Sink\"  {79376820-07D0-11CF-A24D-0020AFD79767}  <4 octets de données binaires >", k, true},
        {"", k, true},
        {kSep, k, true},
        {"CONNECTIONS", o, true},
        {"", o, true},
        {"\"Source\"  \"Out\"   => \"Sink\"  \"In\"", k, true},
        {"     Mediatype Audio", k, true},
        {"     MediaSubType PCM Audio - Echantillons de taille fixe - (4)", k, true},
        {"     Format WaveFormatEx  ", k, true},
        {ten + "FormatTag = 1", k, true},
        {ten + "Channels = 2", k, true},
        {ten + "Samples Per Sec = 44100", k, true},
        {ten + "Avg Bytes Per Sec = 176400", k, true},
        {ten + "Block Align = 4", k, true},
        {ten + "Bits Per Sample = 16", k, true},
        {ten + "cbSize = 0", k, true},
        {ten, k, true},
        {"", k, true},
        {"", k, true},
        {kSep, k, true},
        {"CLOCK   (Requis)", o, true},
        {"System Clock", o, true},
        {"", o, true},
        {kSep, o, true},
        {"END", o, true},
    };
    EXPECT_EQ(a.lines, expected);
}

TEST(GraphAnalyzer, ProbesEvery512BytesForTheVersionText) {
    // Past the reader's first window too (512,000 and 3 MiB).
    for (std::size_t offset : {512u, 1536u, 3072u, 8192u, 512000u, 3u << 20}) {
        const Analysed a = AnalyzeFileBytes(GraphFile(SmallGraph().bytes(), offset));
        EXPECT_TRUE(a.result.complete) << offset;
        EXPECT_GE(a.Find("END"), 0) << offset;
    }
    // A version text off the 512-byte grid is not found.
    Bytes shifted = GraphFile(SmallGraph().bytes(), 1024);
    shifted.insert(shifted.begin() + 600, 2, 0);
    const Analysed a = AnalyzeFileBytes(shifted);
    EXPECT_FALSE(a.result.complete);
}

// Probing reads big blocks: a sparse file of zeros (a disk image, a
// preallocated capture) is searched to its end, and a stream is found on the
// last boundary of one block as on the first of the next.
TEST(GraphAnalyzer, ProbesBigFilesOfZerosToTheirEnd) {
    constexpr std::uint64_t kSize = 40u << 20;
    const std::string path = WriteTempFile("zeros.bin", {});
    std::filesystem::resize_file(path, kSize);
    const Analysed none = AnalyzePath(path);
    ASSERT_TRUE(none.result.stopped);
    EXPECT_EQ(none.result.stopped->kind, StopKind::NoGraphStream);
    EXPECT_EQ(none.result.stopped->offset, kSize);

    const Bytes stream = SmallGraph().bytes();
    for (const std::uint64_t at : {std::uint64_t{1} << 20, (std::uint64_t{1} << 20) + 512, kSize - 4096}) {
        const std::string graph = WriteTempFile("zeros-graph.bin", {});
        std::filesystem::resize_file(graph, kSize);
        {
            std::fstream f(graph, std::ios::in | std::ios::out | std::ios::binary);
            f.seekp(static_cast<std::streamoff>(at));
            f.write(reinterpret_cast<const char*>(stream.data()), static_cast<std::streamsize>(stream.size()));
        }
        EXPECT_TRUE(AnalyzePath(graph).result.complete) << at;
    }
}

TEST(GraphAnalyzer, Version0002At1536) {
    const Analysed a = AnalyzeFileBytes(GraphFile(SmallGraph("0002").bytes(), 1536));
    ASSERT_TRUE(a.result.complete);
    EXPECT_GE(a.Find("0002"), 0);
    EXPECT_EQ(a.Find("System Clock"), -1);
}

TEST(GraphAnalyzer, NoVersionTextEndsAfterTheHeader) {
    for (std::size_t size : {0u, 10u, 11u, 512u, 4000u}) {
        Bytes file(size, 0x30);  // '0' bytes: "0000"-like text but never a version
        const Analysed a = AnalyzeFileBytes(file);
        EXPECT_FALSE(a.result.complete) << size;
        ASSERT_TRUE(a.result.stopped);
        EXPECT_EQ(a.lines.size(), 8u) << size;  // the header, no version line
        EXPECT_EQ(a.Texts().back(), kSep);
        EXPECT_LE(a.result.stopped->offset, size);
        EXPECT_NE(a.result.stopped->reason.find("no graph stream"), std::string::npos) << size;
    }
}

TEST(GraphAnalyzer, HeadingsAreCopiedAsTheyStand) {
    GraphStream s;
    s.Line("Filtres du graphe : é").Line("Connexions");
    s.Clock(false, "0000").End();
    const Analysed a = AnalyzeStream(s);
    ASSERT_TRUE(a.result.complete);
    EXPECT_GE(a.Find("Filtres du graphe : é"), 0);
    EXPECT_GE(a.Find("Connexions"), 0);
}

TEST(GraphAnalyzer, TitleIsTheFileNameWithOnlyAsciiLettersUpperCased) {
    struct Case {
        std::string path;
        std::string title;
    };
    for (const Case& c : {Case{"/home/ana/graphes/caméra-1.grf", "CAMéRA-1.GRF"}, Case{"C:\\g\\x.grf", "X.GRF"},
                          Case{"C:capture.grf", "CAPTURE.GRF"}, Case{"plain", "PLAIN"}}) {
        ReportView report;
        const Bytes file = GraphFile(SmallGraph().bytes());
        AnalyzeGraphBytes(file, c.path, report, TestEnvironment());
        EXPECT_EQ(DisplayedLines(report).at(1).text, c.title);
    }
}

// A valid file cut at any byte ends cleanly: through the failure path, or
// complete where the cut falls after the last section.
TEST(GraphAnalyzer, TruncatedAtEveryByteEndsCleanly) {
    const Bytes stream = SmallGraph().bytes();
    const Bytes full = GraphFile(stream, 512, false);
    const Analysed whole = AnalyzeFileBytes(full);
    ASSERT_TRUE(whole.result.complete);
    for (std::size_t cut = 0; cut < full.size(); ++cut) {
        const Bytes part(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut));
        const Analysed a = AnalyzeFileBytes(part);
        ASSERT_EQ(a.result.complete, !a.result.stopped.has_value());
        // Nothing is invented: what was written stands in the full report, in
        // the same order (a section cut short closes early with its blank line
        // and separator, which the full report has further on).
        ASSERT_TRUE(IsSubsequence(a.lines, whole.lines)) << cut;
        if (cut > 512) {
            ASSERT_GE(a.lines.size(), 8u) << cut;  // the header is always there
        }
        if (a.result.stopped) {
            ASSERT_LE(a.result.stopped->offset, cut);
        }
        // Only a cut right after the clock line's CR LF (where less than a code
        // unit is left) completes, without the end marker: a cut inside "END"
        // leaves a marker that cannot be read whole.
        const std::size_t afterClock = full.size() - 6;
        EXPECT_EQ(a.result.complete, cut == afterClock || cut == afterClock + 1) << cut;
    }
}

TEST(GraphAnalyzer, ReportThatWouldOutgrowTheFileStops) {
    // One filter with a long name, named again by every connection record.
    GraphStream s;
    s.Filters().Filter({"0001", std::string(20000, 'n'), "{11111111-2222-3333-4444-555555555555}", "", {}});
    s.Connections();
    const MediaTypeSpec type{wk::kMediatypeVideo, wk::kSubtypeRgb24, '0', '0', "0000000000", wk::kGuidNull, {}};
    for (int i = 0; i < 3000; ++i) s.Connection({1, "", 1, "", type});
    s.Clock(false, "0000").End();
    const Bytes file = GraphFile(s.bytes());
    const Analysed a = AnalyzeFileBytes(file);
    ASSERT_FALSE(a.result.complete);
    EXPECT_NE(a.result.stopped->reason.find("report"), std::string::npos);
    std::size_t bytes = 0;
    for (const ReportEntry& e : a.report.Entries()) bytes += e.text.size();
    EXPECT_LE(bytes, ReportByteLimit(file.size()));
}

class ObserverLog : public AnalysisObserver {
public:
    void AnalysisStarted(const std::filesystem::path& path) override { events.push_back("start " + path.string()); }
    void AnalysisFinished(const AnalysisResult& r) override { events.push_back(r.complete ? "done" : "stopped"); }
    std::vector<std::string> events;
};

TEST(GraphAnalyzer, FileHeldByAnotherProcessGivesAnEmptyReport) {
    const std::string path = WriteTempFile("held.grf", GraphFile(SmallGraph().bytes()));
    const int fd = ::open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    ObserverLog log;
    AnalysisEnvironment env = TestEnvironment();
    env.observer = &log;
    ReportView report;
    report.AddLine("left from the last analysis");
    const AnalysisResult held = AnalyzeGraphFile(path, report, env);
    EXPECT_FALSE(held.complete);
    EXPECT_TRUE(report.Empty());
    EXPECT_EQ(held.stopped->offset, 0u);
    EXPECT_EQ(log.events, (std::vector<std::string>{"start " + path, "stopped"}));
    ::close(fd);

    const AnalysisResult free = AnalyzeGraphFile(path, report, env);
    EXPECT_TRUE(free.complete);
    EXPECT_FALSE(report.Empty());
    std::filesystem::remove(path);
}

TEST(GraphAnalyzer, MissingFileGivesAnEmptyReport) {
    ReportView report;
    const AnalysisResult r = AnalyzeGraphFile("/nonexistent/quorvel/graph.grf", report, TestEnvironment());
    EXPECT_FALSE(r.complete);
    ASSERT_TRUE(r.stopped);
    EXPECT_TRUE(report.Empty());
}

TEST(GraphAnalyzer, FileAndMemoryGiveTheSameReport) {
    const Bytes file = GraphFile(SmallGraph().bytes());
    const std::string path = WriteTempFile("same.grf", file);
    const Analysed fromFile = AnalyzePath(path);
    ReportView memory;
    AnalyzeGraphBytes(file, path, memory, TestEnvironment());
    const std::vector<Line> fromMemory = DisplayedLines(memory);
    ASSERT_EQ(fromFile.lines.size(), fromMemory.size());
    for (std::size_t i = 0; i < fromMemory.size(); ++i)
        if (i != 3) {  // line 3 holds the file's own date
            EXPECT_EQ(fromFile.lines[i], fromMemory[i]);
        }
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace quorvel::testing

namespace quorvel::testing {
namespace {

class CollectingSink : public ReportSink {
public:
    void Append(std::string_view text, Color color, bool bold) override {
        ForEachCrLfPart(text, [&](std::string_view line) { lines.push_back({std::string(line), color, bold}); });
    }
    std::vector<Line> lines;
};

TEST(GraphAnalyzer, StreamedReportHasTheLinesOfTheKeptOne) {
    const Bytes file = GraphFile(SmallGraph().bytes());
    const Analysed kept = AnalyzeFileBytes(file);
    CollectingSink sink;
    ReportView streamed;
    streamed.StreamTo(&sink);
    const AnalysisResult r = AnalyzeGraphBytes(file, "C:\\graphs\\test.grf", streamed, TestEnvironment());
    EXPECT_TRUE(r.complete);
    EXPECT_TRUE(streamed.Empty());
    EXPECT_EQ(sink.lines, kept.lines);
}

}  // namespace
}  // namespace quorvel::testing
