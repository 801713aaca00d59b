#include "catalog/InstalledCatalog.hpp"

#include <cstdlib>
#include <filesystem>

#include "catalog/BuiltinCatalog.hpp"
#include "catalog/WineMediaFramework.hpp"
#include "catalog/WineRegistry.hpp"

#ifdef _WIN32
#include "catalog/WindowsMediaFramework.hpp"
#endif

namespace quorvel {

std::string DefaultWinePrefix() {
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) return prefix;
    if (const char* home = std::getenv("HOME"); home && *home) return (std::filesystem::path(home) / ".wine").string();
    return {};
}

void AddWinePrefixCatalog(const std::string& prefix, FilterCatalog& catalog) {
    if (prefix.empty()) return;
    const std::filesystem::path path = std::filesystem::path(prefix) / "system.reg";
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return;  // no prefix: nothing to read

    const RegistryFile registry = LoadWineRegistry(path);
    const std::unique_ptr<MediaFramework> wine = MakeWineMediaFramework(registry);
    try {
        BuildFilterCatalog(*wine, catalog);
    } catch (const CatalogBuildError& e) {
        throw CatalogBuildError(path.string() + ": " + e.what());
    }
    // Keys read before a damage have been used; the damage is still an error.
    if (registry.error) {
        std::string where = path.string();
        if (registry.error->line > 0) where += ", line " + std::to_string(registry.error->line);
        throw CatalogBuildError(where + ": " + registry.error->reason);
    }
}

void BuildInstalledCatalog(FilterCatalog& catalog) {
#ifdef _WIN32
    const std::unique_ptr<MediaFramework> platform = MakeWindowsMediaFramework();
    BuildFilterCatalog(*platform, catalog);
#else
    // The standard names come after the prefix's own entries, even when the
    // prefix could only be read in part.
    try {
        AddWinePrefixCatalog(DefaultWinePrefix(), catalog);
    } catch (const CatalogBuildError&) {
        AddBuiltinCatalog(catalog);
        throw;
    }
    AddBuiltinCatalog(catalog);
#endif
}

}  // namespace quorvel
