// quorvel-make-guid-names: writes mediatypes/GuidNamesTable.inc, the names
// that the platform SDK headers give to GUIDs (media types, subtypes, format
// types, kernel-streaming data formats, filter and DMO classes).
//
//   quorvel-make-guid-names OUT.inc HEADER...
//
// The headers (the mingw-w64 ones) are read in the order given, which is also
// the order of preference among the names of one GUID: the first header that
// names a GUID gives its primary name, the others follow as aliases.  The
// definitions recognised are the forms these headers use:
//   OUR_GUID_ENTRY(name, l, w1, w2, b1, ..., b8)        uuids.h, ksuuids.h
//   DEFINE_GUID(name, l, w1, w2, b1, ..., b8)           most headers
//   DEFINE_GUIDSTRUCT("xxxxxxxx-xxxx-...", name)        ks.h, ksmedia.h, mmreg.h
//   DEFINE_MEDIATYPE_GUID(name, format)                 mfapi.h: the wave format
//                                                       GUID base with Data1 = format
// Numeric arguments may be literals, FCC('abcd'), casts, or names that a
// `#define NAME value` or an `enum { NAME = value }` of any given header
// defines (the WAVE_FORMAT_* and D3DFMT_* codes).
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <tuple>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The text without its comments; string and character literals kept whole.
std::string StripComments(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (c == '/' && next == '*') {
            const std::size_t end = text.find("*/", i + 2);
            i = end == std::string::npos ? text.size() : end + 1;
            out += ' ';
        } else if (c == '/' && next == '/') {
            while (i < text.size() && text[i] != '\n') ++i;
            out += '\n';
        } else if (c == '"' || c == '\'') {
            out += c;
            for (++i; i < text.size() && text[i] != c && text[i] != '\n'; ++i) {
                if (text[i] == '\\' && i + 1 < text.size()) out += text[i++];
                out += text[i];
            }
            if (i < text.size()) out += text[i];
        } else {
            out += c;
        }
    }
    return out;
}

std::string Trim(const std::string& s) {
    const auto begin = s.find_first_not_of(" \t\r\n\\");
    if (begin == std::string::npos) return {};
    const auto end = s.find_last_not_of(" \t\r\n\\");
    return s.substr(begin, end - begin + 1);
}

// Numeric values that the headers name: #define NAME value, enum NAME = value.
using Symbols = std::map<std::string, std::string>;

void CollectSymbols(const std::string& text, Symbols& symbols) {
    static const std::regex define(R"(#\s*define\s+([A-Za-z_]\w*)[ \t]+([^\n]+))");
    static const std::regex enumerator(R"(\b([A-Za-z_]\w*)\s*=\s*((?:0[xX][0-9A-Fa-f]+|\d+)[uUlL]*)\s*[,}])");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), define); it != std::sregex_iterator(); ++it)
        symbols.emplace((*it)[1].str(), Trim((*it)[2].str()));
    for (auto it = std::sregex_iterator(text.begin(), text.end(), enumerator); it != std::sregex_iterator(); ++it)
        symbols.emplace((*it)[1].str(), (*it)[2].str());
}

// The value of a numeric argument, or nothing when it is not a constant.
std::optional<unsigned long long> Evaluate(std::string arg, const Symbols& symbols, int depth = 0) {
    static const std::regex cast(R"(^\(\s*[A-Za-z_]\w*\s*\)\s*(.+)$)");
    static const std::regex number(R"(^(0[xX][0-9A-Fa-f]+|\d+)[uUlL]*$)");
    static const std::regex fourcc(R"(^(?:FCC|MAKEFOURCC|mmioFOURCC)\s*\(\s*'(.)(.)(.)(.)'\s*\)$)");
    static const std::regex identifier(R"(^[A-Za-z_]\w*$)");
    arg = Trim(arg);
    std::smatch m;
    if (depth > 8) return std::nullopt;
    if (std::regex_match(arg, m, cast)) return Evaluate(m[1].str(), symbols, depth + 1);
    if (arg.size() > 2 && arg.front() == '(' && arg.back() == ')')
        return Evaluate(arg.substr(1, arg.size() - 2), symbols, depth + 1);
    if (std::regex_match(arg, m, number)) return std::stoull(m[1].str(), nullptr, 0);
    if (std::regex_match(arg, m, fourcc)) {
        unsigned long long value = 0;
        for (int i = 4; i >= 1; --i) value = (value << 8) | static_cast<unsigned char>(m[i].str()[0]);
        return value;
    }
    if (std::regex_match(arg, identifier)) {
        const auto found = symbols.find(arg);
        if (found != symbols.end()) return Evaluate(found->second, symbols, depth + 1);
    }
    return std::nullopt;
}

