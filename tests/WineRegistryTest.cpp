// The reader of Wine's registry files: values of every kind Wine writes, key
// order, and damaged files that keep what was read before the damage.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "catalog/WineRegistry.hpp"

namespace quorvel::testing {
namespace {

constexpr std::string_view kHeader = "WINE REGISTRY Version 2\n";

RegistryFile Parse(const std::string& body) { return ParseWineRegistry(std::string(kHeader) + body); }

// The one value of a file that holds one key with one value line.
RegistryValue OnlyValue(const std::string& valueLine) {
    const RegistryFile file = Parse("[K] 1\n" + valueLine + "\n");
    EXPECT_FALSE(file.error) << valueLine << ": " << (file.error ? file.error->reason : "");
    if (file.keys.size() != 1 || file.keys[0].values.size() != 1) {
        ADD_FAILURE() << valueLine << ": not read as one value";
        return {};
    }
    return file.keys[0].values[0];
}

struct TextCase {
    const char* line;
    std::u16string name;
    std::uint32_t type;
    std::u16string text;
};

TEST(WineRegistry, StringValuesAndTheirEscapes) {
    const std::vector<TextCase> cases = {
        {R"("FriendlyName"="AVI Splitter")", u"FriendlyName", kRegSz, u"AVI Splitter"},
        {R"(@="WMAudio Decoder DMO")", u"", kRegSz, u"WMAudio Decoder DMO"},
        {R"("a"="")", u"a", kRegSz, u""},
        {R"("q\"n"="say \"hi\" \\ [x\]")", u"q\"n", kRegSz, u"say \"hi\" \\ [x]"},
        {R"("c"="\a\b\e\f\n\r\t\v")", u"c", kRegSz, u"\a\b\x1B\f\n\r\t\v"},
        // \x takes up to four hexadecimal digits, octal up to three.
        {R"("x"="\x41\xe9\x20ac\x20acZ")", u"x", kRegSz, u"A\u00E9\u20AC\u20ACZ"},
        {R"("x"="\x4g")", u"x", kRegSz, u"\x04g"},
        {R"("o"="\101\0\1234")", u"o", kRegSz, std::u16string(u"A\0S4", 4)},
        // Text that is not escaped is UTF-8; beyond the BMP it becomes a surrogate pair.
        {"\"u\"=\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xAC\"", u"u", kRegSz, u"caf\u00E9 \u20AC \U0001F3AC"},
        {R"("p"=str(2):"%SystemRoot%\\x")", u"p", kRegExpandSz, u"%SystemRoot%\\x"},
        {R"("m"=str(7):"a\0b")", u"m", kRegMultiSz, std::u16string(u"a\0b", 3)},
        {"  \"sp\" = \"v\"  ", u"sp", kRegSz, u"v"},
    };
    for (const TextCase& c : cases) {
        const RegistryValue v = OnlyValue(c.line);
        EXPECT_EQ(v.name, c.name) << c.line;
        EXPECT_EQ(v.type, c.type) << c.line;
        EXPECT_EQ(v.text, c.text) << c.line;
    }
}

struct DataCase {
    const char* lines;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
};

TEST(WineRegistry, DwordAndHexValuesWithContinuationLines) {
    const std::vector<DataCase> cases = {
        {R"("Merit"=dword:00600000)", kRegDword, {0x00, 0x00, 0x60, 0x00}},
        {R"("d"=dword:1)", kRegDword, {0x01, 0x00, 0x00, 0x00}},
        {R"("d"=dword:FFFFffff)", kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}},
        {R"("h"=hex:)", kRegBinary, {}},
        {R"("h"=hex:02,00,ff,7A)", kRegBinary, {0x02, 0x00, 0xFF, 0x7A}},
        {R"("h"=hex(0):01)", kRegNone, {0x01}},
        {R"("h"=hex(7):61,00,00,00)", kRegMultiSz, {0x61, 0x00, 0x00, 0x00}},
        // A backslash at the end of a line continues the list; Wine indents
        // the continuation and may end a line with CR LF.
        {"\"FilterData\"=hex:02,00,00,00,\\\n  00,00,60,00,\\\r\n  01\r", kRegBinary,
         {0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x60, 0x00, 0x01}},
        {"\"h\"=hex:01,\\\n\\\n02", kRegBinary, {0x01, 0x02}},
    };
    for (const DataCase& c : cases) {
        const RegistryValue v = OnlyValue(c.lines);
        EXPECT_EQ(v.type, c.type) << c.lines;
        EXPECT_EQ(v.data, c.data) << c.lines;
    }
}

