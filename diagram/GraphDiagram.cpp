#include "diagram/GraphDiagram.hpp"

#include <cstdlib>
#include <map>
#include <vector>

#include "platform/TextConv.hpp"
#include "resources/Strings.hpp"

namespace quorvel::diagram {
namespace {

// Text inside Graphviz's HTML-like labels: the markup characters as
// entities, so that no name can open a tag or break the label.
std::string Html(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendHtmlText(out, text);
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

    std::size_t Port(std::vector<std::string>& pins, const std::string& pin) {
        for (std::size_t i = 0; i < pins.size(); ++i)
            if (pins[i] == pin) return i;
        pins.push_back(pin);
        return pins.size() - 1;
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

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

}  // namespace

std::string_view KindColor(model::FilterKind kind) {
    switch (kind) {
        case model::FilterKind::DmoWrapper: return "#008000";
        case model::FilterKind::PnpProxy: return "#800080";
        case model::FilterKind::AcmWrapper:
        case model::FilterKind::AviCompressor: return "#0000FF";
        case model::FilterKind::DirectShow: break;
    }
    return "#000000";
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
    // Nodes: the filters by their ids, then the unresolved names.
    std::vector<Node> filters(graph.filters.size());
    std::map<std::string, std::size_t> byId;
    for (std::size_t i = 0; i < graph.filters.size(); ++i) {
        filters[i].id = "f" + std::to_string(i + 1);
        byId.emplace(graph.filters[i].id, i);
    }
    std::map<std::string, Node> unresolved;
    const auto nodeOf = [&](const model::PinEnd& end) -> Node& {
        if (end.filterId)
            if (const auto at = byId.find(*end.filterId); at != byId.end()) return filters[at->second];
        Node& node = unresolved[end.filter];
        if (node.id.empty()) node.id = "u" + std::to_string(unresolved.size());
        return node;
    };

    std::string edges;
    for (const model::Connection& c : graph.connections) {
        Node& from = nodeOf(c.output);
        const std::size_t out = from.Port(from.outputs, c.output.pin);
        Node& to = nodeOf(c.input);
        const std::size_t in = to.Port(to.inputs, c.input.pin);
        edges += "  " + from.id + ":o" + std::to_string(out) + ":e -> " + to.id + ":i" + std::to_string(in) +
                 ":w [label=<" + Html(ShortMediaType(c.mediaType)) + ">];\n";
    }

    std::string dot = "digraph " + Quoted(title) + " {\n";
    dot += "  graph [rankdir=LR, fontname=\"sans-serif\", nodesep=0.25, ranksep=0.7, bgcolor=\"white\"];\n";
    dot += "  node [shape=plain, fontname=\"sans-serif\", fontsize=10];\n";
    dot += "  edge [fontname=\"sans-serif\", fontsize=8, color=\"#404040\", arrowsize=0.7];\n";
    for (std::size_t i = 0; i < filters.size(); ++i) {
        const model::Filter& f = graph.filters[i];
        dot += "  " + filters[i].id + " [id=" + Quoted("filter-" + std::to_string(i + 1)) + ", label=" +
               NodeLabel(filters[i], f.name, Subtitle(f), KindColor(f.kind), false) + "];\n";
    }
    std::map<std::string_view, std::size_t> bearers;
    if (!unresolved.empty())
        for (const model::Filter& f : graph.filters) ++bearers[f.name];
    for (const auto& [name, node] : unresolved) {
        // A name that the filters section does not bear once and only once.
        const auto named = bearers.find(name);
        const Str why = named == bearers.end() ? Str::DiagramNoSuchFilter : Str::DiagramSeveralFilters;
        dot += "  " + node.id + " [id=" + Quoted("unresolved-" + node.id.substr(1)) + ", label=" +
               NodeLabel(node, name, Res(why), "#C00000", true) + "];\n";
    }
    return dot + edges + "}\n";
}

}  // namespace quorvel::diagram
