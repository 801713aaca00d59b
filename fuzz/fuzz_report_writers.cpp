// fuzz_report_writers: a report made of arbitrary text, then every writer on
// it, each output read back and compared with the lines the report shows.
//
// The input is cut into entries at each "\x1e\x1f".  The first entry is the
// analysed file's path after one byte of flags (bit 0: the analysis is
// complete; otherwise it stopped, with the second half of the path as its
// reason).  In every other entry the first byte chooses how the text is
// appended (AddLine, a colour from a palette or from the next three bytes,
// bold, title, separator, blank line, or the report cleared first), and the
// rest is the text: bytes as they come, malformed UTF-8, controls and CR LF
// included.
#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "report/ReportExport.hpp"
#include "report/ReportView.hpp"
#include "fuzz/FuzzCheck.hpp"
#include "tests/support/RtfReader.hpp"

namespace {

using namespace quorvel;
using quorvel::fuzz::Repaired;

struct ShownLine {
    std::string text;
    Color color = kBlack;
    bool bold = false;
};

constexpr Color kPalette[8] = {kBlack, kOlive, kGreen, kPurple, kBlue, 0xFFFFFF, 0x123456, 0xFF0000};
constexpr std::string_view kEntrySeparator = "\x1e\x1f";

std::vector<std::string_view> SplitInput(std::string_view in) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = in.find(kEntrySeparator);
        if (at == std::string_view::npos) {
            parts.push_back(in);
            return parts;
        }
        parts.push_back(in.substr(0, at));
        in.remove_prefix(at + kEntrySeparator.size());
    }
}

// Builds the report through ReportView's own calls, and beside it the lines
// it must show, from our own model of its attributes.
class ReportModel {
public:
    void Apply(std::string_view entry, ReportView& report) {
        if (entry.empty()) {
            report.AddLine({});
            Add({});
            return;
        }
        const auto op = static_cast<unsigned char>(entry[0]);
        std::string_view text = entry.substr(1);
        switch (op % 8) {
            case 0: report.AddLine(text); break;
            case 1:
                color_ = kPalette[(op >> 3) & 7];
                report.AddColorLine(text, color_);
                break;
            case 2: {
                Color c = 0;
                for (std::size_t k = 0; k < 3 && !text.empty(); ++k) {
                    c = (c << 8) | static_cast<unsigned char>(text[0]);
                    text.remove_prefix(1);
                }
                color_ = c;
                report.AddColorLine(text, color_);
                break;
            }
            case 3:
                color_ = kBlack, bold_ = true;
                report.AddBoldLine(text);
                break;
            case 4:
                color_ = kOlive, bold_ = true;
                report.AddTitleLine(text);
                break;
            case 5:
                text = separator_;
                report.AddSeparatorLine();
                break;
            case 6:
                text = {};
                report.AddBlankLine();
                break;
            case 7:
                lines_.clear();
                color_ = kBlack, bold_ = false;
                report.Clear();
                report.AddLine(text);
                break;
        }
        Add(text);
    }

    const std::vector<ShownLine>& Lines() const { return lines_; }

private:
    // An entry shows as one line per part between CR LF pairs.
    void Add(std::string_view text) {
        for (;;) {
            const std::size_t at = text.find("\r\n");
            lines_.push_back({std::string(text.substr(0, at)), color_, bold_});
            if (at == std::string_view::npos) return;
            text.remove_prefix(at + 2);
        }
    }

    Color color_ = kBlack;
    bool bold_ = false;
    std::vector<ShownLine> lines_;
    const std::string separator_ = std::string(100, '-');
};

std::string Hex(Color c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%06X", static_cast<unsigned>(c));
    return buf;
}

template <typename Fn>
std::string Written(Fn&& write) {
    std::ostringstream out;
    write(out);
    QUORVEL_FUZZ_CHECK(static_cast<bool>(out));
    return out.str();
}

bool IsTerminalControl(char32_t cp) { return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F); }
bool IsHtmlControl(char32_t cp) { return (cp < 0x20 && cp != U'\t') || (cp >= 0x7F && cp <= 0x9F); }

void CheckText(const ReportView& report, const std::vector<ShownLine>& lines) {
    std::string expected;
    for (const ShownLine& l : lines) expected += l.text + "\n";
    QUORVEL_FUZZ_CHECK(Written([&](std::ostream& o) { WriteTextReport(o, report); }) == expected);
}

