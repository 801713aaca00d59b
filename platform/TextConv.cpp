#include "platform/TextConv.hpp"

#include <array>
#include <bit>
#include <cstring>

#include "platform/Hex.hpp"


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
// Graph texts are nearly always plain ASCII, which is already UTF-8.
bool PlainAscii(std::string_view ansi) { return PlainAsciiLength(ansi) == ansi.size(); }
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


}  // namespace

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
