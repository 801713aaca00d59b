// Runs the analysis on generated graphs with fixed dates, and gives the
// report back as displayed lines.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "analysis/GraphAnalyzer.hpp"
#include "report/ReportView.hpp"
#include "catalog/FilterCatalog.hpp"
#include "tests/support/GraphBuilder.hpp"

namespace quorvel::testing {

struct Line {
    std::string text;
    Color color;
    bool bold;
    bool operator==(const Line&) const = default;
};
void PrintTo(const Line& line, std::ostream* os);

struct Analysed {
    AnalysisResult result;
    ReportView report;
    std::vector<Line> lines;

    std::vector<std::string> Texts() const;
    // The displayed lines after the first line equal to `heading`, up to the
    // next blank line.
    std::vector<std::string> SectionAfter(const std::string& heading) const;
    // Index of the first line equal to text, or -1.
    int Find(const std::string& text) const;
};

LocalDateTime FixedNow();
AnalysisEnvironment TestEnvironment(const FilterCatalog* catalog = nullptr);

Analysed AnalyzeStream(const GraphStream& stream, const FilterCatalog* catalog = nullptr);
Analysed AnalyzeFileBytes(const Bytes& file, const FilterCatalog* catalog = nullptr);
Analysed AnalyzePath(const std::string& path, const FilterCatalog* catalog = nullptr);

std::vector<Line> DisplayedLines(const ReportView& report);

// The bytes of a file, read whole.
Bytes ReadFileBytes(const std::string& path);

// The shipped sample graph and, when the shared folder is beside the clone,
// every real graph: (name, bytes) pairs for checks that hold for any graph.
std::vector<std::pair<std::string, Bytes>> SampleAndRealGraphs();

}  // namespace quorvel::testing
