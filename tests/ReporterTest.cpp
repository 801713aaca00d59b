// quorvel-report: its command line, and whole runs of the program.
#include <gtest/gtest.h>

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/ReporterOptions.hpp"
#include "tests/support/GraphBuilder.hpp"
#include "tests/support/WellKnown.hpp"

namespace quorvel::testing {
namespace {

TEST(ReporterOptions, ParsesEveryForm) {
    const ParsedOptions p = ParseReporterOptions({"--format=json", "-o", "out.txt", "--no-catalog", "a.grf", "--", "-b.grf"});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.options.format, ReportFormat::Json);
    EXPECT_EQ(p.options.output, "out.txt");
    EXPECT_TRUE(p.options.noCatalog);
    EXPECT_EQ(p.options.files, (std::vector<std::string>{"a.grf", "-b.grf"}));
}

TEST(ReporterOptions, UsageErrors) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {},
             {"--format", "pdf", "a.grf"},
             {"--format"},
             {"--catalog-file", "c.json", "--no-catalog", "a.grf"},
             {"--colour", "a.grf"},
             {"--dump-catalog", "a.grf"},
             {"--layout-budget=0", "a.grf"},
             {"--layout-budget", "1.5", "a.grf"},
             {"--layout-budget=99999999999", "a.grf"},
             {"-o"}}) {
        EXPECT_NE(ParseReporterOptions(args).error, "") << ::testing::PrintToString(args);
    }
    EXPECT_EQ(ParseReporterOptions({"--help"}).error, "");
    EXPECT_EQ(ParseReporterOptions({"--dump-catalog"}).error, "");
    EXPECT_EQ(ParseReporterOptions({"--dump-catalog", "--no-catalog", "-o", "c.json"}).error, "");
}

TEST(ReporterOptions, FormatFromOptionThenExtensionThenColour) {
    struct Case {
        std::vector<std::string> args;
        bool color;
        ReportFormat expected;
    };
    const Case cases[] = {
        {{"a.grf"}, true, ReportFormat::Ansi},
        {{"a.grf"}, false, ReportFormat::Text},
        {{"-o", "x.log", "a.grf"}, true, ReportFormat::Rtf},
        {{"-o", "x.RTF", "a.grf"}, false, ReportFormat::Rtf},
        {{"-o", "x.html", "a.grf"}, false, ReportFormat::Html},
        {{"-o", "x.json", "a.grf"}, false, ReportFormat::Json},
        {{"-o", "x.txt", "a.grf"}, true, ReportFormat::Text},
        {{"-o", "x.out", "a.grf"}, false, ReportFormat::Text},
        {{"-o", "x.out", "a.grf"}, true, ReportFormat::Ansi},
        {{"-o", "-", "a.grf"}, true, ReportFormat::Ansi},
        {{"--format", "html", "-o", "x.log", "a.grf"}, false, ReportFormat::Html},
        {{"--format", "ansi", "--color=never", "a.grf"}, false, ReportFormat::Ansi},
    };
    for (const Case& c : cases) {
        const ParsedOptions p = ParseReporterOptions(c.args);
        ASSERT_EQ(p.error, "");
        EXPECT_EQ(ChooseReportFormat(p.options, c.color), c.expected) << ::testing::PrintToString(c.args);
    }
}

TEST(ReporterOptions, ColourOnATerminalUnlessTheEnvironmentSaysNo) {
    struct Case {
        std::string option;
        bool terminal;
        const char* noColor;
        const char* term;
        bool expected;
    };
    const Case cases[] = {
        {"auto", true, nullptr, "xterm-256color", true},
        {"auto", false, nullptr, "xterm", false},
        {"auto", true, "1", "xterm", false},
        {"auto", true, "", "xterm", true},  // set but empty: no opinion
        {"auto", true, nullptr, "dumb", false},
        {"auto", true, nullptr, nullptr, true},
        {"always", false, "1", "dumb", true},
        {"never", true, nullptr, "xterm", false},
    };
    for (const Case& c : cases) {
        const ParsedOptions p = ParseReporterOptions({"--color=" + c.option, "a.grf"});
        ASSERT_EQ(p.error, "");
        EXPECT_EQ(ColorWanted(p.options.color, c.terminal, c.noColor, c.term), c.expected)
            << c.option << " terminal=" << c.terminal << " NO_COLOR=" << (c.noColor ? c.noColor : "(unset)")
            << " TERM=" << (c.term ? c.term : "(unset)");
    }
    EXPECT_NE(ParseReporterOptions({"--color=sometimes", "a.grf"}).error, "");
}

