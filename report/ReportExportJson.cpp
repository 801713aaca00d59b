// The report as JSON: per file, one object with the lines, how the analysis
// ended and the graph as typed data; several files make one array of them.
#include <ostream>

#include "model/GraphJson.hpp"
#include "model/JsonText.hpp"
#include "report/ReportDocument.hpp"
#include "report/ReportExport.hpp"
#include "report/ReportExportDetail.hpp"

namespace quorvel {
namespace report_export {

void WriteJsonObject(std::ostream& out, const ReportView& report, const AnalysisResult& result,
                     model::GraphJsonWriter& graph) {
    {
        model::JsonText j(out);
        j.Open('{');
        j.Key("file").String(result.file);
        j.Key("complete").Bool(result.complete);
        j.Key("lines").Open('[');
        // What follows a line's text changes only with its colour and weight.
        std::string attributes;
        Color shownColor = 0;
        bool shownBold = false;
        report.ForEachLine([&](std::string_view line, Color color, bool bold) {
            if (attributes.empty() || color != shownColor || bold != shownBold) {
                attributes = ", \"color\": \"";
                attributes += HexColor(color);
                attributes += bold ? "\", \"bold\": true" : "\", \"bold\": false";
                shownColor = color;
                shownBold = bold;
            }
            j.Element().Raw("{\"text\": ").String(line).Raw(attributes).Close('}');
        });
        j.Close(']');
        if (result.stopped) {
            j.Key("stopped").Open('{');
            j.Key("offset").Unsigned(result.stopped->offset);
            j.Key("reason").String(result.stopped->reason);
            j.Close('}');
        }
        j.Raw(", \"graph\": ");
    }
    graph.Write(out, result.graph);
    out << '}';
}

void WriteJsonObject(std::ostream& out, const ReportView& report, const AnalysisResult& result) {
    model::GraphJsonWriter graph;
    WriteJsonObject(out, report, result, graph);
}

}  // namespace report_export

void WriteJsonReport(std::ostream& out, const ReportView& report, const AnalysisResult& result) {
    report_export::WriteJsonObject(out, report, result);
    out << '\n';
}

namespace {

// Each file's filters and connections are made into JSON text as the
// analysis reads them, much smaller than the model they would be kept as;
// its object is written once it is done.  One file gives its object;
// several an array of them.
class JsonArray final : public report_export::SeveralDocument {
public:
    using SeveralDocument::SeveralDocument;
    model::GraphSink* GraphStreamingSink() override { return &graph_; }

private:
    void Begin() override { out_ << "["; }
    void Report(std::size_t, const ReportView& report, const AnalysisResult& result) override {
        out_ << (first_ ? "\n" : ",\n");
        first_ = false;
        report_export::WriteJsonObject(out_, report, result, graph_);
    }
    void Unopened(std::size_t, const AnalysisResult& result) override {
        // Perhaps kept since before the first report: not this file's graph.
        out_ << (first_ ? "\n" : ",\n");
        first_ = false;
        model::GraphJsonWriter nothing;
        report_export::WriteJsonObject(out_, ReportView{}, result, nothing);
    }
    void End() override { out_ << "\n]\n"; }

    model::GraphJsonWriter graph_;
    bool first_ = true;
};

class JsonObject final : public ReportDocument {
public:
    explicit JsonObject(std::ostream& out) : out_(out) {}
    model::GraphSink* GraphStreamingSink() override { return &graph_; }
    void Add(const ReportView& report, const AnalysisResult& result) override {
        if (result.Reported()) {
            report_export::WriteJsonObject(out_, report, result, graph_);
            out_ << '\n';
        }
        graph_.Forget();
    }

private:
    std::ostream& out_;
    model::GraphJsonWriter graph_;
};

}  // namespace

std::unique_ptr<ReportDocument> MakeJsonDocument(DocumentSetup& setup) {
    if (setup.files.size() <= 1) return std::make_unique<JsonObject>(setup.out);
    return std::make_unique<JsonArray>(setup.out);
}

}  // namespace quorvel
