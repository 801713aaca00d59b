#include "mediatypes/FieldRendering.hpp"

#include <string>

#include "mediatypes/FormatDecoders.hpp"
#include "platform/Hex.hpp"

namespace quorvel::fieldrendering {

std::string UnsignedDecimal(std::uint32_t value) { return std::to_string(value); }

std::string SignedDecimal(std::int32_t value) { return std::to_string(value); }

std::string TimeDecimal(std::int64_t value) { return std::to_string(value); }

std::string RectangleText(std::int32_t left, std::int32_t top, std::int32_t right,
                          std::int32_t bottom) {
    return SignedDecimal(left) + ',' + SignedDecimal(top) + ',' + SignedDecimal(right) + ',' +
           SignedDecimal(bottom);
}

std::string Hex8(std::uint32_t value) {
    std::string text;
    AppendHex(text, value, 8);
    return text;
}

std::string MatchingNames(std::uint32_t value, std::span<const NameTest> table) {
    std::string text;
    for (const NameTest& test : table)
        if ((value & test.mask) == test.equals) text += test.name;
    return text;
}

std::vector<std::string_view> MatchingNameList(std::uint32_t value, std::span<const NameTest> table) {
    std::vector<std::string_view> names;
    for (const NameTest& test : table) {
        if ((value & test.mask) != test.equals) continue;
        std::string_view name = test.name;
        while (name.starts_with(' ')) name.remove_prefix(1);
        while (name.ends_with(' ')) name.remove_suffix(1);
        names.push_back(name);
    }
    return names;
}

}  // namespace quorvel::fieldrendering