void CheckAnsi(const ReportView& report, const std::vector<ShownLine>& lines) {
    std::string expected;
    for (const ShownLine& l : lines) {
        if (l.color != kBlack) {
            expected += "\x1b[38;2;" + std::to_string(l.color >> 16) + ";" + std::to_string((l.color >> 8) & 0xFF) +
                        ";" + std::to_string(l.color & 0xFF) + "m";
        }
        if (l.bold) expected += "\x1b[1m";
        expected += Repaired(l.text, [](char32_t cp) { return IsTerminalControl(cp) ? U'?' : cp; });
        expected += "\x1b[0m\n";
    }
    QUORVEL_FUZZ_CHECK(Written([&](std::ostream& o) { WriteAnsiReport(o, report); }) == expected);
}

void CheckJson(const ReportView& report, const AnalysisResult& result, const std::vector<ShownLine>& lines) {
    const std::string out = Written([&](std::ostream& o) { WriteJsonReport(o, report, result); });
    QUORVEL_FUZZ_CHECK(!out.empty() && out.find('\n') == out.size() - 1);  // one object on one line
    nlohmann::json j;
    try {
        j = nlohmann::json::parse(out);
    } catch (const nlohmann::json::exception& e) {
        std::fprintf(stderr, "JSON report does not parse: %s\n", e.what());
        QUORVEL_FUZZ_CHECK(!"the JSON report parses");
    }
    QUORVEL_FUZZ_CHECK(j.is_object());
    QUORVEL_FUZZ_CHECK(j.at("file") == Repaired(result.file));
    QUORVEL_FUZZ_CHECK(j.at("complete") == result.complete);
    QUORVEL_FUZZ_CHECK(j.contains("stopped") == result.stopped.has_value());
    if (result.stopped) {
        QUORVEL_FUZZ_CHECK(j["stopped"].at("offset") == result.stopped->offset);
        QUORVEL_FUZZ_CHECK(j["stopped"].at("reason") == Repaired(result.stopped->reason));
    }
    const nlohmann::json& got = j.at("lines");
    QUORVEL_FUZZ_CHECK(got.is_array() && got.size() == lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        QUORVEL_FUZZ_CHECK(got[i].at("text") == Repaired(lines[i].text));
        QUORVEL_FUZZ_CHECK(got[i].at("color") == Hex(lines[i].color));
        QUORVEL_FUZZ_CHECK(got[i].at("bold") == lines[i].bold);
    }
}

void CheckRtf(const ReportView& report, const std::vector<ShownLine>& lines) {
    const std::string out = Written([&](std::ostream& o) { WriteRtfReport(o, report); });
    // Everything outside printable ASCII is escaped: the document is 7-bit.
    for (const char c : out) QUORVEL_FUZZ_CHECK(static_cast<unsigned char>(c) < 0x80);
    const std::vector<test::RtfLine> got = test::ReadRtfLines(out);
    QUORVEL_FUZZ_CHECK(got.size() == lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        // Controls are escaped, not replaced: RTF keeps them.
        QUORVEL_FUZZ_CHECK(got[i].text == Repaired(lines[i].text));
        QUORVEL_FUZZ_CHECK(got[i].color == lines[i].color);
        QUORVEL_FUZZ_CHECK(got[i].bold == lines[i].bold);
    }
}

// Our own reading of the page: the colour classes of the style sheet, the
// title, and one <span> per line inside the <pre>.  Any markup the writer is
// not known to produce makes the reading fail.
struct HtmlPage {
    std::string title;
    std::vector<ShownLine> lines;
};

bool Unescape(std::string_view text, std::string& out) {
    out.clear();
    static constexpr std::pair<std::string_view, char> kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#39;", '\''}};
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '<' || c == '>' || c == '"' || c == '\'') return false;  // must have been escaped
        if (c != '&') {
            out += c;
            ++i;
            continue;
        }
        bool known = false;
        for (const auto& [entity, ch] : kEntities) {
            if (text.substr(i, entity.size()) == entity) {
                out += ch;
                i += entity.size();
                known = true;
                break;
            }
        }
        if (!known) return false;
    }
    return true;
}

bool Eat(std::string_view& s, std::string_view prefix) {
    if (s.substr(0, prefix.size()) != prefix) return false;
    s.remove_prefix(prefix.size());
    return true;
}

bool EatNumber(std::string_view& s, std::size_t& n) {
    std::size_t k = 0;
    n = 0;
    while (k < s.size() && k < 9 && s[k] >= '0' && s[k] <= '9') n = n * 10 + static_cast<std::size_t>(s[k++] - '0');
    s.remove_prefix(k);
    return k > 0;
}

