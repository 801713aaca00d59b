// Fills a FilterCatalog from the platform's media framework: every filter of
// every filter category, in enumeration order, then every DMO.
#pragma once

#include <stdexcept>
#include <string>

#include "catalog/DeviceEnumeration.hpp"
#include "catalog/FilterCatalog.hpp"

namespace quorvel {

// A build that ended early.  The catalog keeps what was added before.
class CatalogBuildError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Appends to `catalog`: for each category of the category of categories, its
// filters (streaming proxies with their display names), then the DMOs.  A
// "CLSID" value that is not a GUID ends the build with a CatalogBuildError
// that names the text; categories, monikers and DMOs the platform cannot
// give are skipped.
void BuildFilterCatalog(MediaFramework& framework, FilterCatalog& catalog);

}  // namespace quorvel
