// quorvel-make-builtin-catalog: writes catalog/BuiltinCatalogTable.inc, the
// standard filters and DMOs of the platform that builds without the
// platform's enumerators fall back on.
//
//   quorvel-make-builtin-catalog SYSTEM.REG OUT.inc HEADER...
//
// Every CLSID comes from a real source: the filters and DMOs that a fresh Wine
// prefix registers (SYSTEM.REG), kept when the platform SDK headers (the
// mingw-w64 headers given as HEADER...) name their CLSID, and the standard
// filters Wine does not register, named here and looked up in the headers.
// Wine's own filters, which Windows does not have, are left out.
#include <algorithm>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "catalog/DeviceEnumeration.hpp"
#include "catalog/WineMediaFramework.hpp"
#include "catalog/WineRegistry.hpp"
#include "platform/TextConv.hpp"

namespace {

using namespace quorvel;

struct GuidLess {
    bool operator()(const Guid& a, const Guid& b) const { return a.bytes < b.bytes; }
};

// Standard filters of Windows whose CLSIDs the mingw-w64 headers do not
// name (qedit.h is missing, and a few are declared nowhere); Wine registers
// them under their Windows names and CLSIDs.
const std::set<std::string> kStandardWithoutHeader = {"SampleGrabber", "Null Renderer", "Wave Parser",
                                                      "MPEG Layer-3 Decoder"};

struct Extra {
    const char* category;  // header name of the filter category; empty for a DMO
    const char* clsid;     // header name of the CLSID
    const char* name;      // the friendly name Windows registers
};

// Standard filters and DMOs of Windows that Wine does not register.
const Extra kExtras[] = {
    {"CLSID_LegacyAmFilterCategory", "CLSID_InfTee", "Infinite Pin Tee Filter"},
    {"CLSID_LegacyAmFilterCategory", "CLSID_Colour", "Color Space Converter"},
    {"CLSID_LegacyAmFilterCategory", "CLSID_CMpegVideoCodec", "MPEG Video Decoder"},
    {"CLSID_LegacyAmFilterCategory", "CLSID_URLReader", "File Source (URL)"},
    {"CLSID_LegacyAmFilterCategory", "CLSID_AviReader", "AVI/WAV File Source"},
    {"CLSID_LegacyAmFilterCategory", "CLSID_AVIDraw", "AVI Draw"},
    {"CLSID_LegacyAmFilterCategory", "CLSID_MjpegDec", "MJPEG Decompressor"},
    {"CLSID_LegacyAmFilterCategory", "CLSID_MPEG2Demultiplexer", "MPEG-2 Demultiplexer"},
    {"CLSID_LegacyAmFilterCategory", "CLSID_DVVideoCodec", "DV Video Decoder"},
    {"CLSID_LegacyAmFilterCategory", "CLSID_DVVideoEnc", "DV Video Encoder"},
    {"CLSID_LegacyAmFilterCategory", "CLSID_DVSplitter", "DV Splitter"},
    {"CLSID_LegacyAmFilterCategory", "CLSID_DVMux", "DV Muxer"},
    {"CLSID_LegacyAmFilterCategory", "CLSID_Line21Decoder", "Line 21 Decoder"},
    {"CLSID_LegacyAmFilterCategory", "CLSID_Line21Decoder2", "Line 21 Decoder 2"},
    {"CLSID_LegacyAmFilterCategory", "CLSID_DVDNavigator", "DVD Navigator"},
    {"CLSID_LegacyAmFilterCategory", "CLSID_OverlayMixer", "Overlay Mixer"},
    {"CLSID_LegacyAmFilterCategory", "CLSID_WMAsfReader", "WM ASF Reader"},
    {"CLSID_LegacyAmFilterCategory", "CLSID_WMAsfWriter", "WM ASF Writer"},
    {"CLSID_AudioRendererCategory", "CLSID_DSoundRender", "Default DirectSound Device"},
    {"CLSID_AudioRendererCategory", "CLSID_AudioRender", "Default WaveOut Device"},
    {"CLSID_MidiRendererCategory", "CLSID_AVIMIDIRender", "Default MidiOut Device"},
    {"", "CLSID_CWMAEncMediaObject", "WMAudio Encoder DMO"},
    {"", "CLSID_CWMVXEncMediaObject", "WMVideo8 Encoder DMO"},
    {"", "CLSID_CWMSPDecMediaObject", "WMSpeech Decoder DMO"},
    {"", "CLSID_CMpeg43DecMediaObject", "Mpeg43 Decoder DMO"},
    {"", "CLSID_CMpeg4sDecMediaObject", "Mpeg4s Decoder DMO"},
    {"", "CLSID_CFrameRateConvertDmo", "Frame Rate Converter"},
    {"", "CLSID_CResizerDMO", "Resizer DMO"},
    {"", "CLSID_CWMAudioAEC", "Voice Capture DMO"},
    {"", "GUID_DSFX_STANDARD_CHORUS", "Chorus"},
    {"", "GUID_DSFX_STANDARD_COMPRESSOR", "Compressor"},
    {"", "GUID_DSFX_STANDARD_DISTORTION", "Distortion"},
    {"", "GUID_DSFX_STANDARD_ECHO", "Echo"},
    {"", "GUID_DSFX_STANDARD_FLANGER", "Flanger"},
    {"", "GUID_DSFX_STANDARD_GARGLE", "Gargle"},
    {"", "GUID_DSFX_STANDARD_I3DL2REVERB", "I3DL2Reverb"},
    {"", "GUID_DSFX_STANDARD_PARAMEQ", "ParamEq"},
    {"", "GUID_DSFX_WAVES_REVERB", "WavesReverb"},
};

// GUIDs the headers name: OUR_GUID_ENTRY(name, 0x..., ...) and DEFINE_GUID(name, 0x..., ...).
struct HeaderGuids {
    std::map<std::string, Guid> byName;
    std::map<Guid, std::string, GuidLess> byGuid;
};

void ReadHeader(const std::string& path, HeaderGuids& guids) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::stringstream text;
    text << in.rdbuf();
    const std::string all = text.str();
    static const std::regex entry(
        R"((?:OUR_GUID_ENTRY|DEFINE_GUID)\s*\(\s*(\w+)\s*,\s*0x([0-9A-Fa-f]{1,8})\s*,\s*0x([0-9A-Fa-f]{1,4})\s*,\s*)"
        R"(0x([0-9A-Fa-f]{1,4})((?:\s*,\s*0x[0-9A-Fa-f]{1,2}){8})\s*\))");
    for (auto it = std::sregex_iterator(all.begin(), all.end(), entry); it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        char text38[39];
        unsigned d4[8];
        std::istringstream bytes(m[5].str());
        for (unsigned& b : d4) {
            char comma;
            bytes >> comma >> std::hex >> b;
        }
        std::snprintf(text38, sizeof text38, "{%08lX-%04lX-%04lX-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                      std::stoul(m[2].str(), nullptr, 16), std::stoul(m[3].str(), nullptr, 16),
                      std::stoul(m[4].str(), nullptr, 16), d4[0], d4[1], d4[2], d4[3], d4[4], d4[5], d4[6],
                      d4[7]);
        const Guid guid = ParseGuid(text38);
        guids.byName.emplace(m[1].str(), guid);
        guids.byGuid.emplace(guid, m[1].str());
    }
}

