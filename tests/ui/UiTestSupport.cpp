#include "tests/ui/UiTestSupport.hpp"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include "tests/support/WellKnown.hpp"

namespace quorvel::uitest {

namespace wk = quorvel::wellknown;

using testing::Bytes;
using testing::ConnectionSpec;
using testing::FilterSpec;
using testing::GraphStream;

bool ShowActive(QWidget& window) {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

Bytes ColourfulGraph(const std::string& tag) {
    constexpr Guid kDecoderDmo = MakeGuid(wk::kMpeg43DecoderDmo);
    constexpr Guid kVideoDecoderCategory = MakeGuid(wk::kDmoVideoDecoderCategory);
    GraphStream s("0003");
    s.Filters();
    s.Filter({"0001", "File " + tag, wk::kFileSourceAsync, R"(SOURCE "C:\clip.avi")", {}});
    s.Filter({"0002", "Decoder DMO", wk::kDmoWrapper, "", testing::DmoWrapperData(kDecoderDmo, kVideoDecoderCategory)});
    s.Filter({"0003", "ACM Wrapper", wk::kAcmWrapper, "", testing::CodecWrapperData(0x0055)});
    s.Filter({"0004", "Webcam", wk::kKsProxy, "", testing::ProxyData(testing::kWebcamDevicePath)});
    s.Connections();
    ConnectionSpec c;
    c.from = 1;
    c.to = 2;
    c.type.formatType = wk::kFormatVideoInfo;
    c.type.format = testing::VideoInfoHeader(320, 240, 24, 0);
    s.Connection(c);
    s.Clock(true, wk::kSystemClock);
    s.End();
    return testing::GraphFile(s.bytes());
}

Bytes LongGraph(int filters) {
    GraphStream s("0003");
    s.Filters();
    for (int i = 1; i <= filters; ++i)
        s.Filter({testing::FourDigits(i), "Filter " + std::to_string(i), wk::kAviSplitter, "", {}});
    s.Connections();
    s.Clock(false, wk::kSystemClock);
    s.End();
    return testing::GraphFile(s.bytes());
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const Bytes& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return path;
}

std::shared_ptr<bool> OnModal(const QString& name, std::function<void(QWidget*)> fn, int timeoutMs) {
    auto ran = std::make_shared<bool>(false);
    auto* timer = new QTimer(qApp);
    auto* clock = new QElapsedTimer;
    clock->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [=]() {
        QWidget* modal = QApplication::activeModalWidget();
        const bool found = modal && modal->objectName() == name && modal->isVisible();
        if (!found && clock->elapsed() < timeoutMs) return;
        timer->stop();
        timer->deleteLater();
        delete clock;
        if (found) {
            *ran = true;
            fn(modal);
            return;
        }
        // Not seen in time: close whatever blocks the test instead, so that
        // it fails rather than hangs.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible() && dialog->isModal())
                dialog->reject();
    });
    timer->start();
    return ran;
}

QList<ShownLine> ShownLines(const QPlainTextEdit& memo) {
    QList<ShownLine> lines;
    for (QTextBlock block = memo.document()->begin(); block.isValid(); block = block.next()) {
        QTextCharFormat format = block.charFormat();
        const QTextBlock::iterator first = block.begin();
        if (!first.atEnd()) format = first.fragment().charFormat();
        lines.append({block.text(), format.foreground().color(), format.fontWeight() >= QFont::Bold});
    }
    return lines;
}

QString Describe(const ShownLine& line) {
    return QStringLiteral("\"%1\" %2%3").arg(line.text, line.color.name(), line.bold ? QStringLiteral(" bold") : QString());
}

}  // namespace quorvel::uitest
