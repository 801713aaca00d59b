// The clock lines of version 0003 streams and the end marker.
#include <gtest/gtest.h>

#include "tests/support/AnalysisHarness.hpp"
#include "tests/support/WellKnown.hpp"

namespace quorvel::testing {
namespace {

constexpr std::string_view kSystemClock = wellknown::kSystemClock;
constexpr std::string_view kAudioRenderer = wellknown::kDirectSoundRenderer;

GraphStream Graph() {
    GraphStream s;
    s.Filters();
    s.Filter({"0001", "Source", "{11111111-2222-3333-4444-555555555555}", "", {}});
    s.Filter({"0007", "Audio Renderer", kAudioRenderer, "", {}});
    s.Filter({"0003", "Second Renderer", kAudioRenderer, "", {}});
    s.Connections();
    return s;
}

struct ClockCase {
    bool required;
    std::string value;
    std::string heading;
    std::string clock;
};

void PrintTo(const ClockCase& c, std::ostream* os) { *os << c.value; }

class ClockLines : public ::testing::TestWithParam<ClockCase> {};

TEST_P(ClockLines, HeadingAndValue) {
    const ClockCase& c = GetParam();
    GraphStream s = Graph();
    s.Clock(c.required, c.value).End();
    const Analysed a = AnalyzeStream(s);
    ASSERT_TRUE(a.result.complete) << a.result.stopped->reason;
    const int at = a.Find(c.heading);
    ASSERT_GE(at, 0);
    const auto i = static_cast<std::size_t>(at);
    EXPECT_EQ(a.lines[i], (Line{c.heading, kOlive, true}));
    EXPECT_EQ(a.lines[i + 1], (Line{c.clock, kOlive, true}));
}

INSTANTIATE_TEST_SUITE_P(
    AllForms, ClockLines,
    ::testing::Values(ClockCase{false, "0000", "CLOCK  ", "Aucun"},
                      ClockCase{true, "0007", "CLOCK   (Requis)", "\"Audio Renderer\""},
                      ClockCase{true, "0002", "CLOCK   (Requis)", "0002"},
                      ClockCase{true, std::string(kSystemClock), "CLOCK   (Requis)", "System Clock"},
                      ClockCase{true, "{79376820-07d0-11cf-a24d-0020afd79767}", "CLOCK   (Requis)",
                                "\"Audio Renderer\""},
                      ClockCase{true, "{99999999-07D0-11CF-A24D-0020AFD79767}", "CLOCK   (Requis)",
                                "{99999999-07D0-11CF-A24D-0020AFD79767}"},
                      ClockCase{false, "000", "CLOCK  ", "000"}, ClockCase{false, "00001", "CLOCK  ", "00001"}));

TEST(ClockSection, ClockTextOf38CharactersThatIsNotAGuidEndsTheAnalysis) {
    GraphStream s = Graph();
    s.Clock(true, "{E436EBB1-524F-11CE-9F53-0020AF0BA77X}").End();
    const Analysed a = AnalyzeStream(s);
    EXPECT_FALSE(a.result.complete);
    EXPECT_EQ(a.Find("CLOCK   (Requis)"), -1);
    EXPECT_EQ(a.Texts().back(), std::string(100, '-'));
}

TEST(ClockSection, Version0002HasNoClockLinesAndTwoClosingPairs) {
    GraphStream s("0002");
    s.Filters().Filter({"0001", "Source", "{11111111-2222-3333-4444-555555555555}", "", {}});
    s.Connections().End();
    const Analysed a = AnalyzeStream(s);
    ASSERT_TRUE(a.result.complete);
    const std::vector<std::string> t = a.Texts();
    const std::string sep(100, '-');
    const std::vector<std::string> tail(t.end() - 7, t.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"CONNECTIONS", "", "", sep, "", sep, "END"}));
}

TEST(ClockSection, EndMarkerIsItsFirstThreeCodeUnitsOrNothing) {
    struct Case {
        std::string last;
        std::string shown;  // empty: no end-marker line
    };
    for (const Case& c : {Case{"END", "END"}, Case{"Eh?!", "Eh?"}, Case{"FIN", ""}, Case{"", ""}}) {
        GraphStream s = Graph();
        s.Clock(false, "0000").Text(c.last);
        const Analysed a = AnalyzeStream(s);
        ASSERT_TRUE(a.result.complete) << c.last;
        const std::string expected = c.shown.empty() ? std::string(100, '-') : c.shown;
        EXPECT_EQ(a.Texts().back(), expected) << c.last;
        EXPECT_TRUE(a.lines.back().bold);
    }
}

}  // namespace
}  // namespace quorvel::testing
