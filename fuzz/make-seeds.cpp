// quorvel-make-fuzz-seeds: writes the starting corpora of the fuzz targets,
// all made by our own graph generator, and the hostile inputs kept as
// regressions.
//
//   quorvel-make-fuzz-seeds seeds OUTDIR      OUTDIR/<target>/<name> for each target
//   quorvel-make-fuzz-seeds hostile FUZZDIR   FUZZDIR/regressions/<target>/hostile-*
//
// Graph seeds cover every kind of filter the report recognises, every format
// type with blocks shorter than, equal to and longer than the decoded record,
// the clock line in each of its forms, both stream versions, and graphs cut
// short at many points.  They start at offset 512 and are not padded, so that
// they stay small.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tests/support/GraphBuilder.hpp"
#include "tests/support/WellKnown.hpp"
#include "tests/support/WineRegistrySample.hpp"

namespace {

using namespace quorvel;
using namespace quorvel::testing;
namespace fs = std::filesystem;
namespace wk = quorvel::wellknown;

// Every known major type, and one that is not.
const std::vector<std::string_view> kMajorTypes = {
    wk::kMediatypeAnalogAudio, wk::kMediatypeAnalogVideo,   wk::kMediatypeAudio,
    wk::kMediatypeLine21,      wk::kMediatypeFile,          wk::kMediatypeInterleaved,
    wk::kMediatypeLmrt,        wk::kMediatypeMidi,          wk::kMediatypeMpeg2Pes,
    wk::kMediatypeMpeg2Sections, wk::kMediatypeScriptCommand, wk::kMediatypeStream,
    wk::kMediatypeText,        wk::kMediatypeTimecode,      wk::kMediatypeUrlStream,
    wk::kMediatypeVideo,       wk::kSubtypeNone,            wk::kMediatypeDvdEncrypted,
    "{12345678-9ABC-DEF0-1234-56789ABCDEF0}",
};

// Subtypes of each family: wave format tags and four-character codes on the
// base GUID (upper case, as written by the editor), table entries by value,
// the base GUID in lower case, and one unknown.
const std::vector<std::string_view> kSubtypes = {
    wk::kSubtypeMp3,   wk::kSubtypePcm,         wk::kSubtypeHeAac,    wk::kSubtypeMjpg, wk::kSubtypeYuy2,
    wk::kSubtypeMp43,  wk::kSubtypeRgb32,       wk::kSubtypeMpeg1Packet, wk::kSubtypeDolbyAc3, wk::kSubtypeNtscM,
    "{00000092-0000-0010-8000-00aa00389b71}", "{e436eb7e-524f-11ce-9f53-0020af0ba770}",
    "{FFFFFFFF-0000-0010-8000-00AA00389B71}", "{A1B2C3D4-0000-0000-0000-000000000000}",
};

struct FormatSeed {
    std::string_view guid;
    std::size_t recordSize;
};

// Every format type the report names, GUID_NULL and one unknown type.
const std::vector<FormatSeed> kFormats = {
    {wk::kFormatVideoInfo, 88},   {wk::kFormatVideoInfo2, 112}, {wk::kFormatWaveFormatEx, 18},
    {wk::kFormatMpegVideo, 104},  {wk::kFormatMpeg2Video, 136}, {wk::kFormatAnalogVideo, 48},
    {wk::kFormatDvInfo, 32},      {wk::kFormatMpegStreams, 24}, {wk::kFormatNone, 0},
    {wk::kGuidNull, 0},           {"{DEADBEEF-0000-1111-2222-333344445555}", 16},
};

// A plausible record for a format: real headers where we have a builder,
// otherwise bytes that vary so that decoded fields are not all zero.
Bytes FormatRecord(std::size_t index, std::size_t size) {
    Bytes b;
    if (index == 0) b = VideoInfoHeader(640, 480, 24, 0);
    if (index == 2) b = WaveFormatEx(0x0055, 2, 44100, 16);
    b.resize(size, 0);
    if (index != 0 && index != 2)
        for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<std::uint8_t>(i * 37 + index);
    return b;
}

std::vector<FilterSpec> EveryFilterKind() {
    constexpr Guid kMpeg43 = MakeGuid(wk::kMpeg43DecoderDmo);
    constexpr Guid kVideoDecoder = MakeGuid(wk::kDmoVideoDecoderCategory);
    constexpr Guid kUnknownCategory = MakeGuid("{01234567-89AB-CDEF-0123-456789ABCDEF}");
    return {
        {"0001", "File Source (Async.)", wk::kFileSourceAsync, R"(SOURCE "C:\Videos\clip.avi")", {}},
        {"0002", "AVI Splitter", wk::kAviSplitter, "", {}},
        {"0003", "Mpeg43 Decoder DMO", wk::kDmoWrapper, "", DmoWrapperData(kMpeg43, kVideoDecoder)},
        {"0004", "DMO with more data", wk::kDmoWrapper, "", DmoWrapperData(kMpeg43, kUnknownCategory, 12)},
        {"0005", "ACM Wrapper", wk::kAcmWrapper, "", CodecWrapperData(0x0055)},
        {"0006", "Logitech HD Webcam C270", wk::kKsProxy, "", ProxyData(kWebcamDevicePath)},
        {"0007", "Other device", wk::kKsProxy, "", ProxyData(u"\\\\?\\pci#ven_1234#1#x")},
        {"0008", "MJPEG Compressor", wk::kAviCompressor, "", CodecWrapperData(Fourcc("MJPG"))},
        {"0009", "Video Renderer", wk::kVideoMixingRenderer, "", RendererData(24, 20)},
        {"0010", "Default", wk::kVideoRendererDefault, "", {}},
        {"0011", "VPM", wk::kVideoPortManager, "", {}},
        {"0012", "Mixer", wk::kVideoMixer, "", {}},
        {"0013", "Default DirectSound Device", wk::kDirectSoundRenderer, "", Bytes(16, 0)},
        {"0014", "File Writer", wk::kFileWriter, "SINK \"C:\\out\\caf\xc3\xa9.avi\"", {}},
        {"0015", "Nom \xc3\xa9tendu \xe2\x82\xac", "{E436EBB3-524F-11CE-9F53-0020AF0BA770}", "", {1, 2, 3}},
    };
}

ConnectionSpec Connect(int from, int to, std::string_view major, std::string_view subtype, std::string_view formatType,
                       Bytes format) {
    ConnectionSpec c;
    c.from = from;
    c.to = to;
    c.outPin = "Out " + std::to_string(from);
    c.inPin = "In " + std::to_string(to);
    c.type.major = major;
    c.type.subtype = subtype;
    c.type.fixedSize = from % 2 ? '1' : '0';
    c.type.temporal = to % 2 ? '1' : '0';
    c.type.sampleSize = TenDigits(static_cast<std::uint64_t>(from) * 4096);
    c.type.formatType = formatType;
    c.type.format = std::move(format);
    return c;
}

GraphStream FullGraph(std::string_view version, bool withClock, const std::string& clock = "0001") {
    GraphStream s(version);
    s.Filters();
    const std::vector<FilterSpec> filters = EveryFilterKind();
    for (const FilterSpec& f : filters) s.Filter(f);
    s.Connections();
    s.Connection(Connect(1, 2, wk::kMediatypeStream, wk::kSubtypeAvi, wk::kGuidNull, {}));
    s.Connection(Connect(2, 3, wk::kMediatypeVideo, kSubtypes[5], kFormats[0].guid, FormatRecord(0, 88)));
    s.Connection(Connect(2, 5, wk::kMediatypeAudio, kSubtypes[0], kFormats[2].guid, FormatRecord(2, 30)));
    s.Connection(Connect(6, 9, wk::kMediatypeVideo, kSubtypes[4], kFormats[1].guid, FormatRecord(1, 112)));
    if (withClock) s.Clock(true, clock);
    s.End();
    return s;
}

GraphStream TwoFilters(std::string_view version = "0003") {
    GraphStream s(version);
    s.Filters();
    s.Filter({"0001", "Source", wk::kFileSourceAsync, "", {}});
    s.Filter({"0002", "Sink", wk::kFileWriter, "", {}});
    s.Connections();
    return s;
}

Bytes Finish(GraphStream& s, bool clock = true) {
    if (clock) s.Clock(false, "0000");
    s.End();
    return GraphFile(s.bytes(), 512, false);
}

class SeedWriter {
public:
    explicit SeedWriter(fs::path dir) : dir_(std::move(dir)) { fs::create_directories(dir_); }
    void Put(const std::string& name, const Bytes& bytes) {
        std::ofstream out(dir_ / name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) throw std::runtime_error("cannot write " + (dir_ / name).string());
        ++count_;
    }
    void Put(const std::string& name, const std::string& text) { Put(name, Bytes(text.begin(), text.end())); }
    int count() const { return count_; }

private:
    fs::path dir_;
    int count_ = 0;
};

void GraphSeeds(SeedWriter& out) {
    const Bytes full3 = GraphFile(FullGraph("0003", true).bytes(), 512, false);
    out.Put("full-0003.grf", full3);
    out.Put("full-0002.grf", GraphFile(FullGraph("0002", false).bytes(), 512, false));
    out.Put("full-0003-padded-3072.grf", GraphFile(FullGraph("0003", true).bytes(), 3072, true));

    // Cut short at many points: every failure path of the reader.
    for (std::size_t cut = 512 + 2; cut < full3.size(); cut += (full3.size() - 512) / 40 + 1)
        out.Put("cut-" + std::to_string(cut) + ".grf", Bytes(full3.begin(), full3.begin() + static_cast<long>(cut)));

    // The clock line in each of its forms.
    const std::vector<std::string> clocks = {
        "0000", "0003", "9999", std::string(wk::kSystemClock), std::string(wk::kAviSplitter),
        "{00000000-1111-2222-3333-444444444444}", "{not a guid at all but 38 characters!}", "", "abc"};
    for (std::size_t i = 0; i < clocks.size(); ++i) {
        GraphStream s = TwoFilters();
        s.Clock(i % 2 == 0, clocks[i]);
        s.End();
        out.Put("clock-" + std::to_string(i) + ".grf", GraphFile(s.bytes(), 512, false));
    }

    // Each major type, each subtype.
    for (std::size_t i = 0; i < kMajorTypes.size(); ++i) {
        GraphStream s = TwoFilters();
        s.Connection(Connect(1, 2, kMajorTypes[i], kSubtypes[i % kSubtypes.size()], kFormats[9].guid, {}));
        out.Put("major-" + std::to_string(i) + ".grf", Finish(s));
    }
    for (std::size_t i = 0; i < kSubtypes.size(); ++i) {
        GraphStream s = TwoFilters("0002");
        s.Connection(Connect(1, 2, wk::kMediatypeVideo, kSubtypes[i], kFormats[9].guid, {}));
        out.Put("subtype-" + std::to_string(i) + ".grf", Finish(s, false));
    }

    // Each format type with a block shorter than, equal to and longer than its record.
    for (std::size_t i = 0; i < kFormats.size(); ++i) {
        const std::size_t size = kFormats[i].recordSize;
        const std::vector<std::size_t> sizes = {size == 0 ? 0 : size - 1, size, size + 13};
        for (std::size_t k = 0; k < sizes.size(); ++k) {
            GraphStream s = TwoFilters();
            const std::string_view major = i == 2 ? wk::kMediatypeAudio : wk::kMediatypeVideo;
            s.Connection(Connect(1, 2, major, kSubtypes[i], kFormats[i].guid, FormatRecord(i, sizes[k])));
            out.Put("format-" + std::to_string(i) + "-" + std::to_string(k) + ".grf", Finish(s));
        }
    }

    // Each recognised filter alone, with its data cut short and with none.
    const std::vector<FilterSpec> filters = EveryFilterKind();
    for (std::size_t i = 0; i < filters.size(); ++i) {
        for (int variant = 0; variant < 3; ++variant) {
            FilterSpec f = filters[i];
            if (variant == 1) f.data.resize(f.data.size() / 2);
            if (variant == 2) f.data.clear();
            GraphStream s("0003");
            s.Filters().Filter(f).Connections();
            out.Put("filter-" + std::to_string(i) + "-" + std::to_string(variant) + ".grf", Finish(s));
        }
    }

    // Counts that are not counts, and a connection naming a filter that is not there.
    for (const std::string count : {"4294967295", "2147483648", "00000abc12", "9999999999", "0000000999"}) {
        GraphStream s("0003");
        s.Filters();
        s.Text("0001 \"Bad\" " + std::string(wk::kFileSourceAsync) + " " + count + " ").CrLf();
        s.Connections();
        out.Put("count-" + count + ".grf", Finish(s));
    }
    GraphStream s = TwoFilters();
    s.Connection(Connect(1, 7, wk::kMediatypeVideo, kSubtypes[0], kFormats[9].guid, {}));
    out.Put("unknown-filter.grf", Finish(s));
}

void CatalogSeeds(SeedWriter& out) {
    out.Put("empty.json", std::string("{}"));
    out.Put("lists.json", std::string(R"({"filters": [], "dmos": []})"));
    const std::string splitter(wk::kAviSplitter);
    out.Put("full.json", R"({"filters": [
 {"name": "AVI Splitter", "clsid": ")" + splitter + R"("},
 {"name": "Cam\u00e9ra \u20ac USB", "clsid": ")" + std::string(wk::kKsProxy) + R"(",
  "displayName": "\\\\?\\usb#vid_046d&pid_0825&mi_02#6&2c8a9b3&0&0002#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global"},
 {"name": "Not a proxy", "clsid": "{79376820-07d0-11cf-a24d-0020afd79767}", "displayName": "dropped"},
 {"name": "Emoji \ud83d\ude00 and Cyrillic \u0416", "clsid": ")" + std::string(wk::kGuidNull) + R"("}
], "dmos": [
 {"name": "Mpeg43 Decoder DMO", "clsid": ")" + std::string(wk::kMpeg43DecoderDmo) + R"("}
]})");
    out.Put("long-name.json", R"({"filters": [{"name": ")" + std::string(300, 'n') + R"(", "clsid": ")" + splitter + R"("}]})");
    out.Put("missing-name.json", R"({"filters": [{"clsid": ")" + splitter + R"("}]})");
    out.Put("bad-clsid.json", R"({"dmos": [{"name": "x", "clsid": ")" + splitter.substr(1, 36) + R"("}]})");
    out.Put("not-a-list.json", std::string(R"({"filters": {"name": "x"}})"));
    out.Put("not-an-object.json", std::string(R"([1, 2, "three"])"));
    out.Put("number-name.json", R"({"filters": [{"name": 12, "clsid": ")" + splitter + R"("}]})");
    out.Put("raw-utf8.json", "{\"dmos\": [{\"name\": \"caf\xc3\xa9 \xe2\x82\xac\", \"clsid\": \"" +
                                 std::string(wk::kMpeg43DecoderDmo) + "\"}]}");
}

