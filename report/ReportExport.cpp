#include "report/ReportExport.hpp"

#include <algorithm>
#include <array>
#include <ostream>
#include <utility>

#include "report/ReportExportDetail.hpp"
#include "platform/TextConv.hpp"
#include "platform/Hex.hpp"

namespace quorvel {
namespace report_export {

ColorTable::ColorTable(const ReportView& report) {
    for (const ReportEntry& e : report.Entries())
        if (index_.emplace(e.color, colors_.size()).second) colors_.push_back(e.color);
}

ColorTable::ColorTable(std::span<const Color> colors) {
    for (const Color c : colors)
        if (index_.emplace(c, colors_.size()).second) colors_.push_back(c);
}

std::string HexColor(Color color) {
    std::string hex = "#";
    AppendHex(hex, color, 6);
    return hex;
}

void AssignValidUtf8(std::string& out, std::string_view text) {
    out.clear();
    ForEachCodePoint(text, [&](char32_t cp) { AppendUtf8(out, cp); });
}

}  // namespace report_export

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

// The extension of the last path component, without its dot; empty when the
// name has none.  A leading dot (".json") names a file, not an extension.
std::string_view Extension(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return {};
    return name.substr(dot + 1);
}

bool IsTerminalControl(char32_t cp) { return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F); }

void AppendAnsiStyle(std::string& out, Color color, bool bold) {
    if (color != kBlack) {
        out += "\x1b[38;2;";
        out += std::to_string((color >> 16) & 0xFF) + ';' + std::to_string((color >> 8) & 0xFF) + ';' +
               std::to_string(color & 0xFF) + 'm';
    }
    if (bold) out += "\x1b[1m";
}

}  // namespace

std::optional<ReportFormat> ParseReportFormat(std::string_view name) {
    static constexpr std::array<std::pair<std::string_view, ReportFormat>, 5> kNames = {{
        {"text", ReportFormat::Text},
        {"ansi", ReportFormat::Ansi},
        {"json", ReportFormat::Json},
        {"rtf", ReportFormat::Rtf},
        {"html", ReportFormat::Html},
    }};
    for (const auto& [known, format] : kNames)
        if (EqualsIgnoringCase(name, known)) return format;
    return std::nullopt;
}

std::optional<ReportFormat> ReportFormatForExtension(std::string_view path) {
    static constexpr std::array<std::pair<std::string_view, ReportFormat>, 6> kExtensions = {{
        {"rtf", ReportFormat::Rtf},
        {"log", ReportFormat::Rtf},
        {"html", ReportFormat::Html},
        {"htm", ReportFormat::Html},
        {"json", ReportFormat::Json},
        {"txt", ReportFormat::Text},
    }};
    const std::string_view ext = Extension(path);
    for (const auto& [known, format] : kExtensions)
        if (EqualsIgnoringCase(ext, known)) return format;
    return std::nullopt;
}

void WriteReport(std::ostream& out, ReportFormat format, const ReportView& report,
                 const AnalysisResult& result) {
    switch (format) {
        case ReportFormat::Text: WriteTextReport(out, report); return;
        case ReportFormat::Ansi: WriteAnsiReport(out, report); return;
        case ReportFormat::Json: WriteJsonReport(out, report, result); return;
        case ReportFormat::Rtf: WriteRtfReport(out, report); return;
        case ReportFormat::Html: WriteHtmlReport(out, report, result); return;
    }
}

namespace {

void WriteTextLine(std::ostream& out, std::string_view line) {
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
    out.put('\n');
}

void WriteAnsiLine(std::ostream& out, std::string& buf, std::string_view line, Color color, bool bold) {
    buf.clear();
    AppendAnsiStyle(buf, color, bold);
    // C1 controls are replaced too, and malformed bytes come out as U+FFFD:
    // some terminals take U+009B or a lone 0x9B byte for an escape.
    ForEachCodePoint(line, [&](char32_t cp) { AppendUtf8(buf, IsTerminalControl(cp) ? U'?' : cp); });
    buf += "\x1b[0m\n";
    out.write(buf.data(), static_cast<std::streamsize>(buf.size()));
}

class TextSink final : public ReportSink {
public:
    explicit TextSink(std::ostream& out) : out_(out) {}
    void Append(std::string_view text, Color, bool) override {
        ForEachCrLfPart(text, [&](std::string_view line) { WriteTextLine(out_, line); });
    }

private:
    std::ostream& out_;
};

class AnsiSink final : public ReportSink {
public:
    explicit AnsiSink(std::ostream& out) : out_(out) {}
    void Append(std::string_view text, Color color, bool bold) override {
        ForEachCrLfPart(text, [&](std::string_view line) { WriteAnsiLine(out_, buf_, line, color, bold); });
    }

private:
    std::ostream& out_;
    std::string buf_;
};

}  // namespace

std::unique_ptr<ReportSink> MakeStreamingSink(std::ostream& out, ReportFormat format) {
    switch (format) {
        case ReportFormat::Text: return std::make_unique<TextSink>(out);
        case ReportFormat::Ansi: return std::make_unique<AnsiSink>(out);
        default: return nullptr;
    }
}

void WriteTextReport(std::ostream& out, const ReportView& report) {
    report.ForEachLine([&](std::string_view line, Color, bool) { WriteTextLine(out, line); });
}

void WriteAnsiReport(std::ostream& out, const ReportView& report) {
    std::string buf;
    report.ForEachLine(
        [&](std::string_view line, Color color, bool bold) { WriteAnsiLine(out, buf, line, color, bold); });
}

}  // namespace quorvel
