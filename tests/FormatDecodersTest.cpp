#include "mediatypes/FormatDecoders.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {
namespace {

constexpr std::string_view kIndent = "\r\n          ";

// A record under construction: little-endian values put at byte offsets.
class Record {
public:
    explicit Record(std::size_t size, std::uint8_t fill = 0) : bytes_(size, fill) {}
    explicit Record(FormatDecoder decoder) : Record(FormatRecordSize(decoder)) {}

    Record& Put(std::size_t offset, std::uint64_t value, std::size_t width) {
        for (std::size_t i = 0; i < width; ++i)
            bytes_.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
        return *this;
    }
    Record& U16(std::size_t offset, std::uint16_t v) { return Put(offset, v, 2); }
    Record& U32(std::size_t offset, std::uint32_t v) { return Put(offset, v, 4); }
    Record& I32(std::size_t offset, std::int32_t v) {
        return Put(offset, static_cast<std::uint32_t>(v), 4);
    }
    Record& I64(std::size_t offset, std::int64_t v) {
        return Put(offset, static_cast<std::uint64_t>(v), 8);
    }
    Record& Rect(std::size_t offset, std::int32_t l, std::int32_t t, std::int32_t r,
                 std::int32_t b) {
        return I32(offset, l).I32(offset + 4, t).I32(offset + 8, r).I32(offset + 12, b);
    }
    Record& Fourcc(std::size_t offset, std::string_view four) {
        for (std::size_t i = 0; i < 4; ++i) bytes_.at(offset + i) = static_cast<std::uint8_t>(four.at(i));
        return *this;
    }

