// Command line of quorvel-report.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analysis/ReportExport.hpp"

namespace quorvel {

struct ReporterOptions {
    std::optional<ReportFormat> format;  // --format
    std::string output;                  // -o; empty: standard output
    std::string catalogFile;             // --catalog-file
    bool noCatalog = false;              // --no-catalog
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

// The format to write: --format, else the output file's extension, else ANSI
// colours on a terminal and plain text otherwise.
ReportFormat ChooseReportFormat(const ReporterOptions& options, bool stdoutIsTerminal);

std::string ReporterUsage();

}  // namespace quorvel
