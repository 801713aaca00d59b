#include "catalog/WineRegistry.hpp"

#include <filesystem>
#include <fstream>

#include "platform/Hex.hpp"
#include "platform/Paths.hpp"
#include "platform/TextConv.hpp"

namespace quorvel {

namespace {

constexpr std::string_view kHeader = "WINE REGISTRY Version 2";
// A registry hive is a few megabytes; anything far larger is not one.
constexpr std::uintmax_t kMaxFileBytes = 256u * 1024 * 1024;

class ParseFailure {
public:
    explicit ParseFailure(std::string reason) : reason(std::move(reason)) {}
    std::string reason;
};

char16_t AsciiLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }


void AppendCodePoint(std::u16string& out, char32_t cp) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
        out += static_cast<char16_t>(cp);
    }
}

// The lines of the file, one at a time, with their numbers.
class Lines {
public:
    explicit Lines(std::string_view text) : text_(text) {}

    bool Next(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        const std::size_t end = text_.find('\n', pos_);
        const std::size_t stop = (end == std::string_view::npos) ? text_.size() : end;
        line = text_.substr(pos_, stop - pos_);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        pos_ = (end == std::string_view::npos) ? text_.size() : end + 1;
        ++number_;
        return true;
    }
    std::size_t Number() const { return number_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t number_ = 0;
};

// Reads an escaped string up to its closing character (a quote for names and
// values, ']' for key paths); `s` is left just after the closing character.
std::u16string ReadEscaped(std::string_view& s, char close) {
    std::u16string out;
    std::size_t i = 0;
    while (true) {
        if (i >= s.size()) throw ParseFailure(close == ']' ? "key path without its closing ']'" : "string without its closing quote");
        const char c = s[i];
        if (c == close) break;
        if (c == '\\') {
            if (++i >= s.size()) throw ParseFailure("escape at the end of the line");
            const char e = s[i++];
            switch (e) {
            case '\\': out += u'\\'; break;
            case '"': out += u'"'; break;
            case '[': out += u'['; break;
            case ']': out += u']'; break;
            case 'a': out += u'\a'; break;
            case 'b': out += u'\b'; break;
            case 'e': out += u'\x1B'; break;
            case 'f': out += u'\f'; break;
            case 'n': out += u'\n'; break;
            case 'r': out += u'\r'; break;
            case 't': out += u'\t'; break;
            case 'v': out += u'\v'; break;
            case 'x': {
                unsigned value = 0;
                int digits = 0;
                while (digits < 4 && i < s.size() && HexDigitValue(s[i]) >= 0) {
                    value = value * 16 + static_cast<unsigned>(HexDigitValue(s[i++]));
                    ++digits;
                }
                if (digits == 0) throw ParseFailure("\\x without hexadecimal digits");
                out += static_cast<char16_t>(value);
                break;
            }
            default:
                if (e >= '0' && e <= '7') {  // octal, up to three digits
                    unsigned value = static_cast<unsigned>(e - '0');
                    for (int digits = 1; digits < 3 && i < s.size() && s[i] >= '0' && s[i] <= '7'; ++digits)
                        value = value * 8 + static_cast<unsigned>(s[i++] - '0');
                    out += static_cast<char16_t>(value);
                    break;
                }
                throw ParseFailure(std::string("unknown escape \\") + e);
            }
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += static_cast<char16_t>(byte);
            ++i;
            continue;
        }
        const std::size_t start = i;
        const char32_t cp = detail::DecodeUtf8At(s, i);
        if (cp == 0xFFFD && s.substr(start, 3) != "\xEF\xBF\xBD") throw ParseFailure("text that is not UTF-8");
        AppendCodePoint(out, cp);
    }
    s.remove_prefix(i + 1);
    return out;
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    return s;
}

void ExpectLineEnd(std::string_view rest) {
    if (!TrimLeft(rest).empty()) throw ParseFailure("unexpected text after the value");
}

bool TakePrefix(std::string_view& s, std::string_view prefix) {
    if (s.substr(0, prefix.size()) != prefix) return false;
    s.remove_prefix(prefix.size());
    return true;
}

// "(N):" after "str" or "hex": the value type, in hexadecimal.
std::uint32_t ReadTypeNumber(std::string_view& s) {
    std::uint32_t type = 0;
    std::size_t i = 1;
    if (s.empty() || s[0] != '(') throw ParseFailure("value type without '('");
    for (; i < s.size() && HexDigitValue(s[i]) >= 0; ++i) {
        if (i > 8) throw ParseFailure("value type out of range");
        type = type * 16 + static_cast<std::uint32_t>(HexDigitValue(s[i]));
    }
    if (i == 1 || s.substr(i, 2) != "):") throw ParseFailure("malformed value type");
    s.remove_prefix(i + 2);
    return type;
}

// A comma-separated list of bytes, continued on the next lines while a line
// ends with a backslash.
std::vector<std::uint8_t> ReadHexList(std::string_view s, Lines& lines) {
    std::vector<std::uint8_t> bytes;
    while (true) {
        s = TrimLeft(s);
        if (s.empty()) return bytes;
        if (s == "\\") {
            std::string_view next;
            if (!lines.Next(next)) throw ParseFailure("hexadecimal list continued past the end of the file");
            s = next;
            continue;
        }
        if (s.size() < 2 || HexDigitValue(s[0]) < 0 || HexDigitValue(s[1]) < 0)
            throw ParseFailure("bad byte in a hexadecimal list");
        bytes.push_back(static_cast<std::uint8_t>(HexDigitValue(s[0]) * 16 + HexDigitValue(s[1])));
        s.remove_prefix(2);
        s = TrimLeft(s);
        if (s.empty()) return bytes;
        if (s.front() != ',') throw ParseFailure("bytes of a hexadecimal list not separated by commas");
        s.remove_prefix(1);
    }
}

RegistryValue ReadValue(std::string_view s, Lines& lines) {
    RegistryValue value;
    if (s.front() == '@') {
        s.remove_prefix(1);
    } else {
        s.remove_prefix(1);
        value.name = ReadEscaped(s, '"');
    }
    s = TrimLeft(s);
    if (!TakePrefix(s, "=")) throw ParseFailure("value name without '='");
    s = TrimLeft(s);
    if (TakePrefix(s, "\"")) {
        value.type = kRegSz;
        value.text = ReadEscaped(s, '"');
        ExpectLineEnd(s);
    } else if (TakePrefix(s, "str")) {
        value.type = ReadTypeNumber(s);
        if (!TakePrefix(s, "\"")) throw ParseFailure("str value without its string");
        value.text = ReadEscaped(s, '"');
        ExpectLineEnd(s);
    } else if (TakePrefix(s, "dword:")) {
        std::uint32_t n = 0;
        std::size_t digits = 0;
        for (; digits < s.size() && HexDigitValue(s[digits]) >= 0; ++digits) {
            if (digits == 8) throw ParseFailure("dword of more than 8 digits");
            n = n * 16 + static_cast<std::uint32_t>(HexDigitValue(s[digits]));
        }
        if (digits == 0) throw ParseFailure("dword without digits");
        ExpectLineEnd(s.substr(digits));
        value.type = kRegDword;
        value.data = {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n >> 16),
                      static_cast<std::uint8_t>(n >> 24)};
    } else if (TakePrefix(s, "hex")) {
        value.type = kRegBinary;
        if (!TakePrefix(s, ":")) value.type = ReadTypeNumber(s);
        value.data = ReadHexList(s, lines);
    } else {
        throw ParseFailure("value of an unknown kind");
    }
    return value;
}