std::string Narrow(std::u16string_view wide) {
    std::string out;
    for (char16_t unit : wide) out += AnsiFromCodeUnit(static_cast<std::uint16_t>(unit));
    return Utf8FromAnsi(out);
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + '"';
}

struct Row {
    std::string name;
    Guid clsid;
    std::string source;  // the header name, or "Wine"
};

struct CategoryRows {
    Guid category;
    std::string name;
    std::vector<Row> rows;
};

Guid Lookup(const HeaderGuids& guids, const std::string& name) {
    const auto found = guids.byName.find(name);
    if (found == guids.byName.end()) throw std::runtime_error("no header names " + name);
    return found->second;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: quorvel-make-builtin-catalog SYSTEM.REG OUT.inc HEADER...\n";
        return 2;
    }
    try {
        HeaderGuids guids;
        for (int i = 3; i < argc; ++i) ReadHeader(argv[i], guids);

        const RegistryFile registry = LoadWineRegistry(argv[1]);
        if (registry.error)
            throw std::runtime_error(std::string(argv[1]) + ":" + std::to_string(registry.error->line) + ": " +
                                     registry.error->reason);
        const std::unique_ptr<MediaFramework> wine = MakeWineMediaFramework(registry);

        // The registered categories and their filters, in Wine's order.
        std::vector<CategoryRows> categories;
        const auto devices = wine->CreateDeviceEnumerator();
        if (const auto all = devices->CreateClassEnumerator(kActiveMovieCategories)) {
            while (const auto moniker = all->Next()) {
                const auto bag = moniker->BindToStorage();
                const auto clsid = bag ? bag->Read(u"CLSID") : std::nullopt;
                if (!clsid) continue;
                CategoryRows category{ParseGuid(Narrow(*clsid)), Narrow(bag->Read(u"FriendlyName").value_or(u"")), {}};
                if (const auto filters = devices->CreateClassEnumerator(category.category)) {
                    while (const auto filter = filters->Next()) {
                        const auto filterBag = filter->BindToStorage();
                        const auto filterClsid = filterBag ? filterBag->Read(u"CLSID") : std::nullopt;
                        if (!filterClsid) continue;
                        Row row{Narrow(filterBag->Read(u"FriendlyName").value_or(u"")), ParseGuid(Narrow(*filterClsid)), ""};
                        const auto named = guids.byGuid.find(row.clsid);
                        if (named != guids.byGuid.end())
                            row.source = named->second;
                        else if (kStandardWithoutHeader.count(row.name))
                            row.source = "Wine";
                        else
                            continue;  // Wine's own
                        category.rows.push_back(std::move(row));
                    }
                }
                categories.push_back(std::move(category));
            }
        }

        std::vector<Row> dmos;
        if (const auto all = wine->EnumDmos()) {
            while (const auto dmo = all->Next()) {
                const auto named = guids.byGuid.find(dmo->clsid);
                if (named == guids.byGuid.end()) continue;
                dmos.push_back(Row{Narrow(dmo->name), dmo->clsid, named->second});
            }
        }

        for (const Extra& extra : kExtras) {
            Row row{extra.name, Lookup(guids, extra.clsid), extra.clsid};
            if (*extra.category == '\0') {
                if (std::none_of(dmos.begin(), dmos.end(), [&](const Row& r) { return r.clsid == row.clsid; }))
                    dmos.push_back(std::move(row));
                continue;
            }
            const Guid category = Lookup(guids, extra.category);
            auto where = std::find_if(categories.begin(), categories.end(),
                                      [&](const CategoryRows& c) { return c.category == category; });
            if (where == categories.end())
                throw std::runtime_error(std::string("Wine registers no category ") + extra.category);
            if (std::none_of(where->rows.begin(), where->rows.end(), [&](const Row& r) { return r.clsid == row.clsid; }))
                where->rows.push_back(std::move(row));
        }

        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        out << "// Generated by quorvel-make-builtin-catalog (scripts/make-builtin-catalog.sh): do not edit.\n"
               "// The platform's standard filters, category by category, then its DMOs.\n\n"
               "#ifdef QUORVEL_BUILTIN_FILTER\n";
        for (const CategoryRows& category : categories) {
            if (category.rows.empty()) continue;
            out << "// " << category.name << "\n";
            for (const Row& row : category.rows)
                out << "QUORVEL_BUILTIN_FILTER(" << Quoted(FormatGuid(category.category)) << ", " << Quoted(row.name)
                    << ", " << Quoted(FormatGuid(row.clsid)) << ")  // " << row.source << "\n";
        }
        out << "#endif\n\n#ifdef QUORVEL_BUILTIN_DMO\n";
        for (const Row& row : dmos)
            out << "QUORVEL_BUILTIN_DMO(" << Quoted(row.name) << ", " << Quoted(FormatGuid(row.clsid)) << ")  // "
                << row.source << "\n";
        out << "#endif\n";
        out.close();
        if (!out) throw std::runtime_error(std::string("cannot write ") + argv[2]);
    } catch (const std::exception& e) {
        std::cerr << "quorvel-make-builtin-catalog: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