    ByteSpan data() const { return bytes_; }
    std::size_t size() const { return bytes_.size(); }

private:
    std::vector<std::uint8_t> bytes_;
};

// The decoder text for these field lines: each after CR LF and ten spaces,
// then the closing CR LF and ten spaces.
std::string Lines(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (std::string_view line : lines) {
        text += kIndent;
        text += line;
    }
    text += kIndent;
    return text;
}

// The whole line (label and value) that starts with label, or "<no line>".
std::string FieldLine(const std::string& text, std::string_view label) {
    const std::string start = std::string(kIndent) + std::string(label);
    const std::size_t at = text.find(start);
    if (at == std::string::npos) return "<no line>";
    const std::size_t begin = at + kIndent.size();
    return text.substr(begin, text.find("\r\n", begin) - begin);
}

std::size_t CountLineBreaks(const std::string& text) {
    std::size_t n = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++n;
    return n;
}

std::string Decode(FormatDecoder decoder, const Record& record) {
    return DecodeFormatRecord(decoder, record.data());
}

// Byte offsets of the bitmap header inside each video record.
constexpr std::size_t kBitmapInVih = 48;
constexpr std::size_t kBitmapInVih2 = 72;

// ---------------------------------------------------------------------------
// One realistic record per decoder, whole text.  Every field holds a value
// different from its neighbours so that a misplaced offset shows.

TEST(FormatDecoders, VideoInfoHeaderYuy2Sd) {
    Record r(FormatDecoder::VideoInfo);
    r.Rect(0, 0, 0, 720, 480).Rect(16, 8, 4, 712, 476);
    r.U32(32, 165722277).U32(36, 12).I64(40, 333667);
    const std::size_t b = kBitmapInVih;
    r.U32(b + 0, 40).I32(b + 4, 720).I32(b + 8, 480).U16(b + 12, 1).U16(b + 14, 16);
    r.Fourcc(b + 16, "YUY2").U32(b + 20, 691200).I32(b + 24, 2835).I32(b + 28, 2834);
    r.U32(b + 32, 7).U32(b + 36, 5);

    EXPECT_EQ(Decode(FormatDecoder::VideoInfo, r),
              Lines({"rcSource = 0,0,720,480", "rcTarget = 8,4,712,476", "bitRate = 165722277",
                     "ErrorBitRate = 12", "AvgTimePerFrame = 333667", "biSize = 40",
                     "biWidth = 720", "biHeight = 480", "biPlanes = 1", "biBitCount = 16",
                     "biCompression = YUY2", "biSizeImage = 691200", "biXPelsPerMeter = 2835",
                     "biYPelsPerMeter = 2834", "biClrUsed = 7", "biClrImportant = 5"}));
}

TEST(FormatDecoders, VideoInfoHeader2InterlacedHd) {
    Record r(FormatDecoder::VideoInfo2);
    r.Rect(0, 0, 0, 1920, 1080).Rect(16, 16, 8, 1904, 1072);
    r.U32(32, 24000000).U32(36, 3).I64(40, 400000);
    r.U32(48, 0xA5).U32(52, 1).U32(56, 16).U32(60, 9).U32(64, 0x3).U32(68, 11);
    const std::size_t b = kBitmapInVih2;
    r.U32(b + 0, 40).I32(b + 4, 1920).I32(b + 8, 1080).U16(b + 12, 1).U16(b + 14, 12);
    r.Fourcc(b + 16, "NV12").U32(b + 20, 3110400).I32(b + 24, 100).I32(b + 28, 200);
    r.U32(b + 32, 2).U32(b + 36, 1);

    EXPECT_EQ(Decode(FormatDecoder::VideoInfo2, r),
              Lines({"rcSource = 0,0,1920,1080", "rcTarget = 16,8,1904,1072",
                     "bitRate = 24000000", "ErrorBitRate = 3", "AvgTimePerFrame = 400000",
                     "InterlaceFlags = isInterlaced Field1First FieldPatBothRegular "
                     "DisplayModeBobOrWeave",
                     "CopyProtectFlags =  RestrictDuplication", "PictAspectRatioX = 16",
                     "PictAspectratioY = 9", "ControlFlags =  Used PAD to 4x3", "Reserved2 = 11",
                     "biSize = 40", "biWidth = 1920", "biHeight = 1080", "biPlanes = 1",
                     "biBitCount = 12", "biCompression = NV12", "biSizeImage = 3110400",
                     "biXPelsPerMeter = 100", "biYPelsPerMeter = 200", "biClrUsed = 2",
                     "biClrImportant = 1"}));
}

TEST(FormatDecoders, Mpeg1VideoInfoSif) {
    Record r(FormatDecoder::Mpeg1Video);
    r.Rect(0, 0, 0, 352, 240).Rect(16, 0, 0, 704, 480);
    r.U32(32, 1150000).U32(36, 0).I64(40, 333667);
    const std::size_t b = kBitmapInVih;
    r.U32(b + 0, 40).I32(b + 4, 352).I32(b + 8, 240).U16(b + 12, 1).U16(b + 14, 24);
    r.U32(b + 16, 0).U32(b + 20, 126720).I32(b + 24, 0).I32(b + 28, 0);
    r.U32(b + 32, 0).U32(b + 36, 0);
    r.U32(88, 0x00012345).U32(92, 12);
    r.U32(96, 0xB3010000).U32(100, 0xF0001016);  // start of the sequence header

    EXPECT_EQ(Decode(FormatDecoder::Mpeg1Video, r),
              Lines({"rcSource = 0,0,352,240", "rcTarget = 0,0,704,480", "bitRate = 1150000",
                     "ErrorBitRate = 0", "AvgTimePerFrame = 333667", "biSize = 40",
                     "biWidth = 352", "biHeight = 240", "biPlanes = 1", "biBitCount = 24",
                     "biCompression = ", "biSizeImage = 126720", "biXPelsPerMeter = 0",
                     "biYPelsPerMeter = 0", "biClrUsed = 0", "biClrImportant = 0",
                     "StartTimeCode = 74565", "cbSequenceHeader = 12"}));
}

TEST(FormatDecoders, Mpeg2VideoInfoDvdMainAtMain) {
    Record r(FormatDecoder::Mpeg2Video);
    r.Rect(0, 0, 0, 720, 480).Rect(16, 0, 0, 720, 480);
    r.U32(32, 9800000).U32(36, 1).I64(40, 333667);
    // VIDEOINFOHEADER2 extension: present in the record, not shown.
    r.U32(48, 0x25).U32(52, 1).U32(56, 4).U32(60, 3).U32(64, 1).U32(68, 6);
    const std::size_t b = kBitmapInVih2;
    r.U32(b + 0, 40).I32(b + 4, 720).I32(b + 8, 480).U16(b + 12, 1).U16(b + 14, 24);
    r.U32(b + 16, 0).U32(b + 20, 0).I32(b + 24, 0).I32(b + 28, 0);
    r.U32(b + 32, 0).U32(b + 36, 0);
    r.U32(112, 0).U32(116, 140).U32(120, 2).U32(124, 2).U32(128, 0x0A);
    r.U32(132, 0xB3010000);

    EXPECT_EQ(Decode(FormatDecoder::Mpeg2Video, r),
              Lines({"rcSource = 0,0,720,480", "rcTarget = 0,0,720,480", "bitRate = 9800000",
                     "ErrorBitRate = 1", "AvgTimePerFrame = 333667", "biSize = 40",
                     "biWidth = 720", "biHeight = 480", "biPlanes = 1", "biBitCount = 24",
                     "biCompression = ", "biSizeImage = 0", "biXPelsPerMeter = 0",
                     "biYPelsPerMeter = 0", "biClrUsed = 0", "biClrImportant = 0",
                     "StartTimeCode = 0", "cbSequenceHeader = 140", "MPEG2 Profile = Main",
                     "MPEG2 Level = Main", "Flags = DVDLine21Field1 SourceIsLetterboxed"}));
}

TEST(FormatDecoders, WaveFormatExPcmStereo) {
    Record r(FormatDecoder::WaveFormatEx);
    r.U16(0, 1).U16(2, 2).U32(4, 44100).U32(8, 176400).U16(12, 4).U16(14, 16).U16(16, 0);

    EXPECT_EQ(Decode(FormatDecoder::WaveFormatEx, r),
              Lines({"FormatTag = 1", "Channels = 2", "Samples Per Sec = 44100",
                     "Avg Bytes Per Sec = 176400", "Block Align = 4", "Bits Per Sample = 16",
                     "cbSize = 0"}));
}

TEST(FormatDecoders, WaveFormatExtensibleShowsTagNumber) {
    Record r(FormatDecoder::WaveFormatEx);
    r.U16(0, 65534).U16(2, 6).U32(4, 48000).U32(8, 576000).U16(12, 12).U16(14, 16).U16(16, 22);

    EXPECT_EQ(Decode(FormatDecoder::WaveFormatEx, r),
              Lines({"FormatTag = 65534", "Channels = 6", "Samples Per Sec = 48000",
                     "Avg Bytes Per Sec = 576000", "Block Align = 12", "Bits Per Sample = 16",
                     "cbSize = 22"}));
}

TEST(FormatDecoders, DvInfoNtscPacks) {
    Record r(FormatDecoder::DvInfo);
    r.U32(0, 0xD1C030C0).U32(4, 0xFFFFFF00).U32(8, 0xD1E030D0).U32(12, 0xFFFFFF0F);
    r.U32(16, 0xFF00F8C0).U32(20, 0xFFFFF800).U32(24, 0).U32(28, 26);

    EXPECT_EQ(Decode(FormatDecoder::DvInfo, r),
              Lines({"DVAAuxSrc = D1C030C0", "DVAAuxCtl = FFFFFF00", "DVAAuxSrc1 = D1E030D0",
                     "DVAAuxCtl1 = FFFFFF0F", "DVVAuxSrc = FF00F8C0", "DVVAuxCtl = FFFFF800",
                     "DVReserved0 = 00000000", "DVReserved1 = 0000001A"}));
}

TEST(FormatDecoders, AnalogVideoInfoNtsc) {
    Record r(FormatDecoder::AnalogVideo);
    r.Rect(0, 0, 0, 720, 480).Rect(16, 0, 0, 640, 480).U32(32, 720).U32(36, 486).I64(40, 333667);

    EXPECT_EQ(Decode(FormatDecoder::AnalogVideo, r),
              Lines({"rcSource = 0,0,720,480", "rcTarget = 0,0,640,480", "activeWidth = 720",
                     "activeHeight = 486", "AvgTimePerFrame = 333667"}));
}

TEST(FormatDecoders, AnalogVideoInfoEmptyRectangles) {
    Record r(FormatDecoder::AnalogVideo);
    const std::string text = Decode(FormatDecoder::AnalogVideo, r);
    EXPECT_EQ(FieldLine(text, "rcSource = "), "rcSource = 0,0,0,0");
    EXPECT_EQ(FieldLine(text, "rcTarget = "), "rcTarget = 0,0,0,0");
}

// ---------------------------------------------------------------------------
// Record sizes and bounds.

TEST(FormatDecoders, RecordSizesAndLineCounts) {
    struct Case {
        FormatDecoder decoder;
        std::size_t size;
        std::size_t lines;
    };
    const Case cases[] = {
        {FormatDecoder::VideoInfo, 88, 16},  {FormatDecoder::VideoInfo2, 112, 22},
        {FormatDecoder::WaveFormatEx, 18, 7}, {FormatDecoder::Mpeg1Video, 104, 18},
        {FormatDecoder::Mpeg2Video, 136, 21}, {FormatDecoder::AnalogVideo, 48, 5},
        {FormatDecoder::DvInfo, 32, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.decoder));
        ASSERT_EQ(FormatRecordSize(c.decoder), c.size);
        // A heap buffer of exactly S bytes, so that a read past the record is
        // caught by the address sanitizer.
        const Record r(c.size, 0xFF);
        const std::string text = Decode(c.decoder, r);
        EXPECT_EQ(CountLineBreaks(text), c.lines + 1);
        EXPECT_TRUE(text.starts_with(kIndent));
        EXPECT_TRUE(text.ends_with(kIndent));
        // One byte short: refused, never read past.
        EXPECT_THROW(DecodeFormatRecord(c.decoder, r.data().first(c.size - 1)), ByteRangeError);
    }
    EXPECT_EQ(FormatRecordSize(FormatDecoder::None), 0u);
}

