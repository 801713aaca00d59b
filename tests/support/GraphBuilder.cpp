#include "tests/support/GraphBuilder.hpp"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <unistd.h>

#include "platform/TextConv.hpp"

namespace quorvel::testing {

BinaryWriter& BinaryWriter::U8(std::uint8_t v) {
    bytes_.push_back(v);
    return *this;
}
BinaryWriter& BinaryWriter::U16(std::uint16_t v) {
    bytes_.push_back(static_cast<std::uint8_t>(v));
    bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
    return *this;
}
BinaryWriter& BinaryWriter::U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    return *this;
}
BinaryWriter& BinaryWriter::I64(std::int64_t v) {
    const auto u = static_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i) bytes_.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
    return *this;
}
BinaryWriter& BinaryWriter::GuidBytes(const Guid& g) {
    bytes_.insert(bytes_.end(), g.bytes.begin(), g.bytes.end());
    return *this;
}
BinaryWriter& BinaryWriter::Utf16(std::u16string_view text) {
    for (char16_t u : text) U16(static_cast<std::uint16_t>(u));
    return *this;
}
BinaryWriter& BinaryWriter::Zeros(std::size_t n) {
    bytes_.insert(bytes_.end(), n, 0);
    return *this;
}
BinaryWriter& BinaryWriter::Raw(const Bytes& b) {
    bytes_.insert(bytes_.end(), b.begin(), b.end());
    return *this;
}

std::string FourDigits(int id) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d", id);
    return buf;
}

std::string TenDigits(std::uint64_t n) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%010llu", static_cast<unsigned long long>(n));
    return buf;
}

GraphStream::GraphStream(std::string_view version) { Line(version); }

GraphStream& GraphStream::Units(std::u16string_view units) {
    for (char16_t u : units) {
        bytes_.push_back(static_cast<std::uint8_t>(u));
        bytes_.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    return *this;
}

GraphStream& GraphStream::Text(std::string_view utf8) {
    std::u16string units;
    ForEachCodePoint(utf8, [&](char32_t cp) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            units += static_cast<char16_t>(0xD800 + (cp >> 10));
            units += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            units += static_cast<char16_t>(cp);
        }
    });
    return Units(units);
}

GraphStream& GraphStream::CrLf() { return Units(u"\r\n"); }

GraphStream& GraphStream::Raw(const Bytes& b) {
    bytes_.insert(bytes_.end(), b.begin(), b.end());
    return *this;
}

GraphStream& GraphStream::Block(const Bytes& data, char16_t separator) {
    Text(TenDigits(data.size()));
    Units(std::u16string(1, separator));
    return Raw(data);
}

GraphStream& GraphStream::Filter(const FilterSpec& f) {
    Text(f.id + " \"" + f.name + "\" " + f.clsid + " ");
    if (!f.filePart.empty()) Text(f.filePart + " ");
    Block(f.data);
    return CrLf();
}

GraphStream& GraphStream::Connection(const ConnectionSpec& c) {
    const MediaTypeSpec& t = c.type;
    // The ten-unit field holds the byte length of the media type that follows.
    const std::size_t typeLength = 286 + t.format.size();
    Text(FourDigits(c.from) + " \"" + c.outPin + "\" " + FourDigits(c.to) + " \"" + c.inPin + "\" " +
         TenDigits(typeLength) + " ");
    Text(t.major + " " + t.subtype + " " + t.fixedSize + " " + t.temporal + " " + t.sampleSize);
    Units(std::u16string(1, u'\0'));  // the saver writes a NUL after the sample size
    Text(t.formatType + " ");
    Block(t.format);
    return CrLf();
}

GraphStream& GraphStream::Clock(bool required, std::string_view value) {
    Text(std::string("CLOCK ") + (required ? "1" : "0") + " ");
    return Line(value);
}

Bytes GraphFile(const Bytes& stream, std::size_t streamOffset, bool pad) {
    if (streamOffset == 0 || streamOffset % 512 != 0) throw std::invalid_argument("stream offset");
    Bytes file(streamOffset, 0);
    static const std::uint8_t kSignature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::copy(std::begin(kSignature), std::end(kSignature), file.begin());
    file.insert(file.end(), stream.begin(), stream.end());
    if (pad) file.resize((file.size() + 511) / 512 * 512, 0);
    return file;
}

Bytes VideoInfoHeader(std::int32_t width, std::int32_t height, std::uint16_t bitCount, std::uint32_t compression,
                      std::int64_t avgTimePerFrame) {
    const std::uint32_t imageSize = static_cast<std::uint32_t>(width) *
                                    static_cast<std::uint32_t>(height < 0 ? -height : height) * bitCount / 8;
    BinaryWriter w;
    w.I32(0).I32(0).I32(width).I32(height < 0 ? -height : height);  // rcSource
    w.I32(0).I32(0).I32(width).I32(height < 0 ? -height : height);  // rcTarget
    w.U32(imageSize * 8 * 30).U32(0).I64(avgTimePerFrame);
    w.U32(40).I32(width).I32(height).U16(1).U16(bitCount).U32(compression).U32(imageSize);
    w.I32(0).I32(0).U32(0).U32(0);
    return w.take();
}

