#include "ui/InstalledCatalog.hpp"

namespace quorvel::ui {

std::unique_ptr<FilterCatalog> LoadInstalledCatalog() { return std::make_unique<FilterCatalog>(); }

}  // namespace quorvel::ui
