#include "resources/Strings.hpp"

#include <array>

namespace quorvel {
namespace {

constexpr std::array<std::string_view, static_cast<std::size_t>(Str::Count_)> kStrings = {
#define QUORVEL_STRING(key, text) text,
#include "resources/StringTable.inc"
#undef QUORVEL_STRING
};

constexpr std::array<std::string_view, static_cast<std::size_t>(Str::Count_)> kKeys = {
#define QUORVEL_STRING(key, text) #key,
#include "resources/StringTable.inc"
#undef QUORVEL_STRING
};

}  // namespace

std::string_view Res(Str id) { return kStrings[static_cast<std::size_t>(id)]; }

std::string_view ResKey(Str id) { return kKeys[static_cast<std::size_t>(id)]; }

std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(pattern.size() + 32);
    auto next = args.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size()) {
            const char conversion = pattern[i + 1];
            if (conversion == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (conversion == 's' || conversion == 'd') {
                if (next != args.end()) out += *next++;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

std::string FormatRes(Str id, std::initializer_list<std::string_view> args) { return FormatText(Res(id), args); }

}  // namespace quorvel
