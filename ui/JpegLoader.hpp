// Our JPEG decoder for the about panel's photograph, on libjpeg: the
// picture does not depend on which image plugins the Qt installation ships.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace quorvel::ui {

// Decodes a JPEG held in memory (greyscale or colour) into an RGB image; a
// null image when libjpeg cannot read it.
QImage DecodeJpeg(const QByteArray& data);

// The same for a file or a Qt resource path (":/...").
QImage LoadJpeg(const QString& path);

}  // namespace quorvel::ui
