#include "analysis/ByteSource.hpp"

#include <algorithm>
#include <cstring>

namespace quorvel {

std::size_t MemorySource::ReadAt(std::uint64_t offset, std::uint8_t* dst, std::size_t n) {
    if (offset >= bytes_.size()) return 0;
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(n, bytes_.size() - offset));
    std::memcpy(dst, bytes_.data() + offset, count);
    return count;
}

}  // namespace quorvel
