// Read access to a graph file: opened read-only and exclusively, so that no
// other process changes it while it is analysed, and read at explicit offsets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
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
    // Opens `path` for reading with no sharing.  On POSIX the exclusivity is a
    // non-blocking exclusive flock(), refused while another holder has one.
    // Throws FileError.
    static ReadOnlyFile OpenExclusive(const std::filesystem::path& path);

    // Standard input as a file: itself when it is one (a shell's "< file"),
    // otherwise (a pipe, a terminal) its bytes copied to an unnamed temporary
    // file as they come, so that memory stays flat.  Throws FileError.
    static ReadOnlyFile OpenStandardInput();

    ReadOnlyFile(ReadOnlyFile&& other) noexcept;
    ReadOnlyFile& operator=(ReadOnlyFile&& other) noexcept;
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    ~ReadOnlyFile();

    std::uint64_t Size() const { return size_; }

    // Reads up to n bytes at offset; returns the number read (less only at the
    // end of the file).  Throws FileError on a read error.
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) const;

    // The open file's last-write time (see LastWriteTime); nullopt for a copy
    // of standard input, which has none of its own.
    std::optional<LocalDateTime> LastWrite() const { return lastWrite_; }

private:
    ReadOnlyFile() = default;
    void Close() noexcept;

#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
    std::uint64_t size_ = 0;
    std::optional<LocalDateTime> lastWrite_;
};

// The last-write time of a file in local time, at the two-second precision of
// the stamp the platform's file age gives; nullopt when the file is not found.
std::optional<LocalDateTime> LastWriteTime(const std::filesystem::path& path);

}  // namespace quorvel