// All bytes 0xFF: 16-bit fields must not take in their neighbours' bytes, and
// unsigned fields show their maximum.
TEST(FormatDecoders, AllOnesRecordsShowFieldWidths) {
    EXPECT_EQ(Decode(FormatDecoder::WaveFormatEx, Record(18, 0xFF)),
              Lines({"FormatTag = 65535", "Channels = 65535", "Samples Per Sec = 4294967295",
                     "Avg Bytes Per Sec = 4294967295", "Block Align = 65535",
                     "Bits Per Sample = 65535", "cbSize = 65535"}));

    const std::string vih = Decode(FormatDecoder::VideoInfo, Record(88, 0xFF));
    EXPECT_EQ(FieldLine(vih, "rcSource = "), "rcSource = -1,-1,-1,-1");
    EXPECT_EQ(FieldLine(vih, "bitRate = "), "bitRate = 4294967295");
    EXPECT_EQ(FieldLine(vih, "AvgTimePerFrame = "), "AvgTimePerFrame = -1");
    EXPECT_EQ(FieldLine(vih, "biWidth = "), "biWidth = -1");
    EXPECT_EQ(FieldLine(vih, "biPlanes = "), "biPlanes = 65535");
    EXPECT_EQ(FieldLine(vih, "biBitCount = "), "biBitCount = 65535");
    EXPECT_EQ(FieldLine(vih, "biCompression = "), "biCompression = \u00FF\u00FF\u00FF\u00FF");
    EXPECT_EQ(FieldLine(vih, "biClrImportant = "), "biClrImportant = 4294967295");

    EXPECT_EQ(FieldLine(Decode(FormatDecoder::DvInfo, Record(32, 0xFF)), "DVReserved1 = "),
              "DVReserved1 = FFFFFFFF");
}

