// Hexadecimal digits: the one table and the one parser of the program.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace quorvel {

inline constexpr char kHexDigitsUpper[] = "0123456789ABCDEF";
inline constexpr char kHexDigitsLower[] = "0123456789abcdef";

// Every byte's value as a hexadecimal digit of either case, or -1.
inline constexpr std::array<std::int8_t, 256> kHexDigitValues = [] {
    std::array<std::int8_t, 256> values{};
    for (int c = 0; c < 256; ++c) {
        values[static_cast<std::size_t>(c)] = static_cast<std::int8_t>(
            c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1);
    }
    return values;
}();

// The value of one hexadecimal digit of either case, or -1.
constexpr int HexDigitValue(char c) { return kHexDigitValues[static_cast<unsigned char>(c)]; }

// The low `digits` hexadecimal digits of value, most significant first.
inline void AppendHex(std::string& out, std::uint64_t value, int digits, bool lowerCase = false) {
    const char* table = lowerCase ? kHexDigitsLower : kHexDigitsUpper;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += table[(value >> shift) & 0xF];
}

}  // namespace quorvel
