// quorvel: the desktop window.  It reads no command line and keeps no
// settings; files come through the open dialog, drops and the clipboard.
#include <QApplication>

#include "ui/main.hpp"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    quorvel::ui::TForm1 form;
    form.show();
    return QApplication::exec();
}
