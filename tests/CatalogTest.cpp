// The filter catalog: its lookups, the device path comparison, and catalog
// files (JSON).
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "catalog/CatalogFile.hpp"
#include "catalog/FilterCatalog.hpp"
#include "platform/Guid.hpp"
#include "tests/support/GraphBuilder.hpp"
#include "tests/support/WellKnown.hpp"

namespace quorvel::testing {
namespace {

constexpr Guid kColorConverter = MakeGuid(wellknown::kColorSpaceConverter);
constexpr Guid kAviDecompressor = MakeGuid(wellknown::kAviDecompressor);
constexpr Guid kUnknown = MakeGuid("{01234567-89AB-CDEF-0123-456789ABCDEF}");
constexpr Guid kWmaDecoderDmo = MakeGuid(wellknown::kWmaDecoderDmo);
constexpr Guid kResamplerDmo = MakeGuid(wellknown::kResamplerDmo);

constexpr std::string_view kWebcamA =
    "@device:pnp:\\\\?\\usb#vid_046d&pid_0825&mi_00#6&1a2b3c&0&0000#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";
constexpr std::string_view kWebcamB =
    "@device:pnp:\\\\?\\usb#vid_0c45&pid_6340&mi_00#7&2b3c4d&0&0000#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";

// ------------------------------------------------------------ FilterCatalog

TEST(FilterCatalog, ClsidLookupReturnsTheFirstOfSeveralEntries) {
    FilterCatalog c;
    c.AddFilter("AVI Decompressor", kAviDecompressor);
    c.AddFilter("Color Space Converter", kColorConverter);
    c.AddFilter("Color Space Converter (second category)", kColorConverter);
    ASSERT_EQ(c.FilterList.size(), 3u);
    EXPECT_EQ(c.FindFilter(kColorConverter), &c.FilterList[1]);
    EXPECT_EQ(c.FindFilter(kAviDecompressor), &c.FilterList[0]);
    EXPECT_EQ(c.FindFilter(kUnknown), nullptr);
    EXPECT_EQ(c.FindFilter(Guid{}), nullptr);
}

TEST(FilterCatalog, DmoLookupReturnsTheFirstMatch) {
    FilterCatalog c;
    EXPECT_EQ(c.FindDmo(kWmaDecoderDmo), nullptr) << "an empty list";
    c.AddDmo("WMAudio Decoder DMO", kWmaDecoderDmo);
    c.AddDmo("Resampler DMO", kResamplerDmo);
    c.AddDmo("WMAudio Decoder DMO (again)", kWmaDecoderDmo);
    EXPECT_EQ(c.FindDmo(kWmaDecoderDmo), &c.DmoList[0]);
    EXPECT_EQ(c.FindDmo(kResamplerDmo), &c.DmoList[1]);
    EXPECT_EQ(c.FindDmo(kColorConverter), nullptr);
}

TEST(FilterCatalog, ProxiesShareOneClsidAndAreToldApartByDisplayName) {
    FilterCatalog c;
    c.AddFilter("Color Space Converter", kColorConverter);
    c.AddFilter("Logitech Webcam", kProxyClsid, std::string(kWebcamA));
    c.AddFilter("USB Camera", kProxyClsid, std::string(kWebcamB));
    EXPECT_EQ(c.FindFilter(kProxyClsid), &c.FilterList[1]) << "a CLSID lookup finds the first proxy only";
    EXPECT_EQ(c.FindDevice(kWebcamA), &c.FilterList[1]);
    EXPECT_EQ(c.FindDevice(kWebcamB), &c.FilterList[2]);

    // The instance field (between the second and third '#') is not compared.
    std::string otherInstance(kWebcamB);
    otherInstance.replace(otherInstance.find("7&2b3c4d"), 8, "9&ffffff");
    EXPECT_EQ(c.FindDevice(otherInstance), &c.FilterList[2]);

    std::string otherDevice(kWebcamB);
    otherDevice.replace(otherDevice.find("vid_0c45"), 8, "vid_0c46");
    EXPECT_EQ(c.FindDevice(otherDevice), nullptr);
}

TEST(FilterCatalog, DisplayNamesAreKeptOnlyForProxies) {
    FilterCatalog c;
    c.AddFilter("Not a proxy", kColorConverter, std::string(kWebcamA));
    c.AddFilter("Proxy without display name", kProxyClsid);
    EXPECT_EQ(c.FilterList[0].DisplayName, "");
    EXPECT_EQ(c.FilterList[1].DisplayName, "");
    EXPECT_EQ(c.FindDevice(kWebcamA), nullptr) << "a non-proxy entry is never hit by the display-name scan";
    EXPECT_EQ(c.FindDevice(""), nullptr) << "entries with an empty display name are skipped";

    c.AddFilter("Real proxy", kProxyClsid, std::string(kWebcamA));
    EXPECT_EQ(c.FindDevice(kWebcamA), &c.FilterList[2]);
}

TEST(FilterCatalog, NamesAreCutTo255Characters) {
    struct Case {
        std::size_t length;
        std::size_t kept;
    };
    for (const Case& c : {Case{0, 0}, Case{254, 254}, Case{255, 255}, Case{256, 255}, Case{300, 255}}) {
        std::string name;
        for (std::size_t i = 0; i < c.length; ++i) name += static_cast<char>('A' + i % 26);
        FilterCatalog catalog;
        catalog.AddFilter(name, kColorConverter);
        EXPECT_EQ(catalog.FilterList[0].Name, name.substr(0, c.kept)) << c.length;
    }
}

TEST(FilterCatalog, CatalogEntriesHoldTheirNameAndClsid) {
    FilterCatalog c;
    c.AddFilter("Color Space Converter", kColorConverter);
    const TfilterItem& e = c.FilterList[0];
    EXPECT_EQ(e.Name, "Color Space Converter");
    EXPECT_EQ(e.CLSID, kColorConverter);
    EXPECT_EQ(e.DisplayName, "");
}

TEST(FilterCatalog, ReleaseEmptiesBothLists) {
    FilterCatalog c;
    c.AddFilter("Color Space Converter", kColorConverter);
    c.AddDmo("Resampler DMO", kResamplerDmo);
    c.Release();
    EXPECT_TRUE(c.FilterList.empty());
    EXPECT_TRUE(c.DmoList.empty());
    EXPECT_EQ(c.FindFilter(kColorConverter), nullptr);
}

// ----------------------------------------------------------- SameDevicePath

struct PathCase {
    const char* what;
    std::string a;
    std::string b;
    bool same;
};

TEST(SameDevicePath, ComparesAllButTheThirdField) {
    const std::string base(kWebcamA);
    const auto with = [&](std::string_view from, std::string_view to) {
        std::string s = base;
        s.replace(s.find(from), from.size(), to);
        return s;
    };
    const PathCase cases[] = {
        {"identical", base, base, true},
        {"third field differs", base, with("6&1a2b3c&0&0000", "7&ffffff&1&0001"), true},
        {"third field of another length", base, with("6&1a2b3c&0&0000", "1"), true},
        {"third field empty", base, with("6&1a2b3c&0&0000", ""), true},
        {"first field differs", base, with("pnp", "pnq"), false},
        {"first field differs in case only", base, with("usb#", "USB#"), false},
        {"second field differs", base, with("pid_0825", "pid_0826"), false},
        {"second field differs in case only", base, with("vid_046d", "VID_046D"), false},
        {"differs after the third '#'", base, with("\\global", "\\globaL"), false},
        {"longer after the third '#'", base, base + "x", false},
        {"interface GUID differs", base, with("65e8773d", "65e8773e"), false},
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(SameDevicePath(c.a, c.b), c.same) << c.what;
        EXPECT_EQ(SameDevicePath(c.b, c.a), c.same) << c.what << " (swapped)";
    }
}

TEST(SameDevicePath, FieldBoundariesAndMissingHashes) {
    const PathCase cases[] = {
        {"no '#': equal", "abc", "abc", true},
        {"no '#': different", "abc", "abd", false},
        {"both empty", "", "", true},
        {"no '#' against a prefix", "abc", "ab", false},
        {"'#' in one text only", "abc", "a#bc", false},
        {"'#' in one text only, equal after it", "bc", "a#bc", false},
        {"'#' in one text only, at the end", "abc", "abc#", false},
        {"first '#' at different positions, same characters", "ab#c#d#e", "a#bc#d#e", false},
        {"second '#' at different positions", "a#bc#d#e", "a#b#cd#e", false},
        {"second '#' missing in one", "a#b#c", "a#bc", false},
        {"one '#' each, equal", "a#b", "a#b", true},
        {"one '#' each, different tail", "a#b", "a#c", false},
        // Without a third '#', the remainder is compared whole.
        {"two '#', equal tails", "a#b#c", "a#b#c", true},
        {"two '#', different tails", "a#b#c", "a#b#d", false},
        {"third field dropped from one text only", "a#b#c#x", "a#b#x", true},
        {"third field dropped from both", "a#b#c#x", "a#b#zz#x", true},
        {"empty fields", "##", "##", true},
        {"empty third field against a full one", "a#b##tail", "a#b#instance#tail", true},
        {"a fourth '#' is compared", "a#b#c#d#e", "a#b#c#d#f", false},
        {"a fourth '#' against none", "a#b#c#d#e", "a#b#c#de", false},
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(SameDevicePath(c.a, c.b), c.same) << c.what;
        EXPECT_EQ(SameDevicePath(c.b, c.a), c.same) << c.what << " (swapped)";
    }
}

// -------------------------------------------------------------- CatalogFile

TEST(CatalogFile, ParsesFiltersAndDmos) {
    const FilterCatalog c = ParseCatalogJson(R"({
        "filters": [
            {"name": "Color Space Converter", "clsid": "{1643e180-90f5-11ce-97d5-00aa0055595a}"},
            {"name": "Logitech Webcam", "clsid": "{17CCA71B-ECD7-11D0-B908-00A0C9223196}",
             "displayName": "@device:pnp:x#y#z#w"},
            {"name": "Not a proxy", "clsid": "{CF49D4E0-1115-11CE-B03A-0020AF0BA770}", "displayName": "dropped"}
        ],
        "dmos": [
            {"name": "Resampler DMO", "clsid": "{F447B69E-1884-4A7E-8055-346F74D6EDB3}"}
        ]
    })");
    ASSERT_EQ(c.FilterList.size(), 3u);
    EXPECT_EQ(c.FilterList[0].Name, "Color Space Converter");
    EXPECT_EQ(c.FilterList[0].CLSID, kColorConverter);
    EXPECT_EQ(c.FilterList[0].DisplayName, "");
    EXPECT_EQ(c.FilterList[1].CLSID, kProxyClsid);
    EXPECT_EQ(c.FilterList[1].DisplayName, "@device:pnp:x#y#z#w");
    EXPECT_EQ(c.FilterList[2].CLSID, kAviDecompressor);
    EXPECT_EQ(c.FilterList[2].DisplayName, "") << "kept only for proxies";
    ASSERT_EQ(c.DmoList.size(), 1u);
    EXPECT_EQ(c.DmoList[0].Name, "Resampler DMO");
    EXPECT_EQ(c.DmoList[0].CLSID, kResamplerDmo);
}

TEST(CatalogFile, MissingListsAreEmpty) {
    const FilterCatalog c = ParseCatalogJson("{}");
    EXPECT_TRUE(c.FilterList.empty());
    EXPECT_TRUE(c.DmoList.empty());
    const FilterCatalog d = ParseCatalogJson(R"({"dmos": [{"name": "D", "clsid": "{F447B69E-1884-4A7E-8055-346F74D6EDB3}"}]})");
    EXPECT_TRUE(d.FilterList.empty());
    EXPECT_EQ(d.DmoList.size(), 1u);
}

TEST(CatalogFile, Utf8TextsBecomeWindows1252) {
    const FilterCatalog c = ParseCatalogJson(R"({
        "filters": [{"name": "Décodeur € 日本 😀", "clsid": "{1643E180-90F5-11CE-97D5-00AA0055595A}"},
                    {"name": "Caméra", "clsid": "{17CCA71B-ECD7-11D0-B908-00A0C9223196}", "displayName": "pnp#é#x#日"}],
        "dmos": [{"name": "Égaliseur", "clsid": "{F447B69E-1884-4A7E-8055-346F74D6EDB3}"}]
    })");
    EXPECT_EQ(c.FilterList[0].Name, "D\xE9" "codeur \x80 ?? ??");
    EXPECT_EQ(c.FilterList[1].Name, "Cam\xE9ra");
    EXPECT_EQ(c.FilterList[1].DisplayName, "pnp#\xE9#x#?");
    EXPECT_EQ(c.DmoList[0].Name, "\xC9galiseur");
}

