#include "cli/ReporterOptions.hpp"

#include <algorithm>
#include <charconv>

#include "report/ReportDocument.hpp"

namespace quorvel {
namespace {

// The formats' names, from their table.
std::string FormatNames(std::string_view separator) {
    std::string names;
    for (const FormatRow& row : ReportFormats()) {
        if (!names.empty()) names += separator;
        names += row.name;
    }
    return names;
}

}  // namespace

ParsedOptions ParseReporterOptions(const std::vector<std::string>& args) {
    ParsedOptions parsed;
    ReporterOptions& o = parsed.options;
    bool onlyFiles = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (onlyFiles || arg.empty() || arg[0] != '-' || arg == "-") {
            o.files.push_back(arg);
            continue;
        }
        // --name=value or --name value
        std::string name = arg;
        std::optional<std::string> inlineValue;
        if (const std::size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            inlineValue = arg.substr(eq + 1);
        }
        const auto value = [&]() -> std::optional<std::string> {
            if (inlineValue) return inlineValue;
            if (i + 1 < args.size()) return args[++i];
            parsed.error = name + " needs a value";
            return std::nullopt;
        };
        if (name == "--") {
            onlyFiles = true;
        } else if (name == "--help" || name == "-h") {
            o.help = true;
        } else if (name == "--version") {
            o.version = true;
        } else if (name == "--details") {
            o.details = true;
        } else if (name == "--no-catalog") {
            o.noCatalog = true;
        } else if (name == "--dump-catalog") {
            o.dumpCatalog = true;
        } else if (name == "--format" || name == "-f") {
            const auto v = value();
            if (!v) return parsed;
            o.format = ParseReportFormat(*v);
            if (!o.format) {
                parsed.error = "unknown format \"" + *v + "\" (" + FormatNames(", ") + ")";
                return parsed;
            }
        } else if (name == "--color" || name == "--colour") {
            const auto v = value();
            if (!v) return parsed;
            if (*v == "auto") {
                o.color = ColorMode::Auto;
            } else if (*v == "always") {
                o.color = ColorMode::Always;
            } else if (*v == "never") {
                o.color = ColorMode::Never;
            } else {
                parsed.error = "unknown colour mode \"" + *v + "\" (auto, always or never)";
                return parsed;
            }
        } else if (name == "-o" || name == "--output") {
            const auto v = value();
            if (!v) return parsed;
            o.output = *v;
        } else if (name == "--layout-budget") {
            const auto v = value();
            if (!v) return parsed;
            // Whole seconds, up to a day: a picture worth waiting longer for
            // is a picture Graphviz will not finish.
            unsigned seconds = 0;
            const auto [end, error] = std::from_chars(v->data(), v->data() + v->size(), seconds);
            if (error != std::errc() || end != v->data() + v->size() || seconds == 0 || seconds > 86400) {
                parsed.error = "--layout-budget takes whole seconds from 1 to 86400, not \"" + *v + "\"";
                return parsed;
            }
            o.layoutBudget = seconds;
        } else if (name == "--catalog-file") {
            const auto v = value();
            if (!v) return parsed;
            o.catalogFile = *v;
        } else {
            parsed.error = "unknown option " + arg;
            return parsed;
        }
    }
    if (o.help || o.version) return parsed;
    if (o.noCatalog && !o.catalogFile.empty()) {
        parsed.error = "--catalog-file and --no-catalog exclude each other";
    } else if (o.dumpCatalog && !o.files.empty()) {
        parsed.error = "--dump-catalog takes no graph file";
    } else if (o.files.empty() && !o.dumpCatalog) {
        parsed.error = "no graph file given";
    }
    return parsed;
}

bool ColorWanted(ColorMode mode, bool outputIsTerminal, const char* noColor, const char* term) {
    switch (mode) {
        case ColorMode::Always: return true;
        case ColorMode::Never: return false;
        case ColorMode::Auto: break;
    }
    if (noColor && *noColor) return false;
    if (term && std::string_view(term) == "dumb") return false;
    return outputIsTerminal;
}

ReportFormat ChooseReportFormat(const ReporterOptions& o, bool colorWanted) {
    if (o.format) return *o.format;
    if (!o.output.empty() && o.output != "-")
        if (const auto byExtension = ReportFormatForExtension(o.output)) return *byExtension;
    return colorWanted ? ReportFormat::Ansi : ReportFormat::Text;
}

