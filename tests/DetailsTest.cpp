// Details beyond the classic report: lines added under what they explain, in
// grey, never changing, dropping or reordering a classic line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/AnalysisHarness.hpp"

namespace quorvel::testing {
namespace {

Analysed AnalyzeWithDetails(const Bytes& file) {
    Analysed a;
    AnalysisEnvironment env = TestEnvironment();
    env.details = true;
    a.result = AnalyzeGraphBytes(file, "C:\\graphs\\test.grf", a.report, env);
    a.lines = DisplayedLines(a.report);
    return a;
}

std::vector<Line> WithoutDetails(const std::vector<Line>& lines) {
    std::vector<Line> classic;
    for (const Line& l : lines)
        if (l.color != kGrey) classic.push_back(l);
    return classic;
}

// A graph with a bit of everything details explain.
Bytes DetailedGraph() {
    GraphStream s;
    s.Filters();
    s.Filter({"0001", "Source", wellknown::kFileSourceAsync, "", Bytes(5000, 0x41)});
    s.Filter({"0002", "Renderer", wellknown::kVideoMixingRenderer, "", {}});
    s.Connections();
    s.Connection({1, "Out", 2, "In", {wellknown::kMediatypeVideo, wellknown::kSubtypeRgb24, '1', '0', "0000921600",
                                      wellknown::kFormatVideoInfo, VideoInfoHeader(640, 480, 24, 0, 333667)}});
    s.Connection({1, "Out", 2, "In", {wellknown::kMediatypeAudio, "{00000055-0000-0010-8000-00AA00389B71}", '1', '0',
                                      "0000000001", wellknown::kFormatWaveFormatEx, Mp3WaveFormat()}});
    s.Clock(true, "0000").End();
    return GraphFile(s.bytes());
}

TEST(Details, EveryClassicLineStaysInItsPlace) {
    std::vector<std::pair<std::string, Bytes>> graphs = SampleAndRealGraphs();
    graphs.push_back({"detailed", DetailedGraph()});
    for (const auto& [name, bytes] : graphs) {
        const Analysed classic = AnalyzeFileBytes(bytes);
        const Analysed detailed = AnalyzeWithDetails(bytes);
        EXPECT_EQ(WithoutDetails(detailed.lines), classic.lines) << name;
        if (name == "detailed" || name == "sample") {
            EXPECT_GT(detailed.lines.size(), classic.lines.size()) << name;
        }
    }
}

TEST(Details, LinesStandUnderWhatTheyExplain) {
    const Analysed a = AnalyzeWithDetails(DetailedGraph());
    const auto after = [&](const std::string& line) -> Line {
        const int at = a.Find(line);
        if (at < 0 || static_cast<std::size_t>(at) + 1 >= a.lines.size()) return Line{"<none>", kBlack, false};
        return a.lines[static_cast<std::size_t>(at) + 1];
    };
    EXPECT_EQ(after("          AvgTimePerFrame = 333667"), (Line{"              29.97 fps", kGrey, false}));
    EXPECT_EQ(after("          biCompression = "), (Line{"              BI_RGB", kGrey, false}));
    EXPECT_EQ(after("          cbSize = 12"), (Line{"              MPEG Layer-3 ID = MPEG (1)", kGrey, false}));
    // The filter's 5,000 bytes: 4 KiB of them in 256 lines, then the rest counted.
    const int filter = a.Find("0001  \"Source\"  {E436EBB5-524F-11CE-9F53-0020AF0BA770}  <5000 octets de données binaires >");
    ASSERT_GE(filter, 0);
    const auto first = static_cast<std::size_t>(filter) + 1;
    EXPECT_EQ(a.lines[first].text,
              "      0000  41 41 41 41 41 41 41 41  41 41 41 41 41 41 41 41  AAAAAAAAAAAAAAAA");
    EXPECT_EQ(a.lines[first + 255].text.substr(0, 10), "      0FF0");
    EXPECT_EQ(a.lines[first + 256], (Line{"      … 904 octets de plus", kGrey, false}));
}

}  // namespace
}  // namespace quorvel::testing
