// The report as one self-contained HTML page: the graph's picture, then the
// lines in their colours; several files make one page with the list of the
// files and a section for each.
#include <ostream>
#include <string>

#include "report/ReportDocument.hpp"

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

namespace {

class HtmlPage final : public report_export::SeveralDocument {
public:
    HtmlPage(std::ostream& out, std::vector<std::string> files, GraphPictures pictures)
        : SeveralDocument(out), files_(std::move(files)), pictures_(std::move(pictures)) {}

private:
    static std::string Anchor(std::size_t index) { return "report-" + std::to_string(index); }

    void Begin() override {
        report_export::WriteHtmlHead(out_, colors_, "Quorvel reports");
        std::string nav = "<nav>\n<ul>\n";
        for (std::size_t i = 0; i < files_.size(); ++i) {
            nav += "<li><a href=\"#" + Anchor(i + 1) + "\">";
            AppendHtmlText(nav, files_[i]);
            nav += "</a></li>\n";
        }
        nav += "</ul>\n</nav>\n";
        out_ << nav;
    }
    void SectionStart(std::size_t index, const AnalysisResult& result) {
        std::string head = "<section id=\"" + Anchor(index) + "\">\n<h2>";
        AppendHtmlText(head, result.file);
        head += "</h2>\n";
        out_ << head;
    }
    void Report(std::size_t index, const ReportView& report, const AnalysisResult& result) override {
        SectionStart(index, result);
        if (pictures_.svg) report_export::WriteHtmlPicture(out_, pictures_.svg(result));
        out_ << "<pre>";
        report_export::WriteHtmlLines(out_, report, colors_);
        out_ << "</pre>\n</section>\n";
    }
    void Unopened(std::size_t index, const AnalysisResult& result) override {
        SectionStart(index, result);
        std::string reason = "<p>";
        AppendHtmlText(reason, result.stopped ? result.stopped->reason : std::string());
        reason += "</p>\n</section>\n";
        out_ << reason;
    }
    void End() override { out_ << "</body>\n</html>\n"; }

    std::vector<std::string> files_;
    GraphPictures pictures_;
    const report_export::ColorTable colors_{kReportPalette};
};

}  // namespace

std::unique_ptr<ReportDocument> MakeHtmlDocument(DocumentSetup& setup) {
    if (setup.files.size() > 1)
        return std::make_unique<HtmlPage>(setup.out, std::move(setup.files), std::move(setup.pictures));
    return std::make_unique<report_export::SingleDocument>(
        setup.out, [svg = std::move(setup.pictures.svg)](std::ostream& out, const ReportView& report,
                                                         const AnalysisResult& result) {
            WriteHtmlReport(out, report, result, svg ? svg(result) : std::string());
        });
}

}  // namespace quorvel
