// The cursor over a graph stream: UTF-16LE text with binary data blocks in
// it, read through one code unit of look-ahead (CurrentChar).
//
// In step, the look-ahead is the code unit just before the file position.
// StepBack, ReadRaw and SkipRaw move the file position without touching the
// look-ahead (out of step); the next NextChar returns that stale unit, which
// the caller drops, and loads the unit at the file position.
//
// End of file: where fewer than 2 bytes remain at the file position, the new
// look-ahead is "end of file", which no look-ahead test matches, and taking it
// (NextChar while it is the look-ahead) fails.  So a stream may end right after
// its last token, while a read that waits for a terminator fails at the end of
// the file instead of waiting forever.
//
// Text results are 8-bit Windows-1252 text, one character per code unit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/AnalysisError.hpp"
#include "analysis/ByteSource.hpp"
#include "platform/TextConv.hpp"

namespace quorvel {

// A data block's header: its validated byte count and where its bytes start.
struct BlockHeader {
    std::uint32_t count = 0;
    std::uint64_t start = 0;
};

class GraphReader {
public:
    static constexpr int kEndOfFile = -1;
    static constexpr std::size_t kBufferSize = 256 * 1024;

    explicit GraphReader(ByteSource& source);

    // The look-ahead: a code unit, or kEndOfFile.
    int CurrentChar() const { return current_; }
    bool CurrentIs(char16_t unit) const { return current_ == static_cast<int>(unit); }
    bool CurrentIsDigit() const { return current_ >= '0' && current_ <= '9'; }

    std::uint64_t Position() const { return position_; }
    std::uint64_t Size() const { return size_; }
    // Offset of the look-ahead when in step (the file position - 2).
    std::uint64_t Cursor() const { return position_ >= 2 ? position_ - 2 : 0; }

    std::uint16_t NextChar() {
        if (current_ == kEndOfFile) FailEndOfFile();
        const auto taken = static_cast<std::uint16_t>(current_);
        const std::uint64_t inBuffer = position_ - bufferStart_;
        if (position_ >= bufferStart_ && inBuffer + 2 <= bufferLength_) {
            const std::uint8_t* p = buffer_.get() + inBuffer;
            current_ = p[0] | (p[1] << 8);
        } else {
            current_ = LoadUnitAt(position_);
        }
        position_ += 2;
        return taken;
    }
    std::string ReadChars(long long n);
    // ReadChars without the text, for fields that are not shown.
    void SkipChars(int n) {
        for (int i = 0; i < n; ++i) NextChar();
    }
    std::string ReadLine();
    std::string ReadWord();
    std::string ReadQuoted();
    // Everything through the first '}'; the text stays until the next
    // ReadGuidText (graphs hold tens of thousands of GUIDs).
    std::string_view ReadGuidText();
    std::int64_t ReadNumber(int n);
    std::string SkipSeparator();
    void StepBack();
    void SkipBytes(long long n);
    std::vector<std::uint8_t> ReadSizedBlock();
    void ReadRaw(std::uint8_t* buffer, std::size_t n);
    void SkipRaw(std::uint64_t n);

    // Ten digits and the separator after them.  The count is validated: a
    // negative one, or one that runs past the end of the file, fails here,
    // before anything of the block is read.  Afterwards the look-ahead is the
    // block's first code unit.
    BlockHeader ReadBlockHeader();

    // Puts the reader in step with its look-ahead on the code unit at offset:
    // where a NextChar at offset - 2 would leave it.
    void ResyncAt(std::uint64_t offset);

    [[noreturn]] void Fail(StopKind kind, std::string reason) const;
    [[noreturn]] void FailAt(std::uint64_t offset, StopKind kind, std::string reason) const;
    // A text read at offset that had to be a GUID.
    [[noreturn]] void FailNotGuid(std::uint64_t offset, std::string_view ansiText) const;

private:
    int LoadUnitAt(std::uint64_t offset);
    [[noreturn]] void FailEndOfFile() const;
    void AppendNext(std::string& out) { out += AnsiFromCodeUnit(NextChar()); }
    // AppendNext until the look-ahead is `stop`.
    void AppendUntil(std::string& out, char16_t stop);

    ByteSource& source_;
    std::uint64_t size_;
    std::uint64_t position_ = 0;
    // Any unit but end of file: the first NextChar returns it, and it is dropped.
    int current_ = 0;
    // Not zero-filled: only what was read from the file is ever looked at.
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t bufferCapacity_;
    std::uint64_t bufferStart_ = 0;
    std::size_t bufferLength_ = 0;
    std::string guidText_;
};

// The 32-bit count spelled by a data block's ten characters: each character's
// Windows-1252 code minus 48, accumulated as count * 10 + digit with a 32-bit
// signed wrap.  Nothing is validated here.
std::int32_t BlockCountFromText(const std::string& tenChars);

}  // namespace quorvel
