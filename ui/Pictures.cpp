#include "ui/Pictures.hpp"

#include <QImage>
#include <QString>

#include "ui/JpegLoader.hpp"

// Resources of a static library are registered by hand.
static void InitQuorvelResources() { Q_INIT_RESOURCE(quorvel); }

namespace quorvel::ui {
namespace {

QString Resource(const char* name) {
    static const bool registered = [] {
        InitQuorvelResources();
        return true;
    }();
    (void)registered;
    return QStringLiteral(":/images/") + QString::fromLatin1(name);
}

QPixmap Load(const char* name) { return QPixmap(Resource(name)); }

}  // namespace

QPixmap ImageListPicture(Picture picture) {
    switch (picture) {
        case Picture::Save: return Load("save.png");
        case Picture::Paste: return Load("paste.png");
        case Picture::About: return Load("about.png");
        case Picture::Open: return Load("open.png");
        case Picture::Quit: return Load("quit.png");
    }
    return {};
}

QIcon ProgramIcon() { return QIcon(Load("quorvel.png")); }

QPixmap CloseGlyph(bool enabled) { return Load(enabled ? "close.png" : "close-disabled.png"); }

QImage Photograph() {
    return LoadJpeg(Resource("photo.jpg"));
}

}  // namespace quorvel::ui