namespace {

// Words filled into lines of `width` characters, each line led by `indent`.
std::string Filled(std::string_view text, std::size_t width, const std::string& indent, std::string first) {
    std::string out;
    std::string line = std::move(first);
    while (!text.empty()) {
        const std::size_t space = text.find(' ');
        const std::string_view word = text.substr(0, space);
        text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
        if (line.size() > indent.size() && line.size() + 1 + word.size() > width) {
            out += line + "\n";
            line = indent;
        }
        if (line.size() > indent.size() && line.back() != ' ') line += ' ';
        line += word;
    }
    return out + line + "\n";
}

// The formats' lines of --help, from their table.
std::string FormatsHelp() {
    std::string list;
    const std::string indent(31, ' ');
    for (const FormatRow& row : ReportFormats()) {
        std::string first = list.empty() ? "  -f, --format FORMAT   " : std::string(24, ' ');
        first += std::string(row.name) + std::string(7 - std::min<std::size_t>(6, row.name.size()), ' ');
        list += Filled(row.summary, 79, indent, first);
    }
    std::string defaults;
    for (const FormatRow& row : ReportFormats()) {
        if (row.extensions.empty()) continue;
        std::string extensions;
        std::string_view rest = row.extensions;
        while (!rest.empty()) {
            const std::size_t space = rest.find(' ');
            extensions += std::string(extensions.empty() ? "." : " and .") + std::string(rest.substr(0, space));
            rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
        }
        defaults += (defaults.empty() ? "" : ", ") + extensions + ": " + std::string(row.name);
    }
    list += Filled("Default: from the extension of -o (" + defaults +
                       "), else ansi when colour is on and text otherwise.",
                   79, std::string(24, ' '), std::string(24, ' '));
    return list;
}

}  // namespace

std::string ReporterUsage() {
    return "Usage: quorvel-report [--format " + FormatNames("|") + R"(]
                      [--color=auto|always|never] [--details]
                      [--layout-budget SECONDS] [-o FILE]
                      [--catalog-file FILE | --no-catalog] FILE...
       quorvel-report --dump-catalog [-o FILE] [--catalog-file FILE | --no-catalog]

Reads saved DirectShow filter graphs (.grf) and writes the Quorvel report of
each: its filters with their ids, names, CLSIDs and what they are on this
machine, every pin connection with its media type decoded field by field,
the reference clock and the end marker.  FILE "-" is standard input.

Options:
)" + FormatsHelp() + R"(      --color WHEN      auto (default): colour on a terminal, unless NO_COLOR
                        is set and not empty or TERM is dumb; always; never.
                        It chooses between ansi and text when --format and
                        -o's extension do not.
      --details         add lines, in grey, under what they explain: frame
                        rates, named codes and GUIDs, wave format extensions,
                        MPEG sequence headers and H.264 parameter sets, and
                        the bytes the report only counts, in hexadecimal
      --layout-budget S the time Graphviz may take to lay a graph out, in
                        seconds (default 10).  A graph whose layout is
                        expected to take longer is not drawn: the HTML page
                        leaves its picture out, svg fails; a layout that runs
                        over is stopped.  Its memory is limited to 2 GB.
  -o, --output FILE     write to FILE instead of standard output ("-").  A file
                        is replaced only once the whole output is written (a
                        symbolic link is followed and kept, the permissions
                        too); a pipe or a device is written straight into.
                        When no report is made, FILE is not touched.
      --catalog-file F  name installed filters and DMOs from the JSON catalog F:
                        {"filters": [{"name", "clsid", "displayName"}],
                         "dmos": [{"name", "clsid"}]}
                        instead of this machine's catalog
      --no-catalog      use an empty catalog of installed filters
      --dump-catalog    write the catalog as JSON, in the format that
                        --catalog-file reads, and analyse nothing; take it on
                        the machine where a graph was made to read the graph
                        elsewhere with that machine's names
  -h, --help            show this help
      --version         show the version

This machine's catalog: on Windows, the filters and DMOs the platform
enumerates; elsewhere, those the Wine prefix ($WINEPREFIX, else ~/.wine)
registers, followed by the platform's standard filters and DMOs.  A damaged
source is reported on standard error and the rest of the catalog is used.

Several files make one document: text and ANSI reports follow one another;
RTF is one document with a page break between reports; HTML one page with
the list of files and a section per file; JSON one array of the objects; DOT
one graph per file.

Exit status:
  0  every analysis ran to its end
  1  a file could not be opened, or an analysis stopped early; standard error
     names the file, the byte offset and the reason (the report keeps the
     lines written up to there)
  2  usage error, or a catalog file or output file that cannot be used
)";
}

}  // namespace quorvel
