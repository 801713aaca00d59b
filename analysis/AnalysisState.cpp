#include "analysis/AnalysisState.hpp"

#include "platform/TextConv.hpp"
#include "resources/Strings.hpp"

namespace quorvel {

Guid ReadGuidValue(GraphReader& reader, std::string& text) {
    const std::uint64_t at = reader.Cursor();
    text = reader.ReadGuidText();
    const auto guid = TryParseGuid(text);
    if (!guid) reader.FailNotGuid(at, text);
    return *guid;
}

std::string DataNotice(std::uint64_t count) { return FormatRes(Str::DataNotice, {std::to_string(count)}); }

}  // namespace quorvel
