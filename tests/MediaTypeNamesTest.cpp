// Names of major types, subtypes, wave format tags and format types.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>

#include "mediatypes/MediaTypeNames.hpp"
#include "resources/Strings.hpp"
#include "platform/Guid.hpp"

namespace quorvel {
namespace {

struct TextCase {
    std::string_view text;
    std::string_view expected;
};

// A subtype text on the base media subtype GUID, tail written as the graph
// editor writes it.
std::string OnBase(std::string_view firstGroup) {
    return "{" + std::string(firstGroup) + "-0000-0010-8000-00AA00389B71}";
}
// The same GUID value with its tail letters in lower case.
std::string OnBaseLower(std::string_view firstGroup) {
    return "{" + std::string(firstGroup) + "-0000-0010-8000-00aa00389b71}";
}

// ---------------------------------------------------------------- major types

TEST(MajorTypeLabel, NamesKnownTypesIncludingNearlyEqualGuids) {
    // Analog audio/video and timecode differ by one digit; stream and none too.
    const TextCase cases[] = {
        {"{0482DEE1-7817-11CF-8A03-00AA006ECB65}", "Mediatype Analog Audio"},
        {"{0482DDE1-7817-11CF-8A03-00AA006ECB65}", "Mediatype Analog Video"},
        {"{0482DEE3-7817-11CF-8A03-00AA006ECB65}", "Mediatype Timecode"},
        {"{73647561-0000-0010-8000-00AA00389B71}", "Mediatype Audio"},
        {"{73646976-0000-0010-8000-00AA00389B71}", "Mediatype Video"},
        {"{670AEA80-3A82-11D0-B79B-00AA003767A7}", "Mediatype Line 21 data"},
        {"{E06D8020-DB46-11CF-B4D1-00805F6CBBEA}", "Mediatype MPEG-2 PES packets"},
        {"{455F176C-4B06-47CE-9AEF-8CAEF73DF7B5}", "Mediatype MPEG-2 section data"},
        {"{E436EB83-524F-11CE-9F53-0020AF0BA770}", "Mediatype Stream"},
        {"{E436EB8E-524F-11CE-9F53-0020AF0BA770}", "Mediatype None"},
        {"{736C7275-0000-0010-8000-00AA00389B71}", "Mediatype Url Stream"},
        {"{ED0B916A-044D-11D1-AA78-00C04FC31D60}", "Mediatype DVD Encrypted"},
    };
    for (const auto& c : cases) {
        const auto label = MajorTypeLabel(ParseGuid(c.text));
        ASSERT_TRUE(label.has_value()) << c.text;
        EXPECT_EQ(*label, c.expected) << c.text;
    }
}

TEST(MajorTypeLabel, ComparesByValueSoLowerCaseTextIsNamed) {
    const auto label = MajorTypeLabel(ParseGuid("{ed0b916a-044d-11d1-aa78-00c04fc31d60}"));
    ASSERT_TRUE(label.has_value());
    EXPECT_EQ(*label, "Mediatype DVD Encrypted");
}

TEST(MajorTypeLabel, UnknownTypesHaveNoLabel) {
    const std::string_view unknown[] = {
        "{00000000-0000-0000-0000-000000000000}",
        "{00000001-0000-0010-8000-00AA00389B71}",  // a subtype (PCM), not a major type
        "{73647561-0000-0010-8000-00AA00389B72}",  // audio but for the last byte
        "{05589F80-C356-11CE-BF01-00AA0055595A}",  // a format type
    };
    for (const auto text : unknown) EXPECT_FALSE(MajorTypeLabel(ParseGuid(text)).has_value()) << text;
}

// ----------------------------------------------------------- wave format tags

TEST(WaveFormatTagName, NamesKnownTags) {
    struct Case {
        std::uint16_t tag;
        std::string_view name;
    };
    // Both ends of the table, every fixed text, both VOXWARE tags and the
    // entries next to them (a shifted string table would show there).
    const Case cases[] = {
        {0x0001, "PCM"},
        {0x0002, "ADPCM"},
        {0x0017, "DIALOGIC_OKI_ADPCM"},
        {0x003D, "XEBEC"},
        {0x0041, "G728_CELP"},
        {0x0042, "Microsoft G723.1"},
        {0x0050, "MPEG"},
        {0x0055, "MP3"},
        {0x0061, "ESPCM"},
        {0x0062, "VOXWARE"},
        {0x0063, "CANOPUS_ATRAC"},
        {0x0067, "DSAT_DISPLAY"},
        {0x0075, "VOXWARE"},
        {0x0080, "SOFTSOUND"},
        {0x0100, "RHETOREX_ADPCM"},
        {0x0130, "ACELP.net"},
        {0x0160, "Windows Media Audio V1"},
        {0x0161, "Windows Media Audio V2"},
        {0x0200, "CREATIVE_ADPCM"},
        {0x0203, "CREATIVE_FASTSPEECH10"},
        {0x0400, "BTV_DIGITAL"},
        {0x0402, "IAC2"},
        {0x1000, "OLIGSM"},
        {0x1004, "OLIOPR"},
        {0x1100, "LH_CODEC"},
        {0x1400, "NORRIS"},
    };
    for (const auto& c : cases) EXPECT_EQ(WaveFormatTagName(c.tag), c.name) << std::hex << c.tag;
}

TEST(WaveFormatTagName, UnlistedTagsAreInconnu) {
    // No range rule: gaps, neighbours of listed tags, and tags whose low byte
    // matches a listed one are all unknown.
    const std::uint16_t unknown[] = {0x0000, 0x0004, 0x0008, 0x0043, 0x0162, 0x0201,
                                     0x0401, 0x0101, 0x8001, 0x1401, 0xFFFF};
    for (const auto tag : unknown) EXPECT_EQ(WaveFormatTagName(tag), "Inconnu") << std::hex << tag;
}

TEST(WaveFormatTagName, ExactlySixtyNineTagsAreNamed) {
    int named = 0;
    std::set<std::string_view> names;
    for (std::uint32_t tag = 0; tag <= 0xFFFF; ++tag) {
        const auto name = WaveFormatTagName(static_cast<std::uint16_t>(tag));
        ASSERT_FALSE(name.empty()) << std::hex << tag;
        if (name != "Inconnu") {
            ++named;
            names.insert(name);
        }
    }
    EXPECT_EQ(named, 69);
    EXPECT_EQ(names.size(), 68u);  // the two VOXWARE tags share their name
}

// The wave names of the string table are their tags' names: a text moved to
// another entry shows here, whichever two entries trade places.
TEST(WaveFormatTagName, StringTableWaveEntriesBearTheirKeysNames) {
    int checked = 0;
    for (int id = 0; id < static_cast<int>(Str::Count_); ++id) {
        const std::string_view key = ResKey(static_cast<Str>(id));
        if (!key.starts_with("Wave_")) continue;
        EXPECT_EQ(Res(static_cast<Str>(id)), key.substr(5)) << key;
        ++checked;
    }
    EXPECT_EQ(checked, 63);
}

// ------------------------------------------------------ subtypes: by the text

TEST(SubtypeLabel, WaveTagFamily) {
    const std::string pcm = OnBase("00000001");
    const std::string mp3 = OnBase("00000055");
    const std::string unnamed = OnBase("000000FF");
    const std::string zero = OnBase("00000000");
    const std::string wide = OnBase("00010001");  // not the number 1
    const std::string wider = OnBase("00FF0055");
    const std::string ieee = OnBase("00000003");  // also a table row
    const std::string wma = OnBase("00000161");
    const std::string vox1 = OnBase("00000062");
    const std::string vox2 = OnBase("00000075");
    const std::string lowerGroup = OnBase("0000003a");  // tail exact, digits lower case
    const TextCase cases[] = {
        {pcm, "MediaSubType PCM Audio"},
        {mp3, "MediasubType Audio - Compression MP3"},
        {unnamed, "MediasubType Audio - Compression Inconnu"},
        {zero, "MediasubType Audio - Compression Inconnu"},
        {wide, "MediasubType Audio - Compression PCM"},
        {wider, "MediasubType Audio - Compression MP3"},
        {ieee, "MediasubType Audio - Compression IEEE_FLOAT"},
        {wma, "MediasubType Audio - Compression Windows Media Audio V2"},
        {vox1, "MediasubType Audio - Compression VOXWARE"},
        {vox2, "MediasubType Audio - Compression VOXWARE"},
        {lowerGroup, "MediasubType Audio - Compression ECHOSC3"},
    };
    for (const auto& c : cases) EXPECT_EQ(SubtypeLabel(c.text), c.expected) << c.text;
}

TEST(SubtypeLabel, FourccFamily) {
    const std::string yuy2 = OnBase("32595559");
    const std::string mjpg = OnBase("47504A4D");
    const std::string mjpgLower = OnBase("47504a4d");
    const std::string rle = OnBase("20656C72");  // 0x20 is not below the limit
    const std::string del = OnBase("7F414243");
    const TextCase cases[] = {
        {yuy2, "MediaSubType Video Compression YUY2"},
        {mjpg, "MediaSubType Video Compression MJPG"},
        {mjpgLower, "MediaSubType Video Compression MJPG"},
        {rle, "MediaSubType Video Compression rle "},
        {del, "MediaSubType Video Compression CBA\x7F"},
    };
    for (const auto& c : cases) EXPECT_EQ(SubtypeLabel(c.text), c.expected) << c.text;
}

TEST(SubtypeLabel, FourccWithAByteBelowSpaceIsAnUnknownCodec) {
    // Whichever pair is short, the characters already gathered are dropped.
    const std::string_view groups[] = {"1F504A4D", "01000000", "4D4A5000", "47504A1F", "4750004D"};
    for (const auto group : groups)
        EXPECT_EQ(SubtypeLabel(OnBase(group)), "MediaSubType Video codec Inconnu") << group;
}

TEST(SubtypeLabel, FourccBytesAreWindows1252Characters) {
    EXPECT_EQ(SubtypeLabel(OnBase("E9414141")), "MediaSubType Video Compression AAA\xC3\xA9");      // é
    EXPECT_EQ(SubtypeLabel(OnBase("80414141")), "MediaSubType Video Compression AAA\xE2\x82\xAC");  // €
}

TEST(SubtypeLabel, NonHexDigitInFirstGroupCountsAsZero) {
    const std::string waveZ = OnBase("0000005Z");       // 0x50
    const std::string waveG = OnBase("000000G5");       // 0x05
    const std::string waveHigh = OnBase("00000\xE9" "55");  // 0x55
    const std::string fourccZ = OnBase("47504A4Z");     // last pair 0x40
    const std::string fourccBelow = OnBase("4750ZZ4D");  // third pair 0x00
    const TextCase cases[] = {
        {waveZ, "MediasubType Audio - Compression MPEG"},
        {waveG, "MediasubType Audio - Compression IBM_CVSD"},
        {waveHigh, "MediasubType Audio - Compression MP3"},
        {fourccZ, "MediaSubType Video Compression @JPG"},
        {fourccBelow, "MediaSubType Video codec Inconnu"},
    };
    for (const auto& c : cases) EXPECT_EQ(SubtypeLabel(c.text), c.expected) << c.text;
}

TEST(SubtypeLabel, TextEndingInTailIsNeverRejected) {
    // Too long, too short and foreign characters: none of it is a GUID, but
    // the families read the text without converting it.
    EXPECT_EQ(SubtypeLabel("{000000550-0000-0010-8000-00AA00389B71}"),
              "MediasubType Audio - Compression MP3");
    EXPECT_EQ(SubtypeLabel("{XY-0000-0010-8000-00AA00389B71}"), "MediaSubType Video codec Inconnu");
    // The tail alone: characters 2-3 are "00" and 4-9 read "00-001".
    EXPECT_EQ(SubtypeLabel("-0000-0010-8000-00AA00389B71}"), "MediaSubType PCM Audio");
}

// ----------------------------------------------------- subtypes: by the value

TEST(SubtypeLabel, BaseGuidRowsAreReachedWhenTheTailIsNotExact) {
    const std::string pcm = OnBaseLower("00000001");
    const std::string yuy2 = OnBaseLower("32595559");
    const std::string drm = OnBaseLower("00000009");
    const std::string spdif = OnBaseLower("00000092");
    const std::string dvsdLower = OnBaseLower("64737664");
    const std::string dvsdUpper = OnBaseLower("44535644");
    const std::string qtJpeg = OnBaseLower("6765706a");
    const std::string qtRle = OnBaseLower("20656c72");
    const std::string argbRt = OnBaseLower("35314139");
    const TextCase cases[] = {
        {pcm, "Mediasubtype PCM Audio"},
        {yuy2, "Mediasubtype YUY2"},
        {drm, "Mediasubtype DRM Audio"},
        {spdif, "Mediasubtype Dolby AC3 over SPDIF"},
        {dvsdLower, "Mediasubtype dvsd"},
        {dvsdUpper, "Mediasubtype DVSD"},
        {qtJpeg, "Mediasubtype QT Jpeg"},
        {qtRle, "Mediasubtype QT RLE"},
        {argbRt, "Mediasubtype ARGB1555 D3D DX9 RT"},
        // One lower-case letter at the very end is enough to miss the tail.
        {"{47504A4D-0000-0010-8000-00AA00389b71}", "Mediasubtype MJPG"},
    };
    for (const auto& c : cases) EXPECT_EQ(SubtypeLabel(c.text), c.expected) << c.text;
}

TEST(SubtypeLabel, OtherRowsByValueInEitherCase) {
    // First and last rows, rows whose GUIDs differ by one digit, and rows
    // whose label extends another's.
    const TextCase cases[] = {
        {"{E436EB80-524F-11CE-9F53-0020AF0BA770}", "Mediasubtype MPEG1 Audio Packet"},
        {"{E436EB8B-524F-11CE-9F53-0020AF0BA770}", "Mediasubtype WAVE"},
        {"{e436eb8b-524f-11ce-9f53-0020af0ba770}", "Mediasubtype WAVE"},
        {"{E436EB7C-524F-11CE-9F53-0020AF0BA770}", "Mediasubtype RGB555"},
        {"{E436EB7B-524F-11CE-9F53-0020AF0BA770}", "Mediasubtype RGB565"},
        {"{E436EB8E-524F-11CE-9F53-0020AF0BA770}", "Mediasubtype None"},
        {"{0482DDEB-7817-11CF-8A03-00AA006ECB65}", "Mediasubtype Analog Video Pal N"},
        {"{0482DDEC-7817-11CF-8A03-00AA006ECB65}", "Mediasubtype Analog Video Pal N Combo"},
        {"{0482DDF4-7817-11CF-8A03-00AA006ECB65}", "Mediasubtype Analog Video Secam K"},
        {"{0482ddf5-7817-11cf-8a03-00aa006ecb65}", "Mediasubtype Analog Video Secam K1"},
        {"{5A9B6A41-1A22-11D1-BAD9-00609744111A}", "Mediasubtype VP VBI"},
        {"{5A9B6A40-1A22-11D1-BAD9-00609744111A}", "Mediasubtype VP Video"},
        {"{A0AF4F82-E163-11D0-BAD9-00609744111A}", "Mediasubtype DSS Audio"},
        {"{A0AF4F81-E163-11D0-BAD9-00609744111A}", "Mediasubtype DSS Video"},
        {"{E06D8032-DB46-11CF-B4D1-00805F6CBBEA}", "Mediasubtype DVD LPCM Audio"},
        {"{E06D8026-DB46-11CF-B4D1-00805F6CBBEA}", "Mediasubtype MPEG2 Video"},
        {"{F4AEB342-0329-4FDD-A8FD-4AFF4926C978}", "Mediasubtype BDA MPEG2 Transport"},
        {"{C892E55B-252D-42B5-A316-D997E7A5D995}", "Mediasubtype MPEG2 DATA"},
        {"{6E8D4A24-310C-11D0-B79A-00AA003767A7}", "Mediasubtype Line21 VBI Raw Data"},
        {"{2F8BB76D-B644-4550-ACF3-D30CAA65D5C5}", "Mediasubtype A2R10G10B10"},
        {"{3DB80F90-9412-11D1-ADED-0000F8754B99}", "Mediasubtype Asf"},
    };
    for (const auto& c : cases) EXPECT_EQ(SubtypeLabel(c.text), c.expected) << c.text;
}

TEST(SubtypeLabel, UnknownGuidIsKeptAsStored) {
    const std::string_view texts[] = {
        "{00000000-0000-0000-0000-000000000000}",
        "{abcdef01-2345-6789-AbCd-ef0123456789}",
        "{00000001-0000-0010-8000-00AA00389B72}",  // base GUID but for the last digit
        "{73646976-0000-0010-8000-00aa00389b71}",  // the video major type
    };
    for (const auto text : texts) EXPECT_EQ(SubtypeLabel(text), text);
}

TEST(SubtypeLabel, NonGuidTextOffTheFamiliesThrows) {
    const std::string_view texts[] = {
        "",
        "{00000001}",
        "00000001-0000-0010-8000-00aa00389b71",
        "{0000000G-0000-0000-0000-000000000000}",
        "{0000005Z-0000-0010-8000-00aa00389b71}",  // counts as 0 only on the family path
        "{00000001-0000-0010-8000-00AA00389B71} ",
    };
    for (const auto text : texts) EXPECT_THROW(SubtypeLabel(text), GuidSyntaxError) << text;
}

// --------------------------------------------------------------- format types

TEST(LookupFormatType, DecodedTypesCarryTheirRecordSize) {
    struct Case {
        std::string_view guid;
        std::string_view name;
        FormatDecoder decoder;
        std::size_t size;
    };
    const Case cases[] = {
        {"{05589F80-C356-11CE-BF01-00AA0055595A}", "Format VideoInfoHeader", FormatDecoder::VideoInfo, 88},
        {"{F72A76A0-EB0A-11D0-ACE4-0000C0CC16BA}", "Format VideoInfoHeader2", FormatDecoder::VideoInfo2, 112},
        {"{05589F81-C356-11CE-BF01-00AA0055595A}", "Format WaveFormatEx", FormatDecoder::WaveFormatEx, 18},
        {"{05589F82-C356-11CE-BF01-00AA0055595A}", "Format Mpeg1VideoInfo", FormatDecoder::Mpeg1Video, 104},
        {"{e06d80e3-db46-11cf-b4d1-00805f6cbbea}", "Format Mpeg2VideoInfo", FormatDecoder::Mpeg2Video, 136},
        {"{0482DDE0-7817-11CF-8A03-00AA006ECB65}", "Format Analog Video", FormatDecoder::AnalogVideo, 48},
        {"{05589F84-C356-11CE-BF01-00AA0055595A}", "Format DVInfo", FormatDecoder::DvInfo, 32},
    };
    for (const auto& c : cases) {
        const FormatTypeInfo info = LookupFormatType(ParseGuid(c.guid));
        EXPECT_EQ(info.name, c.name) << c.guid;
        EXPECT_EQ(info.decoder, c.decoder) << c.guid;
        EXPECT_EQ(info.recordSize, c.size) << c.guid;
    }
}

TEST(LookupFormatType, NamedButUndecodedTypes) {
    const TextCase cases[] = {
        {"{05589F83-C356-11CE-BF01-00AA0055595A}", "Format AM_MpegSystemType"},
        {"{0F6417D6-C318-11D0-A43F-00A0C9223196}", "Format None"},
        {"{00000000-0000-0000-0000-000000000000}", "No Format"},
        {"{05589F85-C356-11CE-BF01-00AA0055595A}", "Unknown Format"},  // next to the DV row
        {"{05589F80-C356-11CE-BF01-00AA0055595B}", "Unknown Format"},  // video info but the last byte
        {"{73646976-0000-0010-8000-00AA00389B71}", "Unknown Format"},  // a major type
    };
    for (const auto& c : cases) {
        const FormatTypeInfo info = LookupFormatType(ParseGuid(c.text));
        EXPECT_EQ(info.name, c.expected) << c.text;
        EXPECT_EQ(info.decoder, FormatDecoder::None) << c.text;
        EXPECT_EQ(info.recordSize, 0u) << c.text;
    }
}

}  // namespace
}  // namespace quorvel
