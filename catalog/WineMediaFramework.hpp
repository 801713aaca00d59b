// The media framework as a Wine prefix registers it: its filter categories,
// the filters registered in each, and its DMOs, read from the prefix's
// system.reg instead of asked of running enumerators.
//
//   Software\Classes\CLSID\{category}\Instance\{...}   "FriendlyName", "CLSID"
//   Software\Classes\DirectShow\MediaObjects\{clsid without braces}   @ = name
//
// The category of categories is itself such a category.  Monikers are given
// in the order in which the file lists their keys; their display names are
// those of registered software filters, "@device:sw:{category}\{instance}".
#pragma once

#include <memory>

#include "catalog/DeviceEnumeration.hpp"
#include "catalog/WineRegistry.hpp"

namespace quorvel {

// `registry` must outlive the framework and the objects it hands out.
std::unique_ptr<MediaFramework> MakeWineMediaFramework(const RegistryFile& registry);

}  // namespace quorvel