struct ProcessRun {
    int status;
    std::string out;
    std::string err;
};

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// `before` may pipe something into the reporter.
ProcessRun RunReporter(const std::string& args, const std::string& before = "") {
    const std::string errors = WriteTempFile("reporter-stderr.txt", {});
    const std::string command = before + std::string(QUORVEL_REPORT_EXE) + " " + args + " 2>" + errors;
    FILE* pipe = ::popen(command.c_str(), "r");
    ProcessRun run{-1, {}, {}};
    if (!pipe) return run;
    std::array<char, 4096> buf{};
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) run.out.append(buf.data(), n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = Contents(errors);
    return run;
}

Bytes SmallGraphFile(bool complete) {
    GraphStream s;
    s.Filters().Filter({"0001", "Source", "{11111111-2222-3333-4444-555555555555}", "", {}});
    s.Connections();
    if (complete) s.Clock(false, "0000").End();
    return GraphFile(s.bytes(), 3072, complete);
}

TEST(Reporter, ExitStatusAndOneJsonArrayForSeveralFiles) {
    const std::string good = WriteTempFile("reporter-good.grf", SmallGraphFile(true));
    const std::string cut = WriteTempFile("reporter-cut.grf", SmallGraphFile(false));

    const ProcessRun ok = RunReporter("--format json --no-catalog " + good);
    EXPECT_EQ(ok.status, 0);
    EXPECT_TRUE(nlohmann::json::parse(ok.out).is_object());
    const ProcessRun both = RunReporter("--format json " + good + " " + cut);
    EXPECT_EQ(both.status, 1);
    const auto array = nlohmann::json::parse(both.out);
    ASSERT_EQ(array.size(), 2u);
    const auto& a = array[0];
    const auto& b = array[1];
    EXPECT_EQ(a["file"], good);
    EXPECT_TRUE(a["complete"].get<bool>());
    EXPECT_FALSE(a.contains("stopped"));
    EXPECT_FALSE(b["complete"].get<bool>());
    EXPECT_TRUE(b["stopped"]["offset"].is_number());
    EXPECT_EQ(a["lines"][1]["text"], "REPORTER-GOOD.GRF");

    EXPECT_EQ(RunReporter("--format nope " + good).status, 2);
    EXPECT_EQ(RunReporter("--catalog-file /nonexistent.json " + good).status, 2);
}

TEST(Reporter, StandardInputAndStandardOutputByDash) {
    const std::string good = WriteTempFile("reporter-stdin.grf", SmallGraphFile(true));
    const ProcessRun named = RunReporter("--format text --no-catalog " + good);
    // Standard input as a file, and as a pipe; standard output by name.
    for (const auto& [args, before] : std::vector<std::pair<std::string, std::string>>{
             {"- < " + good, ""}, {"-o - -", "cat " + good + " | "}}) {
        const ProcessRun run = RunReporter("--format text --no-catalog " + args, before);
        EXPECT_EQ(run.status, 0) << before << args;
        // The same report but for the name in its header.
        EXPECT_NE(run.out.find("\n-\n\nAnalyse du fichier -, "), std::string::npos) << run.out;
        EXPECT_EQ(run.out.substr(run.out.find("faite le")), named.out.substr(named.out.find("faite le")));
    }
    const ProcessRun empty = RunReporter("--format json --no-catalog - < /dev/null");
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(nlohmann::json::parse(empty.out)["stopped"]["reason"].get<std::string>().rfind("no graph stream", 0),
              0u);
}

