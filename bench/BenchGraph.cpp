#include "bench/BenchGraph.hpp"

#include <array>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace quorvel::bench {
namespace {

using testing::BinaryWriter;
using testing::Bytes;
using testing::ConnectionSpec;
using testing::FilterSpec;
using testing::FourDigits;
using testing::GraphStream;
using testing::MediaTypeSpec;
using testing::TenDigits;

constexpr std::uint32_t Fourcc(const char (&code)[5]) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(code[0])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[3])) << 24;
}

// The text renderers save, a 32-bit field and their settings (defaults: zeros).
Bytes RendererData(std::uint32_t countField, std::size_t settingsBytes) {
    BinaryWriter w;
    w.Utf16(u"00000000000 ").U32(countField).Zeros(settingsBytes);
    return w.take();
}

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
    constexpr Guid kVideoDecoderCategory = MakeGuid("{4A69B442-28BE-4991-969C-B500ADF5D8A8}");
    constexpr Guid kVideoEncoderCategory = MakeGuid("{33D9A760-90C8-11D0-BD43-00A0C911CE86}");
    constexpr Guid kWmvDecoderDmo = MakeGuid("{82D353DF-90BD-4382-8BC2-3F6192B76E34}");
    constexpr Guid kMpeg43DecoderDmo = MakeGuid("{CBA9E78B-49A3-49EA-93D4-6BCBA8C4DE07}");
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
            f.clsid = "{E436EBB5-524F-11CE-9F53-0020AF0BA770}";
            f.filePart = "SOURCE \"C:\\Users\\Public\\Videos\\clip" + FourDigits(n) + ".avi\"";
            break;
        case 1:
            f.name = UniqueName("AVI Splitter", n);
            f.clsid = "{1B544C20-FD0B-11CE-8C63-00AA0044B51E}";
            break;
        case 2:
            f.name = UniqueName(n % 2 ? "Mpeg43 Decoder DMO" : "WMVideo Decoder DMO", n);
            f.clsid = "{94297043-BD82-4DFD-B0DE-8177739C6D20}";
            f.data = testing::DmoWrapperData(n % 2 ? kMpeg43DecoderDmo : kWmvDecoderDmo,
                                             n % 5 == 4 ? kVideoEncoderCategory : kVideoDecoderCategory,
                                             n % 3 == 0 ? 8 : 0);
            break;
        case 3:
            f.name = UniqueName("ACM Wrapper", n);
            f.clsid = "{6A08CF80-0E18-11CF-A24D-0020AFD79767}";
            f.data = testing::CodecWrapperData(kAcmTags[static_cast<std::size_t>(n) % kAcmTags.size()]);
            break;
        case 4:
            f.name = UniqueName("USB Video Device", n);
            f.clsid = "{17CCA71B-ECD7-11D0-B908-00A0C9223196}";
            f.data = testing::ProxyData(DevicePath(n));
            break;
        case 5:
            f.name = UniqueName("Video Compressor", n);
            f.clsid = "{D76E2820-1563-11CF-AC98-00AA004C0FA9}";
            f.data = testing::CodecWrapperData(kCompressors[static_cast<std::size_t>(n) % kCompressors.size()]);
            break;
        case 6:
            f.name = UniqueName("AVI Decompressor", n);
            f.clsid = "{CF49D4E0-1115-11CE-B03A-0020AF0BA770}";
            break;
        case 7:
            f.name = UniqueName("Color Space Converter", n);
            f.clsid = "{1643E180-90F5-11CE-97D5-00AA0055595A}";
            break;
        case 8:
            f.name = UniqueName("Video Renderer", n);
            f.clsid = "{B87BEB7B-8D29-423F-AE4D-6582C10175AC}";
            f.data = RendererData(392, 388);
            break;
        case 9:
            f.name = UniqueName("Default DirectSound Device", n);
            f.clsid = "{79376820-07D0-11CF-A24D-0020AFD79767}";
            f.data = RendererData(0, 12);
            break;
        case 10:
            f.name = UniqueName("SampleGrabber", n);
            f.clsid = "{C1F400A0-3F08-11D3-9F0B-006008039E37}";
            break;
        case 11:
            f.name = UniqueName("Smart Tee", n);
            f.clsid = "{CC58E280-8AA1-11D1-B3F1-00AA003761C5}";
            break;
        case 12:
            f.name = UniqueName("Infinite Pin Tee Filter", n);
            f.clsid = "{F8388A40-D5BB-11D0-BE5A-0080C706568E}";
            break;
        case 13:
            f.name = UniqueName("AVI Mux", n);
            f.clsid = "{E2510970-F137-11CE-8B67-00AA00A3F1A6}";
            break;
        case 14:
            f.name = UniqueName("File writer", n);
            f.clsid = "{8596E5F0-0DA5-11D0-BD21-00A0C911CE86}";
            f.filePart = "SINK \"D:\\Captures\\capture" + FourDigits(n) + ".avi\"";
            break;
        default:
            f.name = UniqueName("Enhanced Video Renderer", n);
            f.clsid = "{FA10746C-9B63-4B6C-BC49-FC300EA5F256}";
            f.data = RendererData(328, 324);
            break;
    }
    return f;
}

