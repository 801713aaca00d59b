// What follows a BITMAPINFOHEADER in the video records, the names of its
// compression codes, and the frame rate of a frame duration.
#include <algorithm>
#include <cstdio>

#include "mediatypes/FormatDetails.hpp"
#include "platform/Hex.hpp"
#include "resources/Strings.hpp"

namespace quorvel {
namespace {

constexpr std::size_t kBitmapHeaderSize = 40;
constexpr std::size_t kRgbQuadSize = 4;

struct CompressionName {
    std::uint32_t code;
    std::string_view name;
};
constexpr CompressionName kCompressionNames[] = {
    {0, "BI_RGB"},  {1, "BI_RLE8"}, {2, "BI_RLE4"},           {3, "BI_BITFIELDS"}, {4, "BI_JPEG"},
    {5, "BI_PNG"},  {6, "BI_ALPHABITFIELDS"}, {11, "BI_CMYK"}, {12, "BI_CMYKRLE8"}, {13, "BI_CMYKRLE4"},
};
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;

// The codes whose pixels may index a palette.
bool UsesPalette(std::uint32_t compression) {
    return compression == kBiRgb || compression == kBiRle8 || compression == kBiRle4 ||
           compression == kBiBitfields || compression == kBiAlphaBitfields;
}

std::size_t MaskCount(std::uint32_t compression) {
    if (compression == kBiBitfields) return 3;
    if (compression == kBiAlphaBitfields) return 4;
    return 0;
}

std::string Hex(std::uint32_t value, int digits, const char* prefix) {
    std::string text = prefix;
    AppendHex(text, value, digits);
    return text;
}

void AppendPaletteLines(const BitmapDetails& d, TextLines& lines) {
    std::string head = "Palette = " + std::to_string(d.paletteEntries) + " colours";
    if (d.palette.size() < d.paletteEntries) head += ", " + std::to_string(d.palette.size()) + " present";
    lines.push_back(head);
    constexpr std::size_t kPerLine = 8;
    for (std::size_t first = 0; first < d.palette.size(); first += kPerLine) {
        const std::size_t last = std::min(first + kPerLine, d.palette.size()) - 1;
        std::string line = "Colours " + std::to_string(first) + "-" + std::to_string(last) + " =";
        for (std::size_t i = first; i <= last; ++i) line += " " + Hex(d.palette[i], 6, "#");
        lines.push_back(line);
    }
}

}  // namespace

std::string BiCompressionName(std::uint32_t compression) {
    for (const CompressionName& row : kCompressionNames)
        if (row.code == compression) return std::string(row.name);
    std::string fourcc;
    for (int shift = 0; shift < 32; shift += 8) {
        const auto c = static_cast<char>((compression >> shift) & 0xFF);
        if (c < 0x20 || c > 0x7E) return Hex(compression, 8, "0x");
        fourcc += c;
    }
    return fourcc;
}

BitmapDetails DecodeBitmapDetails(ByteSpan formatBlock, std::size_t bitmapOffset) {
    BitmapDetails d;
    if (bitmapOffset > formatBlock.size() || formatBlock.size() - bitmapOffset < kBitmapHeaderSize) {
        d.truncated = true;
        return d;
    }
    const ByteSpan header = formatBlock.subspan(bitmapOffset);
    d.headerSize = ReadLe32(header, 0);
    d.bitCount = ReadLe16(header, 14);
    d.compression = ReadLe32(header, 16);
    d.compressionName = BiCompressionName(d.compression);
    d.clrUsed = ReadLe32(header, 32);

    // The masks follow the 40-byte header; the larger headers hold them at
    // the same place.  A header size under 40 (written as 0 by some filters)
    // is taken as 40.
    const std::size_t maskCount = MaskCount(d.compression);
    for (std::size_t i = 0; i < maskCount; ++i) {
        const std::size_t at = kBitmapHeaderSize + i * 4;
        if (header.size() < at + 4) {
            d.truncated = true;
            break;
        }
        d.masks.push_back(ReadLe32(header, at));
    }

    if (UsesPalette(d.compression))
        d.paletteEntries = d.clrUsed != 0 ? d.clrUsed : (d.bitCount >= 1 && d.bitCount <= 8 ? 1u << d.bitCount : 0);
    const std::size_t paletteStart =
        d.headerSize > kBitmapHeaderSize ? d.headerSize : kBitmapHeaderSize + maskCount * 4;
    const std::size_t room = header.size() > paletteStart ? (header.size() - paletteStart) / kRgbQuadSize : 0;
    const std::size_t present = std::min<std::size_t>(d.paletteEntries, room);
    if (present < d.paletteEntries) d.truncated = true;
    d.palette.reserve(present);
    for (std::size_t i = 0; i < present; ++i) {
        const ByteSpan quad = header.subspan(paletteStart + i * kRgbQuadSize, kRgbQuadSize);
        d.palette.push_back(std::uint32_t{quad[2]} << 16 | std::uint32_t{quad[1]} << 8 | quad[0]);  // blue first
    }
    return d;
}

TextLines BitmapLines(const BitmapDetails& d) {
    TextLines lines;
    if (!d.compressionName.empty()) lines.push_back("Compression = " + d.compressionName);
    if (!d.masks.empty()) {
        constexpr const char* kChannels[] = {"red", "green", "blue", "alpha"};
        std::string line = "Colour masks =";
        for (std::size_t i = 0; i < d.masks.size(); ++i)
            line += std::string(i == 0 ? " " : ", ") + kChannels[i] + " " + Hex(d.masks[i], 8, "0x");
        lines.push_back(line);
    }
    if (d.paletteEntries != 0) AppendPaletteLines(d, lines);
    if (d.truncated) lines.push_back(FormatRes(Str::DetailTruncated, {"Colour masks or palette"}));
    return lines;
}

std::string FrameRateText(std::int64_t avgTimePerFrame) {
    if (avgTimePerFrame <= 0) return {};
    // Hundredths of a frame per second, rounded half up: 10^7 x 100 / value.
    constexpr std::uint64_t kHundredthsScale = 1'000'000'000;
    const auto value = static_cast<std::uint64_t>(avgTimePerFrame);
    std::uint64_t hundredths = kHundredthsScale / value;
    if (2 * (kHundredthsScale % value) >= value) ++hundredths;
    char text[48];
    std::snprintf(text, sizeof text, "%llu.%02llu fps", static_cast<unsigned long long>(hundredths / 100),
                  static_cast<unsigned long long>(hundredths % 100));
    return text;
}

}  // namespace quorvel
