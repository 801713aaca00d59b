// What one analysis shares between its readers: the stream, the catalog of
// installed filters, the graph's own filters as they are read, and the
// colour chosen for the last filter line.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/GraphReader.hpp"
#include "report/ReportView.hpp"
#include "catalog/FilterCatalog.hpp"

namespace quorvel {

struct AnalysisState {
    GraphReader& reader;
    const FilterCatalog& catalog;
    // A deque: graphs of thousands of filters grow it without moving records.
    std::deque<TfilterItem> GraphFilterList;
    Color FilterLineColor = kBlack;
};

// Reads a GUID text (through the first '}') and converts it; a text that is
// not a GUID ends the analysis, reported at the text's first code unit.
Guid ReadGuidValue(GraphReader& reader, std::string& text);

// Format("%d octets de données binaires", [count]).
std::string DataNotice(std::uint64_t count);

}  // namespace quorvel
