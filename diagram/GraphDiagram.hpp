// The graph as a picture, described for Graphviz's layered layout (dot):
// one node per filter with its pins as ports (inputs on the left, outputs on
// the right, in the order the connections name them), one edge per
// connection from the output pin to the input pin, labelled with a short
// media type.  A connection end whose filter name names no filter, or
// several, goes to a node of its own marked as unresolved, so that nothing
// is dropped.  The graph reads left to right; texts are UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "model/GraphModel.hpp"

namespace quorvel::diagram {

// "Video RGB24 640×480", "Audio PCM 44100 Hz 2 ch", "MPEG2 Video 720×480";
// the subtype's name, or its GUID, when nothing more is known.
std::string ShortMediaType(const model::MediaType& type);

// The DOT text of the graph, named `title` (the file's name).
std::string DotText(const model::Graph& graph, std::string_view title);

// What laying the graph out will cost Graphviz, told from the graph alone
// in a time linear in its size.  Graphviz's time follows the pieces its
// connections are cut into, one per rank they cross (each becomes a node of
// its own in the layout), and grows with their square: a few filters tied
// by hundreds of connections across many ranks cost more than a chain of
// thousands.
struct LayoutEstimate {
    std::size_t nodes = 0;        // filters, and names no single filter bears
    std::size_t connections = 0;
    std::size_t segments = 0;     // the connections' pieces, rank to rank
    double seconds = 0;           // expected on a 2-core machine of 2026
};
LayoutEstimate EstimateLayout(const model::Graph& graph);

// The frame colour of a filter of that kind, as the report's legend shows it.
std::string KindColor(model::FilterKind kind);

}  // namespace quorvel::diagram
