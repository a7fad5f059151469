#include "app/tximage.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include "app/skin_picture.h"

namespace app {

tximage::tximage(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  setMouseTracking(true);
}

void tximage::SetPicture(const QImage& picture) {
  if (picture.isNull()) return;
  picture_ = QPixmap::fromImage(picture);
  update();
}

void tximage::SetStretch(bool stretch) {
  stretch_ = stretch;
  update();
}

void tximage::paintEvent(QPaintEvent*) {
  if (picture_.isNull()) return;
  QPainter painter(this);
  if (stretch_)
    painter.drawPixmap(rect(), picture_);
  else
    painter.drawPixmap(0, 0, picture_);
}

void tximage::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  emit OnMouseEnter();
}

void tximage::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  emit OnMouseLeave();
}

void tximage::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  emit OnMouseDown(event->button(), p.x(), p.y());
}

void tximage::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  emit OnMouseMove(event->buttons(), p.x(), p.y());
}

void tximage::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  // A click is a release over the control, as the user expects of a button.
  const bool inside = rect().contains(p);
  QPointer<tximage> alive(this);
  emit OnMouseUp(event->button(), p.x(), p.y());
  if (alive && inside && event->button() == Qt::LeftButton) emit OnClick();
}

void tximage::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit OnDblClick();
}

bool LoadSkinPicture(tximage* control, const QString& skinFolder, const QString& fileName) {
  if (!control) return false;
  const QImage picture = ReadSkinPicture(FindSkinFile(skinFolder, fileName));
  if (picture.isNull()) return false;
  control->SetPicture(picture);
  control->PictureFile = fileName;
  return true;
}

}  // namespace app
