// Catalog files: a machine's catalog saved as JSON, so that a graph made on
// one machine can be read elsewhere with the names of that machine.
//
//   {"filters": [{"name": "...", "clsid": "{...}", "displayName": "..."}, ...],
//    "dmos":    [{"name": "...", "clsid": "{...}"}, ...]}
//
// Texts are UTF-8 in the file; they pass through the same per-code-unit
// Windows-1252 conversion as graph texts.  "displayName" may be left out.
#pragma once

#include <filesystem>

#include <stdexcept>
#include <string>
#include <string_view>

#include "catalog/FilterCatalog.hpp"

namespace quorvel {

class CatalogFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

FilterCatalog ParseCatalogJson(std::string_view json);       // throws CatalogFileError
FilterCatalog LoadCatalogFile(const std::filesystem::path& path);      // throws CatalogFileError
std::string CatalogToJson(const FilterCatalog& catalog);     // the same format, UTF-8

}  // namespace quorvel
