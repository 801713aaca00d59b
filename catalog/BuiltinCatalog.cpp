#include "catalog/BuiltinCatalog.hpp"

#include "platform/TextConv.hpp"

namespace quorvel {

namespace {

constexpr BuiltinFilter kFilters[] = {
#define QUORVEL_BUILTIN_FILTER(category, name, clsid) {MakeGuid(category), name, MakeGuid(clsid)},
#include "catalog/BuiltinCatalogTable.inc"
#undef QUORVEL_BUILTIN_FILTER
};

constexpr BuiltinDmo kDmos[] = {
#define QUORVEL_BUILTIN_DMO(name, clsid) {name, MakeGuid(clsid)},
#include "catalog/BuiltinCatalogTable.inc"
#undef QUORVEL_BUILTIN_DMO
};

}  // namespace

std::span<const BuiltinFilter> BuiltinFilters() { return kFilters; }
std::span<const BuiltinDmo> BuiltinDmos() { return kDmos; }

void AddBuiltinCatalog(FilterCatalog& catalog) {
    catalog.FilterList.reserve(catalog.FilterList.size() + std::size(kFilters));
    for (const BuiltinFilter& filter : kFilters) catalog.AddFilter(AnsiFromUtf8(filter.name), filter.clsid);
    catalog.DmoList.reserve(catalog.DmoList.size() + std::size(kDmos));
    for (const BuiltinDmo& dmo : kDmos) catalog.AddDmo(AnsiFromUtf8(dmo.name), dmo.clsid);
}

}  // namespace quorvel