TEST(CatalogFile, LongNamesAreCutTo255Characters) {
    const std::string name(300, 'n');
    const FilterCatalog c =
        ParseCatalogJson(R"({"filters": [{"name": ")" + name + R"(", "clsid": "{1643E180-90F5-11CE-97D5-00AA0055595A}"}]})");
    EXPECT_EQ(c.FilterList[0].Name, std::string(255, 'n'));

    // The cut counts converted characters, not UTF-8 bytes.
    std::string accented;
    for (int i = 0; i < 300; ++i) accented += "é";
    const FilterCatalog d =
        ParseCatalogJson(R"({"filters": [{"name": ")" + accented + R"(", "clsid": "{1643E180-90F5-11CE-97D5-00AA0055595A}"}]})");
    EXPECT_EQ(d.FilterList[0].Name, std::string(255, '\xE9'));
}

// Parses `json` and returns the CatalogFileError's message; fails the test
// when the text is accepted.
std::string ParseError(const std::string& json) {
    try {
        ParseCatalogJson(json);
    } catch (const CatalogFileError& e) {
        return e.what();
    }
    ADD_FAILURE() << "accepted: " << json;
    return {};
}

TEST(CatalogFile, BadClsidTextIsNamedInTheError) {
    const std::string bad[] = {"{not-a-guid}", "1643E180-90F5-11CE-97D5-00AA0055595A", "{1643E180-90F5-11CE-97D5-00AA0055595G}", ""};
    for (const std::string& text : bad) {
        const std::string filterError = ParseError(R"({"filters": [{"name": "F", "clsid": ")" + text + R"("}]})");
        EXPECT_NE(filterError.find("\"" + text + "\""), std::string::npos) << filterError;
        const std::string dmoError = ParseError(R"({"dmos": [{"name": "D", "clsid": ")" + text + R"("}]})");
        EXPECT_NE(dmoError.find("\"" + text + "\""), std::string::npos) << dmoError;
    }
}

