#include "report/ReportView.hpp"

#include <algorithm>

namespace quorvel {

void ReportView::Clear() {
    entries_.clear();
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
        entries_.push_back(ReportEntry{std::string(text), color_, bold_});
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

void ReportView::AddSeparatorLine() { AddLine(std::string(100, '-')); }

void ReportView::AddBlankLine() { AddLine({}); }

std::size_t ReportView::LineCount() const {
    std::size_t n = 0;
    ForEachLine([&](std::string_view, Color, bool) { ++n; });
    return n;
}

}  // namespace quorvel
