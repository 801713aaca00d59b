// quorvel-make-sample-graph: writes the sample graph the project ships
// (samples/capture.grf by default).
//
// Two branches share one graph, as a user testing a webcam and playing a clip
// side by side in the graph editor would leave it: a USB webcam previewed
// through an MJPEG compress/decompress round trip, and an AVI file played
// through a DMO video decoder and the ACM wrapper.  Between them the filters
// cover every colour of the report (PnP device, DMO, ACM/VfW codec, plain
// DirectShow) and the connections cover decoded format blocks, a block longer
// than its record, GUID_NULL and FORMAT_None.
//
// The output is byte-identical on every run: no time stamps anywhere, the
// container's included.
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/GraphBuilder.hpp"

namespace {

using namespace quorvel;
using namespace quorvel::testing;

// Major types, subtypes and format types, as the graph editor writes them.
constexpr const char* kMediatypeVideo = "{73646976-0000-0010-8000-00AA00389B71}";
constexpr const char* kMediatypeAudio = "{73647561-0000-0010-8000-00AA00389B71}";
constexpr const char* kMediatypeStream = "{E436EB83-524F-11CE-9F53-0020AF0BA770}";
constexpr const char* kMediatypeMidi = "{7364696D-0000-0010-8000-00AA00389B71}";
constexpr const char* kSubtypeAvi = "{E436EB88-524F-11CE-9F53-0020AF0BA770}";
constexpr const char* kSubtypeNone = "{E436EB8E-524F-11CE-9F53-0020AF0BA770}";
constexpr const char* kSubtypeMp43 = "{3334504D-0000-0010-8000-00AA00389B71}";
constexpr const char* kSubtypeYuy2 = "{32595559-0000-0010-8000-00AA00389B71}";
constexpr const char* kSubtypeMjpg = "{47504A4D-0000-0010-8000-00AA00389B71}";
constexpr const char* kSubtypeRgb24 = "{E436EB7D-524F-11CE-9F53-0020AF0BA770}";
constexpr const char* kSubtypeRgb32 = "{E436EB7E-524F-11CE-9F53-0020AF0BA770}";
constexpr const char* kSubtypeMp3 = "{00000055-0000-0010-8000-00AA00389B71}";
constexpr const char* kSubtypePcm = "{00000001-0000-0010-8000-00AA00389B71}";
constexpr const char* kFormatVideoInfo = "{05589F80-C356-11CE-BF01-00AA0055595A}";
constexpr const char* kFormatWaveFormatEx = "{05589F81-C356-11CE-BF01-00AA0055595A}";
constexpr const char* kFormatNone = "{0F6417D6-C318-11D0-A43F-00A0C9223196}";
constexpr const char* kGuidNull = "{00000000-0000-0000-0000-000000000000}";

constexpr std::uint32_t Fourcc(char a, char b, char c, char d) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(a)) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(d)) << 24;
}

// Renderers save "00000000000 " in UTF-16, a 32-bit field and their settings,
// here all defaults (zeros).  The video renderer's field counts the bytes
// after the text, its own four included; the DirectSound renderer's is 0.
Bytes RendererData(std::uint32_t countField, std::size_t settingsBytes) {
    BinaryWriter w;
    w.Utf16(u"00000000000 ").U32(countField).Zeros(settingsBytes);
    return w.take();
}

// MPEGLAYER3WAVEFORMAT: the WAVEFORMATEX of a 128 kbit/s, 44.1 kHz stereo MP3
// stream and its 12 bytes of codec data.
Bytes Mp3WaveFormat() {
    BinaryWriter w;
    w.U16(0x0055).U16(2).U32(44100).U32(16000).U16(1).U16(0).U16(12);
    w.U16(1).U32(2).U16(417).U16(1).U16(1393);  // wID, padding off, block size, frames per block, codec delay
    return w.take();
}

// VIDEOINFO of an RGB32 frame: the header and 12 bytes of unused colour masks,
// as the colour converter offers it (100 bytes).
Bytes Rgb32VideoInfo(std::int32_t width, std::int32_t height) {
    Bytes block = VideoInfoHeader(width, height, 32, 0, 333333);
    block.resize(block.size() + 12, 0);
    return block;
}

MediaTypeSpec Type(const char* major, const char* subtype, char fixedSize, char temporal, std::uint64_t sampleSize,
                   const char* formatType, Bytes format) {
    MediaTypeSpec t;
    t.major = major;
    t.subtype = subtype;
    t.fixedSize = fixedSize;
    t.temporal = temporal;
    t.sampleSize = TenDigits(sampleSize);
    t.formatType = formatType;
    t.format = std::move(format);
    return t;
}

