// Writing a finished report to a file or a terminal, in the formats offered by
// the command line.  Every writer streams the report line by line, so a report
// of any size is written without a second copy of it in memory.
#pragma once

#include <iosfwd>
#include <memory>
#include <optional>
#include <string_view>

#include "report/AnalysisResult.hpp"
#include "report/ReportView.hpp"

namespace quorvel {

// The formats of report/ReportFormats.inc.
enum class ReportFormat {
#define QUORVEL_FORMAT(id, name, extensions, source, make, summary) id,
#include "report/ReportFormats.inc"
#undef QUORVEL_FORMAT
};

// A format's name, in any letter case.
std::optional<ReportFormat> ParseReportFormat(std::string_view name);

// The format a file name asks for by its extension (.rtf and .log, the
// window's saved logs, give RTF).  Letter case is ignored.  Any other or no
// extension gives nullopt.
std::optional<ReportFormat> ReportFormatForExtension(std::string_view path);

// The lines in one of the forms made from them alone, or with the graph
// (text, ANSI, JSON, RTF, HTML); nothing for the others.
void WriteReport(std::ostream& out, ReportFormat format, const ReportView& report,
                 const AnalysisResult& result);

// A sink that writes each line in `format` as the analysis appends it, so that
// a big report is never held whole; nullptr for the formats that need the
// finished report (JSON, RTF, HTML).  Text for a terminal has its control
// characters replaced, as ANSI's are.
std::unique_ptr<ReportSink> MakeStreamingSink(std::ostream& out, ReportFormat format, bool terminal = false);

// Each displayed line followed by "\n", bytes as held.
void WriteTextReport(std::ostream& out, const ReportView& report);

// Each displayed line with its colour and weight as SGR escapes and a reset,
// then "\n".  Control characters in the text are shown as '?'.
void WriteAnsiReport(std::ostream& out, const ReportView& report);

// One JSON object on one line, then "\n":
// {"file": ..., "complete": ..., "lines": [{"text": ..., "color": "#RRGGBB",
// "bold": ...}, ...]} plus "stopped": {"offset": ..., "reason": ...} when the
// analysis stopped early.  Malformed UTF-8 is written as U+FFFD.
void WriteJsonReport(std::ostream& out, const ReportView& report, const AnalysisResult& result);

// An RTF document (Windows-1252 with \uN escapes) holding every line with its
// colour and weight, one paragraph per line.
void WriteRtfReport(std::ostream& out, const ReportView& report);

// A self-contained HTML page: the lines in a <pre>, one <span> per line.
// `picture`, an SVG document of the graph, stands above the report when given.
void WriteHtmlReport(std::ostream& out, const ReportView& report, const AnalysisResult& result,
                     std::string_view picture = {});

}  // namespace quorvel
