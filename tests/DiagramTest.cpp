// The picture of the graph: its DOT text read back by Graphviz's own reader,
// the short media types on the edges, and the nodes of connection ends that
// a name alone does not resolve.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cerrno>
#include <chrono>
#include <string>
#include <vector>

#ifdef __linux__
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "diagram/GraphDiagram.hpp"
#include "diagram/GraphLayout.hpp"
#include "tests/support/AnalysisHarness.hpp"
#include "tests/support/HostileGraphs.hpp"

#ifdef QUORVEL_HAVE_GRAPHVIZ
#include <graphviz/cgraph.h>
#endif

namespace quorvel::testing {
namespace {

model::Filter NamedFilter(std::string id, std::string name) {
    model::Filter f;
    f.id = std::move(id);
    f.name = std::move(name);
    f.clsid = std::string(wellknown::kAviSplitter);
    return f;
}

model::Connection Between(const model::Graph& g, const std::string& from, const std::string& to) {
    const auto end = [&](const std::string& name, const char* pin) {
        model::PinEnd e{name, std::nullopt, pin};
        std::size_t bearers = 0;
        for (const model::Filter& f : g.filters)
            if (f.name == name) ++bearers, e.filterId = f.id;
        if (bearers != 1) e.filterId.reset();
        return e;
    };
    return model::Connection{end(from, "Out \"1\""), end(to, "In <&>"), {}};
}

// Names that DOT and its HTML labels would take for syntax.
model::Graph HostileGraph() {
    model::Graph g;
    g.filters.push_back(NamedFilter("0001", R"(Source "quoted" \back\ <b>&amp;)"));
    g.filters.push_back(NamedFilter("0002", "Décodeur — 図"));
    g.filters.push_back(NamedFilter("0003", "Twin"));
    g.filters.push_back(NamedFilter("0004", "Twin"));
    g.connections.push_back(Between(g, g.filters[0].name, g.filters[1].name));
    g.connections.push_back(Between(g, g.filters[1].name, "Twin"));     // names two filters
    g.connections.push_back(Between(g, "Twin", "Nowhere"));             // and one that names none
    g.connections.push_back(Between(g, g.filters[0].name, "Nowhere"));  // the same unresolved node again
    return g;
}

#ifdef QUORVEL_HAVE_GRAPHVIZ
struct Counts {
    int nodes = -1;
    int edges = -1;
};

// Graphviz's own reader: -1 when it refuses the text.
Counts ReadBack(const std::string& dot) {
    Counts c;
    Agraph_t* g = agmemread(dot.c_str());
    if (!g) return c;
    c.nodes = agnnodes(g);
    c.edges = agnedges(g);
    agclose(g);
    return c;
}

TEST(Diagram, GraphvizReadsTheDotTextWithANodePerFilterAndAnEdgePerConnection) {
    const model::Graph g = HostileGraph();
    const std::string dot = diagram::DotText(g, "a \"title\" \\ too \x1b]0;owned\a\xc2\x9b");
    // Nothing of a file's name reaches a terminal, or Graphviz's SVG, raw.
    for (const std::string control : {"\x1b", "\a", "\xc2\x9b"}) EXPECT_EQ(dot.find(control), std::string::npos);
    const Counts c = ReadBack(dot);
    // Four filters and the two unresolved names ("Twin" and "Nowhere").
    EXPECT_EQ(c.nodes, 6) << dot;
    EXPECT_EQ(c.edges, 4) << dot;
    for (const char* mark : {"non résolu : plusieurs filtres portent ce nom", "non résolu : aucun filtre ne porte ce nom",
                             "&lt;b&gt;&amp;amp;", "Décodeur — 図"})
        EXPECT_NE(dot.find(mark), std::string::npos) << mark;
    const std::string svg = diagram::RenderSvg(dot);
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_EQ(svg.find("<!DOCTYPE"), std::string::npos);  // standalone
}

// The texts Graphviz draws in a node, as its JSON output gives them.
std::vector<std::string> DrawnTexts(const std::string& dot, const std::string& node) {
    std::vector<std::string> texts;
    const nlohmann::json laid = nlohmann::json::parse(diagram::Render(dot, "json"));
    for (const nlohmann::json& object : laid.at("objects"))
        if (object.value("name", "") == node)
            for (const nlohmann::json& op : object.value("_ldraw_", nlohmann::json::array()))
                if (op.value("op", "") == "T") texts.push_back(op.at("text").get<std::string>());
    return texts;
}

TEST(Diagram, LabelsDrawTheNamesAsTheyAre) {
    const std::string longName(17000, 'x');
    struct Case {
        std::string name;
        std::string drawn;
    };
    const Case cases[] = {
        {R"(back\slash \l \n \N \G \\ end\)", R"(back\slash \l \n \N \G \\ end\)"},
        {"tab\there", "tab\u2409here"},
        {longName, std::string(200, 'x') + "\u2026"},
    };
    for (const Case& c : cases) {
        model::Graph g;
        g.filters.push_back(NamedFilter("0001", c.name));
        g.connections.push_back(Between(g, c.name, c.name));
        const std::string dot = diagram::DotText(g, c.name);
        ASSERT_EQ(ReadBack(dot).nodes, 1) << c.drawn;
        const std::vector<std::string> texts = DrawnTexts(dot, "f1");
        EXPECT_NE(std::find(texts.begin(), texts.end(), c.drawn), texts.end()) << c.drawn;
    }
}

// The budget: a graph Graphviz would take too long for is told from its
// shape before any layout, and a layout is stopped at its limits.
TEST(Diagram, EveryGraphIsDrawnWithinItsBudgetOrRefusedBeforeHand) {
    struct Case {
        const char* shape;
        model::Graph graph;
        bool drawn;
    };
    const Case cases[] = {
        {"10 filters, 200 connections", RandomConnectionsGraph(10, 200), true},
        {"a chain of 1,000 filters", ChainGraph(1000), true},
        {"300 filters, 400 connections", RandomConnectionsGraph(300, 400), true},
        {"30 filters, 500 connections", RandomConnectionsGraph(30, 500), false},
        {"50 filters, 1,000 connections", RandomConnectionsGraph(50, 1000), false},
        {"999 filters, 5,000 connections", RandomConnectionsGraph(999, 5000), false},
    };
    for (const Case& c : cases) {
        const diagram::LayoutEstimate estimate = diagram::EstimateLayout(c.graph);
        EXPECT_EQ(estimate.seconds <= diagram::kDefaultLayoutSeconds, c.drawn) << c.shape << ": " << estimate.seconds;
        if (!c.drawn || !diagram::LayoutAvailable()) continue;
        // Drawn indeed, given time for the slower builds (the sanitizers').
        diagram::LayoutLimits generous;
        generous.seconds = 120;
        EXPECT_NE(diagram::RenderSvg(diagram::DotText(c.graph, "g"), generous).find("<svg"), std::string::npos)
            << c.shape;
    }
}

#if !defined(__SANITIZE_ADDRESS__)
#define QUORVEL_TEST_MEMORY_LIMIT 1
#endif

TEST(Diagram, ALayoutPastItsLimitsIsStopped) {
    using Kind = diagram::LayoutError::Kind;
    const std::string dot = diagram::DotText(RandomConnectionsGraph(30, 500), "slow");  // 10 s and more
    const auto started = std::chrono::steady_clock::now();
    struct Case {
        const char* limit;
        diagram::LayoutLimits limits;
        Kind kind;
    };
    std::vector<Case> cases = {
        {"one second", {1, diagram::kDefaultLayoutMemory, {}}, Kind::TimedOut},
        {"no longer wanted", {60, diagram::kDefaultLayoutMemory,
                              [&]() { return std::chrono::steady_clock::now() - started > std::chrono::milliseconds(300); }},
         Kind::Cancelled},
    };
#ifdef QUORVEL_TEST_MEMORY_LIMIT
    cases.push_back({"8 MB of memory", {60, std::size_t{8} << 20, {}}, Kind::Memory});
#endif
    for (const Case& c : cases) {
        const auto begun = std::chrono::steady_clock::now();
        try {
            diagram::RenderSvg(dot, c.limits);
            ADD_FAILURE() << c.limit << ": drawn";
        } catch (const diagram::LayoutError& e) {
            EXPECT_EQ(e.kind(), c.kind) << c.limit << ": " << e.what();
        }
        // Stopped at once, not when Graphviz would have finished.
        EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::seconds(5)) << c.limit;
    }
    // Graphviz still draws once a layout has been stopped.
    EXPECT_NE(diagram::RenderSvg(diagram::DotText(ChainGraph(3), "after")).find("<svg"), std::string::npos);
}

#ifdef __linux__
TEST(Diagram, ALayoutDiesWithItsProgram) {
    // Orphans come to this process, which can then see them end.
    ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    const std::string dot = diagram::DotText(RandomConnectionsGraph(30, 500), "slow");
    const pid_t program = ::fork();
    if (program == 0) {
        diagram::LayoutLimits limits;
        limits.seconds = 60;
        try {
            diagram::RenderSvg(dot, limits);
        } catch (...) {
        }
        ::_exit(0);
    }
    ASSERT_GT(program, 0);
    ::sleep(1);  // its layout under way
    ::kill(program, SIGKILL);
    ::waitpid(program, nullptr, 0);
    // Its Graphviz process, if it outlived it, is ours now: it must be gone
    // within moments, not when the layout would have ended.
    const auto begun = std::chrono::steady_clock::now();
    bool lingering = true;
    while (std::chrono::steady_clock::now() - begun < std::chrono::seconds(5)) {
        const pid_t ended = ::waitpid(-1, nullptr, WNOHANG);
        if (ended < 0 && errno == ECHILD) {
            lingering = false;
            break;
        }
        if (ended == 0) ::usleep(50000);
    }
    ::prctl(PR_SET_CHILD_SUBREAPER, 0);
    EXPECT_FALSE(lingering);
}
#endif

TEST(Diagram, AStoppedAnalysisDrawsWhatWasRead) {
    GraphStream s;
    s.Filters().Filter({"0001", "A", wellknown::kAviSplitter}).Filter({"0002", "B", wellknown::kAviSplitter});
    s.Connections().Connection({1, "Out", 2, "In", {}});
    const Bytes whole = GraphFile(s.bytes(), 3072, false);
    for (std::size_t size = 3072; size < whole.size(); size += 29) {
        const Analysed a = AnalyzeFileBytes(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size)));
        const Counts c = ReadBack(diagram::DotText(a.result.graph, "cut"));
        EXPECT_EQ(c.nodes, static_cast<int>(a.result.graph.filters.size())) << size;
        EXPECT_EQ(c.edges, static_cast<int>(a.result.graph.connections.size())) << size;
    }
}
#endif

