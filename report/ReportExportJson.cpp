#include <ostream>

#include "model/GraphJson.hpp"
#include "model/JsonText.hpp"
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

}  // namespace quorvel