// A prefix's system.reg: the category of categories, two filter categories,
// DMOs, values of every kind; then damaged variants.
void WineRegistrySeeds(SeedWriter& out) {
    using namespace winereg;
    const std::string full =
        SystemReg({kFiltersCategoryKey, kCaptureCategoryKey, kFileSourceKey, kWebcamEscapesKey, kWmaDecoderDmoKey});
    out.Put("system.reg", full);
    out.Put("header-only.reg", std::string("WINE REGISTRY Version 2\n"));
    std::string crlf;
    for (char c : full) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    out.Put("crlf.reg", crlf);
    out.Put("cut-in-continuation.reg", full.substr(0, full.find("  01,00,00,00")));
    out.Put("bad-clsid.reg", "WINE REGISTRY Version 2\n[Software\\\\Classes\\\\CLSID\\\\" +
                                 std::string(wk::kActiveMovieCategories) +
                                 "\\\\Instance\\\\x] 1\n\"CLSID\"=\"not a guid\"\n\"FriendlyName\"=\"x\"\n");
}

// Entries as fuzz_report_writers reads them: "\x1e\x1f" between entries, the
// first byte of each choosing how it is appended.
void ReportSeeds(SeedWriter& out) {
    const std::string sep = "\x1e\x1f";
    out.Put("plain.txt", "\x01" + std::string("C:\\graphs\\a.grf") + sep + '\x00' + "plain" + sep + '\x04' + "FILTERS" +
                             sep + '\x06' + sep + '\x05' + sep + '\x09' + "olive line" + sep + '\x03' + "bold");
    out.Put("specials.txt", std::string(1, '\0') + std::string("/tmp/<b>&\"'.grf") + sep + '\x00' + "<span> & \"quotes\" 'x'" + sep +
                                '\x00' + "{\\rtf braces} \\par \\u233?" + sep + '\x02' + "\x12\x34\x56" + "custom" +
                                sep + '\x00' + "tab\there, cr\ronly, lf\nonly, nul" + std::string(1, '\0') + "end");
    out.Put("crlf.txt", "\x01" + std::string("x") + sep + '\x00' + "one\r\ntwo\r\n\r\nthree\r\n" + sep + '\x07' +
                            "cleared\r\nagain");
    out.Put("utf8.txt", "\x01" + std::string("C:\\caf\xc3\xa9\\\xe2\x82\xac.grf") + sep + '\x00' +
                            "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80 \xc2\x80\xc2\x9b \xef\xbf\xbd" + sep + '\x11' +
                            "\xff\xfe bad \xc3 \xe2\x82 \xed\xa0\x80 \xf4\x90\x80\x80 \xc0\x80 \x80");
    out.Put("escape.txt", std::string(1, '\0') + std::string("esc") + sep + '\x19' + "\x1b[31mred\x1b[0m \x9b" + "2J");
    out.Put("empty.txt", std::string());
}

