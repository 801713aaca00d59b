#include "diagram/GraphLayout.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#if defined(QUORVEL_HAVE_GRAPHVIZ) && !defined(_WIN32)
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <vector>

extern char** environ;
#endif

namespace quorvel::diagram {

std::string DurationText(double seconds) {
    if (seconds > 86400) return "> 24 h";
    if (seconds < 9.95) {
        char text[16];
        std::snprintf(text, sizeof text, "%.1f s", seconds);
        return text;
    }
    if (seconds < 90) return std::to_string(std::lround(seconds)) + " s";
    if (seconds < 5400) return std::to_string(std::lround(seconds / 60)) + " min";
    return std::to_string(std::lround(seconds / 3600)) + " h";
}

#if defined(QUORVEL_HAVE_GRAPHVIZ) && !defined(_WIN32)

namespace {

using Kind = LayoutError::Kind;
namespace fs = std::filesystem;

// The helper that runs Graphviz: beside the program (an installed tree or
// the build tree of the programs), else where it was installed.
const fs::path& Helper() {
    static const fs::path found = [] {
        std::error_code ec;
        std::vector<fs::path> places;
        const fs::path self = fs::read_symlink("/proc/self/exe", ec);
        if (!ec) {
            places.push_back(self.parent_path() / "quorvel-layout");
            places.push_back(self.parent_path().parent_path() / "libexec" / "quorvel" / "quorvel-layout");
        }
        places.push_back(QUORVEL_LAYOUT_HELPER_INSTALLED);
        places.push_back(QUORVEL_LAYOUT_HELPER_BUILT);
        for (const fs::path& place : places)
            if (::access(place.c_str(), X_OK) == 0) return place;
        return fs::path();
    }();
    return found;
}

std::string Megabytes(std::size_t bytes) { return std::to_string(bytes >> 20) + " MB"; }

// A limit as it was set: "10 s", "100 s".
std::string LimitText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%g s", seconds);
    return text;
}

[[noreturn]] void Fail(Kind kind, const std::string& why) { throw LayoutError(kind, why); }

// The DOT text in a file of no name, for the helper's standard input: no
// pipe to write into while the helper may already be gone.
int DotFile(std::string_view dot) {
    std::FILE* file = std::tmpfile();
    if (!file) Fail(Kind::Failed, std::string("cannot start the layout: ") + std::strerror(errno));
    const bool written = std::fwrite(dot.data(), 1, dot.size(), file) == dot.size() && std::fflush(file) == 0;
    const int fd = written ? ::dup(::fileno(file)) : -1;
    std::fclose(file);
    if (fd < 0 || ::lseek(fd, 0, SEEK_SET) != 0) {
        if (fd >= 0) ::close(fd);
        Fail(Kind::Failed, "cannot start the layout: the graph's description could not be written");
    }
    return fd;
}

pid_t Spawn(int input, int output, const char* format, const LayoutLimits& limits) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input, 0);
    posix_spawn_file_actions_adddup2(&actions, output, 1);
    // The helper starts with the signals at their defaults, whatever ours.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) sigaddset(&defaults, sig);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    const std::string seconds = LimitText(limits.seconds);
    const std::string memory = std::to_string(limits.memoryBytes);
    const std::string parent = std::to_string(::getpid());
    const std::string helper = Helper().native();
    char* argv[] = {const_cast<char*>(helper.c_str()), const_cast<char*>(format), const_cast<char*>(seconds.c_str()),
                    const_cast<char*>(memory.c_str()), const_cast<char*>(parent.c_str()), nullptr};
    pid_t child = -1;
    const int error = posix_spawn(&child, helper.c_str(), &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) Fail(Kind::Failed, "cannot start the layout: " + helper + ": " + std::strerror(error));
    return child;
}

// Waits for the helper's answer, or stops it.
std::string Collect(pid_t child, int fd, const LayoutLimits& limits) {
    using Clock = std::chrono::steady_clock;
    const auto deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(limits.seconds));
    std::string received;
    const auto stop = [&](Kind kind, const std::string& why) {
        ::kill(child, SIGKILL);
        ::close(fd);
        ::waitpid(child, nullptr, 0);
        Fail(kind, why);
    };
    const std::string overtime = "Graphviz took longer than " + LimitText(limits.seconds) + " to lay the graph out";
    char chunk[1 << 16];
    for (;;) {
        if (limits.cancelled && limits.cancelled()) stop(Kind::Cancelled, "the picture is no longer wanted");
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) stop(Kind::TimedOut, overtime);
        struct pollfd wait = {fd, POLLIN, 0};
        const int ready = ::poll(&wait, 1, static_cast<int>(std::min<long long>(left, 100)));
        if (ready < 0 && errno != EINTR) stop(Kind::Failed, std::string("cannot wait for Graphviz: ") + std::strerror(errno));
        if (ready <= 0) continue;
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        received.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(fd);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU) Fail(Kind::TimedOut, overtime);
    if (!received.empty() && received[0] == 'S') return received.substr(1);
    if (!received.empty() && received[0] == 'E') Fail(Kind::Failed, received.substr(1));
    // Graphviz leaves the process when an allocation fails.
    Fail(Kind::Memory, "Graphviz stopped before the end, past its memory limit of " + Megabytes(limits.memoryBytes) +
                           " or on an error of its own");
}

std::string LayOutWithin(std::string_view dot, const char* format, const LayoutLimits& limits) {
    if (Helper().empty()) Fail(Kind::Failed, "quorvel-layout, which runs Graphviz, is not installed");
    const int input = DotFile(dot);
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        ::close(input);
        Fail(Kind::Failed, std::string("cannot start the layout: ") + std::strerror(errno));
    }
    pid_t child = -1;
    try {
        child = Spawn(input, ends[1], format, limits);
    } catch (...) {
        ::close(input);
        ::close(ends[0]);
        ::close(ends[1]);
        throw;
    }
    ::close(input);
    ::close(ends[1]);
    return Collect(child, ends[0], limits);
}

}  // namespace

bool LayoutAvailable() { return !Helper().empty(); }

std::string Render(std::string_view dot, const char* format, const LayoutLimits& limits) {
    return LayOutWithin(dot, format, limits);
}

std::string RenderSvg(std::string_view dot, const LayoutLimits& limits) {
    std::string svg = LayOutWithin(dot, "svg", limits);
    // Standalone: no document type that names an outside DTD.
    if (const std::size_t doctype = svg.find("<!DOCTYPE"); doctype != std::string::npos)
        if (const std::size_t end = svg.find('>', doctype); end != std::string::npos)
            svg.erase(doctype, end + 1 - doctype + (end + 1 < svg.size() && svg[end + 1] == '\n'));
    return svg;
}

#else

bool LayoutAvailable() { return false; }

std::string Render(std::string_view, const char*, const LayoutLimits&) {
    throw LayoutError(LayoutError::Kind::Failed,
                      "this build has no Graphviz: the graph cannot be laid out here (DOT text can be written)");
}

std::string RenderSvg(std::string_view dot, const LayoutLimits& limits) { return Render(dot, "svg", limits); }

#endif

}  // namespace quorvel::diagram