// The arguments of the call whose opening parenthesis is at open, split at
// top-level commas; end receives the position after the closing parenthesis.
std::optional<std::vector<std::string>> Arguments(const std::string& text, std::size_t open, std::size_t& end) {
    std::vector<std::string> args(1);
    int depth = 0;
    for (std::size_t i = open; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '(' && depth++ == 0) continue;
        if (c == ')' && --depth == 0) {
            end = i + 1;
            for (std::string& a : args) a = Trim(a);
            return args;
        }
        if (c == ',' && depth == 1)
            args.emplace_back();
        else
            args.back() += c;
    }
    return std::nullopt;
}

std::string GuidText(unsigned long long l, unsigned long long w1, unsigned long long w2, const unsigned long long* b) {
    char text[39];
    std::snprintf(text, sizeof text, "{%08llX-%04llX-%04llX-%02llX%02llX-%02llX%02llX%02llX%02llX%02llX%02llX}", l, w1,
                  w2, b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7]);
    return text;
}

// The 11 numbers of a GUID: Data1, Data2, Data3, then Data4's eight bytes.
std::optional<std::string> GuidFromNumbers(const std::vector<std::string>& args, std::size_t first,
                                           const Symbols& symbols) {
    constexpr unsigned long long kLimit[11] = {0xFFFFFFFF, 0xFFFF, 0xFFFF, 0xFF, 0xFF, 0xFF,
                                               0xFF,       0xFF,   0xFF,   0xFF, 0xFF};
    if (args.size() != first + 11) return std::nullopt;
    unsigned long long v[11];
    for (std::size_t i = 0; i < 11; ++i) {
        const auto value = Evaluate(args[first + i], symbols);
        if (!value || *value > kLimit[i]) return std::nullopt;
        v[i] = *value;
    }
    return GuidText(v[0], v[1], v[2], v + 3);
}