TEST(Reporter, CatalogFileNamesTheFilters) {
    const std::string graph = WriteTempFile("reporter-catalog.grf", SmallGraphFile(true));
    const std::string_view json =
        R"({"filters": [{"name": "Mon Filtre", "clsid": "{11111111-2222-3333-4444-555555555555}"}]})";
    const std::string catalog = WriteTempFile("reporter-catalog.json", Bytes(json.begin(), json.end()));
    const ProcessRun run = RunReporter("--format text --catalog-file " + catalog + " " + graph);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("0001  \"Source\"  : Mon Filtre {11111111-2222-3333-4444-555555555555}  "), std::string::npos);
}

TEST(Reporter, OutputFileIsReplacedOnlyWhenAReportWasMade) {
    const std::string graph = WriteTempFile("reporter-out.grf", SmallGraphFile(true));
    const std::string out = graph + ".log";
    EXPECT_EQ(RunReporter("-o " + out + " " + graph).status, 0);
    std::ifstream in(out, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text.rfind("{\\rtf1", 0), 0u);
    // A folder that does not exist: nothing is written, status 2.
    EXPECT_EQ(RunReporter("-o /nonexistent/dir/x.log " + graph).status, 2);
    // No report made: the good file stays as it was.
    const std::string kept = WriteTempFile("reporter-kept.txt", Bytes{'o', 'k'});
    EXPECT_EQ(RunReporter("-o " + kept + " /nonexistent/missing.grf").status, 1);
    EXPECT_EQ(RunReporter("-o " + kept + " --format pdf " + graph).status, 2);
    std::ifstream again(kept, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(again)), {}), "ok");
}

// A report is never written over a file it is made from, by whatever name.
TEST(Reporter, OutputOntoAnInputIsRefusedAndTheInputKept) {
    namespace fs = std::filesystem;
    const Bytes bytes = SmallGraphFile(true);
    const std::string graph = WriteTempFile("reporter-self.grf", bytes);
    const std::string other = WriteTempFile("reporter-other.grf", bytes);
    const std::string_view json = R"({"filters": []})";
    const std::string catalog = WriteTempFile("reporter-self.json", Bytes(json.begin(), json.end()));
    const std::string symbolic = graph + ".link";
    const std::string hard = graph + ".hard";
    fs::remove(symbolic);
    fs::remove(hard);
    fs::create_symlink(graph, symbolic);
    fs::create_hard_link(graph, hard);
    struct Case {
        std::string target;
        std::string rest;
    };
    const Case cases[] = {
        {graph, "--format text " + graph},
        {graph, "--format html " + other + " " + graph},
        {symbolic, "--format html " + graph},
        {hard, "--format json " + graph},
        {catalog, "--catalog-file " + catalog + " " + graph},
        {catalog, "--dump-catalog --catalog-file " + catalog},
    };
    for (const Case& c : cases) {
        const ProcessRun run = RunReporter("-o " + c.target + " " + c.rest);
        EXPECT_EQ(run.status, 2) << c.rest;
        EXPECT_EQ(run.err, "quorvel-report: cannot write " + c.target + ": it is one of the input files\n") << c.rest;
        EXPECT_EQ(Contents(graph), std::string(bytes.begin(), bytes.end())) << c.rest;
        EXPECT_EQ(Contents(catalog), json) << c.rest;
    }
    EXPECT_TRUE(fs::is_symlink(symbolic));
    // Standard input the shell opened on the target is an input too; a pipe
    // is not a file to compare.
    EXPECT_EQ(RunReporter("--format text -o " + graph + " - < " + graph).status, 2);
    EXPECT_EQ(Contents(graph), std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(RunReporter("--format text -o " + other + " - < " + graph).status, 0);
}

// The tests run without a Wine prefix: this machine's catalog is the
// built-in table of standard filters.
TEST(Reporter, DefaultCatalogNamesTheStandardFilters) {
    GraphStream s;
    s.Filters().Filter({"0001", "Splitter", wellknown::kAviSplitter, "", {}});
    s.Connections();
    s.Clock(false, "0000").End();
    const std::string graph = WriteTempFile("reporter-standard.grf", GraphFile(s.bytes(), 3072, true));
    const std::string named = "0001  \"Splitter\"  : AVI Splitter {1B544C20-FD0B-11CE-8C63-00AA0044B51E}";
    EXPECT_NE(RunReporter("--format text " + graph).out.find(named), std::string::npos);
    EXPECT_EQ(RunReporter("--format text --no-catalog " + graph).out.find(named), std::string::npos);
}

TEST(Reporter, DumpedCatalogReadsBackAsTheSameCatalog) {
    const ProcessRun dumped = RunReporter("--dump-catalog");
    ASSERT_EQ(dumped.status, 0);
    const auto json = nlohmann::json::parse(dumped.out);
    ASSERT_GT(json["filters"].size(), 10u);
    ASSERT_GT(json["dmos"].size(), 3u);
    EXPECT_EQ(json["filters"][0]["clsid"].get<std::string>().size(), 38u);

    // Through a file and back: the same catalog, entry for entry.
    const std::string file = WriteTempFile("reporter-dump.json", {});
    ASSERT_EQ(RunReporter("--dump-catalog -o " + file).status, 0);
    const ProcessRun again = RunReporter("--dump-catalog --catalog-file " + file);
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out, dumped.out);

    const ProcessRun empty = RunReporter("--dump-catalog --no-catalog");
    EXPECT_EQ(nlohmann::json::parse(empty.out), nlohmann::json::parse(R"({"filters": [], "dmos": []})"));
}

