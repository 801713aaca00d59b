// The window's fonts are the classic desktop's ("MS Sans Serif", "Arial",
// "Verdana"); where a family is missing, the nearest installed one stands in.
#pragma once

#include <QFont>
#include <QString>

namespace quorvel::ui {

// Registers the stand-ins once; later calls do nothing.
void InstallFontSubstitutes();

// `family` at `pixels` pixels.
QFont PixelFont(const QString& family, int pixels, bool bold = false, bool italic = false);

inline const QString kMsSansSerif = QStringLiteral("MS Sans Serif");
inline const QString kArial = QStringLiteral("Arial");
inline const QString kVerdana = QStringLiteral("Verdana");

}  // namespace quorvel::ui
