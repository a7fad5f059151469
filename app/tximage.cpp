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
  // The release that ends a double click is no second click.
  const bool click = inside && event->button() == Qt::LeftButton && !afterDoubleClick_;
  afterDoubleClick_ = false;
  QPointer<tximage> alive(this);
  emit OnMouseUp(event->button(), p.x(), p.y());
  if (alive && click) emit OnClick();
}

void tximage::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click is a press as well.
  const QPoint p = event->position().toPoint();
  QPointer<tximage> alive(this);
  emit OnMouseDown(event->button(), p.x(), p.y());
  if (!alive || event->button() != Qt::LeftButton) return;
  afterDoubleClick_ = true;
  emit OnDblClick();
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
