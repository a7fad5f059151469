#include "platform/x11_window.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QRegion>
#include <QWidget>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <vector>

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

namespace {

// What drawing into one X window needs, asked of the server once.
struct PutTarget {
  bool usable = false;
  std::uint8_t depth = 0;
  xcb_gcontext_t gc = 0;
};

xcb_connection_t* QtConnection() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

// Whether the server takes 32-bit little-endian pixels at this depth, as an
// RGB32 picture holds them on this machine.
bool TakesRgb32(xcb_connection_t* connection, std::uint8_t depth) {
  const xcb_setup_t* setup = xcb_get_setup(connection);
  if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return false;
  for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it))
    if (it.data->depth == depth) return it.data->bits_per_pixel == 32;
  return false;
}

const PutTarget& TargetFor(xcb_connection_t* connection, xcb_window_t window) {
  // Windows are few and live as long as the player; a recreated one gets a new id.
  static std::unordered_map<xcb_window_t, PutTarget> targets;
  auto found = targets.find(window);
  if (found != targets.end()) return found->second;
  PutTarget target;
  xcb_get_geometry_reply_t* geometry =
      xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
  if (geometry) {
    target.depth = geometry->depth;
    std::free(geometry);
    if ((target.depth == 24 || target.depth == 32) && TakesRgb32(connection, target.depth)) {
      target.gc = xcb_generate_id(connection);
      xcb_create_gc(connection, target.gc, window, 0, nullptr);
      target.usable = true;
    }
  }
  return targets.emplace(window, target).first->second;
}

}  // namespace

namespace {
// Where a widget's pixels go in its top-level window.
struct PutPlace {
  xcb_connection_t* connection = nullptr;
  xcb_window_t window = 0;
  const PutTarget* target = nullptr;
  QPoint origin;
};

std::optional<PutPlace> PlaceFor(const QWidget* widget) {
  if (!widget || !widget->isVisible() || !QtConnection()) return std::nullopt;
  const QWidget* top = widget->window();
  // A native child (a video panel) has a window of its own, and the
  // toolkit paints it by other rules.
  if (widget->nativeParentWidget() != top || !top->internalWinId()) return std::nullopt;
  if (widget->devicePixelRatioF() != 1.0) return std::nullopt;
  PutPlace place;
  place.connection = QtConnection();
  place.window = static_cast<xcb_window_t>(top->internalWinId());
  place.target = &TargetFor(place.connection, place.window);
  if (!place.target->usable) return std::nullopt;
  place.origin = widget->mapTo(top, QPoint(0, 0));
  return place;
}
}  // namespace

bool PutPicture(const QWidget* widget, const QImage& picture, const QRect& area) {
  const std::optional<PutPlace> place = PlaceFor(widget);
  if (!place || picture.isNull()) return false;
  const QImage pixels = picture.format() == QImage::Format_RGB32
                            ? picture
                            : picture.convertToFormat(QImage::Format_RGB32);
  xcb_connection_t* connection = place->connection;
  const xcb_window_t window = place->window;
  const PutTarget& target = *place->target;
  const QPoint origin = place->origin;
  // Rows per request, within the server's request limit (in 4-byte units).
  const std::uint32_t maxBytes = xcb_get_maximum_request_length(connection) * 4u - 64u;
  std::vector<std::uint8_t> rows;
  const QRect whole(QPoint(0, 0), pixels.size());
  const QRegion visible = widget->visibleRegion() & (area.isNull() ? whole : area & whole);
  for (const QRect& part : visible) {
    const int rowBytes = part.width() * 4;
    const int perRequest = std::max(1, static_cast<int>(maxBytes / static_cast<std::uint32_t>(rowBytes)));
    for (int y = part.top(); y <= part.bottom(); y += perRequest) {
      const int count = std::min(perRequest, part.bottom() + 1 - y);
      rows.resize(static_cast<size_t>(rowBytes) * static_cast<size_t>(count));
      for (int r = 0; r < count; ++r)
        std::memcpy(rows.data() + static_cast<size_t>(r) * static_cast<size_t>(rowBytes),
                    pixels.constScanLine(y + r) + part.left() * 4, static_cast<size_t>(rowBytes));
      xcb_put_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, target.gc,
                    static_cast<std::uint16_t>(part.width()), static_cast<std::uint16_t>(count),
                    static_cast<std::int16_t>(origin.x() + part.left()),
                    static_cast<std::int16_t>(origin.y() + y), 0, target.depth,
                    static_cast<std::uint32_t>(rows.size()), rows.data());
    }
  }
  xcb_flush(connection);
  return true;
}

