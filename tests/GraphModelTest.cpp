// The graph as data: every value a report line shows is in the model with the
// same value, and what a stopped analysis read is in both alike.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "catalog/FilterCatalog.hpp"
#include "report/ReportDocument.hpp"
#include "tests/support/AnalysisHarness.hpp"

namespace quorvel::testing {
namespace {

bool Has(const std::string& line, const std::string& part) { return line.find(part) != std::string::npos; }
std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// What a line must hold to show a value of the model.
struct Expectation {
    std::string what;
    std::function<bool(const std::string&)> matches;
};

// Both ways: each value of the model is on the line, and what the line says
// of the filter after its name is made of those values alone (a name the
// line shows that the model dropped fails too).
void ExpectFilter(std::vector<Expectation>& out, const model::Filter& f) {
    std::string start = f.id + "  " + Quoted(f.name) + "  ";
    std::vector<std::string> parts;
    switch (f.kind) {
        case model::FilterKind::DirectShow: {
            const std::optional<std::string>& name = f.catalogName ? f.catalogName : f.knownName;
            start += name ? ": " + *name + " " + f.clsid : f.clsid;
            if (f.dataSize > 0) parts.push_back("<" + std::to_string(f.dataSize) + " octets");
            break;
        }
        case model::FilterKind::DmoWrapper:
            if (f.dmo)
                parts.push_back(": " + (f.dmo->catalogName ? *f.dmo->catalogName + " " : std::string()) + f.dmo->clsid +
                                " cat= " + f.dmo->category.name.value_or(f.dmo->category.guid));
            break;
        case model::FilterKind::PnpProxy:
            parts.push_back(f.proxy->catalogName ? ": " + *f.proxy->catalogName + " " + f.proxy->devicePath
                                                 : ": Proxy " + f.clsid);
            break;
        case model::FilterKind::AcmWrapper:
            parts.push_back(": ACM Wrapper = " + (f.acm ? f.acm->formatName : std::string("Inconnu")));
            break;
        case model::FilterKind::AviCompressor:
            parts.push_back(": AVI Encoder = " + (f.avi ? f.avi->fourcc : std::string()));
            break;
    }
    if (f.file) parts.push_back(f.file->role + "  " + Quoted(f.file->path) + "  ");
    out.push_back({start, [=](const std::string& line) {
                       if (line.rfind(start, 0) != 0) return false;
                       for (const std::string& p : parts)
                           if (!Has(line, p)) return false;
                       return true;
                   }});
}

void ExpectExactly(std::vector<Expectation>& out, std::string text) {
    out.push_back({text, [text](const std::string& line) { return line == text; }});
}

void ExpectConnection(std::vector<Expectation>& out, const model::Connection& c) {
    ExpectExactly(out, Quoted(c.output.filter) + "  " + Quoted(c.output.pin) + "   => " + Quoted(c.input.filter) +
                           "  " + Quoted(c.input.pin));
    const model::MediaType& t = c.mediaType;
    if (t.majorType) ExpectExactly(out, "     " + t.majorType->name.value_or(t.majorType->guid));
    if (t.subtype && t.sampleSize) {
        const std::string start = "     " + t.subtype->name.value_or(t.subtype->guid) + " - ";
        const std::string end = "(" + std::to_string(*t.sampleSize) + ")";
        const bool fixed = t.fixedSizeSamples;
        const bool temporal = t.temporalCompression;
        out.push_back({start + "..." + end, [=](const std::string& line) {
                           return line.rfind(start, 0) == 0 && line.ends_with(end) &&
                                  Has(line, "Echantillons de taille fixe") == fixed &&
                                  Has(line, "Compression temporelle") == temporal;
                       }});
    }
    if (!t.formatType) return;
    ExpectExactly(out, "     " + *t.formatType->name + "  ");
    for (const DecodedField& field : t.fields) ExpectExactly(out, "          " + std::string(field.label) + field.Text());
    if (!t.fields.empty() && !t.undecoded.empty())
        ExpectExactly(out, "          <" + std::to_string(t.undecoded.size()) + " octets de données binaires >");
}

std::vector<Expectation> ExpectationsOf(const model::Graph& g) {
    std::vector<Expectation> out;
    if (g.version) ExpectExactly(out, *g.version);
    for (const model::Filter& f : g.filters) ExpectFilter(out, f);
    for (const model::Connection& c : g.connections) ExpectConnection(out, c);
    if (g.clock) {
        ExpectExactly(out, g.clock->required ? "CLOCK   (Requis)" : "CLOCK  ");
        ExpectExactly(out, g.clock->filterId ? Quoted(g.clock->name) : g.clock->name);
    }
    if (g.endMarker) ExpectExactly(out, *g.endMarker);
    return out;
}

// Each expectation met by a line, in order; and as many filter lines and
// connection headers in the report as in the model.
void ExpectModelMatchesLines(const Analysed& a, const std::string& name) {
    const std::vector<std::string> lines = a.Texts();
    std::size_t at = 0;
    for (const Expectation& e : ExpectationsOf(a.result.graph)) {
        while (at < lines.size() && !e.matches(lines[at])) ++at;
        ASSERT_LT(at, lines.size()) << name << ": no line shows " << e.what;
        ++at;
    }
    EXPECT_EQ(a.SectionAfter("FILTERS").size(), a.result.graph.filters.size()) << name;
    std::size_t headers = 0;
    std::size_t fieldLines = 0;
    for (const Line& l : a.lines) {
        headers += l.bold && Has(l.text, "   => ");
        fieldLines += l.text.size() > 10 && l.text.rfind("          ", 0) == 0 && l.text[10] != '<';
    }
    EXPECT_EQ(headers, a.result.graph.connections.size()) << name;
    std::size_t fields = 0;
    for (const model::Connection& c : a.result.graph.connections) fields += c.mediaType.fields.size();
    EXPECT_EQ(fieldLines, fields) << name;
}

// A graph of every kind of filter and every decoded format record.
Bytes EveryKindGraph(bool pad = true) {
    GraphStream s;
    s.Filters();
    s.Filter({"0001", "Source", wellknown::kFileSourceAsync, R"(SOURCE "C:\Vidéos\clip.avi")", {}});
    s.Filter({"0002", "DMO", wellknown::kDmoWrapper, "",
              DmoWrapperData(MakeGuid(wellknown::kMpeg43DecoderDmo), MakeGuid(wellknown::kDmoVideoDecoderCategory), 7)});
    s.Filter({"0003", "Cam", wellknown::kKsProxy, "", ProxyData(kWebcamDevicePath)});
    s.Filter({"0004", "ACM", wellknown::kAcmWrapper, "", CodecWrapperData(0x0055)});
    s.Filter({"0005", "AVI", wellknown::kAviCompressor, "", CodecWrapperData(Fourcc("MJPG"))});
    s.Filter({"0006", "VMR", wellknown::kVideoMixingRenderer, "", RendererData(4, 16)});
    s.Filter({"0007", "Source", wellknown::kAviSplitter, "", {}});  // a name two filters bear
    s.Connections();
    s.Connection({1, "Output", 2, "In", {wellknown::kMediatypeVideo, wellknown::kSubtypeMjpg, '0', '1', "0000000000",
                                         wellknown::kFormatVideoInfo, VideoInfoHeader(640, -480, 24, Fourcc("MJPG"))}});
    s.Connection({2, "Out", 3, "In", {wellknown::kMediatypeAudio, "{00000055-0000-0010-8000-00AA00389B71}", '1', '0',
                                      "0000000001", wellknown::kFormatWaveFormatEx, Mp3WaveFormat()}});
    s.Connection({7, "Out", 6, "In", {"{12345678-9ABC-DEF0-1234-56789ABCDEF0}", "{12345678-9ABC-DEF0-1234-56789ABCDEF0}",
                                      '0', '0', "0000000000", "{12345678-9ABC-DEF0-1234-56789ABCDEF0}", Bytes(5, 7)}});
    s.Clock(true, "0006").End();
    return GraphFile(s.bytes(), 3072, pad);
}

// The reporter's JSON document, which takes the filters and connections as
// the analysis reads them: `copies` analyses of the same bytes.
std::string StreamedJson(const Bytes& bytes, const FilterCatalog* catalog, std::size_t copies) {
    std::ostringstream out;
    const auto document =
        MakeReportDocument(out, ReportFormat::Json, std::vector<std::string>(copies, "C:\\graphs\\test.grf"));
    ReportView report;
    report.StreamTo(document->StreamingSink());
    AnalysisEnvironment env = TestEnvironment(catalog);
    env.graphSink = document->GraphStreamingSink();
    for (std::size_t i = 0; i < copies; ++i)
        document->Add(report, AnalyzeGraphBytes(bytes, "C:\\graphs\\test.grf", report, env));
    document->Finish();
    return out.str();
}

// Taken piece by piece or kept whole, the graph gives the same JSON.
void ExpectStreamedJsonIsTheModels(const Bytes& bytes, const FilterCatalog* catalog, const std::string& name) {
    const Analysed a = AnalyzeFileBytes(bytes, catalog);
    std::ostringstream whole;
    WriteJsonReport(whole, a.report, a.result);
    EXPECT_EQ(StreamedJson(bytes, catalog, 1), whole.str()) << name;
    std::string object = whole.str();
    object.pop_back();  // the line end
    EXPECT_EQ(StreamedJson(bytes, catalog, 2), "[\n" + object + ",\n" + object + "\n]\n") << name;
}

TEST(GraphModel, EveryValueALineShowsIsInTheModel) {
    FilterCatalog catalog;
    catalog.AddFilter("AVI Splitter", MakeGuid(wellknown::kAviSplitter));
    catalog.AddDmo("Mpeg43 Decoder DMO", MakeGuid(wellknown::kMpeg43DecoderDmo));
    std::vector<std::pair<std::string, Bytes>> graphs = SampleAndRealGraphs();
    graphs.push_back({"every kind", EveryKindGraph()});
    for (const auto& [name, bytes] : graphs) {
        for (const FilterCatalog* c : std::vector<const FilterCatalog*>{nullptr, &catalog}) {
            const Analysed a = AnalyzeFileBytes(bytes, c);
            EXPECT_TRUE(a.result.complete) << name;
            ExpectModelMatchesLines(a, name);
            ExpectStreamedJsonIsTheModels(bytes, c, name);
        }
    }
}

TEST(GraphModel, TheModelNamesFiltersAndConnectionsAsData) {
    const Analysed a = AnalyzeFileBytes(EveryKindGraph());
    const model::Graph& g = a.result.graph;
    ASSERT_EQ(g.filters.size(), 7u);
    ASSERT_EQ(g.connections.size(), 3u);
    EXPECT_EQ(g.filters[0].file->path, R"(C:\Vidéos\clip.avi)");
    EXPECT_EQ(g.filters[1].kind, model::FilterKind::DmoWrapper);
    EXPECT_EQ(g.filters[1].dataSize, 39u);
    EXPECT_EQ(g.filters[1].dmo->category.name, "Video Decoder");
    EXPECT_EQ(g.filters[2].kind, model::FilterKind::PnpProxy);
    EXPECT_EQ(g.filters[3].acm->formatTag, 0x55);
    EXPECT_EQ(g.filters[4].avi->fourcc, "MJPG");
    EXPECT_EQ(g.filters[5].knownName, "Video Mixing Renderer (DX8)");
    // A name two filters bear gives no id.
    EXPECT_EQ(g.connections[0].output.filterId, std::nullopt);
    EXPECT_EQ(g.connections[0].input.filterId, "0002");
    const model::MediaType& video = g.connections[0].mediaType;
    EXPECT_EQ(video.fields[7].key, "biHeight");
    EXPECT_EQ(video.fields[7].value, -480);
    EXPECT_EQ(video.fields[0].key, "rcSource");
    EXPECT_EQ(video.fields[0].rectangle, (std::array<std::int32_t, 4>{0, 0, 640, 480}));
    EXPECT_EQ(g.connections[1].mediaType.undecoded.size(), 12u);
    // An unknown format type: no field, every byte undecoded.
    EXPECT_EQ(g.connections[2].mediaType.undecoded, Bytes(5, 7));
    EXPECT_EQ(g.connections[2].mediaType.majorType->name, std::nullopt);
    EXPECT_EQ(g.clock->filterId, "0006");
}

// Cut anywhere, the model keeps what the lines show.
TEST(GraphModel, AStoppedAnalysisKeepsInTheModelWhatTheLinesShow) {
    const Bytes whole = EveryKindGraph(/*pad=*/false);
    for (std::size_t size = 3072; size < whole.size(); size += 37) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        const Analysed a = AnalyzeFileBytes(cut);
        ASSERT_FALSE(a.result.complete) << size;
        ExpectModelMatchesLines(a, "cut at " + std::to_string(size));
        ExpectStreamedJsonIsTheModels(cut, nullptr, "cut at " + std::to_string(size));
    }
}

}  // namespace
}  // namespace quorvel::testing
