// Reading of codec bitstreams: most significant bit first, as MPEG video,
// H.264 and AAC store their headers.
//
// Running out of bits is not an error that unwinds: the reader becomes
// exhausted (sticky), every later read gives 0, and the decoder checks Ok()
// at the end of each structure.  An Exp-Golomb code with more than 31
// leading zeros cannot be a real value; it makes the reader malformed, also
// sticky.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Bytes.hpp"

namespace quorvel {

class BitReader {
public:
    explicit BitReader(ByteSpan bytes) : bytes_(bytes) {}

    // n in 0..32; 0 when fewer than n bits are left (the reader is then exhausted).
    std::uint32_t ReadBits(unsigned n);
    bool ReadFlag() { return ReadBits(1) != 0; }
    // Unsigned and signed Exp-Golomb codes, ue(v) and se(v).
    std::uint32_t ReadUe();
    std::int32_t ReadSe();
    void SkipBits(std::size_t n);

    std::size_t BitsLeft() const { return bytes_.size() * 8 - position_; }
    std::size_t BitPosition() const { return position_; }
    bool Exhausted() const { return exhausted_; }
    bool Malformed() const { return malformed_; }
    bool Ok() const { return !exhausted_ && !malformed_; }

private:
    ByteSpan bytes_;
    std::size_t position_ = 0;  // in bits
    bool exhausted_ = false;
    bool malformed_ = false;
};

// A NAL unit's payload without its emulation prevention bytes: the 03 of
// every 00 00 03 is dropped.
std::vector<std::uint8_t> RemoveEmulationPrevention(ByteSpan nal);

}  // namespace quorvel
