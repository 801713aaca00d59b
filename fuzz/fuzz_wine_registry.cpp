// fuzz_wine_registry: the text of a Wine prefix's system.reg, read by our
// registry reader, then the catalog built from it as at start-up.  The reader
// must never throw; an error names a line of the text; the catalog build may
// only refuse a CLSID text, and then with CatalogBuildError.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "catalog/CatalogBuild.hpp"
#include "catalog/FilterCatalog.hpp"
#include "catalog/WineMediaFramework.hpp"
#include "catalog/WineRegistry.hpp"
#include "fuzz/FuzzCheck.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvel;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const RegistryFile registry = ParseWineRegistry(text);

    const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    if (registry.error) {
        QUORVEL_FUZZ_CHECK(registry.error->line >= 1 && registry.error->line <= lines);
        QUORVEL_FUZZ_CHECK(!registry.error->reason.empty());
    }
    QUORVEL_FUZZ_CHECK(registry.keys.size() <= lines);
    for (const RegistryKey& key : registry.keys) {
        QUORVEL_FUZZ_CHECK(!key.path.empty());
        for (const RegistryValue& value : key.values) {
            // Every byte of a value comes from at least two characters of the text.
            QUORVEL_FUZZ_CHECK(value.data.size() <= size / 2);
            QUORVEL_FUZZ_CHECK(value.text.size() <= size);
        }
    }

    FilterCatalog catalog;
    try {
        BuildFilterCatalog(*MakeWineMediaFramework(registry), catalog);
    } catch (const CatalogBuildError&) {
        // A CLSID value that is not a GUID: what was built before it stays.
    }
    // Each entry comes from a key of its own: the catalog grows with the file.
    QUORVEL_FUZZ_CHECK(catalog.FilterList.size() + catalog.DmoList.size() <= registry.keys.size());
    for (const TfilterItem& f : catalog.FilterList) {
        QUORVEL_FUZZ_CHECK(f.Name.size() <= kMaxFilterNameLength);
        QUORVEL_FUZZ_CHECK(f.DisplayName.empty() || f.CLSID == kProxyClsid);
        // A sought name comes from the file: it can be no longer than the text.
        QUORVEL_FUZZ_CHECK(f.Name.size() <= size);
    }
    for (const TDMOItem& d : catalog.DmoList) QUORVEL_FUZZ_CHECK(d.Name.size() <= size);
    return 0;
}
