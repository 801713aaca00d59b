#include "mediatypes/FormatDetails.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "mediatypes/BitReader.hpp"
#include "mediatypes/GuidNames.hpp"

namespace quorvel {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

void PutLe(Bytes& b, std::size_t offset, std::uint64_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) b.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

// An MPEG2VIDEOINFO: 136 bytes up to the first DWORD of dwSequenceHeader,
// then the rest of the header.
Bytes Mpeg2VideoInfo(const Bytes& sequenceHeader, std::uint32_t flags) {
    Bytes block(132 + sequenceHeader.size(), 0);
    PutLe(block, 116, sequenceHeader.size(), 4);  // cbSequenceHeader
    PutLe(block, 128, flags, 4);                  // dwFlags
    std::copy(sequenceHeader.begin(), sequenceHeader.end(), block.begin() + 132);
    return block;
}

// A WAVEFORMATEX with its cbSize extra bytes.
Bytes WaveFormat(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, const Bytes& extra) {
    Bytes block(18 + extra.size(), 0);
    PutLe(block, 0, tag, 2);
    PutLe(block, 2, channels, 2);
    PutLe(block, 4, rate, 4);
    PutLe(block, 16, extra.size(), 2);
    std::copy(extra.begin(), extra.end(), block.begin() + 18);
    return block;
}

// ---------------------------------------------------------------------------
// H.264 SPS NAL units, written bit by bit from the SPS syntax.

// High, level 4.0; sps 0, 4:2:0 8-bit, no scaling matrix, frame_num 4 bits,
// POC type 0 (lsb 6 bits), 4 ref frames, 120x68 MBs frames only, crop
// bottom 4 (x2 rows), VUI: SAR 1:1, 1 tick / 50 Hz fixed; 00 00 03 escapes.
const Bytes kSpsHigh1080 = {0x67, 0x64, 0x00, 0x28, 0xAC, 0xD9, 0x40, 0x78, 0x02, 0x27, 0xE5, 0xC0,
                            0x44, 0x00, 0x00, 0x03, 0x00, 0x04, 0x00, 0x00, 0x03, 0x00, 0xCA, 0x10};
// High 4:2:2, level 4.1, 10-bit luma and chroma; scaling lists 0 (delta -8:
// the list ends at once) and 6 (64 deltas of 0); POC type 2, 2 refs; 120x34
// map units as field pairs with MBAFF; crop bottom 4 (x1 x2 rows).
const Bytes kSpsHigh422Fields = {0x67, 0x7A, 0x00, 0x29, 0xB6, 0xD8, 0x44, 0x1F, 0xFF, 0xFF, 0xFF,
                                 0xFF, 0xFF, 0xFF, 0xFF, 0xF3, 0x6C, 0x07, 0x80, 0x44, 0xFC, 0xA8};
// Baseline with constraint_set3 and level_idc 11 (level 1b); POC type 1 with
// a cycle of 2 offsets; 1 ref; 11x9 MBs, no crop, no VUI.
const Bytes kSpsBaselineQcif = {0x67, 0x42, 0x10, 0x0B, 0xD0, 0xA9, 0x99, 0xA0, 0xB1, 0x31};
// constraint_set0 and 1 with profile 66, level 3.0; POC type 2; 3 refs; 45x36 MBs.
const Bytes kSpsConstrainedBaseline = {0x67, 0x42, 0xC0, 0x1E, 0xD9, 0x00, 0xB4, 0x12, 0x64};
const Bytes kPps = {0x68, 0xEB, 0xE3, 0xCB, 0x22, 0xC0};

struct SpsCase {
    const char* label;
    Bytes nal;
    const char* profile;
    const char* level;
    const char* chroma;
    std::uint32_t bitDepth;
    std::uint32_t codedWidth, codedHeight, displayWidth, displayHeight, cropBottom;
    bool frameMbsOnly, mbaff;
    std::uint32_t pocType, refFrames;
};

const SpsCase kSpsCases[] = {
    {"High1080", kSpsHigh1080, "High", "4.0", "4:2:0", 8, 1920, 1088, 1920, 1080, 8, true, false, 0, 4},
    {"High422Fields", kSpsHigh422Fields, "High 4:2:2", "4.1", "4:2:2", 10, 1920, 1088, 1920, 1080, 8, false,
     true, 2, 2},
    {"BaselineLevel1b", kSpsBaselineQcif, "Baseline", "1b", "4:2:0", 8, 176, 144, 176, 144, 0, true, false, 1, 1},
    {"ConstrainedBaseline", kSpsConstrainedBaseline, "Constrained Baseline", "3.0", "4:2:0", 8, 720, 576, 720,
     576, 0, true, false, 2, 3},
};

TEST(FormatDetails, H264SpsFields) {
    for (const SpsCase& c : kSpsCases) {
        SCOPED_TRACE(c.label);
        const H264Sps sps = DecodeH264Sps(c.nal);
        EXPECT_FALSE(sps.truncated);
        EXPECT_EQ(sps.profileName, c.profile);
        EXPECT_EQ(sps.levelText, c.level);
        ASSERT_TRUE(sps.chroma && sps.ordering && sps.picture);
        EXPECT_EQ(sps.chroma->text, c.chroma);
        EXPECT_EQ(sps.chroma->bitDepthLuma, c.bitDepth);
        EXPECT_EQ(sps.chroma->bitDepthChroma, c.bitDepth);
        EXPECT_EQ(sps.ordering->picOrderCntType, c.pocType);
        EXPECT_EQ(sps.ordering->maxNumRefFrames, c.refFrames);
        const H264PictureSize& p = *sps.picture;
        EXPECT_EQ(p.frameMbsOnly, c.frameMbsOnly);
        EXPECT_EQ(p.mbAdaptiveFrameField, c.mbaff);
        EXPECT_EQ(std::vector<std::uint32_t>({p.codedWidth, p.codedHeight, p.displayWidth, p.displayHeight}),
                  std::vector<std::uint32_t>({c.codedWidth, c.codedHeight, c.displayWidth, c.displayHeight}));
        EXPECT_EQ(p.cropBottom, c.cropBottom);
        EXPECT_EQ(p.cropLeft + p.cropRight + p.cropTop, 0u);
    }
}

TEST(FormatDetails, H264ProfileAndLevelNames) {
    struct Case {
        std::uint8_t profileIdc, constraints, levelIdc;
        const char* profile;
        const char* level;
    };
    // constraint_set0..5 are bits 7..2 of the byte after profile_idc.
    const Case cases[] = {
        {100, 0x08, 40, "Progressive High", "4.0"}, {100, 0x0C, 51, "Constrained High", "5.1"},
        {110, 0x10, 31, "High 10 Intra", "3.1"},    {244, 0x00, 62, "High 4:4:4 Predictive", "6.2"},
        {44, 0x00, 9, "CAVLC 4:4:4 Intra", "1b"},   {77, 0x10, 11, "Main", "1b"},
        {100, 0x10, 11, "High", "1.1"},             {66, 0x40, 12, "Constrained Baseline", "1.2"},
    };
    for (const Case& c : cases) {
        // The rest of the SPS is missing: the names come from its first three bytes.
        const H264Sps sps = DecodeH264Sps(Bytes{0x67, c.profileIdc, c.constraints, c.levelIdc});
        EXPECT_EQ(sps.profileName, c.profile) << int{c.profileIdc};
        EXPECT_EQ(sps.levelText, c.level) << int{c.profileIdc};
    }
}

TEST(FormatDetails, H264BothLayoutsInMpeg2VideoInfo) {
    const Bytes lengthPrefixed = Concat({{0x00, 0x18}, kSpsHigh1080, {0x00, 0x06}, kPps, {0, 0}});
    const Bytes annexB = Concat({{0, 0, 0, 1}, kSpsHigh1080, {0, 0, 1}, kPps});
    struct Case {
        const char* label;
        Bytes header;
        H264Layout layout;
        std::optional<std::uint32_t> nalLengthSize;  // dwFlags 4 means it for avc1 only
    };
    for (const Case& c : {Case{"avc1", lengthPrefixed, H264Layout::LengthPrefixed, 4u},
                          Case{"H264", annexB, H264Layout::AnnexB, std::nullopt}}) {
        SCOPED_TRACE(c.label);
        const H264ParameterSets sets = DecodeMpeg2VideoInfoH264(Mpeg2VideoInfo(c.header, 4));
        EXPECT_FALSE(sets.truncated);
        EXPECT_EQ(sets.layout, c.layout);
        EXPECT_EQ(sets.nalLengthSize, c.nalLengthSize);
        EXPECT_EQ(sets.spsCount, 1u);
        EXPECT_EQ(sets.ppsCount, 1u);
        ASSERT_TRUE(sets.sps && sets.sps->vui && sets.sps->vui->timing);
        EXPECT_DOUBLE_EQ(sets.sps->vui->timing->framesPerSecond, 25.0);
    }
    EXPECT_EQ(H264Lines(DecodeMpeg2VideoInfoH264(Mpeg2VideoInfo(lengthPrefixed, 4))),
              TextLines({"H.264 High profile, level 4.0", "Coded size = 1920x1088, displayed 1920x1080 (crop 0,0,0,8)",
                         "Picture coding = frames only", "Chroma format = 4:2:0, 8 bits",
                         "Reference frames = 4, picture order count type 0", "Sample aspect ratio = 1:1",
                         "Frame rate = 25.00 fps (time_scale 50, num_units_in_tick 1)", "NAL length size = 4",
                         "Parameter sets = 1 SPS, 1 PPS (length-prefixed)"}));
}

// ---------------------------------------------------------------------------
// MPEG video sequence headers, then the sequence extension (Main profile,
// 4:2:0) where there is one.

struct SequenceCase {
    const char* label;
    Bytes bytes;
    bool mpeg2;
    std::uint32_t width, height;
    const char* aspect;
    const char* frameRate;
    std::uint64_t bitsPerSecond;  // 0: variable
    std::uint32_t vbv;
    const char* level;
    bool progressive;
};

const Bytes kSequencePal = {0x00, 0x00, 0x01, 0xB3, 0x2D, 0x02, 0x40, 0x23, 0x17, 0xED, 0x23,
                            0x80, 0x00, 0x00, 0x01, 0xB5, 0x14, 0x82, 0x00, 0x01, 0x00, 0x00};

const SequenceCase kSequenceCases[] = {
    {"Pal", kSequencePal, true, 720, 576, "4:3", "25", 9'800'000, 112, "Main", false},
    {"Ntsc",
     {0x00, 0x00, 0x01, 0xB3, 0x2D, 0x01, 0xE0, 0x34, 0x13, 0x88, 0x23, 0x80, 0x00, 0x00, 0x01, 0xB5, 0x14, 0x82,
      0x00, 0x01, 0x00, 0x00},
     true, 720, 480, "16:9", "29.97", 8'000'000, 112, "Main", false},
    {"Film",
     {0x00, 0x00, 0x01, 0xB3, 0x78, 0x04, 0x38, 0x31, 0x30, 0xD4, 0x2F, 0x40, 0x00, 0x00, 0x01, 0xB5, 0x14, 0x4A,
      0x00, 0x01, 0x00, 0x00},
     true, 1920, 1080, "16:9", "23.976", 20'000'000, 488, "High", true},
    {"PalWithRateExtension",  // progressive, frame_rate_extension_n 1: 25 x 2 / 1
     {0x00, 0x00, 0x01, 0xB3, 0x2D, 0x02, 0x40, 0x23, 0x17, 0xED, 0x23, 0x80, 0x00, 0x00, 0x01, 0xB5, 0x14, 0x8A,
      0x00, 0x01, 0x00, 0x20},
     true, 720, 576, "4:3", "50", 9'800'000, 112, "Main", true},
    {"Mpeg1Variable", {0x00, 0x00, 0x01, 0xB3, 0x16, 0x00, 0xF0, 0xC4, 0xFF, 0xFF, 0xE0, 0xA4}, false, 352, 240,
     "1.0950 (CCIR 601, 525 lines)", "29.97", 0, 20, "", false},
};

TEST(FormatDetails, MpegVideoSequenceHeaders) {
    for (const SequenceCase& c : kSequenceCases) {
        SCOPED_TRACE(c.label);
        const MpegVideoSequence s = DecodeMpegVideoSequence(c.bytes);
        EXPECT_FALSE(s.truncated);
        ASSERT_TRUE(s.header);
        EXPECT_EQ(s.extension.has_value(), c.mpeg2);
        EXPECT_EQ(s.header->horizontalSize, c.width);
        EXPECT_EQ(s.header->verticalSize, c.height);
        EXPECT_EQ(s.header->aspectText, c.aspect);
        EXPECT_EQ(s.header->frameRateText, c.frameRate);
        EXPECT_EQ(s.header->variableBitRate, c.bitsPerSecond == 0);
        EXPECT_EQ(s.header->bitsPerSecond, c.bitsPerSecond);
        EXPECT_EQ(s.header->vbvBufferSize, c.vbv);
        if (!s.extension) continue;
        EXPECT_EQ(s.extension->profileText, "Main");
        EXPECT_EQ(s.extension->levelText, c.level);
        EXPECT_EQ(s.extension->chromaText, "4:2:0");
        EXPECT_EQ(s.extension->progressiveSequence, c.progressive);
    }
    Bytes mpeg1Video(96, 0);
    PutLe(mpeg1Video, 92, kSequencePal.size(), 4);
    mpeg1Video.insert(mpeg1Video.end(), kSequencePal.begin(), kSequencePal.end());
    EXPECT_EQ(MpegVideoSequenceLines(DecodeMpegVideoSequence(Mpeg1VideoInfoSequenceHeader(mpeg1Video).bytes)),
              TextLines({"MPEG-2 video, Main profile, Main level", "Size = 720x576", "Aspect ratio = 4:3",
                         "Frame rate = 25 fps", "Bit rate = 9800000 bit/s",
                         "VBV buffer size = 112 x 16 kbit (229376 bytes)",
                         "Chroma format = 4:2:0, interlaced sequence"}));
}

// ---------------------------------------------------------------------------
// Audio.

TEST(FormatDetails, WaveFormatExtensible51) {
    // Samples (valid bits) 24, channel mask 0x3F, SubFormat {00000001-0000-0010-8000-00AA00389B71}.
    const Bytes extra = {24,   0,    0x3F, 0,    0,    0,    0x01, 0x00, 0x00, 0x00, 0x00,
                         0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    const WaveFormatExtensible f = DecodeWaveFormatExtensible(WaveFormat(0xFFFE, 6, 48000, extra));
    EXPECT_FALSE(f.truncated);
    EXPECT_EQ(WaveFormatExtensibleLines(f),
              TextLines({"Valid bits per sample = 24", "Channel mask = 0x0000003F: FL FR FC LFE BL BR",
                         "Sub format = KSDATAFORMAT_SUBTYPE_PCM"}));
    EXPECT_TRUE(DecodeWaveFormatExtensible(WaveFormat(0xFFFE, 6, 48000, Bytes(extra.begin(), extra.end() - 1))).truncated);
    EXPECT_TRUE(DecodeWaveFormatExtensible(WaveFormat(0x0001, 6, 48000, extra)).truncated);
}

TEST(FormatDetails, MpegLayer3Format) {
    // wID 1, fdwFlags 2, nBlockSize 417, nFramesPerBlock 1, nCodecDelay 1393.
    const Bytes extra = {1, 0, 2, 0, 0, 0, 0xA1, 0x01, 1, 0, 0x71, 0x05};
    EXPECT_EQ(MpegLayer3Lines(DecodeMpegLayer3Format(WaveFormat(0x0055, 2, 44100, extra))),
              TextLines({"MPEG Layer-3 ID = MPEG (1)", "Padding = off (2)", "Block size = 417 bytes",
                         "Frames per block = 1", "Codec delay = 1393 samples"}));
}

struct AacCase {
    const char* label;
    Bytes config;
    std::uint32_t objectType, frequency, channels, extensionFrequency;
    bool sbr, ps;
    bool optionalTail;  // implicit signalling: a shorter config is a valid plain one
};

// AudioSpecificConfig bits: object type (5, or 31 and 6 more), frequency
// index (4, or 15 and 24 bits), channel configuration (4), then for types 5
// and 29 the extension frequency index and the core's object type; the
// general audio config's three flags; for LC the optional sync extensions
// 0x2B7 (SBR) and 0x548 (PS).
const AacCase kAacCases[] = {
    {"LcStereo44100", {0x12, 0x10}, 2, 44100, 2, 0, false, false, false},
    {"HeAacExplicit", {0x2B, 0x11, 0x88, 0x00}, 2, 24000, 2, 48000, true, false, false},
    {"HeAacV2Explicit", {0xEB, 0x09, 0x88, 0x00}, 2, 24000, 1, 48000, true, true, false},
    {"HeAacV2Implicit", {0x13, 0x10, 0x56, 0xE5, 0x9D, 0x48, 0x80}, 2, 24000, 2, 48000, true, true, true},
    {"EldExplicitFrequency", {0xF8, 0xFE, 0x01, 0x58, 0x88, 0x20}, 39, 44100, 1, 0, false, false, false},
};

TEST(FormatDetails, AacAudioSpecificConfig) {
    for (const AacCase& c : kAacCases) {
        SCOPED_TRACE(c.label);
        const AacFormat f = DecodeAacFormat(WaveFormat(0x00FF, 2, 44100, c.config));
        ASSERT_TRUE(f.config);
        EXPECT_FALSE(f.truncated);
        EXPECT_EQ(f.config->audioObjectType, c.objectType);
        EXPECT_EQ(f.config->samplingFrequency, c.frequency);
        EXPECT_EQ(f.config->channelConfiguration, c.channels);
        EXPECT_EQ(f.config->extensionSamplingFrequency, c.extensionFrequency);
        EXPECT_EQ(f.config->sbr, c.sbr);
        EXPECT_EQ(f.config->ps, c.ps);
    }
    // HEAACWAVEINFO: raw payload, profile-level 0x29, struct type 0, reserved words, then the config.
    const Bytes info = {0, 0, 0x29, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x2B, 0x11, 0x88, 0x00};
    EXPECT_EQ(AacLines(DecodeAacFormat(WaveFormat(0x1610, 2, 48000, info))),
              TextLines({"Payload = raw (0)", "Audio profile and level indication = 0x29", "Struct type = 0",
                         "AAC object type = AAC LC (2) with SBR (HE-AAC)",
                         "Sampling frequency = 24000 Hz, 48000 Hz with SBR",
                         "Channel configuration = 2 (stereo)"}));
}

// ---------------------------------------------------------------------------
// Codes, bitmaps, frame rates, GUID names.

TEST(FormatDetails, FrameRatesAndCompressionNames) {
    const std::pair<std::int64_t, const char*> rates[] = {
        {400000, "25.00 fps"}, {333667, "29.97 fps"}, {417083, "23.98 fps"}, {166833, "59.94 fps"},
        {0, ""},               {-400000, ""},         {INT64_MAX, "0.00 fps"}};
    for (const auto& [time, text] : rates) EXPECT_EQ(FrameRateText(time), text) << time;

    const std::pair<std::uint32_t, const char*> names[] = {
        {0, "BI_RGB"},       {1, "BI_RLE8"},      {3, "BI_BITFIELDS"}, {6, "BI_ALPHABITFIELDS"},
        {13, "BI_CMYKRLE4"}, {0x32595559, "YUY2"}, {7, "0x00000007"},  {0x00780061, "0x00780061"}};
    for (const auto& [code, name] : names) EXPECT_EQ(BiCompressionName(code), name) << code;
}

TEST(FormatDetails, BitmapMasksAndPalette) {
    Bytes masks(48 + 40 + 12, 0);  // VIDEOINFOHEADER, RGB565 bit fields
    PutLe(masks, 48, 40, 4);
    PutLe(masks, 48 + 14, 16, 2);
    PutLe(masks, 48 + 16, 3, 4);
    PutLe(masks, 88, 0xF800, 4);
    PutLe(masks, 92, 0x07E0, 4);
    PutLe(masks, 96, 0x001F, 4);
    EXPECT_EQ(BitmapLines(DecodeBitmapDetails(masks, 48)),
              TextLines({"Compression = BI_BITFIELDS",
                         "Colour masks = red 0x0000F800, green 0x000007E0, blue 0x0000001F"}));

    Bytes palette(72 + 40 + 8, 0);  // VIDEOINFOHEADER2, 1 bit per pixel: two RGBQUADs
    PutLe(palette, 72 + 14, 1, 2);
    PutLe(palette, 112, 0x00FF8000, 4);  // blue 00, green 80, red FF
    PutLe(palette, 116, 0x000000FF, 4);
    EXPECT_EQ(DecodeBitmapDetails(palette, 72).palette, std::vector<std::uint32_t>({0xFF8000, 0x0000FF}));
    PutLe(palette, 72 + 32, 0xFFFFFFFF, 4);  // biClrUsed far beyond the block
    const BitmapDetails capped = DecodeBitmapDetails(palette, 72);
    EXPECT_TRUE(capped.truncated);
    EXPECT_EQ(capped.palette.size(), 2u);
}

TEST(FormatDetails, GuidNamesFromThePlatformHeaders) {
    const Guid pcm = MakeGuid("{00000001-0000-0010-8000-00AA00389B71}");
    EXPECT_EQ(KnownGuidName(MakeGuid("{34363248-0000-0010-8000-00AA00389B71}")), "MEDIASUBTYPE_H264");
    EXPECT_EQ(KnownGuidName(MakeGuid("{05589F80-C356-11CE-BF01-00AA0055595A}")), "FORMAT_VideoInfo");
    EXPECT_EQ(KnownGuidName(pcm), "MEDIASUBTYPE_PCM");
    EXPECT_EQ(KnownGuidName(pcm, "KSDATAFORMAT_SUBTYPE_"), "KSDATAFORMAT_SUBTYPE_PCM");
    EXPECT_EQ(KnownGuidName(pcm, "NO_SUCH_PREFIX_"), "MEDIASUBTYPE_PCM");
    EXPECT_EQ(KnownGuidName(MakeGuid("{01234567-89AB-CDEF-0123-456789ABCDEF}")), std::nullopt);
    // The table's first and last GUIDs, and neighbours that differ from a
    // known one in a single byte of either half.
    EXPECT_EQ(KnownGuidName(MakeGuid("{00000000-0000-0000-0000-000000000000}")), "TIME_FORMAT_NONE");
    EXPECT_EQ(KnownGuidName(MakeGuid("{FFBB6E3F-CCFE-4D84-90D9-421418B03A8E}")), "KSNODETYPE_DRM_DESCRAMBLE");
    EXPECT_EQ(KnownGuidName(MakeGuid("{00000001-0000-0010-8000-00AA00389B72}")), std::nullopt);
    EXPECT_EQ(KnownGuidName(MakeGuid("{00000001-0001-0010-8000-00AA00389B71}")), std::nullopt);
    EXPECT_EQ(KnownGuidName(MakeGuid("{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}")), std::nullopt);
}

TEST(FormatDetails, BitReaderCodes) {
    // ue: 1 -> 0, 010 -> 1, 011 -> 2, 00100 -> 3; se: 00110 (5) -> +3, 00111 (6) -> -3; 2 bits left.
    const Bytes bits = {0b10100110, 0b01000011, 0b00011100};
    BitReader r(bits);
    EXPECT_EQ(r.ReadUe(), 0u);
    EXPECT_EQ(r.ReadUe(), 1u);
    EXPECT_EQ(r.ReadUe(), 2u);
    EXPECT_EQ(r.ReadUe(), 3u);
    EXPECT_EQ(r.ReadSe(), 3);
    EXPECT_EQ(r.ReadSe(), -3);
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(r.ReadBits(3), 0u);
    EXPECT_TRUE(r.Exhausted());

    const Bytes zeros(5, 0);  // 40 zero bits: more than 31 leading zeros
    BitReader z(zeros);
    z.ReadUe();
    EXPECT_TRUE(z.Malformed());
    EXPECT_EQ(RemoveEmulationPrevention(Bytes{0, 0, 3, 1, 0, 0, 3, 0, 3}), Bytes({0, 0, 1, 0, 0, 0, 3}));
}

// ---------------------------------------------------------------------------
// Every cut-short structure says so, and nothing reads past its bytes (the
// sanitizer build checks that).

template <typename Decode>
void ExpectEveryPrefixTruncated(const Bytes& whole, std::size_t from, std::size_t to, Decode decode) {
    for (std::size_t n = from; n < to; ++n) EXPECT_TRUE(decode(Bytes(whole.begin(), whole.begin() + n))) << n;
}

TEST(FormatDetails, TruncatedAndNonsenseInputs) {
    for (const SpsCase& c : kSpsCases)
        ExpectEveryPrefixTruncated(c.nal, 0, c.nal.size(), [](const Bytes& b) { return DecodeH264Sps(b).truncated; });

    const auto sets = [](const Bytes& b) { return DecodeMpeg2VideoInfoH264(b).truncated; };
    const Bytes avc1 = Mpeg2VideoInfo(Concat({{0x00, 0x18}, kSpsHigh1080, {0x00, 0x06}, kPps}), 4);
    ExpectEveryPrefixTruncated(avc1, 0, avc1.size(), sets);
    const Bytes annexB = Mpeg2VideoInfo(Concat({{0, 0, 0, 1}, kSpsHigh1080, {0, 0, 1}, kPps}), 0);
    // A PPS is not parsed, but one cut to its header byte is cut.
    ExpectEveryPrefixTruncated(annexB, 0, annexB.size() - kPps.size() + 2, sets);
    // A cut shows no half line: the lines end whole and say "(tronqué)".
    for (std::size_t n = 0; n < annexB.size() - kPps.size(); ++n) {
        const TextLines lines = H264Lines(DecodeMpeg2VideoInfoH264(Bytes(annexB.begin(), annexB.begin() + n)));
        for (const std::string& line : lines) EXPECT_FALSE(line.ends_with("level ")) << n << ": " << line;
        EXPECT_TRUE(lines.back().ends_with("(tronqué)")) << n;
    }

    // The first 12 bytes are a whole MPEG-1 header, and zeros after it padding.
    const auto sequence = [](const Bytes& b) { return DecodeMpegVideoSequence(b).truncated; };
    ExpectEveryPrefixTruncated(kSequencePal, 0, 12, sequence);
    ExpectEveryPrefixTruncated(kSequencePal, 15, kSequencePal.size(), sequence);

    for (const AacCase& c : kAacCases)
        if (!c.optionalTail)
            ExpectEveryPrefixTruncated(c.config, 0, c.config.size(),
                                   [](const Bytes& b) { return DecodeAudioSpecificConfig(b).truncated; });

    // Whole structures holding values no encoder writes.
    const std::pair<const char*, Bytes> nonsenseSps[] = {
        {"CropCoversThePicture", {0x67, 0x42, 0xC0, 0x1E, 0xD9, 0x00, 0xB4, 0x12, 0x7E, 0x01, 0x21, 0x40}},
        {"PicOrderCntType3", {0x67, 0x42, 0xC0, 0x1E, 0xC8, 0x40, 0x2D, 0x04, 0x99}},
        {"ChromaFormatIdc4", {0x67, 0x64, 0x00, 0x28, 0x97, 0x3A, 0x0B, 0x13, 0x90}},
        {"TimeScale0", {0x67, 0x42, 0xC0, 0x1E, 0xD9, 0x00, 0xB4, 0x12, 0x68, 0x40, 0x00, 0x00, 0xFA, 0x40, 0x00,
                        0x00, 0x03, 0x00, 0x21}},
        {"UnknownProfile", {0x67, 42, 0x00, 30, 0xFF, 0xFF}},
        {"UeWith32LeadingZeros", {0x67, 0x64, 0x00, 0x28, 0x00, 0x00, 0x00, 0x00, 0x80}},
    };
    for (const auto& [label, nal] : nonsenseSps) EXPECT_TRUE(DecodeH264Sps(nal).truncated) << label;
    const std::pair<const char*, Bytes> nonsenseSequences[] = {
        {"FrameRateCode9", {0x00, 0x00, 0x01, 0xB3, 0x2D, 0x02, 0x40, 0x29, 0x17, 0xED, 0x23, 0x80}},
        {"AspectCode0", {0x00, 0x00, 0x01, 0xB3, 0x2D, 0x02, 0x40, 0x03, 0x17, 0xED, 0x23, 0x80}},
        {"MarkerBit0", {0x00, 0x00, 0x01, 0xB3, 0x2D, 0x02, 0x40, 0x23, 0x17, 0xED, 0x03, 0x80}},
        {"ChromaFormat0", {0x00, 0x00, 0x01, 0xB3, 0x2D, 0x02, 0x40, 0x23, 0x17, 0xED, 0x23, 0x80, 0x00, 0x00, 0x01,
                           0xB5, 0x14, 0x80, 0x00, 0x01, 0x00, 0x00}},
    };
    for (const auto& [label, bytes] : nonsenseSequences) EXPECT_TRUE(DecodeMpegVideoSequence(bytes).truncated) << label;
    // AAC: reserved sampling frequency index 13; object type 0.
    for (const Bytes& config : {Bytes{0x16, 0x90}, Bytes{0x02, 0x10}})
        EXPECT_TRUE(DecodeAudioSpecificConfig(config).truncated);

    std::mt19937 random(20260209);
    for (int i = 0; i < 2000; ++i) {
        Bytes noise(random() % 200);
        for (std::uint8_t& b : noise) b = static_cast<std::uint8_t>(random());
        EXPECT_TRUE(DecodeH264ParameterSets(noise).truncated || noise.empty());
        EXPECT_TRUE(DecodeMpegVideoSequence(noise).truncated);
        EXPECT_TRUE(DecodeWaveFormatExtensible(noise).truncated);
        DecodeH264Sps(Concat({{0x67}, noise}));
        DecodeAudioSpecificConfig(noise);
        DecodeBitmapDetails(noise, 48);
        DecodeMpegLayer3Format(noise);
        DecodeAacFormat(noise);
    }
}

}  // namespace
}  // namespace quorvel
