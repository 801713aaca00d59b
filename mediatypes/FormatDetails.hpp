// Details of format blocks beyond their fixed fields: the codec headers they
// carry (H.264 parameter sets, MPEG-1/2 video sequence headers, AAC audio
// configurations), the extensions of wave formats, the colour masks and
// palettes after a bitmap header, and names of codes.
//
// Every decoder takes the bytes it explains as a span and returns a plain
// struct: numbers as numbers, names as strings, groups of fields as optionals
// that are set only when all their bits were read.  `truncated` is set when a
// structure ends early or holds values no encoder writes; what was read
// before stays.  Nothing here throws for any input.  Each struct has a
// renderer that writes English lines without indentation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "mediatypes/MediaTypeNames.hpp"
#include "platform/Bytes.hpp"
#include "platform/Guid.hpp"

namespace quorvel {

using TextLines = std::vector<std::string>;

// ---------------------------------------------------------------------------
// The sequence header bytes of the MPEG video records: MPEG1VIDEOINFO
// (cbSequenceHeader at 92, bSequenceHeader at 100) and MPEG2VIDEOINFO
// (cbSequenceHeader at 116, dwSequenceHeader at 132).  The bytes are capped
// by what the block holds; a count beyond it sets truncated.
struct SequenceHeaderBytes {
    ByteSpan bytes;
    std::uint32_t declaredCount = 0;
    bool truncated = false;
};
SequenceHeaderBytes Mpeg1VideoInfoSequenceHeader(ByteSpan formatBlock);
SequenceHeaderBytes Mpeg2VideoInfoSequenceHeader(ByteSpan formatBlock);

// ---------------------------------------------------------------------------
// H.264 sequence parameter set.

struct H264ChromaFormat {
    std::uint32_t chromaFormatIdc = 1;  // 0 monochrome, 1 4:2:0, 2 4:2:2, 3 4:4:4
    bool separateColourPlane = false;
    std::uint32_t bitDepthLuma = 8;
    std::uint32_t bitDepthChroma = 8;
    bool scalingMatrixPresent = false;
    std::string text;  // "4:2:0", "4:4:4 (separate colour planes)", "4:0:0 (monochrome)"
};

struct H264FrameOrdering {
    std::uint32_t log2MaxFrameNum = 0;
    std::uint32_t picOrderCntType = 0;          // 0, 1 or 2
    std::uint32_t log2MaxPicOrderCntLsb = 0;    // type 0
    bool deltaPicOrderAlwaysZero = false;       // type 1
    std::int32_t offsetForNonRefPic = 0;        // type 1
    std::int32_t offsetForTopToBottomField = 0; // type 1
    std::uint32_t refFramesInPicOrderCntCycle = 0;  // type 1, at most 255
    std::uint32_t maxNumRefFrames = 0;
    bool gapsInFrameNumAllowed = false;
};

struct H264PictureSize {
    std::uint32_t widthInMbs = 0;
    std::uint32_t heightInMapUnits = 0;
    bool frameMbsOnly = true;
    bool mbAdaptiveFrameField = false;
    bool direct8x8Inference = false;
    std::uint32_t codedWidth = 0;   // macroblocks x 16
    std::uint32_t codedHeight = 0;  // frame macroblocks x 16
    bool cropped = false;
    std::uint32_t cropLeft = 0;  // in pixels (frame_crop_*_offset x CropUnitX/Y)
    std::uint32_t cropRight = 0;
    std::uint32_t cropTop = 0;
    std::uint32_t cropBottom = 0;
    std::uint32_t displayWidth = 0;
    std::uint32_t displayHeight = 0;
};

struct H264SampleAspect {
    std::uint32_t aspectRatioIdc = 0;  // 255: explicit width and height
    std::uint32_t width = 0;
    std::uint32_t height = 0;  // 0:0 for unspecified or reserved codes
};

struct H264Timing {
    std::uint32_t numUnitsInTick = 0;
    std::uint32_t timeScale = 0;
    bool fixedFrameRate = false;
    double framesPerSecond = 0;  // time_scale / (2 x num_units_in_tick)
};

struct H264Vui {
    std::optional<H264SampleAspect> sampleAspect;
    std::optional<H264Timing> timing;
};

struct H264Sps {
    std::uint32_t profileIdc = 0;
    std::uint32_t constraintFlags = 0;  // constraint_set0 in bit 7 ... set5 in bit 2
    std::uint32_t levelIdc = 0;
    std::uint32_t seqParameterSetId = 0;
    std::string profileName;  // "High", "Constrained Baseline"; empty for an unknown profile_idc
    std::string levelText;    // "4.0", "1b"
    std::optional<H264ChromaFormat> chroma;
    std::optional<H264FrameOrdering> ordering;
    std::optional<H264PictureSize> picture;
    std::optional<H264Vui> vui;
    bool truncated = false;
};

// An SPS NAL unit (header byte included, emulation prevention bytes still in).
H264Sps DecodeH264Sps(ByteSpan nalUnit);

enum class H264Layout {
    Unknown,         // neither start codes nor length prefixes
    LengthPrefixed,  // avc1: each parameter set after a 2-byte big-endian length
    AnnexB,          // H264, X264: start codes 00 00 01 or 00 00 00 01
};

struct H264ParameterSets {
    H264Layout layout = H264Layout::Unknown;
    std::optional<std::uint32_t> nalLengthSize;  // 1, 2 or 4, for the length-prefixed layout
    std::uint32_t spsCount = 0;
    std::uint32_t ppsCount = 0;
    std::uint32_t otherNalCount = 0;
    std::optional<H264Sps> sps;  // the first one
    bool truncated = false;
};

// The parameter sets of a sequence header, either layout.  nalLengthSize is
// the record's dwFlags, kept when it is 1, 2 or 4 and the layout is
// length-prefixed.
H264ParameterSets DecodeH264ParameterSets(ByteSpan sequenceHeader,
                                          std::optional<std::uint32_t> nalLengthSize = std::nullopt);
// The same from a whole MPEG2VIDEOINFO block of an H.264 subtype.
H264ParameterSets DecodeMpeg2VideoInfoH264(ByteSpan formatBlock);

TextLines H264Lines(const H264ParameterSets& sets);

// ---------------------------------------------------------------------------
// MPEG-1/2 video sequence header (00 00 01 B3) and sequence extension
// (00 00 01 B5, extension id 1).

struct MpegSequenceHeader {
    std::uint32_t horizontalSize = 0;  // 12 bits, plus the extension's 2 high bits
    std::uint32_t verticalSize = 0;
    std::uint32_t aspectRatioCode = 0;
    std::string aspectText;  // MPEG-2: "4:3" ...; MPEG-1: "0.6735 (16:9, 625 lines)" ...
    std::uint32_t frameRateCode = 0;
    std::string frameRateText;     // "29.97", with the extension's n/d applied
    double framesPerSecond = 0;
    std::uint32_t bitRateValue = 0;   // 18 bits, plus the extension's 12 high bits
    bool variableBitRate = false;     // MPEG-1: bit_rate_value 0x3FFFF
    std::uint64_t bitsPerSecond = 0;  // bitRateValue x 400
    std::uint32_t vbvBufferSize = 0;  // in units of 16 kbit (16384 bits)
    bool constrainedParameters = false;
    bool intraQuantiserMatrix = false;
    bool nonIntraQuantiserMatrix = false;
};

struct MpegSequenceExtension {
    std::uint32_t profileAndLevel = 0;  // the 8-bit indication, escape bit first
    std::string profileText;            // "Main", "4:2:2", ...
    std::string levelText;              // "Main", "High 1440", ...
    bool progressiveSequence = false;
    std::uint32_t chromaFormat = 0;  // 1 4:2:0, 2 4:2:2, 3 4:4:4
    std::string chromaText;
    bool lowDelay = false;
    std::uint32_t frameRateExtensionN = 0;
    std::uint32_t frameRateExtensionD = 0;
};

struct MpegVideoSequence {
    std::optional<MpegSequenceHeader> header;
    std::optional<MpegSequenceExtension> extension;  // set: MPEG-2
    bool truncated = false;
};

// The bytes from the sequence header's start code on.
MpegVideoSequence DecodeMpegVideoSequence(ByteSpan sequenceHeader);
TextLines MpegVideoSequenceLines(const MpegVideoSequence& sequence);

// ---------------------------------------------------------------------------
// Wave formats.  Each function takes the whole format block, WAVEFORMATEX
// included; a block of another format tag, or one too short, gives truncated.

struct WaveFormatExtensible {
    std::optional<std::uint16_t> validBitsPerSample;  // (or samples per block)
    std::optional<std::uint32_t> channelMask;
    std::vector<std::string> speakers;  // "FL", "FR", "FC", "LFE", ...; "bit 18" for reserved bits
    std::optional<Guid> subFormat;
    std::string subFormatName;  // KSDATAFORMAT_SUBTYPE_PCM, ..., or the GUID text
    bool truncated = false;
};
WaveFormatExtensible DecodeWaveFormatExtensible(ByteSpan formatBlock);
TextLines WaveFormatExtensibleLines(const WaveFormatExtensible& format);

struct MpegLayer3Format {
    std::optional<std::uint16_t> id;  // 1 MPEGLAYER3_ID_MPEG
    std::optional<std::uint32_t> flags;  // 0 ISO padding, 1 padding on, 2 padding off
    std::optional<std::uint16_t> blockSize;
    std::optional<std::uint16_t> framesPerBlock;
    std::optional<std::uint16_t> codecDelay;
    bool truncated = false;
};
MpegLayer3Format DecodeMpegLayer3Format(ByteSpan formatBlock);
TextLines MpegLayer3Lines(const MpegLayer3Format& format);

struct AacAudioSpecificConfig {
    std::uint32_t audioObjectType = 0;  // of the core when SBR or PS is signalled
    std::string objectTypeName;         // "AAC LC", ...
    std::uint32_t samplingFrequencyIndex = 0;
    std::uint32_t samplingFrequency = 0;  // from the index, or the explicit 24-bit value
    std::uint32_t channelConfiguration = 0;
    std::string channelText;  // "stereo", "5.1", "defined in the stream" (0)
    std::uint32_t extensionObjectType = 0;  // 5 (SBR) when explicitly signalled, else 0
    bool sbr = false;
    bool ps = false;
    std::uint32_t extensionSamplingFrequency = 0;  // output rate with SBR
    bool truncated = false;
};

struct HeAacWaveInfo {
    std::uint16_t payloadType = 0;  // 0 raw, 1 ADTS, 2 ADIF, 3 LOAS
    std::uint16_t audioProfileLevelIndication = 0;
    std::uint16_t structType = 0;
};

struct AacFormat {
    std::uint16_t formatTag = 0;  // 0x1610 HEAACWAVEINFO or 0x00FF raw AAC
    std::optional<HeAacWaveInfo> heaac;
    std::optional<AacAudioSpecificConfig> config;
    bool truncated = false;
};
// A bare AudioSpecificConfig; the fields before the point where it ends or
// goes wrong are kept.  A program config element (channel configuration 0)
// is not read, nor what follows it.
AacAudioSpecificConfig DecodeAudioSpecificConfig(ByteSpan bytes);
AacFormat DecodeAacFormat(ByteSpan formatBlock);
TextLines AacLines(const AacFormat& format);

// ---------------------------------------------------------------------------
// Bitmap compression codes, colour masks and palettes.

// "BI_RGB", ..., the four-character code when it is printable, else "0x%08X".
std::string BiCompressionName(std::uint32_t compression);

struct BitmapDetails {
    std::uint32_t headerSize = 0;  // biSize
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::string compressionName;
    std::uint32_t clrUsed = 0;
    std::vector<std::uint32_t> masks;    // red, green, blue (and alpha)
    std::uint32_t paletteEntries = 0;    // as the header announces
    std::vector<std::uint32_t> palette;  // 0xRRGGBB, those present
    bool truncated = false;
};
// bitmapOffset: where the BITMAPINFOHEADER starts in the block (48 in
// VIDEOINFOHEADER and MPEG1VIDEOINFO, 72 in VIDEOINFOHEADER2 and MPEG2VIDEOINFO).
BitmapDetails DecodeBitmapDetails(ByteSpan formatBlock, std::size_t bitmapOffset);
TextLines BitmapLines(const BitmapDetails& details);

// ---------------------------------------------------------------------------
// Frame rate of an AvgTimePerFrame (REFERENCE_TIME, 100 ns units): "29.97 fps",
// two decimals, rounded; empty for 0 or a negative value.
std::string FrameRateText(std::int64_t avgTimePerFrame);

// ---------------------------------------------------------------------------
// All that a format block says beyond its fixed fields, by what it is.

struct FormatBlockDetails {
    std::optional<std::string> frameRate;        // from AvgTimePerFrame
    std::optional<std::string> compressionName;  // biCompression named
    std::optional<BitmapDetails> bitmap;         // colour masks or palette after the header
    std::optional<WaveFormatExtensible> extensible;
    std::optional<MpegLayer3Format> mp3;
    std::optional<AacFormat> aac;
    std::optional<MpegVideoSequence> mpegSequence;
    std::optional<H264ParameterSets> h264;

    bool Empty() const {
        return !frameRate && !compressionName && !bitmap && !extensible && !mp3 && !aac && !mpegSequence && !h264;
    }
};

// `block` is the whole format block as the decoder's record begins it;
// `subtypeFourcc` the four-character code of a subtype built on the base
// media subtype GUID, when it is one (H.264 parameter sets are looked for in
// MPEG-2 video records of the H.264 codes).
FormatBlockDetails DecodeFormatBlockDetails(FormatDecoder decoder, std::optional<std::uint32_t> subtypeFourcc,
                                            ByteSpan block);

}  // namespace quorvel
