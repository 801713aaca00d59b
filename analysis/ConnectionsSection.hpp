// The CONNECTIONS section: one record per pin-to-pin connection.
//
// A connection record, UTF-16LE text:
//   output filter id   4 digits, 1-based position in the FILTERS section
//   separator, output pin name (quoted), separator
//   input filter id    4 digits
//   separator, input pin name (quoted), separator
//   10 code units      the byte length of the media type that follows; skipped
//   separator
//   media type         major type, subtype, flags, sample size, format type
//                      and format block (read by the media type describers)
//   line end           CR LF
#pragma once

#include <string>

#include "analysis/AnalysisState.hpp"

namespace quorvel {

// Reads the record through the separator after its ten-unit field and returns
// the header line: output filter and pin " => " input filter and pin.  The
// look-ahead is then the major type's opening brace.
std::string DescribeConnectionHeader(AnalysisState& state);

}  // namespace quorvel
