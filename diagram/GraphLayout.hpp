// Laying the graph out with Graphviz's layered layout (dot) and drawing it.
// Graphviz's time grows much faster than the graph (a few hundred filters
// tied by a thousand connections take it hours and gigabytes), and it cannot
// be stopped from outside once started: on POSIX systems every layout runs in
// a child process of its own, under a limit of time and memory, killed when
// the limit is reached or when the caller no longer wants the picture.
#pragma once

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quorvel::diagram {

class LayoutError : public std::runtime_error {
public:
    enum class Kind {
        Failed,     // Graphviz could not read, lay out or draw the graph
        TimedOut,   // the time limit ran out
        Memory,     // the memory limit was reached
        Cancelled,  // the caller stopped wanting it
    };
    LayoutError(Kind kind, const std::string& reason) : std::runtime_error(reason), kind_(kind) {}
    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

// What a layout may spend.  The default time is what a user waits for a
// picture without wondering whether the program still works.
inline constexpr double kDefaultLayoutSeconds = 10;
inline constexpr std::size_t kDefaultLayoutMemory = std::size_t{2} << 30;

struct LayoutLimits {
    double seconds = kDefaultLayoutSeconds;
    std::size_t memoryBytes = kDefaultLayoutMemory;
    // Asked a few times a second while Graphviz works; true stops it.
    std::function<bool()> cancelled;
};

// How long a layout is expected to take, in units both languages of the
// program read: "4 s", "12 min", "3 h", "> 24 h".
std::string DurationText(double seconds);

// False where the program was built without Graphviz.
bool LayoutAvailable();

// A standalone SVG document of the DOT text laid out left to right: no
// external resources, fonts named generically.  Throws LayoutError.
std::string RenderSvg(std::string_view dot, const LayoutLimits& limits = {});

// The layout in another of Graphviz's output formats ("json", "plain"...),
// as Graphviz writes it.  Throws LayoutError.
std::string Render(std::string_view dot, const char* format, const LayoutLimits& limits = {});

}  // namespace quorvel::diagram
