#include "tests/support/AnalysisHarness.hpp"

#include <filesystem>
#include <fstream>

#include <cstdio>

namespace quorvel::testing {

void PrintTo(const Line& line, std::ostream* os) {
    char color[16];
    std::snprintf(color, sizeof color, "#%06X", static_cast<unsigned>(line.color));
    *os << "{\"" << line.text << "\", " << color << (line.bold ? ", bold}" : "}");
}

std::vector<std::string> Analysed::Texts() const {
    std::vector<std::string> out;
    for (const Line& l : lines) out.push_back(l.text);
    return out;
}

int Analysed::Find(const std::string& text) const {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].text == text) return static_cast<int>(i);
    return -1;
}

std::vector<std::string> Analysed::SectionAfter(const std::string& heading) const {
    std::vector<std::string> out;
    int i = Find(heading);
    if (i < 0) return out;
    // The heading is followed by a blank line, then the entries.
    for (std::size_t k = static_cast<std::size_t>(i) + 2; k < lines.size() && !lines[k].text.empty(); ++k)
        out.push_back(lines[k].text);
    return out;
}

LocalDateTime FixedNow() {
    LocalDateTime t;
    t.year = 2009, t.month = 1, t.day = 20, t.hour = 14, t.minute = 5, t.second = 9, t.weekday = 2;
    return t;
}

AnalysisEnvironment TestEnvironment(const FilterCatalog* catalog) {
    static const FixedDateFormats kFormats;
    AnalysisEnvironment env;
    env.catalog = catalog;
    env.dates = &kFormats;
    env.now = FixedNow;
    return env;
}

std::vector<Line> DisplayedLines(const ReportView& report) {
    std::vector<Line> lines;
    report.ForEachLine([&](std::string_view text, Color c, bool bold) { lines.push_back({std::string(text), c, bold}); });
    return lines;
}

Analysed AnalyzeFileBytes(const Bytes& file, const FilterCatalog* catalog) {
    Analysed a;
    a.result = AnalyzeGraphBytes(file, "C:\\graphs\\test.grf", a.report, TestEnvironment(catalog));
    a.lines = DisplayedLines(a.report);
    return a;
}

Analysed AnalyzeStream(const GraphStream& stream, const FilterCatalog* catalog) {
    return AnalyzeFileBytes(GraphFile(stream.bytes()), catalog);
}

Analysed AnalyzePath(const std::string& path, const FilterCatalog* catalog) {
    Analysed a;
    a.result = AnalyzeGraphFile(path, a.report, TestEnvironment(catalog));
    a.lines = DisplayedLines(a.report);
    return a;
}

Bytes ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), {});
}

std::vector<std::pair<std::string, Bytes>> SampleAndRealGraphs() {
    namespace fs = std::filesystem;
    std::vector<std::pair<std::string, Bytes>> graphs = {
        {"sample", ReadFileBytes((fs::path(QUORVEL_SOURCE_DIR) / "samples" / "capture.grf").string())}};
    const fs::path real = fs::path(QUORVEL_SHARED_DIR) / "graphs" / "real";
    if (fs::exists(real))
        for (const auto& e : fs::directory_iterator(real))
            if (e.path().extension() == ".grf")
                graphs.push_back({e.path().filename().string(), ReadFileBytes(e.path().string())});
    return graphs;
}

}  // namespace quorvel::testing
