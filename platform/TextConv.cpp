#include "platform/TextConv.hpp"

#include <array>
#include <bit>
#include <cstring>

#include "platform/Hex.hpp"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace quorvel {
namespace {

// Unicode code points of the Windows-1252 bytes 0x80..0x9F; 0 marks the five
// unassigned bytes.
constexpr std::array<std::uint16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88-8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98-9F
};

// cp's UTF-8 bytes at out; returns their end.
char* PutUtf8(char* out, char32_t cp) {
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (cp >> 18));
        *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

}  // namespace

char AnsiFromCodeUnitOutsideAscii(std::uint16_t unit) {
    if ((unit >= 0x01 && unit <= 0x7F) || (unit >= 0xA0 && unit <= 0xFF))
        return static_cast<char>(unit);
    if (unit >= 0x0152) {
        for (std::size_t i = 0; i < kHighControls.size(); ++i)
            if (kHighControls[i] == unit) return static_cast<char>(0x80 + i);
    }
    return kDefaultChar;
}

void AppendUtf8(std::string& out, char32_t cp) {
    char bytes[4];
    out.append(bytes, PutUtf8(bytes, cp));
}

void AppendUtf8FromAnsi(std::string& out, unsigned char byte) {
    if (byte == 0) {
        out += kDefaultChar;
    } else if (byte < 0x80) {
        out += static_cast<char>(byte);
    } else if (byte < 0xA0) {
        const std::uint16_t cp = kHighControls[byte - 0x80u];
        if (cp == 0)
            out += kDefaultChar;
        else
            AppendUtf8(out, cp);
    } else {
        AppendUtf8(out, byte);
    }
}

namespace {
#ifdef __SSE2__
// The offset of the first byte of text that `marked` marks, or text's size.
// marked(sixteen bytes) sets a bit of its mask for each byte it marks; a
// short text is looked at padded with 'a', which it must not mark.
template <typename Marked>
std::size_t FirstMarked(std::string_view text, Marked&& marked) {
    const char* p = text.data();
    const std::size_t n = text.size();
    const auto load = [](const char* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); };
    const auto first = [](int mask) { return static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(mask))); };
    if (n < 16) {
        char padded[16];
        std::memset(padded, 'a', sizeof padded);
        if (n != 0) std::memcpy(padded, p, n);
        const int mask = marked(load(padded));
        return mask != 0 ? first(mask) : n;
    }
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16)
        if (const int mask = marked(load(p + i)); mask != 0) return i + first(mask);
    if (i == n) return n;
    // The last sixteen bytes, of which those before i were seen already.
    const int mask = marked(load(p + n - 16)) >> (i - (n - 16));
    return mask != 0 ? i + first(mask) : n;
}
#endif

// Graph texts are nearly always plain ASCII, which is already UTF-8.
bool PlainAscii(std::string_view ansi) {
#ifdef __SSE2__
    // As signed bytes, those of plain ASCII are above zero.
    return FirstMarked(ansi, [](__m128i v) {
               return _mm_movemask_epi8(_mm_cmpgt_epi8(v, _mm_setzero_si128())) ^ 0xFFFF;
           }) == ansi.size();
#else
    bool plain = true;
    for (char c : ansi) plain &= (c > 0 && static_cast<unsigned char>(c) < 0x80);
    return plain;
#endif
}
}  // namespace

std::string Utf8FromAnsi(std::string&& ansi) {
    if (PlainAscii(ansi)) return std::move(ansi);
    return Utf8FromAnsi(std::string_view(ansi));
}

void AppendUtf8FromAnsi(std::string& out, std::string_view ansi) {
    if (PlainAscii(ansi)) {
        out += ansi;
        return;
    }
    for (char c : ansi) AppendUtf8FromAnsi(out, static_cast<unsigned char>(c));
}

std::string Utf8FromAnsi(std::string_view ansi) {
    if (PlainAscii(ansi)) return std::string(ansi);
    std::string out;
    out.reserve(ansi.size() + ansi.size() / 8);
    for (char c : ansi) AppendUtf8FromAnsi(out, static_cast<unsigned char>(c));
    return out;
}

namespace detail {
char32_t DecodeUtf8At(std::string_view s, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int len = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        ++i;
        return 0xFFFD;
    }
    if (i + static_cast<std::size_t>(len) > s.size()) {
        ++i;
        return 0xFFFD;
    }
    for (int k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return 0xFFFD;
    }
    i += static_cast<std::size_t>(len);
    return cp;
}
}  // namespace detail

