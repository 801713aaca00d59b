#include "analysis/ClockSection.hpp"

#include "platform/TextConv.hpp"
#include "resources/Strings.hpp"

namespace quorvel {
namespace {

// A filter of the graph named as the clock: its name as the report shows it.
std::string FilterClock(const AnalysisState::GraphFilter& f, model::Clock& clock) {
    clock.name = Unquoted(f.quotedName);
    clock.filterId = Utf8FromAnsi(f.id);
    return f.quotedName;
}

std::string Named(std::string text, model::Clock& clock) {
    clock.name = text;
    return text;
}

std::string ClockById(const AnalysisState& s, const std::string& id, model::Clock& clock) {
    if (id == "0000") return Named(std::string(Res(Str::NoClock)), clock);
    for (const AnalysisState::GraphFilter& f : s.graphFilters)
        if (f.id == id) return FilterClock(f, clock);
    return Named(Utf8FromAnsi(id), clock);
}

std::string ClockByClsid(const AnalysisState& s, const std::string& text, std::uint64_t at, model::Clock& clock) {
    const auto clsid = TryParseGuid(text);
    if (!clsid) s.reader.FailNotGuid(at, text);
    clock.clsid = Utf8FromAnsi(text);
    if (*clsid == kSystemClockClsid) return Named("System Clock", clock);
    for (const AnalysisState::GraphFilter& f : s.graphFilters)
        if (f.clsid == *clsid) return FilterClock(f, clock);
    return Named(*clock.clsid, clock);
}

}  // namespace

std::string ReadClockSection(AnalysisState& s) {
    GraphReader& r = s.reader;
    model::Clock clock;
    std::string heading = Utf8FromAnsi(r.ReadChars(5));
    heading += r.SkipSeparator();
    clock.required = (r.NextChar() & 0xFF) == '1';
    if (clock.required) heading += " (" + std::string(Res(Str::Required)) + ")";
    r.SkipSeparator();

    const std::uint64_t at = r.Cursor();
    const std::string value = r.ReadLine();
    std::string name;
    if (value.size() == 4)
        name = ClockById(s, value, clock);
    else if (value.size() == 38)
        name = ClockByClsid(s, value, at, clock);
    else
        name = Named(Utf8FromAnsi(value), clock);
    s.graph.clock = std::move(clock);
    return heading + "\r\n" + name;
}

}  // namespace quorvel
