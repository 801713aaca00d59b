// The one table of localisable strings (StringTable.inc): every French text
// of the program, the product and author names, the version pieces and the
// addresses, each keyed by its name.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace quorvel {

// One id per entry of StringTable.inc, named by its key.
enum class Str : int {
#define QUORVEL_STRING(key, text) key,
#include "resources/StringTable.inc"
#undef QUORVEL_STRING
    Count_
};

std::string_view Res(Str id);

// The key of an id as written in the table ("Wave_PCM"), for checks of the
// table itself.
std::string_view ResKey(Str id);

// Format("...%s...%d...", [args]): each %s or %d takes the next argument,
// already rendered as text; "%%" is a percent sign.
std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> args);

// Res(id) formatted with args.
std::string FormatRes(Str id, std::initializer_list<std::string_view> args);

}  // namespace quorvel
