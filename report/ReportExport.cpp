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
    static constexpr std::array<std::pair<std::string_view, ReportFormat>, 7> kNames = {{
        {"text", ReportFormat::Text},
        {"ansi", ReportFormat::Ansi},
        {"json", ReportFormat::Json},
        {"rtf", ReportFormat::Rtf},
        {"html", ReportFormat::Html},
        {"dot", ReportFormat::Dot},
        {"svg", ReportFormat::Svg},
    }};
    for (const auto& [known, format] : kNames)
        if (EqualsIgnoringCase(name, known)) return format;
    return std::nullopt;
}

std::optional<ReportFormat> ReportFormatForExtension(std::string_view path) {
    static constexpr std::array<std::pair<std::string_view, ReportFormat>, 9> kExtensions = {{
        {"dot", ReportFormat::Dot},
        {"gv", ReportFormat::Dot},
        {"svg", ReportFormat::Svg},
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
        case ReportFormat::Dot:
        case ReportFormat::Svg: return;
    }
}

namespace {

void AppendTextLine(std::string& buf, std::string_view line) {
    buf += line;
    buf += '\n';
}

void AppendAnsiLine(std::string& buf, std::string_view line, Color color, bool bold) {
    AppendAnsiStyle(buf, color, bold);
    // C1 controls are replaced too, and malformed bytes come out as U+FFFD:
    // some terminals take U+009B or a lone 0x9B byte for an escape.
    AppendTerminalText(buf, line);
    buf += "\x1b[0m\n";
}

void WriteOut(std::ostream& out, std::string& buf) {
    out.write(buf.data(), static_cast<std::streamsize>(buf.size()));
    buf.clear();
}

// Lines gathered into blocks before they reach the stream: a line at a
// time costs more in the stream's own bookkeeping than in the line.
class BlockSink : public ReportSink {
public:
    explicit BlockSink(std::ostream& out) : out_(out) {}
    ~BlockSink() override { Flush(); }
    void Flush() override { WriteOut(out_, buf_); }

protected:
    void Gathered() {
        if (buf_.size() >= kBlock) WriteOut(out_, buf_);
    }
    std::string buf_;

private:
    static constexpr std::size_t kBlock = 1 << 16;
    std::ostream& out_;
};

class TextSink final : public BlockSink {
public:
    using BlockSink::BlockSink;
    void Append(std::string_view text, Color, bool) override {
        ForEachCrLfPart(text, [&](std::string_view line) { AppendTextLine(buf_, line); });
        Gathered();
    }
};

// Plain text for a terminal: what the file holds never drives it.
class TerminalTextSink final : public BlockSink {
public:
    using BlockSink::BlockSink;
    void Append(std::string_view text, Color, bool) override {
        ForEachCrLfPart(text, [&](std::string_view line) {
            AppendTerminalText(buf_, line);
            buf_ += '\n';
        });
        Gathered();
    }
};

class AnsiSink final : public BlockSink {
public:
    using BlockSink::BlockSink;
    void Append(std::string_view text, Color color, bool bold) override {
        ForEachCrLfPart(text, [&](std::string_view line) { AppendAnsiLine(buf_, line, color, bold); });
        Gathered();
    }
};

}  // namespace

std::unique_ptr<ReportSink> MakeStreamingSink(std::ostream& out, ReportFormat format, bool terminal) {
    switch (format) {
        case ReportFormat::Text:
            if (terminal) return std::make_unique<TerminalTextSink>(out);
            return std::make_unique<TextSink>(out);
        case ReportFormat::Ansi: return std::make_unique<AnsiSink>(out);
        default: return nullptr;
    }
}

void WriteTextReport(std::ostream& out, const ReportView& report) {
    TextSink sink(out);
    report.ForEachLine([&](std::string_view line, Color color, bool bold) { sink.Append(line, color, bold); });
}

void WriteAnsiReport(std::ostream& out, const ReportView& report) {
    AnsiSink sink(out);
    report.ForEachLine([&](std::string_view line, Color color, bool bold) { sink.Append(line, color, bold); });
}

}  // namespace quorvel
