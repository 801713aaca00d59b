// The catalog of the filters and DMOs installed on this machine, built once at
// start-up by each front-end.
//
// On Windows it comes from the platform's enumerators.  Elsewhere there are
// none, so it is filled from the user's Wine prefix (its system.reg), when
// there is one, followed by the built-in table of the platform's standard
// filters and DMOs.
#pragma once

#include <string>

#include "catalog/CatalogBuild.hpp"
#include "catalog/FilterCatalog.hpp"

namespace quorvel {

// Appends this machine's catalog to `catalog`.  Throws CatalogBuildError when
// a source is damaged; the catalog then holds what could be read.
void BuildInstalledCatalog(FilterCatalog& catalog);

// $WINEPREFIX, else ~/.wine: where Wine keeps the user's prefix.
std::string DefaultWinePrefix();

// Appends what the Wine prefix at `prefix` has registered; nothing when it
// has no system.reg.  Throws CatalogBuildError, naming the file, for a damaged
// registry or a CLSID that is not a GUID, after appending what was read.
void AddWinePrefixCatalog(const std::string& prefix, FilterCatalog& catalog);

}  // namespace quorvel
