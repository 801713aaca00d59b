// The outer size of a top-level window (its frame included), which the
// window's layout rules are stated in, beside Qt's client size.
#pragma once

#include <QMargins>

class QWidget;

namespace quorvel::ui {

// The frame the platform draws around `window`; empty until the platform
// knows it (X11 learns it only once a window manager has framed the window).
QMargins FrameMargins(const QWidget& window);

int OuterWidth(const QWidget& window);
int OuterHeight(const QWidget& window);

// Resizes the window so that its outer width is `width`; the height is kept.
void SetOuterWidth(QWidget& window, int width);
void SetOuterSize(QWidget& window, int width, int height);

// Resizes the window so that its client area is `width` wide; the height is kept.
void SetClientWidth(QWidget& window, int width);

}  // namespace quorvel::ui
