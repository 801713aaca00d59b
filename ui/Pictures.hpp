// The program's pictures, drawn by us (resources/images, made by
// resources/images/make-images.sh) and built into the program.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace quorvel::ui {

// The indexes of ImageList1.
enum class Picture { Save = 0, Paste = 1, About = 2, Open = 3, Quit = 4 };

QPixmap ImageListPicture(Picture picture);  // 25 x 25
QIcon ProgramIcon();                        // 32 x 32, 16 colours
QPixmap CloseGlyph(bool enabled);           // 18 x 18

// The about panel's photograph (548 x 372), decoded by our JPEG loader.
QImage Photograph();

}  // namespace quorvel::ui
