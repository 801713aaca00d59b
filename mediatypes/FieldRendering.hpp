// Field tables of the format block records and the renderings of their values.
// Internal to the format decoders: a record is described as groups of rows
// (label, offset, width, rendering), and one routine walks a group and writes
// its field lines.  Values are read little-endian through the checked span
// readers at the row's offset; nothing is read outside the record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Bytes.hpp"

namespace quorvel::fieldrendering {

// One entry of a flag list or enumeration: its name is appended when
// (value AND mask) = equals.  Names of flag lists bring their own leading
// space; enumeration names have none.
struct NameTest {
    std::uint32_t mask = 0;
    std::uint32_t equals = 0;
    std::string_view name;
};

// A single bit that must be set.
constexpr NameTest Bit(std::uint32_t bit, std::string_view name) { return {bit, bit, name}; }
// A sub-field (the bits of mask) holding one value.
constexpr NameTest Masked(std::uint32_t mask, std::uint32_t equals, std::string_view name) {
    return {mask, equals, name};
}
// The whole word holding one value.
constexpr NameTest Equals(std::uint32_t value, std::string_view name) {
    return {0xFFFFFFFFu, value, name};
}

enum class Rendering : std::uint8_t {
    UnsignedDecimal,  // 16- or 32-bit unsigned
    SignedDecimal,    // 32-bit signed
    TimeDecimal,      // 64-bit signed, REFERENCE_TIME (100 ns units)
    Rectangle,        // RECT: four 32-bit signed, left, top, right, bottom
    Hex8,             // 32-bit, eight upper-case hex digits
    Fourcc,           // 32-bit compression code
    NameList,         // 32-bit flag word or enumeration, names from a NameTest table
};

struct FieldRow {
    std::string_view key;    // the structure's member ("biWidth"), for data
    std::string_view label;  // exactly as shown, spaces included
    std::size_t offset = 0;  // bytes from the start of the row's group
    std::size_t width = 0;   // bytes
    Rendering rendering = Rendering::UnsignedDecimal;
    std::span<const NameTest> names{};  // NameList only
};

// A group of rows placed at a byte offset inside a record.
struct FieldGroup {
    std::span<const FieldRow> rows;
    std::size_t base = 0;
};

// The width that a rendering reads; UnsignedDecimal takes 2 or 4.
constexpr bool WidthSuits(Rendering rendering, std::size_t width) {
    switch (rendering) {
        case Rendering::UnsignedDecimal: return width == 2 || width == 4;
        case Rendering::TimeDecimal: return width == 8;
        case Rendering::Rectangle: return width == 16;
        case Rendering::SignedDecimal:
        case Rendering::Hex8:
        case Rendering::Fourcc:
        case Rendering::NameList: return width == 4;
    }
    return false;
}

// True when every row of every group lies inside a record of recordSize bytes
// and has the width its rendering reads.
constexpr bool GroupsFitRecord(std::span<const FieldGroup> groups, std::size_t recordSize) {
    for (const FieldGroup& group : groups)
        for (const FieldRow& row : group.rows)
            if (!WidthSuits(row.rendering, row.width) ||
                group.base + row.offset + row.width > recordSize)
                return false;
    return true;
}

std::string UnsignedDecimal(std::uint32_t value);
std::string SignedDecimal(std::int32_t value);
std::string TimeDecimal(std::int64_t value);
std::string RectangleText(std::int32_t left, std::int32_t top, std::int32_t right,
                          std::int32_t bottom);
std::string Hex8(std::uint32_t value);
std::string MatchingNames(std::uint32_t value, std::span<const NameTest> table);

// The names of a flag word or enumeration, without the spaces that the
// report puts between them.
std::vector<std::string_view> MatchingNameList(std::uint32_t value, std::span<const NameTest> table);

}  // namespace quorvel::fieldrendering
