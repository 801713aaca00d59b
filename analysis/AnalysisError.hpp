// The one error type of the analysis: why it stopped and at which byte offset
// of the file.  The report never shows it; the front-ends may.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace quorvel {

class AnalysisError : public std::runtime_error {
public:
    AnalysisError(std::uint64_t offset, std::string reason)
        : std::runtime_error(reason), offset_(offset), reason_(std::move(reason)) {}

    std::uint64_t offset() const { return offset_; }
    const std::string& reason() const { return reason_; }

private:
    std::uint64_t offset_;
    std::string reason_;
};

// The report refused a line: it would have grown past its limit.
class ReportFullError : public std::runtime_error {
public:
    explicit ReportFullError(std::size_t limit)
        : std::runtime_error("the report would exceed " + std::to_string(limit) + " bytes") {}
};

}  // namespace quorvel
