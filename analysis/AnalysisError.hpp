// The one error type of the analysis: why it stopped, of which kind, and at
// which byte offset of the file.  The report never shows it; the front-ends
// may.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "report/AnalysisResult.hpp"

namespace quorvel {

class AnalysisError : public std::runtime_error {
public:
    AnalysisError(std::uint64_t offset, StopKind kind, std::string reason)
        : std::runtime_error(reason), offset_(offset), kind_(kind), reason_(std::move(reason)) {}

    std::uint64_t offset() const { return offset_; }
    StopKind kind() const { return kind_; }
    const std::string& reason() const { return reason_; }

private:
    std::uint64_t offset_;
    StopKind kind_;
    std::string reason_;
};

}  // namespace quorvel
