#include "analysis/ClockSection.hpp"

#include "platform/TextConv.hpp"
#include "resources/Strings.hpp"

namespace quorvel {
namespace {

std::string ClockById(const AnalysisState& s, const std::string& id) {
    if (id == "0000") return std::string(Res(Str::NoClock));
    for (const TfilterItem& f : s.GraphFilterList)
        if (f.GraphId == id) return Utf8FromAnsi(f.GraphName);
    return Utf8FromAnsi(id);
}

std::string ClockByClsid(const AnalysisState& s, const std::string& text, std::uint64_t at) {
    const auto clsid = TryParseGuid(text);
    if (!clsid) s.reader.FailNotGuid(at, text);
    if (*clsid == kSystemClockClsid) return "System Clock";
    for (const TfilterItem& f : s.GraphFilterList)
        if (f.CLSID == *clsid) return Utf8FromAnsi(f.GraphName);
    return Utf8FromAnsi(text);
}

}  // namespace

std::string ReadClockSection(AnalysisState& s) {
    GraphReader& r = s.reader;
    std::string heading = Utf8FromAnsi(r.ReadChars(5));
    heading += r.SkipSeparator();
    if ((r.NextChar() & 0xFF) == '1') heading += " (" + std::string(Res(Str::Required)) + ")";
    r.SkipSeparator();

    const std::uint64_t at = r.Cursor();
    const std::string value = r.ReadLine();
    std::string clock;
    if (value.size() == 4)
        clock = ClockById(s, value);
    else if (value.size() == 38)
        clock = ClockByClsid(s, value, at);
    else
        clock = Utf8FromAnsi(value);
    return heading + "\r\n" + clock;
}

}  // namespace quorvel
