// Hostile graphs: data blocks announcing gigabytes, counts that are not
// numbers or wrap to negative values, a million connections, a name that
// never closes; and the report writers on lines of several megabytes.  Each
// must end through the analysis' own paths, with the lines written so far.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "report/ReportExport.hpp"
#include "tests/support/AnalysisHarness.hpp"
#include "tests/support/RtfReader.hpp"
#include "tests/support/WellKnown.hpp"

namespace quorvel::testing {
namespace {

namespace wk = quorvel::wellknown;
constexpr std::size_t kStreamOffset = 512;

struct CountCase {
    const char* name;
    const char* count;
    const char* reason;  // the stop reason expected
};

// Ten characters read as digits by their code minus 48, in 32-bit signed
// arithmetic: no count may make the analysis read or reserve what the file
// does not hold.
const CountCase kHostileCounts[] = {
    {"TwoGibibytes", "2147483647", "data block of 2147483647 bytes runs past the end of the file"},
    {"OneGibibyte", "1073741824", "data block of 1073741824 bytes runs past the end of the file"},
    {"WrapsToMinusOne", "4294967295", "negative data block size -1"},
    {"WrapsToMostNegative", "2147483648", "negative data block size -2147483648"},
    {"TenNinesWrapPositive", "9999999999", "data block of 1410065407 bytes runs past the end of the file"},
    {"LettersMakeAHugeCount", "00000abc12", "data block of 545112 bytes runs past the end of the file"},
    {"MinusSignIsADigitBelowZero", "000000000-", "negative data block size -3"},
};

class HostileCount : public ::testing::TestWithParam<CountCase> {};

TEST_P(HostileCount, FilterDataStopsAtTheBlockWithoutReadingIt) {
    const CountCase& c = GetParam();
    const CountedGraph g = FilterDataCounted(c.count, 4096);
    const Analysed a = AnalyzeFileBytes(g.file);
    EXPECT_FALSE(a.result.complete);
    ASSERT_TRUE(a.result.stopped);
    EXPECT_EQ(a.result.stopped->reason, c.reason);
    EXPECT_EQ(a.result.stopped->offset, g.blockStart);
    // The filter's line is never written: the lines end with the heading and its blank line.
    ASSERT_GE(a.lines.size(), 2u);
    EXPECT_EQ(a.lines[a.lines.size() - 2].text, "FILTERS");
    EXPECT_EQ(a.lines.back().text, "");
}

TEST_P(HostileCount, FormatBlockStopsAtTheBlockWithoutReadingIt) {
    const CountCase& c = GetParam();
    const CountedGraph g = FormatBlockCounted(c.count, 4096);
    const Analysed a = AnalyzeFileBytes(g.file);
    EXPECT_FALSE(a.result.complete);
    ASSERT_TRUE(a.result.stopped);
    EXPECT_EQ(a.result.stopped->reason, c.reason);
    EXPECT_EQ(a.result.stopped->offset, g.blockStart);
    // The connection's header, major type and subtype are kept; its format line is not.
    ASSERT_GE(a.lines.size(), 3u);
    EXPECT_EQ(a.lines[a.lines.size() - 3].text, "\"Source\"  \"Out\"   => \"Sink\"  \"In\"");
    const std::string& subtype = a.lines.back().text;
    EXPECT_TRUE(subtype.starts_with("     Media") && subtype.ends_with(" - (0)")) << subtype;
}

INSTANTIATE_TEST_SUITE_P(Counts, HostileCount, ::testing::ValuesIn(kHostileCounts),
                         [](const ::testing::TestParamInfo<CountCase>& info) { return std::string(info.param.name); });

// A count spelled with letters is not refused: it is whatever the arithmetic
// gives, and when the file holds that many bytes they are passed over.
TEST(HostileInput, CountWithALetterThatFitsIsSkippedAsData) {
    GraphStream s("0003");
    s.Filters();
    s.Text("0001 \"Greedy\" " + std::string(wk::kFileSourceAsync) + " 000000000A ");  // 'A' - 48 = 17
    s.Raw(Bytes(17, 'x')).CrLf();
    s.Connections().Clock(false, "0000").End();
    const Analysed a = AnalyzeStream(s);
    EXPECT_TRUE(a.result.complete);
    const std::vector<std::string> filters = a.SectionAfter("FILTERS");
    ASSERT_EQ(filters.size(), 1u);
    EXPECT_EQ(filters[0],
              "0001  \"Greedy\"  " + std::string(wk::kFileSourceAsync) + "  <17 octets de données binaires >");
}

// Counts one line at a time, so that a million connections are checked
// without keeping their report.
class LineCounter final : public ReportSink {
public:
    explicit LineCounter(std::string header) : header_(std::move(header)) {}
    void Append(std::string_view text, Color, bool bold) override {
        ForEachCrLfPart(text, [&](std::string_view line) {
            ++lines;
            if (bold && line == header_) ++headers;
        });
    }
    std::size_t lines = 0;
    std::size_t headers = 0;

private:
    std::string header_;
};

// A million connections make a 344 MB graph: a few seconds in an optimised
// build, half a minute in a Debug build under the sanitizers, where a tenth
// of them exercises the same paths.
#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kMillionIfAffordable = 1'000'000;
#else
constexpr std::size_t kMillionIfAffordable = 100'000;
#endif

TEST(HostileInput, MillionTinyConnectionsAreAllReported) {
    GraphStream s("0003");
    s.Filters();
    s.Filter({"0001", "S", wk::kFileSourceAsync, "", {}});
    s.Filter({"0002", "T", wk::kFileWriter, "", {}});
    s.Connections();
    const Bytes head = s.bytes();
    ConnectionSpec c;
    c.outPin.clear();
    c.inPin.clear();
    c.type.major = wk::kMediatypeVideo;
    c.type.subtype = wk::kSubtypeRgb32;
    c.type.formatType = wk::kGuidNull;
    s.Connection(c);
    const Bytes record(s.bytes().begin() + static_cast<std::ptrdiff_t>(head.size()), s.bytes().end());
    GraphStream tail("");
    tail.Clock(false, "0000").End();
    const Bytes end(tail.bytes().begin() + 4, tail.bytes().end());  // without the empty version line's CR LF

    const auto graphWith = [&](std::size_t connections) {
        Bytes stream = head;
        stream.reserve(head.size() + connections * record.size() + end.size());
        for (std::size_t i = 0; i < connections; ++i) stream.insert(stream.end(), record.begin(), record.end());
        stream.insert(stream.end(), end.begin(), end.end());
        return GraphFile(stream, kStreamOffset, false);
    };

    // The small graphs give the lines of the report around the connections
    // and what each connection adds.
    const Analysed one = AnalyzeFileBytes(graphWith(1));
    const Analysed two = AnalyzeFileBytes(graphWith(2));
    ASSERT_TRUE(one.result.complete && two.result.complete);
    const std::size_t perConnection = two.lines.size() - one.lines.size();
    ASSERT_EQ(perConnection, 5u);  // header, major type, subtype, format, blank line
    EXPECT_EQ(one.Find("\"S\"  \"\"   => \"T\"  \"\""), one.Find("CONNECTIONS") + 2);

    constexpr std::size_t kConnections = kMillionIfAffordable;
    const Bytes file = graphWith(kConnections);
    ReportView report;
    LineCounter counter("\"S\"  \"\"   => \"T\"  \"\"");
    report.StreamTo(&counter);
    const AnalysisResult result = AnalyzeGraphBytes(file, "C:\\graphs\\many.grf", report, TestEnvironment());
    EXPECT_TRUE(result.complete);
    EXPECT_FALSE(result.stopped) << result.stopped->reason;
    EXPECT_EQ(counter.headers, kConnections);
    EXPECT_EQ(counter.lines, one.lines.size() + (kConnections - 1) * perConnection);
}

TEST(HostileInput, MillionCharacterNameWithoutClosingQuoteEndsAtTheEndOfFile) {
    GraphStream s("0003");
    s.Filters();
    s.Text("0001 \"");
    s.Units(std::u16string(1'000'000, u'N'));
    const Bytes file = GraphFile(s.bytes(), kStreamOffset, false);
    const Analysed a = AnalyzeFileBytes(file);
    EXPECT_FALSE(a.result.complete);
    ASSERT_TRUE(a.result.stopped);
    EXPECT_EQ(a.result.stopped->reason, "unexpected end of file");
    EXPECT_EQ(a.result.stopped->offset, file.size());
    ASSERT_GE(a.lines.size(), 2u);
    EXPECT_EQ(a.lines[a.lines.size() - 2].text, "FILTERS");
    EXPECT_EQ(a.lines.back().text, "");
}

// --- The writers on lines of several megabytes -------------------------------

// One piece of a long line, and what each format must give back for it:
// malformed UTF-8 becomes U+FFFD everywhere; HTML also shows the control
// character as U+FFFD, where JSON and RTF keep it.
struct Piece {
    std::string raw;
    std::string valid;  // JSON and RTF
    std::string html;
};

const Piece kPiece = {
    "abc <&> \"q\" 'a' {\\par} \xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\t\x01\xff\xc3 ",
    "abc <&> \"q\" 'a' {\\par} \xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\t\x01\xef\xbf\xbd\xef\xbf\xbd ",
    "abc <&> \"q\" 'a' {\\par} \xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\t\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd ",
};

struct BigReport {
    ReportView report;
    std::vector<test::RtfLine> valid;  // the lines with the texts JSON and RTF give back
    std::vector<std::string> html;
};

std::string Repeat(const std::string& s, std::size_t times) {
    std::string out;
    out.reserve(s.size() * times);
    for (std::size_t i = 0; i < times; ++i) out += s;
    return out;
}

// Three lines of about 3 MB each between short ones, in three colours and both weights.
BigReport MakeBigReport() {
    BigReport b;
    constexpr std::size_t kTimes = 3 * 1024 * 1024 / 37;  // the piece is 37 bytes
    b.report.AddTitleLine("start");
    b.report.AddColorLine(Repeat(kPiece.raw, kTimes), kPurple);
    b.report.AddBoldLine(Repeat(kPiece.raw, kTimes) + "\r\n" + Repeat(kPiece.raw, kTimes));
    b.report.AddColorLine("end", kGreen);
    b.valid = {{"start", kOlive, true},
               {Repeat(kPiece.valid, kTimes), kPurple, true},
               {Repeat(kPiece.valid, kTimes), kBlack, true},
               {Repeat(kPiece.valid, kTimes), kBlack, true},
               {"end", kGreen, true}};
    b.html = {"start", Repeat(kPiece.html, kTimes), Repeat(kPiece.html, kTimes), Repeat(kPiece.html, kTimes), "end"};
    return b;
}

const BigReport& Big() {
    static const BigReport big = MakeBigReport();
    return big;
}

AnalysisResult Stopped() {
    AnalysisResult r;
    r.file = "C:\\graphs\\big.grf";
    r.stopped = AnalysisStop{12345, "unexpected end of file"};
    return r;
}

template <typename Fn>
std::string Written(Fn&& write) {
    std::ostringstream out;
    write(out);
    return out.str();
}

TEST(HostileInput, JsonOfMegabyteLinesParsesBack) {
    const std::string json = Written([](std::ostream& o) { WriteJsonReport(o, Big().report, Stopped()); });
    const nlohmann::json j = nlohmann::json::parse(json);
    ASSERT_EQ(j.at("lines").size(), Big().valid.size());
    for (std::size_t i = 0; i < Big().valid.size(); ++i) {
        EXPECT_TRUE(j["lines"][i]["text"] == Big().valid[i].text) << "line " << i;
        EXPECT_EQ(j["lines"][i]["bold"], Big().valid[i].bold);
    }
    EXPECT_EQ(j["lines"][1]["color"], "#800080");
    EXPECT_EQ(j["stopped"]["offset"], 12345);
}

TEST(HostileInput, RtfOfMegabyteLinesReadsBack) {
    const std::string rtf = Written([](std::ostream& o) { WriteRtfReport(o, Big().report); });
    const std::vector<test::RtfLine> lines = test::ReadRtfLines(rtf);
    ASSERT_EQ(lines.size(), Big().valid.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_TRUE(lines[i].text == Big().valid[i].text) << "line " << i;
        EXPECT_EQ(lines[i].color, Big().valid[i].color) << "line " << i;
        EXPECT_EQ(lines[i].bold, Big().valid[i].bold) << "line " << i;
    }
}

// The texts of the <span>s inside the page's <pre>, entities resolved.
std::vector<std::string> HtmlLineTexts(std::string_view html) {
    std::vector<std::string> texts;
    std::size_t at = html.find("<pre>");
    const std::size_t end = html.find("</pre>");
    if (at == std::string_view::npos || end == std::string_view::npos) return texts;
    while ((at = html.find("<span class=\"", at)) < end) {
        const std::size_t open = html.find("\">", at) + 2;
        const std::size_t close = html.find("</span>", open);
        std::string text;
        for (std::size_t i = open; i < close; ++i) {
            if (html[i] != '&') {
                text += html[i];
                continue;
            }
            const std::size_t semi = html.find(';', i);
            const std::string_view entity = html.substr(i, semi + 1 - i);
            text += entity == "&amp;" ? "&" : entity == "&lt;" ? "<" : entity == "&gt;" ? ">" : entity == "&quot;" ? "\"" : entity == "&#39;" ? "'" : "[?]";
            i = semi;
        }
        texts.push_back(std::move(text));
        at = close;
    }
    return texts;
}

TEST(HostileInput, HtmlOfMegabyteLinesReadsBack) {
    const std::string html = Written([](std::ostream& o) { WriteHtmlReport(o, Big().report, Stopped()); });
    const std::vector<std::string> texts = HtmlLineTexts(html);
    ASSERT_EQ(texts.size(), Big().html.size());
    for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_TRUE(texts[i] == Big().html[i]) << "line " << i;
}

}  // namespace
}  // namespace quorvel::testing
