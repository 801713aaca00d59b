// quorvel-report: the Quorvel report of graph files, for scripts and batch work.
#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "analysis/GraphAnalyzer.hpp"
#include "report/ReportDocument.hpp"
#include "catalog/CatalogFile.hpp"
#include "catalog/InstalledCatalog.hpp"
#include "cli/ReporterOptions.hpp"
#include "diagram/GraphDiagram.hpp"
#include "diagram/GraphLayout.hpp"
#include "platform/ComApartment.hpp"
#include "platform/OutputFile.hpp"
#include "platform/Paths.hpp"
#include "platform/TextConv.hpp"
#include "resources/Strings.hpp"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>
#define isatty _isatty
#else
#include <unistd.h>
#endif

namespace {

using namespace quorvel;

// Everything said on standard error goes through here: names and reasons
// come from the files and must not drive the terminal.
void Say(const std::string& message) { std::cerr << "quorvel-report: " << TerminalSafe(message) << "\n"; }

int UsageError(const std::string& message) {
    Say(message);
    std::cerr << "Try 'quorvel-report --help'.\n";
    return 2;
}

// Writes `text` whole to the output, or says why it could not.
int WriteWhole(OutputFile& output, const std::string& text) {
    output.Stream() << text;
    try {
        output.Commit();
    } catch (const OutputError& e) {
        Say(e.what());
        return 2;
    }
    return 0;
}

FilterCatalog LoadCatalog(const ReporterOptions& options, bool& failed) {
    FilterCatalog catalog;
    if (!options.catalogFile.empty()) {
        try {
            catalog = LoadCatalogFile(PathFromUtf8(options.catalogFile));
        } catch (const CatalogFileError& e) {
            Say(e.what());
            failed = true;
        }
    } else if (!options.noCatalog) {
        // A damaged source costs its own entries only: say so and go on.
        try {
            BuildInstalledCatalog(catalog);
        } catch (const CatalogBuildError& e) {
            Say(std::string("catalog: ") + e.what());
        }
    }
    return catalog;
}

void TellStop(const std::string& file, const AnalysisResult& result) {
    const AnalysisStop stop = result.stopped.value_or(AnalysisStop{});
    if (!result.Reported())
        Say(file + ": " + stop.reason);
    else
        Say(file + ": stopped at offset " + std::to_string(stop.offset) + ": " + stop.reason);
}

// The last component of a path as given: the graph's name in its picture.
std::string FileName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The graph drawn for DOT, SVG and the HTML page, within the layout budget.
// A picture left out of the page is said on standard error; an SVG that
// cannot be drawn counts as a failed run.
GraphPictures Pictures(ReportFormat format, double budget, int& status) {
    GraphPictures pictures;
    pictures.dot = [](const AnalysisResult& r) { return diagram::DotText(r.graph, FileName(r.file)); };
    if (format == ReportFormat::Html && !diagram::LayoutAvailable()) return pictures;  // the page without picture
    pictures.svg = [&status, format, budget](const AnalysisResult& r) {
        const bool page = format == ReportFormat::Html;
        const diagram::LayoutEstimate estimate = diagram::EstimateLayout(r.graph);
        if (estimate.seconds > budget) {
            Say(r.file + ": " + std::to_string(estimate.nodes) + " filters and " +
                std::to_string(estimate.connections) + " connections are too many to draw within " +
                std::to_string(std::lround(budget)) + " s (Graphviz would take " +
                (estimate.seconds > 86400 ? std::string("more than a day") : "about " + diagram::DurationText(estimate.seconds)) + "): " +
                (page ? "the page leaves the picture out; " : "") + "--layout-budget=SECONDS allows more");
            if (!page) status = std::max(status, 1);
            return std::string();
        }
        try {
            diagram::LayoutLimits limits;
            limits.seconds = budget;
            return diagram::RenderSvg(diagram::DotText(r.graph, FileName(r.file)), limits);
        } catch (const diagram::LayoutError& e) {
            Say(r.file + ": cannot draw the graph: " + e.what() + (page ? "; the page leaves the picture out" : ""));
            if (!page || e.kind() == diagram::LayoutError::Kind::Failed) status = std::max(status, 1);
            return std::string();
        }
    };
    return pictures;
}

// The report goes to a terminal: standard output, or -o naming one.
bool OutputIsTerminal(const ReporterOptions& options) {
    if (options.output.empty() || options.output == "-") return isatty(1) != 0;
    return NamesATerminal(PathFromUtf8(options.output));
}

int Run(const std::vector<std::string>& args) {
    const ParsedOptions parsed = ParseReporterOptions(args);
    const ReporterOptions& options = parsed.options;
    if (!parsed.error.empty()) return UsageError(parsed.error);
    if (options.help) {
        std::cout << ReporterUsage();
        return 0;
    }
    if (options.version) {
        std::cout << "quorvel-report " << ProgramVersionText() << " (" << Res(Str::ProductName) << " de "
                  << Res(Str::Author) << ")\n";
        return 0;
    }

    OutputFile output(options.output.empty() ? PathFromUtf8(OutputFile::kStandardOutput)
                                             : PathFromUtf8(options.output));
    // Refused before any work: a report written over a file it is made from
    // would destroy it.
    std::vector<std::filesystem::path> inputs;
    for (const std::string& file : options.files) inputs.push_back(PathFromUtf8(file));
    if (!options.catalogFile.empty()) inputs.push_back(PathFromUtf8(options.catalogFile));
    try {
        output.CheckTarget(inputs);
    } catch (const OutputError& e) {
        Say(e.what());
        return 2;
    }

    bool catalogFailed = false;
    const FilterCatalog catalog = LoadCatalog(options, catalogFailed);
    if (catalogFailed) return 2;

    if (options.dumpCatalog) return WriteWhole(output, CatalogToJson(catalog));

    const bool color = ColorWanted(options.color, OutputIsTerminal(options), std::getenv("NO_COLOR"),
                                   std::getenv("TERM"));
    const ReportFormat format = ChooseReportFormat(options, color);
    if (format == ReportFormat::Svg && options.files.size() > 1)
        return UsageError("an SVG document is the picture of one graph: give one file (or use --format html)");
    const SystemDateFormats dates;
    AnalysisEnvironment env;
    env.catalog = &catalog;
    env.dates = &dates;
    env.details = options.details;
    // Only what is shown is kept: the lines alone need no model.
    env.keepGraph = FormatRowOf(format).source != FormatSource::Lines;

    int status = 0;
    const std::unique_ptr<ReportDocument> document = MakeReportDocument(
        output.Stream(), format, options.files, Pictures(format, options.layoutBudget, status),
        OutputIsTerminal(options));
    ReportView report;
    report.StreamTo(document->StreamingSink());
    env.graphSink = document->GraphStreamingSink();
    // One file's result at a time.  (Freeing the last one's model at exit
    // costs 4 % of the instructions of a 10,000-filter graph's DOT, and
    // nothing where the model is not kept: not worth a leak.)
    std::optional<AnalysisResult> last;
    for (const std::string& file : options.files) {
        last.emplace(file == kStandardInputName ? AnalyzeStandardInput(report, env)
                                                : AnalyzeGraphFile(PathFromUtf8(file), report, env));
        const AnalysisResult& result = *last;
        document->Add(report, result);
        if (!result.complete) {
            status = std::max(status, 1);
            TellStop(file, result);
        }
        if (output.Failed()) break;  // the rest could not be written either
    }
    document->Finish();
    try {
        output.Commit();
    } catch (const OutputError& e) {
        Say(e.what());
        return 2;
    }
    return status;
}

}  // namespace

#ifdef _WIN32
// Arguments as the system holds them, UTF-16, carried on as UTF-8; the
// console shows UTF-8 and the report's colours.
int wmain(int argc, wchar_t** argv) {
    const ComApartment apartment;  // before the catalog asks the platform for its filters
    SetConsoleOutputCP(CP_UTF8);
    if (HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE); console != INVALID_HANDLE_VALUE) {
        DWORD mode = 0;
        if (GetConsoleMode(console, &mode)) SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    }
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(PathText(std::filesystem::path(argv[i])));
    return Run(args);
}
#else
int main(int argc, char** argv) {
    const ComApartment apartment;
    std::setlocale(LC_ALL, "");
    std::ios::sync_with_stdio(false);
    return Run(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
