// quorvel-make-bench-graph: writes the large graph that
// bench/compare-with-iconv.sh times quorvel-report on (about 6 MB, 9999
// filters, 10000 connections).  The same bytes on every run.
#include <exception>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>

#include "bench/BenchGraph.hpp"

int main(int argc, char** argv) {
    if (argc != 2 || std::string(argv[1]) == "-h" || std::string(argv[1]) == "--help") {
        std::cerr << "Usage: quorvel-make-bench-graph FILE\n";
        return 2;
    }
    const std::string path = argv[1];
    try {
        const quorvel::testing::Bytes file = quorvel::bench::BenchGraphFile();
        // iconv stops at an unpaired surrogate; the comparison needs it to read the whole file.
        if (quorvel::bench::HasUnpairedSurrogate(file))
            throw std::runtime_error("the graph holds an unpaired UTF-16 surrogate");
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        out.close();
        if (!out) throw std::runtime_error("cannot write " + path);
        std::cout << path << ": " << file.size() << " bytes\n";
    } catch (const std::exception& e) {
        std::cerr << "quorvel-make-bench-graph: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
