// The program's pictures, drawn by us (resources/images, made by
// resources/images/make-images.sh) and built into the program.  Each drawn
// picture is there at two densities, the design's and twice that (NAME@2x):
// the icons hold both, and Qt paints the one that suits the screen.
#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace quorvel::ui {

// The indexes of ImageList1.
enum class Picture { Save = 0, Paste = 1, About = 2, Open = 3, Quit = 4 };

QIcon ImageListIcon(Picture picture);  // 25 x 25
QIcon ProgramIcon();                   // 32 x 32, 16 colours
QIcon CloseIcon();                     // 18 x 18, with its own disabled look

// The program's icon as a picture for a screen of `devicePixelRatio`.
QPixmap ProgramPicture(qreal devicePixelRatio);

// The about panel's photograph (548 x 372), decoded by our JPEG loader.
QImage Photograph();

}  // namespace quorvel::ui
