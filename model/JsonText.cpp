#include "model/JsonText.hpp"

#include <algorithm>
#include <charconv>
#include <ostream>

#include "platform/Hex.hpp"
#include "platform/TextConv.hpp"

namespace quorvel::model {

JsonText& JsonText::String(std::string_view text) {
    const std::size_t plain = PlainJsonLength(text);
    if (plain < text.size()) {
        // Something to escape: the common writer does it, in place.
        at_ = WriteJsonString(Room(JsonStringBound(text.size())), text);
        return Checked();
    }
    char* p = Room(text.size() + 2);
    *p++ = '"';
    p = Copy(p, text);
    *p++ = '"';
    at_ = p;
    return *this;
}

template <typename Integer>
JsonText& JsonText::Decimal(Integer value) {
    constexpr std::size_t kMostDigits = 20;  // and a sign
    char* p = Room(kMostDigits + 1);
    at_ = std::to_chars(p, p + kMostDigits + 1, value).ptr;
    return *this;
}

JsonText& JsonText::Number(std::int64_t value) { return Decimal(value); }
JsonText& JsonText::Unsigned(std::uint64_t value) { return Decimal(value); }

JsonText& JsonText::Hex(const std::vector<std::uint8_t>& bytes) {
    char* p = Room(2 * bytes.size() + 2);
    *p++ = '"';
    for (const std::uint8_t b : bytes) {
        *p++ = kHexDigitsLower[b >> 4];
        *p++ = kHexDigitsLower[b & 0xF];
    }
    *p++ = '"';
    at_ = p;
    return Checked();
}

JsonText& JsonText::Elements(const TextChunks& kept) {
    if (kept.Empty()) return *this;
    if (!first_) Raw(", ");
    first_ = false;
    kept.ForEachPart([&](std::string_view part) {
        if (out_) {
            Flush();
            out_->write(part.data(), static_cast<std::streamsize>(part.size()));
        } else {
            Raw(part);
        }
    });
    return *this;
}

void JsonText::Grow(std::size_t n) {
    Flush();
    if (kept_) {
        at_ = start_ = kept_->Room(n);
        end_ = kept_->RoomEnd();
        return;
    }
    // A block and some room over, or more for one big value.
    if (bufferSize_ < n || bufferSize_ < kBlock + kBlock / 4) {
        bufferSize_ = std::max({n, kBlock + kBlock / 4, 2 * bufferSize_});
        buffer_ = std::make_unique_for_overwrite<char[]>(bufferSize_);
    }
    at_ = start_ = buffer_.get();
    end_ = start_ + bufferSize_;
}

void JsonText::Flush() {
    const auto n = static_cast<std::size_t>(at_ - start_);
    if (n == 0) return;
    if (out_) {
        out_->write(start_, static_cast<std::streamsize>(n));
        at_ = start_;
    } else {
        kept_->Commit(n);
        start_ = at_;
    }
}

}  // namespace quorvel::model
