#include "platform/OutputFile.hpp"

#include <array>
#include <cerrno>
#include <optional>
#include <streambuf>

#include "platform/Paths.hpp"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#endif

namespace quorvel {

namespace fs = std::filesystem;

#ifndef _WIN32
namespace {

// The temporary files being written, where a signal handler can find them
// and remove them before the process dies: a fixed table claimed with
// atomics, no lock, no allocation.  A name too long for a slot, or a full
// table, is not listed; that file alone is then left by a signal.
constexpr int kLeavingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

struct TemporarySlot {
    std::atomic<bool> claimed{false};
    std::atomic<bool> listed{false};  // `path` is whole and names a file of ours
    char path[PATH_MAX];
};
static_assert(std::atomic<bool>::is_always_lock_free);
TemporarySlot temporarySlots[16];

void RemoveTemporariesAndDie(int number) {
    for (TemporarySlot& slot : temporarySlots)
        if (slot.listed.load(std::memory_order_acquire)) ::unlink(slot.path);
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(number, &fallback, nullptr);
    // Not held back while handled (SA_NODEFER): the process dies of it here.
    ::raise(number);
}

// Once, for the signals still at their default: one the program was started
// ignoring (nohup) or that someone else handles is left to them.
void HandleLeavingSignals() {
    static const bool handled = [] {
        for (const int number : kLeavingSignals) {
            struct sigaction current {};
            if (::sigaction(number, nullptr, &current) != 0 || (current.sa_flags & SA_SIGINFO) ||
                current.sa_handler != SIG_DFL)
                continue;
            // The others wait until the process is dead of this one.
            struct sigaction ours {};
            ours.sa_handler = RemoveTemporariesAndDie;
            sigemptyset(&ours.sa_mask);
            for (const int other : kLeavingSignals)
                if (other != number) sigaddset(&ours.sa_mask, other);
            ours.sa_flags = SA_NODEFER;
            ::sigaction(number, &ours, nullptr);
        }
        return true;
    }();
    (void)handled;
}

int ListTemporary(const std::string& path) noexcept {
    if (path.size() >= PATH_MAX) return -1;
    for (int i = 0; i < static_cast<int>(std::size(temporarySlots)); ++i) {
        TemporarySlot& slot = temporarySlots[i];
        bool unclaimed = false;
        if (!slot.claimed.compare_exchange_strong(unclaimed, true, std::memory_order_acquire)) continue;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        slot.listed.store(true, std::memory_order_release);
        return i;
    }
    return -1;
}

// After the file is renamed or removed: a signal in between only unlinks a
// name that is gone.
void UnlistTemporary(int& slot) noexcept {
    if (slot < 0) return;
    temporarySlots[slot].listed.store(false, std::memory_order_release);
    temporarySlots[slot].claimed.store(false, std::memory_order_release);
    slot = -1;
}

}  // namespace
#endif

class OutputFile::Buffer final : public std::streambuf {
public:
    explicit Buffer(fs::path target) : target_(std::move(target)), shown_(PathText(target_)) {
        setp(bytes_.data(), bytes_.data() + bytes_.size());
    }
    ~Buffer() override { Abandon(); }

