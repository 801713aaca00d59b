// What a reader gives the report: its classic lines and, when details are
// asked for, the lines added under what they explain.  Classic lines come
// out exactly as without details; each added line stands on its own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "report/ReportView.hpp"

namespace quorvel {

class ReportParts {
public:
    explicit ReportParts(bool details) : details_(details) {}

    bool Details() const { return details_; }

    // A new classic line, after a line break when one is open.
    void Line(std::string_view text) { NewLine() += text; }
    void Line(std::string&& text) {
        if (open_) {
            NewLine() += text;
            return;
        }
        current_ = std::move(text);
        open_ = true;
    }
    // A new classic line to write into.
    std::string& NewLine() {
        if (open_) current_ += "\r\n";
        open_ = true;
        return current_;
    }
    // More of the open classic line.
    void Append(std::string_view text) {
        current_ += text;
        open_ = true;
    }
    // An added line; nothing without details.
    void Detail(std::string_view text) {
        if (!details_) return;
        Close();
        parts_.push_back({std::string(text), true});
    }

    // The classic lines in the current colour and weight, the added ones in
    // their own.
    void WriteTo(ReportView& report) {
        for (const Part& p : parts_) {
            if (p.detail)
                report.AddDetailLine(p.text);
            else
                report.AddLine(p.text);
        }
        if (open_) report.AddLine(current_);
    }

private:
    struct Part {
        std::string text;
        bool detail;
    };
    void Close() {
        if (!open_) return;
        parts_.push_back({std::move(current_), false});
        current_.clear();
        open_ = false;
    }

    bool details_;
    bool open_ = false;
    std::string current_;  // the classic lines after the last added one
    std::vector<Part> parts_;
};

// A hex dump of bytes under a line: offset, 16 bytes a line and their ASCII,
// at most 4 KiB, then how many bytes more; `indent` spaces before each line.
void AppendHexDump(ReportParts& parts, const std::vector<std::uint8_t>& bytes, std::size_t indent);

}  // namespace quorvel
