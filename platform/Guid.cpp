#include "platform/Guid.hpp"

namespace quorvel {

GuidSyntaxError::GuidSyntaxError(std::string text)
    : std::runtime_error("not a GUID: \"" + text + "\""), text_(std::move(text)) {}

std::optional<Guid> TryParseGuid(std::string_view text) {
    Guid g;
    if (!detail::ParseRegistryForm(text, g)) return std::nullopt;
    return g;
}

Guid ParseGuid(std::string_view text) {
    Guid g;
    if (!detail::ParseRegistryForm(text, g)) throw GuidSyntaxError(std::string(text));
    return g;
}

std::array<char, 38> GuidChars(const Guid& g) {
    static constexpr int kWrittenFromMem[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    std::array<char, 38> out{};
    std::size_t at = 0;
    out[at++] = '{';
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) out[at++] = '-';
        const std::uint8_t b = g.bytes[static_cast<std::size_t>(kWrittenFromMem[i])];
        out[at++] = kHexDigitsUpper[b >> 4];
        out[at++] = kHexDigitsUpper[b & 0xF];
    }
    out[at] = '}';
    return out;
}

std::string FormatGuid(const Guid& g) {
    const std::array<char, 38> chars = GuidChars(g);
    return std::string(chars.data(), chars.size());
}

}  // namespace quorvel