TEST(CatalogFile, RejectsMalformedJsonAndWrongTypes) {
    const std::string cases[] = {
        "",
        "{",
        "not json",
        R"({"filters": [)",
        R"({"filters": [{"name": "F", "clsid": "{1643E180-90F5-11CE-97D5-00AA0055595A}"},]})",
        "{\"filters\": [{\"name\": \"\xC3\", \"clsid\": \"{1643E180-90F5-11CE-97D5-00AA0055595A}\"}]}",  // bad UTF-8
        "[]",
        "\"text\"",
        "null",
        R"({"filters": {}})",
        R"({"filters": "none"})",
        R"({"dmos": 3})",
        R"({"filters": [1]})",
        R"({"dmos": [[]]})",
        R"({"filters": [{"clsid": "{1643E180-90F5-11CE-97D5-00AA0055595A}"}]})",
        R"({"filters": [{"name": "F"}]})",
        R"({"filters": [{"name": 5, "clsid": "{1643E180-90F5-11CE-97D5-00AA0055595A}"}]})",
        R"({"filters": [{"name": "F", "clsid": 5}]})",
        R"({"filters": [{"name": "F", "clsid": "{1643E180-90F5-11CE-97D5-00AA0055595A}", "displayName": 1}]})",
        R"({"filters": [{"name": null, "clsid": "{1643E180-90F5-11CE-97D5-00AA0055595A}"}]})",
        R"({"dmos": [{"name": "D"}]})",
        R"({"dmos": [{"name": ["D"], "clsid": "{F447B69E-1884-4A7E-8055-346F74D6EDB3}"}]})",
    };
    for (const std::string& json : cases) EXPECT_FALSE(ParseError(json).empty()) << json;
}

