// Names of media types: major types, subtypes, wave format tags, format types.
// Pure lookups over GUID values and texts; no reading from the graph stream.
// Results are UTF-8 report text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Guid.hpp"

namespace quorvel {

// "Mediatype Audio", ... for the 18 known major types; nullopt otherwise.
std::optional<std::string_view> MajorTypeLabel(const Guid& majorType);

// The label of a subtype from its text as read from the stream (8-bit
// Windows-1252 text, braces included): the wave-format-tag and four-character
// code families recognised on the text, then the table of known subtypes by
// value, else the text itself.  Throws GuidSyntaxError when the text reaches
// the table and is not a GUID.
std::string SubtypeLabel(std::string_view subtypeText);

// Name of a 16-bit wave format tag; "Inconnu" for tags not in the table.
std::string_view WaveFormatTagName(std::uint16_t tag);

enum class FormatDecoder {
    None,
    VideoInfo,     // VIDEOINFOHEADER, 88 bytes
    VideoInfo2,    // VIDEOINFOHEADER2, 112 bytes
    WaveFormatEx,  // WAVEFORMATEX, 18 bytes
    Mpeg1Video,    // MPEG1VIDEOINFO, 104 bytes
    Mpeg2Video,    // MPEG2VIDEOINFO, 136 bytes
    AnalogVideo,   // ANALOGVIDEOINFO, 48 bytes
    DvInfo,        // DVINFO, 32 bytes
};

struct FormatTypeInfo {
    std::string_view name;  // "Format VideoInfoHeader", "No Format", "Unknown Format", ...
    FormatDecoder decoder = FormatDecoder::None;
    std::size_t recordSize = 0;  // S, from the decoder's record layout; 0 without a decoder
};

FormatTypeInfo LookupFormatType(const Guid& formatType);

}  // namespace quorvel
