// The catalog of this machine where the platform's enumerators are absent: a
// Wine prefix's registry, then the built-in table of standard filters.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "catalog/BuiltinCatalog.hpp"
#include "catalog/CatalogBuild.hpp"
#include "catalog/InstalledCatalog.hpp"
#include "catalog/WineMediaFramework.hpp"
#include "catalog/WineRegistry.hpp"
#include "tests/support/WellKnown.hpp"
#include "tests/support/WineRegistrySample.hpp"

namespace quorvel::testing {
namespace {

constexpr Guid kFiltersCategory = MakeGuid(wellknown::kLegacyFiltersCategory);
constexpr Guid kAviSplitter = MakeGuid(wellknown::kAviSplitter);
constexpr Guid kSmartTee = MakeGuid(wellknown::kSmartTee);
constexpr Guid kWmaDecoder = MakeGuid(wellknown::kWmaDecoderDmo);
constexpr Guid kResampler = MakeGuid(wellknown::kResamplerDmo);

// A prefix's registry as Wine writes it, with keys in an order of our own
// (capture category before the filters category, filters out of sort order)
// and paths in mixed case.
const std::string kSystemReg = winereg::SystemReg({
    winereg::kCaptureCategoryKey,
    winereg::kFiltersCategoryKey,
    winereg::kRenderersCategoryKey,
    winereg::kFileSourceKey,
    winereg::kAviSplitterMixedCaseKey,
    winereg::kBelowAnInstanceKey,
    winereg::kWebcamKey,
    winereg::kDmoInCaptureCategoryKey,
    winereg::kResamplerDmoKey,
    winereg::kWmaDecoderDmoKey,
    winereg::kWmaDecoderInCategoryKey,
    winereg::kNotADmoKey,
});

FilterCatalog BuildFromRegistry(std::string_view text) {
    const RegistryFile registry = ParseWineRegistry(text);
    EXPECT_FALSE(registry.error) << registry.error->reason;
    FilterCatalog c;
    BuildFilterCatalog(*MakeWineMediaFramework(registry), c);
    return c;
}

TEST(WineMediaFramework, FiltersInTheFilesOrderCategoryByCategory) {
    const FilterCatalog c = BuildFromRegistry(kSystemReg);
    ASSERT_EQ(c.FilterList.size(), 4u);
    // Capture category first, as the file lists it.
    EXPECT_EQ(c.FilterList[0].Name, "Webcam");
    EXPECT_EQ(c.FilterList[0].CLSID, kProxyClsid);
    EXPECT_EQ(c.FilterList[0].DisplayName, "@device:sw:{860BB310-5D01-11D0-BD3B-00A0C911CE86}\\Webcam");
    // A DMO entry of a filter category carries no CLSID.
    EXPECT_EQ(c.FilterList[1].Name, "WMAudio Decoder DMO");
    EXPECT_TRUE(c.FilterList[1].CLSID.IsNull());
    // Then the filters category, in file order, whatever the case of the path.
    EXPECT_EQ(c.FilterList[2].Name, "File Source (Async.)");
    EXPECT_EQ(c.FilterList[3].Name, "AVI Splitter");
    EXPECT_EQ(c.FilterList[3].CLSID, kAviSplitter);
    EXPECT_EQ(c.FilterList[3].DisplayName, "");
    EXPECT_EQ(c.FindDevice("@device:sw:{860BB310-5D01-11D0-BD3B-00A0C911CE86}\\Webcam")->Name, "Webcam");

    ASSERT_EQ(c.DmoList.size(), 2u);
    EXPECT_EQ(c.DmoList[0].Name, "Resampler DMO");
    EXPECT_EQ(c.DmoList[0].CLSID, kResampler);
    EXPECT_EQ(c.DmoList[1].Name, "WMAudio Decoder DMO");
    EXPECT_EQ(c.DmoList[1].CLSID, kWmaDecoder);
}

TEST(WineMediaFramework, EmptyRegistryGivesEmptyLists) {
    const FilterCatalog c = BuildFromRegistry("WINE REGISTRY Version 2\n");
    EXPECT_TRUE(c.FilterList.empty());
    EXPECT_TRUE(c.DmoList.empty());
}

// A temporary Wine prefix, and $WINEPREFIX pointing at it while it lives.
class Prefix {
public:
    explicit Prefix(const std::string& name) {
        dir_ = std::filesystem::temp_directory_path() / ("quorvel-prefix-" + std::to_string(::getpid()) + "-" + name);
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        if (const char* old = std::getenv("WINEPREFIX")) saved_ = old;
        ::setenv("WINEPREFIX", dir_.c_str(), 1);
    }
    ~Prefix() {
        if (saved_)
            ::setenv("WINEPREFIX", saved_->c_str(), 1);
        else
            ::unsetenv("WINEPREFIX");
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    void WriteSystemReg(std::string_view text) const {
        std::ofstream(dir_ / "system.reg", std::ios::binary) << text;
    }
    std::string Path() const { return dir_.string(); }

private:
    std::filesystem::path dir_;
    std::optional<std::string> saved_;
};

std::string Message(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const CatalogBuildError& e) {
        return e.what();
    }
    return {};
}

TEST(InstalledCatalog, WithoutAPrefixTheBuiltinTableAlone) {
    const Prefix prefix("none");  // an empty folder: no system.reg
    FilterCatalog c;
    BuildInstalledCatalog(c);
    EXPECT_EQ(c.FilterList.size(), BuiltinFilters().size());
    EXPECT_EQ(c.DmoList.size(), BuiltinDmos().size());
    ASSERT_NE(c.FindFilter(kAviSplitter), nullptr);
    EXPECT_EQ(c.FindFilter(kAviSplitter)->Name, "AVI Splitter");
    ASSERT_NE(c.FindDmo(kWmaDecoder), nullptr);
    EXPECT_EQ(c.FindDmo(kWmaDecoder)->Name, "WMAudio Decoder DMO");
}

TEST(InstalledCatalog, ThePrefixComesFirstThenTheBuiltinTable) {
    const Prefix prefix("wine");
    prefix.WriteSystemReg(kSystemReg);
    FilterCatalog c;
    BuildInstalledCatalog(c);
    ASSERT_EQ(c.FilterList.size(), 4 + BuiltinFilters().size());
    EXPECT_EQ(c.FilterList[0].Name, "Webcam");
    EXPECT_EQ(c.FilterList[4].CLSID, BuiltinFilters()[0].clsid);
    ASSERT_EQ(c.DmoList.size(), 2 + BuiltinDmos().size());
    EXPECT_EQ(c.DmoList[0].Name, "Resampler DMO");
}

TEST(InstalledCatalog, DamagedPrefixIsReportedAndWhatWasReadIsKept) {
    std::string damaged(kSystemReg);
    const std::size_t cut = damaged.find("[Software\\\\Classes\\\\CLSID\\\\{860BB310-5D01-11D0-BD3B-00A0C911CE86}\\\\Instance\\\\Webcam]");
    ASSERT_NE(cut, std::string::npos);
    damaged.insert(cut, "this line is not registry text\n");
    const std::size_t badLine = static_cast<std::size_t>(std::count(damaged.begin(), damaged.begin() + cut, '\n')) + 1;

    const Prefix prefix("damaged");
    prefix.WriteSystemReg(damaged);
    FilterCatalog c;
    const std::string message = Message([&] { BuildInstalledCatalog(c); });
    EXPECT_NE(message.find("system.reg"), std::string::npos) << message;
    EXPECT_NE(message.find("line " + std::to_string(badLine)), std::string::npos) << message;
    // The filters category was read before the damage; the builtin table follows.
    ASSERT_GE(c.FilterList.size(), 2u);
    EXPECT_EQ(c.FilterList[0].Name, "File Source (Async.)");
    EXPECT_EQ(c.FilterList[1].Name, "AVI Splitter");
    EXPECT_EQ(c.FilterList.size(), 2 + BuiltinFilters().size());
    EXPECT_EQ(c.DmoList.size(), BuiltinDmos().size());
}

TEST(InstalledCatalog, ClsidThatIsNotAGuidIsNamedAndTheTableStillFollows) {
    std::string bad(kSystemReg);
    const std::string good = "\"CLSID\"=\"" + std::string(wellknown::kAviSplitter) + "\"";
    bad.replace(bad.find(good), good.size(), "\"CLSID\"=\"{1B544C20}\"");
    const Prefix prefix("badclsid");
    prefix.WriteSystemReg(bad);
    FilterCatalog c;
    const std::string message = Message([&] { BuildInstalledCatalog(c); });
    EXPECT_NE(message.find("{1B544C20}"), std::string::npos) << message;
    EXPECT_NE(message.find("system.reg"), std::string::npos) << message;
    // The capture category was complete before the filters category failed.
    ASSERT_EQ(c.FilterList.size(), 2 + BuiltinFilters().size());
    EXPECT_EQ(c.FilterList[0].Name, "Webcam");
    EXPECT_EQ(c.FindFilter(kAviSplitter)->Name, "AVI Splitter");  // from the table
}

TEST(BuiltinCatalog, EveryEntryIsNamedAndIdentified) {
    ASSERT_FALSE(BuiltinFilters().empty());
    ASSERT_FALSE(BuiltinDmos().empty());
    for (const BuiltinFilter& f : BuiltinFilters()) {
        EXPECT_FALSE(f.name.empty());
        EXPECT_FALSE(f.clsid.IsNull()) << f.name;
        EXPECT_FALSE(f.category.IsNull()) << f.name;
        EXPECT_LE(f.name.size(), kMaxFilterNameLength);
    }
    for (const BuiltinDmo& d : BuiltinDmos()) {
        EXPECT_FALSE(d.name.empty());
        EXPECT_FALSE(d.clsid.IsNull()) << d.name;
    }
    // The standard filters the sample graphs use are there.
    const auto has = [](const Guid& category, std::string_view name, const Guid& clsid) {
        for (const BuiltinFilter& f : BuiltinFilters())
            if (f.category == category && f.name == name && f.clsid == clsid) return true;
        return false;
    };
    EXPECT_TRUE(has(kFiltersCategory, "AVI Splitter", kAviSplitter));
    EXPECT_TRUE(has(kFiltersCategory, "Smart Tee", kSmartTee));
}

}  // namespace
}  // namespace quorvel::testing
