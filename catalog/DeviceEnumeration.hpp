// What the catalog build needs of the platform's media framework: the system
// device enumerator (a class enumerator of monikers per filter category, each
// moniker with its property bag and display name) and the DMO enumerator.
//
// These mirror the component object interfaces one to one, so that the build
// reads like the platform's own algorithm and runs unchanged over any source:
// the real enumerators on Windows, a Wine prefix's registry elsewhere, and
// scripted fakes in the tests.  Texts are the platform's wide text (UTF-16).
//
// Every "null" or "nullopt" result stands for an answer other than S_OK.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Guid.hpp"

namespace quorvel {

// The values under a moniker's key ("FriendlyName", "CLSID", ...).
class PropertyBag {
public:
    virtual ~PropertyBag() = default;
    // The value as text; nullopt when it is missing or not text.
    virtual std::optional<std::u16string> Read(std::u16string_view name) = 0;
};

class Moniker {
public:
    virtual ~Moniker() = default;
    // Null when the moniker cannot be bound to its property bag.
    virtual std::unique_ptr<PropertyBag> BindToStorage() = 0;
    // Nullopt when the platform gives no display name.
    virtual std::optional<std::u16string> GetDisplayName() = 0;
};

class MonikerEnumerator {
public:
    virtual ~MonikerEnumerator() = default;
    // The next moniker; null ends the enumeration.
    virtual std::unique_ptr<Moniker> Next() = 0;
    virtual void Skip(std::uint32_t count) = 0;
    virtual void Reset() = 0;
};

// ICreateDevEnum.
class DeviceEnumerator {
public:
    virtual ~DeviceEnumerator() = default;
    // Null for an empty, unregistered or failing category (S_FALSE included).
    virtual std::unique_ptr<MonikerEnumerator> CreateClassEnumerator(const Guid& category) = 0;
};

struct DmoEntry {
    Guid clsid;
    std::u16string name;
};

// IEnumDMO.
class DmoEnumerator {
public:
    virtual ~DmoEnumerator() = default;
    // The next DMO; nullopt ends the enumeration.
    virtual std::optional<DmoEntry> Next() = 0;
};

// The entry points: CoCreateInstance of the system device enumerator, DMOEnum.
class MediaFramework {
public:
    virtual ~MediaFramework() = default;
    // Null when the system device enumerator cannot be created.
    virtual std::unique_ptr<DeviceEnumerator> CreateDeviceEnumerator() = 0;
    // All categories, keyed DMOs included; null when DMOEnum fails.
    virtual std::unique_ptr<DmoEnumerator> EnumDmos() = 0;
};

// The category of categories (CLSID_ActiveMovieCategories).
inline constexpr Guid kActiveMovieCategories = MakeGuid("{DA4E3DA0-D07D-11D0-BD50-00A0C911CE86}");

}  // namespace quorvel