    void CheckTarget(const std::vector<fs::path>& inputs) const;
    void Open();
    bool Opened() const { return state_ == State::Direct || state_ == State::Temporary; }
    bool Failed() const { return state_ == State::Failed; }
    void Commit();
    void Abandon() noexcept;

protected:
    int_type overflow(int_type c) override {
        if (sync() != 0) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override {
        const std::size_t n = static_cast<std::size_t>(pptr() - pbase());
        if (n == 0) return Failed() ? -1 : 0;
        if (!ReadyToWrite() || !WriteAll(pbase(), n)) return -1;
        setp(bytes_.data(), bytes_.data() + bytes_.size());
        return 0;
    }
    // A piece as big as the buffer goes out as it is, after what the buffer
    // holds, rather than being copied through it.
    std::streamsize xsputn(const char* s, std::streamsize count) override {
        if (static_cast<std::size_t>(count) < bytes_.size()) return std::streambuf::xsputn(s, count);
        if (sync() != 0 || !ReadyToWrite() || !WriteAll(s, static_cast<std::size_t>(count))) return 0;
        return count;
    }

private:
    enum class State { NotOpen, Direct, Temporary, Failed, Closed };

    [[noreturn]] void Fail(std::string reason) {
        failure_ = std::move(reason);
        state_ = State::Failed;
        throw OutputError(shown_, failure_);
    }
    // Opens the target before its first byte; false once writing has failed.
    bool ReadyToWrite() {
        if (state_ == State::Closed) return false;
        if (state_ == State::NotOpen) {
            try {
                Open();
            } catch (const OutputError&) {
                return false;
            }
        }
        return !Failed();
    }
    void OpenTarget();
    bool WriteAll(const char* data, std::size_t n);
    void CloseHandleQuietly() noexcept;
    void RemoveTemporary() noexcept;

    fs::path target_;
    std::string shown_;     // the target as the user named it
    fs::path destination_;  // where the temporary file goes in the end
    fs::path temporary_;
    State state_ = State::NotOpen;
    std::string failure_;
#ifdef _WIN32
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    bool ownsHandle_ = true;
    bool replaceExisting_ = false;
#else
    int fd_ = -1;
    int slot_ = -1;  // where a signal finds the temporary file
#endif
    std::array<char, 1 << 16> bytes_{};
};

void OutputFile::Buffer::Open() {
    if (state_ == State::Failed) throw OutputError(shown_, failure_);
    if (state_ != State::NotOpen) return;
    OpenTarget();
}

void OutputFile::Buffer::Commit() {
    if (state_ == State::NotOpen || state_ == State::Closed) return;
    if (sync() != 0 || Failed()) {
        Abandon();
        throw OutputError(shown_, failure_.empty() ? std::string("write failed") : failure_);
    }
    if (state_ == State::Direct) {
        CloseHandleQuietly();
        state_ = State::Closed;
        return;
    }
#ifdef _WIN32
    const bool flushed = FlushFileBuffers(handle_) != 0;
    const DWORD flushError = flushed ? 0 : GetLastError();
    CloseHandleQuietly();
    if (!flushed) {
        RemoveTemporary();
        Fail(SystemErrorText(flushError));
    }
    // ReplaceFileW keeps the target's attributes and access rights.
    bool moved = replaceExisting_ && ReplaceFileW(destination_.c_str(), temporary_.c_str(), nullptr,
                                                  REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
    if (!moved)
        moved = MoveFileExW(temporary_.c_str(), destination_.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!moved) {
        const DWORD error = GetLastError();
        RemoveTemporary();
        Fail(SystemErrorText(error));
    }
#else
    if (::fsync(fd_) != 0) {
        const int error = errno;
        RemoveTemporary();
        Fail(CErrorText(error));
    }
    const int closed = ::close(fd_);
    const int closeError = errno;
    fd_ = -1;
    if (closed != 0) {
        RemoveTemporary();
        Fail(CErrorText(closeError));
    }
    if (::rename(temporary_.c_str(), destination_.c_str()) != 0) {
        const int error = errno;
        RemoveTemporary();
        Fail(CErrorText(error));
    }
    UnlistTemporary(slot_);
    // The rename itself reaches the disk with its folder.
    const fs::path folder = destination_.parent_path().empty() ? fs::path(".") : destination_.parent_path();
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
#endif
    temporary_.clear();
    state_ = State::Closed;
}

void OutputFile::Buffer::Abandon() noexcept {
    CloseHandleQuietly();
    RemoveTemporary();
    if (state_ != State::Failed) state_ = State::Closed;
    setp(bytes_.data(), bytes_.data() + bytes_.size());
}

#ifdef _WIN32

namespace {

// A read-only file is not replaced, as the system would not write into it.
std::optional<std::string> WriteRefusal(const fs::path& file) {
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return CErrorText(EACCES);
    return std::nullopt;
}

}  // namespace

void OutputFile::Buffer::OpenTarget() {
    if (target_ == fs::path(kStandardOutput)) {
        handle_ = GetStdHandle(STD_OUTPUT_HANDLE);
        ownsHandle_ = false;
        if (handle_ == INVALID_HANDLE_VALUE || handle_ == nullptr) Fail(SystemErrorText(GetLastError()));
        state_ = State::Direct;
        return;
    }
    const DWORD attributes = GetFileAttributesW(target_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) Fail(CErrorText(EISDIR));
    if (const std::optional<std::string> refused = WriteRefusal(target_)) Fail(*refused);
    // Devices and pipes (NUL, CON, \\.\pipe\...) are written straight into.
    HANDLE existing = CreateFileW(target_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (existing != INVALID_HANDLE_VALUE) {
        if (GetFileType(existing) != FILE_TYPE_DISK) {
            handle_ = existing;
            state_ = State::Direct;
            return;
        }
        CloseHandle(existing);
        replaceExisting_ = true;
    }
    destination_ = target_;
    const fs::path folder = target_.parent_path();
    const ULONGLONG seed = GetTickCount64() ^ (static_cast<ULONGLONG>(GetCurrentProcessId()) << 32);
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        const std::wstring name = L"." + target_.filename().wstring() + L".quorvel-" +
                                  std::to_wstring((seed + attempt * 7919u) % 1000000007u);
        temporary_ = folder / name;
        handle_ = CreateFileW(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
        if (handle_ != INVALID_HANDLE_VALUE) {
            state_ = State::Temporary;
            return;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) break;
    }
    const DWORD error = GetLastError();
    temporary_.clear();
    Fail(SystemErrorText(error));
}

bool OutputFile::Buffer::WriteAll(const char* data, std::size_t n) {
    while (n > 0) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(n, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(handle_, data, want, &written, nullptr) || written == 0) {
            failure_ = SystemErrorText(GetLastError());
            state_ = State::Failed;
            return false;
        }
        data += written;
        n -= written;
    }
    return true;
}

void OutputFile::Buffer::CloseHandleQuietly() noexcept {
    if (handle_ != INVALID_HANDLE_VALUE && ownsHandle_) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

void OutputFile::Buffer::RemoveTemporary() noexcept {
    if (!temporary_.empty()) DeleteFileW(temporary_.c_str());
    temporary_.clear();
}

#else  // POSIX

namespace {

// One of our own descriptors under another name: /dev/stdout, /dev/fd/N,
// /proc/self/fd/N.  Opening such a name anew would start a second file
// description, at offset 0 and without the shell's append mode.
std::optional<int> DescriptorAlias(const fs::path& path) {
    const std::string& text = path.native();
    if (text == "/dev/stdin") return 0;
    if (text == "/dev/stdout") return 1;
    if (text == "/dev/stderr") return 2;
    for (const std::string& prefix : {std::string("/dev/fd/"), std::string("/proc/self/fd/"),
                                     std::string("/proc/thread-self/fd/"),
                                     "/proc/" + std::to_string(::getpid()) + "/fd/"}) {
        if (text.size() <= prefix.size() || text.size() > prefix.size() + 9 || text.compare(0, prefix.size(), prefix))
            continue;
        int fd = 0;
        for (std::size_t i = prefix.size(); i < text.size(); ++i) {
            if (text[i] < '0' || text[i] > '9') return std::nullopt;
            fd = fd * 10 + (text[i] - '0');
        }
        return fd;
    }
    return std::nullopt;
}

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// An existing file the user may not write is not replaced, even where the
// folder would let us: the shell's ">" test, for the effective user.
std::optional<std::string> WriteRefusal(const fs::path& file) {
    if (::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) == 0) return std::nullopt;
    return CErrorText(errno);
}

}  // namespace

void OutputFile::Buffer::OpenTarget() {
    if (target_ == fs::path(kStandardOutput)) target_ = "/dev/stdout";
    // Follow symbolic links to the file they name, so that the link stays.
    fs::path at = target_;
    for (int hop = 0;; ++hop) {
        if (const std::optional<int> alias = DescriptorAlias(at)) {
            fd_ = ::fcntl(*alias, F_DUPFD_CLOEXEC, 3);
            if (fd_ < 0) Fail(CErrorText(errno));
            state_ = State::Direct;
            return;
        }
        struct stat link {};
        if (::lstat(at.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) break;
        if (hop == 40) Fail(CErrorText(ELOOP));
        std::error_code ec;
        const fs::path next = fs::read_symlink(at, ec);
        if (ec) Fail(CErrorText(ec.value()));
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    destination_ = at;

    mode_t mode = 0666 & ~CurrentUmask();
    struct stat st {};
    bool exists = false;
    if (::stat(at.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) Fail(CErrorText(EISDIR));
        if (!S_ISREG(st.st_mode)) {
            // A pipe or a device: written straight into, as a shell's ">" would.
            fd_ = ::open(at.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
            if (fd_ < 0) Fail(CErrorText(errno));
            state_ = State::Direct;
            return;
        }
        if (const std::optional<std::string> refused = WriteRefusal(at)) Fail(*refused);
        exists = true;
        mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        Fail(CErrorText(errno));
    }

    const fs::path folder = at.parent_path().empty() ? fs::path(".") : at.parent_path();
    std::string name = (folder / ("." + at.filename().native() + ".quorvel-XXXXXX")).native();
    HandleLeavingSignals();
    // Made and listed with those signals held back, so that none comes between.
    sigset_t leaving;
    sigset_t before;
    sigemptyset(&leaving);
    for (const int number : kLeavingSignals) sigaddset(&leaving, number);
    ::pthread_sigmask(SIG_BLOCK, &leaving, &before);
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    const int made = errno;
    if (fd_ >= 0) slot_ = ListTemporary(name);
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
    if (fd_ < 0) Fail(CErrorText(made));
    temporary_ = name;
    state_ = State::Temporary;
    ::fchmod(fd_, mode);
    // Root replacing another user's file gives it back to that user.
    if (exists && (st.st_uid != ::geteuid() || st.st_gid != ::getegid()))
        if (::fchown(fd_, st.st_uid, st.st_gid) != 0) ::fchmod(fd_, mode & 0777);
}

bool OutputFile::Buffer::WriteAll(const char* data, std::size_t n) {
    while (n > 0) {
        const ssize_t written = ::write(fd_, data, n);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            failure_ = CErrorText(written < 0 ? errno : ENOSPC);
            state_ = State::Failed;
            return false;
        }
        data += written;
        n -= static_cast<std::size_t>(written);
    }
    return true;
}

void OutputFile::Buffer::CloseHandleQuietly() noexcept {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void OutputFile::Buffer::RemoveTemporary() noexcept {
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    UnlistTemporary(slot_);
    temporary_.clear();
}

#endif

void OutputFile::Buffer::CheckTarget(const std::vector<fs::path>& inputs) const {
    if (target_ == fs::path(kStandardOutput)) return;
#ifndef _WIN32
    if (DescriptorAlias(target_)) return;  // already open, the shell's choice
#endif
    std::error_code ec;
    // A new file, a pipe or a device destroys nothing.
    if (!fs::is_regular_file(fs::status(target_, ec))) return;
    for (const fs::path& input : inputs) {
        if (input == fs::path("-")) {
#ifndef _WIN32
            // Standard input the shell opened on the target itself.
            struct stat in {}, out {};
            if (::fstat(0, &in) == 0 && ::stat(target_.c_str(), &out) == 0 && S_ISREG(in.st_mode) &&
                in.st_dev == out.st_dev && in.st_ino == out.st_ino)
                throw OutputError(shown_, "it is one of the input files");
#endif
            continue;
        }
        if (fs::equivalent(target_, input, ec) && !ec) throw OutputError(shown_, "it is one of the input files");
    }
    if (const std::optional<std::string> refused = WriteRefusal(target_)) throw OutputError(shown_, *refused);
}

bool NamesATerminal(const fs::path& target) {
#ifdef _WIN32
    (void)target;
    return false;
#else
    if (target == fs::path(OutputFile::kStandardOutput)) return ::isatty(1) != 0;
    if (const std::optional<int> alias = DescriptorAlias(target)) return ::isatty(*alias) != 0;
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) return false;
    const int fd = ::open(target.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    const bool terminal = ::isatty(fd) != 0;
    ::close(fd);
    return terminal;
#endif
}

OutputFile::OutputFile(fs::path target) : buffer_(std::make_unique<Buffer>(std::move(target))), stream_(buffer_.get()) {}

OutputFile::~OutputFile() { Abandon(); }

void OutputFile::CheckTarget(const std::vector<fs::path>& inputs) const { buffer_->CheckTarget(inputs); }
void OutputFile::Open() { buffer_->Open(); }
bool OutputFile::Opened() const { return buffer_->Opened(); }
bool OutputFile::Failed() const { return buffer_->Failed() || stream_.fail(); }

void OutputFile::Commit() {
    stream_.flush();
    buffer_->Commit();
}

void OutputFile::Abandon() noexcept { buffer_->Abandon(); }

}  // namespace quorvel
