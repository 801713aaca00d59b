#include "platform/File.hpp"

#include <cerrno>
#include <cstring>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "platform/Paths.hpp"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quorvel {

#ifdef _WIN32

namespace {
std::string LastErrorText() { return SystemErrorText(GetLastError()); }

std::optional<LocalDateTime> LocalFromFileTime(const FILETIME& written) {
    FILETIME local;
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(&written, &local) || !FileTimeToSystemTime(&local, &st)) return std::nullopt;
    LocalDateTime t;
    t.year = st.wYear, t.month = st.wMonth, t.day = st.wDay;
    t.hour = st.wHour, t.minute = st.wMinute, t.second = st.wSecond & ~1;
    t.weekday = st.wDayOfWeek;
    return t;
}

std::uint64_t SizeOf(HANDLE h) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(h, &size)) {
        const std::string reason = LastErrorText();
        CloseHandle(h);
        throw FileError("cannot read size: " + reason);
    }
    return static_cast<std::uint64_t>(size.QuadPart);
}

// Standard input that is not a disk file, copied into a temporary file that
// the system deletes when it is closed.
HANDLE SpoolStandardInput(HANDLE input, std::uint64_t& size) {
    wchar_t folder[MAX_PATH + 1];
    wchar_t name[MAX_PATH + 1];
    if (!GetTempPathW(MAX_PATH + 1, folder) || !GetTempFileNameW(folder, L"qvl", 0, name))
        throw FileError("cannot read standard input: " + LastErrorText());
    HANDLE spool = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (spool == INVALID_HANDLE_VALUE) throw FileError("cannot read standard input: " + LastErrorText());
    const auto block = std::make_unique<char[]>(1 << 20);
    size = 0;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(input, block.get(), 1 << 20, &got, nullptr)) {
            const DWORD error = GetLastError();
            if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) break;
            CloseHandle(spool);
            throw FileError("cannot read standard input: " + SystemErrorText(error));
        }
        if (got == 0) break;
        DWORD written = 0;
        if (!WriteFile(spool, block.get(), got, &written, nullptr) || written != got) {
            const std::string reason = LastErrorText();
            CloseHandle(spool);
            throw FileError("cannot read standard input: " + reason);
        }
        size += got;
    }
    return spool;
}
}  // namespace

ReadOnlyFile ReadOnlyFile::OpenExclusive(const std::filesystem::path& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, 0 /* no sharing */, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw FileError("cannot open: " + LastErrorText());
    if (GetFileType(h) != FILE_TYPE_DISK) {
        CloseHandle(h);
        throw FileError("cannot open: not a file");
    }
    ReadOnlyFile f;
    f.size_ = SizeOf(h);
    f.handle_ = h;
    FILETIME written;
    if (GetFileTime(h, nullptr, nullptr, &written)) f.lastWrite_ = LocalFromFileTime(written);
    return f;
}

ReadOnlyFile ReadOnlyFile::OpenStandardInput() {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (input == INVALID_HANDLE_VALUE || input == nullptr) throw FileError("cannot open: no standard input");
    ReadOnlyFile f;
    if (GetFileType(input) == FILE_TYPE_DISK) {
        HANDLE own = nullptr;
        if (!DuplicateHandle(GetCurrentProcess(), input, GetCurrentProcess(), &own, GENERIC_READ, FALSE, 0))
            throw FileError("cannot open: " + LastErrorText());
        f.size_ = SizeOf(own);
        f.handle_ = own;
        FILETIME written;
        if (GetFileTime(own, nullptr, nullptr, &written)) f.lastWrite_ = LocalFromFileTime(written);
        return f;
    }
    std::uint64_t size = 0;
    f.handle_ = SpoolStandardInput(input, size);
    f.size_ = size;
    return f;
}

void ReadOnlyFile::Close() noexcept {
    if (handle_) CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = nullptr;
}

ReadOnlyFile::ReadOnlyFile(ReadOnlyFile&& o) noexcept
    : handle_(o.handle_), size_(o.size_), lastWrite_(o.lastWrite_) {
    o.handle_ = nullptr;
}
ReadOnlyFile& ReadOnlyFile::operator=(ReadOnlyFile&& o) noexcept {
    if (this != &o) {
        Close();
        handle_ = o.handle_;
        size_ = o.size_;
        lastWrite_ = o.lastWrite_;
        o.handle_ = nullptr;
    }
    return *this;
}

std::size_t ReadOnlyFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t n) const {
    std::size_t total = 0;
    auto* out = static_cast<char*>(buffer);
    while (total < n) {
        OVERLAPPED ov{};
        const std::uint64_t at = offset + total;
        ov.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
        ov.OffsetHigh = static_cast<DWORD>(at >> 32);
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(n - total, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(static_cast<HANDLE>(handle_), out + total, want, &got, &ov)) {
            if (GetLastError() == ERROR_HANDLE_EOF) break;
            throw FileError("read error: " + LastErrorText());
        }
        if (got == 0) break;
        total += got;
    }
    return total;
}

