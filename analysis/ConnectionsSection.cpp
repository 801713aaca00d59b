#include "analysis/ConnectionsSection.hpp"

#include "platform/TextConv.hpp"

namespace quorvel {
namespace {

// Filters are named by their position in the FILTERS section, counted from 1;
// the ids the entries carry are not consulted.
const std::string& FilterNameAt(const AnalysisState& s, std::int64_t id, std::uint64_t offset) {
    const auto count = static_cast<std::int64_t>(s.GraphFilterList.size());
    if (id < 1 || id > count)
        s.reader.FailAt(offset, StopKind::FilterId, "connection names filter " + std::to_string(id) + ", the graph has " +
                                    std::to_string(count));
    return s.GraphFilterList[static_cast<std::size_t>(id - 1)].GraphName;
}

}  // namespace

std::string DescribeConnectionHeader(AnalysisState& s) {
    GraphReader& r = s.reader;
    std::uint64_t at = r.Cursor();
    std::string header = Utf8FromAnsi(FilterNameAt(s, r.ReadNumber(4), at));
    header += r.SkipSeparator();
    header += Utf8FromAnsi(r.ReadQuoted());
    header += r.SkipSeparator();
    header += " => ";

    at = r.Cursor();
    header += Utf8FromAnsi(FilterNameAt(s, r.ReadNumber(4), at));
    header += r.SkipSeparator();
    header += Utf8FromAnsi(r.ReadQuoted());

    r.SkipSeparator();
    r.ReadChars(10);
    r.NextChar();
    return header;
}

}  // namespace quorvel
