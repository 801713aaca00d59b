// The large graph that the benchmarks and the comparison with iconv read: a
// few megabytes of filters and connections of the kinds real graphs hold,
// generated the same way on every run.
#pragma once

#include <cstddef>

#include "tests/support/GraphBuilder.hpp"

namespace quorvel::bench {

// Filter ids are four digits, so a graph holds at most 9999 filters.
inline constexpr int kBenchFilters = 9999;
inline constexpr int kBenchConnections = 10000;

// The graph stream (version 0003): `filters` filters cycling through capture
// devices, DMO and codec wrappers, file sources and writers, splitters,
// converters and renderers; `connections` connections between them with
// VideoInfo blocks (88 and 100 bytes), WaveFormatEx blocks (18 and 30 bytes),
// GUID_NULL and FORMAT_None types; the system clock; END.
testing::Bytes BenchGraphStream(int filters = kBenchFilters, int connections = kBenchConnections);

// The stream in a graph file, starting at 2560 as large streams do.
testing::Bytes BenchGraphFile(int filters = kBenchFilters, int connections = kBenchConnections);

// True when the bytes, read as UTF-16LE from offset 0, hold a surrogate code
// unit that is not part of a pair: iconv stops there, so the comparison would
// measure only part of the file.
bool HasUnpairedSurrogate(const testing::Bytes& bytes);

}  // namespace quorvel::bench
