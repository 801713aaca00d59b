// JSON text written straight into memory: to a stream a block at a time as
// it fills, or kept in chunks to be written later.  A document of any size
// is made without a second copy of it, and without one allocation per
// value: the pieces are copied straight into place.
#pragma once

#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/TextChunks.hpp"

namespace quorvel::model {

class JsonText {
public:
    explicit JsonText(std::ostream& out) : out_(&out) {}
    explicit JsonText(TextChunks& kept) : kept_(&kept) {}
    ~JsonText() { Flush(); }
    JsonText(const JsonText&) = delete;
    JsonText& operator=(const JsonText&) = delete;

    JsonText& Raw(std::string_view text) {
        at_ = Copy(Room(text.size()), text);
        return *this;
    }
    JsonText& Key(std::string_view key) {
        char* p = Room(key.size() + 6);
        if (!first_) {
            *p++ = ',';
            *p++ = ' ';
        }
        first_ = false;
        *p++ = '"';
        p = Copy(p, key);
        *p++ = '"';
        *p++ = ':';
        *p++ = ' ';
        at_ = p;
        return *this;
    }
    JsonText& String(std::string_view text);
    JsonText& Number(std::int64_t value);
    JsonText& Unsigned(std::uint64_t value);
    JsonText& Bool(bool value) { return Raw(value ? "true" : "false"); }
    JsonText& Null() { return Raw("null"); }
    // Lower-case hex digits in a string.
    JsonText& Hex(const std::vector<std::uint8_t>& bytes);
    JsonText& Open(char bracket) {
        Put(bracket);
        first_ = true;
        return *this;
    }
    JsonText& Close(char bracket) {
        Put(bracket);
        first_ = false;
        return Checked();
    }
    // Before each element of an array.
    JsonText& Element() {
        if (!first_) Raw(", ");
        first_ = false;
        return *this;
    }
    // Elements kept by another JsonText, already separated from one another.
    JsonText& Elements(const TextChunks& kept);

    // Lets what was written go now: to the stream, or into the chunks.
    void Flush();

private:
    static constexpr std::size_t kBlock = std::size_t{1} << 16;

    // An empty view may have no data at all: nothing is copied from it.
    static char* Copy(char* to, std::string_view text) {
        if (!text.empty()) std::memcpy(to, text.data(), text.size());
        return to + text.size();
    }
    void Put(char c) { *Room(1) = c, ++at_; }
    // Where n more bytes go.
    char* Room(std::size_t n) {
        if (static_cast<std::size_t>(end_ - at_) < n) Grow(n);
        return at_;
    }
    void Grow(std::size_t n);
    template <typename Integer>
    JsonText& Decimal(Integer value);
    JsonText& Checked() {
        if (static_cast<std::size_t>(at_ - start_) >= kBlock) Flush();
        return *this;
    }

    std::ostream* out_ = nullptr;
    TextChunks* kept_ = nullptr;
    std::unique_ptr<char[]> buffer_;  // a stream's
    std::size_t bufferSize_ = 0;
    // Written and not yet let go: [start_, at_); room up to end_.
    char* start_ = nullptr;
    char* at_ = nullptr;
    char* end_ = nullptr;
    bool first_ = true;
};

}  // namespace quorvel::model
