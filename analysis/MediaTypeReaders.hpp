// The media type of a connection record, read field by field and turned into
// the lines of its block in the report (UTF-8):
//   major type   GUID text, separator
//   subtype      GUID text, separator, fixed-size-samples flag, separator,
//                temporal-compression flag, separator, sample size (10 digits),
//                separator
//   format type  GUID text, separator, block length (10 digits), separator,
//                the format block
// Each reader also puts what it read into the connection's media type, with
// its line: a reader that stops leaves neither.
#pragma once

#include <string>

#include "analysis/GraphReader.hpp"
#include "analysis/ReportParts.hpp"
#include "model/GraphModel.hpp"

namespace quorvel {

// "     " + the major type's name or its GUID text.  Leaves the look-ahead on
// the subtype's opening brace.
// Without `full`, the model keeps no texts of the type: nothing asks for them.
std::string DescribeMajorType(GraphReader& reader, model::MediaType& type, bool full = true);

// "     " + label + " - " + set flags each followed by " - " + "(size)".
// Leaves the look-ahead on the format type's opening brace.
std::string DescribeSubtype(GraphReader& reader, model::MediaType& type, bool full = true);

struct FormatReading {
    bool keep = true;      // the block's bytes and details go into the model
    bool details = false;  // lines are added under what they explain
};

// "     " + format type name + "  " + the decoded fields and the notice of
// bytes not decoded; with details, the lines that explain them.  Every format
// block, whatever its type, is consumed by its declared count: afterwards the
// reader is in step with its look-ahead on the code unit right after the
// block, so the end-of-record read takes what stands before the CR, then the
// CR LF.
ReportParts DescribeFormat(GraphReader& reader, model::MediaType& type, FormatReading how = {});

// With details, the lines under a type's line that name a GUID the report
// shows bare: the name the platform's SDK headers give it.
void DescribeGuidName(ReportParts& parts, const model::NamedGuid& guid, std::size_t indent);

}  // namespace quorvel
