// JSON text built in a buffer that leaves a block at a time: to a stream as
// it fills, or into a list of blocks kept to be written later.  A document
// of any size is made without a second copy of it, and without one
// allocation per value: the pieces are copied straight into the buffer.
#pragma once

#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::model {

class JsonText {
public:
    explicit JsonText(std::ostream& out) : out_(&out) {}
    explicit JsonText(std::vector<std::string>& blocks) : blocks_(&blocks) {}
    ~JsonText() { Flush(); }
    JsonText(const JsonText&) = delete;
    JsonText& operator=(const JsonText&) = delete;

    JsonText& Raw(std::string_view text) {
        Copy(Room(text.size()), text);
        used_ += text.size();
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
        used_ = static_cast<std::size_t>(p - buf_.data());
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
    // Elements made elsewhere, already separated from one another.
    JsonText& Elements(const std::vector<std::string>& blocks);

    // Lets the buffer go now.
    void Flush();
    // Forgets the elements written, for a new array.
    void Restart() {
        used_ = 0;
        first_ = true;
    }

private:
    static constexpr std::size_t kBlock = std::size_t{1} << 16;

    // An empty view may have no data at all: nothing is copied from it.
    static char* Copy(char* to, std::string_view text) {
        if (!text.empty()) std::memcpy(to, text.data(), text.size());
        return to + text.size();
    }
    void Put(char c) {
        *Room(1) = c;
        ++used_;
    }
    // Where n more bytes go.
    char* Room(std::size_t n) {
        if (buf_.size() - used_ < n) Grow(n);
        return buf_.data() + used_;
    }
    void Grow(std::size_t n);
    JsonText& Checked() {
        if (used_ >= kBlock) Flush();
        return *this;
    }

    std::ostream* out_ = nullptr;
    std::vector<std::string>* blocks_ = nullptr;
    std::string buf_;  // as long as its room; the first used_ bytes are the text
    std::size_t used_ = 0;
    bool first_ = true;
};

}  // namespace quorvel::model
