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

std::string DescribeMajorType(GraphReader& r, model::MediaType& type) {
    std::string text;
    const Guid major = ReadGuidValue(r, text);
    model::NamedGuid named{Utf8FromAnsi(std::move(text)), std::nullopt};
    std::string line(kTypeIndent);
    if (const auto label = MajorTypeLabel(major)) {
        named.name = std::string(*label);
        line += *label;
    } else {
        line += named.guid;
    }
    type.majorType = std::move(named);
    r.NextChar();  // the separator
    return line;
}

std::string DescribeSubtype(GraphReader& r, model::MediaType& type) {
    const std::uint64_t at = r.Cursor();
    const std::string text = r.ReadGuidText();
    model::NamedGuid named{Utf8FromAnsi(text), std::nullopt};
    std::string line(kTypeIndent);
    try {
        std::string label = SubtypeLabel(text);
        line += label;
        if (label != named.guid) named.name = std::move(label);
    } catch (const GuidSyntaxError&) {
        r.FailNotGuid(at, text);
    }
    type.subtype = std::move(named);
    line += " - ";
    r.SkipSeparator();
    type.fixedSizeSamples = FlagSet(r.NextChar());
    if (type.fixedSizeSamples) line += std::string(Res(Str::FixedSizeSamples)) + " - ";
    r.NextChar();
    type.temporalCompression = FlagSet(r.NextChar());
    if (type.temporalCompression) line += std::string(Res(Str::TemporalCompression)) + " - ";
    r.NextChar();
    type.sampleSize = r.ReadNumber(10);
    line += "(" + std::to_string(*type.sampleSize) + ")";
    r.NextChar();
    return line;
}

std::string DescribeFormat(GraphReader& r, model::MediaType& type) {
    std::string text;
    const FormatTypeInfo format = LookupFormatType(ReadGuidValue(r, text));
    type.formatType = model::NamedGuid{Utf8FromAnsi(std::move(text)), std::string(format.name)};
    std::string line(kTypeIndent);
    line += format.name;
    line += r.SkipSeparator();

    const BlockHeader block = r.ReadBlockHeader();
    type.formatSize = block.count;
    r.StepBack();  // the file position is now the block's first byte
    std::uint64_t rest = block.count;
    if (format.decoder != FormatDecoder::None) {
        if (rest >= format.recordSize) {
            std::vector<std::uint8_t> record(format.recordSize);
            r.ReadRaw(record.data(), record.size());
            type.fields = DecodeFormatFields(format.decoder, record);
            AppendFieldLines(line, type.fields);
            rest -= format.recordSize;
        }
        if (rest > 0) line += "<" + DataNotice(rest) + " >";
    }
    // The bytes no field took, for the model.
    type.undecoded.resize(static_cast<std::size_t>(rest));
    r.ReadRaw(type.undecoded.data(), type.undecoded.size());
    r.NextChar();  // drops the stale look-ahead, loads the unit after the block
    return line;
}

}  // namespace quorvel
