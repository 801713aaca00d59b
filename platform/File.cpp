#include "platform/File.hpp"

#include <cerrno>
#include <cstring>
#include <ctime>

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
std::wstring Widen(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
    return w;
}
std::string LastErrorText() { return "error " + std::to_string(GetLastError()); }
}  // namespace

ReadOnlyFile ReadOnlyFile::OpenExclusive(const std::string& path) {
    HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_READ, 0 /* no sharing */, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw FileError("cannot open: " + LastErrorText());
    LARGE_INTEGER size;
    if (!GetFileSizeEx(h, &size)) {
        CloseHandle(h);
        throw FileError("cannot read size: " + LastErrorText());
    }
    ReadOnlyFile f;
    f.handle_ = h;
    f.size_ = static_cast<std::uint64_t>(size.QuadPart);
    return f;
}

void ReadOnlyFile::Close() noexcept {
    if (handle_) CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = nullptr;
}

ReadOnlyFile::ReadOnlyFile(ReadOnlyFile&& o) noexcept : handle_(o.handle_), size_(o.size_) { o.handle_ = nullptr; }
ReadOnlyFile& ReadOnlyFile::operator=(ReadOnlyFile&& o) noexcept {
    if (this != &o) {
        Close();
        handle_ = o.handle_;
        size_ = o.size_;
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

std::optional<LocalDateTime> LastWriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    FILETIME local;
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &st))
        return std::nullopt;
    LocalDateTime t;
    t.year = st.wYear, t.month = st.wMonth, t.day = st.wDay;
    t.hour = st.wHour, t.minute = st.wMinute, t.second = st.wSecond & ~1;
    t.weekday = st.wDayOfWeek;
    return t;
}

#else  // POSIX

namespace {
std::string ErrnoText(int err) { return std::strerror(err); }
}  // namespace

ReadOnlyFile ReadOnlyFile::OpenExclusive(const std::string& path) {
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
    return f;
}

void ReadOnlyFile::Close() noexcept {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
    fd_ = -1;
}

ReadOnlyFile::ReadOnlyFile(ReadOnlyFile&& o) noexcept : fd_(o.fd_), size_(o.size_) { o.fd_ = -1; }
ReadOnlyFile& ReadOnlyFile::operator=(ReadOnlyFile&& o) noexcept {
    if (this != &o) {
        Close();
        fd_ = o.fd_;
        size_ = o.size_;
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

std::optional<LocalDateTime> LastWriteTime(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    std::tm tm{};
    const std::time_t t = st.st_mtime;
    if (!::localtime_r(&t, &tm)) return std::nullopt;
    return LocalDateTimeFromTm(tm, /*evenSeconds=*/true);
}

#endif

ReadOnlyFile::~ReadOnlyFile() { Close(); }

}  // namespace quorvel
