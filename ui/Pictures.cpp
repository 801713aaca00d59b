#include "ui/Pictures.hpp"

#include <QString>

#include "ui/JpegLoader.hpp"

// Resources of a static library are registered by hand.
static void InitQuorvelResources() { Q_INIT_RESOURCE(quorvel); }

namespace quorvel::ui {
namespace {

QString Resource(const QString& name) {
    static const bool registered = [] {
        InitQuorvelResources();
        return true;
    }();
    (void)registered;
    return QStringLiteral(":/images/") + name;
}

// `name` at the design's density and at twice it, in one icon.
void AddBothDensities(QIcon& icon, const char* name, QIcon::Mode mode = QIcon::Normal) {
    const QString base = QString::fromLatin1(name);
    icon.addPixmap(QPixmap(Resource(base + QStringLiteral(".png"))), mode);
    QPixmap twice(Resource(base + QStringLiteral("@2x.png")));
    twice.setDevicePixelRatio(2.0);
    icon.addPixmap(twice, mode);
}

QIcon Icon(const char* name) {
    QIcon icon;
    AddBothDensities(icon, name);
    return icon;
}

}  // namespace

QIcon ImageListIcon(Picture picture) {
    switch (picture) {
        case Picture::Save: return Icon("save");
        case Picture::Paste: return Icon("paste");
        case Picture::About: return Icon("about");
        case Picture::Open: return Icon("open");
        case Picture::Quit: return Icon("quit");
    }
    return {};
}

QIcon ProgramIcon() { return Icon("quorvel"); }

QIcon CloseIcon() {
    QIcon icon;
    AddBothDensities(icon, "close");
    AddBothDensities(icon, "close-disabled", QIcon::Disabled);
    return icon;
}

QPixmap ProgramPicture(qreal devicePixelRatio) { return ProgramIcon().pixmap(QSize(32, 32), devicePixelRatio); }

QImage Photograph() { return LoadJpeg(Resource(QStringLiteral("photo.jpg"))); }

}  // namespace quorvel::ui
