#include "diagram/GraphDiagram.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <vector>

#include "platform/Hex.hpp"
#include "platform/TextConv.hpp"
#include "resources/Strings.hpp"

namespace quorvel::diagram {
namespace {

// Graphviz's time on this project's 2-core machine (Graphviz 2.43), fitted
// over random and chained graphs of 10 to 2,000 filters (bench/DiagramBench).
constexpr double kSecondsPerSegmentSquared = 1e-6;
constexpr double kSecondsPerNodeAcross = 4e-6;
constexpr double kSecondsPerItem = 2.5e-4;
constexpr double kSecondsPerNodeSquared = 6e-8;  // thousands of filters side by side in one rank
constexpr double kDenseConnections = 3;  // a filter's connections, from which the square counts whole

// Names longer than this are shortened in the picture (the report and the
// JSON keep them whole): a box as wide as a paragraph helps nobody, and
// Graphviz's reader takes no HTML string above 16 kB.
constexpr std::size_t kLabelCodePoints = 200;

// Text inside Graphviz's HTML-like labels, drawn as it is: the markup
// characters as entities, so that no name can open a tag or break the label;
// every backslash doubled, since Graphviz reads \N, \G or \\ in a label as
// an escape even when written as an entity; a tab, which it would drop, as
// the sign for one.
std::string Html(std::string_view text) {
    std::string shortened;
    std::size_t count = 0;
    ForEachCodePoint(text, [&](char32_t cp) {
        if (count++ < kLabelCodePoints) AppendUtf8(shortened, cp == U'\t' ? U'\u2409' : cp);
    });
    if (count > kLabelCodePoints) shortened += "\u2026";
    std::string escaped;
    escaped.reserve(shortened.size());
    AppendHtmlText(escaped, shortened);
    std::string out;
    out.reserve(escaped.size());
    for (const char c : escaped) {
        if (c == '\\') out += '\\';
        out += c;
    }
    return out;
}

// The name without the report's prefix, when it bears it.
std::string_view After(std::string_view name, std::string_view prefix) {
    return name.starts_with(prefix) ? name.substr(prefix.size()) : name;
}

std::string ShortMajor(const model::MediaType& t) {
    if (!t.majorType || !t.majorType->name) return {};
    return std::string(After(*t.majorType->name, "Mediatype "));
}

std::string ShortSubtype(const model::MediaType& t) {
    if (!t.subtype) return {};
    if (!t.subtype->name) return t.subtype->guid;
    std::string_view name = *t.subtype->name;
    if (name == "MediaSubType PCM Audio") return "PCM";
    for (const std::string_view prefix : {"MediaSubType Video Compression ", "MediasubType Audio - Compression ",
                                          "MediaSubType Video codec ", "Mediasubtype "})
        if (name.starts_with(prefix)) return std::string(name.substr(prefix.size()));
    return std::string(name);
}

const DecodedField* Field(const model::MediaType& t, std::string_view key) {
    for (const DecodedField& f : t.fields)
        if (f.key == key) return &f;
    return nullptr;
}

// What the format record says in a few words: a frame size, or a rate and
// channels.
std::string ShortFormat(const model::MediaType& t) {
    const DecodedField* width = Field(t, "biWidth");
    const DecodedField* height = Field(t, "biHeight");
    if (width && height) return std::to_string(width->value) + "×" + std::to_string(std::llabs(height->value));
    std::string out;
    if (const DecodedField* rate = Field(t, "nSamplesPerSec")) out = std::to_string(rate->value) + " Hz";
    if (const DecodedField* channels = Field(t, "nChannels"))
        out += (out.empty() ? "" : " ") + std::to_string(channels->value) + " ch";
    return out;
}

// A filter as a node: its pins in the order the connections name them.
struct Node {
    std::string id;
    std::vector<std::string> inputs;
    std::vector<std::string> outputs;
    std::map<std::string, std::size_t> inputPorts, outputPorts;  // a pin's place in its column