TEST(Diagram, EdgesSayTheMediaTypeInAFewWords) {
    struct Case {
        MediaTypeSpec type;
        std::string expected;
    };
    const Case cases[] = {
        {{wellknown::kMediatypeVideo, wellknown::kSubtypeRgb24, '1', '0', "0000921600", wellknown::kFormatVideoInfo,
          VideoInfoHeader(640, -480, 24, 0)},
         "Video RGB24 640×480"},
        {{wellknown::kMediatypeAudio, wellknown::kSubtypePcm, '1', '0', "0000000004", wellknown::kFormatWaveFormatEx,
          WaveFormatEx(1, 2, 44100, 16)},
         "Audio PCM 44100 Hz 2 ch"},
        {{wellknown::kMediatypeVideo, "{E06D8026-DB46-11CF-B4D1-00805F6CBBEA}", '0', '1', "0000000000",
          wellknown::kGuidNull},
         "MPEG2 Video"},
        {{"{12345678-9ABC-DEF0-1234-56789ABCDEF0}", "{12345678-9ABC-DEF0-1234-56789ABCDEF1}", '0', '0', "0000000000",
          wellknown::kGuidNull},
         "{12345678-9ABC-DEF0-1234-56789ABCDEF1}"},
    };
    for (const Case& c : cases) {
        GraphStream s;
        s.Filters().Filter({"0001", "A", wellknown::kAviSplitter}).Filter({"0002", "B", wellknown::kAviSplitter});
        s.Connections().Connection({1, "Out", 2, "In", c.type});
        s.Clock(false, "0000").End();
        const Analysed a = AnalyzeStream(s);
        ASSERT_EQ(a.result.graph.connections.size(), 1u);
        EXPECT_EQ(diagram::ShortMediaType(a.result.graph.connections[0].mediaType), c.expected);
    }
}

}  // namespace
}  // namespace quorvel::testing
