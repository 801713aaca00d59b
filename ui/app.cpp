// quorvel: the desktop window.  It reads no command line and keeps no
// settings; files come through the open dialog, drops and the clipboard.
#include <QApplication>

#include "platform/ComApartment.hpp"
#include "ui/main.hpp"

int main(int argc, char** argv) {
    const quorvel::ComApartment apartment;  // before the window builds the catalog
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    quorvel::ui::TForm1 form;
    form.show();
    return QApplication::exec();
}
