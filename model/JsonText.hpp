// JSON text built in a buffer that leaves a block at a time: to a stream as
// it fills, or into a list of blocks kept to be written later.  A document
// of any size is made without a second copy of it, and without one
// allocation per value.
#pragma once

#include <cstdint>
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
        buf_ += text;
        return *this;
    }
    JsonText& Key(std::string_view key) {
        if (!first_) buf_ += ", ";
        first_ = false;
        buf_ += '"';
        buf_ += key;
        buf_ += "\": ";
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
        buf_ += bracket;
        first_ = true;
        return *this;
    }
    JsonText& Close(char bracket) {
        buf_ += bracket;
        first_ = false;
        return Checked();
    }
    // Before each element of an array.
    JsonText& Element() {
        if (!first_) buf_ += ", ";
        first_ = false;
        return *this;
    }
    // Elements made elsewhere, already separated from one another.
    JsonText& Elements(const std::vector<std::string>& blocks);

    // Lets the buffer go now.
    void Flush();
    // Forgets the elements written, for a new array.
    void Restart() {
        buf_.clear();
        first_ = true;
    }

private:
    JsonText& Checked() {
        if (buf_.size() >= kBlock) Flush();
        return *this;
    }
    static constexpr std::size_t kBlock = std::size_t{1} << 16;

    std::ostream* out_ = nullptr;
    std::vector<std::string>* blocks_ = nullptr;
    std::string buf_;
    bool first_ = true;
};

}  // namespace quorvel::model
