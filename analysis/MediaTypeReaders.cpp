#include "analysis/MediaTypeReaders.hpp"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include "analysis/AnalysisState.hpp"
#include "mediatypes/FormatDecoders.hpp"
#include "mediatypes/FormatDetails.hpp"
#include "mediatypes/GuidNames.hpp"
#include "mediatypes/MediaTypeNames.hpp"
#include "platform/TextConv.hpp"
#include "resources/Strings.hpp"

namespace quorvel {
namespace {

constexpr std::string_view kTypeIndent = "     ";

// A flag counts as set when its low byte is above '0'.
bool FlagSet(std::uint16_t unit) { return (unit & 0xFF) > 0x30; }

}  // namespace

namespace {

std::optional<std::string> SdkName(std::string_view guidText) {
    if (const auto guid = TryParseGuid(guidText))
        if (const auto name = KnownGuidName(*guid)) return std::string(*name);
    return std::nullopt;
}

// The four-character code of a subtype built on the base media subtype GUID.
std::optional<std::uint32_t> SubtypeFourcc(const model::MediaType& type) {
    static constexpr Guid kBase = MakeGuid("{00000000-0000-0010-8000-00AA00389B71}");
    if (!type.subtype) return std::nullopt;
    const auto guid = TryParseGuid(type.subtype->guid);
    if (!guid || !std::equal(guid->bytes.begin() + 4, guid->bytes.end(), kBase.bytes.begin() + 4)) return std::nullopt;
    return ReadLe32(guid->bytes, 0);
}

constexpr std::string_view kFieldIndent = "          ";
constexpr std::size_t kDetailIndent = 14;

void DetailLines(ReportParts& parts, const TextLines& lines) {
    for (const std::string& line : lines) parts.Detail(std::string(kDetailIndent, ' ') + line);
}

// The added lines that explain a field, under it.
void DetailsAfter(ReportParts& parts, const DecodedField& field, const FormatBlockDetails& d) {
    const std::string_view key = field.key;
    if (key == "AvgTimePerFrame" && d.frameRate) DetailLines(parts, {*d.frameRate});
    // A code the line shows as its four characters needs no other name.
    if (key == "biCompression" && d.compressionName && *d.compressionName != field.Text())
        DetailLines(parts, {*d.compressionName});
    if (key == "biClrImportant" && d.bitmap) {
        TextLines lines = BitmapLines(*d.bitmap);
        // The compression's name stands under its own field already.
        if (!lines.empty() && lines.front().starts_with("Compression = ")) lines.erase(lines.begin());
        DetailLines(parts, lines);
    }
    if (key == "cbSize") {
        if (d.extensible) DetailLines(parts, WaveFormatExtensibleLines(*d.extensible));
        if (d.mp3) DetailLines(parts, MpegLayer3Lines(*d.mp3));
        if (d.aac) DetailLines(parts, AacLines(*d.aac));
    }
    if (key == "cbSequenceHeader") {
        if (d.mpegSequence) DetailLines(parts, MpegVideoSequenceLines(*d.mpegSequence));
        if (d.h264) DetailLines(parts, H264Lines(*d.h264));
    }
}

}  // namespace

void DescribeGuidName(ReportParts& parts, const model::NamedGuid& guid, std::size_t indent) {
    // Only a GUID the report shows bare, and only a name the headers give.
    if (guid.name || !guid.knownName) return;
    parts.Detail(std::string(indent, ' ') + *guid.knownName);
}

std::string DescribeMajorType(GraphReader& r, model::MediaType& type, bool full) {
    std::string_view text;
    const Guid major = ReadGuidValue(r, text);
    model::NamedGuid named;
    std::string line(kTypeIndent);
    if (const auto label = MajorTypeLabel(major)) {
        if (full) named.name = std::string(*label);
        line += *label;
    } else {
        AppendUtf8FromAnsi(line, text);
    }
    if (full) {
        named.guid = Utf8FromAnsi(text);
        if (const auto known = KnownGuidName(major)) named.knownName = std::string(*known);
    }
    r.NextChar();  // the separator
    type.majorType = std::move(named);  // with its line: a stop leaves neither
    return line;
}

std::string DescribeSubtype(GraphReader& r, model::MediaType& type, bool full) {
    const std::uint64_t at = r.Cursor();
    const std::string_view text = r.ReadGuidText();
    model::NamedGuid named;
    std::string line;
    line.reserve(96);
    line += kTypeIndent;
    try {
        std::string label = SubtypeLabel(text);
        line += label;
        if (full) {
            named.guid = Utf8FromAnsi(text);
            named.knownName = SdkName(text);
            if (label != named.guid) named.name = std::move(label);
        }
    } catch (const GuidSyntaxError&) {
        r.FailNotGuid(at, text);
    }
    line += " - ";
    r.SkipSeparator();
    const bool fixedSize = FlagSet(r.NextChar());
    if (fixedSize) {
        line += Res(Str::FixedSizeSamples);
        line += " - ";
    }
    r.NextChar();
    const bool temporal = FlagSet(r.NextChar());
    if (temporal) {
        line += Res(Str::TemporalCompression);
        line += " - ";
    }
    r.NextChar();
    const std::int64_t sampleSize = r.ReadNumber(10);
    line += '(';
    line += std::to_string(sampleSize);
    line += ')';
    r.NextChar();
    // With the line: a stop leaves neither.
    type.subtype = std::move(named);
    type.fixedSizeSamples = fixedSize;
    type.temporalCompression = temporal;
    type.sampleSize = sampleSize;
    return line;
}

ReportParts DescribeFormat(GraphReader& r, model::MediaType& type, FormatReading how) {
    std::string_view text;
    const Guid formatGuid = ReadGuidValue(r, text);
    const FormatTypeInfo format = LookupFormatType(formatGuid);
    const bool whole = how.keep || how.details;  // the block read whole: kept or explained
    model::NamedGuid named;
    if (whole) {
        named = model::NamedGuid{Utf8FromAnsi(text), std::string(format.name), std::nullopt};
        if (const auto known = KnownGuidName(formatGuid)) named.knownName = std::string(*known);
    }
    ReportParts parts(how.details);
    std::string& line = parts.NewLine();
    line.reserve(1024);
    line += kTypeIndent;
    line += format.name;
    line += r.SkipSeparator();
    // An unknown format type: the report shows no GUID, the details do.
    if (format.decoder == FormatDecoder::None && format.name == "Unknown Format")
        parts.Detail("         " + named.knownName.value_or(named.guid) + (named.knownName ? " " + named.guid : ""));

    const BlockHeader block = r.ReadBlockHeader();
    r.StepBack();  // the file position is now the block's first byte
    const bool decoded = format.decoder != FormatDecoder::None && block.count >= format.recordSize;
    const std::size_t recordSize = decoded ? format.recordSize : 0;
    // The whole block when it is kept or explained, else the record alone.
    std::vector<std::uint8_t> bytes(whole ? block.count : 0);
    std::array<std::uint8_t, kMaxFormatRecordSize> recordOnly;
    const std::span<std::uint8_t> read =
        whole ? std::span<std::uint8_t>(bytes) : std::span<std::uint8_t>(recordOnly).first(recordSize);
    r.ReadRaw(read.data(), read.size());
    r.SkipRaw(block.count - read.size());
    const std::uint64_t rest = block.count - recordSize;

    std::vector<DecodedField> fields;
    FormatBlockDetails details;
    if (decoded) {
        fields = DecodeFormatFields(format.decoder, ByteSpan(read).first(recordSize));
        if (whole) details = DecodeFormatBlockDetails(format.decoder, SubtypeFourcc(type), bytes);
        for (const DecodedField& field : fields) {
            std::string& fieldLine = parts.NewLine();
            fieldLine += kFieldIndent;
            fieldLine += field.label;
            field.AppendText(fieldLine);
            DetailsAfter(parts, field, details);
        }
        parts.Line(kFieldIndent);
    }
    if (format.decoder != FormatDecoder::None && rest > 0) parts.Append("<" + DataNotice(rest) + " >");
    std::vector<std::uint8_t> undecoded;
    if (whole) undecoded.assign(bytes.begin() + static_cast<std::ptrdiff_t>(block.count - rest), bytes.end());
    AppendHexDump(parts, undecoded, kDetailIndent);
    r.NextChar();  // drops the stale look-ahead, loads the unit after the block
    // With the lines: a stop leaves neither.
    type.formatType = std::move(named);
    type.formatSize = block.count;
    type.fields = std::move(fields);
    type.undecoded = std::move(undecoded);
    if (!details.Empty()) type.details = std::make_shared<const FormatBlockDetails>(std::move(details));
    return parts;
}

}  // namespace quorvel
