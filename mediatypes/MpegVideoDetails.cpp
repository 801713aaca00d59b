// MPEG-1 and MPEG-2 video sequence headers, and where the MPEG video records
// keep them.
#include <algorithm>
#include <cstdio>
#include <span>

#include "mediatypes/BitReader.hpp"
#include "mediatypes/FormatDetails.hpp"
#include "resources/Strings.hpp"

namespace quorvel {
namespace {

constexpr std::uint8_t kSequenceHeaderCode = 0xB3;
constexpr std::uint8_t kExtensionStartCode = 0xB5;
constexpr std::uint32_t kSequenceExtensionId = 1;
constexpr std::uint32_t kVariableBitRate = 0x3FFFF;  // MPEG-1 only
constexpr std::uint64_t kBitRateUnit = 400;          // bit/s

SequenceHeaderBytes SequenceHeaderAt(ByteSpan block, std::size_t countOffset, std::size_t bytesOffset) {
    SequenceHeaderBytes header;
    if (block.size() < countOffset + 4) {
        header.truncated = true;
        return header;
    }
    header.declaredCount = ReadLe32(block, countOffset);
    const std::size_t present = block.size() > bytesOffset ? block.size() - bytesOffset : 0;
    header.truncated = header.declaredCount > present;
    header.bytes = SubSpan(block, std::min(bytesOffset, block.size()),
                           std::min<std::size_t>(header.declaredCount, present));
    return header;
}

struct FrameRateRow {
    std::uint32_t code;
    std::uint32_t numerator;
    std::uint32_t denominator;
    std::string_view text;
};
constexpr FrameRateRow kFrameRates[] = {
    {1, 24000, 1001, "23.976"}, {2, 24, 1, "24"}, {3, 25, 1, "25"},       {4, 30000, 1001, "29.97"},
    {5, 30, 1, "30"},           {6, 50, 1, "50"}, {7, 60000, 1001, "59.94"}, {8, 60, 1, "60"},
};

struct CodeText {
    std::uint32_t code;
    std::string_view text;
};

// MPEG-1 pel aspect ratio (height / width of a pel).
constexpr CodeText kPelAspects[] = {
    {1, "1.0000 (square)"}, {2, "0.6735"},  {3, "0.7031 (16:9, 625 lines)"},
    {4, "0.7615"},          {5, "0.8055"},  {6, "0.8437 (16:9, 525 lines)"},
    {7, "0.8935"},          {8, "0.9157 (CCIR 601, 625 lines)"},
    {9, "0.9815"},          {10, "1.0255"}, {11, "1.0695"},
    {12, "1.0950 (CCIR 601, 525 lines)"},  {13, "1.1575"}, {14, "1.2015"},
};

// MPEG-2 display aspect ratio.
constexpr CodeText kDisplayAspects[] = {
    {1, "1:1 (square samples)"}, {2, "4:3"}, {3, "16:9"}, {4, "2.21:1"},
};

// profile_and_level_indication without its escape bit: profile in bits 6-4,
// level in bits 3-0.
constexpr CodeText kProfiles[] = {
    {1, "High"}, {2, "Spatially Scalable"}, {3, "SNR Scalable"}, {4, "Main"}, {5, "Simple"},
};
constexpr CodeText kLevels[] = {
    {4, "High"}, {6, "High 1440"}, {8, "Main"}, {10, "Low"},
};

// The escaped indications name a profile and level together.
struct EscapedProfileLevel {
    std::uint32_t indication;
    std::string_view profile;
    std::string_view level;
};
constexpr EscapedProfileLevel kEscapedProfileLevels[] = {
    {0x85, "4:2:2", "High"},      {0x82, "4:2:2", "Main"},      {0x8E, "Multi-view", "Low"},
    {0x8D, "Multi-view", "Main"}, {0x8B, "Multi-view", "High 1440"}, {0x8A, "Multi-view", "High"},
};

constexpr CodeText kChromaFormats[] = {{1, "4:2:0"}, {2, "4:2:2"}, {3, "4:4:4"}};

std::optional<std::string_view> Find(std::span<const CodeText> table, std::uint32_t code) {
    for (const CodeText& row : table)
        if (row.code == code) return row.text;
    return std::nullopt;
}

// The offset just after the first 00 00 01 xx at or after from whose xx is
// code, or nullopt.  With nextOnly, only the start code that comes first
// after from, zero stuffing aside, is looked at.
std::optional<std::size_t> AfterStartCode(ByteSpan b, std::size_t from, std::uint8_t code, bool nextOnly = false) {
    for (std::size_t i = from; i + 4 <= b.size(); ++i) {
        if (b[i] == 0 && b[i + 1] == 0 && b[i + 2] == 1) {
            if (b[i + 3] == code) return i + 4;
            if (nextOnly) return std::nullopt;
        } else if (nextOnly && b[i] != 0) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

// True when bytes stop inside a start code: zero stuffing then 00 00 01 and
// nothing after it.  Zeros alone are padding.
bool EndsInStartCode(ByteSpan bytes) {
    const auto firstNonZero = std::find_if(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b != 0; });
    const auto zeros = static_cast<std::size_t>(firstNonZero - bytes.begin());
    return zeros >= 2 && bytes.size() == zeros + 1 && bytes.back() == 1;
}

// The fields after sequence_header_code; false when they end early or hold nonsense.
bool ReadSequenceHeader(BitReader& r, MpegSequenceHeader& h, bool& nonsense) {
    h.horizontalSize = r.ReadBits(12);
    h.verticalSize = r.ReadBits(12);
    h.aspectRatioCode = r.ReadBits(4);
    h.frameRateCode = r.ReadBits(4);
    h.bitRateValue = r.ReadBits(18);
    const bool marker = r.ReadFlag();
    h.vbvBufferSize = r.ReadBits(10);
    h.constrainedParameters = r.ReadFlag();
    if (!r.Ok()) return false;
    nonsense = !marker || h.horizontalSize == 0 || h.verticalSize == 0 || h.bitRateValue == 0;
    h.intraQuantiserMatrix = r.ReadFlag();
    if (h.intraQuantiserMatrix) r.SkipBits(64 * 8);
    h.nonIntraQuantiserMatrix = r.ReadFlag();
    if (h.nonIntraQuantiserMatrix) r.SkipBits(64 * 8);
    return true;
}

bool ReadSequenceExtension(BitReader& r, MpegSequenceHeader& h, MpegSequenceExtension& e) {
    e.profileAndLevel = r.ReadBits(8);
    e.progressiveSequence = r.ReadFlag();
    e.chromaFormat = r.ReadBits(2);
    const std::uint32_t horizontalExtension = r.ReadBits(2);
    const std::uint32_t verticalExtension = r.ReadBits(2);
    const std::uint32_t bitRateExtension = r.ReadBits(12);
    const bool marker = r.ReadFlag();
    const std::uint32_t vbvExtension = r.ReadBits(8);
    e.lowDelay = r.ReadFlag();
    e.frameRateExtensionN = r.ReadBits(2);
    e.frameRateExtensionD = r.ReadBits(5);
    if (!r.Ok()) return false;
    h.horizontalSize |= horizontalExtension << 12;
    h.verticalSize |= verticalExtension << 12;
    h.bitRateValue |= bitRateExtension << 18;
    h.vbvBufferSize |= vbvExtension << 10;

    if (e.profileAndLevel & 0x80) {
        for (const EscapedProfileLevel& row : kEscapedProfileLevels) {
            if (row.indication != e.profileAndLevel) continue;
            e.profileText = row.profile;
            e.levelText = row.level;
        }
    } else {
        e.profileText = Find(kProfiles, (e.profileAndLevel >> 4) & 7).value_or("");
        e.levelText = Find(kLevels, e.profileAndLevel & 0xF).value_or("");
    }
    const auto chroma = Find(kChromaFormats, e.chromaFormat);
    e.chromaText = chroma.value_or("reserved");
    return marker && chroma && !e.profileText.empty() && !e.levelText.empty();
}

std::string TrimmedDecimals(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", value);
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
}

// Texts and derived values once MPEG-1 or MPEG-2 is known; false for reserved codes.
bool Interpret(MpegSequenceHeader& h, const std::optional<MpegSequenceExtension>& extension) {
    const auto aspect =
        Find(extension ? std::span<const CodeText>(kDisplayAspects) : std::span<const CodeText>(kPelAspects),
             h.aspectRatioCode);
    h.aspectText = aspect ? std::string(*aspect) : "reserved (code " + std::to_string(h.aspectRatioCode) + ")";
    const FrameRateRow* rate = nullptr;
    for (const FrameRateRow& row : kFrameRates)
        if (row.code == h.frameRateCode) rate = &row;
    if (rate != nullptr) {
        const std::uint32_t n = extension ? extension->frameRateExtensionN + 1 : 1;
        const std::uint32_t d = extension ? extension->frameRateExtensionD + 1 : 1;
        h.framesPerSecond = static_cast<double>(rate->numerator) * n / (static_cast<double>(rate->denominator) * d);
        h.frameRateText = n == 1 && d == 1 ? std::string(rate->text) : TrimmedDecimals(h.framesPerSecond);
    } else {
        h.frameRateText = "reserved (code " + std::to_string(h.frameRateCode) + ")";
    }
    h.variableBitRate = !extension && h.bitRateValue == kVariableBitRate;
    h.bitsPerSecond = h.variableBitRate ? 0 : h.bitRateValue * kBitRateUnit;
    return aspect && rate != nullptr;
}

}  // namespace

SequenceHeaderBytes Mpeg1VideoInfoSequenceHeader(ByteSpan formatBlock) {
    return SequenceHeaderAt(formatBlock, 92, 96);  // cbSequenceHeader, bSequenceHeader
}

SequenceHeaderBytes Mpeg2VideoInfoSequenceHeader(ByteSpan formatBlock) {
    return SequenceHeaderAt(formatBlock, 116, 132);  // cbSequenceHeader, dwSequenceHeader
}

MpegVideoSequence DecodeMpegVideoSequence(ByteSpan bytes) {
    MpegVideoSequence sequence;
    const auto headerStart = AfterStartCode(bytes, 0, kSequenceHeaderCode);
    if (!headerStart) {
        sequence.truncated = true;
        return sequence;
    }
    BitReader r(bytes.subspan(*headerStart));
    MpegSequenceHeader header;
    bool nonsense = false;
    if (!ReadSequenceHeader(r, header, nonsense)) {
        sequence.truncated = true;
        return sequence;
    }
    sequence.truncated = nonsense || !r.Ok();

    // An MPEG-2 sequence header is followed at once by its sequence extension.
    const ByteSpan rest = bytes.subspan(std::min(*headerStart + (r.BitPosition() + 7) / 8, bytes.size()));
    if (EndsInStartCode(rest)) sequence.truncated = true;
    if (const auto extensionStart = AfterStartCode(rest, 0, kExtensionStartCode, true)) {
        BitReader e(rest.subspan(*extensionStart));
        const std::uint32_t id = e.ReadBits(4);
        if (id == kSequenceExtensionId) {
            MpegSequenceExtension extension;
            const bool valid = ReadSequenceExtension(e, header, extension);
            if (e.Ok()) sequence.extension = extension;
            sequence.truncated = sequence.truncated || !valid;
        }
        if (!e.Ok()) sequence.truncated = true;
    }
    if (!Interpret(header, sequence.extension)) sequence.truncated = true;
    sequence.header = header;
    return sequence;
}

TextLines MpegVideoSequenceLines(const MpegVideoSequence& sequence) {
    TextLines lines;
    if (const auto& h = sequence.header) {
        if (const auto& e = sequence.extension)
            lines.push_back("MPEG-2 video, " + e->profileText + " profile, " + e->levelText + " level");
        else
            lines.push_back("MPEG-1 video");
        lines.push_back("Size = " + std::to_string(h->horizontalSize) + "x" + std::to_string(h->verticalSize));
        lines.push_back((sequence.extension ? "Aspect ratio = " : "Pel aspect ratio = ") + h->aspectText);
        lines.push_back("Frame rate = " + h->frameRateText + " fps");
        lines.push_back(h->variableBitRate ? std::string("Bit rate = variable")
                                           : "Bit rate = " + std::to_string(h->bitsPerSecond) + " bit/s");
        lines.push_back("VBV buffer size = " + std::to_string(h->vbvBufferSize) + " x 16 kbit (" +
                        std::to_string(std::uint64_t{h->vbvBufferSize} * 2048) + " bytes)");
        if (const auto& e = sequence.extension)
            lines.push_back("Chroma format = " + e->chromaText +
                            (e->progressiveSequence ? ", progressive sequence" : ", interlaced sequence") +
                            (e->lowDelay ? ", low delay" : ""));
        if (h->intraQuantiserMatrix || h->nonIntraQuantiserMatrix)
            lines.push_back(std::string("Own quantiser matrices =") + (h->intraQuantiserMatrix ? " intra" : "") +
                            (h->nonIntraQuantiserMatrix ? " non-intra" : ""));
    }
    if (sequence.truncated) lines.push_back(FormatRes(Str::DetailTruncated, {"Sequence header"}));
    return lines;
}

}  // namespace quorvel
