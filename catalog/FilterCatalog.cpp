#include "catalog/FilterCatalog.hpp"

namespace quorvel {

void FilterCatalog::AddFilter(std::string name, const Guid& clsid, std::string displayName) {
    if (name.size() > kMaxFilterNameLength) name.resize(kMaxFilterNameLength);
    if (clsid != kProxyClsid) displayName.clear();
    FilterList.push_back(TfilterItem{std::move(name), clsid, std::move(displayName)});
}

void FilterCatalog::AddDmo(std::string name, const Guid& clsid) {
    DmoList.push_back(TDMOItem{std::move(name), clsid});
}

const TfilterItem* FilterCatalog::FindFilter(const Guid& clsid) const {
    for (const TfilterItem& f : FilterList)
        if (f.CLSID == clsid) return &f;
    return nullptr;
}

const TDMOItem* FilterCatalog::FindDmo(const Guid& clsid) const {
    for (const TDMOItem& d : DmoList)
        if (d.CLSID == clsid) return &d;
    return nullptr;
}

const TfilterItem* FilterCatalog::FindDevice(std::string_view devicePath) const {
    for (const TfilterItem& f : FilterList)
        if (!f.DisplayName.empty() && SameDevicePath(devicePath, f.DisplayName)) return &f;
    return nullptr;
}

void FilterCatalog::Release() {
    FilterList.clear();
    DmoList.clear();
}

namespace {

// One field of both texts: the '#' must stand at the same position, and the
// texts before it (the '#' included) must be equal.  Drops the field.
bool SameField(std::string_view& a, std::string_view& b) {
    const std::size_t i = a.find('#');
    const std::size_t j = b.find('#');
    if (i != j) return false;
    const std::size_t len = (i == std::string_view::npos) ? 0 : i + 1;
    if (a.substr(0, len) != b.substr(0, len)) return false;
    a.remove_prefix(len);
    b.remove_prefix(len);
    return true;
}

void DropThroughHash(std::string_view& s) {
    const std::size_t at = s.find('#');
    if (at != std::string_view::npos) s.remove_prefix(at + 1);
}

}  // namespace

bool SameDevicePath(std::string_view a, std::string_view b) {
    if (!SameField(a, b) || !SameField(a, b)) return false;
    DropThroughHash(a);  // the third field (the instance) is not compared
    DropThroughHash(b);
    return a == b;
}

}  // namespace quorvel
