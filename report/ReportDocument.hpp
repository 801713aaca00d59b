// One output document for the reports of a run, in the order of the files:
// text and ANSI reports follow one another; several files make one RTF
// document (one header and colour table, a page break between reports), one
// HTML page (the list of files, then a section with an anchor per file) or
// one JSON array.  One file gives exactly the one-report document.
//
// Nothing is written before the first report that was made: a run whose
// files could all not be opened writes nothing at all.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
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

// `files` as they will be analysed, shown as the HTML page's list.  DOT
// documents hold one graph per file; an SVG document one picture.
// `terminal`: the document goes to a terminal, which the file's text must
// not drive.
std::unique_ptr<ReportDocument> MakeReportDocument(std::ostream& out, ReportFormat format,
                                                   std::vector<std::string> files, GraphPictures pictures = {},
                                                   bool terminal = false);

}  // namespace quorvel
