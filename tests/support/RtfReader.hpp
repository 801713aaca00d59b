// Reads back the paragraphs of an RTF document: the documents the report
// writer produces and those a rich text control saves.  Only what the report
// uses is interpreted (text, colour, bold); every other control word is
// ignored, and the font table, the other known destinations and every \*
// group are skipped.  Malformed input never fails: whatever can be read is
// returned.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::test {

struct RtfLine {
    std::string text;         // UTF-8
    std::uint32_t color = 0;  // 0xRRGGBB; the automatic colour reads as black
    bool bold = false;

    bool operator==(const RtfLine&) const = default;
};

std::ostream& operator<<(std::ostream& out, const RtfLine& line);

// One line per \par, \line, \sect or \row, plus a last line when text follows
// the last break.  A line takes the colour and weight of its first character,
// or those in force at its break when it is empty.  \'xx and raw bytes above
// 0x7F are read as Windows-1252; \uN as UTF-16 code units, the pairs joined,
// each skipping the \ucN characters that follow it.
std::vector<RtfLine> ReadRtfLines(std::string_view rtf);

}  // namespace quorvel::test
