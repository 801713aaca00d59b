// quorvel-report: the Quorvel report of graph files, for scripts and batch work.
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "analysis/GraphAnalyzer.hpp"
#include "analysis/ReportExport.hpp"
#include "catalog/CatalogFile.hpp"
#include "catalog/InstalledCatalog.hpp"
#include "cli/ReporterOptions.hpp"
#include "platform/ComApartment.hpp"
#include "resources/Strings.hpp"

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

using namespace quorvel;

int UsageError(const std::string& message) {
    std::cerr << "quorvel-report: " << message << "\nTry 'quorvel-report --help'.\n";
    return 2;
}

// Writes the whole output beside the target, then renames it over the
// target, so that a failed run never leaves a half-written file in its place.
bool WriteFileSafely(const std::string& path, const std::string& contents, std::string& error) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    fs::path temp = target;
    temp += ".quorvel-tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            error = "cannot create " + temp.string();
            return false;
        }
        out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
        out.close();
        if (!out) {
            error = "cannot write " + temp.string();
            std::error_code ignored;
            fs::remove(temp, ignored);
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temp, target, ec);
    if (ec) {
        error = "cannot replace " + path + ": " + ec.message();
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const ComApartment apartment;  // before the catalog asks the platform for its filters
    std::setlocale(LC_ALL, "");
    std::ios::sync_with_stdio(false);

    const ParsedOptions parsed = ParseReporterOptions(std::vector<std::string>(argv + 1, argv + argc));
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

    FilterCatalog catalog;
    if (!options.catalogFile.empty()) {
        try {
            catalog = LoadCatalogFile(options.catalogFile);
        } catch (const CatalogFileError& e) {
            std::cerr << "quorvel-report: " << e.what() << "\n";
            return 2;
        }
    } else if (!options.noCatalog) {
        // A damaged source costs its own entries only: say so and go on.
        try {
            BuildInstalledCatalog(catalog);
        } catch (const CatalogBuildError& e) {
            std::cerr << "quorvel-report: catalog: " << e.what() << "\n";
        }
    }

    if (options.dumpCatalog) {
        const std::string json = CatalogToJson(catalog);
        if (options.output.empty()) {
            std::cout << json << std::flush;
            if (!std::cout) {
                std::cerr << "quorvel-report: cannot write the catalog to standard output\n";
                return 2;
            }
            return 0;
        }
        std::string error;
        if (!WriteFileSafely(options.output, json, error)) {
            std::cerr << "quorvel-report: " << error << "\n";
            return 2;
        }
        return 0;
    }

    const ReportFormat format = ChooseReportFormat(options, isatty(fileno(stdout)) != 0);
    const SystemDateFormats dates;
    AnalysisEnvironment env;
    env.catalog = &catalog;
    env.dates = &dates;

    std::ostringstream buffered;
    std::ostream& out = options.output.empty() ? std::cout : buffered;
    int status = 0;
    // Text and ANSI reports are written line by line as the analysis runs.
    const std::unique_ptr<ReportSink> sink = MakeStreamingSink(out, format);
    ReportView report;
    report.StreamTo(sink.get());
    for (const std::string& file : options.files) {
        const AnalysisResult result = AnalyzeGraphFile(file, report, env);
        if (!sink) WriteReport(out, format, report, result);
        if (!result.complete) {
            status = 1;
            const AnalysisStop stop = result.stopped.value_or(AnalysisStop{});
            std::cerr << "quorvel-report: " << file << ": stopped at offset " << stop.offset << ": " << stop.reason
                      << "\n";
        }
    }
    out.flush();
    if (!options.output.empty()) {
        std::string error;
        if (!WriteFileSafely(options.output, buffered.str(), error)) {
            std::cerr << "quorvel-report: " << error << "\n";
            return 2;
        }
    } else if (!std::cout) {
        std::cerr << "quorvel-report: cannot write the report to standard output\n";
        return 2;
    }
    return status;
}
