#include "analysis/AnalysisState.hpp"

#include <unordered_map>

#include "platform/TextConv.hpp"
#include "resources/Strings.hpp"

namespace quorvel {

Guid ReadGuidValue(GraphReader& reader, std::string_view& text) {
    const std::uint64_t at = reader.Cursor();
    text = reader.ReadGuidText();
    const auto guid = TryParseGuid(text);
    if (!guid) reader.FailNotGuid(at, text);
    return *guid;
}

std::string DataNotice(std::uint64_t count) { return FormatRes(Str::DataNotice, {std::to_string(count)}); }

std::string_view Unquoted(std::string_view quoted) {
    if (quoted.starts_with('"')) quoted.remove_prefix(1);
    if (quoted.ends_with('"')) quoted.remove_suffix(1);
    return quoted;
}

void AnalysisState::AddFilter(GraphFilter entry, model::Filter filter) {
    graphFilters.push_back(std::move(entry));
    if (graphSink)
        graphSink->TakeFilter(filter);
    else if (keepGraph)
        graph.filters.push_back(std::move(filter));
}

void AnalysisState::FiltersRead() {
    std::unordered_map<std::string_view, std::size_t> bearers;
    bearers.reserve(graphFilters.size());
    for (const GraphFilter& f : graphFilters) ++bearers[f.quotedName];
    nameIsUnique.clear();
    nameIsUnique.reserve(graphFilters.size());
    for (const GraphFilter& f : graphFilters) nameIsUnique.push_back(bearers[f.quotedName] == 1);
}

}  // namespace quorvel
