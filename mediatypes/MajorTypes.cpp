// Names of the major types a connection's media type can carry.
#include <algorithm>
#include <iterator>

#include "mediatypes/MediaTypeNames.hpp"

namespace quorvel {
namespace {

struct MajorTypeRow {
    Guid guid;
    std::string_view label;
};

// In the order in which they are tried; all 18 are distinct.
constexpr MajorTypeRow kMajorTypes[] = {
    {MakeGuid("{0482DEE1-7817-11CF-8A03-00AA006ECB65}"), "Mediatype Analog Audio"},
    {MakeGuid("{0482DDE1-7817-11CF-8A03-00AA006ECB65}"), "Mediatype Analog Video"},
    {MakeGuid("{73647561-0000-0010-8000-00AA00389B71}"), "Mediatype Audio"},
    {MakeGuid("{670AEA80-3A82-11D0-B79B-00AA003767A7}"), "Mediatype Line 21 data"},
    {MakeGuid("{656C6966-0000-0010-8000-00AA00389B71}"), "Mediatype File"},
    {MakeGuid("{73766169-0000-0010-8000-00AA00389B71}"), "Mediatype Interleaved"},
    {MakeGuid("{74726C6D-0000-0010-8000-00AA00389B71}"), "Mediatype LMRT"},
    {MakeGuid("{7364696D-0000-0010-8000-00AA00389B71}"), "Mediatype Midi"},
    {MakeGuid("{E06D8020-DB46-11CF-B4D1-00805F6CBBEA}"), "Mediatype MPEG-2 PES packets"},
    {MakeGuid("{455F176C-4B06-47CE-9AEF-8CAEF73DF7B5}"), "Mediatype MPEG-2 section data"},
    {MakeGuid("{73636D64-0000-0010-8000-00AA00389B71}"), "Mediatype Script Command"},
    {MakeGuid("{E436EB83-524F-11CE-9F53-0020AF0BA770}"), "Mediatype Stream"},
    {MakeGuid("{73747874-0000-0010-8000-00AA00389B71}"), "Mediatype Text"},
    {MakeGuid("{0482DEE3-7817-11CF-8A03-00AA006ECB65}"), "Mediatype Timecode"},
    {MakeGuid("{736C7275-0000-0010-8000-00AA00389B71}"), "Mediatype Url Stream"},
    {MakeGuid("{73646976-0000-0010-8000-00AA00389B71}"), "Mediatype Video"},
    {MakeGuid("{E436EB8E-524F-11CE-9F53-0020AF0BA770}"), "Mediatype None"},
    {MakeGuid("{ED0B916A-044D-11D1-AA78-00C04FC31D60}"), "Mediatype DVD Encrypted"},
};
static_assert(std::size(kMajorTypes) == 18);

}  // namespace

std::optional<std::string_view> MajorTypeLabel(const Guid& majorType) {
    const auto row = std::find_if(std::begin(kMajorTypes), std::end(kMajorTypes),
                                  [&](const MajorTypeRow& r) { return r.guid == majorType; });
    if (row == std::end(kMajorTypes)) return std::nullopt;
    return row->label;
}

}  // namespace quorvel
