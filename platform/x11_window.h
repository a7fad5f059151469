#pragma once
// What the X server says and does for our windows: where a top-level window
// really is (under a reparenting window manager the toolkit's idea of it can
// lag behind), window manager requests, and pictures put straight in.
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRgb>
#include <QSize>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

namespace platform {

// Screen position of the widget's client origin; nothing off X11.
std::optional<QPoint> RealWindowOrigin(const QWidget* window);

// Whether a window manager runs on the display (it has claimed the
// _NET_SUPPORTING_WM_CHECK window). True off X11, where the platform itself
// keeps window states.
bool WindowManagerRunning();

// Hands the window to the window manager for a move by the pointer, from
// where the pointer really is (_NET_WM_MOVERESIZE). False when that cannot
// be asked; the caller then uses the toolkit's own move.
bool StartWindowMove(const QWidget* window);

// A point of a widget in screen coordinates, through the real origin of its
// top-level window where there is one.
QPoint RealMapToGlobal(const QWidget* widget, QPoint local);

// Fills part of a widget's own X window with a colour: a native window that a
// video sink draws in is not painted by Qt, so while no sink draws, old
// pixels would stay there. Nothing off X11.
void FillNativeWindow(const QWidget* widget, const QRect& area, QRgb color);

// Draws an RGB32 picture straight into the widget's place in its window, from
// the widget's origin and clipped to the part of it that is visible, in one
// request per visible rectangle and without waiting for the server. A
// toolkit repaint costs a round trip and a flush of the whole changed area,
// which at 50 small changes a second is most of an idle player's work. The
// toolkit's own copy of the area is not changed: the widget must paint the
// same picture when it is asked to, and the caller puts it again after an
// expose (the toolkit then shows its older copy).
// False, with nothing drawn, unless the widget is visible, on X11, at a
// device pixel ratio of 1, inside its top-level's own X window (not inside a
// native child) of a 24- or 32-bit depth: the caller then repaints the usual way.
// `area`, where given, limits the put to that part of the picture.
bool PutPicture(const QWidget* widget, const QImage& picture, const QRect& area = QRect());

// Pictures the X server reads from memory it shares with us (MIT-SHM), so a
// video frame reaches the window without a copy through the toolkit.
// `bytes` of memory the server has attached, with its segment; null when the
// server shares none (another machine, no extension, off X11).
unsigned char* AttachSharedPicture(std::size_t bytes, std::uint32_t* segment);
// Frees such memory; the server lets go of it too while it still runs.
void DetachSharedPicture(unsigned char* memory, std::uint32_t segment);
// Draws a shared picture of `size` pixels and `stride` bytes a row at `at` in
// the widget, clipped to the part of it that is visible, and waits until the
// server has read it, so the memory may be written again on return. False,
// with nothing drawn, where PutPicture would be.
bool PutSharedPicture(const QWidget* widget, std::uint32_t segment, QSize size, int stride, QPoint at);

// Calls `gone` once when another client destroys the window's X window (a
// tool that closes windows by force): the toolkit would go on running without
// a window, and the player with its sound. Not for the toolkit's own
// destroying. Nothing off X11.
void WhenDestroyedByOthers(QWidget* window, std::function<void()> gone);

// The keysym a key gives without Shift (its first level), from the X key code
// a key event carries as its native scan code: Shift+1 gives "exclam", but
// names the key "1". 0 off X11 or for an unknown code.
unsigned long UnshiftedKeySym(unsigned int keyCode);

}  // namespace platform