std::optional<LocalDateTime> LastWriteTime(const std::filesystem::path& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return LocalFromFileTime(data.ftLastWriteTime);
}

#else  // POSIX

namespace {
std::string ErrnoText(int err) { return CErrorText(err); }

std::optional<LocalDateTime> LocalFromTime(std::time_t t) {
    std::tm tm{};
    if (!::localtime_r(&t, &tm)) return std::nullopt;
    return LocalDateTimeFromTm(tm, /*evenSeconds=*/true);
}

// Standard input that is not a file, copied to an unnamed temporary file.
int SpoolStandardInput(std::uint64_t& size) {
    const char* tmp = std::getenv("TMPDIR");
    std::string name = std::string(tmp && *tmp ? tmp : "/tmp") + "/quorvel-stdin-XXXXXX";
    const int spool = ::mkostemp(name.data(), O_CLOEXEC);
    if (spool < 0) throw FileError("cannot read standard input: " + ErrnoText(errno));
    ::unlink(name.c_str());
    const auto block = std::make_unique<char[]>(1 << 20);
    size = 0;
    for (;;) {
        const ssize_t got = ::read(0, block.get(), 1 << 20);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            const int err = errno;
            ::close(spool);
            throw FileError("cannot read standard input: " + ErrnoText(err));
        }
        if (got == 0) break;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(spool, block.get() + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) {
                const int err = put < 0 ? errno : ENOSPC;
                ::close(spool);
                throw FileError("cannot read standard input: " + ErrnoText(err));
            }
            done += put;
        }
        size += static_cast<std::uint64_t>(got);
    }
    return spool;
}
}  // namespace

ReadOnlyFile ReadOnlyFile::OpenStandardInput() {
    struct stat st {};
    if (::fstat(0, &st) != 0) throw FileError("cannot open: " + ErrnoText(errno));
    ReadOnlyFile f;
    if (S_ISREG(st.st_mode)) {
        f.fd_ = ::fcntl(0, F_DUPFD_CLOEXEC, 3);
        if (f.fd_ < 0) throw FileError("cannot open: " + ErrnoText(errno));
        f.size_ = static_cast<std::uint64_t>(st.st_size);
        f.lastWrite_ = LocalFromTime(st.st_mtime);
        return f;
    }
    std::uint64_t size = 0;
    f.fd_ = SpoolStandardInput(size);
    f.size_ = size;
    return f;
}

ReadOnlyFile ReadOnlyFile::OpenExclusive(const std::filesystem::path& path) {
    // Non-blocking, so that a named pipe is refused below instead of waiting
    // for a writer; for a regular file the flag changes nothing.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) throw FileError("cannot open: " + ErrnoText(errno));
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        throw FileError(err == EWOULDBLOCK ? "cannot open: the file is in use by another process"
                                           : "cannot lock: " + ErrnoText(err));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        throw FileError("cannot read size: " + ErrnoText(err));
    }
    // Folders, pipes and devices hold no saved graph; a pipe or a device
    // could also be read for ever.
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        throw FileError("cannot open: not a file");
    }
    ReadOnlyFile f;
    f.fd_ = fd;
    f.size_ = static_cast<std::uint64_t>(st.st_size);
    f.lastWrite_ = LocalFromTime(st.st_mtime);
    return f;
}

void ReadOnlyFile::Close() noexcept {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
    fd_ = -1;
}

ReadOnlyFile::ReadOnlyFile(ReadOnlyFile&& o) noexcept : fd_(o.fd_), size_(o.size_), lastWrite_(o.lastWrite_) {
    o.fd_ = -1;
}
ReadOnlyFile& ReadOnlyFile::operator=(ReadOnlyFile&& o) noexcept {
    if (this != &o) {
        Close();
        fd_ = o.fd_;
        size_ = o.size_;
        lastWrite_ = o.lastWrite_;
        o.fd_ = -1;
    }
    return *this;
}

std::size_t ReadOnlyFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t n) const {
    std::size_t total = 0;
    auto* out = static_cast<char*>(buffer);
    while (total < n) {
        const ssize_t got = ::pread(fd_, out + total, n - total, static_cast<off_t>(offset + total));
        if (got < 0) {
            if (errno == EINTR) continue;
            throw FileError("read error: " + ErrnoText(errno));
        }
        if (got == 0) break;
        total += static_cast<std::size_t>(got);
    }
    return total;
}

std::optional<LocalDateTime> LastWriteTime(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return LocalFromTime(st.st_mtime);
}

#endif

ReadOnlyFile::~ReadOnlyFile() { Close(); }

}  // namespace quorvel
