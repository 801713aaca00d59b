#include "analysis/ConnectionsSection.hpp"

#include "platform/TextConv.hpp"

namespace quorvel {
namespace {

// Filters are named by their position in the FILTERS section, counted from 1;
// the ids the entries carry are not consulted.
const std::string& FilterNameAt(const AnalysisState& s, std::int64_t id, std::uint64_t offset) {
    const auto count = static_cast<std::int64_t>(s.GraphFilterList.size());
    if (id < 1 || id > count)
        s.reader.FailAt(offset, StopKind::FilterId,
                        "connection names filter " + std::to_string(id) + ", the graph has " + std::to_string(count));
    return s.GraphFilterList[static_cast<std::size_t>(id - 1)].GraphName;
}

// One end: the filter's name by position, then the quoted pin name.
model::PinEnd ReadPinEnd(AnalysisState& s, std::string& header) {
    GraphReader& r = s.reader;
    model::PinEnd end;
    const std::uint64_t at = r.Cursor();
    const std::string filter = Utf8FromAnsi(FilterNameAt(s, r.ReadNumber(4), at));
    header += filter;
    header += r.SkipSeparator();
    const std::string pin = Utf8FromAnsi(r.ReadQuoted());
    header += pin;
    end.filter = Unquoted(filter);
    if (const auto id = s.idByName.find(end.filter); id != s.idByName.end()) end.filterId = id->second;
    end.pin = Unquoted(pin);
    return end;
}

}  // namespace

std::string DescribeConnectionHeader(AnalysisState& s) {
    GraphReader& r = s.reader;
    std::string header;
    model::Connection connection;
    connection.output = ReadPinEnd(s, header);
    header += r.SkipSeparator();
    header += " => ";
    connection.input = ReadPinEnd(s, header);

    r.SkipSeparator();
    r.ReadChars(10);
    r.NextChar();
    s.graph.connections.push_back(std::move(connection));
    return header;
}

}  // namespace quorvel
