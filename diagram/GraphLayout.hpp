// Laying the graph out with Graphviz's layered layout (dot) and drawing it as
// SVG.  Graphviz is one library for the whole process and not safe to use
// from two threads at once: calls are taken one at a time.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quorvel::diagram {

class LayoutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Graphviz lays out about 1,000 filters in 2 s, but 10,000 take it hours:
// above this many, a picture is drawn only when asked for on its own.
inline constexpr std::size_t kQuickLayoutFilters = 1000;

// False where the program was built without Graphviz.
bool LayoutAvailable();

// A standalone SVG document of the DOT text laid out left to right: no
// external resources, fonts named generically.  Throws LayoutError.
std::string RenderSvg(std::string_view dot);

}  // namespace quorvel::diagram
