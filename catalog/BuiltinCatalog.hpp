// The standard filters and DMOs of the platform, as a table shipped with the
// program: what builds without the platform's enumerators name filters by.
#pragma once

#include <span>
#include <string_view>

#include "catalog/FilterCatalog.hpp"

namespace quorvel {

struct BuiltinFilter {
    Guid category;
    std::string_view name;  // UTF-8
    Guid clsid;
};

struct BuiltinDmo {
    std::string_view name;  // UTF-8
    Guid clsid;
};

std::span<const BuiltinFilter> BuiltinFilters();
std::span<const BuiltinDmo> BuiltinDmos();

// Appends the table to the catalog: the filters category by category, then
// the DMOs.
void AddBuiltinCatalog(FilterCatalog& catalog);

}  // namespace quorvel
