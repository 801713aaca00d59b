// Well-known GUID texts of the media framework, as the graph editor writes
// them (registry form, upper case), for the code that makes test inputs:
// the tests, the fuzz seeds, the benchmarks and the graph generators.  The
// program keeps its own tables; this one is typed apart from them, so that a
// test that feeds one of these texts checks the program's tables instead of
// repeating them.
#pragma once

#include <string_view>

namespace quorvel::wellknown {

// Filters.
inline constexpr std::string_view kFileSourceAsync = "{E436EBB5-524F-11CE-9F53-0020AF0BA770}";  // File Source (Async.)
inline constexpr std::string_view kAviSplitter = "{1B544C20-FD0B-11CE-8C63-00AA0044B51E}";      // AVI Splitter
inline constexpr std::string_view kAviDecompressor = "{CF49D4E0-1115-11CE-B03A-0020AF0BA770}";  // AVI Decompressor
inline constexpr std::string_view kColorSpaceConverter = "{1643E180-90F5-11CE-97D5-00AA0055595A}";  // Color Space Converter
inline constexpr std::string_view kSmartTee = "{CC58E280-8AA1-11D1-B3F1-00AA003761C5}";         // Smart Tee
inline constexpr std::string_view kInfiniteTee = "{F8388A40-D5BB-11D0-BE5A-0080C706568E}";      // Infinite Pin Tee Filter
inline constexpr std::string_view kSampleGrabber = "{C1F400A0-3F08-11D3-9F0B-006008039E37}";    // SampleGrabber
inline constexpr std::string_view kAviMux = "{E2510970-F137-11CE-8B67-00AA00A3F1A6}";           // AVI Mux
inline constexpr std::string_view kFileWriter = "{8596E5F0-0DA5-11D0-BD21-00A0C911CE86}";       // File writer
inline constexpr std::string_view kDirectSoundRenderer = "{79376820-07D0-11CF-A24D-0020AFD79767}";  // Default DirectSound Device
inline constexpr std::string_view kMidiRenderer = "{07B65360-C445-11CE-AFDE-00AA006C14F4}";     // Default MidiOut Device
inline constexpr std::string_view kEnhancedVideoRenderer = "{FA10746C-9B63-4B6C-BC49-FC300EA5F256}";
// The video renderer's components, named by the report from its own table.
inline constexpr std::string_view kVideoMixingRenderer = "{B87BEB7B-8D29-423F-AE4D-6582C10175AC}";  // "Video Renderer" in graphs
inline constexpr std::string_view kVideoRendererDefault = "{6BC1CFFA-8FC1-4261-AC22-CFB4CC38DB50}";
inline constexpr std::string_view kVideoPortManager = "{6F26A6CD-967B-47FD-874A-7AED2C9D25A2}";
inline constexpr std::string_view kVideoMixer = "{06B32AEE-77DA-484B-973B-5D64F47201B0}";
// Filters whose saved data names what they wrap.
inline constexpr std::string_view kDmoWrapper = "{94297043-BD82-4DFD-B0DE-8177739C6D20}";     // a DMO and its category
inline constexpr std::string_view kAcmWrapper = "{6A08CF80-0E18-11CF-A24D-0020AFD79767}";     // a wave format tag
inline constexpr std::string_view kAviCompressor = "{D76E2820-1563-11CF-AC98-00AA004C0FA9}";  // a VfW codec's fourcc
inline constexpr std::string_view kKsProxy = "{17CCA71B-ECD7-11D0-B908-00A0C9223196}";        // a device's path

// DMOs.
inline constexpr std::string_view kMpeg43DecoderDmo = "{CBA9E78B-49A3-49EA-93D4-6BCBA8C4DE07}";  // Mpeg43 Decoder DMO
inline constexpr std::string_view kWmvDecoderDmo = "{82D353DF-90BD-4382-8BC2-3F6192B76E34}";     // WMVideo Decoder DMO
inline constexpr std::string_view kWmaDecoderDmo = "{2EEB4ADF-4578-4D10-BCA7-BB955F56320A}";     // WMAudio Decoder DMO
inline constexpr std::string_view kResamplerDmo = "{F447B69E-1884-4A7E-8055-346F74D6EDB3}";      // Resampler DMO

// DMO categories.
inline constexpr std::string_view kDmoAudioDecoderCategory = "{57F2DB8B-E6BB-4513-9D43-DCD2A6593125}";
inline constexpr std::string_view kDmoVideoDecoderCategory = "{4A69B442-28BE-4991-969C-B500ADF5D8A8}";
inline constexpr std::string_view kDmoVideoEncoderCategory = "{33D9A760-90C8-11D0-BD43-00A0C911CE86}";

// Device categories: the category of categories, then the categories it lists.
inline constexpr std::string_view kActiveMovieCategories = "{DA4E3DA0-D07D-11D0-BD50-00A0C911CE86}";
inline constexpr std::string_view kLegacyFiltersCategory = "{083863F1-70DE-11D0-BD40-00A0C911CE86}";  // DirectShow Filters
inline constexpr std::string_view kVideoCaptureCategory = "{860BB310-5D01-11D0-BD3B-00A0C911CE86}";   // Video Capture Sources
inline constexpr std::string_view kAudioRendererCategory = "{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}";  // Audio Renderers

// Major types.
inline constexpr std::string_view kMediatypeVideo = "{73646976-0000-0010-8000-00AA00389B71}";
inline constexpr std::string_view kMediatypeAudio = "{73647561-0000-0010-8000-00AA00389B71}";
inline constexpr std::string_view kMediatypeStream = "{E436EB83-524F-11CE-9F53-0020AF0BA770}";
inline constexpr std::string_view kMediatypeMidi = "{7364696D-0000-0010-8000-00AA00389B71}";
inline constexpr std::string_view kMediatypeText = "{73747874-0000-0010-8000-00AA00389B71}";
inline constexpr std::string_view kMediatypeFile = "{656C6966-0000-0010-8000-00AA00389B71}";
inline constexpr std::string_view kMediatypeInterleaved = "{73766169-0000-0010-8000-00AA00389B71}";  // DV
inline constexpr std::string_view kMediatypeLmrt = "{74726C6D-0000-0010-8000-00AA00389B71}";
inline constexpr std::string_view kMediatypeScriptCommand = "{73636D64-0000-0010-8000-00AA00389B71}";
inline constexpr std::string_view kMediatypeUrlStream = "{736C7275-0000-0010-8000-00AA00389B71}";
inline constexpr std::string_view kMediatypeAnalogAudio = "{0482DEE1-7817-11CF-8A03-00AA006ECB65}";
inline constexpr std::string_view kMediatypeAnalogVideo = "{0482DDE1-7817-11CF-8A03-00AA006ECB65}";
inline constexpr std::string_view kMediatypeTimecode = "{0482DEE3-7817-11CF-8A03-00AA006ECB65}";
inline constexpr std::string_view kMediatypeLine21 = "{670AEA80-3A82-11D0-B79B-00AA003767A7}";
inline constexpr std::string_view kMediatypeMpeg2Pes = "{E06D8020-DB46-11CF-B4D1-00805F6CBBEA}";
inline constexpr std::string_view kMediatypeMpeg2Sections = "{455F176C-4B06-47CE-9AEF-8CAEF73DF7B5}";
inline constexpr std::string_view kMediatypeDvdEncrypted = "{ED0B916A-044D-11D1-AA78-00C04FC31D60}";

// Subtypes: wave format tags and four-character codes on the base GUID, then
// the framework's own.
inline constexpr std::string_view kSubtypePcm = "{00000001-0000-0010-8000-00AA00389B71}";     // tag 0x0001
inline constexpr std::string_view kSubtypeMp3 = "{00000055-0000-0010-8000-00AA00389B71}";     // tag 0x0055
inline constexpr std::string_view kSubtypeHeAac = "{00001610-0000-0010-8000-00AA00389B71}";   // tag 0x1610
inline constexpr std::string_view kSubtypeMjpg = "{47504A4D-0000-0010-8000-00AA00389B71}";
inline constexpr std::string_view kSubtypeYuy2 = "{32595559-0000-0010-8000-00AA00389B71}";
inline constexpr std::string_view kSubtypeMp43 = "{3334504D-0000-0010-8000-00AA00389B71}";
inline constexpr std::string_view kSubtypeI420 = "{30323449-0000-0010-8000-00AA00389B71}";
inline constexpr std::string_view kSubtypeXvid = "{44495658-0000-0010-8000-00AA00389B71}";
inline constexpr std::string_view kSubtypeRgb24 = "{E436EB7D-524F-11CE-9F53-0020AF0BA770}";
inline constexpr std::string_view kSubtypeRgb32 = "{E436EB7E-524F-11CE-9F53-0020AF0BA770}";
inline constexpr std::string_view kSubtypeMpeg1Packet = "{E436EB80-524F-11CE-9F53-0020AF0BA770}";
inline constexpr std::string_view kSubtypeAvi = "{E436EB88-524F-11CE-9F53-0020AF0BA770}";
inline constexpr std::string_view kSubtypeNone = "{E436EB8E-524F-11CE-9F53-0020AF0BA770}";  // also met as a major type
inline constexpr std::string_view kSubtypeDolbyAc3 = "{E06D802C-DB46-11CF-B4D1-00805F6CBBEA}";
inline constexpr std::string_view kSubtypeNtscM = "{0482DDE2-7817-11CF-8A03-00AA006ECB65}";  // analog video
inline constexpr std::string_view kSubtypeBdaMpeg2Transport = "{F4AEB342-0329-4FDD-A8FD-4AFF4926C978}";

// Format types.
inline constexpr std::string_view kFormatVideoInfo = "{05589F80-C356-11CE-BF01-00AA0055595A}";
inline constexpr std::string_view kFormatVideoInfo2 = "{F72A76A0-EB0A-11D0-ACE4-0000C0CC16BA}";
inline constexpr std::string_view kFormatWaveFormatEx = "{05589F81-C356-11CE-BF01-00AA0055595A}";
inline constexpr std::string_view kFormatMpegVideo = "{05589F82-C356-11CE-BF01-00AA0055595A}";
inline constexpr std::string_view kFormatMpegStreams = "{05589F83-C356-11CE-BF01-00AA0055595A}";
inline constexpr std::string_view kFormatDvInfo = "{05589F84-C356-11CE-BF01-00AA0055595A}";
inline constexpr std::string_view kFormatMpeg2Video = "{E06D80E3-DB46-11CF-B4D1-00805F6CBBEA}";
inline constexpr std::string_view kFormatAnalogVideo = "{0482DDE0-7817-11CF-8A03-00AA006ECB65}";
inline constexpr std::string_view kFormatNone = "{0F6417D6-C318-11D0-A43F-00A0C9223196}";
// No format at all; also an unset major type or subtype.
inline constexpr std::string_view kGuidNull = "{00000000-0000-0000-0000-000000000000}";

// Clock.
inline constexpr std::string_view kSystemClock = "{E436EBB1-524F-11CE-9F53-0020AF0BA770}";

}  // namespace quorvel::wellknown
