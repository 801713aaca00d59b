#include "diagram/GraphLayout.hpp"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <set>
#include <string>

#ifdef QUORVEL_HAVE_GRAPHVIZ
#include <graphviz/cgraph.h>
#include <graphviz/gvc.h>
#if !defined(_WIN32)
#define QUORVEL_LAYOUT_IN_CHILD 1
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#endif
#endif

// The memory limit is left out under AddressSanitizer, whose shadow memory
// alone is far above any limit worth setting.
#if defined(__SANITIZE_ADDRESS__)
#define QUORVEL_NO_MEMORY_LIMIT 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORVEL_NO_MEMORY_LIMIT 1
#endif
#endif

namespace quorvel::diagram {

std::string DurationText(double seconds) {
    if (seconds > 86400) return "> 24 h";
    if (seconds < 90) return std::to_string(std::max(1L, std::lround(seconds))) + " s";
    if (seconds < 5400) return std::to_string(std::lround(seconds / 60)) + " min";
    return std::to_string(std::lround(seconds / 3600)) + " h";
}

#ifdef QUORVEL_HAVE_GRAPHVIZ

namespace {

using Kind = LayoutError::Kind;

// Graphviz is one library for the whole process and not safe to use from two
// threads at once: calls are taken one at a time.
std::mutex& GraphvizLock() {
    static std::mutex graphviz;
    return graphviz;
}

// One context for the whole process, never freed: Graphviz's text layout
// plugin remembers the last font it measured by a pointer into the context's
// fonts, so a second layout after a freed context (the window lays out graph
// after graph) would read freed memory.
GVC_t* Context() {
    static GVC_t* const context = gvContext();
    if (!context) throw LayoutError(Kind::Failed, "Graphviz could not start");
    return context;
}

// The layout itself, in this process; the caller holds the lock.
std::string LayOut(std::string_view dot, const char* format) {
    agseterr(AGERR);  // warnings are Graphviz's business, not the user's
    GVC_t* const context = Context();
    const std::string text(dot);
    Agraph_t* graph = agmemread(text.c_str());
    if (!graph) throw LayoutError(Kind::Failed, "Graphviz could not read the graph's description");
    std::string out;
    const bool laid = gvLayout(context, graph, "dot") == 0;
    if (laid) {
        char* data = nullptr;
        unsigned int length = 0;
        if (gvRenderData(context, graph, format, &data, &length) == 0 && data) out.assign(data, length);
        gvFreeRenderData(data);
        gvFreeLayout(context, graph);
    }
    agclose(graph);
    if (out.empty())
        throw LayoutError(Kind::Failed,
                          laid ? "Graphviz could not draw the graph" : "Graphviz could not lay the graph out");
    return out;
}

#ifdef QUORVEL_LAYOUT_IN_CHILD

// Graphviz loads its plugins and fonts at its first layout: done here once
// per format, so that a child never has to load a library (a forked child of
// a program with threads must not).
void WarmUp(const char* format) {
    static std::set<std::string> warm;
    if (!warm.insert(format).second) return;
    LayOut("digraph { a -> b [label=<x>] }", format);
}

// The child's memory limit: what it has from its parent, and the budget.
void LimitMemory(std::size_t budget) {
#ifndef QUORVEL_NO_MEMORY_LIMIT
    std::size_t pages = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        unsigned long size = 0, resident = 0, shared = 0, text = 0, lib = 0, data = 0;
        if (std::fscanf(statm, "%lu %lu %lu %lu %lu %lu", &size, &resident, &shared, &text, &lib, &data) == 6)
            pages = data;
        std::fclose(statm);
    }
    const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + budget;
    const struct rlimit data = {limit, limit};
    ::setrlimit(RLIMIT_DATA, &data);
#else
    (void)budget;
#endif
}

bool WriteAll(int fd, const char* data, std::size_t n) {
    while (n > 0) {
        const ssize_t written = ::write(fd, data, n);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        n -= static_cast<std::size_t>(written);
    }
    return true;
}

// The child: lays out, writes a status byte and the result, and leaves
// without running anything of its parent's (no exit handlers, no
// destructors).
[[noreturn]] void RunChild(int fd, std::string_view dot, const char* format, const LayoutLimits& limits) {
    for (const int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) ::signal(sig, SIG_DFL);
    // A second guard beside the parent's timer: the processor time itself.
    const rlim_t cpu = static_cast<rlim_t>(std::ceil(limits.seconds)) + 2;
    const struct rlimit cpuLimit = {cpu, cpu + 1};
    ::setrlimit(RLIMIT_CPU, &cpuLimit);
    LimitMemory(limits.memoryBytes);
    std::string message;
    try {
        message = "S" + LayOut(dot, format);
    } catch (const LayoutError& e) {
        message = std::string("E") + e.what();
    } catch (const std::bad_alloc&) {
        message = "M";
    } catch (...) {
        message = "EGraphviz failed";
    }
    _exit(WriteAll(fd, message.data(), message.size()) ? 0 : 1);
}

std::string Megabytes(std::size_t bytes) { return std::to_string(bytes >> 20) + " MB"; }

// Waits for the child's answer, or stops it.
std::string Collect(pid_t child, int fd, const LayoutLimits& limits) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(limits.seconds));
    std::string received;
    const auto stop = [&](Kind kind, const std::string& why) {
        ::kill(child, SIGKILL);
        ::close(fd);
        ::waitpid(child, nullptr, 0);
        throw LayoutError(kind, why);
    };
    char chunk[1 << 16];
    for (;;) {
        if (limits.cancelled && limits.cancelled()) stop(Kind::Cancelled, "the picture is no longer wanted");
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            stop(Kind::TimedOut, "Graphviz took longer than " + DurationText(limits.seconds) + " to lay the graph out");
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
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU)
        throw LayoutError(Kind::TimedOut, "Graphviz took longer than " + DurationText(limits.seconds) + " to lay the graph out");
    if (!received.empty() && received[0] == 'S') return received.substr(1);
    if (!received.empty() && received[0] == 'E') throw LayoutError(Kind::Failed, received.substr(1));
    // Graphviz leaves the process when an allocation fails.
    throw LayoutError(Kind::Memory, "Graphviz stopped before the end, past its memory limit of " +
                                        Megabytes(limits.memoryBytes) + " or on an error of its own");
}

std::string LayOutInChild(std::string_view dot, const char* format, const LayoutLimits& limits) {
    const std::lock_guard<std::mutex> one(GraphvizLock());
    WarmUp(format);
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        throw LayoutError(Kind::Failed, std::string("cannot start the layout: ") + std::strerror(errno));
    // Nothing buffered for our own outputs is written twice.
    std::cout.flush();
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0) {
        const int error = errno;
        ::close(ends[0]);
        ::close(ends[1]);
        throw LayoutError(Kind::Failed, std::string("cannot start the layout: ") + std::strerror(error));
    }
    if (child == 0) {
        ::close(ends[0]);
        RunChild(ends[1], dot, format, limits);
    }
    ::close(ends[1]);
    return Collect(child, ends[0], limits);
}

#endif  // QUORVEL_LAYOUT_IN_CHILD

std::string LayOutWithin(std::string_view dot, const char* format, const LayoutLimits& limits) {
#ifdef QUORVEL_LAYOUT_IN_CHILD
    return LayOutInChild(dot, format, limits);
#else
    (void)limits;
    const std::lock_guard<std::mutex> one(GraphvizLock());
    return LayOut(dot, format);
#endif
}

}  // namespace

bool LayoutAvailable() { return true; }

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