bool ParseHtml(std::string_view html, HtmlPage& page) {
    const std::size_t titleAt = html.find("<title>");
    const std::size_t titleEnd = html.find("</title>");
    if (titleAt == std::string_view::npos || titleEnd == std::string_view::npos || titleEnd < titleAt) return false;
    if (!Unescape(html.substr(titleAt + 7, titleEnd - titleAt - 7), page.title)) return false;

    const std::size_t styleEnd = html.find("</style>");
    if (styleEnd == std::string_view::npos) return false;
    std::map<std::size_t, Color> classes;
    std::string_view style = html.substr(0, styleEnd);
    for (std::size_t at = style.find("\n.c"); at != std::string_view::npos; at = style.find("\n.c", at + 1)) {
        std::string_view rule = style.substr(at + 3);
        std::size_t index = 0;
        if (!EatNumber(rule, index) || !Eat(rule, " { color: #") || rule.size() < 6) return false;
        Color c = 0;
        for (std::size_t k = 0; k < 6; ++k) {
            const char h = rule[k];
            const int v = h >= '0' && h <= '9' ? h - '0' : h >= 'A' && h <= 'F' ? h - 'A' + 10 : -1;
            if (v < 0) return false;
            c = c * 16 + static_cast<Color>(v);
        }
        rule.remove_prefix(6);
        if (!Eat(rule, "; }\n")) return false;
        if (!classes.emplace(index, c).second) return false;
    }

    const std::size_t pre = html.find("<pre>");
    if (pre == std::string_view::npos || pre < styleEnd) return false;
    std::string_view body = html.substr(pre + 5);
    std::string text;
    while (!Eat(body, "</pre>\n</body>\n</html>\n")) {
        std::size_t index = 0;
        if (!Eat(body, "<span class=\"c") || !EatNumber(body, index)) return false;
        const bool bold = Eat(body, " b");
        if (!Eat(body, "\">")) return false;
        const std::size_t close = body.find('<');
        if (close == std::string_view::npos || !Unescape(body.substr(0, close), text)) return false;
        body.remove_prefix(close);
        if (!Eat(body, "</span>\n")) return false;
        const auto cls = classes.find(index);
        if (cls == classes.end()) return false;
        page.lines.push_back({text, cls->second, bold});
    }
    return body.empty();
}

void CheckHtml(const ReportView& report, const AnalysisResult& result, const std::vector<ShownLine>& lines) {
    const std::string out = Written([&](std::ostream& o) { WriteHtmlReport(o, report, result); });
    QUORVEL_FUZZ_CHECK(out.rfind("<!DOCTYPE html>\n", 0) == 0);
    HtmlPage page;
    const bool parsed = ParseHtml(out, page);
    if (!parsed) std::fprintf(stderr, "HTML report not read back:\n%s\n", out.c_str());
    QUORVEL_FUZZ_CHECK(parsed);

    const auto htmlText = [](std::string_view s) {
        return Repaired(s, [](char32_t cp) { return IsHtmlControl(cp) ? char32_t{0xFFFD} : cp; });
    };
    const std::string_view file = result.file;
    const std::size_t slash = file.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? file : file.substr(slash + 1);
    QUORVEL_FUZZ_CHECK(page.title == (file.empty() ? std::string("Quorvel report") : htmlText(name)));

    QUORVEL_FUZZ_CHECK(page.lines.size() == lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        QUORVEL_FUZZ_CHECK(page.lines[i].text == htmlText(lines[i].text));
        QUORVEL_FUZZ_CHECK(page.lines[i].color == lines[i].color);
        QUORVEL_FUZZ_CHECK(page.lines[i].bold == lines[i].bold);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string_view> entries = SplitInput(input);

    AnalysisResult result;
    const std::string_view head = entries[0];
    const bool complete = !head.empty() && (static_cast<unsigned char>(head[0]) & 1) != 0;
    result.file = std::string(head.empty() ? head : head.substr(1));
    result.complete = complete;
    if (!complete) result.stopped = AnalysisStop{size, result.file.substr(result.file.size() / 2)};

    ReportView report;
    ReportModel model;
    for (std::size_t i = 1; i < entries.size(); ++i) model.Apply(entries[i], report);
    const std::vector<ShownLine>& lines = model.Lines();

    // The report shows exactly the modelled lines, bytes as appended.
    QUORVEL_FUZZ_CHECK(report.LineCount() == lines.size());
    std::size_t n = 0;
    report.ForEachLine([&](std::string_view text, Color color, bool bold) {
        QUORVEL_FUZZ_CHECK(n < lines.size());
        QUORVEL_FUZZ_CHECK(text == lines[n].text && color == lines[n].color && bold == lines[n].bold);
        ++n;
    });

    CheckText(report, lines);
    CheckAnsi(report, lines);
    CheckJson(report, result, lines);
    CheckRtf(report, lines);
    CheckHtml(report, result, lines);
    return 0;
}
