// Filter lines: description, file part, data notice and colour of every kind
// of filter entry, read through whole generated graphs.
#include <gtest/gtest.h>

#include "tests/support/AnalysisHarness.hpp"
#include "tests/support/WellKnown.hpp"

namespace quorvel::testing {
namespace {

constexpr std::string_view kDmoWrapper = wellknown::kDmoWrapper;
constexpr std::string_view kProxy = wellknown::kKsProxy;
constexpr std::string_view kAcmWrapper = wellknown::kAcmWrapper;
constexpr std::string_view kAviCompressor = wellknown::kAviCompressor;
constexpr std::string_view kColorConverter = wellknown::kColorSpaceConverter;
constexpr Guid kWmvDecoderDmo = MakeGuid(wellknown::kWmvDecoderDmo);
constexpr Guid kVideoDecoderCategory = MakeGuid(wellknown::kDmoVideoDecoderCategory);
constexpr Guid kVideoEncoderCategory = MakeGuid(wellknown::kDmoVideoEncoderCategory);
constexpr Guid kOddCategory = MakeGuid("{0123abcd-0000-1111-2222-333344445555}");
const std::u16string kDevicePath = u"@device:pnp:" + std::u16string(kWebcamDevicePath);

FilterCatalog TestCatalog() {
    FilterCatalog c;
    c.AddFilter("Color Space Converter", ParseGuid(kColorConverter));
    c.AddFilter("Color Converter (second category)", ParseGuid(kColorConverter));
    c.AddFilter("Other Webcam", kProxyClsid,
                "@device:pnp:\\\\?\\usb#vid_9999&pid_0001&mi_00#1&1&1&0#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global");
    c.AddFilter("Logitech Webcam", kProxyClsid,
                // Differs from the saved path only in the instance field, which is not compared.
                "@device:pnp:\\\\?\\usb#vid_046d&pid_0825&mi_02#7&ffffff&0&0002#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global");
    c.AddDmo("WMVideo Decoder DMO", kWmvDecoderDmo);
    return c;
}

struct FilterCase {
    const char* what;
    FilterSpec filter;
    std::string line;
    Color color;
};

void PrintTo(const FilterCase& c, std::ostream* os) { *os << c.what; }

class FilterLines : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterLines, LineAndColour) {
    const FilterCase& c = GetParam();
    const FilterCatalog catalog = TestCatalog();
    GraphStream s;
    s.Filters().Filter(c.filter);
    // A second entry proves the first one was read to its exact end.
    s.Filter({"0002", "Next", kColorConverter, "", {}});
    s.Connections().Clock(false, "0000").End();
    const Analysed a = AnalyzeStream(s, &catalog);
    ASSERT_TRUE(a.result.complete) << a.result.stopped->reason;
    const std::vector<std::string> filters = a.SectionAfter("FILTERS");
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0], c.line);
    EXPECT_EQ(filters[1], "0002  \"Next\"  : Color Space Converter {1643E180-90F5-11CE-97D5-00AA0055595A}  ");
    const int at = a.Find(c.line);
    EXPECT_EQ(a.lines[static_cast<std::size_t>(at)].color, c.color);
    EXPECT_TRUE(a.lines[static_cast<std::size_t>(at)].bold);
}

const Bytes k12Bytes(12, 0xAB);