std::string AnsiFromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    ForEachCodePoint(utf8, [&](char32_t cp) {
        if (cp >= 0x10000) {  // a surrogate pair: two code units, two defaults
            out += kDefaultChar;
            out += kDefaultChar;
        } else {
            out += AnsiFromCodeUnit(static_cast<std::uint16_t>(cp));
        }
    });
    return out;
}

namespace {
char* PutJsonCodePoint(char* out, char32_t cp) {
    const auto escaped = [&](char c) {
        out[0] = '\\';
        out[1] = c;
        return out + 2;
    };
    switch (cp) {
        case U'"': return escaped('"');
        case U'\\': return escaped('\\');
        case U'\b': return escaped('b');
        case U'\t': return escaped('t');
        case U'\n': return escaped('n');
        case U'\f': return escaped('f');
        case U'\r': return escaped('r');
        default: break;
    }
    if (cp >= 0x20) return PutUtf8(out, cp);
    std::memcpy(out, "\\u00", 4);
    out[4] = kHexDigitsLower[cp >> 4];
    out[5] = kHexDigitsLower[cp & 0xF];
    return out + 6;
}

#ifndef __SSE2__
// Eight bytes at a time: none below 0x20 or above 0x7F, none a quote or a
// backslash.
bool EightPlainJsonBytes(const char* p) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    const auto hasZero = [](std::uint64_t x) { return ((x - kOnes) & ~x & kHighs) != 0; };
    const bool below = ((v - kOnes * 0x20) & ~v & kHighs) != 0;
    return (v & kHighs) == 0 && !below && !hasZero(v ^ (kOnes * '"')) && !hasZero(v ^ (kOnes * '\\'));
}
#endif

}  // namespace

std::size_t PlainJsonLength(std::string_view utf8) {
#ifdef __SSE2__
    // As signed bytes, those above 0x7F are below 0x20 too.
    return FirstMarked(utf8, [](__m128i v) {
        const __m128i special = _mm_or_si128(_mm_cmplt_epi8(v, _mm_set1_epi8(0x20)),
                                             _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('"')),
                                                          _mm_cmpeq_epi8(v, _mm_set1_epi8('\\'))));
        return _mm_movemask_epi8(special);
    });
#else
    std::size_t i = 0;
    while (i + 8 <= utf8.size() && EightPlainJsonBytes(utf8.data() + i)) i += 8;
    for (; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x20 || c >= 0x80 || c == '"' || c == '\\') break;
    }
    return i;
#endif
}

char* WriteJsonString(char* out, std::string_view utf8) {
    *out++ = '"';
    // Runs of printable ASCII go through whole; anything else one code point
    // at a time.
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::size_t plain = PlainJsonLength(utf8.substr(i));
        if (plain != 0) std::memcpy(out, utf8.data() + i, plain);
        out += plain;
        i += plain;
        if (i < utf8.size()) out = PutJsonCodePoint(out, detail::DecodeUtf8At(utf8, i));
    }
    *out++ = '"';
    return out;
}

void AppendJsonString(std::string& out, std::string_view utf8) {
    const std::size_t at = out.size();
    out.resize(at + JsonStringBound(utf8.size()));
    out.resize(static_cast<std::size_t>(WriteJsonString(out.data() + at, utf8) - out.data()));
}

void AppendTerminalText(std::string& out, std::string_view utf8) {
    ForEachCodePoint(utf8, [&](char32_t cp) {
        const bool control = cp < 0x20 || (cp >= 0x7F && cp <= 0x9F);
        AppendUtf8(out, control ? U'?' : cp);
    });
}

std::string TerminalSafe(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    AppendTerminalText(out, utf8);
    return out;
}

void AppendHtmlText(std::string& out, std::string_view utf8) {
    ForEachCodePoint(utf8, [&](char32_t cp) {
        switch (cp) {
            case U'&': out += "&amp;"; break;
            case U'<': out += "&lt;"; break;
            case U'>': out += "&gt;"; break;
            case U'"': out += "&quot;"; break;
            case U'\'': out += "&#39;"; break;
            default: {
                // A lone CR would also break a line inside <pre>.
                const bool control = (cp < 0x20 && cp != U'\t') || (cp >= 0x7F && cp <= 0x9F);
                AppendUtf8(out, control ? U'\uFFFD' : cp);
            }
        }
    });
}

}  // namespace quorvel
