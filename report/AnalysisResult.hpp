// How an analysis ended, and the graph it read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/GraphModel.hpp"

namespace quorvel {

// Why an analysis stopped, for callers that act on it (a reporter makes no
// report of a file it could not open) and for structured output.
enum class StopKind {
    Open,           // the file could not be opened: no report was made
    Read,           // the file could not be read to its size
    EndOfFile,      // a field or a data block runs past the end of the file
    Count,          // a data block's byte count is negative
    Guid,           // a text that must be a GUID is not one
    NoGraphStream,  // no version text at any 512-byte boundary
    FilterId,       // a connection names a filter the section does not have
    ShortBlock,     // a saved block is shorter than a field read from it
    ReportFull,     // the report would outgrow its limit
    Memory,         // out of memory
    Other,
};

// "open", "read", "end-of-file", ...: the kind's name in structured output.
std::string_view StopKindName(StopKind kind);

// Where and why an analysis stopped before its end.
struct AnalysisStop {
    std::uint64_t offset = 0;  // byte offset in the file
    std::string reason;        // short, UTF-8
    StopKind kind = StopKind::Other;
};

struct AnalysisResult {
    std::string file;                     // the path as given, UTF-8
    bool complete = false;                // every step up to the end-marker test ran
    std::optional<AnalysisStop> stopped;  // set exactly when !complete
    model::Graph graph;                   // what was read, as data

    // False only when the file could not be opened, so nothing was reported.
    bool Reported() const { return !stopped || stopped->kind != StopKind::Open; }
};

}  // namespace quorvel
