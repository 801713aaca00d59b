#include <nlohmann/json.hpp>
#include <ostream>

#include "report/ReportExport.hpp"
#include "report/ReportExportDetail.hpp"

namespace quorvel {
namespace {

// Appends text as a JSON string.  Malformed UTF-8 is replaced first, so the
// strict serializer never throws.
void AppendJsonString(std::string& out, std::string_view text, std::string& scratch) {
    report_export::AssignValidUtf8(scratch, text);
    out += nlohmann::json(scratch).dump();
}

const char* JsonBool(bool value) { return value ? "true" : "false"; }

}  // namespace

namespace report_export {

void WriteJsonObject(std::ostream& out, const ReportView& report, const AnalysisResult& result) {
    std::string buf;
    std::string scratch;
    buf = "{\"file\": ";
    AppendJsonString(buf, result.file, scratch);
    buf += ", \"complete\": ";
    buf += JsonBool(result.complete);
    buf += ", \"lines\": [";
    out << buf;

    bool first = true;
    report.ForEachLine([&](std::string_view line, Color color, bool bold) {
        buf = first ? "{\"text\": " : ", {\"text\": ";
        first = false;
        AppendJsonString(buf, line, scratch);
        buf += ", \"color\": \"" + report_export::HexColor(color) + "\", \"bold\": ";
        buf += JsonBool(bold);
        buf += '}';
        out << buf;
    });

    buf = "]";
    if (result.stopped) {
        buf += ", \"stopped\": {\"offset\": " + std::to_string(result.stopped->offset) + ", \"reason\": ";
        AppendJsonString(buf, result.stopped->reason, scratch);
        buf += '}';
    }
    buf += '}';
    out << buf;
}

}  // namespace report_export

void WriteJsonReport(std::ostream& out, const ReportView& report, const AnalysisResult& result) {
    report_export::WriteJsonObject(out, report, result);
    out << '\n';
}

}  // namespace quorvel
