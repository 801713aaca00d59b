// Graph files saved by the platform's graph editor on real machines, read
// from the shared folder beside the project (never copied into it).  Each
// must be analysed to its end, with every connection reported.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "tests/support/AnalysisHarness.hpp"

namespace quorvel::testing {
namespace {

namespace fs = std::filesystem;

fs::path RealGraphsDir() { return fs::path(QUORVEL_SHARED_DIR) / "graphs" / "real"; }

// The real graphs live beside the clone, not in it; a machine that must have
// them (QUORVEL_REQUIRE_SHARED=1) fails instead of skipping.
bool SharedRequired() {
    const char* required = std::getenv("QUORVEL_REQUIRE_SHARED");
    return required && std::string_view(required) == "1";
}

struct RealGraph {
    const char* file;
    int filters;
    int connections;
    const char* clock;
};

// Counts from the files' provenance notes.
constexpr RealGraph kGraphs[] = {
    {"roxio-gamecap-capture.grf", 10, 9, "System Clock"},
    {"roxio-gamecap-preview.grf", 9, 8, "System Clock"},
    {"fcsmedia-test.grf", 6, 5, "System Clock"},
    {"flipcam-test-a.grf", 3, 2, "System Clock"},
    {"flipcam-test-b.grf", 3, 2, "System Clock"},
    {"flipcam-test2.grf", 3, 2, "System Clock"},
    {"impro-artag-test.grf", 6, 5, "System Clock"},
    {"impro-arcalib-a.grf", 9, 5, "System Clock"},
    {"impro-arcalib-b.grf", 9, 5, "System Clock"},
    {"impro-arcalib-c.grf", 10, 5, "System Clock"},
    {"impro-arcalib-d.grf", 10, 5, "System Clock"},
    {"rdp-push2-a.grf", 1, 0, "Aucun"},
    {"rdp-push2-b.grf", 1, 0, "Aucun"},
    {"rdp-scr-a.grf", 1, 0, "Aucun"},
    {"rdp-scr-b.grf", 1, 0, "System Clock"},
    {"rdp-scr-c.grf", 1, 0, "Aucun"},
    {"rdp-vac-yo.grf", 2, 1, "System Clock"},
    {"vcam-base-evr.grf", 3, 2, "Aucun"},
};

void PrintTo(const RealGraph& g, std::ostream* os) { *os << g.file; }

class RealGraphs : public ::testing::TestWithParam<RealGraph> {};

TEST_P(RealGraphs, AnalysedToTheEndWithEveryConnection) {
    const RealGraph& g = GetParam();
    const fs::path path = RealGraphsDir() / g.file;
    if (!fs::exists(path)) {
        if (SharedRequired()) FAIL() << "missing " << path << ": the shared graphs must be beside the clone";
        GTEST_SKIP() << path << " is not here: the shared folder is absent";
    }
    const Analysed a = AnalyzePath(path.string());
    ASSERT_TRUE(a.result.complete) << a.result.stopped->reason << " at " << a.result.stopped->offset;
    EXPECT_EQ(a.SectionAfter("FILTERS").size(), static_cast<std::size_t>(g.filters));

    int headers = 0;
    int formats = 0;
    for (const Line& l : a.lines) {
        if (l.text.find("   => ") != std::string::npos && l.bold && l.color == kBlack) ++headers;
        if (l.text.rfind("     Format ", 0) == 0 || l.text.rfind("     No Format", 0) == 0 ||
            l.text.rfind("     Unknown Format", 0) == 0)
            ++formats;
    }
    EXPECT_EQ(headers, g.connections);
    EXPECT_EQ(formats, g.connections);

    const std::vector<std::string> t = a.Texts();
    ASSERT_GE(t.size(), 5u);
    EXPECT_EQ(t.back(), "END");
    EXPECT_EQ(t[t.size() - 4], g.clock);
    EXPECT_EQ(t[t.size() - 5], "CLOCK   (Requis)");
}

INSTANTIATE_TEST_SUITE_P(Shared, RealGraphs, ::testing::ValuesIn(kGraphs), [](const auto& info) {
    std::string name = info.param.file;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

// Blocks longer than their record, then CR LF with no separator: the next
// connection must still be read (the capture graph has a 1152-byte
// VideoInfo2 block followed by the audio connection).
TEST(RealGraphsDetail, LongFormatBlocksDoNotSwallowTheNextConnection) {
    const fs::path path = RealGraphsDir() / "roxio-gamecap-capture.grf";
    if (!fs::exists(path)) {
        if (SharedRequired()) FAIL() << "missing " << path;
        GTEST_SKIP() << "shared folder absent";
    }
    const Analysed a = AnalyzePath(path.string());
    const int vih2 = a.Find("     Format VideoInfoHeader2  ");
    ASSERT_GE(vih2, 0);
    const std::vector<std::string> t = a.Texts();
    const auto i = static_cast<std::size_t>(vih2);
    EXPECT_EQ(t[i + 1], "          rcSource = 0,0,1920,1080");
    EXPECT_EQ(t[i + 23], "          <1040 octets de données binaires >");
    EXPECT_EQ(t[i + 24], "");
    EXPECT_EQ(t[i + 25], "\"Audio Decoder\"  \"Out\"   => \"Sound Renderer\"  \"Audio Input pin (rendered)\"");
}

}  // namespace
}  // namespace quorvel::testing