// Bytes that belong to the record but are not shown: the start of the MPEG
// sequence header, and the VIDEOINFOHEADER2 extension inside MPEG2VIDEOINFO.
TEST(FormatDecoders, UnshownRecordBytesDoNotChangeTheText) {
    struct Case {
        FormatDecoder decoder;
        std::size_t first;
        std::size_t last;
    };
    const Case cases[] = {
        {FormatDecoder::Mpeg1Video, 96, 103},
        {FormatDecoder::Mpeg2Video, 132, 135},
        {FormatDecoder::Mpeg2Video, 48, 71},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        const Record zero(c.decoder);
        Record marked(c.decoder);
        for (std::size_t i = c.first; i <= c.last; ++i) marked.Put(i, 0x41 + (i % 7), 1);
        EXPECT_EQ(Decode(c.decoder, marked), Decode(c.decoder, zero));
    }
}

TEST(FormatDecoders, Mpeg2ShowsNoInterlaceOrAspectFields) {
    Record r(FormatDecoder::Mpeg2Video);
    r.U32(48, 0x01).U32(52, 1).U32(56, 16).U32(60, 9).U32(64, 7).U32(68, 5);
    const std::string text = Decode(FormatDecoder::Mpeg2Video, r);
    for (std::string_view label : {"InterlaceFlags", "CopyProtectFlags", "PictAspectRatioX",
                                   "PictAspectratioY", "ControlFlags", "Reserved2"})
        EXPECT_EQ(text.find(label), std::string::npos) << label;
    // The bitmap header is read at 72, not at 48 as in VIDEOINFOHEADER.
    r.I32(kBitmapInVih2 + 4, 720);
    EXPECT_EQ(FieldLine(Decode(FormatDecoder::Mpeg2Video, r), "biWidth = "), "biWidth = 720");
}

