// The graph stream reader: its primitives over bytes in memory, the in-step
// and out-of-step states of the look-ahead, the end of the file, the data
// block counts, and reads across the edges of the reader's 64 KiB window.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/AnalysisError.hpp"
#include "analysis/ByteSource.hpp"
#include "analysis/GraphReader.hpp"
#include "platform/File.hpp"
#include "tests/support/GraphBuilder.hpp"

namespace quorvel::testing {
namespace {

constexpr int kEof = GraphReader::kEndOfFile;

Bytes U(std::u16string_view units) {
    BinaryWriter w;
    w.Utf16(units);
    return w.take();
}

std::u16string Ascii16(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A reader over bytes in memory, primed as the driver primes it: one NextChar,
// so that the look-ahead is the code unit at offset 0.
struct Stream {
    explicit Stream(Bytes b) : bytes(std::move(b)), source(bytes), reader(source) { reader.NextChar(); }
    Bytes bytes;
    MemorySource source;
    GraphReader reader;
};

// Runs `action` and returns the offset of the AnalysisError it raises; fails
// the test when nothing is raised.
std::uint64_t FailureOffset(const std::function<void()>& action) {
    try {
        action();
    } catch (const AnalysisError& e) {
        return e.offset();
    }
    ADD_FAILURE() << "no AnalysisError was raised";
    return std::numeric_limits<std::uint64_t>::max();
}

// ------------------------------------------------------------------ NextChar

TEST(GraphReader, NextCharReturnsTheLookAheadAndLoadsTheNextLittleEndianUnit) {
    Stream s({0x34, 0x12, 0xFF, 0xFE, 'A', 0});
    GraphReader& r = s.reader;
    EXPECT_EQ(r.Size(), 6u);
    EXPECT_EQ(r.CurrentChar(), 0x1234);
    EXPECT_EQ(r.Cursor(), 0u);
    EXPECT_EQ(r.Position(), 2u);

    EXPECT_EQ(r.NextChar(), 0x1234);
    EXPECT_EQ(r.CurrentChar(), 0xFEFF);
    EXPECT_EQ(r.Cursor(), 2u);
    EXPECT_EQ(r.NextChar(), 0xFEFF);
    EXPECT_TRUE(r.CurrentIs(u'A'));
    EXPECT_EQ(r.NextChar(), u'A');
    EXPECT_EQ(r.CurrentChar(), kEof);
}

TEST(GraphReader, EndOfFileMatchesNoLookAheadTest) {
    // A real 0xFFFF unit must stay distinguishable from the end of the file.
    Stream s({0xFF, 0xFF});
    GraphReader& r = s.reader;
    EXPECT_TRUE(r.CurrentIs(0xFFFF));
    r.NextChar();
    EXPECT_EQ(r.CurrentChar(), kEof);
    EXPECT_FALSE(r.CurrentIs(0xFFFF));
    EXPECT_FALSE(r.CurrentIsDigit());
    for (char16_t unit : {u'\r', u' ', u'"', u'}', u'E', u'\0'}) EXPECT_FALSE(r.CurrentIs(unit)) << int(unit);
}

TEST(GraphReader, TakingTheEndOfFileLookAheadThrowsAtTheEndOfTheFile) {
    struct Case {
        const char* what;
        Bytes bytes;
        int unitsBeforeEnd;
        std::uint64_t offset;
    };
    const Case cases[] = {
        {"empty file", {}, 0, 0},
        {"two units", U(u"AB"), 2, 4},
        // One byte left at the file position is not a code unit.
        {"odd trailing byte", Cat({U(u"A"), Bytes{0x42}}), 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Stream s(c.bytes);
        for (int i = 0; i < c.unitsBeforeEnd; ++i) {
            EXPECT_NE(s.reader.CurrentChar(), kEof);
            s.reader.NextChar();
        }
        EXPECT_EQ(s.reader.CurrentChar(), kEof);
        EXPECT_EQ(FailureOffset([&] { s.reader.NextChar(); }), c.offset);
    }
}

TEST(GraphReader, AStreamMayEndRightAfterItsLastToken) {
    {
        Stream s(U(u"END"));
        EXPECT_EQ(s.reader.ReadChars(3), "END");
        EXPECT_EQ(s.reader.CurrentChar(), kEof);
    }
    {
        Stream s(U(u"CLOCK 1\r\n"));
        EXPECT_EQ(s.reader.ReadLine(), "CLOCK 1");
        EXPECT_EQ(s.reader.CurrentChar(), kEof);
    }
    {
        Stream s(U(u"\"name\""));
        EXPECT_EQ(s.reader.ReadQuoted(), "\"name\"");
        EXPECT_EQ(s.reader.CurrentChar(), kEof);
    }
}

TEST(GraphReader, ReadsThatRunIntoTheEndOfTheFileThrowInsteadOfWaiting) {
    struct Case {
        const char* what;
        std::u16string units;
        std::function<void(GraphReader&)> read;
    };
    const Case cases[] = {
        {"ReadChars past the end", u"END", [](GraphReader& r) { r.ReadChars(4); }},
        {"ReadLine without CR", u"FILTERS", [](GraphReader& r) { r.ReadLine(); }},
        {"ReadLine with CR but no LF", u"FILTERS\r", [](GraphReader& r) { r.ReadLine(); }},
        {"ReadWord without space", u"SOURCE", [](GraphReader& r) { r.ReadWord(); }},
        {"ReadQuoted without closing quote", u"\"name", [](GraphReader& r) { r.ReadQuoted(); }},
        {"ReadQuoted without any quote", u"name", [](GraphReader& r) { r.ReadQuoted(); }},
        {"ReadGuidText without brace", u"{73646976-0000-0010-8000-00AA00389B71", [](GraphReader& r) { r.ReadGuidText(); }},
        {"ReadNumber past the end", u"12", [](GraphReader& r) { r.ReadNumber(4); }},
        {"SkipSeparator at the end", u"", [](GraphReader& r) { r.SkipSeparator(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Stream s(U(c.units));
        EXPECT_EQ(FailureOffset([&] { c.read(s.reader); }), 2 * c.units.size());
    }
}

// ------------------------------------------------------------- text readers

TEST(GraphReader, ReadCharsTakesExactlyTheGivenNumberOfUnits) {
    Stream s(U(u"0003\r\nX"));
    GraphReader& r = s.reader;
    for (long long n : {0LL, -1LL, -100LL}) {
        EXPECT_EQ(r.ReadChars(n), "");
        EXPECT_EQ(r.CurrentChar(), u'0');
        EXPECT_EQ(r.Position(), 2u);
    }
    EXPECT_EQ(r.ReadChars(4), "0003");
    EXPECT_EQ(r.CurrentChar(), u'\r');
    EXPECT_EQ(r.ReadChars(2), "\r\n");  // nothing is special to ReadChars
    EXPECT_EQ(r.CurrentChar(), u'X');
}

struct TextCase {
    const char* what;
    std::u16string units;
    std::string text;
    int lookAhead;  // after the read
};

void ExpectTextRead(const TextCase& c, const std::function<std::string(GraphReader&)>& read) {
    SCOPED_TRACE(c.what);
    Stream s(U(c.units));
    EXPECT_EQ(read(s.reader), c.text);
    EXPECT_EQ(s.reader.CurrentChar(), c.lookAhead);
}

TEST(GraphReader, ReadLineStopsAtTheFirstCrAndPassesOverOneMoreUnit) {
    const TextCase cases[] = {
        {"plain line", u"FILTERS\r\nX", "FILTERS", u'X'},
        {"empty line", u"\r\nX", "", u'X'},
        {"the unit after CR is not tested", u"ab\rQX", "ab", u'X'},
        {"LF alone does not end a line", u"a\nb\r\nX", "a\nb", u'X'},
        {"quotes, braces and spaces are text", u"0001 \"n\" {x}\r\nX", "0001 \"n\" {x}", u'X'},
        {"only the first CR counts", u"a\r\nb\r\n", "a", u'b'},
    };
    for (const TextCase& c : cases) ExpectTextRead(c, [](GraphReader& r) { return r.ReadLine(); });
}

TEST(GraphReader, ReadWordStopsBeforeTheFirstSpace) {
    const TextCase cases[] = {
        {"word then space", u"SOURCE \"x\"", "SOURCE", u' '},
        {"look-ahead on a space", u" SOURCE", "", u' '},
        {"CR and tab are part of the word", u"a\tb\r\n c", "a\tb\r\n", u' '},
    };
    for (const TextCase& c : cases) ExpectTextRead(c, [](GraphReader& r) { return r.ReadWord(); });

    Stream s(U(u" x"));
    s.reader.ReadWord();
    EXPECT_EQ(s.reader.Position(), 2u) << "a word read on a space consumes nothing";
}

TEST(GraphReader, ReadQuotedAlwaysStartsWithAQuote) {
    const TextCase cases[] = {
        {"quoted name", u"\"Video Renderer\" X", "\"Video Renderer\"", u' '},
        {"no opening quote: nothing is dropped", u"Renderer\"X", "\"Renderer\"", u'X'},
        {"empty quotes", u"\"\"X", "\"\"", u'X'},
        {"braces and CR inside", u"\"a}\r\nb\"X", "\"a}\r\nb\"", u'X'},
    };
    for (const TextCase& c : cases) ExpectTextRead(c, [](GraphReader& r) { return r.ReadQuoted(); });
}

TEST(GraphReader, ReadGuidTextTakesEverythingThroughTheFirstClosingBrace) {
    const TextCase cases[] = {
        {"registry form", u"{73646976-0000-0010-8000-00AA00389B71} X", "{73646976-0000-0010-8000-00AA00389B71}", u' '},
        {"first unit not tested", u"ab}c}", "ab}", u'c'},
        {"brace only", u"}X", "}", u'X'},
    };
    for (const TextCase& c : cases) ExpectTextRead(c, [](GraphReader& r) { return std::string(r.ReadGuidText()); });
}

TEST(GraphReader, SkipSeparatorConsumesAnyOneUnitAndGivesTwoSpaces) {
    for (char16_t separator : {u' ', u'\t', u'X', u'\r'}) {
        const std::u16string units = std::u16string(1, separator) + u"N";
        Stream s(U(units));
        EXPECT_EQ(s.reader.SkipSeparator(), "  ");
        EXPECT_EQ(s.reader.CurrentChar(), u'N');
    }
}

TEST(GraphReader, TextIsConvertedToWindows1252OneUnitAtATime) {
    const TextCase cases[] = {
        {"e acute", u"\u00E9\r\n", "\xE9", kEof},
        {"euro sign", u"\u20AC\r\n", "\x80", kEof},
        {"C1 control has no equivalent", u"\u0081\r\n", "?", kEof},
        {"NUL has no equivalent", std::u16string(u"a\0b\r\n", 5), "a?b", kEof},
        {"CJK has no equivalent", u"\u65E5\u672C\r\n", "??", kEof},
        {"surrogate pair becomes two defaults", u"a\U0001F600b\r\n", "a??b", kEof},
        {"lone surrogate", u"\xDC00\r\n", "?", kEof},
        {"latin-1 letters", u"\u00C7a \u00FF\r\n", "\xC7" "a \xFF", kEof},
    };
    for (const TextCase& c : cases) ExpectTextRead(c, [](GraphReader& r) { return r.ReadLine(); });

    Stream s(U(u"\"x\U0001F600\"Z"));
    EXPECT_EQ(s.reader.ReadQuoted(), "\"x??\"");
    Stream t(U(u"\U0001F600"));
    EXPECT_EQ(t.reader.ReadChars(2), "??");
}

TEST(GraphReader, LongTextIsConvertedTheSameWhereverAnUnusualUnitFalls) {
    // Long runs are taken several units at a time: each unit that breaks a
    // run, at every place in it, and lines of every length.
    const std::pair<char16_t, char> unusual[] = {
        {u'\u00E9', '\xE9'}, {u'\u20AC', '\x80'}, {u'\0', '?'},    {u'\u0081', '?'},
        {u'\u0100', '?'},     {u'\u007F', '\x7F'}, {u'\uFFFF', '?'}, {u'\u0152', '\x8C'},
    };
    for (const auto& [unit, ansi] : unusual) {
        for (std::size_t at = 0; at <= 40; ++at) {
            const std::u16string units = Ascii16(std::string(at, 'a')) + unit + Ascii16(std::string(40 - at, 'b'));
            Stream s(U(units + u"\r\nZ"));
            EXPECT_EQ(s.reader.ReadLine(), std::string(at, 'a') + ansi + std::string(40 - at, 'b'))
                << "unit " << static_cast<int>(unit) << " at " << at;
            EXPECT_EQ(s.reader.CurrentChar(), u'Z');
        }
    }
}

// ---------------------------------------------------------------- ReadNumber

TEST(GraphReader, ReadNumberAccumulatesLowBytesMinus48WithoutValidation) {
    struct Case {
        const char* what;
        std::u16string units;
        int n;
        std::int64_t value;
        int lookAhead;
    };
    const Case cases[] = {
        {"leading zeros", u"0012X", 4, 12, u'X'},
        {"letters count too", u"12abX", 4, 1740, u'X'},  // 1000 + 200 + 49*10 + 50
        {"below '0' gives negative digits", u" 5X", 2, -155, u'X'},  // (32-48)*10 + 5
        {"only the low 8 bits of a unit", u"\u01350X", 2, 50, u'X'},  // 0x0135 -> '5'
        {"wider than 32 bits", u"999999999999X", 12, 999999999999LL, u'X'},
        {"zero units", u"12", 0, 0, u'1'},
        {"negative count", u"12", -3, 0, u'1'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Stream s(U(c.units));
        EXPECT_EQ(s.reader.ReadNumber(c.n), c.value);
        EXPECT_EQ(s.reader.CurrentChar(), c.lookAhead);
    }
}

// ----------------------------------------------------------------- SkipBytes

TEST(GraphReader, SkipBytesMovesTheLookAheadByBytesFromTheCursor) {
    Bytes ramp(32);
    for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<std::uint8_t>(i);
    struct Case {
        long long n;
        int lookAhead;
        std::uint64_t position;
    };
    const Case cases[] = {
        {-4, 0x0100, 2}, {0, 0x0100, 2}, {1, 0x0100, 2},  // below 2: nothing moves
        {2, 0x0302, 4},                                    // one NextChar
        {3, 0x0403, 5},                                    // odd: the look-ahead straddles units
        {8, 0x0908, 10},
        {29, 0x1E1D, 31},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        Stream s(ramp);
        s.reader.SkipBytes(c.n);
        EXPECT_EQ(s.reader.CurrentChar(), c.lookAhead);
        EXPECT_EQ(s.reader.Position(), c.position);
    }

    // From an odd cursor, SkipBytes stays on odd offsets.
    Stream s(ramp);
    s.reader.SkipBytes(3);
    EXPECT_EQ(s.reader.NextChar(), 0x0403);
    EXPECT_EQ(s.reader.CurrentChar(), 0x0605);
    s.reader.SkipBytes(6);
    EXPECT_EQ(s.reader.CurrentChar(), 0x0C0B);
}

TEST(GraphReader, SkipBytesOfTwoIsOneNextChar) {
    const Bytes units = U(u"ABCD");
    Stream a(units), b(units);
    a.reader.SkipBytes(2);
    b.reader.NextChar();
    EXPECT_EQ(a.reader.CurrentChar(), b.reader.CurrentChar());
    EXPECT_EQ(a.reader.Position(), b.reader.Position());
    EXPECT_EQ(a.reader.CurrentChar(), u'B');
}

TEST(GraphReader, SkipBytesPastTheEndLeavesEndOfFileAsLookAhead) {
    Stream s(U(u"AB"));
    s.reader.SkipBytes(10);
    EXPECT_EQ(s.reader.CurrentChar(), kEof);
    EXPECT_THROW(s.reader.NextChar(), AnalysisError);
}

TEST(GraphReader, ProbesAt512ByteStepsFindTheVersionText) {
    // The driver's probe loop: NextChar, SkipBytes(8), then SkipBytes(504) and
    // four code units per probe, landing on 512, 1024, 1536.
    Bytes file(2048 + 64, 0);
    const Bytes version = U(u"0002\r\nFILTERS\r\n");
    std::copy(version.begin(), version.end(), file.begin() + 1536);
    Stream s(file);
    GraphReader& r = s.reader;
    r.SkipBytes(8);
    std::vector<std::string> probes;
    while (r.Position() < r.Size()) {
        r.SkipBytes(504);
        probes.push_back(r.ReadChars(4));
        EXPECT_EQ(r.Cursor() % 512, 8u);
        if (probes.back() == "0002") break;
    }
    ASSERT_EQ(probes.size(), 3u);
    EXPECT_EQ(probes[0], "????");
    EXPECT_EQ(probes[2], "0002");
    r.SkipBytes(4);
    EXPECT_EQ(r.ReadLine(), "FILTERS") << "the look-ahead is the first unit of the next line";
}

// ------------------------------------------------- out of step: raw access

TEST(GraphReader, StepBackThenReadRawStartsWithTheLookAheadsBytes) {
    Stream s(U(u"ABCD"));
    GraphReader& r = s.reader;
    r.NextChar();  // look-ahead 'B' at offset 2
    r.StepBack();
    EXPECT_EQ(r.Position(), 2u);
    EXPECT_EQ(r.CurrentChar(), u'B') << "StepBack does not touch the look-ahead";
    std::uint8_t raw[4] = {};
    r.ReadRaw(raw, 4);
    EXPECT_EQ(Bytes(raw, raw + 4), (Bytes{'B', 0, 'C', 0}));
    EXPECT_EQ(r.CurrentChar(), u'B');
    EXPECT_EQ(r.NextChar(), u'B') << "the stale look-ahead";
    EXPECT_EQ(r.CurrentChar(), u'D');
}

TEST(GraphReader, ReadRawAndSkipRawLeaveAStaleLookAhead) {
    {
        Stream s(U(u"ABCDEF"));
        std::uint8_t raw[4] = {};
        s.reader.ReadRaw(raw, 4);
        EXPECT_EQ(Bytes(raw, raw + 4), (Bytes{'B', 0, 'C', 0}));
        EXPECT_EQ(s.reader.Position(), 6u);
        EXPECT_EQ(s.reader.CurrentChar(), u'A');
        EXPECT_EQ(s.reader.NextChar(), u'A');
        EXPECT_EQ(s.reader.CurrentChar(), u'D');
    }
    {
        Stream s(U(u"ABCDEF"));
        s.reader.SkipRaw(6);
        EXPECT_EQ(s.reader.Position(), 8u);
        EXPECT_EQ(s.reader.CurrentChar(), u'A');
        EXPECT_EQ(s.reader.NextChar(), u'A');
        EXPECT_EQ(s.reader.CurrentChar(), u'E');
    }
    {
        // An odd move: the next unit is made of the high byte of 'B' and 'C'.
        Stream s(U(u"ABCD"));
        s.reader.SkipRaw(1);
        EXPECT_EQ(s.reader.NextChar(), u'A');
        EXPECT_EQ(s.reader.CurrentChar(), 0x4300);
    }
    {
        Stream s(U(u"ABCD"));
        std::uint8_t none = 0xAA;
        s.reader.ReadRaw(&none, 0);
        s.reader.SkipRaw(0);
        EXPECT_EQ(none, 0xAA);
        EXPECT_EQ(s.reader.NextChar(), u'A');
        EXPECT_EQ(s.reader.CurrentChar(), u'B');
    }
}

TEST(GraphReader, ReadRawPastTheEndThrowsAtTheFilePosition) {
    Stream s(U(u"ABC"));
    std::uint8_t raw[8] = {};
    EXPECT_EQ(FailureOffset([&] { s.reader.ReadRaw(raw, 5); }), 2u);

    Stream exact(U(u"ABC"));
    exact.reader.ReadRaw(raw, 4);  // up to the last byte is fine
    EXPECT_EQ(Bytes(raw, raw + 4), (Bytes{'B', 0, 'C', 0}));
    EXPECT_EQ(exact.reader.NextChar(), u'A');
    EXPECT_EQ(exact.reader.CurrentChar(), kEof);
}

TEST(GraphReader, SkipRawPastTheEndLoadsEndOfFileOnTheNextNextChar) {
    Stream s(U(u"ABC"));
    s.reader.SkipRaw(1000);
    EXPECT_EQ(s.reader.CurrentChar(), u'A');
    EXPECT_EQ(s.reader.NextChar(), u'A');
    EXPECT_EQ(s.reader.CurrentChar(), kEof);
    EXPECT_THROW(s.reader.NextChar(), AnalysisError);

    Stream huge(U(u"ABC"));
    huge.reader.SkipRaw(std::numeric_limits<std::uint64_t>::max());  // no wrap-around to the start
    huge.reader.NextChar();
    EXPECT_EQ(huge.reader.CurrentChar(), kEof);
}

TEST(GraphReader, FailuresCarryTheOffsetAndKindTheyAreGiven) {
    Stream s(U(u"0123456789"));
    s.reader.SkipBytes(10);
    try {
        s.reader.Fail(StopKind::FilterId, "bad id");
        FAIL();
    } catch (const AnalysisError& e) {
        EXPECT_EQ(e.offset(), 10u);
        EXPECT_EQ(e.kind(), StopKind::FilterId);
        EXPECT_EQ(e.reason(), "bad id");
    }
    EXPECT_EQ(FailureOffset([&] { s.reader.FailAt(3, StopKind::Other, "x"); }), 3u);
}

// ------------------------------------------------------------- data blocks

TEST(GraphReaderBlock, EmptyBlockConsumesTheCrAndLeavesTheLf) {
    Stream s(U(u"0000000000 \r\n"));
    EXPECT_TRUE(s.reader.ReadSizedBlock().empty());
    EXPECT_EQ(s.reader.CurrentChar(), u'\n');
    EXPECT_EQ(s.reader.Cursor(), 24u);
}

TEST(GraphReaderBlock, ReturnsTheBlockBytesInFileOrder) {
    struct Case {
        const char* what;
        std::u16string digits;
        Bytes data;
        std::uint64_t lfOffset;
    };
    const Case cases[] = {
        {"four bytes", u"0000000004", {1, 2, 3, 4}, 28},
        // Bytes that look like CR LF are data, not a line end.
        {"CR LF inside the data", u"0000000004", {0x0D, 0, 0x0A, 0}, 28},
        // An odd count shifts everything after the block by one byte.
        {"odd count", u"0000000003", {7, 8, 9}, 27},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Stream s(Cat({U(c.digits), U(u" "), c.data, U(u"\r\nX")}));
        EXPECT_EQ(s.reader.ReadSizedBlock(), c.data);
        EXPECT_EQ(s.reader.CurrentChar(), u'\n');
        EXPECT_EQ(s.reader.Cursor(), c.lfOffset);
        s.reader.NextChar();
        EXPECT_EQ(s.reader.CurrentChar(), u'X');
    }
}

TEST(GraphReaderBlock, TheSeparatorIsNotTested) {
    Stream s(Cat({U(u"0000000002\t"), Bytes{0xAB, 0xCD}, U(u"\r\n")}));
    EXPECT_EQ(s.reader.ReadSizedBlock(), (Bytes{0xAB, 0xCD}));
    EXPECT_EQ(s.reader.CurrentChar(), u'\n');
}

TEST(GraphReaderBlock, HeaderGivesTheCountAndTheFirstByteOfTheBlock) {
    Stream s(Cat({U(u"FOO0000000003 "), Bytes{'a', 0, 'b'}, U(u"\r\n")}));
    s.reader.ReadChars(3);
    const BlockHeader h = s.reader.ReadBlockHeader();
    EXPECT_EQ(h.count, 3u);
    EXPECT_EQ(h.start, 28u);
    EXPECT_EQ(s.reader.CurrentChar(), u'a') << "the look-ahead is the block's first code unit";
}

TEST(GraphReaderBlock, NonDigitCharactersCountByTheirWindows1252Code) {
    struct Case {
        const char* what;
        std::u16string digits;
        std::size_t count;
    };
    const Case cases[] = {
        {"colon", u"000000000:", 10},               // ':' - 48 = 10
        {"letter", u"000000001A", 27},              // 1*10 + ('A' - 48)
        {"unconvertible unit is '?'", u"000000000\u65E5", 15},  // '?' - 48
        {"C1 control is '?'", u"000000000\u0081", 15},
        {"e acute is 0xE9", u"000000000\u00E9", 185},            // 233 - 48
        {"euro sign is 0x80, not its low byte", u"000000000\u20AC", 80},  // 128 - 48
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes data(c.count);
        for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 3 + 1);
        Stream s(Cat({U(c.digits), U(u" "), data, U(u"\r\n")}));
        EXPECT_EQ(s.reader.ReadSizedBlock(), data);
        EXPECT_EQ(s.reader.CurrentChar(), u'\n');
    }
}

TEST(GraphReaderBlock, BadCountsThrowAtTheStartOfTheBlock) {
    struct Case {
        const char* what;
        std::u16string digits;
    };
    const Case cases[] = {
        {"runs past the end", u"0000000010"},
        {"largest positive count", u"2147483647"},
        {"wraps to -1", u"4294967295"},
        {"wraps to the smallest negative", u"2147483648"},
        {"minus sign among the digits", u"00000000-1"},  // 0*10 - 3 -> -3, then -29
        {"'?' makes a large count", u"\u65E5000000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        {
            Stream s(Cat({U(c.digits), U(u" "), Bytes{1, 2, 3, 4}, U(u"\r\n")}));
            EXPECT_EQ(FailureOffset([&] { s.reader.ReadSizedBlock(); }), 22u);
        }
        {
            Stream s(Cat({U(c.digits), U(u" "), Bytes{1, 2, 3, 4}, U(u"\r\n")}));
            EXPECT_EQ(FailureOffset([&] { s.reader.ReadBlockHeader(); }), 22u);
        }
    }
}

TEST(GraphReaderBlock, BlockEndingTheFileWithoutItsLineEndThrowsAtTheEnd) {
    Stream s(Cat({U(u"0000000004 "), Bytes{1, 2, 3, 4}}));
    EXPECT_EQ(FailureOffset([&] { s.reader.ReadSizedBlock(); }), 26u);
}

TEST(GraphReaderBlock, CountFromTextWrapsAt32Bits) {
    struct Case {
        std::string text;
        std::int32_t count;
    };
    const Case cases[] = {
        {"0000000000", 0},
        {"0000000012", 12},
        {"2147483647", std::numeric_limits<std::int32_t>::max()},
        {"2147483648", std::numeric_limits<std::int32_t>::min()},
        {"4294967295", -1},
        {"4294967296", 0},
        {"9999999999", 1410065407},  // 9999999999 - 2 * 2^32
        {"00000000-1", -29},
        {"000000000?", 15},
        {"000000000\xE9", 185},
        {"000000000\x80", 80},
    };
    for (const Case& c : cases) EXPECT_EQ(BlockCountFromText(c.text), c.count) << c.text;
}

// ------------------------------------------------------- the 64 KiB window

constexpr std::size_t kWindow = GraphReader::kBufferSize;

// Bytes that differ from one 64 KiB window to the next.
Bytes Pattern(std::size_t size) {
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<std::uint8_t>((i * 2654435761u) >> 13);
    return b;
}

int UnitAt(const Bytes& b, std::size_t offset) { return b[offset] | (b[offset + 1] << 8); }

TEST(GraphReaderBuffer, NextCharWalksTheWholeFileAcrossWindows) {
    const Bytes bytes = Pattern(3 * kWindow + 1001);  // odd: one byte left at the end
    Stream s(bytes);
    std::size_t mismatches = 0, offset = 0;
    for (; offset + 2 <= bytes.size(); offset += 2) {
        if (s.reader.CurrentChar() != UnitAt(bytes, offset) && mismatches++ == 0)
            ADD_FAILURE() << "first mismatch at offset " << offset;
        s.reader.NextChar();
    }
    EXPECT_EQ(mismatches, 0u);
    EXPECT_EQ(s.reader.CurrentChar(), kEof);
}

TEST(GraphReaderBuffer, UnitsStraddlingTheWindowEdgeAtOddOffsets) {
    const Bytes bytes = Pattern(3 * kWindow);
    Stream s(bytes);
    for (std::size_t edge : {kWindow, 2 * kWindow}) {
        s.reader.SkipBytes(static_cast<long long>(edge - 5 - s.reader.Cursor()));
        for (std::size_t offset = edge - 5; offset < edge + 9; offset += 2) {
            ASSERT_EQ(s.reader.Cursor(), offset);
            EXPECT_EQ(s.reader.NextChar(), UnitAt(bytes, offset)) << "offset " << offset;
        }
    }
}

TEST(GraphReaderBuffer, ReadRawAcrossTheWindowEdge) {
    const Bytes bytes = Pattern(3 * kWindow);
    Stream s(bytes);
    s.reader.SkipRaw(kWindow - 8 - 2);  // file position kWindow - 8
    std::vector<std::uint8_t> raw(20);
    s.reader.ReadRaw(raw.data(), raw.size());
    EXPECT_EQ(raw, Bytes(bytes.begin() + kWindow - 8, bytes.begin() + kWindow + 12));
    s.reader.NextChar();
    EXPECT_EQ(s.reader.CurrentChar(), UnitAt(bytes, kWindow + 12));
}

TEST(GraphReaderBuffer, ReadRawLargerThanTheWindow) {
    const Bytes bytes = Pattern(3 * kWindow);
    Stream s(bytes);
    s.reader.SkipRaw(999);  // file position 1001: odd, inside the first window
    std::vector<std::uint8_t> raw(150000);
    s.reader.ReadRaw(raw.data(), raw.size());
    EXPECT_TRUE(raw == Bytes(bytes.begin() + 1001, bytes.begin() + 151001));
    s.reader.NextChar();
    EXPECT_EQ(s.reader.CurrentChar(), UnitAt(bytes, 151001));
    EXPECT_EQ(s.reader.NextChar(), UnitAt(bytes, 151001));
    EXPECT_EQ(s.reader.CurrentChar(), UnitAt(bytes, 151003));
}

TEST(GraphReaderBuffer, SkipRawAcrossAWindow) {
    const Bytes bytes = Pattern(3 * kWindow);
    Stream s(bytes);
    s.reader.SkipRaw(70000);
    EXPECT_EQ(s.reader.NextChar(), UnitAt(bytes, 0));
    EXPECT_EQ(s.reader.CurrentChar(), UnitAt(bytes, 70002));
    EXPECT_EQ(s.reader.NextChar(), UnitAt(bytes, 70002));
    EXPECT_EQ(s.reader.CurrentChar(), UnitAt(bytes, 70004));
}

TEST(GraphReaderBuffer, StepBackBeforeAWindowThatStartsAtAnOddOffset) {
    const Bytes bytes = Pattern(3 * kWindow);
    Stream s(bytes);
    // The unit at kWindow - 1 straddles the first window's edge, so the reader
    // loads a window that starts there; stepping back goes before it.
    s.reader.SkipBytes(static_cast<long long>(kWindow - 1));
    ASSERT_EQ(s.reader.Cursor(), kWindow - 1);
    EXPECT_EQ(s.reader.CurrentChar(), UnitAt(bytes, kWindow - 1));
    s.reader.StepBack();
    s.reader.StepBack();  // file position kWindow - 3
    std::vector<std::uint8_t> raw(10);
    s.reader.ReadRaw(raw.data(), raw.size());
    EXPECT_EQ(raw, Bytes(bytes.begin() + kWindow - 3, bytes.begin() + kWindow + 7));
    EXPECT_EQ(s.reader.NextChar(), UnitAt(bytes, kWindow - 1));
    EXPECT_EQ(s.reader.CurrentChar(), UnitAt(bytes, kWindow + 7));
}

TEST(GraphReaderBuffer, LineLongerThanTheWindow) {
    std::u16string line;
    std::string expected;
    for (int i = 0; i < 40000; ++i) {
        const char c = static_cast<char>('a' + i % 26);
        line += static_cast<char16_t>(c);
        expected += c;
    }
    Stream s(U(line + u"\r\nZ"));
    EXPECT_EQ(s.reader.ReadLine(), expected);
    EXPECT_EQ(s.reader.CurrentChar(), u'Z');
}

// A block that straddles the window edge, or is larger than the window, with
// the stream at even and at odd file offsets.
TEST(GraphReaderBuffer, BlocksAcrossTheWindowEdge) {
    struct Case {
        std::size_t prefix;     // bytes before the stream: 1 puts every unit at an odd offset
        std::size_t fillUnits;  // text units before the block's digits
        std::size_t count;
    };
    const Case cases[] = {
        {0, (kWindow - 30 - 22) / 2, 100},  // the block's bytes straddle the edge
        {1, (kWindow - 30 - 22) / 2, 100},
        {0, (kWindow - 10) / 2, 100},       // the digits straddle the edge
        {1, (kWindow - 10) / 2, 100},
        {0, 500, 150000},                   // larger than the window
        {1, 500, 150000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "prefix " << c.prefix << " fill " << c.fillUnits << " count " << c.count);
        const Bytes data = Pattern(c.count + 7);
        const Bytes block(data.begin() + 7, data.end());
        const Bytes file = Cat({Bytes(c.prefix, 0xEE), U(std::u16string(c.fillUnits, u'x')), U(Ascii16(TenDigits(c.count))),
                                U(u" "), block, U(u"\r\nE")});
        Stream s(file);
        if (c.prefix == 1) {
            s.reader.StepBack();
            s.reader.SkipRaw(1);
            s.reader.NextChar();
        }
        s.reader.SkipBytes(static_cast<long long>(2 * c.fillUnits));
        ASSERT_EQ(s.reader.CurrentChar(), u'0');
        EXPECT_TRUE(s.reader.ReadSizedBlock() == block);
        EXPECT_EQ(s.reader.CurrentChar(), u'\n');
        s.reader.NextChar();
        EXPECT_EQ(s.reader.CurrentChar(), u'E');
    }
}

TEST(GraphReaderBuffer, ReadsFromAFileOnDisk) {
    const Bytes bytes = Pattern(2 * kWindow + 333);
    const std::string path = WriteTempFile("reader-window.bin", bytes);
    FileSource source(ReadOnlyFile::OpenExclusive(path));
    GraphReader r(source);
    r.NextChar();
    EXPECT_EQ(r.Size(), bytes.size());
    r.SkipBytes(static_cast<long long>(kWindow - 1));
    EXPECT_EQ(r.NextChar(), UnitAt(bytes, kWindow - 1));
    r.StepBack();
    std::vector<std::uint8_t> raw(kWindow + 100);
    r.ReadRaw(raw.data(), raw.size());
    EXPECT_TRUE(raw == Bytes(bytes.begin() + kWindow + 1, bytes.begin() + 2 * kWindow + 101));
}

}  // namespace
}  // namespace quorvel::testing
