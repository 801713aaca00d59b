#include "bench/BenchGraph.hpp"

#include <array>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>

#include "tests/support/WellKnown.hpp"

namespace quorvel::bench {
namespace {

using namespace quorvel::wellknown;
using testing::Bytes;
using testing::ConnectionSpec;
using testing::FilterSpec;
using testing::FourDigits;
using testing::Fourcc;
using testing::GraphStream;
using testing::MediaTypeSpec;
using testing::RendererData;
using testing::TenDigits;

std::u16string Utf16FromAscii(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// A USB capture device path; the instance field differs between devices.
std::u16string DevicePath(int n) {
    static constexpr std::array<const char*, 4> kDevices = {
        "vid_046d&pid_0825&mi_00", "vid_046d&pid_082d&mi_00", "vid_045e&pid_0779&mi_00", "vid_1b80&pid_e012"};
    char instance[32];
    std::snprintf(instance, sizeof instance, "6&%x&0&%04d", 0x2c8a9b3 + n * 7919, n % 10000);
    const std::string path = std::string("\\\\?\\usb#") + kDevices[static_cast<std::size_t>(n) % kDevices.size()] +
                             "#" + instance + "#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";
    return Utf16FromAscii(path);
}

// The graph editor makes names unique by appending a four-digit number.
std::string UniqueName(const char* base, int n) { return n == 0 ? base : std::string(base) + " " + FourDigits(n); }

FilterSpec BenchFilter(int index) {
    constexpr Guid kVideoDecoder = MakeGuid(kDmoVideoDecoderCategory);
    constexpr Guid kVideoEncoder = MakeGuid(kDmoVideoEncoderCategory);
    constexpr Guid kWmvDecoder = MakeGuid(kWmvDecoderDmo);
    constexpr Guid kMpeg43Decoder = MakeGuid(kMpeg43DecoderDmo);
    static constexpr std::array<std::uint32_t, 4> kCompressors = {Fourcc("MJPG"), Fourcc("XVID"), Fourcc("DIVX"),
                                                                  Fourcc("cvid")};
    static constexpr std::array<std::uint16_t, 4> kAcmTags = {0x0055, 0x0002, 0x0031, 0x0161};

    const int kind = index % 16;
    const int n = index / 16;
    FilterSpec f;
    f.id = FourDigits(index + 1);
    switch (kind) {
        case 0:
            f.name = UniqueName("File Source (Async.)", n);
            f.clsid = kFileSourceAsync;
            f.filePart = "SOURCE \"C:\\Users\\Public\\Videos\\clip" + FourDigits(n) + ".avi\"";
            break;
        case 1:
            f.name = UniqueName("AVI Splitter", n);
            f.clsid = kAviSplitter;
            break;
        case 2:
            f.name = UniqueName(n % 2 ? "Mpeg43 Decoder DMO" : "WMVideo Decoder DMO", n);
            f.clsid = kDmoWrapper;
            f.data = testing::DmoWrapperData(n % 2 ? kMpeg43Decoder : kWmvDecoder,
                                             n % 5 == 4 ? kVideoEncoder : kVideoDecoder, n % 3 == 0 ? 8 : 0);
            break;
        case 3:
            f.name = UniqueName("ACM Wrapper", n);
            f.clsid = kAcmWrapper;
            f.data = testing::CodecWrapperData(kAcmTags[static_cast<std::size_t>(n) % kAcmTags.size()]);
            break;
        case 4:
            f.name = UniqueName("USB Video Device", n);
            f.clsid = kKsProxy;
            f.data = testing::ProxyData(DevicePath(n));
            break;
        case 5:
            f.name = UniqueName("Video Compressor", n);
            f.clsid = kAviCompressor;
            f.data = testing::CodecWrapperData(kCompressors[static_cast<std::size_t>(n) % kCompressors.size()]);
            break;
        case 6:
            f.name = UniqueName("AVI Decompressor", n);
            f.clsid = kAviDecompressor;
            break;
        case 7:
            f.name = UniqueName("Color Space Converter", n);
            f.clsid = kColorSpaceConverter;
            break;
        case 8:
            f.name = UniqueName("Video Renderer", n);
            f.clsid = kVideoMixingRenderer;
            f.data = RendererData(392, 388);
            break;
        case 9:
            f.name = UniqueName("Default DirectSound Device", n);
            f.clsid = kDirectSoundRenderer;
            f.data = RendererData(0, 12);
            break;
        case 10:
            f.name = UniqueName("SampleGrabber", n);
            f.clsid = kSampleGrabber;
            break;
        case 11:
            f.name = UniqueName("Smart Tee", n);
            f.clsid = kSmartTee;
            break;
        case 12:
            f.name = UniqueName("Infinite Pin Tee Filter", n);
            f.clsid = kInfiniteTee;
            break;
        case 13:
            f.name = UniqueName("AVI Mux", n);
            f.clsid = kAviMux;
            break;
        case 14:
            f.name = UniqueName("File writer", n);
            f.clsid = kFileWriter;
            f.filePart = "SINK \"D:\\Captures\\capture" + FourDigits(n) + ".avi\"";
            break;
        default:
            f.name = UniqueName("Enhanced Video Renderer", n);
            f.clsid = kEnhancedVideoRenderer;
            f.data = RendererData(328, 324);
            break;
    }
    return f;
}

struct VideoKind {
    std::string_view subtype;
    std::uint16_t bitCount;
    std::uint32_t compression;
    bool compressed;
};

constexpr std::array<VideoKind, 6> kVideoKinds = {{
    {kSubtypeYuy2, 16, Fourcc("YUY2"), false},
    {kSubtypeRgb24, 24, 0, false},
    {kSubtypeMjpg, 24, Fourcc("MJPG"), true},
    {kSubtypeMp43, 24, Fourcc("MP43"), true},
    {kSubtypeI420, 12, Fourcc("I420"), false},
    {kSubtypeXvid, 24, Fourcc("XVID"), true},
}};

struct FrameSize {
    std::int32_t width;
    std::int32_t height;
};
constexpr std::array<FrameSize, 4> kFrameSizes = {{{320, 240}, {640, 480}, {1280, 720}, {1920, 1080}}};

MediaTypeSpec Video(int n, bool withMasks) {
    const FrameSize size = kFrameSizes[static_cast<std::size_t>(n) % kFrameSizes.size()];
    MediaTypeSpec t;
    t.major = kMediatypeVideo;
    t.formatType = kFormatVideoInfo;
    if (withMasks) {  // RGB32 from a colour converter: 12 bytes of masks after the header
        t.subtype = kSubtypeRgb32;
        t.format = testing::Rgb32VideoInfo(size.width, size.height);
        t.sampleSize = TenDigits(static_cast<std::uint64_t>(size.width) * static_cast<std::uint64_t>(size.height) * 4);
        return t;
    }
    const VideoKind kind = kVideoKinds[static_cast<std::size_t>(n / 4) % kVideoKinds.size()];
    t.subtype = kind.subtype;
    t.format = testing::VideoInfoHeader(size.width, size.height, kind.bitCount, kind.compression,
                                        n % 3 == 0 ? 400000 : 333333);
    t.fixedSize = kind.compressed ? '0' : '1';
    t.temporal = kind.compressed && kind.compression != Fourcc("MJPG") ? '1' : '0';
    t.sampleSize = TenDigits(kind.compressed ? 0
                                             : static_cast<std::uint64_t>(size.width) *
                                                   static_cast<std::uint64_t>(size.height) * kind.bitCount / 8);
    return t;
}

MediaTypeSpec Pcm(int n) {
    static constexpr std::array<std::uint32_t, 3> kRates = {44100, 48000, 22050};
    const std::uint16_t channels = n % 4 == 3 ? 1 : 2;
    MediaTypeSpec t;
    t.major = kMediatypeAudio;
    t.subtype = kSubtypePcm;
    t.sampleSize = TenDigits(channels * 2u);
    t.formatType = kFormatWaveFormatEx;
    t.format = testing::WaveFormatEx(1, channels, kRates[static_cast<std::size_t>(n) % kRates.size()], 16);
    return t;
}

MediaTypeSpec Mp3() {
    MediaTypeSpec t;
    t.major = kMediatypeAudio;
    t.subtype = kSubtypeMp3;
    t.sampleSize = TenDigits(1);
    t.formatType = kFormatWaveFormatEx;
    t.format = testing::Mp3WaveFormat();
    return t;
}

MediaTypeSpec Stream(std::string_view formatType, std::string_view subtype, std::uint64_t sampleSize) {
    MediaTypeSpec t;
    t.major = kMediatypeStream;
    t.subtype = subtype;
    t.sampleSize = TenDigits(sampleSize);
    t.formatType = formatType;
    return t;
}

ConnectionSpec BenchConnection(int index, int filters) {
    static constexpr std::array<const char*, 6> kOutPins = {"Output", "XForm Out", "Capture", "out0", "Stream 00",
                                                            "Preview"};
    static constexpr std::array<const char*, 6> kInPins = {"Input", "XForm In", "VMR Input0", "in0", "input pin",
                                                           "Audio Input pin (rendered)"};
    ConnectionSpec c;
    c.from = index % filters + 1;
    c.to = (index * 7 + 1) % filters + 1;
    c.outPin = kOutPins[static_cast<std::size_t>(index) % kOutPins.size()];
    c.inPin = kInPins[static_cast<std::size_t>(index / 6) % kInPins.size()];
    // Per 20 connections: 8 VideoInfo of 88 bytes, 3 of 100, 5 PCM, 1 MP3,
    // 2 GUID_NULL streams, 1 FORMAT_None stream.
    const int slot = index % 20;
    const int n = index / 20;
    if (slot < 8)
        c.type = Video(n * 8 + slot, false);
    else if (slot < 11)
        c.type = Video(n * 3 + slot, true);
    else if (slot < 16)
        c.type = Pcm(n * 5 + slot);
    else if (slot == 16)
        c.type = Mp3();
    else if (slot < 19)
        c.type = Stream(kGuidNull, kSubtypeAvi, 1);
    else
        c.type = Stream(kFormatNone, kSubtypeBdaMpeg2Transport, 65536);
    return c;
}

}  // namespace

testing::Bytes BenchGraphStream(int filters, int connections) {
    if (filters < 1 || filters > 9999) throw std::invalid_argument("a graph holds 1 to 9999 filters");
    GraphStream s("0003");
    s.Filters();
    for (int i = 0; i < filters; ++i) s.Filter(BenchFilter(i));
    s.Connections();
    for (int i = 0; i < connections; ++i) s.Connection(BenchConnection(i, filters));
    s.Clock(true, kSystemClock);
    s.End();
    return s.bytes();
}

testing::Bytes BenchGraphFile(int filters, int connections) {
    return testing::GraphFile(BenchGraphStream(filters, connections), 2560);
}

bool HasUnpairedSurrogate(const testing::Bytes& bytes) {
    bool expectLow = false;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const unsigned unit = bytes[i] | (bytes[i + 1] << 8);
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (expectLow != low) return true;
        expectLow = high;
    }
    return expectLow;
}

}  // namespace quorvel::bench