// ---------------------------------------------------------------------------
// Numbers.

TEST(FormatDecoders, SignedAndUnsignedExtremes) {
    Record r(FormatDecoder::VideoInfo);
    r.Rect(0, -1, -2, std::numeric_limits<std::int32_t>::max(),
           std::numeric_limits<std::int32_t>::min());
    r.U32(32, 0xFFFFFFFF).U32(36, 0x80000000);
    r.I32(kBitmapInVih + 4, std::numeric_limits<std::int32_t>::min());
    r.I32(kBitmapInVih + 8, -480).U16(kBitmapInVih + 12, 0x8000);
    r.I32(kBitmapInVih + 24, -1).U32(kBitmapInVih + 32, 0x80000000);
    const std::string text = Decode(FormatDecoder::VideoInfo, r);

    EXPECT_EQ(FieldLine(text, "rcSource = "), "rcSource = -1,-2,2147483647,-2147483648");
    EXPECT_EQ(FieldLine(text, "bitRate = "), "bitRate = 4294967295");
    EXPECT_EQ(FieldLine(text, "ErrorBitRate = "), "ErrorBitRate = 2147483648");
    EXPECT_EQ(FieldLine(text, "biWidth = "), "biWidth = -2147483648");
    EXPECT_EQ(FieldLine(text, "biHeight = "), "biHeight = -480");
    EXPECT_EQ(FieldLine(text, "biPlanes = "), "biPlanes = 32768");
    EXPECT_EQ(FieldLine(text, "biXPelsPerMeter = "), "biXPelsPerMeter = -1");
    EXPECT_EQ(FieldLine(text, "biClrUsed = "), "biClrUsed = 2147483648");
}

TEST(FormatDecoders, MultiByteFieldsAreLittleEndian) {
    Record r(FormatDecoder::AnalogVideo);
    for (std::size_t i = 0; i < 4; ++i) r.Put(32 + i, 0x01 + i, 1);  // 01 02 03 04
    for (std::size_t i = 0; i < 8; ++i) r.Put(40 + i, 0x08 - i, 1);  // 08 07 .. 01
    const std::string text = Decode(FormatDecoder::AnalogVideo, r);
    EXPECT_EQ(FieldLine(text, "activeWidth = "), "activeWidth = 67305985");  // 0x04030201
    EXPECT_EQ(FieldLine(text, "AvgTimePerFrame = "),
              "AvgTimePerFrame = 72623859790382856");  // 0x0102030405060708
}

