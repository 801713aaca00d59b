// Our own generator of graph streams and graph files, for tests, benchmarks
// and the sample graph: UTF-16LE text with binary data blocks, laid out the
// way the platform's graph editor saves them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Guid.hpp"
#include "tests/support/WellKnown.hpp"

namespace quorvel::testing {

using Bytes = std::vector<std::uint8_t>;

// Little-endian binary data: format records and filter data.
class BinaryWriter {
public:
    BinaryWriter& U8(std::uint8_t v);
    BinaryWriter& U16(std::uint16_t v);
    BinaryWriter& U32(std::uint32_t v);
    BinaryWriter& I32(std::int32_t v) { return U32(static_cast<std::uint32_t>(v)); }
    BinaryWriter& I64(std::int64_t v);
    BinaryWriter& GuidBytes(const Guid& g);
    BinaryWriter& Utf16(std::u16string_view text);
    BinaryWriter& Zeros(std::size_t n);
    BinaryWriter& Raw(const Bytes& b);
    const Bytes& bytes() const { return bytes_; }
    Bytes take() { return std::move(bytes_); }

private:
    Bytes bytes_;
};

// Filters and media types are written in braces, field by field; their GUID
// texts may be string views from the well-known table.
struct FilterSpec {
    FilterSpec() = default;
    FilterSpec(std::string id_, std::string name_, std::string_view clsid_, std::string filePart_ = {},
               Bytes data_ = {})
        : id(std::move(id_)), name(std::move(name_)), clsid(clsid_), filePart(std::move(filePart_)),
          data(std::move(data_)) {}

    std::string id = "0001";
    std::string name;       // without quotes; UTF-8
    std::string clsid;      // as written, braces included
    std::string filePart;   // e.g. R"(SOURCE "C:\clip.avi")", written before the block
    Bytes data;             // the data block
};

struct MediaTypeSpec {
    MediaTypeSpec() = default;
    MediaTypeSpec(std::string_view major_, std::string_view subtype_, char fixedSize_, char temporal_,
                  std::string sampleSize_, std::string_view formatType_, Bytes format_ = {})
        : major(major_), subtype(subtype_), fixedSize(fixedSize_), temporal(temporal_),
          sampleSize(std::move(sampleSize_)), formatType(formatType_), format(std::move(format_)) {}

    std::string major{wellknown::kMediatypeVideo};
    std::string subtype = "{e436eb7e-524f-11ce-9f53-0020af0ba770}";
    char fixedSize = '1';
    char temporal = '0';
    std::string sampleSize = "0000000000";
    std::string formatType{wellknown::kGuidNull};
    Bytes format;
};

struct ConnectionSpec {
    int from = 1;
    std::string outPin = "Output";
    int to = 2;
    std::string inPin = "Input";
    MediaTypeSpec type;
};

// A graph stream, built in file order.
class GraphStream {
public:
    explicit GraphStream(std::string_view version = "0003");  // the version text and its line end

    GraphStream& Text(std::string_view utf8);   // UTF-8 to UTF-16LE code units
    GraphStream& Units(std::u16string_view units);
    GraphStream& CrLf();
    GraphStream& Line(std::string_view utf8) { return Text(utf8).CrLf(); }
    GraphStream& Raw(const Bytes& b);
    // Ten-digit byte count, one separator, the bytes.
    GraphStream& Block(const Bytes& data, char16_t separator = u' ');

    GraphStream& Filters(std::string_view heading = "FILTERS") { return Line(heading); }
    GraphStream& Filter(const FilterSpec& f);
    GraphStream& Connections(std::string_view heading = "CONNECTIONS") { return Line(heading); }
    GraphStream& Connection(const ConnectionSpec& c);
    GraphStream& Clock(bool required, std::string_view value);  // "CLOCK 1 0000" + CR LF
    GraphStream& End() { return Text("END"); }

    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
};

// A graph file: `prefix` bytes of container (a compound-document signature
// and zeros, no version text) before the stream, which starts at a multiple of
// 512, then zero padding up to the next multiple of 512 (none when pad is false).
Bytes GraphFile(const Bytes& stream, std::size_t streamOffset = 3072, bool pad = true);

// A four-character code as a 32-bit value, its first character in the low byte.
constexpr std::uint32_t Fourcc(const char (&code)[5]) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(code[0])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[3])) << 24;
}

// Records of the format blocks.
Bytes VideoInfoHeader(std::int32_t width, std::int32_t height, std::uint16_t bitCount, std::uint32_t compression,
                      std::int64_t avgTimePerFrame = 333333);
Bytes WaveFormatEx(std::uint16_t tag, std::uint16_t channels, std::uint32_t samplesPerSec,
                   std::uint16_t bitsPerSample, const Bytes& extra = {});
// VIDEOINFO of an RGB32 frame: the header and 12 bytes of unused colour masks,
// as the colour converter offers it (100 bytes).
Bytes Rgb32VideoInfo(std::int32_t width, std::int32_t height);
// MPEGLAYER3WAVEFORMAT: the WAVEFORMATEX of a 128 kbit/s, 44.1 kHz stereo MP3
// stream and its 12 bytes of codec data.
Bytes Mp3WaveFormat();

// Data of the recognised filters.
Bytes DmoWrapperData(const Guid& dmo, const Guid& category, std::size_t extraBytes = 0);
Bytes ProxyData(std::u16string_view devicePath);   // as the KS proxy saves it
Bytes CodecWrapperData(std::uint32_t valueAt28);   // ACM tag or AVI fourcc at byte 28, 32 bytes
// Renderers save "00000000000 " in UTF-16, a 32-bit field and their settings,
// here all defaults (zeros).  The video renderer's field counts the bytes
// after the text, its own four included; the DirectSound renderer's is 0.
Bytes RendererData(std::uint32_t countField, std::size_t settingsBytes);

// A USB webcam's device path, as its proxy saves it.
inline constexpr std::u16string_view kWebcamDevicePath =
    u"\\\\?\\usb#vid_046d&pid_0825&mi_02#6&2c8a9b3&0&0002#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";

std::string FourDigits(int id);
std::string TenDigits(std::uint64_t n);

// A graph file whose one block carries `count` as its ten characters, followed
// by `tail` bytes of 'A' (the stream at offset 512, not padded): the data of a
// filter, or the format block of a connection between two filters.
// blockStart is the file offset of the block's first byte.
struct CountedGraph {
    Bytes file;
    std::uint64_t blockStart = 0;
};
CountedGraph FilterDataCounted(const std::string& count, std::size_t tail, std::string_view name = "Greedy");
CountedGraph FormatBlockCounted(const std::string& count, std::size_t tail, std::string_view source = "Source",
                                std::string_view sink = "Sink");

// Writes bytes to a file; returns the path.
std::string WriteTempFile(const std::string& name, const Bytes& bytes);

}  // namespace quorvel::testing