TEST(WineRegistry, KeysInFileOrderWithTheirValues) {
    const RegistryFile file = Parse(
        ";; All keys relative to REGISTRY\\\\Machine\n"
        "#arch=win64\n"
        "\n"
        "[Software\\\\Classes\\\\CLSID\\\\{B}] 1796854558\n"
        "#time=1dd882ade106a7e\n"
        "\"Name\"=\"second in sort order, first in the file\"\n"
        "[Software\\\\Classes\\\\CLSID\\\\{A}]\n"
        "@=\"default\"\n"
        "\"CLSID\"=\"{A}\"\n"
        "\"clsid\"=\"shadowed\"\n"
        "\"Size\"=dword:00000010\n"
        "[Empty] 1\n");
    ASSERT_FALSE(file.error);
    ASSERT_EQ(file.keys.size(), 3u);
    EXPECT_EQ(file.keys[0].path, u"Software\\Classes\\CLSID\\{B}");
    EXPECT_EQ(file.keys[1].path, u"Software\\Classes\\CLSID\\{A}");
    EXPECT_EQ(file.keys[2].path, u"Empty");
    EXPECT_TRUE(file.keys[2].values.empty());

    const RegistryKey& a = file.keys[1];
    EXPECT_EQ(a.Text(u""), u"default");
    // Names compare without regard to case, and the first value of a name wins.
    EXPECT_EQ(a.Text(u"Clsid"), u"{A}");
    // A value that is not text has no text.
    ASSERT_NE(a.Find(u"SIZE"), nullptr);
    EXPECT_FALSE(a.Text(u"Size"));
    EXPECT_FALSE(a.Text(u"Missing"));
}

TEST(WineRegistry, SameRegistryNameIgnoresAsciiCaseOnly) {
    EXPECT_TRUE(SameRegistryName(u"Software\\Classes", u"SOFTWARE\\classes"));
    EXPECT_FALSE(SameRegistryName(u"Software", u"Softwar"));
    EXPECT_FALSE(SameRegistryName(u"\u00E9", u"\u00C9"));  // the registry folds more; ASCII is enough for us
    EXPECT_TRUE(SameRegistryName(u"", u""));
}

struct DamageCase {
    const char* body;        // after the header line
    std::size_t keysKept;    // keys read before the damage
    std::size_t line;        // line of the file named by the error
};

