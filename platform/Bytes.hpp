// Checked readers over byte spans.  Every value of a saved block is read
// through these: a field that does not lie wholly inside its span is a
// ByteRangeError, never a read past the end.  Multi-byte values are
// little-endian, as the platform stores them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

namespace quorvel {

using ByteSpan = std::span<const std::uint8_t>;

// A field of `width` bytes at `offset` asked of a span of `size` bytes.
class ByteRangeError : public std::out_of_range {
public:
    ByteRangeError(std::size_t offset, std::size_t width, std::size_t size)
        : std::out_of_range(std::to_string(width) + " bytes at offset " + std::to_string(offset) +
                            " lie outside a block of " + std::to_string(size) + " bytes"),
          offset_(offset),
          width_(width),
          size_(size) {}

    std::size_t offset() const { return offset_; }
    std::size_t width() const { return width_; }
    std::size_t size() const { return size_; }

private:
    std::size_t offset_;
    std::size_t width_;
    std::size_t size_;
};

// The `width` bytes at `offset`, checked; width 0 is allowed anywhere up to the end.
inline ByteSpan SubSpan(ByteSpan bytes, std::size_t offset, std::size_t width) {
    if (offset > bytes.size() || bytes.size() - offset < width) throw ByteRangeError(offset, width, bytes.size());
    return bytes.subspan(offset, width);
}

// Little-endian value of 1 to 8 bytes at offset.
inline std::uint64_t ReadLe(ByteSpan bytes, std::size_t offset, std::size_t width) {
    const ByteSpan field = SubSpan(bytes, offset, width);
    std::uint64_t value = 0;
    for (std::size_t i = field.size(); i > 0; --i) value = (value << 8) | field[i - 1];
    return value;
}

inline std::uint8_t ReadU8(ByteSpan bytes, std::size_t offset) { return SubSpan(bytes, offset, 1)[0]; }
inline std::uint16_t ReadLe16(ByteSpan bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(ReadLe(bytes, offset, 2));
}
inline std::uint32_t ReadLe32(ByteSpan bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(ReadLe(bytes, offset, 4));
}
inline std::uint64_t ReadLe64(ByteSpan bytes, std::size_t offset) { return ReadLe(bytes, offset, 8); }
// Two's complement views (the conversions are modular).
inline std::int32_t ReadLeI32(ByteSpan bytes, std::size_t offset) {
    return static_cast<std::int32_t>(ReadLe32(bytes, offset));
}
inline std::int64_t ReadLeI64(ByteSpan bytes, std::size_t offset) {
    return static_cast<std::int64_t>(ReadLe64(bytes, offset));
}
// Big-endian, for the bitstreams that codecs store (MPEG, AAC).
inline std::uint32_t ReadBe(ByteSpan bytes, std::size_t offset, std::size_t width) {
    const ByteSpan field = SubSpan(bytes, offset, width);
    std::uint32_t value = 0;
    for (const std::uint8_t b : field) value = (value << 8) | b;
    return value;
}

}  // namespace quorvel
