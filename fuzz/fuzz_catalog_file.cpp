// fuzz_catalog_file: a catalog file's text, then the catalog it gives saved
// and read again.  A text that is no catalog must be refused with
// CatalogFileError and nothing else; a catalog that was read must come back
// from its own saved form with the same filters and DMOs.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "catalog/CatalogFile.hpp"
#include "catalog/FilterCatalog.hpp"
#include "fuzz/FuzzCheck.hpp"

namespace {

using namespace quorvel;

bool SameFilters(const FilterCatalog& a, const FilterCatalog& b) {
    if (a.FilterList.size() != b.FilterList.size() || a.DmoList.size() != b.DmoList.size()) return false;
    for (std::size_t i = 0; i < a.FilterList.size(); ++i) {
        const TfilterItem& x = a.FilterList[i];
        const TfilterItem& y = b.FilterList[i];
        if (x.Name != y.Name || x.CLSID != y.CLSID || x.DisplayName != y.DisplayName)
            return false;
    }
    for (std::size_t i = 0; i < a.DmoList.size(); ++i)
        if (a.DmoList[i].Name != b.DmoList[i].Name || a.DmoList[i].CLSID != b.DmoList[i].CLSID) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    FilterCatalog catalog;
    try {
        catalog = ParseCatalogJson(text);
    } catch (const CatalogFileError&) {
        return 0;  // refused: the controlled outcome for a text that is no catalog
    }

    for (const TfilterItem& f : catalog.FilterList) {
        QUORVEL_FUZZ_CHECK(f.Name.size() <= kMaxFilterNameLength);
        QUORVEL_FUZZ_CHECK(f.DisplayName.empty() || f.CLSID == kProxyClsid);
    }

    const std::string saved = CatalogToJson(catalog);
    QUORVEL_FUZZ_CHECK(quorvel::fuzz::IsWellFormedUtf8(saved));
    FilterCatalog again;
    try {
        again = ParseCatalogJson(saved);
    } catch (const CatalogFileError& e) {
        std::fprintf(stderr, "the saved catalog was refused: %s\n", e.what());
        QUORVEL_FUZZ_CHECK(!"a saved catalog must read back");
    }
    QUORVEL_FUZZ_CHECK(SameFilters(catalog, again));
    // Saving is stable: the second save is the first, byte for byte.
    QUORVEL_FUZZ_CHECK(CatalogToJson(again) == saved);
    return 0;
}
