// The platform stand-ins: GUID texts, Windows-1252 conversion, the exclusive
// read-only file, file times and the fixed date formats.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <clocale>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Bytes.hpp"
#include "platform/DateTime.hpp"
#include "platform/File.hpp"
#include "platform/Guid.hpp"
#include "platform/HugePages.hpp"
#include "platform/OutputFile.hpp"
#include "platform/TextChunks.hpp"
#include "platform/TextConv.hpp"
#include "tests/support/GraphBuilder.hpp"

namespace quorvel::testing {
namespace {

constexpr std::string_view kText = "{00112233-4455-6677-8899-AABBCCDDEEFF}";
// The same GUID as it lies in memory and in binary data blocks: Data1, Data2
// and Data3 little-endian, then the eight Data4 bytes.
constexpr std::uint8_t kBinary[16] = {0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66,
                                      0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};

// --------------------------------------------------------------------- GUID

TEST(GuidParse, ReadsTheRegistryFormInEitherCase) {
    const Guid upper = ParseGuid(kText);
    EXPECT_TRUE(std::equal(std::begin(kBinary), std::end(kBinary), upper.bytes.begin()));
    EXPECT_EQ(ParseGuid("{00112233-4455-6677-8899-aabbccddeeff}"), upper);
    EXPECT_EQ(ParseGuid("{00112233-4455-6677-8899-aAbBcCdDeEfF}"), upper);
    EXPECT_EQ(TryParseGuid(kText), upper);
    EXPECT_NE(ParseGuid("{00112233-4455-6677-8899-AABBCCDDEEFE}"), upper);
}

TEST(GuidParse, RejectsEveryMalformedTextAndNamesIt) {
    const std::string cases[] = {
        "",
        "{}",
        "00112233-4455-6677-8899-AABBCCDDEEFF",      // no braces
        "{00112233-4455-6677-8899-AABBCCDDEEFF",     // no closing brace
        "00112233-4455-6677-8899-AABBCCDDEEFF}",     // no opening brace
        "(00112233-4455-6677-8899-AABBCCDDEEFF)",    // wrong brackets, right length
        "{00112233-4455-6677-8899-AABBCCDDEEFF} ",   // too long
        " {00112233-4455-6677-8899-AABBCCDDEEFF}",   // no trimming
        "{0011223-34455-6677-8899-AABBCCDDEEFF}",    // hyphen one place early
        "{00112233-44556-677-8899-AABBCCDDEEFF}",    // hyphen one place late
        "{00112233-4455-6677-88990AABBCCDDEEFF}",    // digit where a hyphen goes
        "{00112233445566778899AABBCCDDEEFF-----}",   // hyphens at the end
        "{0011223G-4455-6677-8899-AABBCCDDEEFF}",    // non-hex digit, each group
        "{00112233-445G-6677-8899-AABBCCDDEEFF}",
        "{00112233-4455-667G-8899-AABBCCDDEEFF}",
        "{00112233-4455-6677-889G-AABBCCDDEEFF}",
        "{00112233-4455-6677-8899-AABBCCDDEEFG}",
        "{+0112233-4455-6677-8899-AABBCCDDEEFF}",    // sign accepted by lenient number parsers
        "{0x112233-4455-6677-8899-AABBCCDDEEFF}",
        "{ 0112233-4455-6677-8899-AABBCCDDEEFF}",
        std::string("{00112233-4455-6677-8899-AABBCCDD\0EFF}", 38),  // embedded NUL
        std::string("{00112233-4455-6677-8899-AABBCCDDEEFF}\0", 39),
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(::testing::PrintToString(text));
        EXPECT_FALSE(TryParseGuid(text).has_value());
        try {
            ParseGuid(text);
            ADD_FAILURE() << "parsed";
        } catch (const GuidSyntaxError& e) {
            EXPECT_EQ(e.text(), text);
            if (text.find('\0') == std::string::npos) {
                EXPECT_NE(std::string(e.what()).find(text), std::string::npos);
            }
        }
    }
}

TEST(GuidFormat, WritesUpperCaseRegistryForm) {
    EXPECT_EQ(FormatGuid(ParseGuid("{00112233-4455-6677-8899-aabbccddeeff}")), kText);
    EXPECT_EQ(FormatGuid(Guid{}), "{00000000-0000-0000-0000-000000000000}");
    const std::string_view texts[] = {
        "{73646976-0000-0010-8000-00AA00389B71}",
        "{E436EB7E-524F-11CE-9F53-0020AF0BA770}",
        "{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}",
        "{17CCA71B-ECD7-11D0-B908-00A0C9223196}",
    };
    for (std::string_view t : texts) EXPECT_EQ(FormatGuid(ParseGuid(t)), t);
}

TEST(GuidFormat, BinaryLayoutMatchesTheText) {
    const Guid fromBytes = Guid::FromBytes(kBinary);
    EXPECT_EQ(fromBytes, ParseGuid(kText));
    EXPECT_EQ(FormatGuid(fromBytes), kText);
    // Data1 is little-endian: the first stored byte is the last pair of the
    // first group.
    std::uint8_t one[16] = {0x01};
    EXPECT_EQ(FormatGuid(Guid::FromBytes(one)), "{00000001-0000-0000-0000-000000000000}");
    std::uint8_t data2[16] = {0, 0, 0, 0, 0x02};
    EXPECT_EQ(FormatGuid(Guid::FromBytes(data2)), "{00000000-0002-0000-0000-000000000000}");
    std::uint8_t data4[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0x04};
    EXPECT_EQ(FormatGuid(Guid::FromBytes(data4)), "{00000000-0000-0000-0400-000000000000}");
}

TEST(GuidFormat, CompileTimeConstantsEqualParsedText) {
    constexpr Guid proxy = MakeGuid("{17CCA71B-ECD7-11D0-B908-00A0C9223196}");
    EXPECT_EQ(proxy, ParseGuid("{17cca71b-ecd7-11d0-b908-00a0c9223196}"));
    EXPECT_TRUE(Guid{}.IsNull());
    EXPECT_TRUE(ParseGuid("{00000000-0000-0000-0000-000000000000}").IsNull());
    EXPECT_FALSE(proxy.IsNull());
}

// ---------------------------------------------------------- Windows-1252

struct HighChar {
    unsigned char byte;
    std::uint16_t unit;
    const char* utf8;
};

// The 27 characters that Windows-1252 puts at 0x80..0x9F.
constexpr HighChar kHighChars[] = {
    {0x80, 0x20AC, "€"}, {0x82, 0x201A, "‚"}, {0x83, 0x0192, "ƒ"}, {0x84, 0x201E, "„"}, {0x85, 0x2026, "…"},
    {0x86, 0x2020, "†"}, {0x87, 0x2021, "‡"}, {0x88, 0x02C6, "ˆ"}, {0x89, 0x2030, "‰"}, {0x8A, 0x0160, "Š"},
    {0x8B, 0x2039, "‹"}, {0x8C, 0x0152, "Œ"}, {0x8E, 0x017D, "Ž"}, {0x91, 0x2018, "‘"}, {0x92, 0x2019, "’"},
    {0x93, 0x201C, "“"}, {0x94, 0x201D, "”"}, {0x95, 0x2022, "•"}, {0x96, 0x2013, "–"}, {0x97, 0x2014, "—"},
    {0x98, 0x02DC, "˜"}, {0x99, 0x2122, "™"}, {0x9A, 0x0161, "š"}, {0x9B, 0x203A, "›"}, {0x9C, 0x0153, "œ"},
    {0x9E, 0x017E, "ž"}, {0x9F, 0x0178, "Ÿ"},
};
static_assert(std::size(kHighChars) == 27);

TEST(TextConv, The27HighCharactersConvertBothWays) {
    for (const HighChar& s : kHighChars) {
        SCOPED_TRACE(::testing::Message() << std::hex << "byte 0x" << int(s.byte));
        EXPECT_EQ(static_cast<unsigned char>(AnsiFromCodeUnit(s.unit)), s.byte);
        EXPECT_EQ(Utf8FromAnsi(std::string(1, static_cast<char>(s.byte))), s.utf8);
        EXPECT_EQ(AnsiFromUtf8(s.utf8), std::string(1, static_cast<char>(s.byte)));
    }
}

TEST(TextConv, NoOtherUnitAbove0xFFHasAnEquivalent) {
    int converted = 0;
    for (std::uint32_t unit = 0x100; unit <= 0xFFFF; ++unit)
        if (AnsiFromCodeUnit(static_cast<std::uint16_t>(unit)) != kDefaultChar) ++converted;
    EXPECT_EQ(converted, 27);
}

TEST(TextConv, AsciiAndLatin1UnitsAreTheirOwnBytes) {
    for (std::uint16_t unit = 0x01; unit <= 0xFF; ++unit) {
        if (unit >= 0x80 && unit <= 0x9F) continue;
        EXPECT_EQ(static_cast<unsigned char>(AnsiFromCodeUnit(unit)), unit) << unit;
    }
    EXPECT_EQ(Utf8FromAnsi("A\xE9\xA0\xFF"), "Aé\u00A0ÿ");
    EXPECT_EQ(AnsiFromUtf8("Aé\u00A0ÿ"), "A\xE9\xA0\xFF");
    // Plain ASCII is recognised many bytes at a time: a byte that is not,
    // wherever it falls in texts of every length, is still converted.
    for (const auto& [byte, utf8] : std::vector<std::pair<char, std::string>>{{'\xE9', "é"}, {'\x80', "€"}, {'\0', "?"}}) {
        for (std::size_t length = 1; length <= 40; ++length) {
            for (std::size_t at = 0; at < length; ++at) {
                std::string ansi(length, 'x');
                ansi[at] = byte;
                ASSERT_EQ(Utf8FromAnsi(ansi), std::string(at, 'x') + utf8 + std::string(length - at - 1, 'x'))
                    << "byte at " << at << " of " << length;
            }
        }
    }
}

TEST(TextConv, UnitsWithoutEquivalentBecomeTheDefaultCharacter) {
    std::vector<std::uint16_t> units = {0x0000, 0xD800, 0xDBFF, 0xDC00, 0xDFFF, 0x0100, 0x0151,
                                        0x0154, 0x20AB, 0x4E00, 0xFFFD, 0xFFFF};
    for (std::uint16_t c1 = 0x80; c1 <= 0x9F; ++c1) units.push_back(c1);
    for (std::uint16_t unit : units) EXPECT_EQ(AnsiFromCodeUnit(unit), '?') << std::hex << unit;
}

TEST(TextConv, NulAndTheFiveUnassignedBytesBecomeTheDefaultCharacter) {
    for (unsigned char byte : {0x00, 0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(Utf8FromAnsi(std::string(1, static_cast<char>(byte))), "?") << int(byte);
    EXPECT_EQ(Utf8FromAnsi(std::string("a\0b\x81" "c", 5)), "a?b?c");
    EXPECT_EQ(Utf8FromAnsi(""), "");
}

TEST(TextConv, AnsiFromUtf8ConvertsEachUtf16CodeUnit) {
    struct Case {
        const char* what;
        std::string utf8;
        std::string ansi;
    };
    const Case cases[] = {
        {"ascii", "Video Renderer", "Video Renderer"},
        {"accents", "Décodeur vidéo", "D\xE9" "codeur vid\xE9" "o"},
        {"CJK", "日本", "??"},
        {"4-byte sequence is two code units", "a😀b", "a??b"},
        {"NUL", std::string("a\0b", 3), "a?b"},
        {"C1 control", "\xC2\x85", "?"},
        // Malformed UTF-8: each byte that starts no valid sequence is one '?'.
        {"lone continuation byte", "a\x80z", "a?z"},
        {"lead byte at the end", "a\xC3", "a?"},
        {"overlong encoding", "\xC0\xAF", "??"},
        {"encoded surrogate", "\xED\xA0\x80", "???"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", "????"},
        {"0xFF byte", "\xFF", "?"},
        {"truncated 3-byte sequence", "\xE2\x82" "A", "??A"},
    };
    for (const Case& c : cases) EXPECT_EQ(AnsiFromUtf8(c.utf8), c.ansi) << c.what;
}

// ------------------------------------------------------------ ReadOnlyFile

Bytes Ten() { return Bytes{'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'}; }

TEST(ReadOnlyFile, OpensAndReadsAtOffsets) {
    const std::string path = WriteTempFile("platform-ten.bin", Ten());
    const ReadOnlyFile f = ReadOnlyFile::OpenExclusive(path);
    EXPECT_EQ(f.Size(), 10u);
    char buf[32] = {};
    EXPECT_EQ(f.ReadAt(0, buf, 10), 10u);
    EXPECT_EQ(std::string(buf, 10), "0123456789");
    EXPECT_EQ(f.ReadAt(4, buf, 3), 3u);
    EXPECT_EQ(std::string(buf, 3), "456");
    EXPECT_EQ(f.ReadAt(7, buf, 32), 3u) << "short only at the end";
    EXPECT_EQ(std::string(buf, 3), "789");
    EXPECT_EQ(f.ReadAt(10, buf, 4), 0u);
    EXPECT_EQ(f.ReadAt(1000, buf, 4), 0u);
}

TEST(ReadOnlyFile, EmptyFile) {
    const ReadOnlyFile f = ReadOnlyFile::OpenExclusive(WriteTempFile("platform-empty.bin", {}));
    EXPECT_EQ(f.Size(), 0u);
    char buf[4];
    EXPECT_EQ(f.ReadAt(0, buf, 4), 0u);
}

TEST(ReadOnlyFile, MissingFileOrDirectoryThrows) {
    const std::string dir = std::filesystem::path(WriteTempFile("platform-anchor.bin", {})).parent_path().string();
    EXPECT_THROW(ReadOnlyFile::OpenExclusive(dir + "/no-such-file.grf"), FileError);
    EXPECT_THROW(ReadOnlyFile::OpenExclusive(dir), FileError);
}

TEST(ReadOnlyFile, SecondOpenIsRefusedWhileTheFirstIsOpen) {
    const std::string path = WriteTempFile("platform-exclusive.bin", Ten());
    {
        ReadOnlyFile first = ReadOnlyFile::OpenExclusive(path);
        EXPECT_THROW(ReadOnlyFile::OpenExclusive(path), FileError);
        // Moving the open file keeps it open, and keeps others out.
        const ReadOnlyFile moved(std::move(first));
        EXPECT_THROW(ReadOnlyFile::OpenExclusive(path), FileError);
        char c = 0;
        EXPECT_EQ(moved.ReadAt(9, &c, 1), 1u);
        EXPECT_EQ(c, '9');
    }
    const ReadOnlyFile again = ReadOnlyFile::OpenExclusive(path);
    EXPECT_EQ(again.Size(), 10u);
}

TEST(ReadOnlyFile, MoveAssignmentClosesTheFileItReplaces) {
    const std::string a = WriteTempFile("platform-move-a.bin", Ten());
    const std::string b = WriteTempFile("platform-move-b.bin", Bytes{'x'});
    ReadOnlyFile held = ReadOnlyFile::OpenExclusive(a);
    held = ReadOnlyFile::OpenExclusive(b);
    EXPECT_EQ(held.Size(), 1u);
    EXPECT_NO_THROW(ReadOnlyFile::OpenExclusive(a)) << "the replaced file must have been closed";
    EXPECT_THROW(ReadOnlyFile::OpenExclusive(b), FileError);
}

// Regression: a blocking open() of a named pipe waited for a writer before
// the regular-file check could refuse the path.
TEST(ReadOnlyFile, NamedPipeIsRefusedWithoutWaitingForAWriter) {
    const std::string dir = std::filesystem::path(WriteTempFile("platform-anchor.bin", {})).parent_path().string();
    const std::string fifo = dir + "/platform-pipe.grf";
    ::unlink(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto opening = std::async(std::launch::async, [&] { ReadOnlyFile::OpenExclusive(fifo); });
    const bool returned = opening.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
    // If it is blocked, open the pipe for writing so that the call returns and
    // the test can end.
    while (opening.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
        const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) ::close(writer);
    }
    EXPECT_TRUE(returned) << "OpenExclusive waited for a writer on a named pipe";
    try {
        opening.get();
        ADD_FAILURE() << "a named pipe was opened";
    } catch (const FileError& e) {
        // Regression: the reason once came from a stale errno ("Success").
        EXPECT_STREQ(e.what(), "cannot open: not a file");
    }
    ::unlink(fifo.c_str());
}

// Sets a file's modification time to a local date and time.
void SetLocalMtime(const std::string& path, int year, int month, int day, int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = year - 1900, tm.tm_mon = month - 1, tm.tm_mday = day;
    tm.tm_hour = hour, tm.tm_min = minute, tm.tm_sec = second, tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    ASSERT_NE(t, static_cast<std::time_t>(-1));
    const timeval times[2] = {{t, 0}, {t, 0}};
    ASSERT_EQ(::utimes(path.c_str(), times), 0);
}

TEST(ReadOnlyFileTimes, LastWriteTimeIsLocalWithEvenSeconds) {
    struct Case {
        int second;
        int expected;
    };
    const Case cases[] = {{9, 8}, {10, 10}, {59, 58}, {0, 0}, {1, 0}};
    const std::string path = WriteTempFile("platform-mtime.bin", Ten());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.second);
        SetLocalMtime(path, 2009, 1, 20, 14, 5, c.second);
        const auto t = LastWriteTime(path);
        ASSERT_TRUE(t.has_value());
        EXPECT_EQ(t->year, 2009);
        EXPECT_EQ(t->month, 1);
        EXPECT_EQ(t->day, 20);
        EXPECT_EQ(t->hour, 14);
        EXPECT_EQ(t->minute, 5);
        EXPECT_EQ(t->second, c.expected);
        EXPECT_EQ(t->weekday, 2);  // a Tuesday
    }
}

TEST(ReadOnlyFileTimes, MissingFileHasNoTime) {
    const std::string dir = std::filesystem::path(WriteTempFile("platform-anchor.bin", {})).parent_path().string();
    EXPECT_FALSE(LastWriteTime(dir + "/no-such-file.grf").has_value());
}

// ---------------------------------------------------------- date formats

LocalDateTime At(int year, int month, int day, int weekday, int hour, int minute, int second) {
    LocalDateTime t;
    t.year = year, t.month = month, t.day = day, t.weekday = weekday;
    t.hour = hour, t.minute = minute, t.second = second;
    return t;
}

TEST(DateFormats, FixedFormatsAreThoseOfAFrenchDesktop) {
    struct Case {
        LocalDateTime t;
        const char* shortDate;
        const char* longDate;
        const char* longTime;
    };
    const Case cases[] = {
        {At(2009, 1, 20, 2, 14, 5, 9), "20/01/2009", "mardi 20 janvier 2009", "14:05:09"},
        {At(2024, 2, 3, 6, 0, 0, 0), "03/02/2024", "samedi 3 février 2024", "00:00:00"},
        {At(2023, 8, 6, 0, 7, 3, 58), "06/08/2023", "dimanche 6 août 2023", "07:03:58"},
        {At(1999, 12, 31, 5, 23, 59, 59), "31/12/1999", "vendredi 31 décembre 1999", "23:59:59"},
        {At(2010, 11, 1, 1, 12, 30, 0), "01/11/2010", "lundi 1 novembre 2010", "12:30:00"},
    };
    const FixedDateFormats formats;
    for (const Case& c : cases) {
        EXPECT_EQ(formats.ShortDate(c.t), c.shortDate);
        EXPECT_EQ(formats.LongDate(c.t), c.longDate);
        EXPECT_EQ(formats.LongTime(c.t), c.longTime);
    }
}

TEST(DateFormats, FromTmRoundsSecondsDownToEvenOnlyWhenAsked) {
    std::tm tm{};
    tm.tm_year = 109, tm.tm_mon = 0, tm.tm_mday = 20, tm.tm_hour = 14, tm.tm_min = 5, tm.tm_sec = 59, tm.tm_wday = 2;
    const LocalDateTime exact = LocalDateTimeFromTm(tm);
    EXPECT_EQ(exact.year, 2009);
    EXPECT_EQ(exact.month, 1);
    EXPECT_EQ(exact.second, 59);
    EXPECT_EQ(LocalDateTimeFromTm(tm, true).second, 58);
}

TEST(DateFormats, TheCLocaleNamesNoLanguageSoTheProgramsFrenchFormatsAreUsed) {
    ASSERT_STREQ(std::setlocale(LC_TIME, nullptr), "C");
    const SystemDateFormats system;
    const FixedDateFormats french;
    const LocalDateTime t = At(2026, 12, 10, 4, 15, 16, 10);
    EXPECT_EQ(system.ShortDate(t), french.ShortDate(t));
    EXPECT_EQ(system.LongDate(t), "jeudi 10 décembre 2026");
    EXPECT_EQ(system.LongTime(t), french.LongTime(t));
}

// ------------------------------------------------------------- byte spans

TEST(ByteSpan, AFieldOutsideItsBlockIsRefusedNeverReadPast) {
    const std::uint8_t block[6] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
    EXPECT_EQ(ReadLe16(block, 4), 0x0605);
    EXPECT_EQ(ReadLe32(block, 0), 0x04030201u);
    EXPECT_EQ(ReadBe(block, 1, 3), 0x020304u);
    for (const auto& [offset, width] : std::vector<std::pair<std::size_t, std::size_t>>{
             {5, 2}, {6, 1}, {3, 4}, {0, 8}, {SIZE_MAX, 2}, {2, SIZE_MAX}}) {
        EXPECT_THROW(ReadLe(block, offset, width), ByteRangeError) << offset << "+" << width;
    }
    EXPECT_THROW(Guid::At(block, 0), ByteRangeError);
    EXPECT_EQ(Guid::At(kBinary, 0), ParseGuid(kText));
}

// ------------------------------------------------------------- kept texts

TEST(TextChunks, KeptTextsStayWhereTheyAreAsTheChunksGrow) {
    TextChunks kept;
    EXPECT_TRUE(kept.Empty());
    std::vector<std::pair<std::string_view, std::string>> views;
    std::string all;
    // Tens of megabytes in pieces of every length, one bigger than a chunk.
    for (std::size_t i = 0; all.size() < (std::size_t{40} << 20); ++i) {
        std::string text((i * 7919) % 5000, static_cast<char>('a' + i % 26));
        if (i == 300) text.assign(3 * kHugePageSize, 'Z');
        views.emplace_back(kept.Keep(text), text);
        all += text;
    }
    for (const auto& [view, text] : views) ASSERT_EQ(view, text);
    std::string joined;
    kept.ForEachPart([&](std::string_view part) { joined += part; });
    EXPECT_EQ(joined, all);
    kept.Clear();
    EXPECT_TRUE(kept.Empty());
}

TEST(TextChunks, AVectorOnHugePagesKeepsItsElementsAsItGrows) {
    std::vector<std::uint64_t, HugePageAllocator<std::uint64_t>> values;
    for (std::uint64_t i = 0; i < 3 * kHugePageSize / sizeof(std::uint64_t); ++i) values.push_back(i * i);
    for (std::size_t i = 0; i < values.size(); i += 4099) ASSERT_EQ(values[i], i * i);
    EXPECT_EQ(values.back(), (values.size() - 1) * (values.size() - 1));
}

// ------------------------------------------------------------- output file

namespace fs = std::filesystem;

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// A fresh folder per case; what a failed output leaves there is checked.
fs::path FreshFolder(const std::string& name) {
    const fs::path folder = fs::path(WriteTempFile("output-" + name, {})).concat(".d");
    fs::remove_all(folder);
    fs::create_directory(folder);
    return folder;
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void Write(const fs::path& target, const std::string& text) {
    OutputFile out(target);
    out.Stream() << text;
    out.Commit();
}

TEST(OutputFile, ReplacesRegularFilesWholeKeepingLinksAndPermissions) {
    const fs::path folder = FreshFolder("regular");
    // A new file takes the usual permissions.
    Write(folder / "new.txt", "first");
    EXPECT_EQ(Contents(folder / "new.txt"), "first");
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(fs::status(folder / "new.txt").permissions(), static_cast<fs::perms>(0666 & ~mask));
    // An existing one keeps its own.
    fs::permissions(folder / "new.txt", static_cast<fs::perms>(0640));
    Write(folder / "new.txt", "second");
    EXPECT_EQ(Contents(folder / "new.txt"), "second");
    EXPECT_EQ(fs::status(folder / "new.txt").permissions(), static_cast<fs::perms>(0640));
    // A link stays a link; the file it names is replaced.
    fs::create_symlink("new.txt", folder / "link.txt");
    Write(folder / "link.txt", "through the link");
    EXPECT_TRUE(fs::is_symlink(folder / "link.txt"));
    EXPECT_EQ(Contents(folder / "new.txt"), "through the link");
    EXPECT_EQ(Names(folder), (std::vector<std::string>{"link.txt", "new.txt"}));
}

TEST(OutputFile, PiecesBiggerThanTheBufferFollowWhatItHolds) {
    const fs::path folder = FreshFolder("big-pieces");
    const std::string big(200'000, 'b');
    {
        OutputFile out(folder / "o.txt");
        out.Stream() << "small ";
        out.Stream().write(big.data(), static_cast<std::streamsize>(big.size()));
        out.Stream() << " tail";
        out.Commit();
    }
    EXPECT_EQ(Contents(folder / "o.txt"), "small " + big + " tail");
}

TEST(OutputFile, NothingWrittenLeavesTheTargetUntouched) {
    const fs::path folder = FreshFolder("untouched");
    { OutputFile out(folder / "absent.txt"); out.Commit(); }
    { OutputFile out(folder / "absent.txt"); out.Stream() << "abandoned"; }  // never committed
    EXPECT_TRUE(Names(folder).empty());
}

TEST(OutputFile, FailuresNameTheTargetAndTheReasonAndLeaveEverythingAsItWas) {
    struct Case {
        std::string name;
        std::function<fs::path(const fs::path&)> target;
        std::string reason;
    };
    const Case cases[] = {
        {"missing folder", [](const fs::path& f) { return f / "no" / "such.txt"; }, "No such file or directory"},
        {"folder as target",
         [](const fs::path& f) {
             fs::create_directory(f / "dir");
             return f / "dir";
         },
         "Is a directory"},
        {"full device", [](const fs::path&) { return fs::path("/dev/full"); }, "No space left on device"},
        {"link loop",
         [](const fs::path& f) {
             fs::create_symlink("b", f / "a");
             fs::create_symlink("a", f / "b");
             return f / "a";
         },
         "Too many levels of symbolic links"},
    };
    for (const Case& c : cases) {
        const fs::path folder = FreshFolder("fail");
        const fs::path target = c.target(folder);
        const std::vector<std::string> before = Names(folder);
        try {
            Write(target, std::string(200000, 'x'));
            ADD_FAILURE() << c.name << ": no error";
        } catch (const OutputError& e) {
            EXPECT_EQ(e.what(), "cannot write " + target.string() + ": " + c.reason) << c.name;
        }
        EXPECT_EQ(Names(folder), before) << c.name;
    }
}

TEST(OutputFile, PipesAreWrittenStraightIntoNeverRenamedOver) {
    const fs::path folder = FreshFolder("pipe");
    const fs::path fifo = folder / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto reader = std::async(std::launch::async, [&] { return Contents(fifo); });
    Write(fifo, "through the pipe");
    EXPECT_EQ(reader.get(), "through the pipe");
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(Names(folder), (std::vector<std::string>{"fifo"}));
}

// A file system that fills up, made with a file size limit in a child.
TEST(OutputFile, AFullFileSystemLeavesTheTargetAsItWas) {
    const fs::path folder = FreshFolder("full");
    const fs::path target = folder / "kept.log";
    Write(target, "the good log");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            Write(target, std::string(1 << 20, 'x'));
        } catch (const OutputError& e) {
            ::_exit(std::string(e.what()).find("cannot write " + target.string() + ": ") == 0 ? 3 : 4);
        }
        ::_exit(5);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(Contents(target), "the good log");
    EXPECT_EQ(Names(folder), (std::vector<std::string>{"kept.log"}));
}

// As a shell's ">" refuses it, a file the user may not write is refused and
// kept, whether found on opening or checked up front.  Root may write
// anything, so as root the writer is "nobody", in a folder open to it.
TEST(OutputFile, FilesTheUserMayNotWriteAreRefusedAndKept) {
    const passwd* nobody = ::getpwnam("nobody");
    const bool root = ::geteuid() == 0;
    if (root && !nobody) GTEST_SKIP() << "run as root, and no user 'nobody' to write as";
    struct Case {
        std::string name;
        mode_t mode;
        bool writersOwn;
        bool upFront;  // CheckTarget, else a whole write
        bool replaced;
    };
    const Case cases[] = {
        {"own writable file", 0644, true, false, true},
        {"own read-only file", 0444, true, false, false},
        {"own read-only file, checked up front", 0444, true, true, false},
        {"another user's file", 0644, false, false, false},  // last: needs root to make
    };
    for (const Case& c : cases) {
        if (!c.writersOwn && !root) GTEST_SKIP() << c.name << ": only root can give a file to another user here";
        const fs::path folder = FreshFolder("read-only");
        fs::permissions(folder, fs::perms::all);
        const fs::path target = folder / "kept.log";
        std::ofstream(target) << "the good log";
        fs::permissions(target, static_cast<fs::perms>(c.mode));
        if (root && c.writersOwn) {
            ASSERT_EQ(::chown(target.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        }
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (root && (::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)) ::_exit(6);
            try {
                OutputFile out(target);
                if (c.upFront) out.CheckTarget({});
                out.Stream() << "replaced";
                out.Commit();
            } catch (const OutputError& e) {
                ::_exit(e.what() == "cannot write " + target.string() + ": Permission denied" ? 3 : 4);
            }
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << c.name;
        EXPECT_EQ(WEXITSTATUS(status), c.replaced ? 0 : 3) << c.name;
        EXPECT_EQ(Contents(target), c.replaced ? "replaced" : "the good log") << c.name;
        EXPECT_EQ(Names(folder), (std::vector<std::string>{"kept.log"})) << c.name;
    }
}

// A writer killed by one of these signals takes its temporary file with it
// and still dies of the signal; one the program was started ignoring stays
// ignored.
struct Killing {
    int ignored;  // 0: none
    int killer;
};

void PrintTo(const Killing& k, std::ostream* os) {
    *os << sigabbrev_np(k.killer);
    if (k.ignored) *os << " after ignored " << sigabbrev_np(k.ignored);
}

class OutputFileSignals : public ::testing::TestWithParam<Killing> {};

TEST_P(OutputFileSignals, LeaveNoTemporaryFileAndKillTheWriter) {
    const Killing k = GetParam();
    const fs::path folder = FreshFolder("signal-" + std::to_string(k.killer));
    const fs::path target = folder / "big.html";
    std::ofstream(target) << "the old report";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (k.ignored) ::signal(k.ignored, SIG_IGN);
        OutputFile out(target);
        out.Stream() << "half a report";
        out.Open();
        (void)!::write(ready[1], "r", 1);
        for (;;) ::pause();
    }
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    EXPECT_EQ(Names(folder).size(), 2u);  // the temporary file is there
    // An ignored signal that had been taken over would kill first: it is
    // the lower number, and sent first.
    if (k.ignored) ::kill(child, k.ignored);
    ::kill(child, k.killer);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), k.killer);
    EXPECT_EQ(Names(folder), (std::vector<std::string>{"big.html"}));
    EXPECT_EQ(Contents(target), "the old report");
}

INSTANTIATE_TEST_SUITE_P(EachSignal, OutputFileSignals,
                         ::testing::Values(Killing{0, SIGINT}, Killing{0, SIGTERM}, Killing{0, SIGHUP},
                                           Killing{0, SIGPIPE}, Killing{SIGHUP, SIGTERM}),
                         [](const ::testing::TestParamInfo<Killing>& info) {
                             const Killing& k = info.param;
                             return sigabbrev_np(k.killer) + (k.ignored ? std::string("_") + sigabbrev_np(k.ignored) + "Ignored" : "");
                         });

}  // namespace
}  // namespace quorvel::testing
