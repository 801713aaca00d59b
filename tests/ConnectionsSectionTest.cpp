// Connection records: the header line, the media type lines and the format
// block, read through whole generated graphs.
#include <gtest/gtest.h>

#include "tests/support/AnalysisHarness.hpp"
#include "tests/support/WellKnown.hpp"

namespace quorvel::testing {
namespace {

constexpr std::string_view kVideo = wellknown::kMediatypeVideo;
constexpr std::string_view kAudio = wellknown::kMediatypeAudio;
constexpr std::string_view kStream = wellknown::kMediatypeStream;
constexpr std::string_view kRgb24 = wellknown::kSubtypeRgb24;
constexpr std::string_view kPcm = wellknown::kSubtypePcm;
constexpr std::string_view kVideoInfo = wellknown::kFormatVideoInfo;
constexpr std::string_view kWaveFormatEx = wellknown::kFormatWaveFormatEx;
constexpr std::string_view kFormatNone = wellknown::kFormatNone;
constexpr std::string_view kGuidNull = wellknown::kGuidNull;
constexpr const char* kCustomFormat = "{DEADBEEF-0000-1111-2222-333344445555}";
const std::string kTen(10, ' ');

GraphStream TwoFilters() {
    GraphStream s;
    s.Filters();
    s.Filter({"0001", "Source", "{11111111-2222-3333-4444-555555555555}", "", {}});
    s.Filter({"0002", "Sink", "{66666666-7777-8888-9999-AAAAAAAAAAAA}", "", {}});
    s.Connections();
    return s;
}

// The lines of every connection block: header, major type, subtype, format
// (and its field lines), as displayed.
std::vector<std::string> ConnectionLines(const Analysed& a) {
    std::vector<std::string> out;
    const int start = a.Find("CONNECTIONS");
    for (std::size_t i = static_cast<std::size_t>(start) + 2; i < a.lines.size(); ++i) {
        if (a.lines[i].text.empty() && (i + 1 >= a.lines.size() || a.lines[i + 1].text.empty())) break;
        out.push_back(a.lines[i].text);
    }
    return out;
}

Analysed AnalyzeConnections(const std::vector<ConnectionSpec>& connections) {
    GraphStream s = TwoFilters();
    for (const ConnectionSpec& c : connections) s.Connection(c);
    s.Clock(true, "0000").End();
    return AnalyzeStream(s);
}

TEST(ConnectionsSection, HeaderNamesFiltersByPositionWithQuotesAndFixedSpacing) {
    const Analysed a = AnalyzeConnections({{2, "Out", 1, "", {kStream, kRgb24, '0', '0', "0000000000", kGuidNull, {}}}});
    ASSERT_TRUE(a.result.complete) << a.result.stopped->reason;
    const int at = a.Find("\"Sink\"  \"Out\"   => \"Source\"  \"\"");
    ASSERT_GE(at, 0);
    EXPECT_EQ(a.lines[static_cast<std::size_t>(at)].color, kBlack);
    EXPECT_TRUE(a.lines[static_cast<std::size_t>(at)].bold);
}

TEST(ConnectionsSection, FilterIdOutsideTheListEndsTheAnalysisBeforeTheHeader) {
    const MediaTypeSpec type{kStream, kRgb24, '0', '0', "0000000000", kGuidNull, {}};
    for (int badId : {0, 3}) {
        const Analysed a = AnalyzeConnections({{1, "Out", 2, "In", type}, {1, "Out", badId, "In", type}});
        EXPECT_FALSE(a.result.complete);
        ASSERT_TRUE(a.result.stopped);
        EXPECT_NE(a.result.stopped->reason.find("filter " + std::to_string(badId)), std::string::npos);
        // The report ends with the blank line after the previous connection.
        const std::vector<std::string> texts = a.Texts();
        EXPECT_EQ(texts.back(), "");
        EXPECT_EQ(texts[texts.size() - 2], "     No Format  ");
        EXPECT_EQ(std::count(texts.begin(), texts.end(), "\"Source\"  \"Out\"   => \"Sink\"  \"In\""), 1);
    }
}

struct TypeCase {
    const char* what;
    MediaTypeSpec type;
    std::vector<std::string> lines;  // major type, subtype, format lines
};

void PrintTo(const TypeCase& c, std::ostream* os) { *os << c.what; }

class MediaTypeLines : public ::testing::TestWithParam<TypeCase> {};

TEST_P(MediaTypeLines, AsReported) {
    const TypeCase& c = GetParam();
    // The same record twice: the second proves the first was consumed exactly.
    const Analysed a = AnalyzeConnections({{1, "Out", 2, "In", c.type}, {1, "Out", 2, "In", c.type}});
    ASSERT_TRUE(a.result.complete) << a.result.stopped->reason;
    std::vector<std::string> expected;
    for (int i = 0; i < 2; ++i) {
        expected.push_back("\"Source\"  \"Out\"   => \"Sink\"  \"In\"");
        expected.insert(expected.end(), c.lines.begin(), c.lines.end());
        expected.push_back("");
    }
    expected.pop_back();
    EXPECT_EQ(ConnectionLines(a), expected);
}

std::vector<std::string> VideoInfoFields(const std::string& last) {
    return {"     Format VideoInfoHeader  ",
            kTen + "rcSource = 0,0,640,480",
            kTen + "rcTarget = 0,0,640,480",
            kTen + "bitRate = 221184000",
            kTen + "ErrorBitRate = 0",
            kTen + "AvgTimePerFrame = 333333",
            kTen + "biSize = 40",
            kTen + "biWidth = 640",
            kTen + "biHeight = -480",
            kTen + "biPlanes = 1",
            kTen + "biBitCount = 24",
            kTen + "biCompression = ",
            kTen + "biSizeImage = 921600",
            kTen + "biXPelsPerMeter = 0",
            kTen + "biYPelsPerMeter = 0",
            kTen + "biClrUsed = 0",
            kTen + "biClrImportant = 0",
            kTen + last};
}

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Plus(Bytes b, std::size_t extra, std::uint8_t fill) {
    b.insert(b.end(), extra, fill);
    return b;
}

const Bytes kVih = VideoInfoHeader(640, -480, 24, 0);
const Bytes kPcmWave = WaveFormatEx(1, 2, 44100, 16);
// CR and LF units inside a block must not end the record early.
const Bytes kLineEnds = {0x0D, 0x00, 0x0A, 0x00, 0x0D, 0x00, 0x0A, 0x00, 0x30, 0x00};

INSTANTIATE_TEST_SUITE_P(
    AllForms, MediaTypeLines,
    ::testing::Values(
        TypeCase{"VideoInfo of exactly 88 bytes", {kVideo, kRgb24, '1', '0', "0000921600", kVideoInfo, kVih},
                 Concat({"     Mediatype Video", "     Mediasubtype RGB24 - Echantillons de taille fixe - (921600)"},
                        VideoInfoFields(""))},
        TypeCase{"VideoInfo of 100 bytes, 12 of them not decoded",
                 {kVideo, kRgb24, '1', '0', "0000921600", kVideoInfo, Plus(kVih, 12, 0x0D)},
                 Concat({"     Mediatype Video", "     Mediasubtype RGB24 - Echantillons de taille fixe - (921600)"},
                        VideoInfoFields("<12 octets de données binaires >"))},
        TypeCase{"VideoInfo of 40 bytes is not decoded",
                 {kVideo, kRgb24, '0', '1', "0000000000", kVideoInfo, Bytes(40, 0)},
                 {"     Mediatype Video", "     Mediasubtype RGB24 - Compression temporelle - (0)",
                  "     Format VideoInfoHeader  <40 octets de données binaires >"}},
        TypeCase{"empty block of a decoded type", {kVideo, kRgb24, '1', '1', "0000000001", kVideoInfo, {}},
                 {"     Mediatype Video",
                  "     Mediasubtype RGB24 - Echantillons de taille fixe - Compression temporelle - (1)",
                  "     Format VideoInfoHeader  "}},
        TypeCase{"WaveFormatEx of 19 bytes: odd length, one byte noted",
                 {kAudio, kPcm, '1', '0', "0000000004", kWaveFormatEx, Plus(kPcmWave, 1, 0x0D)},
                 {"     Mediatype Audio", "     MediaSubType PCM Audio - Echantillons de taille fixe - (4)",
                  "     Format WaveFormatEx  ", kTen + "FormatTag = 1", kTen + "Channels = 2",
                  kTen + "Samples Per Sec = 44100", kTen + "Avg Bytes Per Sec = 176400", kTen + "Block Align = 4",
                  kTen + "Bits Per Sample = 16", kTen + "cbSize = 0", kTen + "<1 octets de données binaires >"}},
        TypeCase{"GUID_NULL format", {kStream, kGuidNull, '0', '0', "0000000000", kGuidNull, {}},
                 {"     Mediatype Stream", "     {00000000-0000-0000-0000-000000000000} - (0)", "     No Format  "}},
        TypeCase{"FORMAT_None with a block holding line ends",
                 {kStream, kRgb24, '0', '0', "0000000000", kFormatNone, kLineEnds},
                 {"     Mediatype Stream", "     Mediasubtype RGB24 - (0)", "     Format None  "}},
        TypeCase{"unknown format type, block longer than any record",
                 {"{73646976-0000-0010-8000-00aa00389b71}", "{e436eb7d-524f-11ce-9f53-0020af0ba770}", '0', '0',
                  "4294967296", kCustomFormat, Bytes(300, 0x0D)},
                 {"     Mediatype Video", "     Mediasubtype RGB24 - (4294967296)", "     Unknown Format  "}},
        TypeCase{"unknown major type kept as written",
                 {"{abcdef01-0000-0010-8000-00AA00389B71}", kRgb24, '0', '0', "0000000000", kGuidNull, {}},
                 {"     {abcdef01-0000-0010-8000-00AA00389B71}", "     Mediasubtype RGB24 - (0)", "     No Format  "}}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(ConnectionsSection, TextThatIsNotAGuidEndsTheAnalysisKeepingTheLinesBefore) {
    struct Case {
        const char* what;
        MediaTypeSpec type;
        std::string lastLine;
    };
    const Case cases[] = {
        {"major type", {"{7364697G-0000-0010-8000-00AA00389B71}", kRgb24, '0', '0', "0000000000", kGuidNull, {}},
         "\"Source\"  \"Out\"   => \"Sink\"  \"In\""},
        {"subtype", {kVideo, "{E436EB7D-524F}", '0', '0', "0000000000", kGuidNull, {}}, "     Mediatype Video"},
        {"format type", {kVideo, kRgb24, '0', '0', "0000000000", "{05589F80}", {}}, "     Mediasubtype RGB24 - (0)"},
    };
    for (const Case& c : cases) {
        const Analysed a = AnalyzeConnections({{1, "Out", 2, "In", c.type}});
        EXPECT_FALSE(a.result.complete) << c.what;
        EXPECT_EQ(a.Texts().back(), c.lastLine) << c.what;
    }
}

TEST(ConnectionsSection, FormatBlockRunningPastTheEndStopsBeforeReadingIt) {
    GraphStream s = TwoFilters();
    s.Text("0001 \"Out\" 0002 \"In\" 0000000374 " + std::string(kVideo) + " " + std::string(kRgb24) +
           " 1 0 0000000000 " + std::string(kVideoInfo) + " 2000000000 ");
    s.Raw(kVih);
    const Analysed a = AnalyzeFileBytes(GraphFile(s.bytes(), 3072, false));
    ASSERT_FALSE(a.result.complete);
    EXPECT_NE(a.result.stopped->reason.find("past the end"), std::string::npos);
    EXPECT_EQ(a.Texts().back(), "     Mediasubtype RGB24 - Echantillons de taille fixe - (0)");
}

TEST(ConnectionsSection, AttributesOfAConnectionBlock) {
    const Analysed a = AnalyzeConnections({{1, "Out", 2, "In", {kAudio, kPcm, '1', '0', "0000000004", kWaveFormatEx, kPcmWave}}});
    const int at = a.Find("\"Source\"  \"Out\"   => \"Sink\"  \"In\"");
    ASSERT_GE(at, 0);
    // Header bold black; the type, subtype and format lines keep bold black.
    for (std::size_t i = static_cast<std::size_t>(at); i < static_cast<std::size_t>(at) + 12; ++i) {
        EXPECT_EQ(a.lines[i].color, kBlack) << i;
        EXPECT_TRUE(a.lines[i].bold) << i;
    }
}

}  // namespace
}  // namespace quorvel::testing
