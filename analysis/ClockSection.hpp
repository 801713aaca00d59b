// The clock line of a version 0003 stream:
//   keyword     5 code units ("CLOCK")
//   separator
//   required    1 code unit, '1' when the graph requires its clock
//   separator
//   clock       the rest of the line: a filter id of 4 digits ("0000": none)
//               or a CLSID of 38 characters
//   line end    CR LF
#pragma once

#include <string>

#include "analysis/AnalysisState.hpp"

namespace quorvel {

inline constexpr Guid kSystemClockClsid = MakeGuid("{E436EBB1-524F-11CE-9F53-0020AF0BA770}");

// Returns the heading, CR LF, then the clock's name (UTF-8).
std::string ReadClockSection(AnalysisState& state);

}  // namespace quorvel