INSTANTIATE_TEST_SUITE_P(
    AllKinds, FilterLines,
    ::testing::Values(
        FilterCase{"not installed, no data", {"0001", "Src", "{11111111-2222-3333-4444-555555555555}", "", {}},
                   "0001  \"Src\"  {11111111-2222-3333-4444-555555555555}  ", kBlack},
        FilterCase{"installed, 12 bytes; first of two catalog entries",
                   {"0001", "CSC", "{1643e180-90f5-11ce-97d5-00aa0055595a}", "", k12Bytes},
                   "0001  \"CSC\"  : Color Space Converter {1643e180-90f5-11ce-97d5-00aa0055595a}  "
                   "<12 octets de données binaires >",
                   kBlack},
        FilterCase{"file part", {"0001", "File Source (Async.)", wellknown::kFileSourceAsync,
                                 "SOURCE \"C:\\Vidéos\\clip.avi\"", k12Bytes},
                   "0001  \"File Source (Async.)\"  {E436EBB5-524F-11CE-9F53-0020AF0BA770}  SOURCE  "
                   "\"C:\\Vidéos\\clip.avi\"  <12 octets de données binaires >",
                   kBlack},
        FilterCase{"video renderer component", {"0001", "VMR", "{b87beb7b-8d29-423f-ae4d-6582c10175ac}", "", k12Bytes},
                   "0001  \"VMR\"  : Video Mixing Renderer (DX8) {b87beb7b-8d29-423f-ae4d-6582c10175ac}  "
                   "<12 octets de données binaires >",
                   kBlack},
        FilterCase{"DMO, installed, exactly 32 bytes",
                   {"0001", "Dmo", kDmoWrapper, "", DmoWrapperData(kWmvDecoderDmo, kVideoDecoderCategory)},
                   "0001  \"Dmo\"  : WMVideo Decoder DMO {82D353DF-90BD-4382-8BC2-3F6192B76E34} cat= Video Decoder",
                   kGreen},
        FilterCase{"DMO, not installed, 40 bytes, video encoder category",
                   {"0001", "Dmo", kDmoWrapper, "", DmoWrapperData(kOddCategory, kVideoEncoderCategory, 8)},
                   "0001  \"Dmo\"  : {0123ABCD-0000-1111-2222-333344445555} cat= Video Encoder "
                   "<8 octets de données binaires >",
                   kGreen},
        FilterCase{"DMO, unknown category",
                   {"0001", "Dmo", kDmoWrapper, "", DmoWrapperData(kWmvDecoderDmo, kOddCategory)},
                   "0001  \"Dmo\"  : WMVideo Decoder DMO {82D353DF-90BD-4382-8BC2-3F6192B76E34} "
                   "cat= {0123ABCD-0000-1111-2222-333344445555}",
                   kGreen},
        FilterCase{"DMO block shorter than 32 bytes is skipped by its count",
                   {"0001", "Dmo", kDmoWrapper, "", Bytes(20, 0x0D)}, "0001  \"Dmo\"  : ", kGreen},
        FilterCase{"DMO with file part", {"0001", "Dmo", kDmoWrapper, "SINK \"out.wmv\"", Bytes{}},
                   "0001  \"Dmo\"  SINK  \"out.wmv\"  : ", kGreen},
        FilterCase{"proxy found by device path", {"0001", "Cam", kProxy, "", ProxyData(kDevicePath)},
                   std::string("0001  \"Cam\"  : Logitech Webcam @device:pnp:\\\\?\\usb#vid_046d&pid_0825&mi_02#6&2c8a9b3&0&"
                               "0002#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global <") +
                       std::to_string(ProxyData(kDevicePath).size()) + " octets de données binaires >",
                   kPurple},
        FilterCase{"proxy not in the catalog",
                   {"0001", "Cam", "{17cca71b-ecd7-11d0-b908-00a0c9223196}", "", ProxyData(u"@device:pnp:nowhere")},
                   "0001  \"Cam\"  : Proxy {17cca71b-ecd7-11d0-b908-00a0c9223196} <72 octets de données binaires >",
                   kPurple},
        FilterCase{"proxy without data", {"0001", "Cam", kProxy, "", {}},
                   "0001  \"Cam\"  : Proxy " + std::string(kProxy), kPurple},
        FilterCase{"ACM wrapper", {"0001", "Acm", kAcmWrapper, "", CodecWrapperData(0x0055)},
                   "0001  \"Acm\"  : ACM Wrapper = MP3", kBlue},
        FilterCase{"ACM wrapper, block shorter than 30 bytes", {"0001", "Acm", kAcmWrapper, "", Bytes(29, 0x55)},
                   "0001  \"Acm\"  : ACM Wrapper = Inconnu", kBlue},
        FilterCase{"AVI compressor", {"0001", "Avi", kAviCompressor, "", CodecWrapperData(0x47504A4D)},
                   "0001  \"Avi\"  : AVI Encoder = MJPG", kBlue},
        FilterCase{"AVI compressor, NUL and unassigned bytes",
                   {"0001", "Avi", kAviCompressor, "", CodecWrapperData(0x80810049)},
                   "0001  \"Avi\"  : AVI Encoder = I??€", kBlue},
        FilterCase{"AVI compressor, block shorter than 32 bytes", {"0001", "Avi", kAviCompressor, "", Bytes(31, 0x41)},
                   "0001  \"Avi\"  : AVI Encoder = ", kBlue}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(FiltersSection, NameKeepsItsQuotesAndConvertsEachCodeUnit) {
    GraphStream s;
    s.Filters().Filter({"0001", "Caméra €  😀", "{11111111-2222-3333-4444-555555555555}", "", {}});
    s.Connections().Clock(false, "0000").End();
    const Analysed a = AnalyzeStream(s);
    ASSERT_TRUE(a.result.complete);
    EXPECT_EQ(a.SectionAfter("FILTERS").at(0),
              "0001  \"Caméra €  ??\"  {11111111-2222-3333-4444-555555555555}  ");
}

TEST(FiltersSection, ColourOfTheLastFilterCarriesToTheSeparatorAfterIt) {
    GraphStream s;
    s.Filters().Filter({"0001", "Avi", kAviCompressor, "", CodecWrapperData(0x47504A4D)});
    s.Connections().Clock(false, "0000").End();
    const Analysed a = AnalyzeStream(s);
    const int at = a.Find("0001  \"Avi\"  : AVI Encoder = MJPG");
    ASSERT_GE(at, 0);
    const auto i = static_cast<std::size_t>(at);
    EXPECT_EQ(a.lines[i + 1], (Line{"", kBlue, true}));
    EXPECT_EQ(a.lines[i + 2], (Line{std::string(100, '-'), kBlue, true}));
}

TEST(FiltersSection, ClsidThatIsNotAGuidEndsTheAnalysisBeforeItsLine) {
    GraphStream s;
    s.Filters().Filter({"0001", "Good", kColorConverter, "", {}});
    s.Filter({"0002", "Bad", "{1643E180-90F5-11CE-97D5-00AA0055595}", "", {}});
    s.Connections().Clock(false, "0000").End();
    const Analysed a = AnalyzeStream(s);
    EXPECT_FALSE(a.result.complete);
    ASSERT_TRUE(a.result.stopped);
    EXPECT_NE(a.result.stopped->reason.find("{1643E180-90F5-11CE-97D5-00AA0055595}"), std::string::npos);
    EXPECT_EQ(a.Texts().back(), "0001  \"Good\"  {1643E180-90F5-11CE-97D5-00AA0055595A}  ");
}

TEST(FiltersSection, DataBlocksThatCannotBeTrustedStopTheAnalysis) {
    struct Case {
        const char* what;
        std::string count;
    };
    for (const Case& c : {Case{"past the end of the file", "0999999999"}, Case{"negative after the wrap", "4294967295"},
                          Case{"letters", "0000000zzz"}}) {
        GraphStream s;
        s.Filters().Text("0001 \"X\" " + std::string(kColorConverter) + " " + c.count + " ").Raw(Bytes(8, 0)).CrLf();
        s.Connections().Clock(false, "0000").End();
        const Analysed a = AnalyzeStream(s);
        EXPECT_FALSE(a.result.complete) << c.what;
        EXPECT_EQ(a.SectionAfter("FILTERS").size(), 0u) << c.what;
    }
}

TEST(FiltersSection, SectionEndsAtTheFirstLineThatDoesNotStartWithADigit) {
    GraphStream s;
    s.Filters().Filter({"0001", "A", kColorConverter, "", {}});
    s.Line("CONNEXIONS du graphe");
    s.Clock(false, "0000").End();
    const Analysed a = AnalyzeStream(s);
    ASSERT_TRUE(a.result.complete);
    EXPECT_GE(a.Find("CONNEXIONS du graphe"), 0);
    EXPECT_EQ(a.SectionAfter("FILTERS").size(), 1u);
}

}  // namespace
}  // namespace quorvel::testing