Bytes SampleStream() {
    const std::u16string webcamPath =
        u"\\\\?\\usb#vid_046d&pid_0825&mi_02#6&2c8a9b3&0&0002#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";
    constexpr Guid kMpeg43DecoderDmo = MakeGuid("{CBA9E78B-49A3-49EA-93D4-6BCBA8C4DE07}");
    constexpr Guid kVideoDecoderCategory = MakeGuid("{4A69B442-28BE-4991-969C-B500ADF5D8A8}");

    const std::vector<FilterSpec> filters = {
        {"0001", "File Source (Async.)", "{E436EBB5-524F-11CE-9F53-0020AF0BA770}", R"(SOURCE "C:\Videos\clip.avi")",
         {}},
        {"0002", "AVI Splitter", "{1B544C20-FD0B-11CE-8C63-00AA0044B51E}", "", {}},
        {"0003", "Mpeg43 Decoder DMO", "{94297043-BD82-4DFD-B0DE-8177739C6D20}", "",
         DmoWrapperData(kMpeg43DecoderDmo, kVideoDecoderCategory)},
        {"0004", "ACM Wrapper", "{6A08CF80-0E18-11CF-A24D-0020AFD79767}", "", CodecWrapperData(0x0055)},
        {"0005", "Logitech HD Webcam C270", "{17CCA71B-ECD7-11D0-B908-00A0C9223196}", "", ProxyData(webcamPath)},
        {"0006", "MJPEG Compressor", "{D76E2820-1563-11CF-AC98-00AA004C0FA9}", "",
         CodecWrapperData(Fourcc('M', 'J', 'P', 'G'))},
        {"0007", "AVI Decompressor", "{CF49D4E0-1115-11CE-B03A-0020AF0BA770}", "", {}},
        {"0008", "Color Space Converter", "{1643E180-90F5-11CE-97D5-00AA0055595A}", "", {}},
        {"0009", "Video Renderer", "{B87BEB7B-8D29-423F-AE4D-6582C10175AC}", "", RendererData(392, 388)},
        {"0010", "Default DirectSound Device", "{79376820-07D0-11CF-A24D-0020AFD79767}", "", RendererData(0, 12)},
        {"0011", "Default MidiOut Device", "{07B65360-C445-11CE-AFDE-00AA006C14F4}", "", {}},
    };

    const std::vector<ConnectionSpec> connections = {
        // Playback branch: the file, its splitter, then video, audio and MIDI.
        {1, "Output", 2, "input pin", Type(kMediatypeStream, kSubtypeAvi, '1', '0', 1, kGuidNull, {})},
        {2, "Stream 00", 3, "in0",
         Type(kMediatypeVideo, kSubtypeMp43, '0', '1', 0, kFormatVideoInfo,
              VideoInfoHeader(640, 352, 24, Fourcc('M', 'P', '4', '3'), 400000))},
        {3, "out0", 9, "VMR Input1",
         Type(kMediatypeVideo, kSubtypeYuy2, '1', '0', 450560, kFormatVideoInfo,
              VideoInfoHeader(640, 352, 16, Fourcc('Y', 'U', 'Y', '2'), 400000))},
        {2, "Stream 01", 4, "XForm In",
         Type(kMediatypeAudio, kSubtypeMp3, '1', '0', 1, kFormatWaveFormatEx, Mp3WaveFormat())},
        {4, "XForm Out", 10, "Audio Input pin (rendered)",
         Type(kMediatypeAudio, kSubtypePcm, '1', '0', 4, kFormatWaveFormatEx, WaveFormatEx(1, 2, 44100, 16))},
        {2, "Stream 02", 11, "Input", Type(kMediatypeMidi, kSubtypeNone, '1', '0', 1, kFormatNone, {})},
        // Capture branch: the webcam seen through an MJPEG round trip.
        {5, "Capture", 6, "Input",
         Type(kMediatypeVideo, kSubtypeYuy2, '1', '0', 614400, kFormatVideoInfo,
              VideoInfoHeader(640, 480, 16, Fourcc('Y', 'U', 'Y', '2')))},
        {6, "Output", 7, "XForm In",
         Type(kMediatypeVideo, kSubtypeMjpg, '0', '0', 0, kFormatVideoInfo,
              VideoInfoHeader(640, 480, 24, Fourcc('M', 'J', 'P', 'G')))},
        {7, "XForm Out", 8, "Input",
         Type(kMediatypeVideo, kSubtypeRgb24, '1', '0', 921600, kFormatVideoInfo, VideoInfoHeader(640, 480, 24, 0))},
        {8, "XForm Out", 9, "VMR Input0",
         Type(kMediatypeVideo, kSubtypeRgb32, '1', '0', 1228800, kFormatVideoInfo, Rgb32VideoInfo(640, 480))},
    };

    GraphStream s("0003");
    s.Filters();
    for (const FilterSpec& f : filters) s.Filter(f);
    s.Connections();
    for (const ConnectionSpec& c : connections) s.Connection(c);
    s.Clock(true, "{E436EBB1-524F-11CE-9F53-0020AF0BA770}");  // the system clock
    s.End();
    return s.bytes();
}

