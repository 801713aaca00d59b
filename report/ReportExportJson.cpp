#include <ostream>

#include "model/GraphJson.hpp"
#include "model/JsonText.hpp"
#include "platform/Hex.hpp"
#include "platform/TextConv.hpp"
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
        std::string color = "\"#";
        report.ForEachLine([&](std::string_view line, Color lineColor, bool bold) {
            color.resize(2);
            AppendHex(color, lineColor, 6);
            color += '"';
            j.Element().Open('{');
            j.Key("text").String(line);
            j.Key("color").Raw(color);
            j.Key("bold").Bool(bold);
            j.Close('}');
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
