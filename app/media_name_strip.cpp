#include "app/media_name_strip.h"

#include <QEvent>
#include <QPainter>
#include <QRgb>

#include <algorithm>
#include <cstdint>

#include "platform/x11_window.h"

namespace app {

MediaNameLabel::MediaNameLabel(QWidget* parent) : QLabel(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  // Hidden, a move costs nothing.
  hide();
}

const QPixmap& MediaNameLabel::Picture() {
  const qreal ratio = devicePixelRatioF();
  if (picture_.isNull() || pictureText_ != text() || picture_.size() != size() * ratio) {
    picture_ = QPixmap(size() * ratio);
    picture_.setDevicePixelRatio(ratio);
    picture_.fill(Qt::transparent);
    pictureText_ = text();
    // A label cannot render itself while it paints: a twin draws the picture.
    QLabel twin(pictureText_);
    twin.setFont(font());
    twin.setPalette(palette());
    twin.setForegroundRole(foregroundRole());
    twin.setAlignment(alignment());
    twin.setTextFormat(textFormat());
    twin.setEnabled(isEnabled());
    twin.resize(size());
    twin.render(&picture_, QPoint(), QRegion(), RenderFlags());
  }
  return picture_;
}

void MediaNameLabel::paintEvent(QPaintEvent*) { QPainter(this).drawPixmap(0, 0, Picture()); }

void MediaNameLabel::changeEvent(QEvent* event) {
  picture_ = QPixmap();
  QLabel::changeEvent(event);
}

MediaNameStrip::MediaNameStrip(QWidget* strip, tximage* background, MediaNameLabel* name)
    : QWidget(strip), background_(background), name_(name) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void MediaNameStrip::paintEvent(QPaintEvent*) {
  QPainter(this).drawPixmap(name_->pos(), name_->Picture());
  // Whatever the toolkit repaints here may have changed the picture beneath.
  backgroundStale_ = true;
}

namespace {
// A premultiplied pixel over an opaque one, as the toolkit's raster blend does.
inline QRgb Over(QRgb source, QRgb target) {
  const unsigned alpha = qAlpha(source);
  if (alpha == 0) return target;
  if (alpha == 255) return source;
  const unsigned rest = 255 - alpha;
  std::uint32_t redBlue = (target & 0xff00ff) * rest;
  redBlue = ((redBlue + ((redBlue >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
  std::uint32_t greenAlpha = ((target >> 8) & 0xff00ff) * rest;
  greenAlpha = (greenAlpha + ((greenAlpha >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
  return (source + (greenAlpha | redBlue)) | 0xff000000u;
}
}  // namespace

void MediaNameStrip::ShowNow(bool whole) {
  // Hidden, it is painted when shown.
  if (!isVisible() || size().isEmpty()) return;
  // Composed here pixel for pixel, at a pixel ratio of 1 (else painted): a
  // painter begun 50 times a second costs more than the rows the name covers.
  if (devicePixelRatioF() != 1.0) {
    update();
    return;
  }
  if (backgroundStale_ || backgroundPicture_.size() != size()) {
    backgroundPicture_ = QImage(size(), QImage::Format_RGB32);
    backgroundPicture_.fill(Qt::black);
    // As the strip's picture paints itself (a widget's render would cost a
    // screen-sized buffer).
    QPainter painter(&backgroundPicture_);
    const QRect place = background_->geometry().translated(-pos());
    if (background_->Stretch())
      painter.drawPixmap(place, background_->Picture());
    else
      painter.drawPixmap(place.topLeft(), background_->Picture());
    backgroundStale_ = false;
    whole = true;
  }
  if (frame_.size() != size()) {
    frame_ = QImage(size(), QImage::Format_RGB32);
    whole = true;
  }
  const QPixmap& name = name_->Picture();
  if (name.cacheKey() != namePictureKey_) {
    namePicture_ = name.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    namePictureKey_ = name.cacheKey();
  }
  const QRect strip = rect();
  const QRect at = QRect(name_->pos(), namePicture_.size()) & strip;
  // Only where the name stands now or stood last changes.
  const QRect changed = whole ? strip : (at | shown_) & strip;
  for (int y = changed.top(); y <= changed.bottom(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(frame_.scanLine(y));
    const auto* back = reinterpret_cast<const QRgb*>(backgroundPicture_.constScanLine(y));
    std::copy(back + changed.left(), back + changed.right() + 1, row + changed.left());
    if (y < at.top() || y > at.bottom()) continue;
    const auto* over = reinterpret_cast<const QRgb*>(namePicture_.constScanLine(y - name_->y()));
    for (int x = at.left(); x <= at.right(); ++x) row[x] = Over(over[x - name_->x()], row[x]);
  }
  shown_ = at;
  if (changed.isEmpty()) return;
  if (!platform::PutPicture(this, frame_, changed)) {
    update();
    shown_ = QRect();
  }
}

}  // namespace app
