// The catalog build over the platform's enumerators, driven by a scripted
// media framework: category order, streaming proxies and their display
// names, the failures the build skips and the one that ends it.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "catalog/CatalogBuild.hpp"
#include "platform/Guid.hpp"
#include "tests/support/WellKnown.hpp"

namespace quorvel::testing {
namespace {

constexpr Guid kFiltersCategory = MakeGuid(wellknown::kLegacyFiltersCategory);
constexpr Guid kCaptureCategory = MakeGuid(wellknown::kVideoCaptureCategory);
constexpr Guid kRenderCategory = MakeGuid(wellknown::kAudioRendererCategory);
constexpr Guid kSmartTee = MakeGuid(wellknown::kSmartTee);
constexpr Guid kAviSplitter = MakeGuid(wellknown::kAviSplitter);
constexpr Guid kWmaDecoder = MakeGuid(wellknown::kWmaDecoderDmo);

// One moniker as the platform would hand it out.
struct FakeMoniker {
    std::optional<std::u16string> friendlyName;
    std::optional<std::u16string> clsid;
    std::u16string displayName;
    bool bindable = true;
};

std::u16string Wide(const Guid& g) {
    const std::string text = FormatGuid(g);
    return std::u16string(text.begin(), text.end());
}

FakeMoniker Category(const std::u16string& name, const Guid& guid) { return {name, Wide(guid), u"", true}; }
FakeMoniker Filter(const std::u16string& name, const Guid& clsid, const std::u16string& display = u"") {
    return {name, Wide(clsid), display, true};
}

class ScriptedFramework : public MediaFramework {
public:
    std::map<std::string, std::vector<FakeMoniker>> categories;  // by FormatGuid; absent: S_FALSE
    std::optional<std::vector<DmoEntry>> dmos = std::vector<DmoEntry>{};
    bool deviceEnumeratorFails = false;
    int classEnumerations = 0;

    void Add(const Guid& category, FakeMoniker moniker) { categories[FormatGuid(category)].push_back(std::move(moniker)); }

