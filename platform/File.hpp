// Read access to a graph file: opened read-only and exclusively, so that no
// other process changes it while it is analysed, and read at explicit offsets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/DateTime.hpp"

namespace quorvel {

class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ReadOnlyFile {
public:
    // Opens `path` (UTF-8 on Windows, native bytes elsewhere) for reading with
    // no sharing.  On POSIX the exclusivity is a non-blocking exclusive flock(),
    // refused while another holder has one.  Throws FileError.
    static ReadOnlyFile OpenExclusive(const std::string& path);

    ReadOnlyFile(ReadOnlyFile&& other) noexcept;
    ReadOnlyFile& operator=(ReadOnlyFile&& other) noexcept;
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    ~ReadOnlyFile();

    std::uint64_t Size() const { return size_; }

    // Reads up to n bytes at offset; returns the number read (less only at the
    // end of the file).  Throws FileError on a read error.
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) const;

private:
    ReadOnlyFile() = default;
    void Close() noexcept;

#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
    std::uint64_t size_ = 0;
};

// The last-write time of a file in local time, at the two-second precision of
// the stamp the platform's file age gives; nullopt when the file is not found.
std::optional<LocalDateTime> LastWriteTime(const std::string& path);

}  // namespace quorvel
