#include "report/ReportExport.hpp"
#include "report/ReportDocument.hpp"

#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/TextConv.hpp"
#include "tests/support/AnalysisHarness.hpp"
#include "tests/support/RtfReader.hpp"

namespace quorvel {
namespace {

using namespace std::string_literals;
using test::ReadRtfLines;
using Line = test::RtfLine;  // text, colour, bold: what every format must keep

constexpr Color kTeal = 0x12AB5F;  // distinct R, G, B and hex letters

// Covers both weights, several colours (one reused after others), entries
// split at CR LF, empty entries and empty parts, and an empty last line.
ReportView SampleReport() {
    ReportView r;
    r.AddLine("C:\\graphs\\test.grf");
    r.AddBlankLine();
    r.AddColorLine("a\r\nb", kBlue);
    r.AddColorLine("", kGreen);
    r.AddTitleLine("Filters");
    r.AddColorLine("Name = x\r\n\r\n          y", kPurple);
    r.AddBoldLine("Pins");
    r.AddSeparatorLine();
    r.AddColorLine("0xFF\r\n", kTeal);
    r.AddColorLine("again blue", kBlue);
    return r;
}

const std::vector<Line>& SampleLines() {
    static const std::vector<Line> lines = {
        {"C:\\graphs\\test.grf", kBlack, false},
        {"", kBlack, false},
        {"a", kBlue, false},
        {"b", kBlue, false},
        {"", kGreen, false},
        {"Filters", kOlive, true},
        {"Name = x", kPurple, true},
        {"", kPurple, true},
        {"          y", kPurple, true},
        {"Pins", kBlack, true},
        {std::string(100, '-'), kBlack, true},
        {"0xFF", kTeal, true},
        {"", kTeal, true},
        {"again blue", kBlue, true},
    };
    return lines;
}

// Texts from a graph file that try to break out of their line or markup.
const std::vector<std::string>& HostileTexts() {
    static const std::vector<std::string> texts = {
        "back\\slash",
        "{braces}}}{",
        "\\par injected\\line",
        "{\\rtf1\\ansi \\b bold?}",
        "\\'41\\u65?",
        "\\",
        "ctl\x01\x08\t\x0b\x1b\x1f\x7f.",
        std::string("nul\0byte", 8),
        " leading space",
        "0digits after a control word",
        "àéîõü ÿ ß Ææ ¡¿ ©®",
        "€ ‚ƒ„…†‡ˆ‰Š‹ŒŽ ‘’“”•–—˜™š›œžŸ",
        "“quotes” and ‘single’",
        "C1 \u0081\u0090\u009d controls",
        "漢字 テキスト",
        "漢? fallback-looking mark after a \\u escape",
        "emoji 😀🎬 end",
        "<script>alert('x')</script> & \"q\" &amp;",
        "\x1b[31mred\x1b[0m \xc2\x9b" "2J",
        "lone\rCR",
    };
    return texts;
}

template <typename Write>
std::string Written(Write&& write) {
    std::ostringstream out;
    write(out);
    return out.str();
}

AnalysisResult CompleteResult(std::string file) {
    AnalysisResult r;
    r.file = std::move(file);
    r.complete = true;
    return r;
}

// ---------------------------------------------------------------- selection

TEST(ReportFormatSelection, ByName) {
    const struct {
        std::string_view name;
        std::optional<ReportFormat> expected;
    } cases[] = {
        {"text", ReportFormat::Text}, {"ansi", ReportFormat::Ansi}, {"json", ReportFormat::Json},
        {"rtf", ReportFormat::Rtf},   {"html", ReportFormat::Html}, {"JSON", ReportFormat::Json},
        {"Html", ReportFormat::Html}, {"", std::nullopt},           {"txt", std::nullopt},
        {"htm", std::nullopt},        {"rtf ", std::nullopt},       {"jso", std::nullopt},
        {"texts", std::nullopt},       {"csv", ReportFormat::Csv},   {"svg", ReportFormat::Svg},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseReportFormat(c.name), c.expected) << '"' << c.name << '"';
}

TEST(ReportFormatSelection, ByExtension) {
    const struct {
        std::string_view path;
        std::optional<ReportFormat> expected;
    } cases[] = {
        {"out.rtf", ReportFormat::Rtf},
        {"C:\\Logs\\graph.LOG", ReportFormat::Rtf},
        {"report.html", ReportFormat::Html},
        {"report.HtM", ReportFormat::Html},
        {"/tmp/x.y/report.json", ReportFormat::Json},
        {"notes.Txt", ReportFormat::Text},
        {"connections.CSV", ReportFormat::Csv},
        {"graph.gv", ReportFormat::Dot},
        {"a.grf", std::nullopt},
        {"noextension", std::nullopt},
        {"dir.json/file", std::nullopt},
        {"dir.json\\file", std::nullopt},
        {"archive.json.gz", std::nullopt},
        {"report.", std::nullopt},
        {"rtf", std::nullopt},
        {".json", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ReportFormatForExtension(c.path), c.expected) << '"' << c.path << '"';
}

TEST(WriteReport, WritesTheChosenFormat) {
    const ReportView report = SampleReport();
    AnalysisResult result = CompleteResult("g.grf");
    const struct {
        ReportFormat format;
        std::string expected;
    } cases[] = {
        {ReportFormat::Text, Written([&](std::ostream& o) { WriteTextReport(o, report); })},
        {ReportFormat::Ansi, Written([&](std::ostream& o) { WriteAnsiReport(o, report); })},
        {ReportFormat::Json, Written([&](std::ostream& o) { WriteJsonReport(o, report, result); })},
        {ReportFormat::Rtf, Written([&](std::ostream& o) { WriteRtfReport(o, report); })},
        {ReportFormat::Html, Written([&](std::ostream& o) { WriteHtmlReport(o, report, result); })},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Written([&](std::ostream& o) { WriteReport(o, c.format, report, result); }), c.expected)
            << static_cast<int>(c.format);
    }
}

// --------------------------------------------------------------------- text

TEST(TextReport, WritesEachDisplayedLineAndNothingElse) {
    std::string expected;
    for (const Line& l : SampleLines()) expected += l.text + "\n";
    EXPECT_EQ(Written([](std::ostream& o) { WriteTextReport(o, SampleReport()); }), expected);
}

TEST(TextReport, EmptyReportWritesNothing) {
    EXPECT_EQ(Written([](std::ostream& o) { WriteTextReport(o, ReportView{}); }), "");
}

// --------------------------------------------------------------------- ANSI

TEST(AnsiReport, StylesEachLineAndResetsAtItsEnd) {
    const struct {
        std::string name;
        ReportView report;
        std::string expected;
    } cases[] = {
        {"black uses the default colour",
         [] {
             ReportView r;
             r.AddLine("plain");
             return r;
         }(),
         "plain\x1b[0m\n"},
        {"24-bit colour",
         [] {
             ReportView r;
             r.AddColorLine("teal", kTeal);
             return r;
         }(),
         "\x1b[38;2;18;171;95mteal\x1b[0m\n"},
        {"bold black",
         [] {
             ReportView r;
             r.AddBoldLine("strong");
             return r;
         }(),
         "\x1b[1mstrong\x1b[0m\n"},
        {"bold colour, split at CR LF",
         [] {
             ReportView r;
             r.AddTitleLine("t1\r\n\r\nt2");
             return r;
         }(),
         "\x1b[38;2;128;128;0m\x1b[1mt1\x1b[0m\n"
         "\x1b[38;2;128;128;0m\x1b[1m\x1b[0m\n"
         "\x1b[38;2;128;128;0m\x1b[1mt2\x1b[0m\n"},
        {"empty report", ReportView{}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Written([&](std::ostream& o) { WriteAnsiReport(o, c.report); }), c.expected) << c.name;
}

TEST(AnsiReport, TextCannotInjectTerminalControls) {
    const struct {
        std::string text;
        std::string expected;
    } cases[] = {
        {"\x1b[2J\x1b]0;title\x07", "?[2J?]0;title?"},
        {"a\rb\x08\x7f\tc", "a?b???c"},
        {"C1 \xc2\x9b" "31m", "C1 ?31m"},                         // U+009B, the 8-bit CSI
        {"lone \x9b" "31m", "lone \xef\xbf\xbd" "31m"},           // a stray byte is not passed on
        {"é€漢😀 ok", "é€漢😀 ok"},
    };
    for (const auto& c : cases) {
        ReportView r;
        r.AddLine(c.text);
        EXPECT_EQ(Written([&](std::ostream& o) { WriteAnsiReport(o, r); }), c.expected + "\x1b[0m\n")
            << c.expected;
    }
}

// --------------------------------------------------------------------- JSON

nlohmann::ordered_json ParseSingleJsonLine(const std::string& written) {
    EXPECT_FALSE(written.empty());
    EXPECT_EQ(written.back(), '\n');
    EXPECT_EQ(written.find('\n'), written.size() - 1) << "not on one line";
    return nlohmann::ordered_json::parse(written);
}

std::vector<std::string> Keys(const nlohmann::ordered_json& object) {
    std::vector<std::string> keys;
    for (const auto& item : object.items()) keys.push_back(item.key());
    return keys;
}

std::vector<Line> JsonLines(const nlohmann::ordered_json& doc) {
    std::vector<Line> lines;
    for (const auto& l : doc.at("lines")) {
        EXPECT_EQ(Keys(l), (std::vector<std::string>{"text", "color", "bold"}));
        const std::string hex = l.at("color").get<std::string>();
        EXPECT_TRUE(std::regex_match(hex, std::regex("#[0-9A-F]{6}"))) << hex;
        lines.push_back({l.at("text").get<std::string>(), static_cast<Color>(std::stoul(hex.substr(1), nullptr, 16)),
                         l.at("bold").get<bool>()});
    }
    return lines;
}

TEST(JsonReport, ParsesBackToTheReport) {
    const std::string written =
        Written([](std::ostream& o) { WriteJsonReport(o, SampleReport(), CompleteResult("C:\\g\\é.grf")); });
    const auto doc = ParseSingleJsonLine(written);
    EXPECT_EQ(Keys(doc), (std::vector<std::string>{"file", "complete", "lines", "graph"}));
    EXPECT_EQ(doc.at("file"), "C:\\g\\é.grf");
    EXPECT_EQ(doc.at("complete"), true);
    EXPECT_EQ(JsonLines(doc), SampleLines());
}

TEST(JsonReport, StoppedComesBeforeTheGraphAndOnlyWhenSet) {
    ReportView report;
    report.AddLine("only");

    const auto complete = ParseSingleJsonLine(
        Written([&](std::ostream& o) { WriteJsonReport(o, report, CompleteResult("a.grf")); }));
    EXPECT_FALSE(complete.contains("stopped"));

    AnalysisResult stopped;
    stopped.file = "b.grf";
    stopped.complete = false;
    stopped.stopped = AnalysisStop{0x1'2345'6789ull, "unexpected end of file"};
    const auto doc = ParseSingleJsonLine(Written([&](std::ostream& o) { WriteJsonReport(o, report, stopped); }));
    EXPECT_EQ(Keys(doc), (std::vector<std::string>{"file", "complete", "lines", "stopped", "graph"}));
    EXPECT_EQ(doc.at("complete"), false);
    EXPECT_EQ(Keys(doc.at("stopped")), (std::vector<std::string>{"offset", "reason"}));
    EXPECT_EQ(doc.at("stopped").at("offset").get<std::uint64_t>(), 0x1'2345'6789ull);
    EXPECT_EQ(doc.at("stopped").at("reason"), "unexpected end of file");
}

TEST(JsonReport, EmptyReportHasAnEmptyLineArray) {
    const auto doc = ParseSingleJsonLine(
        Written([](std::ostream& o) { WriteJsonReport(o, ReportView{}, CompleteResult("")); }));
    EXPECT_TRUE(doc.at("lines").is_array());
    EXPECT_TRUE(doc.at("lines").empty());
}

TEST(JsonReport, HostileTextsRoundTrip) {
    ReportView report;
    for (const std::string& t : HostileTexts()) report.AddLine(t);
    const auto doc = ParseSingleJsonLine(Written([&](std::ostream& o) { WriteJsonReport(o, report, {}); }));
    std::vector<Line> expected;
    for (const std::string& t : HostileTexts()) expected.push_back({t, kBlack, false});
    EXPECT_EQ(JsonLines(doc), expected);
}

TEST(JsonReport, CharactersToEscapeAreFoundWhereverTheyFallInALine) {
    // Each at every place in and past the first sixteen and eight bytes,
    // with the lines' colour and weight changing under them.
    ReportView report;
    std::vector<Line> expected;
    for (const std::string special : {"\"", "\\", "\n", "\x01", "\x1f", "\x7f", "é", "図"}) {
        for (std::size_t at = 0; at <= 40; ++at) {
            // Lines of every length, the character at every place in them.
            const std::string text = std::string(at, 'a') + special + std::string(at % 19, 'b');
            if (at % 2 == 0) {
                report.AddDetailLine(text);
                expected.push_back({text, kGrey, false});
            } else if (at % 3 == 0) {
                report.AddTitleLine(text);
                expected.push_back({text, kOlive, true});
            } else {
                report.AddBoldLine(text);
                expected.push_back({text, kBlack, true});
            }
        }
    }
    const auto doc = ParseSingleJsonLine(Written([&](std::ostream& o) { WriteJsonReport(o, report, {}); }));
    EXPECT_EQ(JsonLines(doc), expected);
}

TEST(JsonReport, MalformedUtf8BecomesReplacementCharacters) {
    const std::string bad = "a\xff" "b\xc3";  // a stray byte, then a cut-off sequence
    const std::string fixed = "a\uFFFDb\uFFFD";
    ReportView report;
    report.AddLine(bad);
    AnalysisResult result;
    result.file = bad;
    result.stopped = AnalysisStop{7, bad};
    const auto doc = ParseSingleJsonLine(Written([&](std::ostream& o) { WriteJsonReport(o, report, result); }));
    EXPECT_EQ(doc.at("file"), fixed);
    EXPECT_EQ(doc.at("lines").at(0).at("text"), fixed);
    EXPECT_EQ(doc.at("stopped").at("reason"), fixed);
}

// ---------------------------------------------------------------------- RTF

std::string RtfOf(const ReportView& report) {
    return Written([&](std::ostream& o) { WriteRtfReport(o, report); });
}

TEST(RtfReport, ParsesBackToTheReport) {
    const std::string rtf = RtfOf(SampleReport());
    EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg1252\\deff0", 0), 0u) << rtf.substr(0, 40);
    EXPECT_NE(rtf.find("{\\fonttbl"), std::string::npos);
    EXPECT_EQ(ReadRtfLines(rtf), SampleLines());
}

TEST(RtfReport, ColourTableListsEachColourOnceInFirstUseOrder) {
    const std::string rtf = RtfOf(SampleReport());
    const std::size_t start = rtf.find("{\\colortbl");
    ASSERT_NE(start, std::string::npos);
    EXPECT_EQ(rtf.substr(start, rtf.find('}', start) + 1 - start),
              "{\\colortbl ;"
              "\\red0\\green0\\blue0;"
              "\\red0\\green0\\blue255;"
              "\\red0\\green128\\blue0;"
              "\\red128\\green128\\blue0;"
              "\\red128\\green0\\blue128;"
              "\\red18\\green171\\blue95;}");
}

TEST(RtfReport, EmptyReportIsAnEmptyDocument) {
    const std::string rtf = RtfOf(ReportView{});
    EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    EXPECT_TRUE(ReadRtfLines(rtf).empty());
}

TEST(RtfReport, HostileTextsRoundTripWithoutDisturbingOtherLines) {
    for (const std::string& t : HostileTexts()) {
        ReportView report;
        report.AddLine("before");
        report.AddColorLine(t, kPurple);
        report.AddBoldLine("after");
        const std::string rtf = RtfOf(report);
        const std::vector<Line> expected = {{"before", kBlack, false}, {t, kPurple, false}, {"after", kBlack, true}};
        EXPECT_EQ(ReadRtfLines(rtf), expected) << rtf;
    }
}

TEST(RtfReport, IsSevenBitWithNoRawControlCharacters) {
    ReportView report;
    for (const std::string& t : HostileTexts()) report.AddLine(t);
    const std::string rtf = RtfOf(report);
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        const auto b = static_cast<unsigned char>(rtf[i]);
        const bool allowed = (b >= 0x20 && b < 0x7F) || b == '\r' || b == '\n';
        EXPECT_TRUE(allowed) << "byte " << static_cast<int>(b) << " at " << i;
    }
}

TEST(RtfReport, EscapesEachCharacterTheWayWindows1252Allows) {
    const struct {
        std::string text;
        std::string escaped;  // lower case
    } cases[] = {
        {"\\{}", "\\\\\\{\\}"},
        {"é", "\\'e9"},
        {"ÿ", "\\'ff"},
        {"€", "\\'80"},
        {"”", "\\'94"},
        {"\x01", "\\'01"},
        {"\x7f", "\\'7f"},
        {"\u0081", "\\u129?"},  // not in the code page: \'81 would read as unassigned
        {"漢", "\\u28450?"},
        {"\uFFFD", "\\u-3?"},
        {"😀", "\\u-10179?\\u-8704?"},
    };
    for (const auto& c : cases) {
        ReportView report;
        report.AddLine("[" + c.text + "]");
        std::string rtf = RtfOf(report);
        for (char& ch : rtf) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        EXPECT_NE(rtf.find("[" + c.escaped + "]"), std::string::npos) << c.escaped << "\n" << rtf;
    }
}

// --------------------------------------------------------------------- HTML

struct HtmlPage {
    std::string head;
    std::vector<Line> lines;
};

std::string UnescapeHtml(const std::string& s) {
    static const std::map<std::string, std::string> kEntities = {
        {"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}};
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        bool matched = false;
        for (const auto& [entity, ch] : kEntities) {
            if (s.compare(i, entity.size(), entity) == 0) {
                out += ch;
                i += entity.size();
                matched = true;
                break;
            }
        }
        if (!matched) out += s[i++];
    }
    return out;
}

// Reads the lines back from the <pre>, each "<span class="cN[ b]">text</span>",
// with the colours of the ".cN" rules of the page's style sheet.
HtmlPage ParseHtml(const std::string& html) {
    HtmlPage page;
    const std::size_t pre = html.find("<pre>");
    const std::size_t end = html.find("</pre>");
    if (pre == std::string::npos || end == std::string::npos || end < pre) {
        ADD_FAILURE() << "no <pre> in\n" << html;
        return page;
    }
    page.head = html.substr(0, pre);
    std::map<std::string, Color> classes;
    const std::regex rule(R"(\.(c\d+) \{ color: #([0-9A-F]{6}); \})");
    for (std::sregex_iterator it(page.head.begin(), page.head.end(), rule), last; it != last; ++it)
        classes[(*it)[1].str()] = static_cast<Color>(std::stoul((*it)[2].str(), nullptr, 16));

    const std::regex span(R"(<span class="(c\d+)( b)?">([^<>"']*)</span>)");
    std::istringstream body(html.substr(pre + 5, end - pre - 5));
    std::string row;
    while (std::getline(body, row)) {
        std::smatch m;
        if (!std::regex_match(row, m, span)) {
            ADD_FAILURE() << "unexpected line in <pre>: " << row;
            continue;
        }
        EXPECT_EQ(classes.count(m[1].str()), 1u) << "no rule for " << m[1];
        page.lines.push_back({UnescapeHtml(m[3].str()), classes[m[1].str()], m[2].matched});
    }
    return page;
}

std::string HtmlOf(const ReportView& report, const std::string& file) {
    return Written([&](std::ostream& o) { WriteHtmlReport(o, report, CompleteResult(file)); });
}

TEST(HtmlReport, IsOneSelfContainedPageKeepingEveryLine) {
    const std::string html = HtmlOf(SampleReport(), "C:\\graphs\\test.grf");
    EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_NE(html.find("<title>test.grf</title>"), std::string::npos);
    for (const char* banned : {"<script", "<link", "src=", "url(", "http:", "https:", "@import"})
        EXPECT_EQ(html.find(banned), std::string::npos) << banned;
    EXPECT_EQ(ParseHtml(html).lines, SampleLines());
}

TEST(HtmlReport, EscapesEveryText) {
    ReportView report;
    for (const std::string& t : HostileTexts()) report.AddColorLine(t, kTeal);
    const std::string html = HtmlOf(report, "C:\\in\\<b>&\"'.grf");
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_EQ(html.find("<b>"), std::string::npos);
    EXPECT_NE(html.find("<title>&lt;b&gt;&amp;&quot;&#39;.grf</title>"), std::string::npos);

    // Control characters other than the tab have no place in HTML text.
    std::vector<Line> expected;
    for (const std::string& t : HostileTexts()) {
        std::string shown;
        ForEachCodePoint(t, [&](char32_t cp) {
            const bool control = (cp < 0x20 && cp != U'\t') || (cp >= 0x7F && cp <= 0x9F);
            AppendUtf8(shown, control ? U'\uFFFD' : cp);
        });
        expected.push_back({shown, kTeal, false});
    }
    EXPECT_EQ(ParseHtml(html).lines, expected);
}

TEST(HtmlReport, MalformedUtf8BecomesReplacementCharacters) {
    ReportView report;
    report.AddLine("a\xff" "b\xe2\x82");
    const std::string html = HtmlOf(report, "bad\xff.grf");
    EXPECT_NE(html.find("<title>bad\uFFFD.grf</title>"), std::string::npos);
    EXPECT_EQ(ParseHtml(html).lines, (std::vector<Line>{{"a\uFFFDb\uFFFD\uFFFD", kBlack, false}}));
}

// --------------------------------------------------------------- RTF reader

TEST(RtfReader, ReadsWhatARichTextControlSaves) {
    const std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1036{\\fonttbl{\\f0\\fnil\\fcharset0 MS Sans Serif;}}\r\n"
        "{\\colortbl ;\\red128\\green128\\blue0;\\red0\\green128\\blue0;}\r\n"
        "{\\*\\generator Msftedit 5.41.21.2510;}\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs16 Title\\par\r\n"
        "\\cf2\\b0 caf\\'e9 \\u8364?\\par\r\n"
        "\\cf0\\par\r\n"
        "\\plain end}\r\n";
    EXPECT_EQ(ReadRtfLines(rtf), (std::vector<Line>{{"Title", kOlive, true},
                                                     {"caf\u00e9 \u20ac", kGreen, false},
                                                     {"", kBlack, false},
                                                     {"end", kBlack, false}}));
}

TEST(RtfReader, ReadsTextAndFormatting) {
    const struct {
        std::string name;
        std::string rtf;
        std::vector<Line> expected;
    } cases[] = {
        {"\\uc2 skips two", "{\\rtf1\\uc2\\u8364??x}", {{"\u20acx", 0, false}}},
        {"\\uc0 skips none", "{\\rtf1\\uc0\\u8364 x}", {{"\u20acx", 0, false}}},
        {"\\uc holds in its group", "{\\rtf1{\\uc3 }\\u8364?x}", {{"\u20acx", 0, false}}},
        {"a group ends the skipping", "{\\rtf1\\uc2\\u8364?{x}}", {{"\u20acx", 0, false}}},
        {"\\'xx counts as one skipped", "{\\rtf1\\u8364\\'80x}", {{"\u20acx", 0, false}}},
        {"surrogate pair", "{\\rtf1\\u-10179?\\u-8704?}", {{"\U0001F600", 0, false}}},
        {"lone surrogates", "{\\rtf1\\u-10179?x\\u-8704?}", {{"\uFFFDx\uFFFD", 0, false}}},
        {"Windows-1252 bytes", "{\\rtf1\\'80\\'93\\'94\\'e9\\'81\\'41}", {{"\u20ac\u201c\u201d\u00e9\u0081A", 0, false}}},
        {"escaped symbols", "{\\rtf1\\\\\\{\\}\\~x}", {{"\\{}\u00a0x", 0, false}}},
        {"source line ends are not text", "{\\rtf1 a\r\nb\\\r\nc}", {{"ab", 0, false}, {"c", 0, false}}},
        {"one delimiting space is eaten", "{\\rtf1\\b  x}", {{" x", 0, true}}},
        {"\\b0 and \\b1", "{\\rtf1\\b1 a\\par\\b0 b}", {{"a", 0, true}, {"b", 0, false}}},
        {"groups restore formatting",
         "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}{\\cf1\\b a}b\\par}",
         {{"ab", 0xFF0000, true}}},
        {"line takes its first character's format",
         "{\\rtf1{\\colortbl;\\red1\\green2\\blue3;}x\\cf1\\b y\\par z}",
         {{"xy", 0, false}, {"z", 0x010203, true}}},
        {"empty line takes the format at its break",
         "{\\rtf1{\\colortbl;\\red1\\green2\\blue3;}\\cf1\\b\\par}",
         {{"", 0x010203, true}}},
        {"colour table without the automatic entry",
         "{\\rtf1{\\colortbl\\red0\\green0\\blue255;}\\cf0 x}",
         {{"x", 0x0000FF, false}}},
        {"\\plain resets colour and bold",
         "{\\rtf1{\\colortbl;\\red9\\green9\\blue9;}\\cf1\\b a\\par\\plain b}",
         {{"a", 0x090909, true}, {"b", 0, false}}},
        {"\\line \\tab and named characters",
         "{\\rtf1 a\\tab b\\line \\ldblquote c\\rdblquote\\emdash}",
         {{"a\tb", 0, false}, {"\u201cc\u201d\u2014", 0, false}}},
        {"skipped destinations",
         "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}}"
         "{\\*\\unknown hidden{\\b more}}{\\*\\fldinst HYPERLINK}{\\fldrslt shown}\\par}",
         {{"shown", 0, false}}},
        {"\\bin data is skipped", "{\\rtf1 a{\\bin3 }{\\}b}", {{"ab", 0, false}}},
        {"text outside the document", "junk{\\rtf1 x}junk", {{"x", 0, false}}},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadRtfLines(c.rtf), c.expected) << c.name;
}

TEST(RtfReader, SurvivesMalformedInput) {
    const struct {
        std::string rtf;
        std::vector<Line> expected;
    } cases[] = {
        {"", {}},
        {"{", {}},
        {"}}}{{{", {}},
        {"\\", {}},
        {"{\\rtf1 a", {{"a", 0, false}}},
        {"{\\rtf1 a}}}} b", {{"a", 0, false}}},
        {"{\\rtf1 a\\'", {{"a\0"s, 0, false}}},
        {"{\\rtf1 a\\'4", {{"a\x04", 0, false}}},
        {"{\\rtf1 a\\'zz}", {{"a\0zz"s, 0, false}}},
        {"{\\rtf1 a\\u", {{"a\0"s, 0, false}}},
        {"{\\rtf1 a\\u-", {{"a\0"s, 0, false}}},
        {"{\\rtf1\\bin99999999999999999999 x}", {}},
        {"{\\rtf1\\bin-5 x}", {{"x", 0, false}}},
        {"{\\rtf1{\\colortbl;\\red1;}\\cf99999999999999999999 a\\par\\cf-1 b}", {{"a", 0, false}, {"b", 0, false}}},
        {"{\\rtf1{\\colortbl;\\red999\\green-4\\blue7;}\\cf1 a}", {{"a", 0xFF0007, false}}},
        {"{\\rtf1\\u-10179?", {{"\uFFFD", 0, false}}},
        {"{\\rtf1\\*", {}},
        {"{\\rtf1 \xe9\x80}", {{"\u00e9\u20ac", 0, false}}},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadRtfLines(c.rtf), c.expected) << '"' << c.rtf << '"';

    std::string deep = "{\\rtf1 ";
    for (int i = 0; i < 100000; ++i) deep += '{';
    deep += "x";
    EXPECT_EQ(ReadRtfLines(deep), (std::vector<Line>{{"x", 0, false}}));
}


// ------------------------------------------------ several reports, one document

namespace several {

ReportView ReportOf(const std::string& title, Color filterColor) {
    ReportView r;
    r.AddTitleLine(title);
    r.AddColorLine("0001  \"Filter\"", filterColor);
    r.AddBoldLine("pin => pin");
    r.AddLine("     Mediatype Video");
    return r;
}

AnalysisResult Unopened(std::string file) {
    AnalysisResult r;
    r.file = std::move(file);
    r.stopped = AnalysisStop{0, "cannot open: No such file or directory", StopKind::Open};
    return r;
}

struct FileRun {
    std::string file;
    ReportView report;
    AnalysisResult result;
};

std::string DocumentOf(ReportFormat format, const std::vector<FileRun>& runs) {
    std::vector<std::string> files;
    for (const FileRun& r : runs) files.push_back(r.file);
    return Written([&](std::ostream& o) {
        const auto document = MakeReportDocument(o, format, files);
        for (const FileRun& r : runs) document->Add(r.report, r.result);
        document->Finish();
    });
}

std::vector<FileRun> TwoReportsAndAMissingFile() {
    return {{"a.grf", ReportOf("A.GRF", kGreen), CompleteResult("a.grf")},
            {"missing.grf", ReportView{}, Unopened("missing.grf")},
            {"b.grf", ReportOf("B.GRF", kPurple), CompleteResult("b.grf")}};
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

std::vector<Line> LinesOf(const ReportView& a, const ReportView& b) {
    std::vector<Line> lines = ReadRtfLines(Written([&](std::ostream& o) { WriteRtfReport(o, a); }));
    for (const Line& l : ReadRtfLines(Written([&](std::ostream& o) { WriteRtfReport(o, b); }))) lines.push_back(l);
    return lines;
}

TEST(ReportDocument, SeveralReportsMakeOneRtfDocument) {
    const std::vector<FileRun> runs = TwoReportsAndAMissingFile();
    const std::string rtf = DocumentOf(ReportFormat::Rtf, runs);
    EXPECT_EQ(Count(rtf, "{\\rtf1"), 1u);
    EXPECT_EQ(Count(rtf, "{\\colortbl"), 1u);
    EXPECT_EQ(Count(rtf, "\\page"), 1u);
    EXPECT_EQ(ReadRtfLines(rtf), LinesOf(runs[0].report, runs[2].report));
}

TEST(ReportDocument, SeveralReportsMakeOneHtmlPageWithAListAndASectionPerFile) {
    const std::vector<FileRun> runs = TwoReportsAndAMissingFile();
    const std::string html = DocumentOf(ReportFormat::Html, runs);
    EXPECT_EQ(Count(html, "<!DOCTYPE html>"), 1u);
    EXPECT_EQ(Count(html, "</html>"), 1u);
    for (const std::string anchor : {"report-1", "report-2", "report-3"}) {
        EXPECT_EQ(Count(html, "<a href=\"#" + anchor + "\">"), 1u) << anchor;
        EXPECT_EQ(Count(html, "<section id=\"" + anchor + "\">"), 1u) << anchor;
    }
    EXPECT_NE(html.find("<h2>missing.grf</h2>\n<p>cannot open: No such file or directory</p>"), std::string::npos);
    // Each section's lines, read with the page's one style sheet.
    const std::string head = html.substr(0, html.find("<nav>"));
    std::vector<Line> lines;
    for (std::size_t at = html.find("<pre>"); at != std::string::npos; at = html.find("<pre>", at + 1)) {
        const std::size_t end = html.find("</pre>", at);
        for (const Line& l : ParseHtml(head + html.substr(at, end + 6 - at)).lines) lines.push_back(l);
    }
    EXPECT_EQ(lines, LinesOf(runs[0].report, runs[2].report));
}

TEST(ReportDocument, SeveralReportsMakeOneJsonArrayWithAnObjectPerFile) {
    const auto array = nlohmann::json::parse(DocumentOf(ReportFormat::Json, TwoReportsAndAMissingFile()));
    ASSERT_TRUE(array.is_array());
    ASSERT_EQ(array.size(), 3u);
    EXPECT_EQ(array[0]["lines"][0]["text"], "A.GRF");
    EXPECT_EQ(array[1]["file"], "missing.grf");
    EXPECT_EQ(array[1]["stopped"]["reason"], "cannot open: No such file or directory");
    EXPECT_EQ(array[2]["lines"][0]["text"], "B.GRF");
}

TEST(ReportDocument, OneFileGivesTheOneReportDocumentAndNoReportGivesNothing) {
    const FileRun one{"a.grf", ReportOf("A.GRF", kBlue), CompleteResult("a.grf")};
    for (const ReportFormat format : {ReportFormat::Text, ReportFormat::Ansi, ReportFormat::Json, ReportFormat::Rtf,
                                      ReportFormat::Html, ReportFormat::Csv}) {
        if (format != ReportFormat::Text && format != ReportFormat::Ansi && format != ReportFormat::Csv) {
            EXPECT_EQ(DocumentOf(format, {one}),
                      Written([&](std::ostream& o) { WriteReport(o, format, one.report, one.result); }));
        }
        const FileRun missing{"m.grf", ReportView{}, Unopened("m.grf")};
        EXPECT_EQ(DocumentOf(format, {missing}), "");
        EXPECT_EQ(DocumentOf(format, {missing, missing}), "");
    }
}

}  // namespace several

// ---------------------------------------------------------------------- CSV

std::string CsvOf(const std::vector<std::pair<std::string, quorvel::testing::Bytes>>& files) {
    std::vector<std::string> names;
    for (const auto& [name, bytes] : files) names.push_back(name);
    return Written([&](std::ostream& o) {
        const auto document = MakeReportDocument(o, ReportFormat::Csv, names);
        for (const auto& [name, bytes] : files) {
            AnalysisEnvironment env = quorvel::testing::TestEnvironment();
            env.graphSink = document->GraphStreamingSink();
            ReportView report;
            document->Add(report, AnalyzeGraphBytes(bytes, name, report, env));
        }
        document->Finish();
    });
}

TEST(CsvReport, ARowPerConnectionWithItsNumbersAndNoCellThatRunsAsAFormula) {
    namespace wk = quorvel::wellknown;
    quorvel::testing::GraphStream s;
    s.Filters().Filter({"0001", "=HYPERLINK(1)", wk::kAviSplitter});
    s.Filter({"0002", "Render, main", wk::kAviSplitter});
    s.Connections().Connection({1, "Video", 2, "In", {wk::kMediatypeVideo, wk::kSubtypeRgb24, '1', '0', "0000921600",
                                                      wk::kFormatVideoInfo, quorvel::testing::VideoInfoHeader(640, -480, 24, 0)}});
    s.Connection({1, "Audio", 2, "In 2", {wk::kMediatypeAudio, wk::kSubtypePcm, '1', '0', "0000000004",
                                           wk::kFormatWaveFormatEx, quorvel::testing::WaveFormatEx(1, 2, 44100, 16)}});
    s.Clock(false, "0000").End();
    quorvel::testing::GraphStream cut;  // stops inside its only connection: no row
    cut.Filters().Filter({"0001", "A", wk::kAviSplitter}).Connections().Text("0001 \"Out\" 0002");
    const std::string csv = CsvOf({{"missing.grf", {}},
                                   {"a,\"b\".grf", quorvel::testing::GraphFile(s.bytes())},
                                   {"cut.grf", quorvel::testing::GraphFile(cut.bytes(), 3072, false)}});
    const std::vector<std::string> rows = {
        "file,output_filter,output_pin,input_filter,input_pin,major_type,subtype,format,width,height,frame_rate,"
        "sample_rate,channels,bits",
        "\"a,\"\"b\"\".grf\",'=HYPERLINK(1),Video,\"Render, main\",In,Mediatype Video,"
        "Mediasubtype RGB24,Format VideoInfoHeader,640,480,30,,,24",
        "\"a,\"\"b\"\".grf\",'=HYPERLINK(1),Audio,\"Render, main\",In 2,Mediatype Audio,"
        "MediaSubType PCM Audio,Format WaveFormatEx,,,,44100,2,16",
    };
    std::string expected;
    for (const std::string& row : rows) expected += row + "\r\n";
    EXPECT_EQ(csv, expected);
}

}  // namespace
}  // namespace quorvel
