#include "analysis/GraphReader.hpp"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/TextScan.hpp"

namespace quorvel {

// The window never needs to be larger than the file itself.
GraphReader::GraphReader(ByteSource& source)
    : source_(source),
      size_(source.Size()),
      buffer_(std::make_unique_for_overwrite<std::uint8_t[]>(
          static_cast<std::size_t>(std::clamp<std::uint64_t>(size_, 2, kBufferSize)))),
      bufferCapacity_(static_cast<std::size_t>(std::clamp<std::uint64_t>(size_, 2, kBufferSize))) {}

void GraphReader::Fail(StopKind kind, std::string reason) const {
    throw AnalysisError(Cursor(), kind, std::move(reason));
}

void GraphReader::FailAt(std::uint64_t offset, StopKind kind, std::string reason) const {
    throw AnalysisError(offset, kind, std::move(reason));
}

void GraphReader::FailNotGuid(std::uint64_t offset, std::string_view ansiText) const {
    FailAt(offset, StopKind::Guid, "not a GUID: \"" + Utf8FromAnsi(ansiText) + "\"");
}

void GraphReader::FailEndOfFile() const {
    FailAt(std::min(Cursor(), size_), StopKind::EndOfFile, "unexpected end of file");
}

int GraphReader::LoadUnitAt(std::uint64_t offset) {
    if (offset > size_ || size_ - offset < 2) return kEndOfFile;
    if (offset < bufferStart_ || offset - bufferStart_ + 2 > bufferLength_) {
        bufferStart_ = offset;
        bufferLength_ = source_.ReadAt(offset, buffer_.get(), bufferCapacity_);
        if (bufferLength_ < 2) FailAt(offset, StopKind::Read, "read error: the file is shorter than its size");
    }
    const std::uint8_t* p = buffer_.get() + (offset - bufferStart_);
    return p[0] | (p[1] << 8);
}

void GraphReader::ResyncAt(std::uint64_t offset) {
    current_ = LoadUnitAt(offset);
    position_ = offset + 2;
}

std::string GraphReader::ReadChars(long long n) {
    std::string out;
    if (n <= 0) return out;
    out.reserve(static_cast<std::size_t>(n));
    for (long long i = 0; i < n; ++i) AppendNext(out);
    return out;
}

namespace {

// Each unit of [from, to) as its Windows-1252 character; runs of plain
// ASCII many at a time.
void AppendUnits(std::string& out, const std::uint8_t* window, std::size_t from, std::size_t to) {
    const std::size_t taken = out.size();
    out.resize(taken + (to - from) / 2);
    char* dst = out.data() + taken;
    std::size_t k = from;
    while (k < to) {
        const std::size_t plain = CopyAsciiUtf16(window, k, to, dst);
        dst += (plain - k) / 2;
        k = plain;
        if (k < to) {
            *dst++ = AnsiFromCodeUnit(static_cast<std::uint16_t>(window[k] | (window[k + 1] << 8)));
            k += 2;
        }
    }
}

}  // namespace

void GraphReader::AppendUntil(std::string& out, char16_t stop) {
    while (current_ != static_cast<int>(stop)) {
        AppendNext(out);
        if (current_ == static_cast<int>(stop) || current_ == kEndOfFile) continue;
        // The look-ahead and the units after it, straight from the window
        // while it holds them, each taken as NextChar would take it.
        const std::uint64_t at = position_ - 2;  // the look-ahead's offset
        if (at < bufferStart_ || at - bufferStart_ + 2 > bufferLength_) continue;
        const std::size_t first = static_cast<std::size_t>(at - bufferStart_);
        const std::size_t end = FindUtf16Unit(buffer_.get(), first + 2, bufferLength_, stop);
        AppendUnits(out, buffer_.get(), first, end);
        // The new look-ahead: the stop, or the first unit past the window.
        position_ = bufferStart_ + end;
        current_ = LoadUnitAt(position_);
        position_ += 2;
    }
}

std::string GraphReader::ReadLine() {
    std::string out;
    AppendUntil(out, u'\r');
    NextChar();  // the CR
    NextChar();  // the LF, not tested
    return out;
}

std::string GraphReader::ReadWord() {
    std::string out;
    AppendUntil(out, u' ');
    return out;
}

std::string GraphReader::ReadQuoted() {
    if (current_ == u'"') NextChar();
    // The result begins with a quote even when none was read.
    std::string out = "\"";
    AppendUntil(out, u'"');
    AppendNext(out);  // the closing quote
    return out;
}

std::string_view GraphReader::ReadGuidText() {
    guidText_.clear();
    AppendUntil(guidText_, u'}');
    AppendNext(guidText_);  // the '}'
    return guidText_;
}

std::int64_t GraphReader::ReadNumber(int n) {
    // Not validated: the low byte of each unit minus '0', as the saver wrote it.
    std::uint64_t value = 0;
    for (int i = 0; i < n; ++i) {
        const int digit = (NextChar() & 0xFF) - 48;
        value = value * 10u + static_cast<std::uint64_t>(static_cast<std::int64_t>(digit));
    }
    return static_cast<std::int64_t>(value);
}

std::string GraphReader::SkipSeparator() {
    NextChar();
    return "  ";
}

void GraphReader::StepBack() {
    if (position_ < 2) Fail(StopKind::Other, "step back before the start of the file");
    position_ -= 2;
}

void GraphReader::SkipBytes(long long n) {
    if (n < 2) return;
    SkipRaw(static_cast<std::uint64_t>(n - 2));
    NextChar();
}

void GraphReader::ReadRaw(std::uint8_t* out, std::size_t n) {
    if (position_ > size_ || size_ - position_ < n) FailAt(position_, StopKind::EndOfFile, "data runs past the end of the file");
    std::size_t done = 0;
    while (done < n) {
        const std::uint64_t at = position_ + done;
        if (at >= bufferStart_ && at < bufferStart_ + bufferLength_) {
            const std::size_t from = static_cast<std::size_t>(at - bufferStart_);
            const std::size_t count = std::min(n - done, bufferLength_ - from);
            std::memcpy(out + done, buffer_.get() + from, count);
            done += count;
        } else if (n - done >= bufferCapacity_) {
            const std::size_t got = source_.ReadAt(at, out + done, n - done);
            if (got != n - done) FailAt(at, StopKind::Read, "read error: the file is shorter than its size");
            done = n;
        } else {
            bufferStart_ = at;
            bufferLength_ = source_.ReadAt(at, buffer_.get(), bufferCapacity_);
            if (bufferLength_ == 0) FailAt(at, StopKind::Read, "read error: the file is shorter than its size");
        }
    }
    position_ += n;
}

void GraphReader::SkipRaw(std::uint64_t n) {
    // Past the end is allowed: the next NextChar then loads end of file.
    position_ = (n > size_ + 2 - std::min(position_, size_ + 2)) ? size_ + 2 : position_ + n;
}

BlockHeader GraphReader::ReadBlockHeader() {
    const std::string digits = ReadChars(10);
    NextChar();  // the separator
    const std::int32_t count = BlockCountFromText(digits);
    const std::uint64_t start = Cursor();
    if (count < 0) FailAt(start, StopKind::Count, "negative data block size " + std::to_string(count));
    if (start > size_ || size_ - start < static_cast<std::uint64_t>(count))
        FailAt(start, StopKind::EndOfFile, "data block of " + std::to_string(count) + " bytes runs past the end of the file");
    return BlockHeader{static_cast<std::uint32_t>(count), start};
}

std::vector<std::uint8_t> GraphReader::ReadSizedBlock() {
    const BlockHeader block = ReadBlockHeader();
    StepBack();  // the file position is now the block's first byte
    std::vector<std::uint8_t> bytes(block.count);
    ReadRaw(bytes.data(), bytes.size());
    NextChar();  // drops the stale look-ahead, loads the unit after the block
    NextChar();  // passes over that unit
    return bytes;
}

std::int32_t BlockCountFromText(const std::string& tenChars) {
    std::uint32_t count = 0;
    for (const char c : tenChars) {
        const int digit = static_cast<unsigned char>(c) - 48;
        count = count * 10u + static_cast<std::uint32_t>(digit);
    }
    return static_cast<std::int32_t>(count);
}

}  // namespace quorvel
