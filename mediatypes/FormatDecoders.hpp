// Field-by-field decoding of format blocks.  A decoder gets the first S bytes
// of a block (S = FormatRecordSize(decoder), which LookupFormatType gives as
// recordSize) and returns its field lines:
// for each field "\r\n", ten spaces, the label and the rendered value, then a
// closing "\r\n" and ten spaces.  Multi-byte fields are little-endian.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "mediatypes/FieldRendering.hpp"
#include "mediatypes/MediaTypeNames.hpp"
#include "platform/Bytes.hpp"

namespace quorvel {

// One field of a record as read: what it is, and its value in the form its
// rendering takes (a rectangle's four sides; for every other form the value
// of its bytes, sign-extended for the signed forms).
struct DecodedField {
    std::string_view key;    // the structure's member ("biWidth")
    std::string_view label;  // as the line shows it ("biWidth = ")
    fieldrendering::Rendering rendering = fieldrendering::Rendering::UnsignedDecimal;
    std::int64_t value = 0;
    std::array<std::int32_t, 4> rectangle{};                // left, top, right, bottom
    std::span<const fieldrendering::NameTest> names{};  // NameList: the names to match

    // The value as the line shows it.
    std::string Text() const;
    void AppendText(std::string& out) const;
    // NameList: the names that match, without the report's spaces.
    std::vector<std::string_view> Names() const;
};

// The record's fields in the order of their lines; empty for
// FormatDecoder::None.  A record shorter than S bytes is refused with
// ByteRangeError, never read past.
std::vector<DecodedField> DecodeFormatFields(FormatDecoder decoder, ByteSpan record);

// The field lines of decoded fields, then the closing line break and indent.
std::string FieldLinesText(const std::vector<DecodedField>& fields);
void AppendFieldLines(std::string& out, const std::vector<DecodedField>& fields);

// The field lines of a record; empty for FormatDecoder::None.
std::string DecodeFormatRecord(FormatDecoder decoder, ByteSpan record);

// The largest S of any decoder (MPEG2VIDEOINFO).
inline constexpr std::size_t kMaxFormatRecordSize = 136;

// S, the size of the decoder's fixed record: 88, 112, 18, 104, 136, 48 or 32
// bytes; 0 for FormatDecoder::None.
std::size_t FormatRecordSize(FormatDecoder decoder);

// The four bytes of a code, least significant first, as Windows-1252
// characters (UTF-8 result) when every byte is 0x20 or above; otherwise the
// (empty) resource text kept for an unrecognised code.
std::string FourccText(std::uint32_t code);

}  // namespace quorvel
