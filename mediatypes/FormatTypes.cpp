// Format types: the name written to the report and the decoder of the format
// block, whose record layout gives the size of its fixed record.
#include <algorithm>
#include <iterator>

#include "mediatypes/FormatDecoders.hpp"
#include "mediatypes/MediaTypeNames.hpp"

namespace quorvel {
namespace {

struct FormatTypeRow {
    Guid guid;
    std::string_view name;
    FormatDecoder decoder;
};

constexpr FormatTypeRow kFormatTypes[] = {
    {MakeGuid("{05589F80-C356-11CE-BF01-00AA0055595A}"), "Format VideoInfoHeader", FormatDecoder::VideoInfo},
    {MakeGuid("{F72A76A0-EB0A-11D0-ACE4-0000C0CC16BA}"), "Format VideoInfoHeader2", FormatDecoder::VideoInfo2},
    {MakeGuid("{05589F81-C356-11CE-BF01-00AA0055595A}"), "Format WaveFormatEx", FormatDecoder::WaveFormatEx},
    {MakeGuid("{05589F82-C356-11CE-BF01-00AA0055595A}"), "Format Mpeg1VideoInfo", FormatDecoder::Mpeg1Video},
    {MakeGuid("{E06D80E3-DB46-11CF-B4D1-00805F6CBBEA}"), "Format Mpeg2VideoInfo", FormatDecoder::Mpeg2Video},
    {MakeGuid("{0482DDE0-7817-11CF-8A03-00AA006ECB65}"), "Format Analog Video", FormatDecoder::AnalogVideo},
    {MakeGuid("{05589F84-C356-11CE-BF01-00AA0055595A}"), "Format DVInfo", FormatDecoder::DvInfo},
    // Named but never decoded.
    {MakeGuid("{05589F83-C356-11CE-BF01-00AA0055595A}"), "Format AM_MpegSystemType", FormatDecoder::None},
    {MakeGuid("{0F6417D6-C318-11D0-A43F-00A0C9223196}"), "Format None", FormatDecoder::None},
    // GUID_NULL: no format block worth a name.
    {MakeGuid("{00000000-0000-0000-0000-000000000000}"), "No Format", FormatDecoder::None},
};

constexpr std::string_view kUnknownFormat = "Unknown Format";

}  // namespace

FormatTypeInfo LookupFormatType(const Guid& formatType) {
    const auto row = std::find_if(std::begin(kFormatTypes), std::end(kFormatTypes),
                                  [&](const FormatTypeRow& r) { return r.guid == formatType; });
    if (row == std::end(kFormatTypes)) return FormatTypeInfo{kUnknownFormat, FormatDecoder::None, 0};
    return FormatTypeInfo{row->name, row->decoder, FormatRecordSize(row->decoder)};
}

}  // namespace quorvel
