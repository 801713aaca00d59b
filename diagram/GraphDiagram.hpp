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

// The frame colour of a filter of that kind, as the report's legend shows it.
std::string_view KindColor(model::FilterKind kind);

}  // namespace quorvel::diagram
