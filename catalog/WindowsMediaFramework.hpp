// The platform's own media framework, through the component object runtime:
// the system device enumerator and the DMO enumerator.  Windows only; the
// calling thread must have initialised the runtime (ComApartment).
#pragma once

#include <memory>

#include "catalog/DeviceEnumeration.hpp"

namespace quorvel {

std::unique_ptr<MediaFramework> MakeWindowsMediaFramework();

}  // namespace quorvel