// Everything a terminal receives from the reporter run on it, standard
// error included.
std::string OnTerminal(const std::vector<std::string>& args) {
    int terminal = -1;
    const pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        ::setenv("NO_COLOR", "1", 1);
        std::vector<char*> argv{const_cast<char*>(QUORVEL_REPORT_EXE)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(QUORVEL_REPORT_EXE, argv.data());
        ::_exit(127);
    }
    std::string seen;
    if (child < 0) return seen;
    char chunk[4096];
    for (ssize_t n; (n = ::read(terminal, chunk, sizeof chunk)) > 0;) seen.append(chunk, static_cast<std::size_t>(n));
    ::close(terminal);
    ::waitpid(child, nullptr, 0);
    return seen;
}

TEST(Reporter, TextFromTheFileNeverDrivesTheTerminal) {
    const std::string escapes = "\x1b]0;TITLE\a\x1b[31mRED\x1b[0m\x1b[2J";
    const std::string payload = escapes + "\xc2\x9b" "2J";  // and a C1 CSI
    GraphStream s;
    s.Filters().Filter({"0001", "esc" + payload, wellknown::kAviSplitter});
    s.Filter({"0002", "B", "{" + payload + "}"});  // stops the analysis: its reason quotes the text
    const std::string graph = WriteTempFile("reporter-terminal.grf", GraphFile(s.bytes()));
    const std::string seen = OnTerminal({"--no-catalog", graph});
    EXPECT_NE(seen.find("esc?]0;TITLE??[31mRED?[0m?[2J?2J"), std::string::npos) << seen;
    EXPECT_NE(seen.find("not a GUID"), std::string::npos) << seen;
    for (const char control : {'\x1b', '\a', '\x9b'}) EXPECT_EQ(seen.find(control), std::string::npos) << seen;
    // A terminal named by -o is a terminal too.
    const std::string named = OnTerminal({"--no-catalog", "--format", "text", "-o", "/dev/tty", graph});
    EXPECT_NE(named.find("TITLE"), std::string::npos) << named;
    EXPECT_EQ(named.find('\x1b'), std::string::npos) << named;
    // Written to a file, the report is data and keeps the bytes.
    const std::string saved = graph + ".txt";
    OnTerminal({"--no-catalog", "-o", saved, graph});
    EXPECT_NE(Contents(saved).find("esc" + escapes), std::string::npos);
}

}  // namespace
}  // namespace quorvel::testing
