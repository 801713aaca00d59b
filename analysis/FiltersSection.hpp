// The FILTERS section: one line per filter entry.
//
// A filter entry, UTF-16LE text except for its data block:
//   id          4 code units, decimal digits
//   separator   1 code unit
//   name        text in double quotes
//   separator   1 code unit
//   CLSID       38-character registry form
//   separator   1 code unit
//   file part   optional, when the next unit is 'S': a word (SOURCE, SINK),
//               a space, a quoted path, one separator
//   data block  10-digit byte count n, 1 separator, n bytes the filter saved
//   line end    CR LF
#pragma once

#include <string>
#include <string_view>

#include "analysis/AnalysisState.hpp"

namespace quorvel {

// Reads one entry, records the filter in graphFilters, sets
// FilterLineColor and returns the report line (UTF-8).  The look-ahead must
// be the id's first code unit; afterwards it is the next line's first.
std::string ReadFilterEntry(AnalysisState& state);

// Name of a DMO category, or the GUID in registry form.
std::string DmoCategoryName(const Guid& category);

}  // namespace quorvel