std::optional<std::string> GuidFromString(const std::string& arg) {
    static const std::regex form(
        R"re(^"([0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12})"$)re");
    std::smatch m;
    if (!std::regex_match(arg, m, form)) return std::nullopt;
    std::string text = "{" + m[1].str() + "}";
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool IsIdentifier(const std::string& s) {
    static const std::regex identifier(R"(^[A-Za-z_]\w*$)");
    return std::regex_match(s, identifier);
}

struct Definition {
    std::string guid;
    std::string name;
};

// One GUID definition from a recognised call, or nothing (the macros' own
// #define lines, calls with arguments that are not constants).
std::optional<Definition> Define(const std::string& macro, const std::vector<std::string>& args,
                                 const Symbols& symbols) {
    std::optional<std::string> guid;
    std::string name;
    if (macro == "OUR_GUID_ENTRY" || macro == "DEFINE_GUID") {
        name = args.front();
        guid = GuidFromNumbers(args, 1, symbols);
    } else if (macro == "DEFINE_GUIDSTRUCT" && args.size() == 2) {
        name = args[1];
        guid = GuidFromString(args[0]);
    } else if (macro == "DEFINE_MEDIATYPE_GUID" && args.size() == 2) {
        // mfapi.h: DEFINE_GUID(name, format, 0x0000, 0x0010, 0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71)
        name = args[0];
        std::vector<std::string> expanded = {name,   args[1], "0x0000", "0x0010", "0x80", "0x00",
                                             "0x00", "0xaa",  "0x00",   "0x38",   "0x9b", "0x71"};
        guid = GuidFromNumbers(expanded, 1, symbols);
    }
    if (!guid || !IsIdentifier(name)) return std::nullopt;
    return Definition{*guid, name};
}

struct Row {
    std::string guid;
    std::string name;
    std::size_t rank;  // order of preference: header order, then place in the header
    std::string header;
};

// The GUID's sixteen bytes as they lie in memory (Data1 to Data3 little-
// endian), as two numbers: the key the program finds a GUID by.
std::pair<unsigned long long, unsigned long long> KeyOf(const std::string& text) {
    std::string hex;
    for (const char c : text)
        if (std::isxdigit(static_cast<unsigned char>(c))) hex += c;
    unsigned char written[16];
    for (std::size_t i = 0; i < 16; ++i) written[i] = static_cast<unsigned char>(std::stoul(hex.substr(2 * i, 2), nullptr, 16));
    constexpr int kMemFromWritten[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    unsigned long long high = 0, low = 0;
    for (int i = 0; i < 8; ++i) high = (high << 8) | written[kMemFromWritten[i]];
    for (int i = 8; i < 16; ++i) low = (low << 8) | written[kMemFromWritten[i]];
    return {high, low};
}

std::string BaseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: quorvel-make-guid-names OUT.inc HEADER...\n";
        return 2;
    }
    try {
        std::vector<std::string> texts;
        Symbols symbols;
        for (int i = 2; i < argc; ++i) {
            texts.push_back(StripComments(ReadFile(argv[i])));
            CollectSymbols(texts.back(), symbols);
        }

        static const std::regex call(R"(\b(OUR_GUID_ENTRY|DEFINE_GUID|DEFINE_GUIDSTRUCT|DEFINE_MEDIATYPE_GUID)\s*\()");
        std::vector<Row> rows;
        std::map<std::string, std::string> guidOfName;
        std::size_t rank = 0;
        std::size_t skipped = 0;
        for (std::size_t h = 0; h < texts.size(); ++h) {
            const std::string& text = texts[h];
            for (auto it = std::sregex_iterator(text.begin(), text.end(), call); it != std::sregex_iterator(); ++it) {
                const std::size_t open = static_cast<std::size_t>(it->position(0) + it->length(0) - 1);
                std::size_t end = open;
                const auto args = Arguments(text, open, end);
                const auto definition = args ? Define((*it)[1].str(), *args, symbols) : std::nullopt;
                if (!definition) {
                    ++skipped;
                    continue;
                }
                // A name defined again under other conditions keeps its first GUID.
                const auto [known, inserted] = guidOfName.emplace(definition->name, definition->guid);
                if (!inserted && known->second != definition->guid) {
                    std::cerr << "quorvel-make-guid-names: " << definition->name << " is " << known->second
                              << ", not " << definition->guid << " as " << BaseName(argv[h + 2]) << " says\n";
                    continue;
                }
                rows.push_back(Row{definition->guid, definition->name, rank++, BaseName(argv[h + 2])});
            }
        }

        // One row per GUID and name, at its best rank; GUIDs in the order of
        // their bytes, the primary name first.
        std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
            return std::tuple(KeyOf(a.guid), a.rank) < std::tuple(KeyOf(b.guid), b.rank);
        });
        std::set<std::pair<std::string, std::string>> seen;
        std::erase_if(rows, [&](const Row& r) { return !seen.emplace(r.guid, r.name).second; });

        std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
        out << "// Generated by quorvel-make-guid-names (scripts/make-guid-names.sh): do not edit.\n"
               "// GUIDs and the names the mingw-w64 platform headers give them, with the GUID's bytes\n"
               "// (as they lie in memory) as two numbers, sorted by them;\n"
               "// a GUID's primary name comes first, from the earliest header in this order:";
        for (int i = 2; i < argc; ++i) out << ' ' << BaseName(argv[i]);
        out << ".\n\n";
        for (const Row& row : rows) {
            const auto [high, low] = KeyOf(row.guid);
            char key[48];
            std::snprintf(key, sizeof key, "0x%016llX, 0x%016llX", high, low);
            out << "QUORVEL_GUID_NAME(" << key << ", \"" << row.guid << "\", \"" << row.name << "\")  // "
                << row.header << "\n";
        }
        out.close();
        if (!out) throw std::runtime_error(std::string("cannot write ") + argv[1]);
        std::cerr << "quorvel-make-guid-names: " << rows.size() << " names, " << skipped
                  << " definitions without constant arguments skipped\n";
    } catch (const std::exception& e) {
        std::cerr << "quorvel-make-guid-names: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
