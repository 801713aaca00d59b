#include "tests/support/RtfReader.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <ostream>

#include "platform/TextConv.hpp"

namespace quorvel::test {
namespace {

constexpr std::string_view kSkippedDestinations[] = {
    "annotation", "atnauthor", "atnid",     "bkmkend",    "bkmkstart", "colorschememapping",
    "comment",    "datastore", "filetbl",   "fldinst",    "fonttbl",   "footer",
    "footerf",    "footerl",   "footerr",   "footnote",   "generator", "header",
    "headerf",    "headerl",   "headerr",   "info",       "latentstyles", "listoverridetable",
    "listtable",  "listtext",  "nonshppict", "object",    "pict",      "pntext",
    "pntxta",     "pntxtb",    "private",   "revtbl",     "rsidtbl",   "shp",
    "stylesheet", "themedata", "userprops", "xmlnstbl",
};

struct NamedChar {
    std::string_view word;
    char32_t cp;
};

constexpr NamedChar kNamedChars[] = {
    {"tab", U'\t'},       {"cell", U'\t'},      {"emdash", 0x2014},    {"endash", 0x2013},
    {"lquote", 0x2018},   {"rquote", 0x2019},   {"ldblquote", 0x201C}, {"rdblquote", 0x201D},
    {"bullet", 0x2022},   {"emspace", 0x2003},  {"enspace", 0x2002},   {"qmspace", 0x2005},
    {"zwj", 0x200D},      {"zwnj", 0x200C},     {"ltrmark", 0x200E},   {"rtlmark", 0x200F},
};

constexpr std::string_view kBreakWords[] = {"par", "line", "sect", "row"};

template <std::size_t N>
bool IsOneOf(std::string_view word, const std::string_view (&words)[N]) {
    return std::find(std::begin(words), std::end(words), word) != std::end(words);
}

// Windows-1252 byte to code point; the five unassigned bytes map to the C1
// controls of the same value, as Windows does.
char32_t CodePointFromAnsi(unsigned char byte) {
    static const std::array<char32_t, 256> table = [] {
        std::array<char32_t, 256> t{};
        for (unsigned b = 0; b < 256; ++b) {
            if (b < 0x80) {
                t[b] = b;
                continue;
            }
            std::string utf8;
            AppendUtf8FromAnsi(utf8, static_cast<unsigned char>(b));
            std::size_t i = 0;
            t[b] = utf8 == "?" ? b : detail::DecodeUtf8At(utf8, i);
        }
        return t;
    }();
    return table[byte];
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

enum class Destination { Text, ColorTable, Skip };

struct GroupState {
    std::int64_t colorIndex = 0;
    bool bold = false;
    std::int64_t unicodeSkip = 1;  // \ucN
    Destination destination = Destination::Text;
};

struct ControlWord {
    std::string_view name;
    bool hasParam = false;
    std::int64_t param = 0;
};

class RtfParser {
public:
    explicit RtfParser(std::string_view rtf) : in_(rtf) { state_.destination = Destination::Skip; }

    std::vector<RtfLine> Run() {
        while (pos_ < in_.size()) Step();
        FlushSurrogate();
        if (!text_.empty()) EndLine();
        return std::move(lines_);
    }

private:
    void Step() {
        const char c = in_[pos_++];
        switch (c) {
            case '{': OpenGroup(); break;
            case '}': CloseGroup(); break;
            case '\\': ReadControl(); break;
            case '\r':
            case '\n': break;  // line ends in RTF source carry no text
            default: RawByte(static_cast<unsigned char>(c)); break;
        }
    }

    void OpenGroup() {
        skipChars_ = 0;
        stack_.push_back(state_);
        if (stack_.size() == 1) state_ = GroupState{};  // the document itself
    }

    void CloseGroup() {
        skipChars_ = 0;
        ignorableNext_ = false;
        if (stack_.empty()) return;  // one '}' too many
        state_ = stack_.back();
        stack_.pop_back();
    }

    void ReadControl() {
        if (pos_ >= in_.size()) return;
        const char c = in_[pos_];
        if (IsLetter(c)) {
            ReadControlWord();
            return;
        }
        ++pos_;
        switch (c) {
            case '\'': ReadHexByte(); break;
            case '\\':
            case '{':
            case '}': Char(static_cast<unsigned char>(c)); break;
            case '~': Char(0x00A0); break;
            case '_': Char(0x2011); break;
            case '*': ignorableNext_ = true; break;
            case '\r':
            case '\n': Word({"par"}); break;
            default: Symbol(); break;  // \- \| \: and unknown symbols
        }
    }

    void ReadControlWord() {
        const std::size_t start = pos_;
        while (pos_ < in_.size() && IsLetter(in_[pos_])) ++pos_;
        ControlWord word{in_.substr(start, pos_ - start)};
        bool negative = false;
        if (pos_ + 1 < in_.size() && in_[pos_] == '-' && IsDigit(in_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        while (pos_ < in_.size() && IsDigit(in_[pos_])) {
            word.hasParam = true;
            word.param = std::min<std::int64_t>(word.param * 10 + (in_[pos_++] - '0'), 1'000'000'000'000);
        }
        if (negative) word.param = -word.param;
        if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
        if (word.name == "bin") {
            SkipBinary(word.param);
            return;
        }
        if (ignorableNext_) {
            ignorableNext_ = false;
            state_.destination = Destination::Skip;
            return;
        }
        Word(word);
    }

    void ReadHexByte() {
        int value = 0;
        for (int k = 0; k < 2; ++k) {
            const int digit = pos_ < in_.size() ? HexValue(in_[pos_]) : -1;
            if (digit < 0) break;
            value = value * 16 + digit;
            ++pos_;
        }
        Char(CodePointFromAnsi(static_cast<unsigned char>(value)));
    }

    void SkipBinary(std::int64_t count) {
        if (count <= 0) return;
        pos_ += static_cast<std::size_t>(std::min<std::int64_t>(count, static_cast<std::int64_t>(in_.size() - pos_)));
    }

    // Counts towards the characters skipped after \uN; returns true if skipped.
    bool SkipsFallback() {
        if (skipChars_ <= 0) return false;
        --skipChars_;
        return true;
    }

    void RawByte(unsigned char byte) {
        if (byte < 0x20 && byte != '\t') return;
        Char(CodePointFromAnsi(byte));
    }

    void Symbol() { SkipsFallback(); }

    void Char(char32_t cp) {
        if (SkipsFallback()) return;
        if (state_.destination == Destination::ColorTable) {
            if (cp == U';') EndColor();
        } else if (state_.destination == Destination::Text) {
            FlushSurrogate();
            Text(cp);
        }
    }

    void Word(const ControlWord& word) {
        if (SkipsFallback()) return;
        if (state_.destination == Destination::Skip) return;
        if (IsOneOf(word.name, kSkippedDestinations)) {
            state_.destination = Destination::Skip;
        } else if (word.name == "colortbl") {
            state_.destination = Destination::ColorTable;
            colors_.clear();
        } else if (state_.destination == Destination::ColorTable) {
            ColorComponent(word);
        } else {
            TextWord(word);
        }
    }

    void TextWord(const ControlWord& word) {
        const std::string_view name = word.name;
        if (IsOneOf(name, kBreakWords)) {
            FlushSurrogate();
            EndLine();
        } else if (name == "cf") {
            state_.colorIndex = word.param;
        } else if (name == "b") {
            state_.bold = !word.hasParam || word.param != 0;
        } else if (name == "plain") {
            state_.colorIndex = 0;
            state_.bold = false;
        } else if (name == "uc") {
            state_.unicodeSkip = std::max<std::int64_t>(word.param, 0);
        } else if (name == "u") {
            UnicodeUnit(static_cast<std::uint16_t>(word.param & 0xFFFF));
            skipChars_ = state_.unicodeSkip;
        } else {
            for (const NamedChar& named : kNamedChars) {
                if (name != named.word) continue;
                FlushSurrogate();
                Text(named.cp);
                return;
            }
        }
    }

    void UnicodeUnit(std::uint16_t unit) {
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            FlushSurrogate();
            highSurrogate_ = unit;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            if (highSurrogate_) {
                Text(0x10000 + ((static_cast<char32_t>(*highSurrogate_) - 0xD800) << 10) + (unit - 0xDC00u));
                highSurrogate_.reset();
            } else {
                Text(0xFFFD);
            }
        } else {
            FlushSurrogate();
            Text(unit);
        }
    }

    void FlushSurrogate() {
        if (!highSurrogate_) return;
        highSurrogate_.reset();
        Text(0xFFFD);
    }

    void ColorComponent(const ControlWord& word) {
        const auto value = static_cast<std::uint32_t>(std::clamp<std::int64_t>(word.param, 0, 255));
        if (word.name == "red") pending_ = (pending_.value_or(0) & 0x00FFFF) | (value << 16);
        if (word.name == "green") pending_ = (pending_.value_or(0) & 0xFF00FF) | (value << 8);
        if (word.name == "blue") pending_ = (pending_.value_or(0) & 0xFFFF00) | value;
    }

    void EndColor() {
        colors_.push_back(pending_);
        pending_.reset();
    }

    RtfLine Attributes() const {
        RtfLine line;
        const std::int64_t i = state_.colorIndex;
        if (i >= 0 && static_cast<std::uint64_t>(i) < colors_.size()) line.color = colors_[i].value_or(0);
        line.bold = state_.bold;
        return line;
    }

    void Text(char32_t cp) {
        if (!lineStarted_) {
            lineAttributes_ = Attributes();
            lineStarted_ = true;
        }
        AppendUtf8(text_, cp);
    }

    void EndLine() {
        RtfLine line = lineStarted_ ? lineAttributes_ : Attributes();
        line.text = std::move(text_);
        lines_.push_back(std::move(line));
        text_.clear();
        lineStarted_ = false;
    }

    std::string_view in_;
    std::size_t pos_ = 0;
    GroupState state_;
    std::vector<GroupState> stack_;
    std::int64_t skipChars_ = 0;
    bool ignorableNext_ = false;
    std::optional<std::uint16_t> highSurrogate_;

    std::vector<std::optional<std::uint32_t>> colors_;  // nullopt: automatic
    std::optional<std::uint32_t> pending_;

    std::string text_;
    RtfLine lineAttributes_;
    bool lineStarted_ = false;
    std::vector<RtfLine> lines_;
};

}  // namespace

std::ostream& operator<<(std::ostream& out, const RtfLine& line) {
    char hex[8];
    static constexpr char kDigits[] = "0123456789ABCDEF";
    hex[0] = '#';
    for (int k = 0; k < 6; ++k) hex[1 + k] = kDigits[(line.color >> (20 - 4 * k)) & 0xF];
    hex[7] = '\0';
    return out << '{' << hex << (line.bold ? " bold" : "") << " \"" << line.text << "\"}";
}

std::vector<RtfLine> ReadRtfLines(std::string_view rtf) { return RtfParser(rtf).Run(); }

}  // namespace quorvel::test
