#include "analysis/ReportParts.hpp"

#include <algorithm>

#include "platform/Hex.hpp"
#include "resources/Strings.hpp"

namespace quorvel {

void AppendHexDump(ReportParts& parts, const std::vector<std::uint8_t>& bytes, std::size_t indent) {
    if (!parts.Details() || bytes.empty()) return;
    constexpr std::size_t kShown = 4096;
    const std::size_t shown = std::min(bytes.size(), kShown);
    std::string line;
    for (std::size_t at = 0; at < shown; at += 16) {
        line.assign(indent, ' ');
        AppendHex(line, at, 4);
        line += "  ";
        std::string ascii;
        for (std::size_t i = at; i < at + 16; ++i) {
            if (i == at + 8) line += ' ';
            if (i < shown) {
                AppendHex(line, bytes[i], 2);
                line += ' ';
                ascii += bytes[i] >= 0x20 && bytes[i] < 0x7F ? static_cast<char>(bytes[i]) : '.';
            } else {
                line += "   ";
            }
        }
        parts.Detail(line + " " + ascii);
    }
    if (bytes.size() > shown)
        parts.Detail(std::string(indent, ' ') + FormatRes(Str::DetailMoreBytes, {std::to_string(bytes.size() - shown)}));
}

}  // namespace quorvel
