// Format types: the name written to the report, the decoder of the format
// block and the size of that decoder's fixed record.
#include <algorithm>
#include <iterator>

#include "mediatypes/MediaTypeNames.hpp"

namespace quorvel {
namespace {

struct FormatTypeRow {
    Guid guid;
    FormatTypeInfo info;
};

constexpr FormatTypeRow kFormatTypes[] = {
    {MakeGuid("{05589F80-C356-11CE-BF01-00AA0055595A}"), {"Format VideoInfoHeader", FormatDecoder::VideoInfo, 88}},
    {MakeGuid("{F72A76A0-EB0A-11D0-ACE4-0000C0CC16BA}"), {"Format VideoInfoHeader2", FormatDecoder::VideoInfo2, 112}},
    {MakeGuid("{05589F81-C356-11CE-BF01-00AA0055595A}"), {"Format WaveFormatEx", FormatDecoder::WaveFormatEx, 18}},
    {MakeGuid("{05589F82-C356-11CE-BF01-00AA0055595A}"), {"Format Mpeg1VideoInfo", FormatDecoder::Mpeg1Video, 104}},
    {MakeGuid("{E06D80E3-DB46-11CF-B4D1-00805F6CBBEA}"), {"Format Mpeg2VideoInfo", FormatDecoder::Mpeg2Video, 136}},
    {MakeGuid("{0482DDE0-7817-11CF-8A03-00AA006ECB65}"), {"Format Analog Video", FormatDecoder::AnalogVideo, 48}},
    {MakeGuid("{05589F84-C356-11CE-BF01-00AA0055595A}"), {"Format DVInfo", FormatDecoder::DvInfo, 32}},
    // Named but never decoded.
    {MakeGuid("{05589F83-C356-11CE-BF01-00AA0055595A}"), {"Format AM_MpegSystemType", FormatDecoder::None, 0}},
    {MakeGuid("{0F6417D6-C318-11D0-A43F-00A0C9223196}"), {"Format None", FormatDecoder::None, 0}},
    // GUID_NULL: no format block worth a name.
    {MakeGuid("{00000000-0000-0000-0000-000000000000}"), {"No Format", FormatDecoder::None, 0}},
};

constexpr FormatTypeInfo kUnknownFormat{"Unknown Format", FormatDecoder::None, 0};

}  // namespace

FormatTypeInfo LookupFormatType(const Guid& formatType) {
    const auto row = std::find_if(std::begin(kFormatTypes), std::end(kFormatTypes),
                                  [&](const FormatTypeRow& r) { return r.guid == formatType; });
    return row == std::end(kFormatTypes) ? kUnknownFormat : row->info;
}

}  // namespace quorvel
