#include "tests/support/HostileGraphs.hpp"

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace quorvel::testing {
namespace {

model::Graph Filters(int count) {
    model::Graph graph;
    graph.version = "0003";
    for (int i = 0; i < count; ++i) {
        model::Filter f;
        f.id = FourDigits(i + 1);
        f.name = "Filter " + f.id;
        f.clsid = "{E436EBB5-524F-11CE-9F53-0020AF0BA770}";
        graph.filters.push_back(std::move(f));
    }
    return graph;
}

void Connect(model::Graph& graph, int from, int to, std::string outPin, std::string inPin) {
    model::Connection c;
    c.output = {graph.filters[static_cast<std::size_t>(from)].name, graph.filters[static_cast<std::size_t>(from)].id,
                std::move(outPin)};
    c.input = {graph.filters[static_cast<std::size_t>(to)].name, graph.filters[static_cast<std::size_t>(to)].id,
               std::move(inPin)};
    c.mediaType.majorType = model::NamedGuid{"{73646976-0000-0010-8000-00AA00389B71}", "Mediatype Video", {}};
    c.mediaType.subtype = model::NamedGuid{"{32595559-0000-0010-8000-00AA00389B71}", "Mediasubtype YUY2", {}};
    graph.connections.push_back(std::move(c));
}

// The filters each connection joins, from and to (never the same one).
std::vector<std::pair<int, int>> RandomPairs(int filters, int connections, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pick(0, filters - 1);
    std::vector<std::pair<int, int>> pairs;
    for (int k = 0; k < connections; ++k) {
        const int from = pick(random);
        int to = pick(random);
        if (to == from) to = (to + 1) % filters;
        pairs.emplace_back(from, to);
    }
    return pairs;
}

}  // namespace

model::Graph RandomConnectionsGraph(int filters, int connections, std::uint32_t seed) {
    model::Graph graph = Filters(filters);
    int k = 0;
    for (const auto& [from, to] : RandomPairs(filters, connections, seed)) {
        Connect(graph, from, to, "Out " + std::to_string(k), "In " + std::to_string(k));
        ++k;
    }
    return graph;
}

Bytes RandomConnectionsFile(int filters, int connections, std::uint32_t seed) {
    GraphStream s("0003");
    s.Filters();
    for (int i = 1; i <= filters; ++i)
        s.Filter({FourDigits(i), "Filter " + FourDigits(i), wellknown::kAviSplitter, "", {}});
    s.Connections();
    int k = 0;
    for (const auto& [from, to] : RandomPairs(filters, connections, seed)) {
        ConnectionSpec c;
        c.from = from + 1;
        c.outPin = "Out " + std::to_string(k);
        c.to = to + 1;
        c.inPin = "In " + std::to_string(k);
        s.Connection(c);
        ++k;
    }
    s.Clock(false, wellknown::kSystemClock);
    s.End();
    return GraphFile(s.bytes());
}

model::Graph ChainGraph(int filters) {
    model::Graph graph = Filters(filters);
    for (int i = 0; i + 1 < filters; ++i) Connect(graph, i, i + 1, "Output", "Input");
    return graph;
}

}  // namespace quorvel::testing
