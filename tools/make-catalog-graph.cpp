// quorvel-make-catalog-graph CATALOG.json OUT.grf
//
// Writes a graph holding one filter per CLSID of a catalog file, and one DMO
// wrapper per DMO, each under a graph name of its own ("Filter 0001"...), so
// that a report can only name them from a catalog.  Prints, one per line, the
// text that a report read with that catalog must show for each of them.
//
// The Windows build is checked with it: the catalog comes from the platform's
// enumerators (quorvel-report.exe --dump-catalog under Wine), the graph from
// here, and the report of quorvel-report.exe must name every filter.
#include <exception>
#include <fstream>
#include <iostream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "catalog/CatalogFile.hpp"
#include "platform/TextConv.hpp"
#include "tests/support/GraphBuilder.hpp"
#include "tests/support/WellKnown.hpp"

namespace {

using namespace quorvel;
using namespace quorvel::testing;
namespace wk = quorvel::wellknown;

struct GuidOrder {
    bool operator()(const Guid& a, const Guid& b) const { return a.bytes < b.bytes; }
};
using GuidSet = std::set<Guid, GuidOrder>;

// The report names these from their own saved data or from its own table,
// never from the catalog; a graph of them would prove nothing here.
const GuidSet kNotNamedFromCatalog = {
    MakeGuid(wk::kDmoWrapper),
    MakeGuid(wk::kAcmWrapper),
    MakeGuid(wk::kAviCompressor),
    MakeGuid(wk::kKsProxy),
    MakeGuid(wk::kVideoMixingRenderer),  // video renderer components
    MakeGuid(wk::kVideoRendererDefault),
    MakeGuid(wk::kVideoPortManager),
    MakeGuid(wk::kVideoMixer),
    Guid{},
};

constexpr Guid kAudioDecoderCategory = MakeGuid(wk::kDmoAudioDecoderCategory);

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: quorvel-make-catalog-graph CATALOG.json OUT.grf\n";
        return 2;
    }
    try {
        const FilterCatalog catalog = LoadCatalogFile(argv[1]);
        std::vector<std::string> expected;
        GraphStream s("0003");
        s.Filters();
        int id = 0;

        GuidSet seen;
        for (const TfilterItem& item : catalog.FilterList) {
            if (kNotNamedFromCatalog.count(item.CLSID) != 0 || !seen.insert(item.CLSID).second) continue;
            ++id;
            FilterSpec f;
            f.id = FourDigits(id);
            f.name = "Filter " + f.id;
            f.clsid = FormatGuid(item.CLSID);
            s.Filter(f);
            // The first entry of a CLSID names it.
            expected.push_back(f.id + "  \"" + f.name + "\"  : " + Utf8FromAnsi(catalog.FindFilter(item.CLSID)->Name) +
                               " " + f.clsid);
        }
        for (const TDMOItem& dmo : catalog.DmoList) {
            if (!seen.insert(dmo.CLSID).second) continue;
            ++id;
            FilterSpec f;
            f.id = FourDigits(id);
            f.name = "Filter " + f.id;
            f.clsid = wk::kDmoWrapper;
            f.data = DmoWrapperData(dmo.CLSID, kAudioDecoderCategory);
            s.Filter(f);
            expected.push_back(f.id + "  \"" + f.name + "\"  : " + Utf8FromAnsi(catalog.FindDmo(dmo.CLSID)->Name) +
                               " " + FormatGuid(dmo.CLSID) + " cat= Audio Decoder");
        }
        if (id == 0) throw std::runtime_error(std::string(argv[1]) + ": no filter or DMO to put in a graph");
        s.Connections();
        s.Clock(true, wk::kSystemClock);
        s.End();

        const Bytes file = GraphFile(s.bytes());
        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        out.close();
        if (!out) throw std::runtime_error(std::string(argv[2]) + ": cannot write");
        for (const std::string& line : expected) std::cout << line << '\n';
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "quorvel-make-catalog-graph: " << e.what() << '\n';
        return 1;
    }
}
