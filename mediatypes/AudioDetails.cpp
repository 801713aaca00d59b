// The format-specific bytes after a WAVEFORMATEX: the extensible format, the
// MPEG Layer-3 format and the AAC formats with their AudioSpecificConfig.
#include <algorithm>
#include <cstdio>

#include "mediatypes/BitReader.hpp"
#include "mediatypes/FormatDetails.hpp"
#include "mediatypes/GuidNames.hpp"
#include "platform/Hex.hpp"
#include "resources/Strings.hpp"

namespace quorvel {
namespace {

constexpr std::size_t kWaveFormatExSize = 18;
constexpr std::size_t kCbSizeOffset = 16;
constexpr std::uint16_t kTagExtensible = 0xFFFE;
constexpr std::uint16_t kTagMpegLayer3 = 0x0055;
constexpr std::uint16_t kTagHeAac = 0x1610;
constexpr std::uint16_t kTagRawAac = 0x00FF;
constexpr std::size_t kExtensibleExtra = 22;
constexpr std::size_t kMpegLayer3Extra = 12;
constexpr std::size_t kHeAacInfoSize = 12;  // HEAACWAVEINFO's fields before the config

struct CodeText {
    std::uint32_t code;
    std::string_view text;
};

template <std::size_t N>
std::string TextOf(const CodeText (&table)[N], std::uint32_t code) {
    for (const CodeText& row : table)
        if (row.code == code) return std::string(row.text);
    return {};
}

// The bytes after the WAVEFORMATEX that its cbSize announces, capped by the
// block; nullopt when the block is not of tag or has fewer than minExtra
// announced.  truncated is set for a short block.
std::optional<ByteSpan> ExtraBytes(ByteSpan block, std::uint16_t tag, std::size_t minExtra, bool& truncated) {
    if (block.size() < kWaveFormatExSize || ReadLe16(block, 0) != tag ||
        ReadLe16(block, kCbSizeOffset) < minExtra) {
        truncated = true;
        return std::nullopt;
    }
    const std::size_t announced = ReadLe16(block, kCbSizeOffset);
    const std::size_t present = std::min(announced, block.size() - kWaveFormatExSize);
    truncated = present < announced;
    return block.subspan(kWaveFormatExSize, present);
}

template <typename T>
std::optional<T> LeIfPresent(ByteSpan bytes, std::size_t offset) {
    if (bytes.size() < offset + sizeof(T)) return std::nullopt;
    return static_cast<T>(ReadLe(bytes, offset, sizeof(T)));
}

// SPEAKER_* bits of a channel mask.
struct SpeakerBit {
    std::uint32_t bit;
    std::string_view name;
};
constexpr SpeakerBit kSpeakers[] = {
    {0x1, "FL"},      {0x2, "FR"},      {0x4, "FC"},      {0x8, "LFE"},     {0x10, "BL"},
    {0x20, "BR"},     {0x40, "FLC"},    {0x80, "FRC"},    {0x100, "BC"},    {0x200, "SL"},
    {0x400, "SR"},    {0x800, "TC"},    {0x1000, "TFL"},  {0x2000, "TFC"},  {0x4000, "TFR"},
    {0x8000, "TBL"},  {0x10000, "TBC"}, {0x20000, "TBR"}, {0x80000000, "ALL"},
};

std::vector<std::string> SpeakerNames(std::uint32_t mask) {
    std::vector<std::string> names;
    for (unsigned bit = 0; bit < 32; ++bit) {
        const std::uint32_t value = std::uint32_t{1} << bit;
        if (!(mask & value)) continue;
        const auto known = std::find_if(std::begin(kSpeakers), std::end(kSpeakers),
                                        [&](const SpeakerBit& s) { return s.bit == value; });
        names.push_back(known != std::end(kSpeakers) ? std::string(known->name) : "bit " + std::to_string(bit));
    }
    return names;
}

std::string Hex(std::uint32_t value, int digits) {
    std::string text = "0x";
    AppendHex(text, value, digits);
    return text;
}

// MPEGLAYER3WAVEFORMAT.wID and fdwFlags (MPEGLAYER3_ID_*, MPEGLAYER3_FLAG_PADDING_*).
constexpr CodeText kLayer3Ids[] = {{0, "unknown"}, {1, "MPEG"}, {2, "constant frame size"}};
constexpr CodeText kLayer3Padding[] = {{0, "ISO"}, {1, "on"}, {2, "off"}};

// ---------------------------------------------------------------------------
// AAC.

constexpr CodeText kAudioObjectTypes[] = {
    {1, "AAC Main"},
    {2, "AAC LC"},
    {3, "AAC SSR"},
    {4, "AAC LTP"},
    {5, "SBR (HE-AAC)"},
    {6, "AAC Scalable"},
    {7, "TwinVQ"},
    {8, "CELP"},
    {9, "HVXC"},
    {12, "TTSI"},
    {13, "Main synthetic"},
    {14, "Wavetable synthesis"},
    {15, "General MIDI"},
    {16, "Algorithmic synthesis and audio effects"},
    {17, "ER AAC LC"},
    {19, "ER AAC LTP"},
    {20, "ER AAC Scalable"},
    {21, "ER TwinVQ"},
    {22, "ER BSAC"},
    {23, "ER AAC LD"},
    {24, "ER CELP"},
    {25, "ER HVXC"},
    {26, "ER HILN"},
    {27, "ER Parametric"},
    {28, "SSC"},
    {29, "PS (HE-AAC v2)"},
    {30, "MPEG Surround"},
    {32, "Layer-1"},
    {33, "Layer-2"},
    {34, "Layer-3"},
    {35, "DST"},
    {36, "ALS"},
    {37, "SLS"},
    {38, "SLS non-core"},
    {39, "ER AAC ELD"},
    {40, "SMR Simple"},
    {41, "SMR Main"},
    {42, "USAC (no SBR)"},
    {43, "SAOC"},
    {44, "LD MPEG Surround"},
    {45, "USAC"},
};

struct FrequencyRow {
    std::uint32_t index;
    std::uint32_t hertz;
};
constexpr FrequencyRow kSamplingFrequencies[] = {
    {0, 96000}, {1, 88200}, {2, 64000},  {3, 48000},  {4, 44100}, {5, 32000}, {6, 24000},
    {7, 22050}, {8, 16000}, {9, 12000},  {10, 11025}, {11, 8000}, {12, 7350},
};
constexpr std::uint32_t kExplicitFrequency = 15;

constexpr CodeText kChannelConfigurations[] = {
    {0, "defined in the stream"}, {1, "mono"}, {2, "stereo"}, {3, "3 channels: C L R"},
    {4, "4 channels: C L R, back C"}, {5, "5 channels: C L R, Ls Rs"}, {6, "5.1"}, {7, "7.1"},
    {11, "6.1"}, {12, "7.1 (back)"}, {13, "22.2"}, {14, "7.1 (top front)"},
};

constexpr std::uint32_t kAotSbr = 5;
constexpr std::uint32_t kAotPs = 29;
constexpr std::uint32_t kAotErBsac = 22;
constexpr std::uint32_t kSyncExtensionSbr = 0x2B7;
constexpr std::uint32_t kSyncExtensionPs = 0x548;

std::uint32_t ReadObjectType(BitReader& r) {
    const std::uint32_t type = r.ReadBits(5);
    return type == 31 ? 32 + r.ReadBits(6) : type;
}

// A sampling frequency index and, for index 15, the explicit frequency;
// 0 Hz for a reserved index.
std::uint32_t ReadSamplingFrequency(BitReader& r, std::uint32_t& index) {
    index = r.ReadBits(4);
    if (index == kExplicitFrequency) return r.ReadBits(24);
    for (const FrequencyRow& row : kSamplingFrequencies)
        if (row.index == index) return row.hertz;
    return 0;
}

bool IsGeneralAudio(std::uint32_t type) {
    constexpr std::uint32_t kTypes[] = {1, 2, 3, 4, 6, 7, 17, 19, 20, 21, 22, 23};
    return std::find(std::begin(kTypes), std::end(kTypes), type) != std::end(kTypes);
}

bool IsErrorResilient(std::uint32_t type) { return (type >= 17 && type <= 27) || type == 39; }

// GASpecificConfig; false when the rest cannot be followed (a program
// config element is not read).
bool SkipGeneralAudioConfig(BitReader& r, const AacAudioSpecificConfig& c) {
    r.ReadFlag();                      // frameLengthFlag
    if (r.ReadFlag()) r.SkipBits(14);  // dependsOnCoreCoder, coreCoderDelay
    const bool extensionFlag = r.ReadFlag();
    if (c.channelConfiguration == 0) return false;
    const std::uint32_t type = c.audioObjectType;
    if (type == 6 || type == 20) r.SkipBits(3);  // layerNr
    if (extensionFlag) {
        if (type == kAotErBsac) r.SkipBits(5 + 11);  // numOfSubFrame, layer_length
        if (type == 17 || type == 19 || type == 20 || type == 23) r.SkipBits(3);  // resilience flags
        r.ReadFlag();  // extensionFlag3
    }
    return true;
}

// The backward-compatible signalling of SBR and PS after the core's config.
void ReadImplicitExtension(BitReader& r, AacAudioSpecificConfig& c) {
    if (r.BitsLeft() < 16 || r.ReadBits(11) != kSyncExtensionSbr) return;
    const std::uint32_t extensionType = ReadObjectType(r);
    if (extensionType != kAotSbr || !r.ReadFlag()) return;
    c.extensionObjectType = extensionType;
    c.sbr = true;
    std::uint32_t index = 0;
    c.extensionSamplingFrequency = ReadSamplingFrequency(r, index);
    if (r.BitsLeft() >= 12 && r.ReadBits(11) == kSyncExtensionPs) c.ps = r.ReadFlag();
}

bool ReadAudioSpecificConfig(BitReader& r, AacAudioSpecificConfig& c) {
    c.audioObjectType = ReadObjectType(r);
    c.samplingFrequency = ReadSamplingFrequency(r, c.samplingFrequencyIndex);
    c.channelConfiguration = r.ReadBits(4);
    c.objectTypeName = TextOf(kAudioObjectTypes, c.audioObjectType);
    if (!r.Ok()) return false;
    c.channelText = TextOf(kChannelConfigurations, c.channelConfiguration);
    if (c.audioObjectType == kAotSbr || c.audioObjectType == kAotPs) {
        c.extensionObjectType = kAotSbr;
        c.sbr = true;
        c.ps = c.audioObjectType == kAotPs;
        std::uint32_t index = 0;
        c.extensionSamplingFrequency = ReadSamplingFrequency(r, index);
        c.audioObjectType = ReadObjectType(r);
        c.objectTypeName = TextOf(kAudioObjectTypes, c.audioObjectType);
        if (c.audioObjectType == kAotErBsac) r.SkipBits(4);  // extensionChannelConfiguration
        if (!r.Ok()) return false;
    }
    const bool known = !c.objectTypeName.empty() && !c.channelText.empty() && c.samplingFrequency != 0 &&
                       (!c.sbr || c.extensionSamplingFrequency != 0);
    if (!known) return false;
    if (!IsGeneralAudio(c.audioObjectType) || !SkipGeneralAudioConfig(r, c)) return r.Ok();
    if (IsErrorResilient(c.audioObjectType) && r.ReadBits(2) >= 2) return r.Ok();  // epConfig
    if (!c.sbr && r.Ok()) ReadImplicitExtension(r, c);
    return r.Ok();
}

std::string ObjectTypeLine(const AacAudioSpecificConfig& c) {
    std::string line = "AAC object type = " + (c.objectTypeName.empty() ? "unknown" : c.objectTypeName) + " (" +
                       std::to_string(c.audioObjectType) + ")";
    if (c.ps) return line + " with SBR and PS (HE-AAC v2)";
    if (c.sbr) return line + " with SBR (HE-AAC)";
    return line;
}

constexpr CodeText kPayloadTypes[] = {{0, "raw"}, {1, "ADTS"}, {2, "ADIF"}, {3, "LOAS"}};
constexpr std::uint16_t kProfileLevelUnspecified = 0xFE;

}  // namespace

WaveFormatExtensible DecodeWaveFormatExtensible(ByteSpan formatBlock) {
    WaveFormatExtensible format;
    const auto extra = ExtraBytes(formatBlock, kTagExtensible, kExtensibleExtra, format.truncated);
    if (!extra) return format;
    format.validBitsPerSample = LeIfPresent<std::uint16_t>(*extra, 0);
    format.channelMask = LeIfPresent<std::uint32_t>(*extra, 2);
    if (format.channelMask) format.speakers = SpeakerNames(*format.channelMask);
    if (extra->size() >= 6 + 16) {
        format.subFormat = Guid::At(*extra, 6);
        format.subFormatName =
            std::string(KnownGuidName(*format.subFormat, "KSDATAFORMAT_SUBTYPE_").value_or(FormatGuid(*format.subFormat)));
    }
    return format;
}

TextLines WaveFormatExtensibleLines(const WaveFormatExtensible& format) {
    TextLines lines;
    if (format.validBitsPerSample)
        lines.push_back("Valid bits per sample = " + std::to_string(*format.validBitsPerSample));
    if (format.channelMask) {
        std::string line = "Channel mask = " + Hex(*format.channelMask, 8);
        for (std::size_t i = 0; i < format.speakers.size(); ++i) line += (i == 0 ? ": " : " ") + format.speakers[i];
        lines.push_back(line);
    }
    if (format.subFormat) lines.push_back("Sub format = " + format.subFormatName);
    if (format.truncated) lines.push_back(FormatRes(Str::DetailTruncated, {"Extensible wave format"}));
    return lines;
}

MpegLayer3Format DecodeMpegLayer3Format(ByteSpan formatBlock) {
    MpegLayer3Format format;
    const auto extra = ExtraBytes(formatBlock, kTagMpegLayer3, kMpegLayer3Extra, format.truncated);
    if (!extra) return format;
    format.id = LeIfPresent<std::uint16_t>(*extra, 0);
    format.flags = LeIfPresent<std::uint32_t>(*extra, 2);
    format.blockSize = LeIfPresent<std::uint16_t>(*extra, 6);
    format.framesPerBlock = LeIfPresent<std::uint16_t>(*extra, 8);
    format.codecDelay = LeIfPresent<std::uint16_t>(*extra, 10);
    if ((format.id && TextOf(kLayer3Ids, *format.id).empty()) ||
        (format.flags && TextOf(kLayer3Padding, *format.flags).empty()))
        format.truncated = true;
    return format;
}

TextLines MpegLayer3Lines(const MpegLayer3Format& format) {
    TextLines lines;
    const auto named = [](const CodeText* begin, const CodeText* end, std::uint32_t code) {
        const auto row = std::find_if(begin, end, [&](const CodeText& r) { return r.code == code; });
        return (row != end ? std::string(row->text) : std::string("unknown")) + " (" + std::to_string(code) + ")";
    };
    if (format.id) lines.push_back("MPEG Layer-3 ID = " + named(std::begin(kLayer3Ids), std::end(kLayer3Ids), *format.id));
    if (format.flags)
        lines.push_back("Padding = " + named(std::begin(kLayer3Padding), std::end(kLayer3Padding), *format.flags));
    if (format.blockSize) lines.push_back("Block size = " + std::to_string(*format.blockSize) + " bytes");
    if (format.framesPerBlock) lines.push_back("Frames per block = " + std::to_string(*format.framesPerBlock));
    if (format.codecDelay) lines.push_back("Codec delay = " + std::to_string(*format.codecDelay) + " samples");
    if (format.truncated) lines.push_back(FormatRes(Str::DetailTruncated, {"MPEG Layer-3 format"}));
    return lines;
}

AacAudioSpecificConfig DecodeAudioSpecificConfig(ByteSpan bytes) {
    AacAudioSpecificConfig config;
    BitReader r(bytes);
    config.truncated = !ReadAudioSpecificConfig(r, config);
    return config;
}

AacFormat DecodeAacFormat(ByteSpan formatBlock) {
    AacFormat format;
    if (formatBlock.size() < kWaveFormatExSize) {
        format.truncated = true;
        return format;
    }
    format.formatTag = ReadLe16(formatBlock, 0);
    std::optional<ByteSpan> config;
    if (format.formatTag == kTagHeAac) {
        const auto extra = ExtraBytes(formatBlock, kTagHeAac, kHeAacInfoSize, format.truncated);
        if (extra && extra->size() >= kHeAacInfoSize) {
            format.heaac = HeAacWaveInfo{ReadLe16(*extra, 0), ReadLe16(*extra, 2), ReadLe16(*extra, 4)};
            config = extra->subspan(kHeAacInfoSize);
        }
    } else {
        config = ExtraBytes(formatBlock, kTagRawAac, 0, format.truncated);
    }
    if (config && !config->empty()) {
        format.config = DecodeAudioSpecificConfig(*config);
        format.truncated = format.truncated || format.config->truncated;
    }
    return format;
}

TextLines AacLines(const AacFormat& format) {
    TextLines lines;
    if (const auto& h = format.heaac) {
        const std::string payload = TextOf(kPayloadTypes, h->payloadType);
        lines.push_back("Payload = " + (payload.empty() ? "unknown" : payload) + " (" +
                        std::to_string(h->payloadType) + ")");
        lines.push_back("Audio profile and level indication = " +
                        (h->audioProfileLevelIndication == kProfileLevelUnspecified
                             ? std::string("not specified")
                             : Hex(h->audioProfileLevelIndication, 2)));
        lines.push_back("Struct type = " + std::to_string(h->structType));
    }
    if (const auto& c = format.config; c && c->samplingFrequency != 0) {
        lines.push_back(ObjectTypeLine(*c));
        std::string rate = "Sampling frequency = " + std::to_string(c->samplingFrequency) + " Hz";
        if (c->sbr && c->extensionSamplingFrequency != 0)
            rate += ", " + std::to_string(c->extensionSamplingFrequency) + " Hz with SBR";
        lines.push_back(rate);
        lines.push_back("Channel configuration = " + std::to_string(c->channelConfiguration) +
                        (c->channelText.empty() ? "" : " (" + c->channelText + ")"));
    }
    if (format.truncated) lines.push_back(FormatRes(Str::DetailTruncated, {"AAC format"}));
    return lines;
}

}  // namespace quorvel
