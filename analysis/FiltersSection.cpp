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
std::string ReadFilePart(GraphReader& r, model::Filter& filter) {
    if (!r.CurrentIs(u'S')) return {};
    model::FileReference file;
    file.role = Utf8FromAnsi(r.ReadWord());
    std::string part = file.role + r.SkipSeparator();
    const std::string path = Utf8FromAnsi(r.ReadQuoted());
    part += path + r.SkipSeparator();
    file.path = Unquoted(path);
    filter.file = std::move(file);
    return part;
}

// The filter's saved data, read whole into the model.
const std::vector<std::uint8_t>& ReadFilterData(GraphReader& r, model::Filter& filter) {
    filter.data = r.ReadSizedBlock();
    filter.dataSize = static_cast<std::uint32_t>(filter.data.size());
    return filter.data;
}

// DMO wrapper data: bytes 0-15 the wrapped DMO's CLSID, 16-31 its category;
// the rest is not decoded.  A block too short for both describes nothing.
std::string DescribeDmoWrapper(AnalysisState& s, std::string_view, model::Filter& filter) {
    const std::vector<std::uint8_t>& block = ReadFilterData(s.reader, filter);
    if (block.size() < 32) return ": ";
    const Guid dmo = Guid::At(block, 0);
    const Guid category = Guid::At(block, 16);
    model::DmoData data;
    data.clsid = FormatGuid(dmo);
    data.category.guid = FormatGuid(category);
    if (const auto name = FindLabel(kDmoCategories, category)) data.category.name = std::string(*name);

    std::string text = ": ";
    if (const TDMOItem* item = s.catalog.FindDmo(dmo)) {
        data.catalogName = Utf8FromAnsi(item->Name);
        text += *data.catalogName + " ";
    }
    text += data.clsid + " cat= " + data.category.name.value_or(data.category.guid);
    if (block.size() > 32) {
        text += " <" + DataNotice(block.size() - 32) + " >";
        if (s.details) s.filterBytesShownAsCount.assign(block.begin() + 32, block.end());
    }
    filter.dmo = std::move(data);
    return text;
}

// ACM wrapper data: the wrapped codec's wave format tag at bytes 28-29.
std::string DescribeAcmWrapper(AnalysisState& s, std::string_view, model::Filter& filter) {
    const std::vector<std::uint8_t>& block = ReadFilterData(s.reader, filter);
    if (block.size() < 30) return ": ACM Wrapper = " + std::string(Res(Str::Unknown));
    model::AcmData acm;
    acm.formatTag = ReadLe16(block, 28);
    acm.formatName = WaveFormatTagName(acm.formatTag);
    filter.acm = acm;
    return ": ACM Wrapper = " + acm.formatName;
}

