#include "analysis/MediaTypeReaders.hpp"

#include <array>
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
    r.NextChar();  // the separator
    type.majorType = std::move(named);  // with its line: a stop leaves neither
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
    line += " - ";
    r.SkipSeparator();
    const bool fixedSize = FlagSet(r.NextChar());
    if (fixedSize) line += std::string(Res(Str::FixedSizeSamples)) + " - ";
    r.NextChar();
    const bool temporal = FlagSet(r.NextChar());
    if (temporal) line += std::string(Res(Str::TemporalCompression)) + " - ";
    r.NextChar();
    const std::int64_t sampleSize = r.ReadNumber(10);
    line += "(" + std::to_string(sampleSize) + ")";
    r.NextChar();
    // With the line: a stop leaves neither.
    type.subtype = std::move(named);
    type.fixedSizeSamples = fixedSize;
    type.temporalCompression = temporal;
    type.sampleSize = sampleSize;
    return line;
}

std::string DescribeFormat(GraphReader& r, model::MediaType& type, bool keep) {
    std::string text;
    const FormatTypeInfo format = LookupFormatType(ReadGuidValue(r, text));
    model::NamedGuid named{Utf8FromAnsi(std::move(text)), std::string(format.name)};
    std::string line(kTypeIndent);
    line += format.name;
    line += r.SkipSeparator();

    const BlockHeader block = r.ReadBlockHeader();
    r.StepBack();  // the file position is now the block's first byte
    std::uint64_t rest = block.count;
    std::vector<DecodedField> fields;
    if (format.decoder != FormatDecoder::None) {
        if (rest >= format.recordSize) {
            std::array<std::uint8_t, kMaxFormatRecordSize> record;
            const ByteSpan bytes(record.data(), format.recordSize);
            r.ReadRaw(record.data(), bytes.size());
            fields = DecodeFormatFields(format.decoder, bytes);
            AppendFieldLines(line, fields);
            rest -= format.recordSize;
        }
        if (rest > 0) line += "<" + DataNotice(rest) + " >";
    }
    // The bytes no field took, for the model.
    std::vector<std::uint8_t> undecoded;
    if (keep) {
        undecoded.resize(static_cast<std::size_t>(rest));
        r.ReadRaw(undecoded.data(), undecoded.size());
    } else {
        r.SkipRaw(rest);
    }
    r.NextChar();  // drops the stale look-ahead, loads the unit after the block
    // With the line: a stop leaves neither.
    type.formatType = std::move(named);
    type.formatSize = block.count;
    type.fields = std::move(fields);
    type.undecoded = std::move(undecoded);
    return line;
}

}  // namespace quorvel
