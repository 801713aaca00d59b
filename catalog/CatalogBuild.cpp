#include "catalog/CatalogBuild.hpp"

#include <cstddef>
#include <set>
#include <vector>

#include "platform/TextConv.hpp"

namespace quorvel {

namespace {

// Wide text from the platform, one code unit at a time, as every other text
// of the report.
std::string AnsiFromWide(std::u16string_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (char16_t unit : wide) out += AnsiFromCodeUnit(static_cast<std::uint16_t>(unit));
    return out;
}

struct CategoryRecord {
    std::string FriendlyName;  // at most 255 characters
    Guid CLSID;
    // Where the moniker stood in its enumeration: monikers that cannot be
    // bound are left out, so this can differ from the record's index.
    std::uint32_t Position = 0;
};

// The enumeration state of one build: the categories, and the filters of the
// category selected last.
class TSysDevEnum {
public:
    explicit TSysDevEnum(MediaFramework& framework) : framework_(framework) {
        EnumerateMonikers(kActiveMovieCategories, categories_);
    }

    std::size_t CategoryCount() const { return categories_.size(); }
    Guid CategoryClsid(std::size_t index) const { return categories_.at(index).CLSID; }

    void SelectCategory(std::size_t index) {
        category_ = categories_.at(index).CLSID;
        EnumerateMonikers(category_, filters_);
    }

    std::size_t FilterCount() const { return filters_.size(); }
    CategoryRecord FilterRecord(std::size_t index) const { return filters_.at(index); }

    // The moniker of the index-th filter record, from a fresh enumeration of
    // the current category: the platform gives the same order twice in a row.
    std::unique_ptr<Moniker> FilterMoniker(std::size_t index) {
        if (index >= filters_.size()) return nullptr;
        const std::unique_ptr<DeviceEnumerator> devices = framework_.CreateDeviceEnumerator();
        if (!devices) return nullptr;
        const std::unique_ptr<MonikerEnumerator> monikers = devices->CreateClassEnumerator(category_);
        if (!monikers) return nullptr;
        monikers->Skip(filters_[index].Position);
        std::unique_ptr<Moniker> moniker = monikers->Next();
        monikers->Reset();
        return moniker;
    }

private:
    void EnumerateMonikers(const Guid& category, std::vector<CategoryRecord>& records) {
        records.clear();
        const std::unique_ptr<DeviceEnumerator> devices = framework_.CreateDeviceEnumerator();
        if (!devices) return;
        const std::unique_ptr<MonikerEnumerator> monikers = devices->CreateClassEnumerator(category);
        if (!monikers) return;
        for (std::uint32_t position = 0;; ++position) {
            const std::unique_ptr<Moniker> moniker = monikers->Next();
            if (!moniker) break;
            const std::unique_ptr<PropertyBag> bag = moniker->BindToStorage();
            if (!bag) continue;  // an entry that cannot be read is left out
            CategoryRecord record;
            record.Position = position;
            if (const auto name = bag->Read(u"FriendlyName")) {
                record.FriendlyName = AnsiFromWide(*name);
                if (record.FriendlyName.size() > kMaxFilterNameLength)
                    record.FriendlyName.resize(kMaxFilterNameLength);
            }
            if (const auto clsid = bag->Read(u"CLSID")) {
                const std::string text = AnsiFromWide(*clsid);
                const std::optional<Guid> parsed = TryParseGuid(text);
                if (!parsed)
                    throw CatalogBuildError("CLSID of \"" + Utf8FromAnsi(record.FriendlyName) +
                                            "\" is not a GUID: \"" + Utf8FromAnsi(text) + "\"");
                record.CLSID = *parsed;
            }
            records.push_back(std::move(record));
        }
    }

    MediaFramework& framework_;
    Guid category_;
    std::vector<CategoryRecord> categories_;
    std::vector<CategoryRecord> filters_;
};

void AddDmos(MediaFramework& framework, FilterCatalog& catalog) {
    const std::unique_ptr<DmoEnumerator> dmos = framework.EnumDmos();
    if (!dmos) return;
    while (const std::optional<DmoEntry> dmo = dmos->Next()) catalog.AddDmo(AnsiFromWide(dmo->name), dmo->clsid);
}

}  // namespace

void BuildFilterCatalog(MediaFramework& framework, FilterCatalog& catalog) {
    {
        TSysDevEnum devices(framework);
        // A category listed twice would only add entries that every lookup
        // finds after the first ones; listed thousands of times by a damaged
        // registry, it would multiply the catalog.  Each is read once.
        const auto byBytes = [](const Guid& a, const Guid& b) { return a.bytes < b.bytes; };
        std::set<Guid, decltype(byBytes)> selected(byBytes);
        for (std::size_t k = 0; k < devices.CategoryCount(); ++k) {
            if (!selected.insert(devices.CategoryClsid(k)).second) continue;
            devices.SelectCategory(k);
            for (std::size_t i = 0; i < devices.FilterCount(); ++i) {
                CategoryRecord record = devices.FilterRecord(i);
                std::string displayName;
                if (record.CLSID == kProxyClsid) {
                    if (const std::unique_ptr<Moniker> moniker = devices.FilterMoniker(i))
                        if (const auto name = moniker->GetDisplayName()) displayName = AnsiFromWide(*name);
                }
                catalog.AddFilter(std::move(record.FriendlyName), record.CLSID, std::move(displayName));
            }
        }
    }
    AddDmos(framework, catalog);
}

}  // namespace quorvel
