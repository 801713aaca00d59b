#include <ostream>
#include <string>

#include "platform/TextConv.hpp"
#include "report/ReportExport.hpp"
#include "report/ReportExportDetail.hpp"

namespace quorvel {
namespace {

// The last component of a path as given, for the page title.
std::string_view FileName(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string PageHead(const report_export::ColorTable& colors, std::string_view title) {
    std::string out =
        "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"generator\" content=\"Quorvel\">\n<title>";
    AppendHtmlText(out, title);
    out += "</title>\n<style>\n"
           "body { margin: 0; background: #FFFFFF; color: #000000; }\n"
           "pre { margin: 8px; font: 13px/1.4 Consolas, \"Courier New\", monospace; }\n"
           ".b { font-weight: bold; }\n";
    for (std::size_t i = 0; i < colors.Colors().size(); ++i)
        out += ".c" + std::to_string(i) + " { color: " + report_export::HexColor(colors.Colors()[i]) + "; }\n";
    out += "</style>\n</head>\n<body>\n";
    return out;
}

}  // namespace

namespace report_export {

void WriteHtmlHead(std::ostream& out, const ColorTable& colors, std::string_view title) {
    out << PageHead(colors, title);
}

void WriteHtmlPicture(std::ostream& out, std::string_view svg) {
    // The SVG document without its XML prologue, inline in the page.
    const std::size_t start = svg.find("<svg");
    if (start == std::string_view::npos) return;
    // As wide as the page at most, its proportions kept.
    out << "<figure style=\"margin: 8px\">\n<svg style=\"max-width: 100%; height: auto\"";
    const std::string_view rest = svg.substr(start + 4);
    out.write(rest.data(), static_cast<std::streamsize>(rest.size()));
    out << "</figure>\n";
}

void WriteHtmlLines(std::ostream& out, const ReportView& report, const ColorTable& colors) {
    std::string buf;
    report.ForEachLine([&](std::string_view line, Color color, bool bold) {
        buf = "<span class=\"c" + std::to_string(colors.IndexOf(color)) + (bold ? " b\">" : "\">");
        AppendHtmlText(buf, line);
        buf += "</span>\n";
        out.write(buf.data(), static_cast<std::streamsize>(buf.size()));
    });
}

}  // namespace report_export

void WriteHtmlReport(std::ostream& out, const ReportView& report, const AnalysisResult& result,
                     std::string_view picture) {
    const report_export::ColorTable colors(report);
    report_export::WriteHtmlHead(out, colors,
                                 result.file.empty() ? std::string_view("Quorvel report") : FileName(result.file));
    report_export::WriteHtmlPicture(out, picture);
    out << "<pre>";
    report_export::WriteHtmlLines(out, report, colors);
    out << "</pre>\n</body>\n</html>\n";
}

}  // namespace quorvel
