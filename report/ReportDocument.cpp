#include "report/ReportDocument.hpp"

#include <algorithm>
#include <array>

namespace quorvel {

namespace {

constexpr FormatRow kFormats[] = {
#define QUORVEL_FORMAT(id, name, extensions, source, make, summary) \
    {ReportFormat::id, name, extensions, FormatSource::source, make, summary},
#include "report/ReportFormats.inc"
#undef QUORVEL_FORMAT
};

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

// The extension of the last path component, without its dot; empty when the
// name has none.  A leading dot (".json") names a file, not an extension.
std::string_view Extension(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return {};
    return name.substr(dot + 1);
}

bool ListHolds(std::string_view list, std::string_view word) {
    while (!list.empty()) {
        const std::size_t space = list.find(' ');
        if (EqualsIgnoringCase(list.substr(0, space), word)) return true;
        if (space == std::string_view::npos) break;
        list.remove_prefix(space + 1);
    }
    return false;
}

}  // namespace

std::span<const FormatRow> ReportFormats() { return kFormats; }

const FormatRow& FormatRowOf(ReportFormat format) {
    for (const FormatRow& row : kFormats)
        if (row.format == format) return row;
    return kFormats[0];  // every format has its row: not reached
}

std::optional<ReportFormat> ParseReportFormat(std::string_view name) {
    for (const FormatRow& row : kFormats)
        if (EqualsIgnoringCase(name, row.name)) return row.format;
    return std::nullopt;
}

std::optional<ReportFormat> ReportFormatForExtension(std::string_view path) {
    const std::string_view ext = Extension(path);
    if (ext.empty()) return std::nullopt;
    for (const FormatRow& row : kFormats)
        if (ListHolds(row.extensions, ext)) return row.format;
    return std::nullopt;
}

std::unique_ptr<ReportDocument> MakeReportDocument(std::ostream& out, ReportFormat format,
                                                   std::vector<std::string> files, GraphPictures pictures,
                                                   bool terminal) {
    DocumentSetup setup{out, std::move(files), std::move(pictures), terminal};
    return FormatRowOf(format).make(setup);
}

namespace report_export {

void SeveralDocument::Add(const ReportView& report, const AnalysisResult& result) {
    ++index_;
    if (!begun_) {
        if (!result.Reported()) {
            pending_.push_back({index_, result});
            return;
        }
        Begin();
        begun_ = true;
        for (const auto& [index, unopened] : pending_) Unopened(index, unopened);
        pending_.clear();
    }
    if (result.Reported())
        Report(index_, report, result);
    else
        Unopened(index_, result);
}

}  // namespace report_export

}  // namespace quorvel
