// The graph as JSON: the "graph" member of the reporter's JSON objects,
// described field by field by docs/quorvel-report.schema.json.
#pragma once

#include <iosfwd>

#include "model/GraphModel.hpp"

namespace quorvel::model {

// One JSON object on one line, no line end after it.
void WriteGraphJson(std::ostream& out, const Graph& graph);

}  // namespace quorvel::model
