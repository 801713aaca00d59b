#include "platform/ComApartment.hpp"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <objbase.h>
#endif

namespace quorvel {

#ifdef _WIN32
// S_FALSE (already initialised on this thread) must be balanced too; a
// failure leaves the catalog to find no enumerators.
ComApartment::ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
ComApartment::~ComApartment() {
    if (initialised_) CoUninitialize();
}
#else
ComApartment::ComApartment() = default;
ComApartment::~ComApartment() { (void)initialised_; }
#endif

}  // namespace quorvel
