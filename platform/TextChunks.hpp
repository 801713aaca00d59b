// Text that only grows, kept in chunks that never move: a view into it stays
// valid until Clear().  Chunks double from 64 KiB to a huge page.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/HugePages.hpp"

namespace quorvel {

class TextChunks {
public:
    TextChunks() = default;
    TextChunks(TextChunks&&) noexcept = default;
    TextChunks& operator=(TextChunks&&) noexcept = default;
    TextChunks(const TextChunks&) = delete;
    TextChunks& operator=(const TextChunks&) = delete;

    // At least n writable bytes at the end, side by side; Commit(k) keeps the
    // first k of them.  The room's end is RoomEnd().
    char* Room(std::size_t n) {
        if (chunks_.empty() || Back().size - Back().used < n) NewChunk(n);
        return Back().data.get() + Back().used;
    }
    char* RoomEnd() { return chunks_.empty() ? nullptr : Back().data.get() + Back().size; }
    void Commit(std::size_t n) { Back().used += n; }

    // A copy of text, side by side, that stays where it is.
    std::string_view Keep(std::string_view text) {
        if (text.empty()) return {};
        char* at = Room(text.size());
        std::memcpy(at, text.data(), text.size());
        Commit(text.size());
        return {at, text.size()};
    }

    // Calls fn(part) for each chunk's text, in order.
    template <typename Fn>
    void ForEachPart(Fn&& fn) const {
        for (const Chunk& c : chunks_)
            if (c.used != 0) fn(std::string_view(c.data.get(), c.used));
    }
    bool Empty() const;
    void Clear() { chunks_.clear(); }

private:
    struct Release {
        std::size_t size;
        void operator()(char* p) const noexcept { FreeBig(p, size); }
    };
    struct Chunk {
        std::unique_ptr<char[], Release> data;
        std::size_t size = 0;
        std::size_t used = 0;
    };
    Chunk& Back() { return chunks_.back(); }
    void NewChunk(std::size_t n);

    std::vector<Chunk> chunks_;
};

}  // namespace quorvel
