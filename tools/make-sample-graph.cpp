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
#include "tests/support/WellKnown.hpp"

namespace {

using namespace quorvel;
using namespace quorvel::testing;
using namespace quorvel::wellknown;

MediaTypeSpec Type(std::string_view major, std::string_view subtype, char fixedSize, char temporal,
                   std::uint64_t sampleSize, std::string_view formatType, Bytes format) {
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
    constexpr Guid kMpeg43 = MakeGuid(kMpeg43DecoderDmo);
    constexpr Guid kVideoDecoder = MakeGuid(kDmoVideoDecoderCategory);

    const std::vector<FilterSpec> filters = {
        {"0001", "File Source (Async.)", kFileSourceAsync, R"(SOURCE "C:\Videos\clip.avi")", {}},
        {"0002", "AVI Splitter", kAviSplitter, "", {}},
        {"0003", "Mpeg43 Decoder DMO", kDmoWrapper, "", DmoWrapperData(kMpeg43, kVideoDecoder)},
        {"0004", "ACM Wrapper", kAcmWrapper, "", CodecWrapperData(0x0055)},
        {"0005", "Logitech HD Webcam C270", kKsProxy, "", ProxyData(kWebcamDevicePath)},
        {"0006", "MJPEG Compressor", kAviCompressor, "", CodecWrapperData(Fourcc("MJPG"))},
        {"0007", "AVI Decompressor", kAviDecompressor, "", {}},
        {"0008", "Color Space Converter", kColorSpaceConverter, "", {}},
        {"0009", "Video Renderer", kVideoMixingRenderer, "", RendererData(392, 388)},
        {"0010", "Default DirectSound Device", kDirectSoundRenderer, "", RendererData(0, 12)},
        {"0011", "Default MidiOut Device", kMidiRenderer, "", {}},
    };

    const std::vector<ConnectionSpec> connections = {
        // Playback branch: the file, its splitter, then video, audio and MIDI.
        {1, "Output", 2, "input pin", Type(kMediatypeStream, kSubtypeAvi, '1', '0', 1, kGuidNull, {})},
        {2, "Stream 00", 3, "in0",
         Type(kMediatypeVideo, kSubtypeMp43, '0', '1', 0, kFormatVideoInfo,
              VideoInfoHeader(640, 352, 24, Fourcc("MP43"), 400000))},
        {3, "out0", 9, "VMR Input1",
         Type(kMediatypeVideo, kSubtypeYuy2, '1', '0', 450560, kFormatVideoInfo,
              VideoInfoHeader(640, 352, 16, Fourcc("YUY2"), 400000))},
        {2, "Stream 01", 4, "XForm In",
         Type(kMediatypeAudio, kSubtypeMp3, '1', '0', 1, kFormatWaveFormatEx, Mp3WaveFormat())},
        {4, "XForm Out", 10, "Audio Input pin (rendered)",
         Type(kMediatypeAudio, kSubtypePcm, '1', '0', 4, kFormatWaveFormatEx, WaveFormatEx(1, 2, 44100, 16))},
        {2, "Stream 02", 11, "Input", Type(kMediatypeMidi, kSubtypeNone, '1', '0', 1, kFormatNone, {})},
        // Capture branch: the webcam seen through an MJPEG round trip.
        {5, "Capture", 6, "Input",
         Type(kMediatypeVideo, kSubtypeYuy2, '1', '0', 614400, kFormatVideoInfo,
              VideoInfoHeader(640, 480, 16, Fourcc("YUY2")))},
        {6, "Output", 7, "XForm In",
         Type(kMediatypeVideo, kSubtypeMjpg, '0', '0', 0, kFormatVideoInfo,
              VideoInfoHeader(640, 480, 24, Fourcc("MJPG")))},
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
    s.Clock(true, kSystemClock);
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
