// Helpers shared by the report writers.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analysis/ReportView.hpp"

namespace quorvel::report_export {

// The distinct colours of a report, numbered in the order of their first use.
class ColorTable {
public:
    explicit ColorTable(const ReportView& report);

    const std::vector<Color>& Colors() const { return colors_; }
    // The number of a colour of the report.
    std::size_t IndexOf(Color color) const { return index_.at(color); }

private:
    std::vector<Color> colors_;
    std::unordered_map<Color, std::size_t> index_;
};

// "#RRGGBB", upper case.
std::string HexColor(Color color);

// Replaces out with text, each malformed UTF-8 byte turned into U+FFFD.
void AssignValidUtf8(std::string& out, std::string_view text);

}  // namespace quorvel::report_export
