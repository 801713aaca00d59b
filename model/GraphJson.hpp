// The graph as JSON: the "graph" member of the reporter's JSON objects,
// described field by field by docs/quorvel-report.schema.json.
#pragma once

#include <iosfwd>
#include <memory>

#include "model/GraphModel.hpp"
#include "platform/TextChunks.hpp"

namespace quorvel::model {

class JsonText;

// The graph's JSON with its filters and connections written as the analysis
// reads them, so that a big graph need not keep them: those it took come
// first, then those still in the graph.
class GraphJsonWriter final : public GraphSink {
public:
    GraphJsonWriter();
    ~GraphJsonWriter() override;

    void TakeFilter(const Filter& filter) override;
    void TakeConnection(const Connection& connection) override;
    // One JSON object on one line, no line end after it; then the writer
    // starts over, for the next graph.
    void Write(std::ostream& out, const Graph& graph);
    // Drops what was taken, for a graph that will not be written.
    void Forget();

private:
    // What was taken, as JSON text.
    TextChunks filterBlocks_;
    TextChunks connectionBlocks_;
    std::unique_ptr<JsonText> filters_;
    std::unique_ptr<JsonText> connections_;
};

// One JSON object on one line, no line end after it.
void WriteGraphJson(std::ostream& out, const Graph& graph);

}  // namespace quorvel::model
