#pragma once
// Where a top-level window really is, as the X server says. Under a
// reparenting window manager the toolkit's idea of it can lag behind.
#include <QPoint>
#include <optional>

class QWidget;

namespace platform {

// Screen position of the widget's client origin; nothing off X11.
std::optional<QPoint> RealWindowOrigin(const QWidget* window);

// A point of a widget in screen coordinates, through the real origin of its
// top-level window where there is one.
QPoint RealMapToGlobal(const QWidget* widget, QPoint local);

}  // namespace platform
