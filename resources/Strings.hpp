// The one table of localisable strings: every French text of the program,
// the product and author names, the version pieces and the addresses.
// Everything here is UTF-8; a translation replaces the texts, never the ids.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace quorvel {

enum class Str : int {
    ProductName,
    Author,
    VersionMajor,
    VersionMinor,
    VersionFormat,
    HomePageUrl,
    MailAddress,
    DataNotice,
    Unknown,
    Required,
    NoClock,
    FixedSizeSamples,
    TemporalCompression,
    HeaderAnalysedFile,
    HeaderMadeOn,
    HeaderVisit,
    By,
    UnrecognisedFourcc,
    CaptionOpen,
    HintOpen,
    CaptionPaste,
    HintPaste,
    CaptionSave,
    HintSave,
    CaptionAbout,
    HintAbout,
    CaptionQuit,
    HintQuit,
    OpenDialogFilter,
    SaveDialogFilter,
    LegendDirectShow,
    LegendDmo,
    LegendPnp,
    LegendAcm,
    // Wave format tag names held in the table (the others are fixed texts).
    Wave_PCM,
    Wave_ADPCM,
    Wave_IEEE_FLOAT,
    Wave_IBM_CVSD,
    Wave_ALAW,
    Wave_MULAW,
    Wave_OKI_ADPCM,
    Wave_DVI_ADPCM,
    Wave_MEDIASPACE_ADPCM,
    Wave_SIERRA_ADPCM,
    Wave_G723_ADPCM,
    Wave_DIGISTD,
    Wave_DIGIFIX,
    Wave_DIALOGIC_OKI_ADPCM,
    Wave_MEDIAVISION_ADPCM,
    Wave_YAMAHA_ADPCM,
    Wave_SONARC,
    Wave_DSPGROUP_TRUESPEECH,
    Wave_ECHOSC1,
    Wave_AUDIOFILE_AF36,
    Wave_APTX,
    Wave_AUDIOFILE_AF10,
    Wave_DOLBY_AC2,
    Wave_GSM610,
    Wave_MSNAUDIO,
    Wave_ANTEX_ADPCME,
    Wave_CONTROL_RES_VQLPC,
    Wave_DIGIREAL,
    Wave_DIGIADPCM,
    Wave_CONTROL_RES_CR10,
    Wave_NMS_VBXADPCM,
    Wave_CS_IMAADPCM,
    Wave_ECHOSC3,
    Wave_ROCKWELL_ADPCM,
    Wave_ROCKWELL_DIGITALK,
    Wave_XEBEC,
    Wave_G721_ADPCM,
    Wave_G728_CELP,
    Wave_MPEG,
    Wave_MP3,
    Wave_CIRRUS,
    Wave_ESPCM,
    Wave_VOXWARE,
    Wave_CANOPUS_ATRAC,
    Wave_G726_ADPCM,
    Wave_G722_ADPCM,
    Wave_DSAT,
    Wave_DSAT_DISPLAY,
    Wave_SOFTSOUND,
    Wave_RHETOREX_ADPCM,
    Wave_CREATIVE_ADPCM,
    Wave_CREATIVE_FASTSPEECH8,
    Wave_CREATIVE_FASTSPEECH10,
    Wave_QUARTERDECK,
    Wave_FM_TOWNS_SND,
    Wave_BTV_DIGITAL,
    Wave_OLIGSM,
    Wave_OLIADPCM,
    Wave_OLICELP,
    Wave_OLISBC,
    Wave_OLIOPR,
    Wave_LH_CODEC,
    Wave_NORRIS,
    Count_
};

std::string_view Res(Str id);

// Format("...%s...%d...", [args]): each %s or %d takes the next argument,
// already rendered as text; "%%" is a percent sign.
std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> args);

// Res(id) formatted with args.
std::string FormatRes(Str id, std::initializer_list<std::string_view> args);

}  // namespace quorvel
