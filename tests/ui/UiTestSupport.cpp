#include "tests/ui/UiTestSupport.hpp"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

namespace quorvel::uitest {

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
    constexpr Guid kDecoderDmo = MakeGuid("{CBA9E78B-49A3-49EA-93D4-6BCBA8C4DE07}");
    constexpr Guid kVideoDecoderCategory = MakeGuid("{4A69B442-28BE-4991-969C-B500ADF5D8A8}");
    GraphStream s("0003");
    s.Filters();
    s.Filter({"0001", "File " + tag, "{E436EBB5-524F-11CE-9F53-0020AF0BA770}", R"(SOURCE "C:\clip.avi")", {}});
    s.Filter({"0002", "Decoder DMO", "{94297043-BD82-4DFD-B0DE-8177739C6D20}", "",
              testing::DmoWrapperData(kDecoderDmo, kVideoDecoderCategory)});
    s.Filter({"0003", "ACM Wrapper", "{6A08CF80-0E18-11CF-A24D-0020AFD79767}", "", testing::CodecWrapperData(0x0055)});
    s.Filter({"0004", "Webcam", "{17CCA71B-ECD7-11D0-B908-00A0C9223196}", "",
              testing::ProxyData(u"\\\\?\\usb#vid_046d&pid_0825&mi_02#6&2c8a9b3&0&0002#{65e8773d-8f56-11d0-a3b9-"
                                 u"00a0c9223196}\\global")});
    s.Connections();
    ConnectionSpec c;
    c.from = 1;
    c.to = 2;
    c.type.formatType = "{05589F80-C356-11CE-BF01-00AA0055595A}";
    c.type.format = testing::VideoInfoHeader(320, 240, 24, 0);
    s.Connection(c);
    s.Clock(true, "{E436EBB1-524F-11CE-9F53-0020AF0BA770}");
    s.End();
    return testing::GraphFile(s.bytes());
}

Bytes LongGraph(int filters) {
    GraphStream s("0003");
    s.Filters();
    for (int i = 1; i <= filters; ++i)
        s.Filter({testing::FourDigits(i), "Filter " + std::to_string(i), "{1B544C20-FD0B-11CE-8C63-00AA0044B51E}", "",
                  {}});
    s.Connections();
    s.Clock(false, "{E436EBB1-524F-11CE-9F53-0020AF0BA770}");
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
