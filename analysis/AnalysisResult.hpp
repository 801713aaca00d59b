// How an analysis ended.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quorvel {

// Where and why an analysis stopped before its end.
struct AnalysisStop {
    std::uint64_t offset = 0;  // byte offset in the file
    std::string reason;        // short, UTF-8
};

struct AnalysisResult {
    std::string file;                     // the path as given
    bool complete = false;                // every step up to the end-marker test ran
    std::optional<AnalysisStop> stopped;  // set exactly when !complete
};

}  // namespace quorvel