Bytes WaveFormatEx(std::uint16_t tag, std::uint16_t channels, std::uint32_t samplesPerSec, std::uint16_t bitsPerSample,
                   const Bytes& extra) {
    const auto blockAlign = static_cast<std::uint16_t>(channels * bitsPerSample / 8);
    BinaryWriter w;
    w.U16(tag).U16(channels).U32(samplesPerSec).U32(samplesPerSec * blockAlign).U16(blockAlign);
    w.U16(bitsPerSample).U16(static_cast<std::uint16_t>(extra.size())).Raw(extra);
    return w.take();
}

Bytes Rgb32VideoInfo(std::int32_t width, std::int32_t height) {
    Bytes block = VideoInfoHeader(width, height, 32, 0);
    block.resize(block.size() + 12, 0);
    return block;
}

Bytes Mp3WaveFormat() {
    BinaryWriter w;
    w.U16(0x0055).U16(2).U32(44100).U32(16000).U16(1).U16(0).U16(12);
    w.U16(1).U32(2).U16(417).U16(1).U16(1393);  // wID, padding off, block size, frames per block, codec delay
    return w.take();
}

Bytes DmoWrapperData(const Guid& dmo, const Guid& category, std::size_t extraBytes) {
    BinaryWriter w;
    w.GuidBytes(dmo).GuidBytes(category).Zeros(extraBytes);
    return w.take();
}

Bytes ProxyData(std::u16string_view devicePath) {
    // "00000000001", a space, a 32-bit byte count, the path, its NUL, 4 zero bytes.
    BinaryWriter w;
    w.Utf16(u"00000000001 ");
    w.U32(static_cast<std::uint32_t>((devicePath.size() + 1) * 2));
    w.Utf16(devicePath).U16(0).U32(0);
    return w.take();
}

Bytes CodecWrapperData(std::uint32_t valueAt28) {
    BinaryWriter w;
    w.Zeros(28).U32(valueAt28);
    return w.take();
}

Bytes RendererData(std::uint32_t countField, std::size_t settingsBytes) {
    BinaryWriter w;
    w.Utf16(u"00000000000 ").U32(countField).Zeros(settingsBytes);
    return w.take();
}

namespace {

constexpr std::size_t kCountedStreamOffset = 512;
// The count's ten characters and their separator, in UTF-16.
constexpr std::size_t kCountBytes = 22;

}  // namespace

CountedGraph FilterDataCounted(const std::string& count, std::size_t tail, std::string_view name) {
    GraphStream s("0003");
    s.Filters();
    s.Text("0001 \"" + std::string(name) + "\" " + std::string(wellknown::kFileSourceAsync) + " ");
    const std::size_t countAt = s.bytes().size();
    s.Text(count + " ");
    s.Raw(Bytes(tail, 'A'));
    return {GraphFile(s.bytes(), kCountedStreamOffset, false), kCountedStreamOffset + countAt + kCountBytes};
}

CountedGraph FormatBlockCounted(const std::string& count, std::size_t tail, std::string_view source,
                                std::string_view sink) {
    GraphStream s("0003");
    s.Filters();
    s.Filter({"0001", std::string(source), wellknown::kFileSourceAsync, "", {}});
    s.Filter({"0002", std::string(sink), wellknown::kFileWriter, "", {}});
    s.Connections();
    s.Text("0001 \"Out\" 0002 \"In\" 0000000374 ");
    s.Text(std::string(wellknown::kMediatypeVideo) + " " + std::string(wellknown::kSubtypeRgb32) + " 1 0 0000000000");
    s.Units(std::u16string(1, u'\0'));
    s.Text(std::string(wellknown::kFormatVideoInfo) + " ");
    const std::size_t countAt = s.bytes().size();
    s.Text(count + " ");
    s.Raw(Bytes(tail, 'A'));
    return {GraphFile(s.bytes(), kCountedStreamOffset, false), kCountedStreamOffset + countAt + kCountBytes};
}

namespace {

// The folder of this test process's files, removed when the process ends.
class ProcessTempDir {
public:
    ProcessTempDir()
        : path_(std::filesystem::temp_directory_path() / ("quorvel-tests-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path_);
    }
    ~ProcessTempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ProcessTempDir(const ProcessTempDir&) = delete;
    ProcessTempDir& operator=(const ProcessTempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace

std::string WriteTempFile(const std::string& name, const Bytes& bytes) {
    static const ProcessTempDir dir;
    const auto path = (dir.path() / name).string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
    return path;
}

}  // namespace quorvel::testing
