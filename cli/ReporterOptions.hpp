// Command line of quorvel-report.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "report/ReportExport.hpp"

namespace quorvel {

enum class ColorMode { Auto, Always, Never };

struct ReporterOptions {
    std::optional<ReportFormat> format;  // --format
    ColorMode color = ColorMode::Auto;   // --color
    std::string output;                  // -o, UTF-8; empty or "-": standard output
    std::string catalogFile;             // --catalog-file
    bool noCatalog = false;              // --no-catalog
    bool details = false;                // --details
    double layoutBudget = 10;            // --layout-budget, in seconds
    bool dumpCatalog = false;            // --dump-catalog
    bool help = false;
    bool version = false;
    std::vector<std::string> files;
};

struct ParsedOptions {
    ReporterOptions options;
    std::string error;  // non-empty: a usage error
};

ParsedOptions ParseReporterOptions(const std::vector<std::string>& args);

// Whether the lines take their colours when the format is left to us:
// always, never, or (auto) on a terminal unless NO_COLOR is set and not empty
// or TERM is "dumb".  The environment's values come in as given (nullptr:
// unset).
bool ColorWanted(ColorMode mode, bool outputIsTerminal, const char* noColor, const char* term);

// The format to write: --format, else the output file's extension, else ANSI
// colours when colour is wanted and plain text otherwise.
ReportFormat ChooseReportFormat(const ReporterOptions& options, bool colorWanted);

std::string ReporterUsage();

}  // namespace quorvel
