#include "mediatypes/FormatDecoders.hpp"

#include <array>
#include <charconv>
#include <span>
#include <string_view>

#include "mediatypes/FieldRendering.hpp"
#include "platform/Hex.hpp"
#include "platform/TextConv.hpp"
#include "resources/Strings.hpp"

namespace quorvel {
namespace {

using fieldrendering::Bit;
using fieldrendering::Equals;
using fieldrendering::FieldGroup;
using fieldrendering::FieldRow;
using fieldrendering::Masked;
using fieldrendering::NameTest;
using fieldrendering::Rendering;

constexpr std::string_view kClosingIndent = "\r\n          ";

// ---------------------------------------------------------------------------
// Name tables of the flag and enumeration fields.

// VIDEOINFOHEADER2.dwInterlaceFlags (AMINTERLACE_*).  Bit 0x08 and the bits
// above 0xFF are not shown.  Both display mode bits set gives no mode name.
constexpr std::array kInterlaceNames = {
    Bit(0x01, " isInterlaced"),
    Bit(0x02, " 1FieldPerSample"),
    Bit(0x04, " Field1First"),
    Masked(0x30, 0x00, " FieldPatField1Only"),
    Masked(0x30, 0x10, " FieldPatField2Only"),
    Masked(0x30, 0x20, " FieldPatBothRegular"),
    Masked(0x30, 0x30, " FieldPatBothIrregular"),
    Masked(0xC0, 0x00, " DisplayModeBobOnly"),
    Masked(0xC0, 0x40, " DisplayModeWeaveOnly"),
    Masked(0xC0, 0x80, " DisplayModeBobOrWeave"),
};

// VIDEOINFOHEADER2.dwCopyProtectFlags: only the exact value
// AMCOPYPROTECT_RestrictDuplication is named, not the bit.
constexpr std::array kCopyProtectNames = {
    Equals(0x01, " RestrictDuplication"),
};

// VIDEOINFOHEADER2.dwControlFlags (AMCONTROL_*).
constexpr std::array kControlNames = {
    Bit(0x01, " Used"),
    Bit(0x02, " PAD to 4x3"),
    Bit(0x04, " PAD to 16x9"),
};

// MPEG2VIDEOINFO.dwProfile (AM_MPEG2Profile_*).
constexpr std::array kMpeg2ProfileNames = {
    Equals(1, "Simple"),
    Equals(2, "Main"),
    Equals(3, "SNR Scalable"),
    Equals(4, "Spatially Scalable"),
    Equals(5, "High"),
};

// MPEG2VIDEOINFO.dwLevel (AM_MPEG2Level_*).
constexpr std::array kMpeg2LevelNames = {
    Equals(1, "Low"),
    Equals(2, "Main"),
    Equals(3, "High 1440"),
    Equals(4, "High"),
};

// MPEG2VIDEOINFO.dwFlags (AMMPEG2_*).  Bits above 0x200 are not shown.
constexpr std::array kMpeg2FlagNames = {
    Bit(0x001, " DoPanScan"),
    Bit(0x002, " DVDLine21Field1"),
    Bit(0x004, " DVDLine21Field2"),
    Bit(0x008, " SourceIsLetterboxed"),
    Bit(0x010, " FilmCameraMode"),
    Bit(0x020, " LetterboxAnalogOut"),
    Bit(0x040, " DSS_UserData"),
    Bit(0x080, " DVB_UserData"),
    Bit(0x100, " 27MhzTimebase"),
    Bit(0x200, " WidescreenAnalogOut "),
};

// ---------------------------------------------------------------------------
// Field groups of the video records.  Offsets are relative to the group;
// the record layouts below place each group.

// Common video header, at 0 in all four video records.
constexpr std::array kVideoHeaderRows = {
    FieldRow{"rcSource", "rcSource = ", 0, 16, Rendering::Rectangle},            // RECT rcSource
    FieldRow{"rcTarget", "rcTarget = ", 16, 16, Rendering::Rectangle},           // RECT rcTarget
    FieldRow{"dwBitRate", "bitRate = ", 32, 4, Rendering::UnsignedDecimal},       // DWORD dwBitRate
    FieldRow{"dwBitErrorRate", "ErrorBitRate = ", 36, 4, Rendering::UnsignedDecimal},  // DWORD dwBitErrorRate
    FieldRow{"AvgTimePerFrame", "AvgTimePerFrame = ", 40, 8, Rendering::TimeDecimal},   // REFERENCE_TIME
};

// VIDEOINFOHEADER2 extension, at 48 (dwInterlaceFlags) to 71 (dwReserved2).
constexpr std::array kVideoInfo2ExtensionRows = {
    FieldRow{"dwInterlaceFlags", "InterlaceFlags =", 0, 4, Rendering::NameList, kInterlaceNames},        // 48
    FieldRow{"dwCopyProtectFlags", "CopyProtectFlags = ", 4, 4, Rendering::NameList, kCopyProtectNames},   // 52
    FieldRow{"dwPictAspectRatioX", "PictAspectRatioX = ", 8, 4, Rendering::UnsignedDecimal},               // 56
    FieldRow{"dwPictAspectRatioY", "PictAspectratioY = ", 12, 4, Rendering::UnsignedDecimal},              // 60
    FieldRow{"dwControlFlags", "ControlFlags = ", 16, 4, Rendering::NameList, kControlNames},          // 64
    FieldRow{"dwReserved2", "Reserved2 = ", 20, 4, Rendering::UnsignedDecimal},                     // 68
};

// BITMAPINFOHEADER, 40 bytes: at 48 in VIDEOINFOHEADER and MPEG1VIDEOINFO,
// at 72 in VIDEOINFOHEADER2 and MPEG2VIDEOINFO.
constexpr std::array kBitmapRows = {
    FieldRow{"biSize", "biSize = ", 0, 4, Rendering::UnsignedDecimal},
    FieldRow{"biWidth", "biWidth = ", 4, 4, Rendering::SignedDecimal},
    FieldRow{"biHeight", "biHeight = ", 8, 4, Rendering::SignedDecimal},  // negative: top-down
    FieldRow{"biPlanes", "biPlanes = ", 12, 2, Rendering::UnsignedDecimal},
    FieldRow{"biBitCount", "biBitCount = ", 14, 2, Rendering::UnsignedDecimal},
    FieldRow{"biCompression", "biCompression = ", 16, 4, Rendering::Fourcc},  // BI_RGB etc. show nothing
    FieldRow{"biSizeImage", "biSizeImage = ", 20, 4, Rendering::UnsignedDecimal},
    FieldRow{"biXPelsPerMeter", "biXPelsPerMeter = ", 24, 4, Rendering::SignedDecimal},
    FieldRow{"biYPelsPerMeter", "biYPelsPerMeter = ", 28, 4, Rendering::SignedDecimal},
    FieldRow{"biClrUsed", "biClrUsed = ", 32, 4, Rendering::UnsignedDecimal},
    FieldRow{"biClrImportant", "biClrImportant = ", 36, 4, Rendering::UnsignedDecimal},
};

// MPEG sequence fields: at 88 in MPEG1VIDEOINFO, at 112 in MPEG2VIDEOINFO.
// The sequence header bytes that follow (bSequenceHeader / dwSequenceHeader)
// are part of the record but never shown.
constexpr std::array kMpegSequenceRows = {
    FieldRow{"dwStartTimeCode", "StartTimeCode = ", 0, 4, Rendering::UnsignedDecimal},     // dwStartTimeCode
    FieldRow{"cbSequenceHeader", "cbSequenceHeader = ", 4, 4, Rendering::UnsignedDecimal},  // cbSequenceHeader
};

// MPEG2VIDEOINFO profile, level and flags, at 120 to 131.
constexpr std::array kMpeg2Rows = {
    FieldRow{"dwProfile", "MPEG2 Profile = ", 0, 4, Rendering::NameList, kMpeg2ProfileNames},  // 120
    FieldRow{"dwLevel", "MPEG2 Level = ", 4, 4, Rendering::NameList, kMpeg2LevelNames},      // 124
    FieldRow{"dwFlags", "Flags =", 8, 4, Rendering::NameList, kMpeg2FlagNames},              // 128
};

// ---------------------------------------------------------------------------
// Audio, DV and analog video records: one group each, at 0.

// WAVEFORMATEX, 18 bytes.  The cbSize bytes of format-specific data after it
// are not decoded.
constexpr std::array kWaveFormatExRows = {
    FieldRow{"wFormatTag", "FormatTag = ", 0, 2, Rendering::UnsignedDecimal},           // WORD wFormatTag
    FieldRow{"nChannels", "Channels = ", 2, 2, Rendering::UnsignedDecimal},            // WORD nChannels
    FieldRow{"nSamplesPerSec", "Samples Per Sec = ", 4, 4, Rendering::UnsignedDecimal},     // DWORD nSamplesPerSec
    FieldRow{"nAvgBytesPerSec", "Avg Bytes Per Sec = ", 8, 4, Rendering::UnsignedDecimal},   // DWORD nAvgBytesPerSec
    FieldRow{"nBlockAlign", "Block Align = ", 12, 2, Rendering::UnsignedDecimal},        // WORD nBlockAlign
    FieldRow{"wBitsPerSample", "Bits Per Sample = ", 14, 2, Rendering::UnsignedDecimal},    // WORD wBitsPerSample
    FieldRow{"cbSize", "cbSize = ", 16, 2, Rendering::UnsignedDecimal},             // WORD cbSize
};

// DVINFO, 32 bytes: the audio and video auxiliary source and control packs,
// shown as whole words.
constexpr std::array kDvInfoRows = {
    FieldRow{"dwDVAAuxSrc", "DVAAuxSrc = ", 0, 4, Rendering::Hex8},     // DWORD dwDVAAuxSrc
    FieldRow{"dwDVAAuxCtl", "DVAAuxCtl = ", 4, 4, Rendering::Hex8},     // DWORD dwDVAAuxCtl
    FieldRow{"dwDVAAuxSrc1", "DVAAuxSrc1 = ", 8, 4, Rendering::Hex8},    // DWORD dwDVAAuxSrc1
    FieldRow{"dwDVAAuxCtl1", "DVAAuxCtl1 = ", 12, 4, Rendering::Hex8},   // DWORD dwDVAAuxCtl1
    FieldRow{"dwDVVAuxSrc", "DVVAuxSrc = ", 16, 4, Rendering::Hex8},    // DWORD dwDVVAuxSrc
    FieldRow{"dwDVVAuxCtl", "DVVAuxCtl = ", 20, 4, Rendering::Hex8},    // DWORD dwDVVAuxCtl
    FieldRow{"dwDVReserved0", "DVReserved0 = ", 24, 4, Rendering::Hex8},  // DWORD dwDVReserved[0]
    FieldRow{"dwDVReserved1", "DVReserved1 = ", 28, 4, Rendering::Hex8},  // DWORD dwDVReserved[1]
};

// ANALOGVIDEOINFO, 48 bytes.
constexpr std::array kAnalogVideoRows = {
    FieldRow{"rcSource", "rcSource = ", 0, 16, Rendering::Rectangle},              // RECT rcSource
    FieldRow{"rcTarget", "rcTarget = ", 16, 16, Rendering::Rectangle},             // RECT rcTarget
    FieldRow{"dwActiveWidth", "activeWidth = ", 32, 4, Rendering::UnsignedDecimal},     // DWORD dwActiveWidth
    FieldRow{"dwActiveHeight", "activeHeight = ", 36, 4, Rendering::UnsignedDecimal},    // DWORD dwActiveHeight
    FieldRow{"AvgTimePerFrame", "AvgTimePerFrame = ", 40, 8, Rendering::TimeDecimal},     // REFERENCE_TIME
};

// ---------------------------------------------------------------------------
// Record layouts: the groups of each record in the order of their lines.

// VIDEOINFOHEADER, 88 bytes: video header 0-47, bitmap header 48-87.
constexpr std::array kVideoInfoGroups = {
    FieldGroup{kVideoHeaderRows, 0},
    FieldGroup{kBitmapRows, 48},
};

// VIDEOINFOHEADER2, 112 bytes: video header 0-47, extension 48-71, bitmap
// header 72-111.
constexpr std::array kVideoInfo2Groups = {
    FieldGroup{kVideoHeaderRows, 0},
    FieldGroup{kVideoInfo2ExtensionRows, 48},
    FieldGroup{kBitmapRows, 72},
};

// MPEG1VIDEOINFO, 104 bytes: VIDEOINFOHEADER 0-87, sequence fields 88-95,
// first 8 sequence header bytes 96-103 (not shown).
constexpr std::array kMpeg1VideoGroups = {
    FieldGroup{kVideoHeaderRows, 0},
    FieldGroup{kBitmapRows, 48},
    FieldGroup{kMpegSequenceRows, 88},
};

// MPEG2VIDEOINFO, 136 bytes: VIDEOINFOHEADER2 0-111 (its extension 48-71 is
// not shown), sequence fields 112-119, profile, level and flags 120-131,
// first sequence header word 132-135 (not shown).
constexpr std::array kMpeg2VideoGroups = {
    FieldGroup{kVideoHeaderRows, 0},
    FieldGroup{kBitmapRows, 72},
    FieldGroup{kMpegSequenceRows, 112},
    FieldGroup{kMpeg2Rows, 120},
};

constexpr std::array kWaveFormatExGroups = {FieldGroup{kWaveFormatExRows, 0}};
constexpr std::array kDvInfoGroups = {FieldGroup{kDvInfoRows, 0}};
constexpr std::array kAnalogVideoGroups = {FieldGroup{kAnalogVideoRows, 0}};

struct RecordLayout {
    FormatDecoder decoder;
    std::size_t size;  // S
    std::span<const FieldGroup> groups;
};

constexpr std::array kRecordLayouts = {
    RecordLayout{FormatDecoder::VideoInfo, 88, kVideoInfoGroups},
    RecordLayout{FormatDecoder::VideoInfo2, 112, kVideoInfo2Groups},
    RecordLayout{FormatDecoder::WaveFormatEx, 18, kWaveFormatExGroups},
    RecordLayout{FormatDecoder::Mpeg1Video, 104, kMpeg1VideoGroups},
    RecordLayout{FormatDecoder::Mpeg2Video, 136, kMpeg2VideoGroups},
    RecordLayout{FormatDecoder::AnalogVideo, 48, kAnalogVideoGroups},
    RecordLayout{FormatDecoder::DvInfo, 32, kDvInfoGroups},
};

constexpr bool EveryFieldInsideItsRecord() {
    for (const RecordLayout& layout : kRecordLayouts)
        if (!fieldrendering::GroupsFitRecord(layout.groups, layout.size)) return false;
    return true;
}
static_assert(EveryFieldInsideItsRecord(), "a field row lies outside its record");

constexpr bool EveryRecordWithinTheLargest() {
    for (const RecordLayout& layout : kRecordLayouts)
        if (layout.size > kMaxFormatRecordSize) return false;
    return true;
}
static_assert(EveryRecordWithinTheLargest(), "a record is larger than kMaxFormatRecordSize");

// One row's field, read through the checked span readers.
DecodedField ReadField(const FieldRow& row, ByteSpan record, std::size_t at) {
    DecodedField field;
    field.key = row.key;
    field.label = row.label;
    field.rendering = row.rendering;
    field.names = row.names;
    switch (row.rendering) {
        case Rendering::SignedDecimal: field.value = ReadLeI32(record, at); break;
        case Rendering::TimeDecimal: field.value = ReadLeI64(record, at); break;
        case Rendering::Rectangle:
            for (std::size_t side = 0; side < 4; ++side) field.rectangle[side] = ReadLeI32(record, at + 4 * side);
            break;
        default: field.value = static_cast<std::int64_t>(ReadLe(record, at, row.width)); break;
    }
    return field;
}

const RecordLayout* FindLayout(FormatDecoder decoder) {
    for (const RecordLayout& layout : kRecordLayouts)
        if (layout.decoder == decoder) return &layout;
    return nullptr;
}

}  // namespace

std::vector<DecodedField> DecodeFormatFields(FormatDecoder decoder, ByteSpan record) {
    const RecordLayout* layout = FindLayout(decoder);
    std::vector<DecodedField> fields;
    if (layout == nullptr) return fields;
    const ByteSpan bytes = SubSpan(record, 0, layout->size);
    std::size_t count = 0;
    for (const FieldGroup& group : layout->groups) count += group.rows.size();
    fields.reserve(count);
    for (const FieldGroup& group : layout->groups)
        for (const FieldRow& row : group.rows) fields.push_back(ReadField(row, bytes, group.base + row.offset));
    return fields;
}

std::string FieldLinesText(const std::vector<DecodedField>& fields) {
    std::string text;
    AppendFieldLines(text, fields);
    return text;
}

void AppendFieldLines(std::string& out, const std::vector<DecodedField>& fields) {
    for (const DecodedField& field : fields) {
        out += kClosingIndent;
        out += field.label;
        field.AppendText(out);
    }
    out += kClosingIndent;
}

std::string DecodeFormatRecord(FormatDecoder decoder, ByteSpan record) {
    if (FindLayout(decoder) == nullptr) return {};
    return FieldLinesText(DecodeFormatFields(decoder, record));
}

std::string DecodedField::Text() const {
    std::string text;
    AppendText(text);
    return text;
}

namespace {
void AppendDecimal(std::string& out, std::int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}
}  // namespace

void DecodedField::AppendText(std::string& out) const {
    using fieldrendering::Rendering;
    switch (rendering) {
        case Rendering::UnsignedDecimal:
        case Rendering::SignedDecimal:
        case Rendering::TimeDecimal: AppendDecimal(out, value); return;
        case Rendering::Rectangle:
            for (std::size_t side = 0; side < 4; ++side) {
                if (side > 0) out += ',';
                AppendDecimal(out, rectangle[side]);
            }
            return;
        case Rendering::Hex8: AppendHex(out, static_cast<std::uint32_t>(value), 8); return;
        case Rendering::Fourcc: out += FourccText(static_cast<std::uint32_t>(value)); return;
        case Rendering::NameList:
            out += fieldrendering::MatchingNames(static_cast<std::uint32_t>(value), names);
            return;
    }
}

std::vector<std::string_view> DecodedField::Names() const {
    return fieldrendering::MatchingNameList(static_cast<std::uint32_t>(value), names);
}

std::size_t FormatRecordSize(FormatDecoder decoder) {
    const RecordLayout* layout = FindLayout(decoder);
    return layout == nullptr ? 0 : layout->size;
}

std::string FourccText(std::uint32_t code) {
    std::string text;
    for (int shift = 0; shift < 32; shift += 8) {
        const auto byte = static_cast<unsigned char>((code >> shift) & 0xFFu);
        if (byte < 0x20) return std::string(Res(Str::UnrecognisedFourcc));
        AppendUtf8FromAnsi(text, byte);
    }
    return text;
}

}  // namespace quorvel