TEST(FormatDecoders, AvgTimePerFrameIsTheWholeSignedCount) {
    const struct {
        std::int64_t value;
        std::string_view shown;
    } cases[] = {
        {400000, "400000"},
        {std::int64_t{1} << 32, "4294967296"},
        {std::numeric_limits<std::int64_t>::max(), "9223372036854775807"},
        {-333667, "-333667"},
        {std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        const std::string expected = "AvgTimePerFrame = " + std::string(c.shown);
        EXPECT_EQ(FieldLine(Decode(FormatDecoder::VideoInfo, Record(FormatDecoder::VideoInfo).I64(40, c.value)),
                            "AvgTimePerFrame = "),
                  expected);
        EXPECT_EQ(FieldLine(Decode(FormatDecoder::AnalogVideo,
                                   Record(FormatDecoder::AnalogVideo).I64(40, c.value)),
                            "AvgTimePerFrame = "),
                  expected);
    }
}

TEST(FormatDecoders, DvInfoWordsAreEightUpperCaseDigits) {
    const struct {
        std::uint32_t value;
        std::string_view shown;
    } cases[] = {
        {26, "0000001A"},
        {0xFFFFFFFF, "FFFFFFFF"},
        {0, "00000000"},
        {0xABCDEF01, "ABCDEF01"},
        {0x10000000, "10000000"},
    };
    for (const auto& c : cases) {
        const std::string text =
            Decode(FormatDecoder::DvInfo, Record(FormatDecoder::DvInfo).U32(0, c.value));
        EXPECT_EQ(FieldLine(text, "DVAAuxSrc = "), "DVAAuxSrc = " + std::string(c.shown));
    }
}

// ---------------------------------------------------------------------------
// Flag lists and enumerations.

struct FlagCase {
    std::uint32_t value;
    std::string_view line;
};

void ExpectFieldLines(FormatDecoder decoder, std::size_t offset, std::string_view label,
                      std::initializer_list<FlagCase> cases) {
    for (const FlagCase& c : cases) {
        SCOPED_TRACE(c.value);
        const std::string text = Decode(decoder, Record(decoder).U32(offset, c.value));
        EXPECT_EQ(FieldLine(text, label), c.line);
    }
}

TEST(FormatDecoders, InterlaceFlags) {
    ExpectFieldLines(
        FormatDecoder::VideoInfo2, 48, "InterlaceFlags =",
        {
            {0x00, "InterlaceFlags = FieldPatField1Only DisplayModeBobOnly"},
            {0xC5, "InterlaceFlags = isInterlaced Field1First FieldPatField1Only"},
            {0x02, "InterlaceFlags = 1FieldPerSample FieldPatField1Only DisplayModeBobOnly"},
            {0x10, "InterlaceFlags = FieldPatField2Only DisplayModeBobOnly"},
            {0x70, "InterlaceFlags = FieldPatBothIrregular DisplayModeWeaveOnly"},
            {0x80, "InterlaceFlags = FieldPatField1Only DisplayModeBobOrWeave"},
            // Bit 0x8 and the bits above 0xFF are not looked at.
            {0xFFFFFF08, "InterlaceFlags = FieldPatField1Only DisplayModeBobOnly"},
            {0x000000FF,
             "InterlaceFlags = isInterlaced 1FieldPerSample Field1First FieldPatBothIrregular"},
        });
}

TEST(FormatDecoders, CopyProtectFlagsNamesOnlyTheExactValueOne) {
    ExpectFieldLines(FormatDecoder::VideoInfo2, 52, "CopyProtectFlags = ",
                     {
                         {1, "CopyProtectFlags =  RestrictDuplication"},
                         {3, "CopyProtectFlags = "},
                         {0, "CopyProtectFlags = "},
                         {0x80000001, "CopyProtectFlags = "},
                     });
}

TEST(FormatDecoders, ControlFlags) {
    ExpectFieldLines(FormatDecoder::VideoInfo2, 64, "ControlFlags = ",
                     {
                         {0, "ControlFlags = "},
                         {0x7, "ControlFlags =  Used PAD to 4x3 PAD to 16x9"},
                         {0x5, "ControlFlags =  Used PAD to 16x9"},
                         {0xFFFFFFF8, "ControlFlags = "},
                     });
}

TEST(FormatDecoders, Mpeg2Profile) {
    ExpectFieldLines(FormatDecoder::Mpeg2Video, 120, "MPEG2 Profile = ",
                     {
                         {0, "MPEG2 Profile = "},
                         {1, "MPEG2 Profile = Simple"},
                         {2, "MPEG2 Profile = Main"},
                         {3, "MPEG2 Profile = SNR Scalable"},
                         {4, "MPEG2 Profile = Spatially Scalable"},
                         {5, "MPEG2 Profile = High"},
                         {6, "MPEG2 Profile = "},
                         {0x101, "MPEG2 Profile = "},
                     });
}

TEST(FormatDecoders, Mpeg2Level) {
    ExpectFieldLines(FormatDecoder::Mpeg2Video, 124, "MPEG2 Level = ",
                     {
                         {0, "MPEG2 Level = "},
                         {1, "MPEG2 Level = Low"},
                         {2, "MPEG2 Level = Main"},
                         {3, "MPEG2 Level = High 1440"},
                         {4, "MPEG2 Level = High"},
                         {5, "MPEG2 Level = "},
                         {0x10004, "MPEG2 Level = "},
                     });
}

TEST(FormatDecoders, Mpeg2Flags) {
    ExpectFieldLines(
        FormatDecoder::Mpeg2Video, 128, "Flags =",
        {
            {0, "Flags ="},
            {0x201, "Flags = DoPanScan WidescreenAnalogOut "},
            {0x3FF,
             "Flags = DoPanScan DVDLine21Field1 DVDLine21Field2 SourceIsLetterboxed "
             "FilmCameraMode LetterboxAnalogOut DSS_UserData DVB_UserData 27MhzTimebase "
             "WidescreenAnalogOut "},
            {0xFFFFFC00, "Flags ="},
            {0x140, "Flags = DSS_UserData 27MhzTimebase"},
        });
}

// ---------------------------------------------------------------------------
// Four-character codes.

TEST(FourccText, RendersFourPrintableBytesLeastSignificantFirst) {
    const struct {
        std::uint32_t code;
        std::string_view text;
    } cases[] = {
        {0x32595559, "YUY2"},
        {0x20202020, "    "},            // 0x20 is the lowest byte shown
        {0x3247504D, "MPG2"},
        {0x44434241, "ABCD"},            // order of the bytes
        {0x41414180, "\u20AC" "AAA"},    // 0x80: euro sign in Windows-1252
        {0x414141E9, "\u00E9" "AAA"},    // 0xE9: e acute
        {0xFFFFFFFF, "\u00FF\u00FF\u00FF\u00FF"},
        {0x41414181, "?AAA"},            // 0x81 is unassigned in Windows-1252
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(FourccText(c.code), c.text);
    }
}

TEST(FourccText, AnyByteBelowSpaceGivesNoText) {
    for (std::uint32_t code : {0x00000000u, 0x00000003u, 0x1F595559u, 0x3259551Fu, 0x32005559u,
                               0x32591955u, 0x00000020u}) {
        SCOPED_TRACE(code);
        EXPECT_EQ(FourccText(code), "");
    }
}

TEST(FormatDecoders, BiCompressionLine) {
    const struct {
        std::uint32_t code;
        std::string_view line;
    } cases[] = {
        {0, "biCompression = "},
        {3, "biCompression = "},
        {0x32595559, "biCompression = YUY2"},
        {0x3136564E, "biCompression = NV61"},
        {0x30385641 | 0x80000000u, "biCompression = AV8\u00B0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        for (FormatDecoder decoder : {FormatDecoder::VideoInfo, FormatDecoder::Mpeg2Video}) {
            const std::size_t at =
                (decoder == FormatDecoder::VideoInfo ? kBitmapInVih : kBitmapInVih2) + 16;
            EXPECT_EQ(FieldLine(Decode(decoder, Record(decoder).U32(at, c.code)),
                                "biCompression = "),
                      c.line);
        }
    }
}

}  // namespace
}  // namespace quorvel
