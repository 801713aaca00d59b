// The names that the platform SDK headers give to GUIDs: media types,
// subtypes, format types, kernel-streaming data formats and sub-formats,
// filter and DMO classes.  The table is generated from the mingw-w64 headers
// (scripts/make-guid-names.sh); a GUID may have several names, the first of
// which is its primary one (DirectShow's names come before the
// kernel-streaming and Media Foundation aliases).
#pragma once

#include <optional>
#include <string_view>

#include "platform/Guid.hpp"

namespace quorvel {

// The primary name, e.g. "MEDIASUBTYPE_H264"; nullopt for a GUID no header names.
std::optional<std::string_view> KnownGuidName(const Guid& guid);

// The first name that starts with preferredPrefix (e.g. "KSDATAFORMAT_SUBTYPE_"
// for the sub-format of an extensible wave format), else the primary name.
std::optional<std::string_view> KnownGuidName(const Guid& guid, std::string_view preferredPrefix);

}  // namespace quorvel
