// The scans of text that the reader and the writers make over and over:
// sixteen bytes at a time where the processor has SSE2, a byte or a code unit
// at a time elsewhere.  Both ways live here alone, and the tests run both
// (the build option QUORVEL_NO_SIMD takes the portable one), so that they
// stay the same.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quorvel {

// UTF-16LE code units in bytes[from, length), `from` on a unit's start: the
// offset of the first unit that is `unit`, else the end of the last whole
// unit.
std::size_t FindUtf16Unit(const std::uint8_t* bytes, std::size_t from, std::size_t length, std::uint16_t unit);

// From bytes[from] on, up to `to`, the code units of plain ASCII but NUL,
// their low bytes written to dst: the offset where such units end.
std::size_t CopyAsciiUtf16(const std::uint8_t* bytes, std::size_t from, std::size_t to, char* dst);

// How many of the first bytes are plain ASCII but NUL (1 to 0x7F).
std::size_t PlainAsciiLength(std::string_view text);

// How many of the first bytes a JSON string takes as they are: printable
// ASCII, neither a quote nor a backslash.
std::size_t PlainJsonLength(std::string_view utf8);

}  // namespace quorvel
