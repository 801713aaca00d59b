#include "report/ReportView.hpp"

#include <algorithm>

namespace quorvel {

ReportView::ReportView(const ReportView& other) { *this = other; }

ReportView& ReportView::operator=(const ReportView& other) {
    if (this == &other) return *this;
    Clear();
    entries_.reserve(other.entries_.size());
    for (const ReportEntry& e : other.entries_) entries_.push_back(ReportEntry{texts_.Keep(e.text), e.color, e.bold});
    color_ = other.color_;
    bold_ = other.bold_;
    bytes_ = other.bytes_;
    byteLimit_ = other.byteLimit_;
    sink_ = other.sink_;
    return *this;
}

void ReportView::Clear() {
    entries_.clear();
    texts_.Clear();
    bytes_ = 0;
    color_ = kBlack;
    bold_ = false;
}

void ReportView::AddLine(std::string_view text) {
    if (byteLimit_ != 0 && text.size() > byteLimit_ - std::min(bytes_, byteLimit_))
        throw ReportFullError(byteLimit_);
    bytes_ += text.size();
    if (sink_)
        sink_->Append(text, color_, bold_);
    else
        entries_.push_back(ReportEntry{texts_.Keep(text), color_, bold_});
}

void ReportView::AddColorLine(std::string_view text, Color color) {
    color_ = color;
    AddLine(text);
}

void ReportView::AddBoldLine(std::string_view text) {
    bold_ = true;
    color_ = kBlack;
    AddLine(text);
}

void ReportView::AddTitleLine(std::string_view text) {
    bold_ = true;
    color_ = kOlive;
    AddLine(text);
}

void ReportView::AddDetailLine(std::string_view text) {
    const Color color = color_;
    const bool bold = bold_;
    color_ = kGrey;
    bold_ = false;
    try {
        AddLine(text);
    } catch (...) {
        color_ = color;
        bold_ = bold;
        throw;
    }
    color_ = color;
    bold_ = bold;
}

void ReportView::AddSeparatorLine() { AddLine(std::string(100, '-')); }

void ReportView::AddBlankLine() { AddLine({}); }

std::size_t ReportView::LineCount() const {
    std::size_t n = 0;
    ForEachLine([&](std::string_view, Color, bool) { ++n; });
    return n;
}

}  // namespace quorvel
