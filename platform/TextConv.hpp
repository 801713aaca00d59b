// Text conversion between the graph stream's UTF-16 code units, the 8-bit
// Windows-1252 text that the report is built from ("ANSI text"), and UTF-8,
// in which report lines are held.
//
// Every UTF-16 code unit is converted on its own: pairs are never combined, so
// each half of a surrogate pair becomes the default character '?'.
#pragma once

#include "platform/TextScan.hpp"

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel {

inline constexpr char kDefaultChar = '?';

// One UTF-16 code unit to its Windows-1252 byte, or '?' when it has none
// (U+0000, U+0080..U+009F, surrogates, and everything outside the code page).
char AnsiFromCodeUnitOutsideAscii(std::uint16_t unit);
inline char AnsiFromCodeUnit(std::uint16_t unit) {
    if (unit >= 0x01 && unit <= 0x7F) return static_cast<char>(unit);
    return AnsiFromCodeUnitOutsideAscii(unit);
}

// One Windows-1252 byte appended as UTF-8.  0x00 and the five unassigned
// bytes (0x81 0x8D 0x8F 0x90 0x9D) become '?'.
void AppendUtf8FromAnsi(std::string& out, unsigned char byte);
std::string Utf8FromAnsi(std::string_view ansi);
void AppendUtf8FromAnsi(std::string& out, std::string_view ansi);
// The same, taking the text: plain ASCII (nearly every graph text) is kept
// as it is, without a copy.
std::string Utf8FromAnsi(std::string&& ansi);
inline std::string Utf8FromAnsi(const char* ansi) { return Utf8FromAnsi(std::string_view(ansi)); }

// Decodes UTF-8 into UTF-16 code units and converts each one through
// AnsiFromCodeUnit.  Malformed UTF-8 sequences become '?'.
std::string AnsiFromUtf8(std::string_view utf8);

// Calls fn(codePoint) for each code point of a UTF-8 text; each malformed
// byte is passed as U+FFFD.
template <typename Fn>
void ForEachCodePoint(std::string_view utf8, Fn&& fn);

namespace detail {
// Returns the code point at s[i] and advances i; U+FFFD for a malformed byte.
char32_t DecodeUtf8At(std::string_view s, std::size_t& i);
}

template <typename Fn>
void ForEachCodePoint(std::string_view utf8, Fn&& fn) {
    std::size_t i = 0;
    while (i < utf8.size()) fn(detail::DecodeUtf8At(utf8, i));
}

void AppendUtf8(std::string& out, char32_t cp);

// Appends text as a JSON string, quotes included: malformed UTF-8 bytes
// become U+FFFD; the quote, the backslash and the control characters are
// escaped (\b \t \n \f \r, the others as \u00xx); the rest stays as it is.
void AppendJsonString(std::string& out, std::string_view utf8);
// The same written at out, which has room for JsonStringBound(utf8.size())
// bytes; returns the end of what was written.
char* WriteJsonString(char* out, std::string_view utf8);
// Six bytes a byte at most (a control character as \u00xx), and the quotes.
constexpr std::size_t JsonStringBound(std::size_t utf8Bytes) { return 6 * utf8Bytes + 2; }

// Appends text for a terminal: the control characters (C0, DEL and C1),
// with which a file's text could move the cursor, retitle the window or
// clear the screen, as '?'; malformed bytes as U+FFFD.
void AppendTerminalText(std::string& out, std::string_view utf8);
std::string TerminalSafe(std::string_view utf8);

// Appends text for HTML, XML or Graphviz's HTML-like labels: & < > " ' as
// entities; control characters (but the tab), which such text may not hold,
// and malformed bytes as U+FFFD.
void AppendHtmlText(std::string& out, std::string_view utf8);

}  // namespace quorvel