    std::unique_ptr<DeviceEnumerator> CreateDeviceEnumerator() override {
        if (deviceEnumeratorFails) return nullptr;
        return std::make_unique<Devices>(*this);
    }
    std::unique_ptr<DmoEnumerator> EnumDmos() override {
        if (!dmos) return nullptr;
        return std::make_unique<Dmos>(*dmos);
    }

private:
    struct Bag : PropertyBag {
        const FakeMoniker& m;
        explicit Bag(const FakeMoniker& moniker) : m(moniker) {}
        std::optional<std::u16string> Read(std::u16string_view name) override {
            if (name == u"FriendlyName") return m.friendlyName;
            if (name == u"CLSID") return m.clsid;
            return std::nullopt;
        }
    };
    struct Mon : Moniker {
        const FakeMoniker& m;
        explicit Mon(const FakeMoniker& moniker) : m(moniker) {}
        std::unique_ptr<PropertyBag> BindToStorage() override {
            return m.bindable ? std::make_unique<Bag>(m) : nullptr;
        }
        std::optional<std::u16string> GetDisplayName() override { return m.displayName; }
    };
    struct Enum : MonikerEnumerator {
        const std::vector<FakeMoniker>& list;
        std::size_t next = 0;
        explicit Enum(const std::vector<FakeMoniker>& l) : list(l) {}
        std::unique_ptr<Moniker> Next() override {
            if (next >= list.size()) return nullptr;
            return std::make_unique<Mon>(list[next++]);
        }
        void Skip(std::uint32_t n) override { next = std::min(list.size(), next + n); }
        void Reset() override { next = 0; }
    };
    struct Devices : DeviceEnumerator {
        ScriptedFramework& f;
        explicit Devices(ScriptedFramework& framework) : f(framework) {}
        std::unique_ptr<MonikerEnumerator> CreateClassEnumerator(const Guid& category) override {
            ++f.classEnumerations;
            const auto found = f.categories.find(FormatGuid(category));
            if (found == f.categories.end()) return nullptr;
            return std::make_unique<Enum>(found->second);
        }
    };
    struct Dmos : DmoEnumerator {
        const std::vector<DmoEntry>& list;
        std::size_t next = 0;
        explicit Dmos(const std::vector<DmoEntry>& l) : list(l) {}
        std::optional<DmoEntry> Next() override {
            if (next >= list.size()) return std::nullopt;
            return list[next++];
        }
    };
};

// Two categories, the first holding a filter that the second holds too.
ScriptedFramework TwoCategories() {
    ScriptedFramework f;
    f.Add(kActiveMovieCategories, Category(u"DirectShow Filters", kFiltersCategory));
    f.Add(kActiveMovieCategories, Category(u"Video Capture Sources", kCaptureCategory));
    f.Add(kFiltersCategory, Filter(u"AVI Splitter", kAviSplitter));
    f.Add(kFiltersCategory, Filter(u"Smart Tee", kSmartTee));
    f.Add(kCaptureCategory, Filter(u"Smart Tee (capture)", kSmartTee));
    f.dmos = std::vector<DmoEntry>{{kWmaDecoder, u"WMAudio Decoder DMO"}};
    return f;
}

TEST(CatalogBuild, CategoryByCategoryThenTheDmos) {
    ScriptedFramework f = TwoCategories();
    FilterCatalog c;
    BuildFilterCatalog(f, c);
    ASSERT_EQ(c.FilterList.size(), 3u);
    EXPECT_EQ(c.FilterList[0].Name, "AVI Splitter");
    EXPECT_EQ(c.FilterList[1].Name, "Smart Tee");
    EXPECT_EQ(c.FilterList[2].Name, "Smart Tee (capture)");
    // A filter registered in two categories is named from the first.
    ASSERT_NE(c.FindFilter(kSmartTee), nullptr);
    EXPECT_EQ(c.FindFilter(kSmartTee)->Name, "Smart Tee");
    ASSERT_EQ(c.DmoList.size(), 1u);
    EXPECT_EQ(c.DmoList[0].Name, "WMAudio Decoder DMO");
    EXPECT_EQ(c.DmoList[0].CLSID, kWmaDecoder);
}

TEST(CatalogBuild, ACategoryListedTwiceIsReadOnce) {
    ScriptedFramework f = TwoCategories();
    f.Add(kActiveMovieCategories, Category(u"DirectShow Filters again", kFiltersCategory));
    f.Add(kActiveMovieCategories, Category(u"DirectShow Filters once more", kFiltersCategory));
    FilterCatalog c;
    BuildFilterCatalog(f, c);
    ASSERT_EQ(c.FilterList.size(), 3u);
    EXPECT_EQ(c.FilterList[2].Name, "Smart Tee (capture)");
    EXPECT_EQ(c.FindFilter(kSmartTee)->Name, "Smart Tee");
}

TEST(CatalogBuild, StreamingProxiesAreToldApartByDisplayNameOnly) {
    ScriptedFramework f;
    f.Add(kActiveMovieCategories, Category(u"Video Capture Sources", kCaptureCategory));
    // A moniker that cannot be bound stands before the proxies: their display
    // names must still come from their own monikers.
    f.Add(kCaptureCategory, FakeMoniker{u"Broken", Wide(kSmartTee), u"@device:sw:broken", false});
    f.Add(kCaptureCategory, Filter(u"Webcam A", kProxyClsid, u"@device:pnp:\\\\?\\usb#vid_a#1#{x}\\global"));
    f.Add(kCaptureCategory, Filter(u"Plain", kSmartTee, u"@device:sw:plain"));
    f.Add(kCaptureCategory, Filter(u"Webcam B", kProxyClsid, u"@device:pnp:\\\\?\\usb#vid_b#2#{x}\\global"));
    FilterCatalog c;
    BuildFilterCatalog(f, c);
    ASSERT_EQ(c.FilterList.size(), 3u);
    EXPECT_EQ(c.FilterList[0].DisplayName, "@device:pnp:\\\\?\\usb#vid_a#1#{x}\\global");
    EXPECT_EQ(c.FilterList[1].DisplayName, "");  // not a proxy: no display name kept
    EXPECT_EQ(c.FilterList[2].DisplayName, "@device:pnp:\\\\?\\usb#vid_b#2#{x}\\global");
    EXPECT_EQ(c.FindFilter(kProxyClsid)->Name, "Webcam A");
    ASSERT_NE(c.FindDevice("@device:pnp:\\\\?\\usb#vid_b#9#{x}\\global"), nullptr);
    EXPECT_EQ(c.FindDevice("@device:pnp:\\\\?\\usb#vid_b#9#{x}\\global")->Name, "Webcam B");
}

TEST(CatalogBuild, TextsAreCutAndConvertedOneCodeUnitAtATime) {
    ScriptedFramework f;
    f.Add(kActiveMovieCategories, Category(u"DirectShow Filters", kFiltersCategory));
    f.Add(kFiltersCategory, Filter(std::u16string(300, u'x'), kAviSplitter));
    f.Add(kFiltersCategory, Filter(u"D\u00e9codeur \u20ac \u4e2d \U0001F600", kSmartTee));
    f.dmos = std::vector<DmoEntry>{{kWmaDecoder, u"\u00c9"}};
    FilterCatalog c;
    BuildFilterCatalog(f, c);
    ASSERT_EQ(c.FilterList.size(), 2u);
    EXPECT_EQ(c.FilterList[0].Name, std::string(255, 'x'));
    EXPECT_EQ(c.FilterList[1].Name, "D\xE9" "codeur \x80 ? ??");
    EXPECT_EQ(c.DmoList[0].Name, "\xC9");
}

TEST(CatalogBuild, UnreadableValuesGiveEmptyFields) {
    ScriptedFramework f;
    f.Add(kActiveMovieCategories, Category(u"DirectShow Filters", kFiltersCategory));
    f.Add(kFiltersCategory, FakeMoniker{std::nullopt, Wide(kAviSplitter), u"", true});
    f.Add(kFiltersCategory, FakeMoniker{u"DMO wrapper entry", std::nullopt, u"", true});
    FilterCatalog c;
    BuildFilterCatalog(f, c);
    ASSERT_EQ(c.FilterList.size(), 2u);
    EXPECT_EQ(c.FilterList[0].Name, "");
    EXPECT_EQ(c.FilterList[0].CLSID, kAviSplitter);
    EXPECT_EQ(c.FilterList[1].Name, "DMO wrapper entry");
    EXPECT_TRUE(c.FilterList[1].CLSID.IsNull());
}

TEST(CatalogBuild, WhatThePlatformCannotGiveIsSkipped) {
    {
        // A category without a class enumerator adds nothing; the next one does.
        ScriptedFramework f = TwoCategories();
        f.Add(kActiveMovieCategories, Category(u"Audio Renderers", kRenderCategory));
        f.categories.erase(FormatGuid(kFiltersCategory));
        FilterCatalog c;
        BuildFilterCatalog(f, c);
        ASSERT_EQ(c.FilterList.size(), 1u);
        EXPECT_EQ(c.FilterList[0].Name, "Smart Tee (capture)");
        EXPECT_EQ(c.DmoList.size(), 1u);
    }
    {
        // No device enumerator: no filters, the DMOs all the same.
        ScriptedFramework f = TwoCategories();
        f.deviceEnumeratorFails = true;
        FilterCatalog c;
        BuildFilterCatalog(f, c);
        EXPECT_TRUE(c.FilterList.empty());
        EXPECT_EQ(c.DmoList.size(), 1u);
    }
    {
        // DMO enumeration that does not start: no DMOs, the filters all the same.
        ScriptedFramework f = TwoCategories();
        f.dmos.reset();
        FilterCatalog c;
        BuildFilterCatalog(f, c);
        EXPECT_EQ(c.FilterList.size(), 3u);
        EXPECT_TRUE(c.DmoList.empty());
    }
}

TEST(CatalogBuild, ClsidThatIsNotAGuidEndsTheBuildNamingIt) {
    ScriptedFramework f = TwoCategories();
    f.Add(kFiltersCategory, FakeMoniker{u"Bad", u"{not-a-guid}", u"", true});
    f.Add(kFiltersCategory, Filter(u"After", kSmartTee));
    FilterCatalog c;
    try {
        BuildFilterCatalog(f, c);
        FAIL() << "the build went on";
    } catch (const CatalogBuildError& e) {
        EXPECT_NE(std::string(e.what()).find("{not-a-guid}"), std::string::npos) << e.what();
    }
    // The build stopped while it enumerated the first category, before any
    // entry; both lists can still be searched.
    ASSERT_EQ(c.FilterList.size(), 0u);
    EXPECT_TRUE(c.DmoList.empty());
    EXPECT_EQ(c.FindFilter(kAviSplitter), nullptr);

    // A bad category CLSID ends it before any filter.
    ScriptedFramework g = TwoCategories();
    g.Add(kActiveMovieCategories, FakeMoniker{u"Odd", u"AVI", u"", true});
    FilterCatalog d;
    EXPECT_THROW(BuildFilterCatalog(g, d), CatalogBuildError);
    EXPECT_TRUE(d.FilterList.empty());
}

TEST(CatalogBuild, ClsidErrorInALaterCategoryKeepsTheEarlierOnes) {
    ScriptedFramework f = TwoCategories();
    f.Add(kCaptureCategory, FakeMoniker{u"Bad", u"", u"", true});
    FilterCatalog c;
    EXPECT_THROW(BuildFilterCatalog(f, c), CatalogBuildError);
    ASSERT_EQ(c.FilterList.size(), 2u);
    EXPECT_EQ(c.FindFilter(kSmartTee)->Name, "Smart Tee");
    EXPECT_TRUE(c.DmoList.empty());
}

}  // namespace
}  // namespace quorvel::testing