// AVI compressor data: the codec's four-character code at bytes 28-31.
std::string DescribeAviCompressor(AnalysisState& s, std::string_view, model::Filter& filter) {
    const std::vector<std::uint8_t>& block = ReadFilterData(s.reader, filter);
    std::string text = ": AVI Encoder = ";
    if (block.size() < 32) return text;
    model::AviCompressorData avi;
    for (std::size_t i = 28; i < 32; ++i) AppendUtf8FromAnsi(avi.fourcc, block[i]);
    text += avi.fourcc;
    filter.avi = std::move(avi);
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

std::string DescribeProxy(AnalysisState& s, std::string_view clsidText, model::Filter& filter) {
    const std::vector<std::uint8_t>& block = ReadFilterData(s.reader, filter);
    const std::string path = DevicePath(block);
    model::ProxyData proxy;
    proxy.devicePath = Utf8FromAnsi(path);
    std::string text;
    if (const TfilterItem* device = s.catalog.FindDevice(path)) {
        proxy.catalogName = Utf8FromAnsi(device->Name);
        text = ": " + *proxy.catalogName + " " + proxy.devicePath;
    } else {
        text = ": Proxy " + Utf8FromAnsi(clsidText);
    }
    if (!block.empty()) {
        text += " <" + DataNotice(block.size()) + " >";
        if (s.details) s.filterBytesShownAsCount = block;
    }
    filter.proxy = std::move(proxy);
    return text;
}

std::string DataBlockNotice(AnalysisState& s, model::Filter& filter) {
    std::uint64_t size = 0;
    if (s.keepGraph || s.details) {
        size = ReadFilterData(s.reader, filter).size();
        if (s.details) s.filterBytesShownAsCount = filter.data;
    } else {
        // Passed over: nothing of the bytes is shown.
        const BlockHeader block = s.reader.ReadBlockHeader();
        s.reader.SkipRaw(block.count);
        s.reader.NextChar();
        size = block.count;
    }
    if (size == 0) return {};
    return "<" + DataNotice(size) + " >";
}

std::string DescribeOtherFilter(const AnalysisState& s, const Guid& clsid, std::string_view clsidText,
                                model::Filter& filter) {
    if (const auto label = FindLabel(kRendererComponents, clsid)) {
        std::string_view known = *label;
        known.remove_prefix(2);  // ": "
        known.remove_suffix(1);  // the space before the CLSID
        filter.knownName = std::string(known);
        return std::string(*label) + Utf8FromAnsi(clsidText);
    }
    if (const TfilterItem* item = s.catalog.FindFilter(clsid)) {
        filter.catalogName = Utf8FromAnsi(item->Name);
        return ": " + *filter.catalogName + " " + Utf8FromAnsi(clsidText);
    }
    return Utf8FromAnsi(clsidText);
}

// Filters described from the data they saved, with their kind (which gives
// the colour of their line).
struct RecognisedFilter {
    Guid clsid;
    model::FilterKind kind;
    std::string (*describe)(AnalysisState&, std::string_view clsidText, model::Filter&);
};

constexpr std::array<RecognisedFilter, 4> kRecognisedFilters = {{
    {kDmoWrapperClsid, model::FilterKind::DmoWrapper, DescribeDmoWrapper},
    {kProxyClsid, model::FilterKind::PnpProxy, DescribeProxy},
    {kAcmWrapperClsid, model::FilterKind::AcmWrapper, DescribeAcmWrapper},
    {kAviCompressorClsid, model::FilterKind::AviCompressor, DescribeAviCompressor},
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
    s.filterBytesShownAsCount.clear();
    AnalysisState::GraphFilter entry;
    model::Filter filter;

    std::string line;
    line.reserve(160);
    entry.id = r.ReadChars(4);
    AppendUtf8FromAnsi(line, entry.id);
    line += r.SkipSeparator();
    const std::size_t nameAt = line.size();
    AppendUtf8FromAnsi(line, r.ReadQuoted());
    entry.quotedName = line.substr(nameAt);
    if (s.keepGraph) {
        filter.id = line.substr(0, nameAt - 2);
        filter.name = Unquoted(entry.quotedName);
    }
    line += r.SkipSeparator();

    std::string_view clsidText;
    entry.clsid = ReadGuidValue(r, clsidText);
    if (s.keepGraph) filter.clsid = Utf8FromAnsi(clsidText);

    if (const RecognisedFilter* kind = FindRecognised(entry.clsid)) {
        // Described from their own data: the file part comes first.
        s.FilterLineColor = model::FilterKindColor(kind->kind);
        filter.kind = kind->kind;
        r.SkipSeparator();
        line += ReadFilePart(r, filter);
        line += kind->describe(s, clsidText, filter);
    } else {
        // Any other filter: description first, then the file part and the data notice.
        line += DescribeOtherFilter(s, entry.clsid, clsidText, filter) + r.SkipSeparator();
        line += ReadFilePart(r, filter);
        line += DataBlockNotice(s, filter);
    }

    r.NextChar();  // the last unit of the line end
    s.AddFilter(std::move(entry), std::move(filter));
    return line;
}

}  // namespace quorvel
