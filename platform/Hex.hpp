// Hexadecimal digits: the one table and the one parser of the program.
#pragma once

#include <cstdint>
#include <string>

namespace quorvel {

inline constexpr char kHexDigitsUpper[] = "0123456789ABCDEF";
inline constexpr char kHexDigitsLower[] = "0123456789abcdef";

// The value of one hexadecimal digit of either case, or -1.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The low `digits` hexadecimal digits of value, most significant first.
inline void AppendHex(std::string& out, std::uint64_t value, int digits, bool lowerCase = false) {
    const char* table = lowerCase ? kHexDigitsLower : kHexDigitsUpper;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += table[(value >> shift) & 0xF];
}

}  // namespace quorvel
