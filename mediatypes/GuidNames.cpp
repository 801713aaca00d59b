#include "mediatypes/GuidNames.hpp"

#include <algorithm>
#include <array>
#include <compare>
#include <cstdint>
#include <span>
#include <type_traits>

namespace quorvel {
namespace {

// A GUID's sixteen bytes as two numbers, to find it by two comparisons.
struct GuidKey {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    friend constexpr auto operator<=>(const GuidKey&, const GuidKey&) = default;
};

constexpr GuidKey KeyOf(const Guid& g) {
    GuidKey key;
    for (std::size_t i = 0; i < 8; ++i) key.high = (key.high << 8) | g.bytes[i];
    for (std::size_t i = 8; i < 16; ++i) key.low = (key.low << 8) | g.bytes[i];
    return key;
}

struct GuidNameRow {
    GuidKey key;            // the GUID's bytes, which the table is sorted by
    std::string_view guid;  // registry form, upper-case digits
    std::string_view name;
};

constexpr GuidNameRow kGuidNames[] = {
#define QUORVEL_GUID_NAME(high, low, guid, name) {{high, low}, guid, name},
#include "mediatypes/GuidNamesTable.inc"
#undef QUORVEL_GUID_NAME
};

// The generator sorts the rows by their keys: checked here, as each key
// against its text, so that a lookup needs no index of its own.
constexpr bool EveryRowIsItsGuidInOrder() {
    Guid parsed;
    for (const GuidNameRow& row : kGuidNames)
        if (!detail::ParseRegistryForm(row.guid, parsed) || KeyOf(parsed) != row.key) return false;
    return std::is_sorted(std::begin(kGuidNames), std::end(kGuidNames),
                          [](const GuidNameRow& a, const GuidNameRow& b) { return a.key < b.key; });
}
static_assert(EveryRowIsItsGuidInOrder(), "GuidNamesTable.inc: a row's key is not its GUID, or out of order");

// The rows of one GUID, primary name first.
std::span<const GuidNameRow> NamesOf(const Guid& guid) {
    const GuidKey key = KeyOf(guid);
    const auto [first, last] = std::equal_range(std::begin(kGuidNames), std::end(kGuidNames), key,
                                                [](const auto& a, const auto& b) {
                                                    if constexpr (std::is_same_v<std::decay_t<decltype(a)>, GuidKey>)
                                                        return a < b.key;
                                                    else
                                                        return a.key < b;
                                                });
    return {first, last};
}

}  // namespace

std::optional<std::string_view> KnownGuidName(const Guid& guid) {
    const auto names = NamesOf(guid);
    if (names.empty()) return std::nullopt;
    return names.front().name;
}

std::optional<std::string_view> KnownGuidName(const Guid& guid, std::string_view preferredPrefix) {
    const auto names = NamesOf(guid);
    if (names.empty()) return std::nullopt;
    for (const GuidNameRow& row : names)
        if (row.name.starts_with(preferredPrefix)) return row.name;
    return names.front().name;
}

}  // namespace quorvel
