// Graphs that cost Graphviz much for their size, built as models for the
// picture's budget tests and benchmarks: a few filters tied together by
// many connections, each on pins of its own, between filters drawn at
// random (the same ones on every run).
#pragma once

#include <cstdint>

#include "model/GraphModel.hpp"
#include "tests/support/GraphBuilder.hpp"

namespace quorvel::testing {

// `filters` filters and `connections` connections, each from an output pin
// of its own on one filter to an input pin of its own on another.
model::Graph RandomConnectionsGraph(int filters, int connections, std::uint32_t seed = 1);

// The same graph as a graph file, for the programs.
Bytes RandomConnectionsFile(int filters, int connections, std::uint32_t seed = 1);

// A chain of `filters` filters, each feeding the next: the shape real graphs
// have, only longer.
model::Graph ChainGraph(int filters);

}  // namespace quorvel::testing