    std::size_t Input(const std::string& pin) { return Port(inputs, inputPorts, pin); }
    std::size_t Output(const std::string& pin) { return Port(outputs, outputPorts, pin); }

private:
    static std::size_t Port(std::vector<std::string>& pins, std::map<std::string, std::size_t>& places,
                            const std::string& pin) {
        const auto [at, added] = places.emplace(pin, pins.size());
        if (added) pins.push_back(pin);
        return at->second;
    }
};

std::string PinColumn(const std::vector<std::string>& pins, char side) {
    std::string out = "<TD><TABLE BORDER=\"0\" CELLBORDER=\"1\" CELLSPACING=\"0\" CELLPADDING=\"2\">";
    for (std::size_t i = 0; i < pins.size(); ++i)
        out += "<TR><TD PORT=\"" + std::string(1, side) + std::to_string(i) + "\">" + Html(pins[i]) + "</TD></TR>";
    return out + "</TABLE></TD>";
}

// The table of a node: input pins, the names, output pins.
std::string NodeLabel(const Node& node, std::string_view title, std::string_view subtitle, std::string_view color,
                      bool dashed) {
    std::string out = "<<TABLE BORDER=\"2\" COLOR=\"" + std::string(color) + "\" CELLBORDER=\"0\" CELLSPACING=\"2\"";
    out += dashed ? " STYLE=\"dashed\"><TR>" : "><TR>";
    if (!node.inputs.empty()) out += PinColumn(node.inputs, 'i');
    out += "<TD><B>" + Html(title) + "</B><BR/><FONT POINT-SIZE=\"8\" COLOR=\"#505050\">" + Html(subtitle) +
           "</FONT></TD>";
    if (!node.outputs.empty()) out += PinColumn(node.outputs, 'o');
    return out + "</TR></TABLE>>";
}

// Under the filter's name: what it is on this machine, else its CLSID.
std::string Subtitle(const model::Filter& f) {
    if (f.catalogName) return *f.catalogName;
    if (f.knownName) return *f.knownName;
    if (f.dmo && f.dmo->catalogName) return *f.dmo->catalogName;
    if (f.proxy && f.proxy->catalogName) return *f.proxy->catalogName;
    if (f.acm) return "ACM Wrapper = " + f.acm->formatName;
    if (f.avi) return "AVI Encoder = " + f.avi->fourcc;
    return f.clsid;
}

// A DOT string: quotes and backslashes escaped, control characters (which
// would reach a terminal, or make Graphviz's SVG ill-formed) and malformed
// bytes as U+FFFD.
std::string Quoted(std::string_view text) {
    std::string out = "\"";
    std::size_t count = 0;
    ForEachCodePoint(text, [&](char32_t cp) {
        if (count++ >= kLabelCodePoints) return;
        if (cp == U'"' || cp == U'\\') out += '\\';
        const bool control = cp < 0x20 || (cp >= 0x7F && cp <= 0x9F);
        AppendUtf8(out, control ? U'\uFFFD' : cp);
    });
    return out + "\"";
}

// The graph as Graphviz is given it: a node per filter (the same index),
// then one per name that no single filter bears; an edge per connection.
struct Edge {
    std::size_t from, out, to, in;
    const model::Connection* connection;
};
struct Drawing {
    std::vector<Node> nodes;
    std::map<std::string, std::size_t> unresolved;  // name: its node
    std::vector<Edge> edges;
};

Drawing Resolve(const model::Graph& graph) {
    Drawing d;
    d.nodes.resize(graph.filters.size());
    std::map<std::string_view, std::size_t> byId;
    for (std::size_t i = 0; i < graph.filters.size(); ++i) {
        d.nodes[i].id = "f" + std::to_string(i + 1);
        byId.emplace(graph.filters[i].id, i);
    }
    const auto nodeOf = [&](const model::PinEnd& end) -> std::size_t {
        if (end.filterId)
            if (const auto at = byId.find(*end.filterId); at != byId.end()) return at->second;
        const auto [at, added] = d.unresolved.emplace(end.filter, d.nodes.size());
        if (added) d.nodes.emplace_back().id = "u" + std::to_string(d.unresolved.size());
        return at->second;
    };
    d.edges.reserve(graph.connections.size());
    for (const model::Connection& c : graph.connections) {
        const std::size_t from = nodeOf(c.output);
        const std::size_t out = d.nodes[from].Output(c.output.pin);
        const std::size_t to = nodeOf(c.input);
        const std::size_t in = d.nodes[to].Input(c.input.pin);
        d.edges.push_back({from, out, to, in, &c});
    }
    return d;
}

// Ranks as a layered layout gives them, roughly: cycles broken where a
// depth-first search closes them, each node one rank after its latest
// predecessor, then nodes moved up to just before their earliest successor.
std::vector<std::size_t> Ranks(const Drawing& d) {
    const std::size_t n = d.nodes.size();
    std::vector<std::vector<std::size_t>> out(n);
    for (std::size_t k = 0; k < d.edges.size(); ++k) out[d.edges[k].from].push_back(k);
    enum : char { kNew, kOpen, kDone };
    std::vector<char> state(n, kNew);
    std::vector<char> reversed(d.edges.size(), 0);
    std::vector<std::pair<std::size_t, std::size_t>> stack;  // node, next edge
    for (std::size_t root = 0; root < n; ++root) {
        if (state[root] != kNew) continue;
        state[root] = kOpen;
        stack.push_back({root, 0});
        while (!stack.empty()) {
            auto& [v, next] = stack.back();
            if (next == out[v].size()) {
                state[v] = kDone;
                stack.pop_back();
                continue;
            }
            const std::size_t k = out[v][next++];
            const std::size_t w = d.edges[k].to;
            if (state[w] == kOpen) reversed[k] = 1;
            if (state[w] == kNew) {
                state[w] = kOpen;
                stack.push_back({w, 0});
            }
        }
    }
    std::vector<std::vector<std::size_t>> after(n);
    std::vector<std::size_t> before(n, 0);
    for (std::size_t k = 0; k < d.edges.size(); ++k) {
        std::size_t a = d.edges[k].from, b = d.edges[k].to;
        if (reversed[k]) std::swap(a, b);
        if (a == b) continue;
        after[a].push_back(b);
        ++before[b];
    }
    std::vector<std::size_t> order, rank(n, 0);
    for (std::size_t v = 0; v < n; ++v)
        if (before[v] == 0) order.push_back(v);
    for (std::size_t i = 0; i < order.size(); ++i)
        for (const std::size_t w : after[order[i]]) {
            rank[w] = std::max(rank[w], rank[order[i]] + 1);
            if (--before[w] == 0) order.push_back(w);
        }
    // Then each node, a few times over, to the median of its neighbours'
    // ranks within what its predecessors and successors allow: what the
    // layout's own ranking, which shortens the connections, comes near.
    std::vector<std::vector<std::size_t>> previous(n);
    for (std::size_t v = 0; v < n; ++v)
        for (const std::size_t w : after[v]) previous[w].push_back(v);
    std::vector<std::size_t> around;
    for (int sweep = 0; sweep < 4; ++sweep)
        for (std::size_t i = 0; i < order.size(); ++i) {
            const std::size_t v = order[sweep % 2 ? order.size() - 1 - i : i];
            std::size_t low = 0, high = SIZE_MAX;
            around.clear();
            for (const std::size_t w : previous[v]) low = std::max(low, rank[w] + 1), around.push_back(rank[w]);
            for (const std::size_t w : after[v]) high = std::min(high, rank[w] - 1), around.push_back(rank[w]);
            if (around.empty() || low > high) continue;
            std::nth_element(around.begin(), around.begin() + static_cast<std::ptrdiff_t>(around.size() / 2), around.end());
            rank[v] = std::clamp(around[around.size() / 2], low, high);
        }
    return rank;
}

}  // namespace

std::string KindColor(model::FilterKind kind) {
    std::string hex = "#";
    AppendHex(hex, model::FilterKindColor(kind), 6);
    return hex;
}

std::string ShortMediaType(const model::MediaType& type) {
    const std::string major = ShortMajor(type);
    const std::string subtype = ShortSubtype(type);
    std::string out = subtype;
    if (!major.empty() && subtype.find(major) == std::string::npos) out = major + (subtype.empty() ? "" : " ") + subtype;
    const std::string format = ShortFormat(type);
    if (!format.empty()) out += (out.empty() ? "" : " ") + format;
    return out;
}

std::string DotText(const model::Graph& graph, std::string_view title) {
    const Drawing d = Resolve(graph);
    std::string edges;
    for (const Edge& e : d.edges)
        edges += "  " + d.nodes[e.from].id + ":o" + std::to_string(e.out) + ":e -> " + d.nodes[e.to].id + ":i" +
                 std::to_string(e.in) + ":w [label=<" + Html(ShortMediaType(e.connection->mediaType)) + ">];\n";

    std::string dot = "digraph " + Quoted(title) + " {\n";
    dot += "  graph [rankdir=LR, fontname=\"sans-serif\", nodesep=0.25, ranksep=0.7, bgcolor=\"white\"];\n";
    dot += "  node [shape=plain, fontname=\"sans-serif\", fontsize=10];\n";
    dot += "  edge [fontname=\"sans-serif\", fontsize=8, color=\"#404040\", arrowsize=0.7];\n";
    for (std::size_t i = 0; i < graph.filters.size(); ++i) {
        const model::Filter& f = graph.filters[i];
        dot += "  " + d.nodes[i].id + " [id=" + Quoted("filter-" + std::to_string(i + 1)) + ", label=" +
               NodeLabel(d.nodes[i], f.name, Subtitle(f), KindColor(f.kind), false) + "];\n";
    }
    std::map<std::string_view, std::size_t> bearers;
    if (!d.unresolved.empty())
        for (const model::Filter& f : graph.filters) ++bearers[f.name];
    for (const auto& [name, index] : d.unresolved) {
        const Node& node = d.nodes[index];
        // A name that the filters section does not bear once and only once.
        const auto named = bearers.find(name);
        const Str why = named == bearers.end() ? Str::DiagramNoSuchFilter : Str::DiagramSeveralFilters;
        dot += "  " + node.id + " [id=" + Quoted("unresolved-" + node.id.substr(1)) + ", label=" +
               NodeLabel(node, name, Res(why), "#C00000", true) + "];\n";
    }
    return dot + edges + "}\n";
}

LayoutEstimate EstimateLayout(const model::Graph& graph) {
    const Drawing d = Resolve(graph);
    const std::vector<std::size_t> rank = Ranks(d);
    LayoutEstimate estimate;
    estimate.nodes = d.nodes.size();
    estimate.connections = d.edges.size();
    for (const Edge& e : d.edges) {
        const std::size_t a = rank[e.from], b = rank[e.to];
        estimate.segments += std::max<std::size_t>(1, a < b ? b - a : a - b);
    }
    const double segments = static_cast<double>(estimate.segments);
    // Few connections a filter (real graphs, long chains) leave the layout
    // room to shorten them; many on few filters do not.  Many filters with
    // connections across ranks cost besides in placing them all.
    const double nodes = static_cast<double>(estimate.nodes);
    const double connections = static_cast<double>(estimate.connections);
    const double across = segments - connections;
    const double dense = std::min(1.0, connections / std::max(1.0, nodes) / kDenseConnections);
    estimate.seconds = kSecondsPerSegmentSquared * segments * segments * dense * dense +
                       kSecondsPerNodeAcross * nodes * across + kSecondsPerNodeSquared * nodes * nodes +
                       kSecondsPerItem * (nodes + connections);
    return estimate;
}

}  // namespace quorvel::diagram
