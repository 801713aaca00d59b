// Subtype names.  Subtypes built on the base media subtype GUID are named from
// the text of their first group (wave format tag or four-character code);
// the others by value against the known subtypes.
#include <algorithm>
#include <iterator>

#include "mediatypes/MediaTypeNames.hpp"
#include "platform/TextConv.hpp"
#include "resources/Strings.hpp"
#include "platform/Hex.hpp"

namespace quorvel {
namespace {

// The base media subtype GUID after its first group, exactly as the graph
// editor writes it (upper case).
constexpr std::string_view kTemplateTail = "-0000-0010-8000-00AA00389B71}";

struct SubtypeRow {
    Guid guid;
    std::string_view label;
};

// In the order in which they are tried; all 105 are distinct.  Rows built on
// the base GUID are reached only when the text's tail is not written exactly
// as above (lower-case letters, for instance).
constexpr SubtypeRow kKnownSubtypes[] = {
    {MakeGuid("{E436EB80-524F-11CE-9F53-0020AF0BA770}"), "Mediasubtype MPEG1 Audio Packet"},
    {MakeGuid("{00000001-0000-0010-8000-00AA00389B71}"), "Mediasubtype PCM Audio"},
    {MakeGuid("{E436EB81-524F-11CE-9F53-0020AF0BA770}"), "Mediasubtype Mpeg1 Audio Payload"},
    {MakeGuid("{E06D802B-DB46-11CF-B4D1-00805F6CBBEA}"), "Mediasubtype Mpeg2 Audio"},
    {MakeGuid("{E06D8032-DB46-11CF-B4D1-00805F6CBBEA}"), "Mediasubtype DVD LPCM Audio"},
    {MakeGuid("{00000009-0000-0010-8000-00AA00389B71}"), "Mediasubtype DRM Audio"},
    {MakeGuid("{00000003-0000-0010-8000-00AA00389B71}"), "Mediasubtype IEEE Float"},
    {MakeGuid("{E06D802C-DB46-11CF-B4D1-00805F6CBBEA}"), "Mediasubtype Dolby AC3"},
    {MakeGuid("{00000092-0000-0010-8000-00AA00389B71}"), "Mediasubtype Dolby AC3 over SPDIF"},
    {MakeGuid("{00000240-0000-0010-8000-00AA00389B71}"), "Mediasubtype Raw Sport"},
    {MakeGuid("{00000241-0000-0010-8000-00AA00389B71}"), "Mediasubtype Spdif tag 241h"},
    {MakeGuid("{0482DDE2-7817-11CF-8A03-00AA006ECB65}"), "Mediasubtype Analog Video NTSC M"},
    {MakeGuid("{0482DDE5-7817-11CF-8A03-00AA006ECB65}"), "Mediasubtype Analog Video Pal B"},
    {MakeGuid("{0482DDE6-7817-11CF-8A03-00AA006ECB65}"), "Mediasubtype Analog Video Pal D"},
    {MakeGuid("{0482DDE7-7817-11CF-8A03-00AA006ECB65}"), "Mediasubtype Analog Video Pal G"},
    {MakeGuid("{0482DDE8-7817-11CF-8A03-00AA006ECB65}"), "Mediasubtype Analog Video Pal H"},
    {MakeGuid("{0482DDE9-7817-11CF-8A03-00AA006ECB65}"), "Mediasubtype Analog Video Pal I"},
    {MakeGuid("{0482DDEA-7817-11CF-8A03-00AA006ECB65}"), "Mediasubtype Analog Video Pal M"},
    {MakeGuid("{0482DDEB-7817-11CF-8A03-00AA006ECB65}"), "Mediasubtype Analog Video Pal N"},
    {MakeGuid("{0482DDF0-7817-11CF-8A03-00AA006ECB65}"), "Mediasubtype Analog Video Secam B"},
    {MakeGuid("{0482DDF1-7817-11CF-8A03-00AA006ECB65}"), "Mediasubtype Analog Video Secam D"},
    {MakeGuid("{0482DDF2-7817-11CF-8A03-00AA006ECB65}"), "Mediasubtype Analog Video Secam G"},
    {MakeGuid("{0482DDF3-7817-11CF-8A03-00AA006ECB65}"), "Mediasubtype Analog Video Secam H"},
    {MakeGuid("{0482DDF4-7817-11CF-8A03-00AA006ECB65}"), "Mediasubtype Analog Video Secam K"},
    {MakeGuid("{0482DDF5-7817-11CF-8A03-00AA006ECB65}"), "Mediasubtype Analog Video Secam K1"},
    {MakeGuid("{0482DDF6-7817-11CF-8A03-00AA006ECB65}"), "Mediasubtype Analog Video Secam L"},
    {MakeGuid("{0482DDEC-7817-11CF-8A03-00AA006ECB65}"), "Mediasubtype Analog Video Pal N Combo"},
    {MakeGuid("{34344941-0000-0010-8000-00AA00389B71}"), "Mediasubtype AI44"},
    {MakeGuid("{34344149-0000-0010-8000-00AA00389B71}"), "Mediasubtype IA44"},
    {MakeGuid("{6C737664-0000-0010-8000-00AA00389B71}"), "Mediasubtype dvsl"},
    {MakeGuid("{64737664-0000-0010-8000-00AA00389B71}"), "Mediasubtype dvsd"},
    {MakeGuid("{64687664-0000-0010-8000-00AA00389B71}"), "Mediasubtype dvhd"},
    {MakeGuid("{35327664-0000-0010-8000-00AA00389B71}"), "Mediasubtype dv25"},
    {MakeGuid("{30357664-0000-0010-8000-00AA00389B71}"), "Mediasubtype dv50"},
    {MakeGuid("{31687664-0000-0010-8000-00AA00389B71}"), "Mediasubtype dvh1"},
    {MakeGuid("{53435644-0000-0010-8000-00AA00389B71}"), "Mediasubtype DVCS"},
    {MakeGuid("{44535644-0000-0010-8000-00AA00389B71}"), "Mediasubtype DVSD"},
    {MakeGuid("{E436EB78-524F-11CE-9F53-0020AF0BA770}"), "Mediasubtype RGB1"},
    {MakeGuid("{E436EB79-524F-11CE-9F53-0020AF0BA770}"), "Mediasubtype RGB4"},
    {MakeGuid("{E436EB7A-524F-11CE-9F53-0020AF0BA770}"), "Mediasubtype RGB8"},
    {MakeGuid("{E436EB7C-524F-11CE-9F53-0020AF0BA770}"), "Mediasubtype RGB555"},
    {MakeGuid("{E436EB7B-524F-11CE-9F53-0020AF0BA770}"), "Mediasubtype RGB565"},
    {MakeGuid("{E436EB7D-524F-11CE-9F53-0020AF0BA770}"), "Mediasubtype RGB24"},
    {MakeGuid("{E436EB7E-524F-11CE-9F53-0020AF0BA770}"), "Mediasubtype RGB32"},
    {MakeGuid("{297C55AF-E209-4CB3-B757-C76D6B9C88A8}"), "Mediasubtype ARGB1555"},
    {MakeGuid("{773C9AC0-3274-11D0-B724-00AA006C1A01}"), "Mediasubtype ARGB32"},
    {MakeGuid("{6E6415E6-5C24-425F-93CD-80102B3D1CCA}"), "Mediasubtype ARGB4444"},
    {MakeGuid("{2F8BB76D-B644-4550-ACF3-D30CAA65D5C5}"), "Mediasubtype A2R10G10B10"},
    {MakeGuid("{576F7893-BDF6-48C4-875F-AE7B81834567}"), "Mediasubtype A2B10G10R10"},
    {MakeGuid("{32335239-0000-0010-8000-00AA00389B71}"), "Mediasubtype RGB32 D3D DX9 RT"},
    {MakeGuid("{36315239-0000-0010-8000-00AA00389B71}"), "Mediasubtype RGB16 D3D DX9 RT"},
    {MakeGuid("{38384139-0000-0010-8000-00AA00389B71}"), "Mediasubtype ARGB32 D3D DX9 RT"},
    {MakeGuid("{34344139-0000-0010-8000-00AA00389B71}"), "Mediasubtype ARGB4444 D3D DX9 RT"},
    {MakeGuid("{35314139-0000-0010-8000-00AA00389B71}"), "Mediasubtype ARGB1555 D3D DX9 RT"},
    {MakeGuid("{56555941-0000-0010-8000-00AA00389B71}"), "Mediasubtype AYUV"},
    {MakeGuid("{59565955-0000-0010-8000-00AA00389B71}"), "Mediasubtype UYVY"},
    {MakeGuid("{31313459-0000-0010-8000-00AA00389B71}"), "Mediasubtype Y411"},
    {MakeGuid("{50313459-0000-0010-8000-00AA00389B71}"), "Mediasubtype Y41P"},
    {MakeGuid("{31313259-0000-0010-8000-00AA00389B71}"), "Mediasubtype Y211"},
    {MakeGuid("{32595559-0000-0010-8000-00AA00389B71}"), "Mediasubtype YUY2"},
    {MakeGuid("{55595659-0000-0010-8000-00AA00389B71}"), "Mediasubtype YVYU"},
    {MakeGuid("{56595559-0000-0010-8000-00AA00389B71}"), "Mediasubtype YUYV"},
    {MakeGuid("{39304649-0000-0010-8000-00AA00389B71}"), "Mediasubtype IF09"},
    {MakeGuid("{56555949-0000-0010-8000-00AA00389B71}"), "Mediasubtype IYUV"},
    {MakeGuid("{32315659-0000-0010-8000-00AA00389B71}"), "Mediasubtype YV12"},
    {MakeGuid("{39555659-0000-0010-8000-00AA00389B71}"), "Mediasubtype YVU9"},
    {MakeGuid("{43434643-0000-0010-8000-00AA00389B71}"), "Mediasubtype CFCC"},
    {MakeGuid("{524A4C43-0000-0010-8000-00AA00389B71}"), "Mediasubtype CLJR"},
    {MakeGuid("{414C5043-0000-0010-8000-00AA00389B71}"), "Mediasubtype CPLA"},
    {MakeGuid("{4C504C43-0000-0010-8000-00AA00389B71}"), "Mediasubtype CLPL"},
    {MakeGuid("{47504A49-0000-0010-8000-00AA00389B71}"), "Mediasubtype IJPG"},
    {MakeGuid("{47504A4D-0000-0010-8000-00AA00389B71}"), "Mediasubtype MJPG"},
    {MakeGuid("{E436EB7F-524F-11CE-9F53-0020AF0BA770}"), "Mediasubtype Overlay"},
    {MakeGuid("{6D756C50-0000-0010-8000-00AA00389B71}"), "Mediasubtype Plum"},
    {MakeGuid("{6765706A-0000-0010-8000-00AA00389B71}"), "Mediasubtype QT Jpeg"},
    {MakeGuid("{E436EB89-524F-11CE-9F53-0020AF0BA770}"), "Mediasubtype QT Movie"},
    {MakeGuid("{20656C72-0000-0010-8000-00AA00389B71}"), "Mediasubtype QT RLE"},
    {MakeGuid("{617A7072-0000-0010-8000-00AA00389B71}"), "Mediasubtype QT Rpza"},
    {MakeGuid("{20636D73-0000-0010-8000-00AA00389B71}"), "Mediasubtype QT Smc"},
    {MakeGuid("{4A4D5654-0000-0010-8000-00AA00389B71}"), "Mediasubtype TVMJ"},
    {MakeGuid("{5A9B6A41-1A22-11D1-BAD9-00609744111A}"), "Mediasubtype VP VBI"},
    {MakeGuid("{5A9B6A40-1A22-11D1-BAD9-00609744111A}"), "Mediasubtype VP Video"},
    {MakeGuid("{E436EB84-524F-11CE-9F53-0020AF0BA770}"), "Mediasubtype MPEG1 System"},
    {MakeGuid("{E436EB85-524F-11CE-9F53-0020AF0BA770}"), "Mediasubtype MPEG1 Video CD"},
    {MakeGuid("{E436EB86-524F-11CE-9F53-0020AF0BA770}"), "Mediasubtype MPEG1 Video"},
    {MakeGuid("{E436EB87-524F-11CE-9F53-0020AF0BA770}"), "Mediasubtype MPEG1 Audio"},
    {MakeGuid("{E06D8026-DB46-11CF-B4D1-00805F6CBBEA}"), "Mediasubtype MPEG2 Video"},
    {MakeGuid("{F4AEB342-0329-4FDD-A8FD-4AFF4926C978}"), "Mediasubtype BDA MPEG2 Transport"},
    {MakeGuid("{E06D8022-DB46-11CF-B4D1-00805F6CBBEA}"), "Mediasubtype MPEG2 Program"},
    {MakeGuid("{E06D8023-DB46-11CF-B4D1-00805F6CBBEA}"), "Mediasubtype MPEG2 Transport"},
    {MakeGuid("{B3C7397C-D303-414D-B33C-4ED2C9D29733}"), "Mediasubtype ATSC SI"},
    {MakeGuid("{E9DD31A3-221D-4ADB-8532-9AF309C1A408}"), "Mediasubtype DVB SI"},
    {MakeGuid("{C892E55B-252D-42B5-A316-D997E7A5D995}"), "Mediasubtype MPEG2 DATA"},
    {MakeGuid("{E06D802D-DB46-11CF-B4D1-00805F6CBBEA}"), "Mediasubtype DVD SubPicture"},
    {MakeGuid("{6E8D4A22-310C-11D0-B79A-00AA003767A7}"), "Mediasubtype Line21 Byte Pair"},
    {MakeGuid("{6E8D4A23-310C-11D0-B79A-00AA003767A7}"), "Mediasubtype Line21 GOP Packet"},
    {MakeGuid("{6E8D4A24-310C-11D0-B79A-00AA003767A7}"), "Mediasubtype Line21 VBI Raw Data"},
    {MakeGuid("{E436EB8E-524F-11CE-9F53-0020AF0BA770}"), "Mediasubtype None"},
    {MakeGuid("{E436EB88-524F-11CE-9F53-0020AF0BA770}"), "Mediasubtype Avi"},
    {MakeGuid("{3DB80F90-9412-11D1-ADED-0000F8754B99}"), "Mediasubtype Asf"},
    {MakeGuid("{E436EB8D-524F-11CE-9F53-0020AF0BA770}"), "Mediasubtype AIFF"},
    {MakeGuid("{E436EB8C-524F-11CE-9F53-0020AF0BA770}"), "Mediasubtype AU"},
    {MakeGuid("{A0AF4F82-E163-11D0-BAD9-00609744111A}"), "Mediasubtype DSS Audio"},
    {MakeGuid("{A0AF4F81-E163-11D0-BAD9-00609744111A}"), "Mediasubtype DSS Video"},
    {MakeGuid("{E436EB8B-524F-11CE-9F53-0020AF0BA770}"), "Mediasubtype WAVE"},
};
static_assert(std::size(kKnownSubtypes) == 105);

// Value of the hexadecimal digit at 1-based position pos of the text.  The
// first group of a text ending in the tail is not validated: anything that is
// not a hexadecimal digit counts as 0.
unsigned DigitAt(std::string_view text, std::size_t pos) {
    if (pos == 0 || pos > text.size()) return 0;
    const int value = HexDigitValue(text[pos - 1]);
    return value < 0 ? 0u : static_cast<unsigned>(value);
}

// First group "00tttttt": a wave format tag.
std::string WaveTagLabel(std::string_view text) {
    std::uint32_t number = 0;
    for (std::size_t pos = 4; pos <= 9; ++pos) number = number * 16 + DigitAt(text, pos);
    if (number == 1) return "MediaSubType PCM Audio";
    std::string label = "MediasubType Audio - Compression ";
    label += WaveFormatTagName(static_cast<std::uint16_t>(number & 0xFFFF));
    return label;
}

// Any other first group: a four-character code stored little-endian, so the
// first pair written is the code's last character.
std::string FourccLabel(std::string_view text) {
    unsigned char code[4]{};
    for (std::size_t k = 1; k <= 4; ++k) {
        const unsigned value = DigitAt(text, 2 * k) * 16 + DigitAt(text, 2 * k + 1);
        if (value < 0x20) {
            std::string label = "MediaSubType Video codec ";
            label += Res(Str::Unknown);
            return label;
        }
        code[4 - k] = static_cast<unsigned char>(value);
    }
    std::string label = "MediaSubType Video Compression ";
    for (const unsigned char c : code) AppendUtf8FromAnsi(label, c);
    return label;
}

}  // namespace

std::string SubtypeLabel(std::string_view subtypeText) {
    // Made on the text itself, so these never reject a malformed GUID.
    if (subtypeText.ends_with(kTemplateTail)) {
        // The text holds at least the 29 characters of the tail here.
        const bool waveTag = subtypeText.substr(1, 2) == "00";
        return waveTag ? WaveTagLabel(subtypeText) : FourccLabel(subtypeText);
    }

    const Guid value = ParseGuid(subtypeText);
    const auto row = std::find_if(std::begin(kKnownSubtypes), std::end(kKnownSubtypes),
                                  [&](const SubtypeRow& r) { return r.guid == value; });
    if (row != std::end(kKnownSubtypes)) return std::string(row->label);
    return Utf8FromAnsi(subtypeText);
}

}  // namespace quorvel
