// Names of 16-bit wave format tags.  Most names are entries of the string
// table; a few are fixed texts.
#include <algorithm>
#include <iterator>

#include "mediatypes/MediaTypeNames.hpp"
#include "resources/Strings.hpp"

namespace quorvel {
namespace {

struct WaveTagRow {
    std::uint16_t tag;
    std::optional<Str> resource;  // string table entry, when the name is one
    std::string_view fixedText;   // otherwise the name itself
};

// A plain lookup: tags between two listed ones are not named.
constexpr WaveTagRow kWaveTags[] = {
    {0x0001, Str::Wave_PCM, {}},
    {0x0002, Str::Wave_ADPCM, {}},
    {0x0003, Str::Wave_IEEE_FLOAT, {}},
    {0x0005, Str::Wave_IBM_CVSD, {}},
    {0x0006, Str::Wave_ALAW, {}},
    {0x0007, Str::Wave_MULAW, {}},
    {0x0010, Str::Wave_OKI_ADPCM, {}},
    {0x0011, Str::Wave_DVI_ADPCM, {}},
    {0x0012, Str::Wave_MEDIASPACE_ADPCM, {}},
    {0x0013, Str::Wave_SIERRA_ADPCM, {}},
    {0x0014, Str::Wave_G723_ADPCM, {}},
    {0x0015, Str::Wave_DIGISTD, {}},
    {0x0016, Str::Wave_DIGIFIX, {}},
    {0x0017, Str::Wave_DIALOGIC_OKI_ADPCM, {}},
    {0x0018, Str::Wave_MEDIAVISION_ADPCM, {}},
    {0x0020, Str::Wave_YAMAHA_ADPCM, {}},
    {0x0021, Str::Wave_SONARC, {}},
    {0x0022, Str::Wave_DSPGROUP_TRUESPEECH, {}},
    {0x0023, Str::Wave_ECHOSC1, {}},
    {0x0024, Str::Wave_AUDIOFILE_AF36, {}},
    {0x0025, Str::Wave_APTX, {}},
    {0x0026, Str::Wave_AUDIOFILE_AF10, {}},
    {0x0030, Str::Wave_DOLBY_AC2, {}},
    {0x0031, Str::Wave_GSM610, {}},
    {0x0032, Str::Wave_MSNAUDIO, {}},
    {0x0033, Str::Wave_ANTEX_ADPCME, {}},
    {0x0034, Str::Wave_CONTROL_RES_VQLPC, {}},
    {0x0035, Str::Wave_DIGIREAL, {}},
    {0x0036, Str::Wave_DIGIADPCM, {}},
    {0x0037, Str::Wave_CONTROL_RES_CR10, {}},
    {0x0038, Str::Wave_NMS_VBXADPCM, {}},
    {0x0039, Str::Wave_CS_IMAADPCM, {}},
    {0x003A, Str::Wave_ECHOSC3, {}},
    {0x003B, Str::Wave_ROCKWELL_ADPCM, {}},
    {0x003C, Str::Wave_ROCKWELL_DIGITALK, {}},
    {0x003D, Str::Wave_XEBEC, {}},
    {0x0040, Str::Wave_G721_ADPCM, {}},
    {0x0041, Str::Wave_G728_CELP, {}},
    {0x0042, std::nullopt, "Microsoft G723.1"},
    {0x0050, Str::Wave_MPEG, {}},
    {0x0055, Str::Wave_MP3, {}},
    {0x0060, Str::Wave_CIRRUS, {}},
    {0x0061, Str::Wave_ESPCM, {}},
    {0x0062, Str::Wave_VOXWARE, {}},
    {0x0063, Str::Wave_CANOPUS_ATRAC, {}},
    {0x0064, Str::Wave_G726_ADPCM, {}},
    {0x0065, Str::Wave_G722_ADPCM, {}},
    {0x0066, Str::Wave_DSAT, {}},
    {0x0067, Str::Wave_DSAT_DISPLAY, {}},
    {0x0075, Str::Wave_VOXWARE, {}},
    {0x0080, Str::Wave_SOFTSOUND, {}},
    {0x0100, Str::Wave_RHETOREX_ADPCM, {}},
    {0x0130, std::nullopt, "ACELP.net"},
    {0x0160, std::nullopt, "Windows Media Audio V1"},
    {0x0161, std::nullopt, "Windows Media Audio V2"},
    {0x0200, Str::Wave_CREATIVE_ADPCM, {}},
    {0x0202, Str::Wave_CREATIVE_FASTSPEECH8, {}},
    {0x0203, Str::Wave_CREATIVE_FASTSPEECH10, {}},
    {0x0220, Str::Wave_QUARTERDECK, {}},
    {0x0300, Str::Wave_FM_TOWNS_SND, {}},
    {0x0400, Str::Wave_BTV_DIGITAL, {}},
    {0x0402, std::nullopt, "IAC2"},
    {0x1000, Str::Wave_OLIGSM, {}},
    {0x1001, Str::Wave_OLIADPCM, {}},
    {0x1002, Str::Wave_OLICELP, {}},
    {0x1003, Str::Wave_OLISBC, {}},
    {0x1004, Str::Wave_OLIOPR, {}},
    {0x1100, Str::Wave_LH_CODEC, {}},
    {0x1400, Str::Wave_NORRIS, {}},
};
static_assert(std::size(kWaveTags) == 69);

}  // namespace

std::string_view WaveFormatTagName(std::uint16_t tag) {
    const auto row = std::find_if(std::begin(kWaveTags), std::end(kWaveTags),
                                  [&](const WaveTagRow& r) { return r.tag == tag; });
    if (row == std::end(kWaveTags)) return Res(Str::Unknown);
    return row->resource ? Res(*row->resource) : row->fixedText;
}

}  // namespace quorvel
