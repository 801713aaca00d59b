// quorvel-layout: lays out one graph with Graphviz for the programs, in a
// process of its own that they can limit and stop.  Not for users: the
// programs start it with
//     quorvel-layout FORMAT SECONDS MEMORY_BYTES PARENT_PID
// the DOT text on standard input; it answers on standard output with "S" and
// Graphviz's output, or "E" and the reason it could not.  Its processor time
// and memory are limited as asked, and it dies with the program that started
// it.
#include <graphviz/cgraph.h>
#include <graphviz/gvc.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <new>
#include <string>

namespace {

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

// Leaves without exit handlers: nothing is left to tidy, and a leak checker
// has nothing to say about a process that ends here.
[[noreturn]] void Answer(const std::string& message) { _exit(WriteAll(1, message.data(), message.size()) ? 0 : 1); }

std::string LayOut(const std::string& dot, const char* format) {
    agseterr(AGERR);  // warnings are Graphviz's business, not the user's
    GVC_t* const context = gvContext();
    if (!context) return "EGraphviz could not start";
    Agraph_t* graph = agmemread(dot.c_str());
    if (!graph) return "EGraphviz could not read the graph's description";
    std::string out;
    const bool laid = gvLayout(context, graph, "dot") == 0;
    if (laid) {
        char* data = nullptr;
        unsigned int length = 0;
        if (gvRenderData(context, graph, format, &data, &length) == 0 && data) out.assign(data, length);
        gvFreeRenderData(data);
    }
    if (out.empty()) return laid ? "EGraphviz could not draw the graph" : "EGraphviz could not lay the graph out";
    return "S" + out;
}

void Limit(int resource, rlim_t soft, rlim_t hard) {
    const struct rlimit limit = {soft, hard};
    ::setrlimit(resource, &limit);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "quorvel-layout: started by the Quorvel programs only\n";
        return 2;
    }
#ifdef __linux__
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
    if (::getppid() != static_cast<pid_t>(std::strtol(argv[4], nullptr, 10))) return 1;  // already orphaned
    // The time itself is the parent's to watch; this is the guard should
    // the parent be unable to.
    const double seconds = std::strtod(argv[2], nullptr);
    const rlim_t cpu = static_cast<rlim_t>(std::ceil(seconds > 0 ? seconds : 1)) + 2;
    Limit(RLIMIT_CPU, cpu, cpu + 1);
#ifndef QUORVEL_NO_MEMORY_LIMIT
    const rlim_t memory = static_cast<rlim_t>(std::strtoull(argv[3], nullptr, 10));
    if (memory > 0) Limit(RLIMIT_AS, memory, memory);
#endif
    std::string dot;
    char chunk[1 << 16];
    for (ssize_t n; (n = ::read(0, chunk, sizeof chunk)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) Answer("Ecannot read the graph's description");
        dot.append(chunk, static_cast<std::size_t>(n));
    }
    try {
        Answer(LayOut(dot, argv[1]));
    } catch (const std::bad_alloc&) {
        Answer("M");
    }
}