// Hand-made hostile graphs kept as regressions, so that the replay of every
// target has inputs from the start.
void HostileInputs(const fs::path& fuzzDir) {
    SeedWriter graphs(fuzzDir / "regressions" / "fuzz_analysis");
    const auto withCount = [](const std::string& count, bool inFormat) {
        return (inFormat ? FormatBlockCounted(count, 64, "A", "B") : FilterDataCounted(count, 64, "A")).file;
    };
    graphs.Put("hostile-filter-data-2gib.grf", withCount("2147483647", false));
    graphs.Put("hostile-filter-data-wraps-negative.grf", withCount("4294967295", false));
    graphs.Put("hostile-filter-data-letters.grf", withCount("00000abc12", false));
    graphs.Put("hostile-format-block-1gib.grf", withCount("1073741824", true));
    graphs.Put("hostile-format-block-wraps.grf", withCount("9999999999", true));

    GraphStream longName("0003");
    longName.Filters().Text("0001 \"" + std::string(100000, 'N'));
    graphs.Put("hostile-unclosed-name-100k.grf", GraphFile(longName.bytes(), 512, false));

    GraphStream many = TwoFilters();
    ConnectionSpec tiny = Connect(1, 2, wk::kMediatypeVideo, kSubtypes[0], kFormats[9].guid, {});
    tiny.outPin.clear();
    tiny.inPin.clear();
    for (int i = 0; i < 2000; ++i) many.Connection(tiny);
    graphs.Put("hostile-2000-connections.grf", Finish(many));

    SeedWriter catalogs(fuzzDir / "regressions" / "fuzz_catalog_file");
    catalogs.Put("hostile-nested-50k.json", std::string(50000, '[') + std::string(50000, ']'));
    catalogs.Put("hostile-nested-objects.json", [] {
        std::string s;
        for (int i = 0; i < 20000; ++i) s += "{\"filters\":";
        s += "[]";
        s += std::string(20000, '}');
        return s;
    }());
    std::string manyFilters = "{\"filters\": [";
    for (int i = 0; i < 1000; ++i)
        manyFilters += std::string(i ? "," : "") + R"({"name":"f","clsid":")" + std::string(wk::kKsProxy) +
                       R"(","displayName":"p#q#r#s"})";
    catalogs.Put("hostile-1000-filters.json", manyFilters + "]}");
    catalogs.Put("hostile-unclosed-string.json", "{\"filters\": [{\"name\": \"" + std::string(100000, 'x'));

    SeedWriter registries(fuzzDir / "regressions" / "fuzz_wine_registry");
    std::string longList = "WINE REGISTRY Version 2\n[A] 1\n\"v\"=hex:00";
    for (int i = 0; i < 100000; ++i) longList += ",\\\n  01";
    registries.Put("hostile-hex-continued-100k-lines.reg", longList + "\n");
    registries.Put("hostile-unclosed-string-100k.reg",
                   "WINE REGISTRY Version 2\n[A] 1\n\"v\"=\"" + std::string(100000, 'x'));
    // A thousand categories that are all the same one, which holds a thousand
    // filters: read naively, a million catalog entries from 250 KB.
    std::string repeated = "WINE REGISTRY Version 2\n";
    for (int i = 0; i < 1000; ++i)
        repeated += "[Software\\\\Classes\\\\CLSID\\\\" + std::string(wk::kActiveMovieCategories) + "\\\\Instance\\\\" +
                    std::to_string(i) + "] 1\n\"CLSID\"=\"" + std::string(wk::kLegacyFiltersCategory) + "\"\n";
    for (int i = 0; i < 1000; ++i)
        repeated += "[Software\\\\Classes\\\\CLSID\\\\" + std::string(wk::kLegacyFiltersCategory) + "\\\\Instance\\\\" +
                    std::to_string(i) + "] 1\n\"FriendlyName\"=\"f\"\n";
    registries.Put("hostile-1000-repeated-categories.reg", repeated);
    registries.Put("hostile-continuation-at-end.reg", std::string("WINE REGISTRY Version 2\n[A] 1\n\"v\"=hex:\\"));

    SeedWriter reports(fuzzDir / "regressions" / "fuzz_report_writers");
    std::string bad;
    for (int i = 0; i < 30000; ++i) bad += "\xc3\xff{\\<&\x01";
    reports.Put("hostile-210k-malformed-line.txt", std::string(1, '\0') + "f" + "\x1e\x1f" + '\x02' + "\xab\xcd\xef" + bad);
    std::string lines = "\x01" + std::string("f") + "\x1e\x1f" + '\x00';
    for (int i = 0; i < 50000; ++i) lines += "\r\n";
    reports.Put("hostile-50k-empty-lines.txt", lines);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const std::string mode = argc == 3 ? argv[1] : "";
        if (mode == "seeds") {
            const fs::path dir(argv[2]);
            SeedWriter graphs(dir / "fuzz_analysis");
            SeedWriter catalogs(dir / "fuzz_catalog_file");
            SeedWriter reports(dir / "fuzz_report_writers");
            SeedWriter registries(dir / "fuzz_wine_registry");
            GraphSeeds(graphs);
            CatalogSeeds(catalogs);
            ReportSeeds(reports);
            WineRegistrySeeds(registries);
            std::cout << graphs.count() << " graph, " << catalogs.count() << " catalog, " << reports.count()
                      << " report and " << registries.count() << " registry seeds in " << dir.string() << "\n";
            return 0;
        }
        if (mode == "hostile") {
            HostileInputs(argv[2]);
            return 0;
        }
        std::cerr << "usage: quorvel-make-fuzz-seeds seeds OUTDIR | hostile FUZZDIR\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "quorvel-make-fuzz-seeds: " << e.what() << "\n";
        return 1;
    }
}
