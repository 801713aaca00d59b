// The report as an RTF document, as the window saves its logs: the lines
// with their colours and weights; several files make one document with a
// page break between reports.
#include <ostream>
#include <string>

#include "report/ReportDocument.hpp"

#include "report/ReportExport.hpp"
#include "report/ReportExportDetail.hpp"
#include "platform/TextConv.hpp"
#include "platform/Hex.hpp"

namespace quorvel {
namespace {

// A monospaced face keeps the report's indented values in columns.
constexpr std::string_view kRtfHeader =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0"
    "{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset0 Courier New;}}\r\n";

void AppendHexByte(std::string& out, unsigned byte) {
    out += "\\'";
    AppendHex(out, byte, 2, /*lowerCase=*/true);
}

void AppendUnicodeUnit(std::string& out, std::uint16_t unit) {
    out += "\\u";
    out += std::to_string(static_cast<std::int16_t>(unit));
    out += '?';  // what a reader without Unicode shows; \uc1 skips it
}

// Nothing from the text can start a control word or a group: \ { } and the
// control characters are escaped, everything outside printable ASCII too.
void AppendRtfChar(std::string& out, char32_t cp) {
    if (cp == U'\\' || cp == U'{' || cp == U'}') {
        out += '\\';
        out += static_cast<char>(cp);
    } else if (cp < 0x20 || cp == 0x7F) {
        AppendHexByte(out, static_cast<unsigned>(cp));
    } else if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp >= 0x10000) {
        const char32_t v = cp - 0x10000;
        AppendUnicodeUnit(out, static_cast<std::uint16_t>(0xD800 + (v >> 10)));
        AppendUnicodeUnit(out, static_cast<std::uint16_t>(0xDC00 + (v & 0x3FF)));
    } else if (const char ansi = AnsiFromCodeUnit(static_cast<std::uint16_t>(cp)); ansi != kDefaultChar) {
        AppendHexByte(out, static_cast<unsigned char>(ansi));
    } else {
        AppendUnicodeUnit(out, static_cast<std::uint16_t>(cp));
    }
}

// Index 0 of the table is left empty (the reader's automatic colour), so the
// report's colours are numbered from 1.
std::string ColorTableGroup(const report_export::ColorTable& colors) {
    std::string out = "{\\colortbl ;";
    for (Color c : colors.Colors()) {
        out += "\\red" + std::to_string((c >> 16) & 0xFF) + "\\green" + std::to_string((c >> 8) & 0xFF) +
               "\\blue" + std::to_string(c & 0xFF) + ';';
    }
    out += "}\r\n";
    return out;
}

}  // namespace

namespace report_export {

void WriteRtfHead(std::ostream& out, const ColorTable& colors) {
    out << kRtfHeader << ColorTableGroup(colors) << "\\viewkind4\\uc1";
}

// From a plain paragraph on: the automatic colour, not bold.
void WriteRtfParagraphs(std::ostream& out, const ReportView& report, const ColorTable& colors) {
    out << "\\pard\\plain\\f0\\fs18\r\n";
    std::size_t currentColor = 0;  // \plain: the automatic colour, not bold
    bool currentBold = false;
    std::string buf;
    report.ForEachLine([&](std::string_view line, Color color, bool bold) {
        buf.clear();
        const std::size_t index = colors.IndexOf(color) + 1;
        if (index != currentColor) buf += "\\cf" + std::to_string(index);
        if (bold != currentBold) buf += bold ? "\\b" : "\\b0";
        if (!buf.empty()) buf += ' ';
        currentColor = index;
        currentBold = bold;
        ForEachCodePoint(line, [&](char32_t cp) { AppendRtfChar(buf, cp); });
        buf += "\\par\r\n";
        out.write(buf.data(), static_cast<std::streamsize>(buf.size()));
    });
}

}  // namespace report_export

void WriteRtfReport(std::ostream& out, const ReportView& report) {
    const report_export::ColorTable colors(report);
    report_export::WriteRtfHead(out, colors);
    report_export::WriteRtfParagraphs(out, report, colors);
    out << "}\r\n";
}

namespace {

class RtfDocument final : public report_export::SeveralDocument {
public:
    using SeveralDocument::SeveralDocument;

private:
    void Begin() override { report_export::WriteRtfHead(out_, colors_); }
    void Report(std::size_t, const ReportView& report, const AnalysisResult&) override {
        if (!first_) out_ << "\\page\r\n";
        first_ = false;
        report_export::WriteRtfParagraphs(out_, report, colors_);
    }
    void End() override { out_ << "}\r\n"; }

    const report_export::ColorTable colors_{kReportPalette};
    bool first_ = true;
};

}  // namespace

std::unique_ptr<ReportDocument> MakeRtfDocument(DocumentSetup& setup) {
    if (setup.files.size() <= 1)
        return std::make_unique<report_export::SingleDocument>(
            setup.out, [](std::ostream& out, const ReportView& report, const AnalysisResult&) {
                WriteRtfReport(out, report);
            });
    return std::make_unique<RtfDocument>(setup.out);
}

}  // namespace quorvel
