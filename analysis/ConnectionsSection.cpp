#include "analysis/ConnectionsSection.hpp"

#include "platform/TextConv.hpp"

namespace quorvel {
namespace {

// Filters are named by their position in the FILTERS section, counted from 1;
// the ids the entries carry are not consulted.
std::size_t FilterAt(const AnalysisState& s, std::int64_t id, std::uint64_t offset) {
    const auto count = static_cast<std::int64_t>(s.graphFilters.size());
    if (id < 1 || id > count)
        s.reader.FailAt(offset, StopKind::FilterId,
                        "connection names filter " + std::to_string(id) + ", the graph has " + std::to_string(count));
    return static_cast<std::size_t>(id - 1);
}

// One end: the filter's name by position, then the quoted pin name.  The
// filter's quoted name as read is its model name between quotes.
model::PinEnd ReadPinEnd(AnalysisState& s, std::string& header) {
    GraphReader& r = s.reader;
    model::PinEnd end;
    const std::uint64_t at = r.Cursor();
    const std::size_t index = FilterAt(s, r.ReadNumber(4), at);
    const AnalysisState::GraphFilter& filter = s.graphFilters[index];
    header += filter.quotedName;
    header += r.SkipSeparator();
    const std::size_t pinAt = header.size();
    AppendUtf8FromAnsi(header, r.ReadQuoted());
    if (!s.keepGraph) return end;
    end.filter = Unquoted(filter.quotedName);
    if (s.nameIsUnique.size() != s.graphFilters.size()) s.FiltersRead();
    if (s.nameIsUnique[index]) end.filterId = Utf8FromAnsi(filter.id);
    end.pin = Unquoted(std::string_view(header).substr(pinAt));
    return end;
}

}  // namespace

std::string DescribeConnectionHeader(AnalysisState& s) {
    GraphReader& r = s.reader;
    std::string header;
    header.reserve(128);
    model::Connection connection;
    connection.output = ReadPinEnd(s, header);
    header += r.SkipSeparator();
    header += " => ";
    connection.input = ReadPinEnd(s, header);

    r.SkipSeparator();
    r.SkipChars(10);  // the type's length, not used
    r.NextChar();
    s.graph.connections.push_back(std::move(connection));
    return header;
}

}  // namespace quorvel
