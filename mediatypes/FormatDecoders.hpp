// Field-by-field decoding of format blocks.  A decoder gets the first S bytes
// of a block (S = FormatRecordSize(decoder), which LookupFormatType gives as
// recordSize) and returns its field lines:
// for each field "\r\n", ten spaces, the label and the rendered value, then a
// closing "\r\n" and ten spaces.  Multi-byte fields are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "mediatypes/MediaTypeNames.hpp"
#include "platform/Bytes.hpp"

namespace quorvel {

// The field lines of a record; empty for FormatDecoder::None.  A record
// shorter than S bytes is refused with ByteRangeError, never read past.
std::string DecodeFormatRecord(FormatDecoder decoder, ByteSpan record);

// S, the size of the decoder's fixed record: 88, 112, 18, 104, 136, 48 or 32
// bytes; 0 for FormatDecoder::None.
std::size_t FormatRecordSize(FormatDecoder decoder);

// The four bytes of a code, least significant first, as Windows-1252
// characters (UTF-8 result) when every byte is 0x20 or above; otherwise the
// (empty) resource text kept for an unrecognised code.
std::string FourccText(std::uint32_t code);

}  // namespace quorvel
