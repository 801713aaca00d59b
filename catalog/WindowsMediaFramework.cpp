#include "catalog/WindowsMediaFramework.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// clang-format off
#include <dshow.h>
#include <dmo.h>
// clang-format on

#include <cstring>
#include <string>

namespace quorvel {

namespace {

// Owns one reference to an interface.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }

    T* operator->() const { return p_; }
    T* get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For the out-parameter of a call; drops what was held.
    T** Out() {
        Reset();
        return &p_;
    }
    void Reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }

private:
    T* p_ = nullptr;
};

GUID ToGuid(const Guid& g) {
    GUID out;
    static_assert(sizeof out == sizeof g.bytes);
    std::memcpy(&out, g.bytes.data(), sizeof out);
    return out;
}

Guid FromGuid(const GUID& g) {
    return Guid::FromBytes(std::span<const std::uint8_t, 16>(reinterpret_cast<const std::uint8_t*>(&g), 16));
}

std::u16string FromWide(const wchar_t* text, std::size_t length) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

class Bag : public PropertyBag {
public:
    explicit Bag(ComPtr<IPropertyBag> bag) : bag_(std::move(bag)) {}

    std::optional<std::u16string> Read(std::u16string_view name) override {
        const std::wstring key(name.begin(), name.end());
        VARIANT value;
        VariantInit(&value);
        std::optional<std::u16string> text;
        if (bag_->Read(key.c_str(), &value, nullptr) == S_OK && value.vt == VT_BSTR && value.bstrVal)
            text = FromWide(value.bstrVal, SysStringLen(value.bstrVal));
        VariantClear(&value);
        return text;
    }

private:
    ComPtr<IPropertyBag> bag_;
};

class PlatformMoniker : public Moniker {
public:
    explicit PlatformMoniker(ComPtr<IMoniker> moniker) : moniker_(std::move(moniker)) {}

    std::unique_ptr<PropertyBag> BindToStorage() override {
        ComPtr<IPropertyBag> bag;
        if (moniker_->BindToStorage(nullptr, nullptr, IID_IPropertyBag, reinterpret_cast<void**>(bag.Out())) != S_OK ||
            !bag)
            return nullptr;
        return std::make_unique<Bag>(std::move(bag));
    }

    std::optional<std::u16string> GetDisplayName() override {
        LPOLESTR name = nullptr;
        const HRESULT hr = moniker_->GetDisplayName(nullptr, nullptr, &name);
        std::optional<std::u16string> text;
        if (hr == S_OK && name) text = FromWide(name, std::wcslen(name));
        if (name) CoTaskMemFree(name);
        return text;
    }

private:
    ComPtr<IMoniker> moniker_;
};

class PlatformMonikers : public MonikerEnumerator {
public:
    explicit PlatformMonikers(ComPtr<IEnumMoniker> monikers) : monikers_(std::move(monikers)) {}

    std::unique_ptr<Moniker> Next() override {
        ComPtr<IMoniker> moniker;
        ULONG fetched = 0;
        if (monikers_->Next(1, moniker.Out(), &fetched) != S_OK || !moniker) return nullptr;
        return std::make_unique<PlatformMoniker>(std::move(moniker));
    }
    void Skip(std::uint32_t count) override { monikers_->Skip(count); }
    void Reset() override { monikers_->Reset(); }

private:
    ComPtr<IEnumMoniker> monikers_;
};

class PlatformDevices : public DeviceEnumerator {
public:
    explicit PlatformDevices(ComPtr<ICreateDevEnum> devices) : devices_(std::move(devices)) {}

    std::unique_ptr<MonikerEnumerator> CreateClassEnumerator(const Guid& category) override {
        ComPtr<IEnumMoniker> monikers;
        // S_FALSE: the category is empty or not registered, and no enumerator is given.
        if (devices_->CreateClassEnumerator(ToGuid(category), monikers.Out(), 0) != S_OK || !monikers) return nullptr;
        return std::make_unique<PlatformMonikers>(std::move(monikers));
    }

private:
    ComPtr<ICreateDevEnum> devices_;
};

class PlatformDmos : public DmoEnumerator {
public:
    explicit PlatformDmos(ComPtr<IEnumDMO> dmos) : dmos_(std::move(dmos)) {}

    std::optional<DmoEntry> Next() override {
        CLSID clsid;
        WCHAR* name = nullptr;
        const HRESULT hr = dmos_->Next(1, &clsid, &name, nullptr);
        std::optional<DmoEntry> entry;
        if (hr == S_OK) entry = DmoEntry{FromGuid(clsid), name ? FromWide(name, std::wcslen(name)) : std::u16string()};
        if (name) CoTaskMemFree(name);
        return entry;
    }

private:
    ComPtr<IEnumDMO> dmos_;
};

class WindowsMediaFramework : public MediaFramework {
public:
    std::unique_ptr<DeviceEnumerator> CreateDeviceEnumerator() override {
        ComPtr<ICreateDevEnum> devices;
        if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC, IID_ICreateDevEnum,
                                    reinterpret_cast<void**>(devices.Out()))) ||
            !devices)
            return nullptr;
        return std::make_unique<PlatformDevices>(std::move(devices));
    }

    std::unique_ptr<DmoEnumerator> EnumDmos() override {
        ComPtr<IEnumDMO> dmos;
        if (DMOEnum(GUID_NULL, DMO_ENUMF_INCLUDE_KEYED, 0, nullptr, 0, nullptr, dmos.Out()) != S_OK || !dmos)
            return nullptr;
        return std::make_unique<PlatformDmos>(std::move(dmos));
    }
};

}  // namespace

std::unique_ptr<MediaFramework> MakeWindowsMediaFramework() { return std::make_unique<WindowsMediaFramework>(); }

}  // namespace quorvel