TEST(CatalogFile, ErrorsNameTheFaultyEntry) {
    const std::string error = ParseError(R"({"filters": [
        {"name": "A", "clsid": "{1643E180-90F5-11CE-97D5-00AA0055595A}"},
        {"name": "B", "clsid": "{1643E180-90F5-11CE-97D5-00AA0055595A}"},
        {"name": 7, "clsid": "{1643E180-90F5-11CE-97D5-00AA0055595A}"}]})");
    EXPECT_NE(error.find("filters[2]"), std::string::npos) << error;
}

TEST(CatalogFile, WrittenCatalogReadsBackUnchanged) {
    FilterCatalog original;
    original.AddFilter("Color Space Converter", kColorConverter);
    original.AddFilter("Caract\xE8res \x80 \x9F \"quoted\" back\\slash", kAviDecompressor);
    original.AddFilter("Logitech Webcam", kProxyClsid, std::string(kWebcamA));
    original.AddFilter("Proxy without display name", kProxyClsid);
    original.AddFilter("", Guid{});
    original.AddDmo("WMAudio Decoder DMO", kWmaDecoderDmo);
    original.AddDmo("\xC9galiseur", kResamplerDmo);

    const std::string json = CatalogToJson(original);
    const FilterCatalog back = ParseCatalogJson(json);
    ASSERT_EQ(back.FilterList.size(), original.FilterList.size()) << json;
    for (std::size_t i = 0; i < original.FilterList.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(back.FilterList[i].Name, original.FilterList[i].Name);
        EXPECT_EQ(back.FilterList[i].CLSID, original.FilterList[i].CLSID);
        EXPECT_EQ(back.FilterList[i].DisplayName, original.FilterList[i].DisplayName);
    }
    ASSERT_EQ(back.DmoList.size(), original.DmoList.size());
    for (std::size_t i = 0; i < original.DmoList.size(); ++i) {
        EXPECT_EQ(back.DmoList[i].Name, original.DmoList[i].Name);
        EXPECT_EQ(back.DmoList[i].CLSID, original.DmoList[i].CLSID);
    }
    // The file is UTF-8 with upper-case GUIDs.
    EXPECT_NE(json.find("Caractères €"), std::string::npos) << json;
    EXPECT_NE(json.find("{CF49D4E0-1115-11CE-B03A-0020AF0BA770}"), std::string::npos) << json;
}

TEST(CatalogFile, LoadsAFileAndNamesThePathInErrors) {
    const std::string json = R"({"filters": [{"name": "Color Space Converter", "clsid": "{1643E180-90F5-11CE-97D5-00AA0055595A}"}]})";
    const std::string path = WriteTempFile("catalog-good.json", Bytes(json.begin(), json.end()));
    const FilterCatalog c = LoadCatalogFile(path);
    ASSERT_EQ(c.FilterList.size(), 1u);
    EXPECT_EQ(c.FilterList[0].CLSID, kColorConverter);

    const std::string badJson = R"({"filters": [{"name": "F", "clsid": "{oops}"}]})";
    const std::string badPath = WriteTempFile("catalog-bad.json", Bytes(badJson.begin(), badJson.end()));
    try {
        LoadCatalogFile(badPath);
        ADD_FAILURE() << "accepted";
    } catch (const CatalogFileError& e) {
        EXPECT_NE(std::string(e.what()).find(badPath), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("{oops}"), std::string::npos) << e.what();
    }

    const std::string missing = path + ".missing";
    try {
        LoadCatalogFile(missing);
        ADD_FAILURE() << "accepted";
    } catch (const CatalogFileError& e) {
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace quorvel::testing