TEST(WineRegistry, DamagedFilesKeepWhatWasReadAndNameTheLine) {
    const std::vector<DamageCase> cases = {
        {"[A] 1\n\"v\"=\"ok\"\n[B] 1\n\"w\"=\"no end\n[C] 1\n", 2, 5},
        {"[A] 1\n\"v\"=\"x\\q\"\n", 1, 3},               // unknown escape
        {"[A] 1\n\"v\"=\"x\\\"\n", 1, 3},                // escape eats the closing quote
        {"[A] 1\n\"v\"=\"\\x\"\n", 1, 3},                // \x without digits
        {"[A\n", 0, 2},                                  // key without ']'
        {"[] 1\n", 0, 2},                                // empty key path
        {"[A] 1 x\n", 0, 2},                             // text after the stamp
        {"\"v\"=\"before any key\"\n", 0, 2},
        {"[A] 1\nnot registry text\n", 1, 3},
        {"[A] 1\n\"v\"\"x\"\n", 1, 3},                   // no '='
        {"[A] 1\n\"v\"=\"x\" trailing\n", 1, 3},
        {"[A] 1\n\"v\"=dword:\n", 1, 3},
        {"[A] 1\n\"v\"=dword:123456789\n", 1, 3},        // more than 32 bits
        {"[A] 1\n\"v\"=dword:12 x\n", 1, 3},
        {"[A] 1\n\"v\"=str(:\"x\"\n", 1, 3},
        {"[A] 1\n\"v\"=str(1)\"x\"\n", 1, 3},
        {"[A] 1\n\"v\"=hex(123456789):00\n", 1, 3},      // type beyond 32 bits
        {"[A] 1\n\"v\"=hex:0g\n", 1, 3},
        {"[A] 1\n\"v\"=hex:00 01\n", 1, 3},
        {"[A] 1\n\"v\"=hex:00,\\\n  01,zz\n[B] 1\n", 1, 4},  // the damage is on the continuation line
        {"[A] 1\n\"v\"=hex:00,\\\n", 1, 3},              // continued past the end of the file
        {"[A] 1\n\"v\"=big:00\n", 1, 3},
        {"[A] 1\n\"v\"=\"\xC3\x28\"\n", 1, 3},           // not UTF-8
    };
    for (const DamageCase& c : cases) {
        const RegistryFile file = Parse(c.body);
        ASSERT_TRUE(file.error) << c.body;
        EXPECT_FALSE(file.error->reason.empty()) << c.body;
        EXPECT_EQ(file.error->line, c.line) << c.body << ": " << file.error->reason;
        EXPECT_EQ(file.keys.size(), c.keysKept) << c.body;
    }
}

TEST(WineRegistry, TheKeysBeforeADamageKeepTheirValues) {
    const RegistryFile file = Parse("[A] 1\n\"v\"=\"kept\"\n\"w\"=hex:zz\n\"x\"=\"after\"\n");
    ASSERT_TRUE(file.error);
    ASSERT_EQ(file.keys.size(), 1u);
    ASSERT_EQ(file.keys[0].values.size(), 1u);
    EXPECT_EQ(file.keys[0].Text(u"v"), u"kept");
}

TEST(WineRegistry, AFileWithoutTheHeaderIsNotARegistry) {
    for (const std::string text : {"", "REGEDIT4\n[A]\n", "WINE REGISTRY Version 1\n", " WINE REGISTRY Version 2\n"}) {
        const RegistryFile file = ParseWineRegistry(text);
        ASSERT_TRUE(file.error) << text;
        EXPECT_EQ(file.error->line, 1u);
        EXPECT_TRUE(file.keys.empty());
    }
    // CR LF line ends are read like LF.
    const RegistryFile crlf = ParseWineRegistry("WINE REGISTRY Version 2\r\n[A] 1\r\n\"v\"=\"x\"\r\n");
    EXPECT_FALSE(crlf.error);
    ASSERT_EQ(crlf.keys.size(), 1u);
    EXPECT_EQ(crlf.keys[0].Text(u"v"), u"x");
}

TEST(WineRegistry, LoadingAFile) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "quorvel-wine-registry-test";
    std::filesystem::create_directories(dir);
    const std::filesystem::path path = dir / "system.reg";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << kHeader << "[A] 1\n@=\"x\"\n";
    }
    const RegistryFile file = LoadWineRegistry(path.string());
    EXPECT_FALSE(file.error);
    ASSERT_EQ(file.keys.size(), 1u);
    EXPECT_EQ(file.keys[0].Text(u""), u"x");

    const RegistryFile missing = LoadWineRegistry((dir / "absent.reg").string());
    ASSERT_TRUE(missing.error);
    EXPECT_EQ(missing.error->line, 0u);
    EXPECT_NE(missing.error->reason.find("absent.reg"), std::string::npos);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace quorvel::testing
