// quorvel-make-bench-graph: writes the large graph that
// bench/compare-with-iconv.sh times quorvel-report on (about 6 MB, 9999
// filters, 10000 connections), or a smaller one of the same kinds for
// profiling under valgrind.  The same bytes on every run.
#include <exception>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>

#include "bench/BenchGraph.hpp"

namespace {

int Usage() {
    std::cerr << "Usage: quorvel-make-bench-graph [--filters N] [--connections N] FILE\n"
                 "  defaults: 9999 filters (the most four-digit ids allow), 10000 connections\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    int filters = quorvel::bench::kBenchFilters;
    int connections = quorvel::bench::kBenchConnections;
    std::string path;
    try {
        for (int i = 1; i < argc; ++i) {
            const std::string arg = argv[i];
            if ((arg == "--filters" || arg == "--connections") && i + 1 < argc)
                (arg == "--filters" ? filters : connections) = std::stoi(argv[++i]);
            else if (!arg.empty() && arg[0] != '-' && path.empty())
                path = arg;
            else
                return Usage();
        }
    } catch (const std::exception&) {
        return Usage();
    }
    if (path.empty() || filters < 1 || filters > 9999 || connections < 0) return Usage();

    try {
        const quorvel::testing::Bytes file = quorvel::bench::BenchGraphFile(filters, connections);
        // iconv stops at an unpaired surrogate; the comparison needs it to read the whole file.
        if (quorvel::bench::HasUnpairedSurrogate(file))
            throw std::runtime_error("the graph holds an unpaired UTF-16 surrogate");
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        out.close();
        if (!out) throw std::runtime_error("cannot write " + path);
        std::cout << path << ": " << file.size() << " bytes, " << filters << " filters, " << connections
                  << " connections\n";
    } catch (const std::exception& e) {
        std::cerr << "quorvel-make-bench-graph: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
