#include "catalog/WineMediaFramework.hpp"

#include <algorithm>
#include <map>
#include <string_view>
#include <vector>

#include "platform/TextConv.hpp"

namespace quorvel {

namespace {

constexpr std::u16string_view kClsidRoot = u"Software\\Classes\\CLSID";
constexpr std::u16string_view kDmoRoot = u"Software\\Classes\\DirectShow\\MediaObjects";

// Splits a key path at its backslashes.
std::vector<std::u16string_view> PathParts(std::u16string_view path) {
    std::vector<std::u16string_view> parts;
    while (true) {
        const std::size_t at = path.find(u'\\');
        parts.push_back(path.substr(0, at));
        if (at == std::u16string_view::npos) break;
        path.remove_prefix(at + 1);
    }
    return parts;
}

// True when `path` starts with the parts of `root`, which are then dropped.
bool StripRoot(std::u16string_view& path, std::u16string_view root) {
    if (path.size() <= root.size() || path[root.size()] != u'\\') return false;
    if (!SameRegistryName(path.substr(0, root.size()), root)) return false;
    path.remove_prefix(root.size() + 1);
    return true;
}

std::optional<Guid> GuidFromWide(std::u16string_view text) {
    std::string ascii;
    ascii.reserve(text.size());
    for (char16_t unit : text) {
        if (unit > 0x7F) return std::nullopt;
        ascii += static_cast<char>(unit);
    }
    return TryParseGuid(ascii);
}

class KeyBag : public PropertyBag {
public:
    explicit KeyBag(const RegistryKey& key) : key_(key) {}
    std::optional<std::u16string> Read(std::u16string_view name) override { return key_.Text(name); }

private:
    const RegistryKey& key_;
};

class KeyMoniker : public Moniker {
public:
    KeyMoniker(const RegistryKey& key, std::u16string displayName)
        : key_(key), displayName_(std::move(displayName)) {}
    std::unique_ptr<PropertyBag> BindToStorage() override { return std::make_unique<KeyBag>(key_); }
    std::optional<std::u16string> GetDisplayName() override { return displayName_; }

private:
    const RegistryKey& key_;
    std::u16string displayName_;
};

struct GuidLess {
    bool operator()(const Guid& a, const Guid& b) const { return a.bytes < b.bytes; }
};

struct Instance {
    const RegistryKey* key;
    std::u16string_view name;  // the instance key's own name
};

struct Category {
    std::u16string name;  // "{...}" as the file writes it
    std::vector<Instance> instances;
};

using CategoryMap = std::map<Guid, Category, GuidLess>;

class InstanceEnumerator : public MonikerEnumerator {
public:
    explicit InstanceEnumerator(const Category& category) : category_(category) {}

    std::unique_ptr<Moniker> Next() override {
        if (next_ >= category_.instances.size()) return nullptr;
        const Instance& instance = category_.instances[next_++];
        std::u16string displayName = u"@device:sw:";
        displayName += category_.name;
        displayName += u'\\';
        displayName += instance.name;
        return std::make_unique<KeyMoniker>(*instance.key, std::move(displayName));
    }
    void Skip(std::uint32_t count) override {
        next_ = std::min<std::size_t>(category_.instances.size(), next_ + count);
    }
    void Reset() override { next_ = 0; }

private:
    const Category& category_;
    std::size_t next_ = 0;
};

class RegistryDevices : public DeviceEnumerator {
public:
    explicit RegistryDevices(const CategoryMap& categories) : categories_(categories) {}

    std::unique_ptr<MonikerEnumerator> CreateClassEnumerator(const Guid& category) override {
        const auto found = categories_.find(category);
        if (found == categories_.end()) return nullptr;  // nothing registered: S_FALSE
        return std::make_unique<InstanceEnumerator>(found->second);
    }

private:
    const CategoryMap& categories_;
};

class RegistryDmos : public DmoEnumerator {
public:
    explicit RegistryDmos(const std::vector<DmoEntry>& dmos) : dmos_(dmos) {}
    std::optional<DmoEntry> Next() override {
        if (next_ >= dmos_.size()) return std::nullopt;
        return dmos_[next_++];
    }

private:
    const std::vector<DmoEntry>& dmos_;
    std::size_t next_ = 0;
};

class WineMediaFramework : public MediaFramework {
public:
    explicit WineMediaFramework(const RegistryFile& registry) {
        for (const RegistryKey& key : registry.keys) {
            std::u16string_view path = key.path;
            if (StripRoot(path, kClsidRoot))
                AddInstance(key, path);
            else if (StripRoot(path, kDmoRoot))
                AddDmo(key, path);
        }
    }

    std::unique_ptr<DeviceEnumerator> CreateDeviceEnumerator() override {
        return std::make_unique<RegistryDevices>(categories_);
    }
    std::unique_ptr<DmoEnumerator> EnumDmos() override { return std::make_unique<RegistryDmos>(dmos_); }

private:
    // {category}\Instance\{name}
    void AddInstance(const RegistryKey& key, std::u16string_view rest) {
        const std::vector<std::u16string_view> parts = PathParts(rest);
        if (parts.size() != 3 || !SameRegistryName(parts[1], u"Instance") || parts[2].empty()) return;
        const std::optional<Guid> category = GuidFromWide(parts[0]);
        if (!category) return;
        Category& entry = categories_[*category];
        if (entry.instances.empty()) entry.name = std::u16string(parts[0]);
        entry.instances.push_back(Instance{&key, parts[2]});
    }

    // {clsid without braces}; the Categories key and its children are not DMOs.
    void AddDmo(const RegistryKey& key, std::u16string_view rest) {
        if (rest.find(u'\\') != std::u16string_view::npos) return;
        std::u16string braced = u"{";
        braced += rest;
        braced += u'}';
        const std::optional<Guid> clsid = GuidFromWide(braced);
        if (!clsid) return;
        dmos_.push_back(DmoEntry{*clsid, key.Text(u"").value_or(std::u16string())});
    }

    CategoryMap categories_;
    std::vector<DmoEntry> dmos_;
};

}  // namespace

std::unique_ptr<MediaFramework> MakeWineMediaFramework(const RegistryFile& registry) {
    return std::make_unique<WineMediaFramework>(registry);
}

}  // namespace quorvel
