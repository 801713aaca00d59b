// What one analysis shares between its readers: the stream, the catalog of
// installed filters, the graph's own filters as they are read, and the
// colour chosen for the last filter line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/GraphReader.hpp"
#include "report/ReportView.hpp"
#include "catalog/FilterCatalog.hpp"
#include "model/GraphModel.hpp"
#include "platform/HugePages.hpp"

namespace quorvel {

struct AnalysisState {
    AnalysisState(GraphReader& r, const FilterCatalog& c, model::Graph& g) : reader(r), catalog(c), graph(g) {}

    GraphReader& reader;
    const FilterCatalog& catalog;
    model::Graph& graph;
    bool keepGraph = true;  // else the model's filters and connections are let go once read
    model::GraphSink* graphSink = nullptr;  // takes each filter and connection read whole
    // Details: add their lines; the last filter's bytes its line only counts.
    bool details = false;
    std::vector<std::uint8_t> filterBytesShownAsCount;
    // The graph's filters as the later sections name them, small and side by
    // side: connections name them in any order, thousands of times.
    struct GraphFilter {
        std::string id;          // as written (Windows-1252), normally four digits
        std::string quotedName;  // UTF-8, with its quotes
        Guid clsid;
    };
    std::vector<GraphFilter, HugePageAllocator<GraphFilter>> graphFilters;
    Color FilterLineColor = kBlack;
    // Whether the name of the filter at this position names no other filter;
    // known once the filters section is read.
    std::vector<bool> nameIsUnique;

    // Records a filter read whole, in the model too.
    void AddFilter(GraphFilter entry, model::Filter filter);
    void FiltersRead();
};

// A quoted text as read (its opening quote always there, its closing one
// when the text ended with it), without its quotes.
std::string_view Unquoted(std::string_view quoted);

// Reads a GUID text (through the first '}') and converts it; a text that is
// not a GUID ends the analysis, reported at the text's first code unit.
// `text` stays until the reader's next GUID.
Guid ReadGuidValue(GraphReader& reader, std::string_view& text);

// Format("%d octets de données binaires", [count]).
std::string DataNotice(std::uint64_t count);

}  // namespace quorvel
