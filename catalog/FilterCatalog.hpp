// The installed filters and DMOs of this machine, and the records that also
// describe the filters of an opened graph.  Texts are 8-bit Windows-1252, as
// every graph-derived text of the report.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Guid.hpp"

namespace quorvel {

// The kernel-streaming proxy: every PnP device filter has this CLSID, so
// only the moniker display name tells one from another.
inline constexpr Guid kProxyClsid = MakeGuid("{17CCA71B-ECD7-11D0-B908-00A0C9223196}");

inline constexpr std::size_t kMaxFilterNameLength = 255;

// One installed filter.  (The filters of an opened graph are the model's.)
struct TfilterItem {
    std::string Name;         // friendly name, at most 255 characters
    Guid CLSID;               // all zero when unknown
    std::string DisplayName;  // moniker display name; only for ProxyClsid entries
};

struct TDMOItem {
    std::string Name;
    Guid CLSID;
};

class FilterCatalog {
public:
    std::vector<TfilterItem> FilterList;  // enumeration order: category by category
    std::vector<TDMOItem> DmoList;        // enumeration order

    // Appends a catalog entry; the name is cut to its first 255 characters,
    // and the display name is kept only for streaming-proxy filters.
    void AddFilter(std::string name, const Guid& clsid, std::string displayName = {});
    void AddDmo(std::string name, const Guid& clsid);

    // Front-to-back searches, first hit wins.
    const TfilterItem* FindFilter(const Guid& clsid) const;
    const TDMOItem* FindDmo(const Guid& clsid) const;
    // The first entry with a non-empty display name that names the same
    // device as `devicePath` (SameDevicePath).
    const TfilterItem* FindDevice(std::string_view devicePath) const;

    void Release();
};

// Compares two device paths as fields ending in '#': the first two fields
// must be equal (position of their '#' included), the third is not compared,
// and what follows it must be equal.  Exact, case-sensitive.
bool SameDevicePath(std::string_view a, std::string_view b);

}  // namespace quorvel
