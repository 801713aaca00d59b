#include "mediatypes/GuidNames.hpp"

#include <algorithm>
#include <array>
#include <compare>
#include <cstdint>
#include <span>
#include <vector>

namespace quorvel {
namespace {

struct GuidNameRow {
    std::string_view guid;  // registry form, upper-case digits
    std::string_view name;
};

constexpr GuidNameRow kGuidNames[] = {
#define QUORVEL_GUID_NAME(guid, name) {guid, name},
#include "mediatypes/GuidNamesTable.inc"
#undef QUORVEL_GUID_NAME
};

constexpr bool EveryRowIsAGuidInOrder() {
    Guid parsed;
    for (const GuidNameRow& row : kGuidNames)
        if (!detail::ParseRegistryForm(row.guid, parsed)) return false;
    return std::is_sorted(std::begin(kGuidNames), std::end(kGuidNames),
                          [](const GuidNameRow& a, const GuidNameRow& b) { return a.guid < b.guid; });
}
static_assert(EveryRowIsAGuidInOrder(), "GuidNamesTable.inc: a row is not a GUID or out of order");

// A GUID's sixteen bytes as two numbers, to find it by two comparisons.
struct GuidKey {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    friend constexpr auto operator<=>(const GuidKey&, const GuidKey&) = default;
};
GuidKey KeyOf(const Guid& g) {
    GuidKey key;
    for (std::size_t i = 0; i < 8; ++i) key.high = (key.high << 8) | g.bytes[i];
    for (std::size_t i = 8; i < 16; ++i) key.low = (key.low << 8) | g.bytes[i];
    return key;
}

// Each GUID of the table once, with its rows (side by side in the table).
struct GuidRows {
    GuidKey key;
    std::uint16_t first = 0;
    std::uint16_t count = 0;
};
// Built on first use: sorting at compile time takes compilers too long.
const std::vector<GuidRows>& GuidIndex() {
    static const std::vector<GuidRows> rows = [] {
        std::vector<GuidRows> index;
        for (std::size_t i = 0; i < std::size(kGuidNames); ++i) {
            if (i > 0 && kGuidNames[i].guid == kGuidNames[i - 1].guid) {
                ++index.back().count;
                continue;
            }
            index.push_back(GuidRows{KeyOf(ParseGuid(kGuidNames[i].guid)), static_cast<std::uint16_t>(i), 1});
        }
        std::sort(index.begin(), index.end(), [](const GuidRows& a, const GuidRows& b) { return a.key < b.key; });
        return index;
    }();
    return rows;
}
static_assert(std::size(kGuidNames) < 65536);

// The rows of one GUID, primary name first.
std::span<const GuidNameRow> NamesOf(const Guid& guid) {
    const GuidKey key = KeyOf(guid);
    const std::vector<GuidRows>& index = GuidIndex();
    const auto at = std::lower_bound(index.begin(), index.end(), key,
                                     [](const GuidRows& r, const GuidKey& k) { return r.key < k; });
    if (at == index.end() || at->key != key) return {};
    return std::span<const GuidNameRow>(kGuidNames).subspan(at->first, at->count);
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
