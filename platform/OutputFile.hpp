// Where a report or a log goes, written so that no run ever destroys a file:
//
// - a regular file (or a new one) is written as a temporary file in the same
//   folder, flushed and synced, then renamed over the target; a symbolic link
//   is followed first, so the link stays and its target is replaced; the
//   target's permission bits (and, where allowed, its owner) are kept;
// - anything else (a pipe, a character device, /dev/stdout, /dev/fd/N) is
//   written straight into, never renamed over; an alias of one of our own
//   descriptors writes through that descriptor, so a shell's ">>" holds;
// - "-" is standard output;
// - an existing file the user may not write is refused, as a shell's ">"
//   refuses it, and CheckTarget() refuses beforehand a target that is one of
//   the run's own input files, by whatever name or link;
// - while a temporary file exists, SIGINT, SIGTERM, SIGHUP and SIGPIPE remove
//   it before the process dies of them (POSIX).
//
// Nothing is opened before the first byte is written: a run that makes no
// report leaves the target untouched.  Bytes go through a fixed buffer, never
// a second copy of the whole output.
#pragma once

#include <filesystem>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvel {

// The target named as the user gave it, and the system's reason.
class OutputError : public std::runtime_error {
public:
    OutputError(std::string target, std::string reason)
        : std::runtime_error("cannot write " + target + ": " + reason),
          target_(std::move(target)),
          reason_(std::move(reason)) {}
    const std::string& target() const { return target_; }
    const std::string& reason() const { return reason_; }

private:
    std::string target_;
    std::string reason_;
};

class OutputFile {
public:
    static constexpr const char* kStandardOutput = "-";

    explicit OutputFile(std::filesystem::path target);
    ~OutputFile();  // an uncommitted output is abandoned
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // The stream to write into; it opens the target at its first byte.  After
    // a failure it is bad and takes nothing more.
    std::ostream& Stream() { return stream_; }

    // Throws OutputError, before anything is opened, when the target is one
    // of `inputs` ("-": standard input, when the shell opened it on the
    // target) or a file the user may not write: the run is refused before
    // any work rather than at its end.
    void CheckTarget(const std::vector<std::filesystem::path>& inputs) const;

    // Opens the target now, if not yet; throws OutputError.
    void Open();
    bool Opened() const;
    // A write or the open failed; Commit() will throw.
    bool Failed() const;

    // Flushes and syncs, then renames a temporary file over the target.
    // Throws OutputError (the target is then as it was).  Without a single
    // byte written, nothing happens: the target is not touched.
    void Commit();
    // Drops what was written to a temporary file; the target stays as it was.
    void Abandon() noexcept;

    class Buffer;

private:
    std::unique_ptr<Buffer> buffer_;
    std::ostream stream_;
};

// Whether the target, as OutputFile would write it, is a terminal: standard
// output for "-", one of our descriptors for /dev/stdout or /dev/fd/N, a
// terminal device such as /dev/tty.  Nothing is written.
bool NamesATerminal(const std::filesystem::path& target);

}  // namespace quorvel