// A compound document (version 3, 512-byte sectors) holding the graph as its
// one stream, "ActiveMovieGraph", as the graph editor saves it.  Sector 0 is
// the FAT, sector 1 the directory, the stream follows from sector 2.  A stream
// of 4096 bytes or more lives in regular sectors, so no mini stream is needed.
Bytes CompoundDocument(const Bytes& stream) {
    constexpr std::size_t kSector = 512;
    constexpr std::uint32_t kFreeSect = 0xFFFFFFFF;
    constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
    constexpr std::uint32_t kFatSect = 0xFFFFFFFD;
    constexpr std::uint32_t kNoStream = 0xFFFFFFFF;
    constexpr std::size_t kMiniStreamCutoff = 4096;

    const std::size_t streamSectors = (stream.size() + kSector - 1) / kSector;
    if (stream.size() < kMiniStreamCutoff) throw std::runtime_error("graph stream too short for regular sectors");
    if (2 + streamSectors > kSector / 4) throw std::runtime_error("graph stream too long for one FAT sector");

    BinaryWriter header;
    header.U32(0xE011CFD0).U32(0xE11AB1A1).Zeros(16);  // signature, CLSID
    header.U16(0x003E).U16(0x0003).U16(0xFFFE).U16(9).U16(6).Zeros(6);
    header.U32(0).U32(1).U32(1).U32(0);  // directory sectors (0 in version 3), FAT sectors, first directory sector
    header.U32(static_cast<std::uint32_t>(kMiniStreamCutoff)).U32(kEndOfChain).U32(0);  // no mini FAT
    header.U32(kEndOfChain).U32(0);                                                      // no DIFAT sectors
    header.U32(0);                                                                       // the FAT is sector 0
    for (int i = 1; i < 109; ++i) header.U32(kFreeSect);

    BinaryWriter fat;
    fat.U32(kFatSect).U32(kEndOfChain);
    for (std::size_t i = 0; i < streamSectors; ++i)
        fat.U32(i + 1 == streamSectors ? kEndOfChain : static_cast<std::uint32_t>(2 + i + 1));
    while (fat.bytes().size() < kSector) fat.U32(kFreeSect);

    const auto entry = [](BinaryWriter& w, std::u16string_view name, std::uint8_t type, std::uint32_t child,
                          std::uint32_t start, std::uint32_t size) {
        BinaryWriter nameBytes;
        if (!name.empty()) nameBytes.Utf16(name).U16(0);
        w.Raw(nameBytes.bytes()).Zeros(64 - nameBytes.bytes().size());
        w.U16(static_cast<std::uint16_t>(nameBytes.bytes().size())).U8(type).U8(type == 0 ? 0 : 1);  // black
        w.U32(kNoStream).U32(kNoStream).U32(child);  // left and right siblings, child
        w.Zeros(16).U32(0).Zeros(16);               // CLSID, state bits, no time stamps
        w.U32(start).U32(size).U32(0);
    };
    BinaryWriter directory;
    entry(directory, u"Root Entry", 5, 1, kEndOfChain, 0);
    entry(directory, u"ActiveMovieGraph", 2, kNoStream, 2, static_cast<std::uint32_t>(stream.size()));
    entry(directory, u"", 0, kNoStream, 0, 0);
    entry(directory, u"", 0, kNoStream, 0, 0);

    Bytes file = header.take();
    const Bytes& f = fat.bytes();
    const Bytes& d = directory.bytes();
    file.insert(file.end(), f.begin(), f.end());
    file.insert(file.end(), d.begin(), d.end());
    file.insert(file.end(), stream.begin(), stream.end());
    file.resize((2 + 1 + streamSectors) * kSector, 0);
    return file;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2 || (argc == 2 && (std::string(argv[1]) == "-h" || std::string(argv[1]) == "--help"))) {
        std::cerr << "Usage: quorvel-make-sample-graph [FILE]   (default: samples/capture.grf)\n";
        return 2;
    }
    const std::string path = argc == 2 ? argv[1] : "samples/capture.grf";
    try {
        const Bytes file = CompoundDocument(SampleStream());
        const std::filesystem::path parent = std::filesystem::path(path).parent_path();
        if (!parent.empty()) std::filesystem::create_directories(parent);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        out.close();
        if (!out) throw std::runtime_error("cannot write " + path);
        std::cout << path << ": " << file.size() << " bytes\n";
    } catch (const std::exception& e) {
        std::cerr << "quorvel-make-sample-graph: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
