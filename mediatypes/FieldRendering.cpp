#include "mediatypes/FieldRendering.hpp"

#include <string>

#include "mediatypes/FormatDecoders.hpp"

namespace quorvel::fieldrendering {
namespace {

constexpr std::string_view kFieldIndent = "\r\n          ";

std::uint32_t Word(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(ReadLittleEndian(p, 4));
}

// Two's complement view of a 32-bit word (the conversion is modular).
std::int32_t SignedWord(const std::uint8_t* p) { return static_cast<std::int32_t>(Word(p)); }

}  // namespace

std::uint64_t ReadLittleEndian(const std::uint8_t* p, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = width; i > 0; --i) value = (value << 8) | p[i - 1];
    return value;
}

std::string UnsignedDecimal(std::uint32_t value) { return std::to_string(value); }

std::string SignedDecimal(std::int32_t value) { return std::to_string(value); }

std::string TimeDecimal(std::int64_t value) { return std::to_string(value); }

std::string RectangleText(std::int32_t left, std::int32_t top, std::int32_t right,
                          std::int32_t bottom) {
    return SignedDecimal(left) + ',' + SignedDecimal(top) + ',' + SignedDecimal(right) + ',' +
           SignedDecimal(bottom);
}

std::string Hex8(std::uint32_t value) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    std::string text(8, '0');
    for (std::size_t i = 8; i > 0; --i) {
        text[i - 1] = kDigits[value & 0xFu];
        value >>= 4;
    }
    return text;
}

std::string MatchingNames(std::uint32_t value, std::span<const NameTest> table) {
    std::string text;
    for (const NameTest& test : table)
        if ((value & test.mask) == test.equals) text += test.name;
    return text;
}

std::string RenderField(const FieldRow& row, const std::uint8_t* field) {
    switch (row.rendering) {
        case Rendering::UnsignedDecimal:
            return UnsignedDecimal(static_cast<std::uint32_t>(ReadLittleEndian(field, row.width)));
        case Rendering::SignedDecimal:
            return SignedDecimal(SignedWord(field));
        case Rendering::TimeDecimal:
            return TimeDecimal(static_cast<std::int64_t>(ReadLittleEndian(field, 8)));
        case Rendering::Rectangle:
            return RectangleText(SignedWord(field), SignedWord(field + 4), SignedWord(field + 8),
                                 SignedWord(field + 12));
        case Rendering::Hex8:
            return Hex8(Word(field));
        case Rendering::Fourcc:
            return FourccText(Word(field));
        case Rendering::NameList:
            return MatchingNames(Word(field), row.names);
    }
    return {};
}

void AppendFieldLines(std::string& out, std::span<const FieldGroup> groups,
                      const std::uint8_t* record) {
    for (const FieldGroup& group : groups) {
        for (const FieldRow& row : group.rows) {
            out += kFieldIndent;
            out += row.label;
            out += RenderField(row, record + group.base + row.offset);
        }
    }
}

}  // namespace quorvel::fieldrendering
