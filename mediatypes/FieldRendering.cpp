#include "mediatypes/FieldRendering.hpp"

#include <string>

#include "mediatypes/FormatDecoders.hpp"
#include "platform/Hex.hpp"

namespace quorvel::fieldrendering {
namespace {

constexpr std::string_view kFieldIndent = "\r\n          ";

}  // namespace

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

std::string RenderField(const FieldRow& row, ByteSpan record, std::size_t at) {
    switch (row.rendering) {
        case Rendering::UnsignedDecimal:
            return UnsignedDecimal(static_cast<std::uint32_t>(ReadLe(record, at, row.width)));
        case Rendering::SignedDecimal:
            return SignedDecimal(ReadLeI32(record, at));
        case Rendering::TimeDecimal:
            return TimeDecimal(ReadLeI64(record, at));
        case Rendering::Rectangle:
            return RectangleText(ReadLeI32(record, at), ReadLeI32(record, at + 4), ReadLeI32(record, at + 8),
                                 ReadLeI32(record, at + 12));
        case Rendering::Hex8:
            return Hex8(ReadLe32(record, at));
        case Rendering::Fourcc:
            return FourccText(ReadLe32(record, at));
        case Rendering::NameList:
            return MatchingNames(ReadLe32(record, at), row.names);
    }
    return {};
}

void AppendFieldLines(std::string& out, std::span<const FieldGroup> groups, ByteSpan record) {
    for (const FieldGroup& group : groups) {
        for (const FieldRow& row : group.rows) {
            out += kFieldIndent;
            out += row.label;
            out += RenderField(row, record, group.base + row.offset);
        }
    }
}

}  // namespace quorvel::fieldrendering
