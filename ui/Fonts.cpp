#include "ui/Fonts.hpp"

#include <QStringList>

namespace quorvel::ui {

void InstallFontSubstitutes() {
    static const bool done = [] {
        // Metric-compatible families first, then families of the same cut.
        QFont::insertSubstitutions(kMsSansSerif, {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Tahoma"),
                                                  QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                                  QStringLiteral("DejaVu Sans")});
        QFont::insertSubstitutions(kArial, {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                            QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")});
        QFont::insertSubstitutions(kVerdana, {QStringLiteral("DejaVu Sans"), QStringLiteral("Bitstream Vera Sans"),
                                              QStringLiteral("Liberation Sans")});
        return true;
    }();
    (void)done;
}

QFont PixelFont(const QString& family, int pixels, bool bold, bool italic) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

}  // namespace quorvel::ui
