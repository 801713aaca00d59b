// The catalog of the filters and DMOs installed on this machine, built once
// when the main window is created.
#pragma once

#include <memory>

#include "catalog/FilterCatalog.hpp"

namespace quorvel::ui {

// Empty where the platform's media framework is absent, which is every
// platform this build runs on today.
std::unique_ptr<FilterCatalog> LoadInstalledCatalog();

}  // namespace quorvel::ui
