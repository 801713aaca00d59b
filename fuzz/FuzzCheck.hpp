// Helpers shared by the fuzz targets: a check that aborts (so that libFuzzer
// and the replay runner both see a crash), an output stream that only counts,
// and our own reading of UTF-8, kept apart from the product's decoder so that
// a fault in one is not hidden by the same fault in the other.  Writing code
// points back as UTF-8 is left to the platform's AppendUtf8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

#include "platform/TextConv.hpp"

namespace quorvel::fuzz {

[[noreturn]] inline void CheckFailed(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: invariant violated: %s\n", file, line, what);
    std::fflush(stderr);
    std::abort();
}

#define QUORVEL_FUZZ_CHECK(cond) \
    ((cond) ? static_cast<void>(0) : ::quorvel::fuzz::CheckFailed(#cond, __FILE__, __LINE__))

// Discards what is written and counts the bytes.
class CountingBuf final : public std::streambuf {
public:
    std::uint64_t count = 0;

protected:
    int overflow(int c) override {
        if (c != traits_type::eof()) ++count;
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char*, std::streamsize n) override {
        count += static_cast<std::uint64_t>(n);
        return n;
    }
};

class CountingStream final : public std::ostream {
public:
    CountingStream() : std::ostream(&buf_) {}
    std::uint64_t count() const { return buf_.count; }

private:
    CountingBuf buf_;
};

// One code point of s at i, or U+FFFD for a byte that does not start a
// well-formed sequence (then only that byte is consumed): overlong forms,
// surrogates, values past U+10FFFF, stray continuation bytes, cut sequences.
inline char32_t NextCodePoint(std::string_view s, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(s[i]);
    std::size_t need;
    char32_t cp;
    if (lead < 0x80) {
        ++i;
        return lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        need = 1, cp = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 2, cp = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 3, cp = lead & 0x07u;
    } else {
        ++i;
        return 0xFFFD;
    }
    if (s.size() - i <= need) {
        ++i;
        return 0xFFFD;
    }
    for (std::size_t k = 1; k <= need; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0u) != 0x80u) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3Fu);
    }
    const char32_t least = need == 1 ? 0x80 : need == 2 ? 0x800 : 0x10000;
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return 0xFFFD;
    }
    i += need + 1;
    return cp;
}

// The text with every malformed byte replaced by U+FFFD, each code point then
// passed through map (identity by default).
template <typename Map>
std::string Repaired(std::string_view s, Map&& map) {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) AppendUtf8(out, map(NextCodePoint(s, i)));
    return out;
}
inline std::string Repaired(std::string_view s) {
    return Repaired(s, [](char32_t cp) { return cp; });
}

inline bool IsWellFormedUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const std::size_t at = i;
        if (NextCodePoint(s, i) == 0xFFFD) {
            // U+FFFD written out properly is fine; a replaced byte is not.
            if (i - at != 3 || s.substr(at, 3) != "\xEF\xBF\xBD") return false;
        }
    }
    return true;
}

}  // namespace quorvel::fuzz
