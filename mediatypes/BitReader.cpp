#include "mediatypes/BitReader.hpp"

namespace quorvel {

std::uint32_t BitReader::ReadBits(unsigned n) {
    if (n > 32 || exhausted_ || BitsLeft() < n) {
        exhausted_ = true;
        position_ = bytes_.size() * 8;
        return 0;
    }
    std::uint64_t value = 0;
    for (unsigned i = 0; i < n; ++i, ++position_) {
        const unsigned bit = (bytes_[position_ / 8] >> (7 - position_ % 8)) & 1u;
        value = (value << 1) | bit;
    }
    return static_cast<std::uint32_t>(value);
}

std::uint32_t BitReader::ReadUe() {
    unsigned leadingZeros = 0;
    while (!ReadFlag()) {
        if (exhausted_) return 0;
        if (++leadingZeros > 31) {
            malformed_ = true;
            return 0;
        }
    }
    // 2^z - 1 + the z bits that follow; at most 2^32 - 2 for z = 31.
    const std::uint64_t value = (std::uint64_t{1} << leadingZeros) - 1 + ReadBits(leadingZeros);
    return exhausted_ ? 0 : static_cast<std::uint32_t>(value);
}

std::int32_t BitReader::ReadSe() {
    const std::uint32_t k = ReadUe();
    // 1, 2, 3, 4 ... map to 1, -1, 2, -2 ...; both halves fit in 31 bits.
    const auto magnitude = static_cast<std::int32_t>((k + 1u) / 2u);
    return (k % 2u == 1u) ? magnitude : -magnitude;
}

void BitReader::SkipBits(std::size_t n) {
    if (exhausted_ || BitsLeft() < n) {
        exhausted_ = true;
        position_ = bytes_.size() * 8;
        return;
    }
    position_ += n;
}

std::vector<std::uint8_t> RemoveEmulationPrevention(ByteSpan nal) {
    std::vector<std::uint8_t> out;
    out.reserve(nal.size());
    unsigned zeros = 0;
    for (const std::uint8_t byte : nal) {
        if (zeros >= 2 && byte == 0x03) {
            zeros = 0;
            continue;
        }
        zeros = (byte == 0) ? zeros + 1 : 0;
        out.push_back(byte);
    }
    return out;
}

}  // namespace quorvel
