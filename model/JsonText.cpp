#include "model/JsonText.hpp"

#include <charconv>
#include <ostream>

#include "platform/Hex.hpp"
#include "platform/TextConv.hpp"

namespace quorvel::model {

JsonText& JsonText::String(std::string_view text) {
    AppendJsonString(buf_, text);
    return *this;
}

JsonText& JsonText::Number(std::int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    buf_.append(digits, end);
    return *this;
}

JsonText& JsonText::Unsigned(std::uint64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    buf_.append(digits, end);
    return *this;
}

JsonText& JsonText::Hex(const std::vector<std::uint8_t>& bytes) {
    buf_ += '"';
    for (const std::uint8_t b : bytes) AppendHex(buf_, b, 2, /*lowerCase=*/true);
    buf_ += '"';
    return Checked();
}

JsonText& JsonText::Elements(const std::vector<std::string>& blocks) {
    bool any = false;
    for (const std::string& block : blocks) {
        if (block.empty()) continue;
        if (!any && !first_) buf_ += ", ";
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

void JsonText::Flush() {
    if (buf_.empty()) return;
    if (out_) {
        out_->write(buf_.data(), static_cast<std::streamsize>(buf_.size()));
        buf_.clear();
    } else {
        blocks_->push_back(std::move(buf_));
        buf_ = std::string();
        buf_.reserve(kBlock + kBlock / 4);
    }
}

}  // namespace quorvel::model
