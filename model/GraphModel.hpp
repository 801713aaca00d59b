// The graph as data: what a saved graph holds, typed, as the analysis read
// it.  The same readers that write the report's lines fill it in the same
// pass, so every value a line shows is here with that value; an analysis
// that stopped keeps here what it had read, as the lines do.  Texts are
// UTF-8; GUIDs are kept as their texts were written.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mediatypes/FormatDecoders.hpp"
#include "mediatypes/FormatDetails.hpp"

namespace quorvel::model {

// What a filter is, as the report's colours tell it.
enum class FilterKind {
    DirectShow,     // any filter not described from its own data (black)
    DmoWrapper,     // the DMO wrapper filter (green)
    PnpProxy,       // a kernel-streaming device through its proxy (purple)
    AcmWrapper,     // an audio codec through the ACM wrapper (blue)
    AviCompressor,  // a video codec through the AVI compressor wrapper (blue)
};
std::string_view FilterKindName(FilterKind kind);
// The colour of a filter's report line, its frame in the picture and its
// swatch in the legend, as 0xRRGGBB.
std::uint32_t FilterKindColor(FilterKind kind);

// A GUID as written, the name the report shows for it when it shows one,
// and the name the platform's SDK headers give it, when they give one.
struct NamedGuid {
    std::string guid;
    std::optional<std::string> name;
    std::optional<std::string> knownName;
};

// The data a filter saved: its size, its bytes, and what was decoded from it.
struct DmoData {
    std::string clsid;
    std::optional<std::string> catalogName;
    NamedGuid category;
};
struct ProxyData {
    std::string devicePath;
    std::optional<std::string> catalogName;  // the installed device it names
};
struct AcmData {
    std::uint16_t formatTag = 0;
    std::string formatName;
};
struct AviCompressorData {
    std::string fourcc;
};

struct FileReference {
    std::string role;  // SOURCE or SINK, as written
    std::string path;
};

struct Filter {
    std::string id;    // as written, normally four digits
    std::string name;  // as written, without its quotes
    std::string clsid;
    FilterKind kind = FilterKind::DirectShow;
    std::optional<std::string> catalogName;  // what it is on this machine
    std::optional<std::string> knownName;    // a renderer part named from its CLSID alone
    std::optional<FileReference> file;
    std::uint32_t dataSize = 0;
    std::vector<std::uint8_t> data;  // the saved bytes, all of them
    std::optional<DmoData> dmo;
    std::optional<ProxyData> proxy;
    std::optional<AcmData> acm;
    std::optional<AviCompressorData> avi;
};

// One end of a connection: the filter by the name as written, by its id too
// when that name names exactly one filter, and the pin.
struct PinEnd {
    std::string filter;
    std::optional<std::string> filterId;
    std::string pin;
};

struct MediaType {
    std::optional<NamedGuid> majorType;
    std::optional<NamedGuid> subtype;
    bool fixedSizeSamples = false;
    bool temporalCompression = false;
    std::optional<std::int64_t> sampleSize;
    std::optional<NamedGuid> formatType;
    std::optional<std::uint32_t> formatSize;
    std::vector<DecodedField> fields;   // the format record, field by field
    std::vector<std::uint8_t> undecoded;  // the block's bytes no field took
    // What the block says beyond its fields; none for most blocks, so kept
    // apart: a big graph holds thousands of media types.
    std::shared_ptr<const FormatBlockDetails> details;
};

struct Connection {
    PinEnd output;
    PinEnd input;
    MediaType mediaType;
};

struct Clock {
    bool required = false;
    std::string name;                     // as the report shows it, quotes removed
    std::optional<std::string> clsid;     // when the clock line names a CLSID
    std::optional<std::string> filterId;  // when the clock is one of the graph's filters
};

struct Graph {
    std::optional<std::string> version;  // "0002" or "0003"
    // Deques: graphs of thousands of entries grow without moving them.
    std::deque<Filter> filters;
    std::deque<Connection> connections;
    std::optional<Clock> clock;
    std::optional<std::string> endMarker;  // the marker as read ("END")
};

// Takes each filter and each connection once it has been read whole, so
// that a graph of thousands of them can be passed on without being kept.
class GraphSink {
public:
    virtual ~GraphSink() = default;
    virtual void TakeFilter(const Filter& filter) = 0;
    virtual void TakeConnection(const Connection& connection) = 0;
};

}  // namespace quorvel::model
