// Shows a report in the window's read-only text area, one block per line,
// each in its colour and weight.
#pragma once

class QPlainTextEdit;

namespace quorvel {
class ReportView;
}

namespace quorvel::ui {

// Replaces the text of `area` with the report's lines and puts the caret on
// the first line, scrolled into view.
void ShowReport(QPlainTextEdit& area, const ReportView& report);

}  // namespace quorvel::ui
