#include "diagram/GraphLayout.hpp"

#include <mutex>
#include <string>

#ifdef QUORVEL_HAVE_GRAPHVIZ
#include <graphviz/cgraph.h>
#include <graphviz/gvc.h>
#endif

namespace quorvel::diagram {

#ifdef QUORVEL_HAVE_GRAPHVIZ

bool LayoutAvailable() { return true; }

std::string RenderSvg(std::string_view dot) {
    static std::mutex graphviz;
    const std::lock_guard<std::mutex> one(graphviz);
    agseterr(AGERR);  // warnings are Graphviz's business, not the user's
    // One context for the whole process, never freed: Graphviz's text
    // layout plugin remembers the last font it measured by a pointer into
    // the context's fonts, so a second layout after a freed context (the
    // window lays out graph after graph) would read freed memory.
    static GVC_t* const context = gvContext();
    if (!context) throw LayoutError("Graphviz could not start");
    const std::string text(dot);
    Agraph_t* graph = agmemread(text.c_str());
    if (!graph) throw LayoutError("Graphviz could not read the graph's description");
    std::string svg;
    const bool laid = gvLayout(context, graph, "dot") == 0;
    if (laid) {
        char* data = nullptr;
        unsigned int length = 0;
        if (gvRenderData(context, graph, "svg", &data, &length) == 0 && data) svg.assign(data, length);
        gvFreeRenderData(data);
        gvFreeLayout(context, graph);
    }
    agclose(graph);
    if (svg.empty()) throw LayoutError(laid ? "Graphviz could not draw the graph" : "Graphviz could not lay the graph out");
    // Standalone: no document type that names an outside DTD.
    if (const std::size_t doctype = svg.find("<!DOCTYPE"); doctype != std::string::npos)
        if (const std::size_t end = svg.find('>', doctype); end != std::string::npos)
            svg.erase(doctype, end + 1 - doctype + (end + 1 < svg.size() && svg[end + 1] == '\n'));
    return svg;
}

#else

bool LayoutAvailable() { return false; }

std::string RenderSvg(std::string_view) {
    throw LayoutError("this build has no Graphviz: the graph cannot be laid out here (DOT text can be written)");
}

#endif

}  // namespace quorvel::diagram
