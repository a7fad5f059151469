#include "platform/x11_window.h"

#include <QGuiApplication>
#include <QWidget>
#include <X11/XKBlib.h>
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

bool WindowManagerRunning() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display) return true;
  const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
  if (check == None) return false;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const int status = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False,
                                        AnyPropertyType, &type, &format, &count, &after, &data);
  const bool running = status == Success && data && count == 1 && format == 32;
  if (data) XFree(data);
  return running;
}

bool StartWindowMove(const QWidget* window) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display || !window || !window->internalWinId() || !WindowManagerRunning()) return false;
  const Window root = DefaultRootWindow(display);
  Window rootReturn = 0, child = 0;
  int rootX = 0, rootY = 0, x = 0, y = 0;
  unsigned int mask = 0;
  if (!XQueryPointer(display, root, &rootReturn, &child, &rootX, &rootY, &x, &y, &mask))
    return false;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = static_cast<Window>(window->internalWinId());
  event.xclient.message_type = XInternAtom(display, "_NET_WM_MOVERESIZE", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = rootX;
  event.xclient.data.l[1] = rootY;
  event.xclient.data.l[2] = 8;  // _NET_WM_MOVERESIZE_MOVE
  event.xclient.data.l[3] = Button1;
  event.xclient.data.l[4] = 1;  // a normal application asks
  // The window manager takes the pointer only once our own grab is gone.
  XUngrabPointer(display, CurrentTime);
  XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(display);
  return true;
}

QPoint RealMapToGlobal(const QWidget* widget, QPoint local) {
  const QWidget* top = widget->window();
  if (std::optional<QPoint> origin = RealWindowOrigin(top))
    return *origin + widget->mapTo(top, local);
  return widget->mapToGlobal(local);
}

void FillNativeWindow(const QWidget* widget, const QRect& area, QRgb color) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display || !widget || !widget->internalWinId() || area.isEmpty()) return;
  const Window id = static_cast<Window>(widget->internalWinId());
  GC gc = XCreateGC(display, id, 0, nullptr);
  if (!gc) return;
  // The default 24-bit true-colour visual: the pixel is the RGB value.
  XSetForeground(display, gc, color & 0xffffff);
  XFillRectangle(display, id, gc, area.x(), area.y(), static_cast<unsigned>(area.width()),
                 static_cast<unsigned>(area.height()));
  XFreeGC(display, gc);
  XFlush(display);
}

unsigned long UnshiftedKeySym(unsigned int keyCode) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display || keyCode < 8 || keyCode > 255) return 0;
  const KeySym sym = XkbKeycodeToKeysym(display, static_cast<KeyCode>(keyCode), 0, 0);
  return sym == NoSymbol ? 0 : sym;
}

}  // namespace platform
