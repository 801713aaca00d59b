#include <ostream>

#include "model/GraphJson.hpp"
#include "platform/Hex.hpp"
#include "platform/TextConv.hpp"
#include "report/ReportExport.hpp"
#include "report/ReportExportDetail.hpp"

namespace quorvel {
namespace {

const char* JsonBool(bool value) { return value ? "true" : "false"; }

}  // namespace

namespace report_export {

void WriteJsonObject(std::ostream& out, const ReportView& report, const AnalysisResult& result) {
    std::string buf;
    buf = "{\"file\": ";
    AppendJsonString(buf, result.file);
    buf += ", \"complete\": ";
    buf += JsonBool(result.complete);
    buf += ", \"lines\": [";
    out << buf;

    // Lines go out a block at a time.
    buf.clear();
    bool first = true;
    report.ForEachLine([&](std::string_view line, Color color, bool bold) {
        buf += first ? "{\"text\": " : ", {\"text\": ";
        first = false;
        AppendJsonString(buf, line);
        buf += ", \"color\": \"#";
        AppendHex(buf, color, 6);
        buf += "\", \"bold\": ";
        buf += JsonBool(bold);
        buf += '}';
        if (buf.size() >= (1u << 16)) {
            out << buf;
            buf.clear();
        }
    });

    buf += "]";
    if (result.stopped) {
        buf += ", \"stopped\": {\"offset\": " + std::to_string(result.stopped->offset) + ", \"reason\": ";
        AppendJsonString(buf, result.stopped->reason);
        buf += '}';
    }
    buf += ", \"graph\": ";
    out << buf;
    model::WriteGraphJson(out, result.graph);
    out << '}';
}

}  // namespace report_export

void WriteJsonReport(std::ostream& out, const ReportView& report, const AnalysisResult& result) {
    report_export::WriteJsonObject(out, report, result);
    out << '\n';
}

}  // namespace quorvel
