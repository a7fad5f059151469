#include "platform/x11_window.h"

#include <QGuiApplication>
#include <QWidget>
#include <X11/Xlib.h>

namespace platform {

std::optional<QPoint> RealWindowOrigin(const QWidget* window) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !window || !window->internalWinId()) return std::nullopt;
  Display* display = x11->display();
  if (!display) return std::nullopt;
  const Window id = static_cast<Window>(window->internalWinId());
  int x = 0, y = 0;
  Window child = 0;
  if (!XTranslateCoordinates(display, id, DefaultRootWindow(display), 0, 0, &x, &y, &child))
    return std::nullopt;
  return QPoint(x, y);
}

QPoint RealMapToGlobal(const QWidget* widget, QPoint local) {
  const QWidget* top = widget->window();
  if (std::optional<QPoint> origin = RealWindowOrigin(top))
    return *origin + widget->mapTo(top, local);
  return widget->mapToGlobal(local);
}

}  // namespace platform
