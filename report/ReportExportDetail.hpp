// Helpers shared by the report writers.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/GraphJson.hpp"
#include "report/AnalysisResult.hpp"
#include "report/ReportView.hpp"

namespace quorvel::report_export {

// The distinct colours of a report, numbered in the order of their first use.
class ColorTable {
public:
    explicit ColorTable(const ReportView& report);
    // A fixed table, for documents that hold reports not yet made.
    explicit ColorTable(std::span<const Color> colors);

    const std::vector<Color>& Colors() const { return colors_; }
    // The number of a colour of the table; a colour it lacks takes the first.
    std::size_t IndexOf(Color color) const {
        const auto it = index_.find(color);
        return it == index_.end() ? 0 : it->second;
    }

private:
    std::vector<Color> colors_;
    std::unordered_map<Color, std::size_t> index_;
};

// "#RRGGBB", upper case.
std::string HexColor(Color color);

// The pieces the one-report writers and the several-report documents share.
// A file's JSON object, with the filters and connections `graph` took.
void WriteJsonObject(std::ostream& out, const ReportView& report, const AnalysisResult& result,
                     model::GraphJsonWriter& graph);
void WriteJsonObject(std::ostream& out, const ReportView& report, const AnalysisResult& result);
void WriteRtfHead(std::ostream& out, const ColorTable& colors);
void WriteRtfParagraphs(std::ostream& out, const ReportView& report, const ColorTable& colors);
void WriteHtmlHead(std::ostream& out, const ColorTable& colors, std::string_view title);
void WriteHtmlLines(std::ostream& out, const ReportView& report, const ColorTable& colors);
// An SVG document inline, in a figure; nothing for an empty one.
void WriteHtmlPicture(std::ostream& out, std::string_view svg);

}  // namespace quorvel::report_export