constexpr const char* kMediatypeVideo = "{73646976-0000-0010-8000-00AA00389B71}";
constexpr const char* kMediatypeAudio = "{73647561-0000-0010-8000-00AA00389B71}";
constexpr const char* kMediatypeStream = "{E436EB83-524F-11CE-9F53-0020AF0BA770}";
constexpr const char* kFormatVideoInfo = "{05589F80-C356-11CE-BF01-00AA0055595A}";
constexpr const char* kFormatWaveFormatEx = "{05589F81-C356-11CE-BF01-00AA0055595A}";
constexpr const char* kFormatNone = "{0F6417D6-C318-11D0-A43F-00A0C9223196}";
constexpr const char* kGuidNull = "{00000000-0000-0000-0000-000000000000}";

struct VideoKind {
    const char* subtype;
    std::uint16_t bitCount;
    std::uint32_t compression;
    bool compressed;
};

constexpr std::array<VideoKind, 6> kVideoKinds = {{
    {"{32595559-0000-0010-8000-00AA00389B71}", 16, Fourcc("YUY2"), false},
    {"{E436EB7D-524F-11CE-9F53-0020AF0BA770}", 24, 0, false},
    {"{47504A4D-0000-0010-8000-00AA00389B71}", 24, Fourcc("MJPG"), true},
    {"{3334504D-0000-0010-8000-00AA00389B71}", 24, Fourcc("MP43"), true},
    {"{30323449-0000-0010-8000-00AA00389B71}", 12, Fourcc("I420"), false},
    {"{44495658-0000-0010-8000-00AA00389B71}", 24, Fourcc("XVID"), true},
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
        t.subtype = "{E436EB7E-524F-11CE-9F53-0020AF0BA770}";
        t.format = testing::VideoInfoHeader(size.width, size.height, 32, 0);
        t.format.resize(t.format.size() + 12, 0);
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
    t.subtype = "{00000001-0000-0010-8000-00AA00389B71}";
    t.sampleSize = TenDigits(channels * 2u);
    t.formatType = kFormatWaveFormatEx;
    t.format = testing::WaveFormatEx(1, channels, kRates[static_cast<std::size_t>(n) % kRates.size()], 16);
    return t;
}

MediaTypeSpec Mp3() {
    MediaTypeSpec t;
    t.major = kMediatypeAudio;
    t.subtype = "{00000055-0000-0010-8000-00AA00389B71}";
    t.sampleSize = TenDigits(1);
    t.formatType = kFormatWaveFormatEx;
    BinaryWriter w;
    w.U16(0x0055).U16(2).U32(44100).U32(16000).U16(1).U16(0).U16(12);
    w.U16(1).U32(2).U16(417).U16(1).U16(1393);
    t.format = w.take();
    return t;
}

MediaTypeSpec Stream(const char* formatType, const char* subtype, std::uint64_t sampleSize) {
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
        c.type = Stream(kGuidNull, "{E436EB88-524F-11CE-9F53-0020AF0BA770}", 1);
    else
        c.type = Stream(kFormatNone, "{F4AEB342-0329-4FDD-A8FD-4AFF4926C978}", 65536);
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
    s.Clock(true, "{E436EBB1-524F-11CE-9F53-0020AF0BA770}");
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
