// The report: a list of entries, each shown with the colour and weight that
// were current when it was appended.  A text holding CR LF shows as several
// lines with the same attributes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/HugePages.hpp"
#include "platform/TextChunks.hpp"

namespace quorvel {

using Color = std::uint32_t;  // 0xRRGGBB

inline constexpr Color kBlack = 0x000000;
inline constexpr Color kOlive = 0x808000;
inline constexpr Color kGreen = 0x008000;
inline constexpr Color kPurple = 0x800080;
inline constexpr Color kBlue = 0x0000FF;
inline constexpr Color kGrey = 0x808080;  // the lines details add

// Every colour the analysis gives a line, for documents that must name their
// colours before the reports in them are made.
inline constexpr Color kReportPalette[] = {kBlack, kOlive, kGreen, kPurple, kBlue, kGrey};

struct ReportEntry {
    std::string_view text;  // UTF-8; may hold CR LF; held by the report
    Color color = kBlack;
    bool bold = false;
};

// The report refused a line: it would have grown past its limit.
class ReportFullError : public std::runtime_error {
public:
    explicit ReportFullError(std::size_t limit)
        : std::runtime_error("the report would exceed " + std::to_string(limit) + " bytes") {}
};

// Takes the report's lines as they are appended, for front-ends that write
// them out at once rather than keep the report.
class ReportSink {
public:
    virtual ~ReportSink() = default;
    virtual void Append(std::string_view text, Color color, bool bold) = 0;
    // Passes on what the sink still holds.
    virtual void Flush() {}
};

class ReportView {
public:
    ReportView() = default;
    // A copy holds its own texts; a move keeps the blocks the entries point into.
    ReportView(const ReportView& other);
    ReportView& operator=(const ReportView& other);
    ReportView(ReportView&&) noexcept = default;
    ReportView& operator=(ReportView&&) noexcept = default;

    // From now on, appended entries go to `sink` and are not kept (nullptr:
    // keep them again).  The byte limit still counts them.
    void StreamTo(ReportSink* sink) { sink_ = sink; }

    // Empties the report and resets the current attributes to black, not bold.
    void Clear();

    void AddLine(std::string_view text);
    void AddColorLine(std::string_view text, Color color);  // colour only; bold unchanged
    void AddBoldLine(std::string_view text);                // bold, black
    void AddTitleLine(std::string_view text);               // bold, olive
    void AddSeparatorLine();                                // 100 '-'
    void AddBlankLine();
    // A line that details add under what it explains: grey, not bold; the
    // current colour and weight stay for the lines after it.
    void AddDetailLine(std::string_view text);

    // An append that would take the report past this many bytes of text fails
    // with ReportFullError.  0 means no limit.
    void SetByteLimit(std::size_t bytes) { byteLimit_ = bytes; }

    std::span<const ReportEntry> Entries() const { return entries_; }
    bool Empty() const { return entries_.empty(); }

    // Calls fn(line, color, bold) for every displayed line, in order.
    template <typename Fn>
    void ForEachLine(Fn&& fn) const;

    std::size_t LineCount() const;

private:
    // The entries' texts, one after another in chunks that are never moved,
    // so that a report of many lines is a few allocations, not one a line.
    TextChunks texts_;
    std::vector<ReportEntry, HugePageAllocator<ReportEntry>> entries_;
    Color color_ = kBlack;
    bool bold_ = false;
    std::size_t bytes_ = 0;
    std::size_t byteLimit_ = 0;
    ReportSink* sink_ = nullptr;
};

// Calls fn(part) for each part of text between CR LF pairs.
template <typename Fn>
void ForEachCrLfPart(std::string_view text, Fn&& fn) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find("\r\n", start);
        if (at == std::string_view::npos) {
            fn(text.substr(start));
            return;
        }
        fn(text.substr(start, at - start));
        start = at + 2;
    }
}

template <typename Fn>
void ReportView::ForEachLine(Fn&& fn) const {
    for (const ReportEntry& e : entries_)
        ForEachCrLfPart(e.text, [&](std::string_view line) { fn(line, e.color, e.bold); });
}

}  // namespace quorvel