RegistryKey ReadKeyLine(std::string_view s) {
    s.remove_prefix(1);
    std::u16string escaped = ReadEscaped(s, ']');
    // The file separates key names with an escaped backslash, which reads as one.
    RegistryKey key;
    key.path = std::move(escaped);
    if (key.path.empty()) throw ParseFailure("empty key path");
    s = TrimLeft(s);
    for (char c : s)
        if (c < '0' || c > '9') throw ParseFailure("unexpected text after the key");
    return key;
}

}  // namespace

const RegistryValue* RegistryKey::Find(std::u16string_view name) const {
    for (const RegistryValue& v : values)
        if (SameRegistryName(v.name, name)) return &v;
    return nullptr;
}

std::optional<std::u16string> RegistryKey::Text(std::u16string_view name) const {
    const RegistryValue* v = Find(name);
    if (!v || (v->type != kRegSz && v->type != kRegExpandSz)) return std::nullopt;
    return v->text;
}

bool SameRegistryName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

RegistryFile ParseWineRegistry(std::string_view text) {
    RegistryFile file;
    Lines lines(text);
    std::string_view line;
    try {
        if (!lines.Next(line) || line != kHeader) {
            file.error = RegistryError{1, "not a Wine registry file (no \"WINE REGISTRY Version 2\" line)"};
            return file;
        }
        bool inKey = false;
        while (lines.Next(line)) {
            const std::string_view s = TrimLeft(line);
            if (s.empty() || s.front() == ';' || s.front() == '#') continue;
            try {
                if (s.front() == '[') {
                    file.keys.push_back(ReadKeyLine(s));
                    inKey = true;
                } else if (s.front() == '"' || s.front() == '@') {
                    if (!inKey) throw ParseFailure("value before any key");
                    file.keys.back().values.push_back(ReadValue(s, lines));
                } else {
                    throw ParseFailure("not registry text");
                }
            } catch (const ParseFailure& failure) {
                // The line being read: a continued value's last line, or the
                // file's last line when a continuation runs past its end.
                file.error = RegistryError{lines.Number(), failure.reason};
                return file;
            }
        }
    } catch (const std::bad_alloc&) {
        file.error = RegistryError{lines.Number(), "out of memory"};
    }
    return file;
}

RegistryFile LoadWineRegistry(const std::filesystem::path& filePath) {
    const std::string path = PathText(filePath);
    RegistryFile file;
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(filePath, ec);
    if (ec) {
        file.error = RegistryError{0, "cannot read " + path + ": " + ec.message()};
        return file;
    }
    if (size > kMaxFileBytes) {
        file.error = RegistryError{0, path + " is too large for a registry file"};
        return file;
    }
    std::ifstream in(filePath, std::ios::binary);
    std::string text(static_cast<std::size_t>(size), '\0');
    if (!in || !in.read(text.data(), static_cast<std::streamsize>(text.size()))) {
        file.error = RegistryError{0, "cannot read " + path};
        return file;
    }
    return ParseWineRegistry(text);
}

}  // namespace quorvel