namespace {
bool ServerSharesMemory(xcb_connection_t* connection) {
  const xcb_query_extension_reply_t* shm = xcb_get_extension_data(connection, &xcb_shm_id);
  return shm && shm->present;
}
}  // namespace

unsigned char* AttachSharedPicture(std::size_t bytes, std::uint32_t* segment) {
  *segment = 0;
  xcb_connection_t* connection = QtConnection();
  if (!connection || bytes == 0 || !ServerSharesMemory(connection)) return nullptr;
  const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (id < 0) return nullptr;
  void* memory = shmat(id, nullptr, 0);
  if (memory == reinterpret_cast<void*>(-1)) {
    shmctl(id, IPC_RMID, nullptr);
    return nullptr;
  }
  const xcb_shm_seg_t seg = xcb_generate_id(connection);
  xcb_generic_error_t* error =
      xcb_request_check(connection, xcb_shm_attach_checked(connection, seg, static_cast<std::uint32_t>(id), 1));
  // Marked for removal now: it goes once both sides have let go, also if we crash.
  shmctl(id, IPC_RMID, nullptr);
  if (error) {
    std::free(error);
    shmdt(memory);
    return nullptr;
  }
  *segment = seg;
  return static_cast<unsigned char*>(memory);
}

void DetachSharedPicture(unsigned char* memory, std::uint32_t segment) {
  if (xcb_connection_t* connection = QtConnection(); connection && segment) {
    xcb_shm_detach(connection, segment);
    xcb_flush(connection);
  }
  if (memory) shmdt(memory);
}

bool PutSharedPicture(const QWidget* widget, std::uint32_t segment, QSize size, int stride, QPoint at) {
  if (!segment || size.isEmpty() || stride < size.width() * 4 || stride % 4) return false;
  const std::optional<PutPlace> place = PlaceFor(widget);
  if (!place) return false;
  xcb_connection_t* connection = place->connection;
  const xcb_window_t window = place->window;
  const PutTarget& target = *place->target;
  const QPoint origin = place->origin;
  const QRegion visible = widget->visibleRegion() & QRect(at, size);
  for (const QRect& part : visible)
    xcb_shm_put_image(connection, window, target.gc, static_cast<std::uint16_t>(stride / 4),
                      static_cast<std::uint16_t>(size.height()),
                      static_cast<std::uint16_t>(part.left() - at.x()),
                      static_cast<std::uint16_t>(part.top() - at.y()),
                      static_cast<std::uint16_t>(part.width()), static_cast<std::uint16_t>(part.height()),
                      static_cast<std::int16_t>(origin.x() + part.left()),
                      static_cast<std::int16_t>(origin.y() + part.top()), target.depth,
                      XCB_IMAGE_FORMAT_Z_PIXMAP, 0, segment, 0);
  // A round trip: every request before it has been carried out.
  std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
  return true;
}

namespace {
class DestroyWatch final : public QObject, public QAbstractNativeEventFilter {
 public:
  DestroyWatch(QWidget* window, std::function<void()> gone)
      : QObject(window), window_(window), gone_(std::move(gone)) {
    QCoreApplication::instance()->installNativeEventFilter(this);
  }
  ~DestroyWatch() override { QCoreApplication::instance()->removeNativeEventFilter(this); }
  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t" || !gone_ || !window_) return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_DESTROY_NOTIFY) return false;
    const auto* destroyed = reinterpret_cast<xcb_destroy_notify_event_t*>(event);
    // When the toolkit destroys the window itself, the widget has no id or a new one by now.
    if (destroyed->window != destroyed->event || !window_->internalWinId() ||
        destroyed->window != static_cast<xcb_window_t>(window_->internalWinId()))
      return false;
    std::function<void()> gone = std::move(gone_);
    gone_ = nullptr;
    QMetaObject::invokeMethod(this, [gone] { gone(); }, Qt::QueuedConnection);
    return false;
  }

 private:
  QPointer<QWidget> window_;
  std::function<void()> gone_;
};
}  // namespace

void WhenDestroyedByOthers(QWidget* window, std::function<void()> gone) {
  if (!window || !QtConnection()) return;
  new DestroyWatch(window, std::move(gone));
}

unsigned long UnshiftedKeySym(unsigned int keyCode) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display || keyCode < 8 || keyCode > 255) return 0;
  const KeySym sym = XkbKeycodeToKeysym(display, static_cast<KeyCode>(keyCode), 0, 0);
  return sym == NoSymbol ? 0 : sym;
}

}  // namespace platform
