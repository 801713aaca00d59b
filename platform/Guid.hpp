// A 16-byte class identifier, as the media framework stores and compares it.
//
// Bytes are kept in the platform's in-memory order: Data1 (32-bit) and
// Data2/Data3 (16-bit) little-endian, then the eight Data4 bytes.  That is
// also the order in which a GUID appears inside binary data blocks of a graph
// file, so FromBytes() is a plain copy.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/Bytes.hpp"
#include "platform/Hex.hpp"

namespace quorvel {

struct Guid {
    std::array<std::uint8_t, 16> bytes{};

    friend bool operator==(const Guid&, const Guid&) = default;

    static Guid FromBytes(std::span<const std::uint8_t, 16> p) {
        Guid g;
        for (std::size_t i = 0; i < 16; ++i) g.bytes[i] = p[i];
        return g;
    }
    // The 16 bytes at offset of a saved block, checked.
    static Guid At(ByteSpan block, std::size_t offset) {
        return FromBytes(SubSpan(block, offset, 16).first<16>());
    }
    bool IsNull() const { return *this == Guid{}; }
};

// Raised for any text that is not a GUID in the 38-character registry form.
class GuidSyntaxError : public std::runtime_error {
public:
    explicit GuidSyntaxError(std::string text);
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

namespace detail {

// Parses {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}; false for anything else.
constexpr bool ParseRegistryForm(std::string_view s, Guid& out) {
    if (s.size() != 38 || s[0] != '{' || s[37] != '}' || s[9] != '-' || s[14] != '-' ||
        s[19] != '-' || s[24] != '-')
        return false;
    // Text positions of the 16 bytes as they are written (most significant first
    // inside each of the first three groups).
    constexpr int kTextPos[16] = {1, 3, 5, 7, 10, 12, 15, 17, 20, 22, 25, 27, 29, 31, 33, 35};
    std::uint8_t written[16]{};
    for (int i = 0; i < 16; ++i) {
        const int hi = HexDigitValue(s[static_cast<std::size_t>(kTextPos[i])]);
        const int lo = HexDigitValue(s[static_cast<std::size_t>(kTextPos[i] + 1)]);
        if (hi < 0 || lo < 0) return false;
        written[i] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    // Written order -> in-memory order (Data1..Data3 are little-endian).
    constexpr int kMemFromWritten[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    for (int i = 0; i < 16; ++i) out.bytes[static_cast<std::size_t>(i)] = written[kMemFromWritten[i]];
    return true;
}

inline void InvalidGuidLiteral() {}  // not constexpr: calling it stops compilation
}  // namespace detail

// For GUID constants in tables: a malformed literal does not compile.
consteval Guid MakeGuid(std::string_view text) {
    Guid g;
    if (!detail::ParseRegistryForm(text, g)) detail::InvalidGuidLiteral();
    return g;
}

// Registry form, hexadecimal digits of either case; throws GuidSyntaxError.
Guid ParseGuid(std::string_view text);
std::optional<Guid> TryParseGuid(std::string_view text);

// Registry form with upper-case digits.
std::string FormatGuid(const Guid& g);
// The same 38 characters, without an allocation.
std::array<char, 38> GuidChars(const Guid& g);

}  // namespace quorvel
