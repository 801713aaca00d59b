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
        // Something to escape: the common writer does it.
        std::string escaped;
        AppendJsonString(escaped, text);
        return Raw(escaped);
    }
    char* p = Room(text.size() + 2);
    *p++ = '"';
    *Copy(p, text) = '"';
    used_ += text.size() + 2;
    return *this;
}

JsonText& JsonText::Number(std::int64_t value) {
    char* p = Room(20);
    used_ = static_cast<std::size_t>(std::to_chars(p, p + 20, value).ptr - buf_.data());
    return *this;
}

JsonText& JsonText::Unsigned(std::uint64_t value) {
    char* p = Room(20);
    used_ = static_cast<std::size_t>(std::to_chars(p, p + 20, value).ptr - buf_.data());
    return *this;
}

JsonText& JsonText::Hex(const std::vector<std::uint8_t>& bytes) {
    char* p = Room(2 * bytes.size() + 2);
    *p++ = '"';
    for (const std::uint8_t b : bytes) {
        *p++ = kHexDigitsLower[b >> 4];
        *p++ = kHexDigitsLower[b & 0xF];
    }
    *p++ = '"';
    used_ = static_cast<std::size_t>(p - buf_.data());
    return Checked();
}

JsonText& JsonText::Elements(const std::vector<std::string>& blocks) {
    bool any = false;
    for (const std::string& block : blocks) {
        if (block.empty()) continue;
        if (!any && !first_) Raw(", ");
        any = true;
        Flush();
        if (out_)
            out_->write(block.data(), static_cast<std::streamsize>(block.size()));
        else
            blocks_->push_back(block);
        first_ = false;
    }
    return *this;
}

void JsonText::Grow(std::size_t n) {
    // A block and some room over, or more for one big value.
    buf_.resize(std::max({used_ + n, kBlock + kBlock / 4, 2 * buf_.size()}));
}

void JsonText::Flush() {
    if (used_ == 0) return;
    if (out_) {
        out_->write(buf_.data(), static_cast<std::streamsize>(used_));
    } else {
        buf_.resize(used_);
        blocks_->push_back(std::move(buf_));
        buf_ = std::string();
    }
    used_ = 0;
}

}  // namespace quorvel::model
