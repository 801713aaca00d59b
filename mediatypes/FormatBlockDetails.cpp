// What a format block says beyond its fixed fields, gathered by the kind of
// record: every decoder here reads the block through checked spans and
// never fails; a short or nonsense structure comes back marked truncated.
#include <algorithm>
#include <array>

#include "mediatypes/FormatDetails.hpp"

namespace quorvel {
namespace {

// Where each record keeps AvgTimePerFrame and its BITMAPINFOHEADER.
constexpr std::size_t kAvgTimePerFrame = 40;
constexpr std::size_t kBitmapInVideoInfo = 48;
constexpr std::size_t kBitmapInVideoInfo2 = 72;

// The codes under which H.264 travels in MPEG-2 video records.
constexpr std::array<std::uint32_t, 7> kH264Codes = {
    0x31637661,  // avc1
    0x31435641,  // AVC1
    0x34363268,  // h264
    0x34363248,  // H264
    0x34363278,  // x264
    0x34363258,  // X264
    0x43564144,  // DAVC
};

bool IsH264(std::optional<std::uint32_t> fourcc) {
    return fourcc && std::find(kH264Codes.begin(), kH264Codes.end(), *fourcc) != kH264Codes.end();
}

void VideoDetails(FormatBlockDetails& d, ByteSpan block, std::size_t bitmapAt) {
    if (block.size() >= kAvgTimePerFrame + 8) {
        const std::string rate = FrameRateText(ReadLeI64(block, kAvgTimePerFrame));
        if (!rate.empty()) d.frameRate = rate;
    }
    if (block.size() < bitmapAt + 40) return;
    BitmapDetails bitmap = DecodeBitmapDetails(block, bitmapAt);
    d.compressionName = bitmap.compressionName;
    if (!bitmap.masks.empty() || bitmap.paletteEntries != 0 || bitmap.truncated) d.bitmap = std::move(bitmap);
}

void WaveDetails(FormatBlockDetails& d, ByteSpan block) {
    if (block.size() < 18) return;
    switch (ReadLe16(block, 0)) {
        case 0xFFFE: d.extensible = DecodeWaveFormatExtensible(block); break;
        case 0x0055:
            if (ReadLe16(block, 16) != 0) d.mp3 = DecodeMpegLayer3Format(block);
            break;
        case 0x1610:
        case 0x00FF: d.aac = DecodeAacFormat(block); break;
        default: break;
    }
}

void SequenceDetails(FormatBlockDetails& d, const SequenceHeaderBytes& header) {
    if (header.declaredCount == 0) return;
    MpegVideoSequence sequence = DecodeMpegVideoSequence(header.bytes);
    sequence.truncated = sequence.truncated || header.truncated;
    d.mpegSequence = std::move(sequence);
}

}  // namespace

FormatBlockDetails DecodeFormatBlockDetails(FormatDecoder decoder, std::optional<std::uint32_t> subtypeFourcc,
                                            ByteSpan block) {
    FormatBlockDetails d;
    switch (decoder) {
        case FormatDecoder::VideoInfo: VideoDetails(d, block, kBitmapInVideoInfo); break;
        case FormatDecoder::VideoInfo2: VideoDetails(d, block, kBitmapInVideoInfo2); break;
        case FormatDecoder::Mpeg1Video:
            VideoDetails(d, block, kBitmapInVideoInfo);
            SequenceDetails(d, Mpeg1VideoInfoSequenceHeader(block));
            break;
        case FormatDecoder::Mpeg2Video:
            VideoDetails(d, block, kBitmapInVideoInfo2);
            if (IsH264(subtypeFourcc))
                d.h264 = DecodeMpeg2VideoInfoH264(block);
            else
                SequenceDetails(d, Mpeg2VideoInfoSequenceHeader(block));
            break;
        case FormatDecoder::AnalogVideo:
            if (block.size() >= kAvgTimePerFrame + 8) {
                const std::string rate = FrameRateText(ReadLeI64(block, kAvgTimePerFrame));
                if (!rate.empty()) d.frameRate = rate;
            }
            break;
        case FormatDecoder::WaveFormatEx: WaveDetails(d, block); break;
        case FormatDecoder::DvInfo:
        case FormatDecoder::None: break;
    }
    return d;
}

}  // namespace quorvel
