// One output document for the reports of a run, in the order of the files,
// and the table of the formats that make one.  Each format's writer file
// says how the reports of several files join in its document: text and ANSI
// reports follow one another; several files make one RTF document (one
// header and colour table, a page break between reports), one HTML page (the
// list of files, then a section with an anchor per file), one JSON array or
// one CSV table.  One file gives exactly the one-report document.
//
// Nothing is written before the first report that was made: a run whose
// files could all not be opened writes nothing at all.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "report/AnalysisResult.hpp"
#include "report/ReportExport.hpp"
#include "report/ReportView.hpp"

namespace quorvel {

class ReportDocument {
public:
    virtual ~ReportDocument() = default;

    // Where the analysis writes its lines as it runs (text, ANSI), or nullptr
    // when the document takes each report finished (Add).
    virtual ReportSink* StreamingSink() { return nullptr; }
    // What takes each filter and connection as the analysis reads them, or
    // nullptr when the document takes the graph whole (Add).
    virtual model::GraphSink* GraphStreamingSink() { return nullptr; }
    // After each file's analysis, in the order of `files`.
    virtual void Add(const ReportView& report, const AnalysisResult& result) = 0;
    // The document's end.
    virtual void Finish() {}
};

// What draws the graph, for the documents that show it: DOT text and SVG
// (which stands above the report in HTML).  Given by the front-end, which
// has the diagram; an empty text draws nothing.
struct GraphPictures {
    std::function<std::string(const AnalysisResult&)> dot;
    std::function<std::string(const AnalysisResult&)> svg;
};

// What a format's document is made with.
struct DocumentSetup {
    std::ostream& out;
    std::vector<std::string> files;  // as they will be analysed
    GraphPictures pictures;
    bool terminal = false;  // the document goes to a terminal, which the file's text must not drive
};

// What a format is made from.
enum class FormatSource {
    Lines,          // the report's lines alone: the analysis keeps no graph
    LinesAndGraph,  // the lines and the graph as data
    Graph,          // the graph as data
    Picture,        // the graph laid out
};

// A row of report/ReportFormats.inc.
struct FormatRow {
    ReportFormat format;
    std::string_view name;
    std::string_view extensions;  // space-separated, without dots
    FormatSource source;
    std::unique_ptr<ReportDocument> (*make)(DocumentSetup& setup);
    std::string_view summary;
};

// Each format's writer file makes its document: the rows' MakeDocument.
#define QUORVEL_FORMAT(id, name, extensions, source, make, summary) \
    std::unique_ptr<ReportDocument> make(DocumentSetup& setup);
#include "report/ReportFormats.inc"
#undef QUORVEL_FORMAT

// Every format, in the order of the table.
std::span<const FormatRow> ReportFormats();
const FormatRow& FormatRowOf(ReportFormat format);

// `files` as they will be analysed, shown as the HTML page's list.  DOT
// documents hold one graph per file; an SVG document one picture.
// `terminal`: the document goes to a terminal, which the file's text must
// not drive.
std::unique_ptr<ReportDocument> MakeReportDocument(std::ostream& out, ReportFormat format,
                                                   std::vector<std::string> files, GraphPictures pictures = {},
                                                   bool terminal = false);

namespace report_export {

// The document of one file in a format whose one-report writer makes it
// whole (RTF, HTML): exactly what that writer writes.
class SingleDocument final : public ReportDocument {
public:
    using Write = std::function<void(std::ostream&, const ReportView&, const AnalysisResult&)>;
    SingleDocument(std::ostream& out, Write write) : out_(out), write_(std::move(write)) {}
    void Add(const ReportView& report, const AnalysisResult& result) override {
        if (result.Reported()) write_(out_, report, result);
    }

private:
    std::ostream& out_;
    Write write_;
};

// Several files.  A file that could not be opened has an element of its own
// where scripts look for one per file (JSON) or a reader for one per name
// (HTML); it is kept until the document starts with the first report made.
class SeveralDocument : public ReportDocument {
public:
    explicit SeveralDocument(std::ostream& out) : out_(out) {}

    void Add(const ReportView& report, const AnalysisResult& result) final;
    void Finish() final {
        if (begun_) End();
    }

protected:
    virtual void Begin() = 0;
    virtual void Report(std::size_t index, const ReportView& report, const AnalysisResult& result) = 0;
    virtual void Unopened(std::size_t, const AnalysisResult&) {}
    virtual void End() = 0;

    std::ostream& out_;

private:
    bool begun_ = false;
    std::size_t index_ = 0;
    std::vector<std::pair<std::size_t, AnalysisResult>> pending_;
};

}  // namespace report_export

}  // namespace quorvel
