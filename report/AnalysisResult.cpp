#include "report/AnalysisResult.hpp"

namespace quorvel {

std::string_view StopKindName(StopKind kind) {
    switch (kind) {
        case StopKind::Open: return "open";
        case StopKind::Read: return "read";
        case StopKind::EndOfFile: return "end-of-file";
        case StopKind::Count: return "count";
        case StopKind::Guid: return "guid";
        case StopKind::NoGraphStream: return "no-graph-stream";
        case StopKind::FilterId: return "filter-id";
        case StopKind::ShortBlock: return "short-block";
        case StopKind::ReportFull: return "report-full";
        case StopKind::Memory: return "memory";
        case StopKind::Other: break;
    }
    return "other";
}

}  // namespace quorvel
