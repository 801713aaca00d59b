#include "model/GraphJson.hpp"

#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>

#include "model/JsonText.hpp"
#include "platform/TextConv.hpp"

namespace quorvel::model {
namespace {

template <typename T, typename Write>
void Optional(JsonText& j, const std::optional<T>& value, Write&& write) {
    if (value)
        write(*value);
    else
        j.Null();
}

void OptionalString(JsonText& j, const std::optional<std::string>& value) {
    Optional(j, value, [&](const std::string& s) { j.String(s); });
}

void WriteNamedGuid(JsonText& j, const NamedGuid& g) {
    j.Open('{');
    j.Key("guid").String(g.guid);
    j.Key("name");
    OptionalString(j, g.name);
    j.Key("knownName");
    OptionalString(j, g.knownName);
    j.Close('}');
}

// ----------------------------------------------------------- format details

void Number(JsonText& j, std::string_view key, std::int64_t value) { j.Key(key).Number(value); }
void Text(JsonText& j, std::string_view key, std::string_view value) { j.Key(key).String(value); }
void Flag(JsonText& j, std::string_view key, bool value) { j.Key(key).Bool(value); }
void Real(JsonText& j, std::string_view key, double value) {
    if (!std::isfinite(value)) return;  // JSON has no infinities
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    j.Key(key).Raw(text);
}
template <typename T>
void Maybe(JsonText& j, std::string_view key, const std::optional<T>& value) {
    if (value) Number(j, key, static_cast<std::int64_t>(*value));
}

void WriteBitmap(JsonText& j, const BitmapDetails& b) {
    j.Open('{');
    Number(j, "headerSize", b.headerSize);
    Number(j, "bitCount", b.bitCount);
    Number(j, "compression", b.compression);
    Text(j, "compressionName", b.compressionName);
    Number(j, "clrUsed", b.clrUsed);
    j.Key("masks").Open('[');
    for (const std::uint32_t m : b.masks) j.Element().Unsigned(m);
    j.Close(']');
    Number(j, "paletteEntries", b.paletteEntries);
    j.Key("palette").Open('[');
    for (const std::uint32_t c : b.palette) j.Element().Unsigned(c);
    j.Close(']');
    Flag(j, "truncated", b.truncated);
    j.Close('}');
}

void WriteExtensible(JsonText& j, const WaveFormatExtensible& w) {
    j.Open('{');
    Maybe(j, "validBitsPerSample", w.validBitsPerSample);
    Maybe(j, "channelMask", w.channelMask);
    j.Key("speakers").Open('[');
    for (const std::string& s : w.speakers) j.Element().String(s);
    j.Close(']');
    if (w.subFormat) Text(j, "subFormat", FormatGuid(*w.subFormat));
    Text(j, "subFormatName", w.subFormatName);
    Flag(j, "truncated", w.truncated);
    j.Close('}');
}

void WriteMp3(JsonText& j, const MpegLayer3Format& m) {
    j.Open('{');
    Maybe(j, "id", m.id);
    Maybe(j, "flags", m.flags);
    Maybe(j, "blockSize", m.blockSize);
    Maybe(j, "framesPerBlock", m.framesPerBlock);
    Maybe(j, "codecDelay", m.codecDelay);
    Flag(j, "truncated", m.truncated);
    j.Close('}');
}

void WriteAudioSpecificConfig(JsonText& j, const AacAudioSpecificConfig& c) {
    j.Open('{');
    Number(j, "audioObjectType", c.audioObjectType);
    Text(j, "objectTypeName", c.objectTypeName);
    Number(j, "samplingFrequency", c.samplingFrequency);
    Number(j, "channelConfiguration", c.channelConfiguration);
    Text(j, "channelText", c.channelText);
    Flag(j, "sbr", c.sbr);
    Flag(j, "ps", c.ps);
    Number(j, "extensionSamplingFrequency", c.extensionSamplingFrequency);
    Flag(j, "truncated", c.truncated);
    j.Close('}');
}

void WriteAac(JsonText& j, const AacFormat& a) {
    j.Open('{');
    Number(j, "formatTag", a.formatTag);
    if (a.heaac) {
        j.Key("heaac").Open('{');
        Number(j, "payloadType", a.heaac->payloadType);
        Number(j, "audioProfileLevelIndication", a.heaac->audioProfileLevelIndication);
        Number(j, "structType", a.heaac->structType);
        j.Close('}');
    }
    if (a.config) {
        j.Key("config");
        WriteAudioSpecificConfig(j, *a.config);
    }
    Flag(j, "truncated", a.truncated);
    j.Close('}');
}

void WriteMpegSequence(JsonText& j, const MpegVideoSequence& m) {
    j.Open('{');
    if (const auto& h = m.header) {
        j.Key("header").Open('{');
        Number(j, "width", h->horizontalSize);
        Number(j, "height", h->verticalSize);
        Number(j, "aspectRatioCode", h->aspectRatioCode);
        Text(j, "aspect", h->aspectText);
        Number(j, "frameRateCode", h->frameRateCode);
        Real(j, "framesPerSecond", h->framesPerSecond);
        Number(j, "bitsPerSecond", static_cast<std::int64_t>(h->bitsPerSecond));
        Flag(j, "variableBitRate", h->variableBitRate);
        Number(j, "vbvBufferSize", h->vbvBufferSize);
        j.Close('}');
    }
    if (const auto& e = m.extension) {
        j.Key("extension").Open('{');
        Text(j, "profile", e->profileText);
        Text(j, "level", e->levelText);
        Flag(j, "progressive", e->progressiveSequence);
        Text(j, "chroma", e->chromaText);
        Flag(j, "lowDelay", e->lowDelay);
        j.Close('}');
    }
    Flag(j, "truncated", m.truncated);
    j.Close('}');
}

void WriteH264(JsonText& j, const H264ParameterSets& h) {
    j.Open('{');
    Text(j, "layout", h.layout == H264Layout::LengthPrefixed ? "length-prefixed"
                      : h.layout == H264Layout::AnnexB       ? "annex-b"
                                                             : "unknown");
    Maybe(j, "nalLengthSize", h.nalLengthSize);
    Number(j, "spsCount", h.spsCount);
    Number(j, "ppsCount", h.ppsCount);
    if (const auto& s = h.sps) {
        j.Key("sps").Open('{');
        Number(j, "profileIdc", s->profileIdc);
        Text(j, "profile", s->profileName);
        Number(j, "levelIdc", s->levelIdc);
        Text(j, "level", s->levelText);
        if (s->chroma) {
            Text(j, "chroma", s->chroma->text);
            Number(j, "bitDepthLuma", s->chroma->bitDepthLuma);
            Number(j, "bitDepthChroma", s->chroma->bitDepthChroma);
        }
        if (const auto& p = s->picture) {
            Number(j, "codedWidth", p->codedWidth);
            Number(j, "codedHeight", p->codedHeight);
            Number(j, "width", p->displayWidth);
            Number(j, "height", p->displayHeight);
            j.Key("crop").Open('{');
            Number(j, "left", p->cropLeft);
            Number(j, "top", p->cropTop);
            Number(j, "right", p->cropRight);
            Number(j, "bottom", p->cropBottom);
            j.Close('}');
            Flag(j, "frameMbsOnly", p->frameMbsOnly);
        }
        if (s->vui && s->vui->timing) Real(j, "framesPerSecond", s->vui->timing->framesPerSecond);
        Flag(j, "truncated", s->truncated);
        j.Close('}');
    }
    Flag(j, "truncated", h.truncated);
    j.Close('}');
}

void WriteDetails(JsonText& j, const FormatBlockDetails& d) {
    j.Open('{');
    if (d.frameRate) Text(j, "frameRate", *d.frameRate);
    if (d.compressionName) Text(j, "compressionName", *d.compressionName);
    if (d.bitmap) {
        j.Key("bitmap");
        WriteBitmap(j, *d.bitmap);
    }
    if (d.extensible) {
        j.Key("extensible");
        WriteExtensible(j, *d.extensible);
    }
    if (d.mp3) {
        j.Key("mp3");
        WriteMp3(j, *d.mp3);
    }
    if (d.aac) {
        j.Key("aac");
        WriteAac(j, *d.aac);
    }
    if (d.mpegSequence) {
        j.Key("mpegSequence");
        WriteMpegSequence(j, *d.mpegSequence);
    }
    if (d.h264) {
        j.Key("h264");
        WriteH264(j, *d.h264);
    }
    j.Close('}');
}

void WriteFilter(JsonText& j, const Filter& f) {
    j.Open('{');
    j.Key("id").String(f.id);
    j.Key("name").String(f.name);
    j.Key("clsid").String(f.clsid);
    j.Key("kind").String(FilterKindName(f.kind));
    j.Key("catalogName");
    OptionalString(j, f.catalogName);
    j.Key("knownName");
    OptionalString(j, f.knownName);
    j.Key("file");
    Optional(j, f.file, [&](const FileReference& file) {
        j.Open('{');
        j.Key("role").String(file.role);
        j.Key("path").String(file.path);
        j.Close('}');
    });
    j.Key("data").Open('{');
    j.Key("size").Unsigned(f.dataSize);
    j.Key("hex").Hex(f.data);
    j.Close('}');
    if (f.dmo) {
        j.Key("dmo").Open('{');
        j.Key("clsid").String(f.dmo->clsid);
        j.Key("catalogName");
        OptionalString(j, f.dmo->catalogName);
        j.Key("category");
        WriteNamedGuid(j, f.dmo->category);
        j.Close('}');
    }
    if (f.proxy) {
        j.Key("proxy").Open('{');
        j.Key("devicePath").String(f.proxy->devicePath);
        j.Key("catalogName");
        OptionalString(j, f.proxy->catalogName);
        j.Close('}');
    }
    if (f.acm) {
        j.Key("acm").Open('{');
        j.Key("formatTag").Unsigned(f.acm->formatTag);
        j.Key("formatName").String(f.acm->formatName);
        j.Close('}');
    }
    if (f.avi) {
        j.Key("avi").Open('{');
        j.Key("fourcc").String(f.avi->fourcc);
        j.Close('}');
    }
    j.Close('}');
}

void WritePinEnd(JsonText& j, const PinEnd& end) {
    j.Open('{');
    j.Key("filter").String(end.filter);
    j.Key("filterId");
    OptionalString(j, end.filterId);
    j.Key("pin").String(end.pin);
    j.Close('}');
}

// A FourCC as its text when its four bytes are characters, else its number.
void WriteFourcc(JsonText& j, std::uint32_t code) {
    std::string text;
    for (int shift = 0; shift < 32; shift += 8) {
        const auto byte = static_cast<unsigned char>((code >> shift) & 0xFF);
        if (byte < 0x20) {
            j.Unsigned(code);
            return;
        }
        AppendUtf8FromAnsi(text, byte);
    }
    j.String(text);
}

void WriteFieldValue(JsonText& j, const DecodedField& field) {
    using fieldrendering::Rendering;
    switch (field.rendering) {
        case Rendering::Rectangle:
            j.Open('{');
            j.Key("left").Number(field.rectangle[0]);
            j.Key("top").Number(field.rectangle[1]);
            j.Key("right").Number(field.rectangle[2]);
            j.Key("bottom").Number(field.rectangle[3]);
            j.Close('}');
            return;
        case Rendering::Fourcc: WriteFourcc(j, static_cast<std::uint32_t>(field.value)); return;
        case Rendering::NameList:
            j.Open('{');
            j.Key("value").Number(field.value);
            j.Key("names").Open('[');
            for (const std::string_view name : field.Names()) j.Element().String(name);
            j.Close(']');
            j.Close('}');
            return;
        default: j.Number(field.value); return;
    }
}

void WriteMediaType(JsonText& j, const MediaType& t) {
    const auto namedGuid = [&](const NamedGuid& g) { WriteNamedGuid(j, g); };
    j.Open('{');
    j.Key("majorType");
    Optional(j, t.majorType, namedGuid);
    j.Key("subtype");
    Optional(j, t.subtype, namedGuid);
    j.Key("fixedSizeSamples").Bool(t.fixedSizeSamples);
    j.Key("temporalCompression").Bool(t.temporalCompression);
    j.Key("sampleSize");
    Optional(j, t.sampleSize, [&](std::int64_t size) { j.Number(size); });
    j.Key("formatType");
    Optional(j, t.formatType, namedGuid);
    j.Key("formatSize");
    Optional(j, t.formatSize, [&](std::uint32_t size) { j.Unsigned(size); });
    j.Key("fields").Open('{');
    for (const DecodedField& field : t.fields) {
        j.Key(field.key);
        WriteFieldValue(j, field);
    }
    j.Close('}');
    j.Key("undecoded").Hex(t.undecoded);
    j.Key("details");
    WriteDetails(j, t.details ? *t.details : FormatBlockDetails{});
    j.Close('}');
}

void WriteConnection(JsonText& j, const Connection& c) {
    j.Open('{');
    j.Key("output");
    WritePinEnd(j, c.output);
    j.Key("input");
    WritePinEnd(j, c.input);
    j.Key("mediaType");
    WriteMediaType(j, c.mediaType);
    j.Close('}');
}

void WriteClock(JsonText& j, const Clock& c) {
    j.Open('{');
    j.Key("required").Bool(c.required);
    j.Key("name").String(c.name);
    j.Key("clsid");
    OptionalString(j, c.clsid);
    j.Key("filterId");
    OptionalString(j, c.filterId);
    j.Close('}');
}

}  // namespace

void GraphJsonWriter::TakeFilter(const Filter& filter) {
    if (!filters_) filters_ = std::make_unique<JsonText>(filterBlocks_);
    WriteFilter(filters_->Element(), filter);
}

void GraphJsonWriter::TakeConnection(const Connection& connection) {
    if (!connections_) connections_ = std::make_unique<JsonText>(connectionBlocks_);
    WriteConnection(connections_->Element(), connection);
}

void GraphJsonWriter::Write(std::ostream& out, const Graph& graph) {
    if (filters_) filters_->Flush();
    if (connections_) connections_->Flush();
    JsonText j(out);
    j.Open('{');
    j.Key("version");
    OptionalString(j, graph.version);
    j.Key("filters").Open('[').Elements(filterBlocks_);
    for (const Filter& f : graph.filters) WriteFilter(j.Element(), f);
    j.Close(']');
    j.Key("connections").Open('[').Elements(connectionBlocks_);
    for (const Connection& c : graph.connections) WriteConnection(j.Element(), c);
    j.Close(']');
    j.Key("clock");
    Optional(j, graph.clock, [&](const Clock& c) { WriteClock(j, c); });
    j.Key("endMarker");
    OptionalString(j, graph.endMarker);
    j.Close('}');
    Forget();
}

void GraphJsonWriter::Forget() {
    filters_.reset();
    connections_.reset();
    filterBlocks_.Clear();
    connectionBlocks_.Clear();
}

GraphJsonWriter::GraphJsonWriter() = default;
GraphJsonWriter::~GraphJsonWriter() = default;

void WriteGraphJson(std::ostream& out, const Graph& graph) { GraphJsonWriter().Write(out, graph); }

}  // namespace quorvel::model
