#include "mediatypes/GuidNames.hpp"

#include <algorithm>
#include <array>
#include <span>

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

// The rows of one GUID, primary name first.
std::span<const GuidNameRow> NamesOf(const Guid& guid) {
    const std::array<char, 38> chars = GuidChars(guid);
    const std::string_view text(chars.data(), chars.size());
    const auto [first, last] = std::equal_range(
        std::begin(kGuidNames), std::end(kGuidNames), GuidNameRow{text, {}},
        [](const GuidNameRow& a, const GuidNameRow& b) { return a.guid < b.guid; });
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
