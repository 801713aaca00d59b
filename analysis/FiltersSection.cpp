#include "analysis/FiltersSection.hpp"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "mediatypes/MediaTypeNames.hpp"
#include "platform/TextConv.hpp"
#include "resources/Strings.hpp"

namespace quorvel {
namespace {

constexpr Guid kDmoWrapperClsid = MakeGuid("{94297043-BD82-4DFD-B0DE-8177739C6D20}");
constexpr Guid kAcmWrapperClsid = MakeGuid("{6A08CF80-0E18-11CF-A24D-0020AFD79767}");
constexpr Guid kAviCompressorClsid = MakeGuid("{D76E2820-1563-11CF-AC98-00AA004C0FA9}");

struct GuidLabel {
    Guid guid;
    std::string_view label;
};

// Video renderer components that are named from their CLSID alone.
constexpr std::array<GuidLabel, 4> kRendererComponents = {{
    {MakeGuid("{B87BEB7B-8D29-423F-AE4D-6582C10175AC}"), ": Video Mixing Renderer (DX8) "},
    {MakeGuid("{6BC1CFFA-8FC1-4261-AC22-CFB4CC38DB50}"), ": Video Renderer Default(DX8) "},
    {MakeGuid("{6F26A6CD-967B-47FD-874A-7AED2C9D25A2}"), ": Video Port Manager (DX8) "},
    {MakeGuid("{06B32AEE-77DA-484B-973B-5D64F47201B0}"), ": Video Mixer (DX8) "},
}};

constexpr std::array<GuidLabel, 7> kDmoCategories = {{
    {MakeGuid("{57F2DB8B-E6BB-4513-9D43-DCD2A6593125}"), "Audio Decoder"},
    {MakeGuid("{F3602B3F-0592-48DF-A4CD-674721E7EBEB}"), "Audio Effect"},
    {MakeGuid("{33D9A761-90C8-11D0-BD43-00A0C911CE86}"), "Audio Encoder"},
    {MakeGuid("{4A69B442-28BE-4991-969C-B500ADF5D8A8}"), "Video Decoder"},
    {MakeGuid("{D990EE14-776C-4723-BE46-3DA2F56F10B9}"), "Video Effect"},
    {MakeGuid("{33D9A760-90C8-11D0-BD43-00A0C911CE86}"), "Video Encoder"},
    {MakeGuid("{F665AABA-3E09-4920-AA5F-219811148F09}"), "Audio Capture Effect"},
}};

template <std::size_t N>
std::optional<std::string_view> FindLabel(const std::array<GuidLabel, N>& table, const Guid& g) {
    for (const GuidLabel& row : table)
        if (row.guid == g) return row.label;
    return std::nullopt;
}

// The optional SOURCE/SINK part: the word, two spaces, the quoted path, two spaces.
std::string ReadFilePart(GraphReader& r) {
    if (!r.CurrentIs(u'S')) return {};
    std::string part = Utf8FromAnsi(r.ReadWord());
    part += r.SkipSeparator();
    part += Utf8FromAnsi(r.ReadQuoted());
    part += r.SkipSeparator();
    return part;
}

// DMO wrapper data: bytes 0-15 the wrapped DMO's CLSID, 16-31 its category;
// the rest is not decoded.  A block too short for both is skipped whole.
std::string ReadDmoData(AnalysisState& s) {
    GraphReader& r = s.reader;
    const BlockHeader block = r.ReadBlockHeader();
    if (block.count < 32) {
        r.SkipRaw(block.count);
        r.NextChar();
        return {};
    }
    r.StepBack();
    std::array<std::uint8_t, 16> raw{};
    r.ReadRaw(raw.data(), raw.size());
    const Guid dmo = Guid::FromBytes(raw);
    r.ReadRaw(raw.data(), raw.size());
    const Guid category = Guid::FromBytes(raw);

    std::string text;
    if (const TDMOItem* item = s.catalog.FindDmo(dmo)) text = Utf8FromAnsi(item->Name) + " ";
    text += FormatGuid(dmo) + " cat= " + DmoCategoryName(category);
    r.NextChar();  // back in step, on byte 32 of the block
    const std::uint32_t rest = block.count - 32;
    if (rest != 0) {
        r.SkipRaw(rest);
        text += " <" + DataNotice(rest) + " >";
    }
    r.NextChar();
    return text;
}

// ACM wrapper data: the wrapped codec's wave format tag at bytes 28-29.
std::string ReadAcmWrapperData(GraphReader& r) {
    const std::vector<std::uint8_t> block = r.ReadSizedBlock();
    if (block.size() < 30) return std::string(Res(Str::Unknown));
    return std::string(WaveFormatTagName(ReadLe16(block, 28)));
}

// AVI compressor data: the codec's four-character code at bytes 28-31.
std::string ReadAviCompressorData(GraphReader& r) {
    const std::vector<std::uint8_t> block = r.ReadSizedBlock();
    std::string text;
    if (block.size() < 32) return text;
    for (std::size_t i = 28; i < 32; ++i) AppendUtf8FromAnsi(text, block[i]);
    return text;
}

// Kernel-streaming proxy data is UTF-16LE text; the device path is all of it
// but its first 14 and last 3 code units.
std::string DevicePath(const std::vector<std::uint8_t>& block) {
    std::string path;
    if (block.size() <= 35) return path;
    const std::size_t units = (block.size() - 34) / 2;
    for (std::size_t i = 0; i < units; ++i) path += AnsiFromCodeUnit(ReadLe16(block, 28 + 2 * i));
    return path;
}

std::string ReadProxyData(AnalysisState& s, std::string_view clsidText) {
    const std::vector<std::uint8_t> block = s.reader.ReadSizedBlock();
    const std::string path = DevicePath(block);
    std::string text;
    if (const TfilterItem* device = s.catalog.FindDevice(path))
        text = ": " + Utf8FromAnsi(device->Name) + " " + Utf8FromAnsi(path);
    else
        text = ": Proxy " + Utf8FromAnsi(clsidText);
    if (!block.empty()) text += " <" + DataNotice(block.size()) + " >";
    return text;
}

std::string SkipDataBlock(GraphReader& r) {
    const BlockHeader block = r.ReadBlockHeader();
    r.SkipRaw(block.count);
    r.NextChar();
    if (block.count == 0) return {};
    return "<" + DataNotice(block.count) + " >";
}

std::string DescribeOtherFilter(const AnalysisState& s, const Guid& clsid, std::string_view clsidText) {
    if (const auto label = FindLabel(kRendererComponents, clsid)) return std::string(*label) + Utf8FromAnsi(clsidText);
    if (const TfilterItem* item = s.catalog.FindFilter(clsid))
        return ": " + Utf8FromAnsi(item->Name) + " " + Utf8FromAnsi(clsidText);
    return Utf8FromAnsi(clsidText);
}

std::string DescribeDmoWrapper(AnalysisState& s, std::string_view) { return ": " + ReadDmoData(s); }

std::string DescribeAcmWrapper(AnalysisState& s, std::string_view) {
    return ": ACM Wrapper = " + ReadAcmWrapperData(s.reader);
}

std::string DescribeAviCompressor(AnalysisState& s, std::string_view) {
    return ": AVI Encoder = " + ReadAviCompressorData(s.reader);
}

// Filters described from the data they saved, with the colour of their line.
struct RecognisedFilter {
    Guid clsid;
    Color color;
    std::string (*describe)(AnalysisState&, std::string_view clsidText);
};

constexpr std::array<RecognisedFilter, 4> kRecognisedFilters = {{
    {kDmoWrapperClsid, kGreen, DescribeDmoWrapper},
    {kProxyClsid, kPurple, ReadProxyData},
    {kAcmWrapperClsid, kBlue, DescribeAcmWrapper},
    {kAviCompressorClsid, kBlue, DescribeAviCompressor},
}};

const RecognisedFilter* FindRecognised(const Guid& clsid) {
    for (const RecognisedFilter& f : kRecognisedFilters)
        if (f.clsid == clsid) return &f;
    return nullptr;
}

}  // namespace

std::string DmoCategoryName(const Guid& category) {
    if (const auto name = FindLabel(kDmoCategories, category)) return std::string(*name);
    return FormatGuid(category);
}

std::string ReadFilterEntry(AnalysisState& s) {
    GraphReader& r = s.reader;
    s.FilterLineColor = kBlack;
    TfilterItem entry;

    entry.GraphId = r.ReadChars(4);
    std::string line = Utf8FromAnsi(entry.GraphId) + r.SkipSeparator();
    entry.GraphName = r.ReadQuoted();
    line += Utf8FromAnsi(entry.GraphName) + r.SkipSeparator();

    std::string clsidText;
    entry.CLSID = ReadGuidValue(r, clsidText);

    if (const RecognisedFilter* kind = FindRecognised(entry.CLSID)) {
        // Described from their own data: the file part comes first.
        s.FilterLineColor = kind->color;
        r.SkipSeparator();
        line += ReadFilePart(r);
        line += kind->describe(s, clsidText);
    } else {
        // Any other filter: description first, then the file part and the data notice.
        line += DescribeOtherFilter(s, entry.CLSID, clsidText) + r.SkipSeparator();
        line += ReadFilePart(r);
        line += SkipDataBlock(r);
    }

    r.NextChar();  // the last unit of the line end
    s.GraphFilterList.push_back(std::move(entry));
    return line;
}

}  // namespace quorvel
