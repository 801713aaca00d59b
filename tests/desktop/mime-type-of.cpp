// mime-type-of name|content|default FILE...: the MIME type that Qt's database
// gives each file, by its name only, by its content only, or as applications
// ask (name first, content when the name says nothing), one line per file.
// It reads the databases of $XDG_DATA_HOME and $XDG_DATA_DIRS, as the window
// and every Qt desktop do.
#include <QCoreApplication>
#include <QMimeDatabase>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    const QString mode = args.value(0);
    if (args.size() < 2 || (mode != u"name" && mode != u"content" && mode != u"default")) {
        std::fputs("usage: mime-type-of name|content|default FILE...\n", stderr);
        return 2;
    }
    const QMimeDatabase::MatchMode match = mode == u"name"      ? QMimeDatabase::MatchExtension
                                           : mode == u"content" ? QMimeDatabase::MatchContent
                                                                : QMimeDatabase::MatchDefault;
    const QMimeDatabase db;
    for (const QString& file : args.mid(1)) std::printf("%s\n", qPrintable(db.mimeTypeForFile(file, match).name()));
    return 0;
}
