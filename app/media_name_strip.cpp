#include "app/media_name_strip.h"

#include <QEvent>
#include <QPainter>

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

void MediaNameStrip::ShowNow() {
  // Hidden, it is painted when shown.
  if (!isVisible() || size().isEmpty()) return;
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
  }
  frame_ = backgroundPicture_;
  QPainter(&frame_).drawPixmap(name_->pos(), name_->Picture());
  if (!platform::PutPicture(this, frame_)) update();
}

}  // namespace app
