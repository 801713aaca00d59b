#include "analysis/MediaTypeReaders.hpp"

#include <vector>

#include "analysis/AnalysisState.hpp"
#include "mediatypes/FormatDecoders.hpp"
#include "mediatypes/MediaTypeNames.hpp"
#include "platform/TextConv.hpp"
#include "resources/Strings.hpp"

namespace quorvel {
namespace {

constexpr std::string_view kTypeIndent = "     ";

// A flag counts as set when its low byte is above '0'.
bool FlagSet(std::uint16_t unit) { return (unit & 0xFF) > 0x30; }

}  // namespace

std::string DescribeMajorType(GraphReader& r) {
    std::string text;
    const Guid major = ReadGuidValue(r, text);
    std::string line(kTypeIndent);
    if (const auto label = MajorTypeLabel(major))
        line += *label;
    else
        line += Utf8FromAnsi(text);
    r.NextChar();  // the separator
    return line;
}

std::string DescribeSubtype(GraphReader& r) {
    const std::uint64_t at = r.Cursor();
    const std::string text = r.ReadGuidText();
    std::string line(kTypeIndent);
    try {
        line += SubtypeLabel(text);
    } catch (const GuidSyntaxError&) {
        r.FailNotGuid(at, text);
    }
    line += " - ";
    r.SkipSeparator();
    if (FlagSet(r.NextChar())) line += std::string(Res(Str::FixedSizeSamples)) + " - ";
    r.NextChar();
    if (FlagSet(r.NextChar())) line += std::string(Res(Str::TemporalCompression)) + " - ";
    r.NextChar();
    line += "(" + std::to_string(r.ReadNumber(10)) + ")";
    r.NextChar();
    return line;
}

std::string DescribeFormat(GraphReader& r) {
    std::string text;
    const FormatTypeInfo type = LookupFormatType(ReadGuidValue(r, text));
    std::string line(kTypeIndent);
    line += type.name;
    line += r.SkipSeparator();

    const BlockHeader block = r.ReadBlockHeader();
    r.StepBack();  // the file position is now the block's first byte
    std::uint64_t rest = block.count;
    if (type.decoder != FormatDecoder::None) {
        if (rest >= type.recordSize) {
            std::vector<std::uint8_t> record(type.recordSize);
            r.ReadRaw(record.data(), record.size());
            line += DecodeFormatRecord(type.decoder, record);
            rest -= type.recordSize;
        }
        if (rest > 0) line += "<" + DataNotice(rest) + " >";
    }
    r.SkipRaw(rest);
    r.NextChar();  // drops the stale look-ahead, loads the unit after the block
    return line;
}

}  // namespace quorvel
