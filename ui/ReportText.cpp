#include "ui/ReportText.hpp"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>


#include "report/ReportView.hpp"

namespace quorvel::ui {
namespace {

QColor ToQColor(Color c) { return QColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF); }

// A report uses a handful of (colour, weight) pairs; the last one is kept so
// that runs of lines share one format object.
class Formats {
public:
    const QTextCharFormat& For(Color color, bool bold) {
        if (!valid_ || color != color_ || bold != bold_) {
            format_ = QTextCharFormat();
            format_.setForeground(ToQColor(color));
            format_.setFontWeight(bold ? QFont::Bold : QFont::Normal);
            color_ = color;
            bold_ = bold;
            valid_ = true;
        }
        return format_;
    }

private:
    QTextCharFormat format_;
    Color color_ = 0;
    bool bold_ = false;
    bool valid_ = false;
};

}  // namespace

void ShowReport(QPlainTextEdit& area, const ReportView& report) {
    QTextDocument& doc = *area.document();
    doc.setUndoRedoEnabled(false);
    area.clear();

    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    Formats formats;
    bool first = true;
    report.ForEachLine([&](std::string_view line, Color color, bool bold) {
        const QTextCharFormat& format = formats.For(color, bold);
        if (first) {
            // The document's one empty block takes the first line.
            cursor.setBlockCharFormat(format);
            first = false;
        } else {
            cursor.insertBlock(QTextBlockFormat(), format);
        }
        if (!line.empty())
            cursor.insertText(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())), format);
    });
    cursor.endEditBlock();

    QTextCursor start(&doc);
    start.movePosition(QTextCursor::Start);
    area.setTextCursor(start);
    area.ensureCursorVisible();
    area.horizontalScrollBar()->setValue(area.horizontalScrollBar()->minimum());
}

}  // namespace quorvel::ui
