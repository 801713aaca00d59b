// Start-up cost of the catalog where the platform's enumerators are absent:
// reading a Wine prefix's system.reg of about 2 MB (the size of a prefix
// with a few programs installed) and appending the built-in table.  Both
// front-ends pay it once before their window or first report; it must stay
// well under 50 ms.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "catalog/InstalledCatalog.hpp"
#include "tests/support/WellKnown.hpp"
#include "tests/support/WineRegistrySample.hpp"

namespace {

constexpr std::size_t kTargetBytes = 2 * 1024 * 1024;

std::string Hex8(unsigned v) {
    char buf[9];
    std::snprintf(buf, sizeof buf, "%08X", v);
    return buf;
}

// A GUID text that differs by `n`.
std::string GuidText(unsigned n) { return "{" + Hex8(n) + "-1234-5678-9ABC-DEF012345678}"; }

// Registry text in Wine's format: the filter categories with a few hundred
// registered filters and DMOs, amid the thousands of unrelated keys (COM
// classes with binary values and continuation lines) that make up most of a
// real prefix.
std::string MakeSystemReg() {
    std::string reg(quorvel::testing::winereg::kHeader);
    const std::string categoryRoot =
        "Software\\\\Classes\\\\CLSID\\\\" + std::string(quorvel::wellknown::kActiveMovieCategories) + "\\\\Instance\\\\";
    for (unsigned c = 0; c < 12; ++c) {
        reg += "[" + categoryRoot + GuidText(0xCA000000 + c) + "] 1796854558\n#time=1dd882ade106a7e\n";
        reg += "\"CLSID\"=\"" + GuidText(0xCA000000 + c) + "\"\n\"FriendlyName\"=\"Category " + std::to_string(c) +
               "\"\n\"Merit\"=dword:00200000\n\n";
        for (unsigned f = 0; f < 40; ++f) {
            const std::string clsid = GuidText(0xF0000000 + c * 100 + f);
            reg += "[Software\\\\Classes\\\\CLSID\\\\" + GuidText(0xCA000000 + c) + "\\\\Instance\\\\" + clsid +
                   "] 1796854558\n#time=1dd882ade106a7e\n\"CLSID\"=\"" + clsid + "\"\n";
            reg += "\"FilterData\"=hex:02,00,00,00,00,00,60,00,02,00,00,00,00,00,00,00,30,70,69,33,\\\n"
                   "  08,00,00,00,00,00,00,00,01,00,00,00,00,00,00,00,00,00,00,00,30,74,79,33\n";
            reg += "\"FriendlyName\"=\"Filter " + std::to_string(c) + "." + std::to_string(f) + "\"\n\n";
        }
    }
    for (unsigned d = 0; d < 60; ++d) {
        const std::string clsid = GuidText(0xD0000000 + d);
        reg += "[Software\\\\Classes\\\\DirectShow\\\\MediaObjects\\\\" + clsid.substr(1, 36) +
               "] 1796854559\n@=\"DMO " + std::to_string(d) + "\"\n\"InputTypes\"=hex:61,75,64,73,00,00,10,00,\\\n"
               "  80,00,00,aa,00,38,9b,71,01,00,00,00,00,00,10,00,80,00,00,aa,00,38,9b,71\n\n";
    }
    for (unsigned k = 0; reg.size() < kTargetBytes; ++k) {
        const std::string clsid = GuidText(0x10000000 + k);
        reg += "[Software\\\\Classes\\\\CLSID\\\\" + clsid + "\\\\InprocServer32] 1796854555\n#time=1dd882adc420dc4\n"
               "@=\"C:\\\\windows\\\\system32\\\\component" + std::to_string(k) + ".dll\"\n\"ThreadingModel\"=\"Both\"\n\n";
    }
    return reg;
}

void BM_InstalledCatalogFromWinePrefix(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / ("quorvel-bench-prefix-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string reg = MakeSystemReg();
    std::ofstream(dir / "system.reg", std::ios::binary) << reg;
    ::setenv("WINEPREFIX", dir.c_str(), 1);

    std::size_t filters = 0;
    for (auto _ : state) {
        quorvel::FilterCatalog catalog;
        quorvel::BuildInstalledCatalog(catalog);
        filters = catalog.FilterList.size();
        benchmark::DoNotOptimize(catalog.FilterList.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * reg.size()));
    state.counters["filters"] = static_cast<double>(filters);
    state.counters["reg_bytes"] = static_cast<double>(reg.size());
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_InstalledCatalogFromWinePrefix)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
