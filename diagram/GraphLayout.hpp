// Laying the graph out with Graphviz's layered layout (dot) and drawing it as
// SVG.  Graphviz is one library for the whole process and not safe to use
// from two threads at once: calls are taken one at a time.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace quorvel::diagram {

class LayoutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// False where the program was built without Graphviz.
bool LayoutAvailable();

// A standalone SVG document of the DOT text laid out left to right: no
// external resources, fonts named generically.  Throws LayoutError.
std::string RenderSvg(std::string_view dot);

}  // namespace quorvel::diagram
