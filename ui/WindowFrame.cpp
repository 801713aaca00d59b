#include "ui/WindowFrame.hpp"

#include <QWidget>
#include <QWindow>

namespace quorvel::ui {

QMargins FrameMargins(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

int OuterWidth(const QWidget& window) {
    const QMargins m = FrameMargins(window);
    return window.width() + m.left() + m.right();
}

int OuterHeight(const QWidget& window) {
    const QMargins m = FrameMargins(window);
    return window.height() + m.top() + m.bottom();
}

void SetOuterWidth(QWidget& window, int width) {
    const QMargins m = FrameMargins(window);
    window.resize(width - m.left() - m.right(), window.height());
}

void SetOuterSize(QWidget& window, int width, int height) {
    const QMargins m = FrameMargins(window);
    window.resize(width - m.left() - m.right(), height - m.top() - m.bottom());
}

void SetClientWidth(QWidget& window, int width) { window.resize(width, window.height()); }

}  // namespace quorvel::ui
