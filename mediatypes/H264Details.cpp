// H.264 parameter sets in the sequence header of an MPEG2VIDEOINFO.
#include <algorithm>
#include <bit>
#include <cstdio>

#include "mediatypes/BitReader.hpp"
#include "mediatypes/FormatDetails.hpp"
#include "resources/Strings.hpp"

namespace quorvel {
namespace {

constexpr std::uint8_t kNalSps = 7;
constexpr std::uint8_t kNalPps = 8;

// constraint_setN_flag as it sits in the byte after profile_idc.
constexpr std::uint32_t ConstraintSet(unsigned n) { return 0x80u >> n; }

struct ProfileName {
    std::uint32_t profileIdc;
    std::uint32_t constraints;  // flags that must be set
    std::string_view name;
};

// The profiles of the base standard and of its scalable and multiview
// extensions.  The most specific entry wins: the one whose required
// constraint flags are set and most numerous.
constexpr ProfileName kProfileNames[] = {
    {66, 0, "Baseline"},
    {66, ConstraintSet(1), "Constrained Baseline"},
    {77, 0, "Main"},
    {88, 0, "Extended"},
    {100, 0, "High"},
    {100, ConstraintSet(4), "Progressive High"},
    {100, ConstraintSet(4) | ConstraintSet(5), "Constrained High"},
    {110, 0, "High 10"},
    {110, ConstraintSet(3), "High 10 Intra"},
    {122, 0, "High 4:2:2"},
    {122, ConstraintSet(3), "High 4:2:2 Intra"},
    {244, 0, "High 4:4:4 Predictive"},
    {244, ConstraintSet(3), "High 4:4:4 Intra"},
    {44, 0, "CAVLC 4:4:4 Intra"},
    {83, 0, "Scalable Baseline"},
    {83, ConstraintSet(5), "Scalable Constrained Baseline"},
    {86, 0, "Scalable High"},
    {86, ConstraintSet(3), "Scalable High Intra"},
    {86, ConstraintSet(5), "Scalable Constrained High"},
    {118, 0, "Multiview High"},
    {128, 0, "Stereo High"},
    {134, 0, "MFC High"},
    {135, 0, "MFC Depth High"},
    {138, 0, "Multiview Depth High"},
    {139, 0, "Enhanced Multiview Depth High"},
};

std::string ProfileText(std::uint32_t profileIdc, std::uint32_t constraints) {
    const ProfileName* best = nullptr;
    for (const ProfileName& p : kProfileNames) {
        if (p.profileIdc != profileIdc || (constraints & p.constraints) != p.constraints) continue;
        if (best == nullptr || std::popcount(p.constraints) > std::popcount(best->constraints)) best = &p;
    }
    return best ? std::string(best->name) : std::string();
}

std::string LevelText(std::uint32_t profileIdc, std::uint32_t constraints, std::uint32_t levelIdc) {
    // Level 1b: level_idc 9, or 11 with constraint_set3 in the profiles that
    // predate level_idc 9.
    const bool early = profileIdc == 66 || profileIdc == 77 || profileIdc == 88;
    if (levelIdc == 9 || (levelIdc == 11 && early && (constraints & ConstraintSet(3)))) return "1b";
    return std::to_string(levelIdc / 10) + "." + std::to_string(levelIdc % 10);
}

// The profiles whose SPS carries chroma format, bit depths and scaling matrices.
bool HasChromaSyntax(std::uint32_t profileIdc) {
    constexpr std::uint32_t kProfiles[] = {100, 110, 122, 244, 44, 83, 86, 118, 128, 138, 139, 134, 135};
    return std::find(std::begin(kProfiles), std::end(kProfiles), profileIdc) != std::end(kProfiles);
}

std::string ChromaText(std::uint32_t chromaFormatIdc, bool separatePlanes) {
    switch (chromaFormatIdc) {
        case 0: return "4:0:0 (monochrome)";
        case 1: return "4:2:0";
        case 2: return "4:2:2";
        default: return separatePlanes ? "4:4:4 (separate colour planes)" : "4:4:4";
    }
}

// A scaling list is read for its length only; false when a delta is out of range.
bool SkipScalingList(BitReader& r, unsigned size) {
    std::int32_t lastScale = 8;
    std::int32_t nextScale = 8;
    for (unsigned j = 0; j < size && r.Ok(); ++j) {
        if (nextScale != 0) {
            const std::int32_t delta = r.ReadSe();
            if (delta < -128 || delta > 127) return false;
            nextScale = (lastScale + delta + 256) % 256;
        }
        lastScale = nextScale == 0 ? lastScale : nextScale;
    }
    return true;
}

// chroma_format_idc ... seq_scaling_matrix_present_flag and the lists.
bool ReadChromaFormat(BitReader& r, std::uint32_t profileIdc, H264ChromaFormat& c) {
    if (HasChromaSyntax(profileIdc)) {
        c.chromaFormatIdc = r.ReadUe();
        if (c.chromaFormatIdc > 3) return false;
        if (c.chromaFormatIdc == 3) c.separateColourPlane = r.ReadFlag();
        const std::uint32_t lumaMinus8 = r.ReadUe();
        const std::uint32_t chromaMinus8 = r.ReadUe();
        if (lumaMinus8 > 6 || chromaMinus8 > 6) return false;
        c.bitDepthLuma = 8 + lumaMinus8;
        c.bitDepthChroma = 8 + chromaMinus8;
        r.ReadFlag();  // qpprime_y_zero_transform_bypass_flag
        c.scalingMatrixPresent = r.ReadFlag();
        if (c.scalingMatrixPresent) {
            const unsigned lists = c.chromaFormatIdc != 3 ? 8 : 12;
            for (unsigned i = 0; i < lists && r.Ok(); ++i)
                if (r.ReadFlag() && !SkipScalingList(r, i < 6 ? 16 : 64)) return false;
        }
    }
    c.text = ChromaText(c.chromaFormatIdc, c.separateColourPlane);
    return true;
}

bool ReadFrameOrdering(BitReader& r, H264FrameOrdering& o) {
    const std::uint32_t frameNumMinus4 = r.ReadUe();
    if (frameNumMinus4 > 12) return false;
    o.log2MaxFrameNum = frameNumMinus4 + 4;
    o.picOrderCntType = r.ReadUe();
    if (o.picOrderCntType == 0) {
        const std::uint32_t lsbMinus4 = r.ReadUe();
        if (lsbMinus4 > 12) return false;
        o.log2MaxPicOrderCntLsb = lsbMinus4 + 4;
    } else if (o.picOrderCntType == 1) {
        o.deltaPicOrderAlwaysZero = r.ReadFlag();
        o.offsetForNonRefPic = r.ReadSe();
        o.offsetForTopToBottomField = r.ReadSe();
        o.refFramesInPicOrderCntCycle = r.ReadUe();
        if (o.refFramesInPicOrderCntCycle > 255) return false;
        for (std::uint32_t i = 0; i < o.refFramesInPicOrderCntCycle && r.Ok(); ++i) r.ReadSe();
    } else if (o.picOrderCntType != 2) {
        return false;
    }
    o.maxNumRefFrames = r.ReadUe();
    o.gapsInFrameNumAllowed = r.ReadFlag();
    return o.maxNumRefFrames <= 16;
}

// Far beyond the largest picture of any level; keeps the sizes in 32 bits.
constexpr std::uint64_t kMaxMbsPerSide = 0x10000;

bool ReadPictureSize(BitReader& r, const H264ChromaFormat& chroma, H264PictureSize& p) {
    p.widthInMbs = r.ReadUe() + 1;
    p.heightInMapUnits = r.ReadUe() + 1;
    p.frameMbsOnly = r.ReadFlag();
    if (!p.frameMbsOnly) p.mbAdaptiveFrameField = r.ReadFlag();
    p.direct8x8Inference = r.ReadFlag();
    p.cropped = r.ReadFlag();
    std::uint64_t left = 0, right = 0, top = 0, bottom = 0;
    if (p.cropped) {
        left = r.ReadUe();
        right = r.ReadUe();
        top = r.ReadUe();
        bottom = r.ReadUe();
    }
    const std::uint64_t frameHeightInMbs = (p.frameMbsOnly ? 1u : 2u) * std::uint64_t{p.heightInMapUnits};
    if (p.widthInMbs == 0 || p.widthInMbs > kMaxMbsPerSide || frameHeightInMbs > kMaxMbsPerSide) return false;
    p.codedWidth = p.widthInMbs * 16;
    p.codedHeight = static_cast<std::uint32_t>(frameHeightInMbs * 16);

    // Crop units: one chroma sample, doubled vertically for field coding.
    const bool chromaArray = chroma.chromaFormatIdc != 0 && !chroma.separateColourPlane;
    const std::uint64_t subWidth = chromaArray && chroma.chromaFormatIdc != 3 ? 2 : 1;
    const std::uint64_t subHeight = chromaArray && chroma.chromaFormatIdc == 1 ? 2 : 1;
    const std::uint64_t unitY = subHeight * (p.frameMbsOnly ? 1 : 2);
    if ((left + right) * subWidth >= p.codedWidth || (top + bottom) * unitY >= p.codedHeight) return false;
    p.cropLeft = static_cast<std::uint32_t>(left * subWidth);
    p.cropRight = static_cast<std::uint32_t>(right * subWidth);
    p.cropTop = static_cast<std::uint32_t>(top * unitY);
    p.cropBottom = static_cast<std::uint32_t>(bottom * unitY);
    p.displayWidth = p.codedWidth - p.cropLeft - p.cropRight;
    p.displayHeight = p.codedHeight - p.cropTop - p.cropBottom;
    return true;
}

// Sample aspect ratios of aspect_ratio_idc 1 to 16.
struct AspectRow {
    std::uint32_t idc;
    std::uint32_t width;
    std::uint32_t height;
};
constexpr AspectRow kSampleAspects[] = {
    {1, 1, 1},    {2, 12, 11},  {3, 10, 11},  {4, 16, 11},   {5, 40, 33}, {6, 24, 11},
    {7, 20, 11},  {8, 32, 11},  {9, 80, 33},  {10, 18, 11},  {11, 15, 11}, {12, 64, 33},
    {13, 160, 99}, {14, 4, 3},  {15, 3, 2},   {16, 2, 1},
};
constexpr std::uint32_t kExtendedSar = 255;

// hrd_parameters(): read for its length only.
bool SkipHrdParameters(BitReader& r) {
    const std::uint32_t cpbCount = r.ReadUe() + 1;
    if (cpbCount > 32) return false;
    r.SkipBits(4 + 4);  // bit_rate_scale, cpb_size_scale
    for (std::uint32_t i = 0; i < cpbCount && r.Ok(); ++i) {
        r.ReadUe();  // bit_rate_value_minus1
        r.ReadUe();  // cpb_size_value_minus1
        r.ReadFlag();  // cbr_flag
    }
    r.SkipBits(4 * 5);  // the delay and time offset lengths
    return true;
}

// vui_parameters(); the sample aspect and the timing are kept.
bool ReadVui(BitReader& r, H264Vui& vui) {
    if (r.ReadFlag()) {  // aspect_ratio_info_present_flag
        H264SampleAspect aspect;
        aspect.aspectRatioIdc = r.ReadBits(8);
        if (aspect.aspectRatioIdc == kExtendedSar) {
            aspect.width = r.ReadBits(16);
            aspect.height = r.ReadBits(16);
        }
        for (const AspectRow& row : kSampleAspects) {
            if (row.idc != aspect.aspectRatioIdc) continue;
            aspect.width = row.width;
            aspect.height = row.height;
        }
        if (!r.Ok()) return false;
        vui.sampleAspect = aspect;
    }
    if (r.ReadFlag()) r.ReadFlag();  // overscan_info_present_flag, overscan_appropriate_flag
    if (r.ReadFlag()) {              // video_signal_type_present_flag
        r.SkipBits(3 + 1);           // video_format, video_full_range_flag
        if (r.ReadFlag()) r.SkipBits(3 * 8);  // colour primaries, transfer, matrix
    }
    if (r.ReadFlag()) {  // chroma_loc_info_present_flag
        r.ReadUe();
        r.ReadUe();
    }
    if (r.ReadFlag()) {  // timing_info_present_flag
        H264Timing timing;
        timing.numUnitsInTick = r.ReadBits(32);
        timing.timeScale = r.ReadBits(32);
        timing.fixedFrameRate = r.ReadFlag();
        if (!r.Ok() || timing.numUnitsInTick == 0 || timing.timeScale == 0) return false;
        // A tick is a field period: a frame lasts two.
        timing.framesPerSecond = timing.timeScale / (2.0 * timing.numUnitsInTick);
        vui.timing = timing;
    }
    const bool nalHrd = r.ReadFlag();
    if (nalHrd && !SkipHrdParameters(r)) return false;
    const bool vclHrd = r.ReadFlag();
    if (vclHrd && !SkipHrdParameters(r)) return false;
    if (nalHrd || vclHrd) r.ReadFlag();  // low_delay_hrd_flag
    r.ReadFlag();                        // pic_struct_present_flag
    if (r.ReadFlag()) {                  // bitstream_restriction_flag
        r.ReadFlag();  // motion_vectors_over_pic_boundaries_flag
        for (int i = 0; i < 6; ++i) r.ReadUe();  // byte, bit and vector limits, reordering, buffering
    }
    return r.Ok();
}

// The SPS body after its NAL header byte; false when it ends early or holds nonsense.
bool ReadSps(BitReader& r, H264Sps& sps) {
    sps.profileIdc = r.ReadBits(8);
    sps.constraintFlags = r.ReadBits(8);
    sps.levelIdc = r.ReadBits(8);
    if (!r.Ok()) return false;
    sps.profileName = ProfileText(sps.profileIdc, sps.constraintFlags);
    sps.levelText = LevelText(sps.profileIdc, sps.constraintFlags, sps.levelIdc);
    if (sps.profileName.empty()) return false;  // its syntax is unknown
    sps.seqParameterSetId = r.ReadUe();
    if (sps.seqParameterSetId > 31) return false;

    H264ChromaFormat chroma;
    if (!ReadChromaFormat(r, sps.profileIdc, chroma) || !r.Ok()) return false;
    sps.chroma = chroma;
    H264FrameOrdering ordering;
    if (!ReadFrameOrdering(r, ordering) || !r.Ok()) return false;
    sps.ordering = ordering;
    H264PictureSize picture;
    if (!ReadPictureSize(r, chroma, picture) || !r.Ok()) return false;
    sps.picture = picture;
    if (r.ReadFlag()) {  // vui_parameters_present_flag
        H264Vui vui;
        const bool complete = ReadVui(r, vui);
        sps.vui = vui;
        if (!complete) return false;
    }
    return r.ReadFlag() && r.Ok();  // rbsp_stop_one_bit
}

// Bytes of a NAL unit without the zeros that pad it up to the next start code.
ByteSpan WithoutTrailingZeros(ByteSpan nal) {
    while (!nal.empty() && nal.back() == 0) nal = nal.first(nal.size() - 1);
    return nal;
}

bool AllZero(ByteSpan bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

void CountNal(ByteSpan nal, H264ParameterSets& sets) {
    if (nal.empty()) return;
    if (nal[0] & 0x80) sets.truncated = true;  // forbidden_zero_bit
    switch (nal[0] & 0x1F) {
        case kNalSps:
            if (sets.spsCount++ == 0) {
                sets.sps = DecodeH264Sps(nal);
                sets.truncated = sets.truncated || sets.sps->truncated;
            }
            break;
        case kNalPps:
            // Its header byte alone: the set itself was cut off.
            if (nal.size() < 2) sets.truncated = true;
            ++sets.ppsCount;
            break;
        default: ++sets.otherNalCount; break;
    }
}

bool StartsWithStartCode(ByteSpan b) {
    return (b.size() >= 3 && b[0] == 0 && b[1] == 0 && b[2] == 1) ||
           (b.size() >= 4 && b[0] == 0 && b[1] == 0 && b[2] == 0 && b[3] == 1);
}

// The position just after the next 00 00 01 at or after from, or size.
std::size_t AfterStartCode(ByteSpan b, std::size_t from) {
    for (std::size_t i = from; i + 3 <= b.size(); ++i)
        if (b[i] == 0 && b[i + 1] == 0 && b[i + 2] == 1) return i + 3;
    return b.size();
}

void ReadAnnexB(ByteSpan b, H264ParameterSets& sets) {
    std::size_t start = AfterStartCode(b, 0);
    while (start < b.size()) {
        const std::size_t next = AfterStartCode(b, start);
        const std::size_t end = next == b.size() ? b.size() : next - 3;
        CountNal(WithoutTrailingZeros(b.subspan(start, end - start)), sets);
        start = next;
    }
}

void ReadLengthPrefixed(ByteSpan b, H264ParameterSets& sets) {
    std::size_t pos = 0;
    while (pos < b.size() && !AllZero(b.subspan(pos))) {  // zeros: padding to a whole DWORD
        if (b.size() - pos < 2) {
            sets.truncated = true;
            return;
        }
        const std::size_t length = ReadBe(b, pos, 2);
        pos += 2;
        const std::size_t present = std::min(length, b.size() - pos);
        if (length == 0 || present < length) sets.truncated = true;
        CountNal(b.subspan(pos, present), sets);
        pos += present;
    }
}

bool LooksLengthPrefixed(ByteSpan b) {
    if (b.size() < 3 || ReadBe(b, 0, 2) == 0) return false;
    const std::uint8_t header = b[2];
    const unsigned type = header & 0x1F;
    return (header & 0x80) == 0 && (type == kNalSps || type == kNalPps);
}

std::string Decimals(double value, int places) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", places, value);
    return text;
}

void AppendSpsLines(const H264Sps& sps, TextLines& lines) {
    // An SPS cut before its level says nothing of its profile either: no
    // half line, the cut is told below.
    if (!sps.levelText.empty())
        lines.push_back("H.264 " +
                        (sps.profileName.empty() ? "profile_idc " + std::to_string(sps.profileIdc)
                                                 : sps.profileName + " profile") +
                        ", level " + sps.levelText);
    if (sps.picture) {
        const H264PictureSize& p = *sps.picture;
        std::string size = "Coded size = " + std::to_string(p.codedWidth) + "x" + std::to_string(p.codedHeight);
        if (p.cropped)
            size += ", displayed " + std::to_string(p.displayWidth) + "x" + std::to_string(p.displayHeight) +
                    " (crop " + std::to_string(p.cropLeft) + "," + std::to_string(p.cropTop) + "," +
                    std::to_string(p.cropRight) + "," + std::to_string(p.cropBottom) + ")";
        lines.push_back(size);
        lines.push_back(p.frameMbsOnly           ? "Picture coding = frames only"
                        : p.mbAdaptiveFrameField ? "Picture coding = frames or fields, adaptive per macroblock pair"
                                                 : "Picture coding = frames or fields");
    }
    if (sps.chroma) {
        const H264ChromaFormat& c = *sps.chroma;
        std::string depth = c.bitDepthLuma == c.bitDepthChroma
                                ? std::to_string(c.bitDepthLuma) + " bits"
                                : "luma " + std::to_string(c.bitDepthLuma) + " bits, chroma " +
                                      std::to_string(c.bitDepthChroma) + " bits";
        lines.push_back("Chroma format = " + c.text + ", " + depth);
    }
    if (sps.ordering)
        lines.push_back("Reference frames = " + std::to_string(sps.ordering->maxNumRefFrames) +
                        ", picture order count type " + std::to_string(sps.ordering->picOrderCntType));
    if (sps.vui && sps.vui->sampleAspect) {
        const H264SampleAspect& a = *sps.vui->sampleAspect;
        lines.push_back(a.width == 0 || a.height == 0
                            ? "Sample aspect ratio unspecified (code " + std::to_string(a.aspectRatioIdc) + ")"
                            : "Sample aspect ratio = " + std::to_string(a.width) + ":" + std::to_string(a.height));
    }
    if (sps.vui && sps.vui->timing)
        lines.push_back("Frame rate = " + Decimals(sps.vui->timing->framesPerSecond, 2) + " fps (time_scale " +
                        std::to_string(sps.vui->timing->timeScale) + ", num_units_in_tick " +
                        std::to_string(sps.vui->timing->numUnitsInTick) + ")");
}

}  // namespace

H264Sps DecodeH264Sps(ByteSpan nalUnit) {
    H264Sps sps;
    if (nalUnit.empty() || (nalUnit[0] & 0x1F) != kNalSps) {
        sps.truncated = true;
        return sps;
    }
    const std::vector<std::uint8_t> rbsp = RemoveEmulationPrevention(nalUnit.subspan(1));
    BitReader r(rbsp);
    sps.truncated = !ReadSps(r, sps);
    return sps;
}

H264ParameterSets DecodeH264ParameterSets(ByteSpan sequenceHeader, std::optional<std::uint32_t> nalLengthSize) {
    H264ParameterSets sets;
    if (StartsWithStartCode(sequenceHeader)) {
        sets.layout = H264Layout::AnnexB;
        ReadAnnexB(sequenceHeader, sets);
    } else if (LooksLengthPrefixed(sequenceHeader)) {
        sets.layout = H264Layout::LengthPrefixed;
        if (nalLengthSize == 1u || nalLengthSize == 2u || nalLengthSize == 4u) sets.nalLengthSize = nalLengthSize;
        ReadLengthPrefixed(sequenceHeader, sets);
    } else {
        sets.truncated = !sequenceHeader.empty();
    }
    // A decoder starts from both kinds of parameter set.
    if (sets.spsCount == 0 || sets.ppsCount == 0) sets.truncated = sets.truncated || !sequenceHeader.empty();
    return sets;
}

H264ParameterSets DecodeMpeg2VideoInfoH264(ByteSpan formatBlock) {
    constexpr std::size_t kFlags = 128;  // dwFlags: the NAL length size for avc1
    const SequenceHeaderBytes header = Mpeg2VideoInfoSequenceHeader(formatBlock);
    std::optional<std::uint32_t> flags;
    if (formatBlock.size() >= kFlags + 4) flags = ReadLe32(formatBlock, kFlags);
    H264ParameterSets sets = DecodeH264ParameterSets(header.bytes, flags);
    sets.truncated = sets.truncated || header.truncated;
    return sets;
}

TextLines H264Lines(const H264ParameterSets& sets) {
    TextLines lines;
    if (sets.sps) AppendSpsLines(*sets.sps, lines);
    if (sets.nalLengthSize) lines.push_back("NAL length size = " + std::to_string(*sets.nalLengthSize));
    std::string count = "Parameter sets = " + std::to_string(sets.spsCount) + " SPS, " +
                        std::to_string(sets.ppsCount) + " PPS";
    if (sets.otherNalCount) count += ", " + std::to_string(sets.otherNalCount) + " other NAL units";
    switch (sets.layout) {
        case H264Layout::LengthPrefixed: count += " (length-prefixed)"; break;
        case H264Layout::AnnexB: count += " (start codes)"; break;
        case H264Layout::Unknown: count += " (no start code nor length prefix)"; break;
    }
    lines.push_back(count);
    if (sets.truncated) lines.push_back(FormatRes(Str::DetailTruncated, {"H.264 parameter sets"}));
    return lines;
}

}  // namespace quorvel
