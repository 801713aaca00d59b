// AnalyzeGraphFile: one graph file in, the report out.
//
// The file is not parsed as a compound document: the graph stream is looked
// for at 512-byte boundaries (its version text "0002" or "0003" in UTF-16LE)
// and read linearly from there: the FILTERS section, the CONNECTIONS section,
// the clock line (version 0003) and the end marker.  Any failure ends the
// analysis quietly: the lines written so far stay and the result says where
// and why it stopped.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>

#include "report/AnalysisResult.hpp"
#include "report/ReportView.hpp"
#include "catalog/FilterCatalog.hpp"
#include "platform/DateTime.hpp"

namespace quorvel {

// The front-end's side of an analysis (the window shows the wait cursor, the
// path and the save command's hint when it starts; restores the cursor,
// enables saving and shows the report from its first line when it ends).
class AnalysisObserver {
public:
    virtual ~AnalysisObserver() = default;
    virtual void AnalysisStarted(const std::filesystem::path& path) = 0;
    virtual void AnalysisFinished(const AnalysisResult& result) = 0;
};

struct AnalysisEnvironment {
    const FilterCatalog* catalog = nullptr;  // nullptr: an empty catalog
    const DateFormats* dates = nullptr;      // nullptr: the user's formats
    std::function<LocalDateTime()> now;      // empty: the local clock
    std::string programVersion;              // empty: ProgramVersionText()
    AnalysisObserver* observer = nullptr;
    // Keep the graph's connections and the filters' saved bytes in the
    // result's model.  Output that shows only the lines (text, RTF) needs
    // neither, and a big graph then keeps nothing but its filters' names.
    bool keepGraph = true;
    // Takes each filter and connection read whole, which the result's model
    // then lacks: a writer that passes the graph on need not have it kept.
    model::GraphSink* graphSink = nullptr;
    // Add lines under what they explain (frame rates, named codes, parameter
    // sets, the bytes the report only counts), never changing a classic line.
    bool details = false;
};

// "2.1.1", from the version pieces of the string table.
std::string ProgramVersionText();

// A report may hold at most this many bytes of text: a multiple of the file,
// so that no file makes the report grow out of proportion to it.
std::uint64_t ReportByteLimit(std::uint64_t fileSize);

AnalysisResult AnalyzeGraphFile(const std::filesystem::path& path, ReportView& report,
                                const AnalysisEnvironment& env = {});

// The name standard input goes by in a report.
inline constexpr const char* kStandardInputName = "-";

// The same analysis of standard input: itself when it is a file, else its
// bytes taken whole first.  The report names it "-".
AnalysisResult AnalyzeStandardInput(ReportView& report, const AnalysisEnvironment& env = {});

// The same analysis over bytes in memory; `path` is only shown in the header,
// and the current time stands for the file's last-write time.
AnalysisResult AnalyzeGraphBytes(std::span<const std::uint8_t> bytes, const std::string& path, ReportView& report,
                                 const AnalysisEnvironment& env = {});

}  // namespace quorvel
