#include "platform/TextChunks.hpp"

#include <algorithm>

namespace quorvel {

bool TextChunks::Empty() const {
    return std::all_of(chunks_.begin(), chunks_.end(), [](const Chunk& c) { return c.used == 0; });
}

void TextChunks::NewChunk(std::size_t n) {
    constexpr std::size_t kFirstChunk = std::size_t{1} << 16;
    const std::size_t grown = chunks_.empty() ? kFirstChunk : std::min(2 * Back().size, kHugePageSize);
    const std::size_t size = std::max(grown, n);
    Chunk chunk;
    chunk.data = std::unique_ptr<char[], Release>(AllocateBig(size), Release{size});
    chunk.size = BigCapacity(size);
    chunks_.push_back(std::move(chunk));
}

}  // namespace quorvel
