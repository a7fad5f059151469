#include "capture/capture_page.h"

#include <QCursor>
#include <QEvent>
#include <algorithm>

namespace capture {

namespace {
void Fill(QWidget* w, const QColor& colour) {
  QPalette palette = w->palette();
  palette.setColor(QPalette::Window, colour);
  palette.setColor(QPalette::WindowText, colour);
  w->setPalette(palette);
}

bool UnderMouse(const QWidget* w) {
  return w->isVisible() && w->rect().contains(w->mapFromGlobal(QCursor::pos()));
}
}  // namespace

CaptureTile::CaptureTile(QWidget* parent, const QString& text, const QImage& picture)
    : QWidget(parent), caption(text) {
  setObjectName("CaptureTile");
  setAutoFillBackground(true);
  Fill(this, Qt::black);
  resize(kTileWidth, kTileHeight);
  setToolTip(caption);
  image = new QLabel(this);
  image->setObjectName("CaptureImage");
  image->setGeometry(2, 2, kTileWidth - 4, kTileHeight - 4);
  image->setScaledContents(true);
  // Only the shown size is kept; the full frame stays with the capture list.
  image->setPixmap(QPixmap::fromImage(
      picture.scaled(image->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
  image->installEventFilter(this);
}

void CaptureTile::SetColour(const QColor& colour) { Fill(this, colour); }

void CaptureTile::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  if (onLeave) onLeave(this);
}

bool CaptureTile::eventFilter(QObject* watched, QEvent* event) {
  if (watched == image && event->type() == QEvent::Enter && onEnter) onEnter(this);
  if (watched == image && event->type() == QEvent::Leave && onLeave) onLeave(this);
  return QWidget::eventFilter(watched, event);
}

CaptureTile* CapturePage::AddTile(const QString& caption, const QImage& picture) {
  auto* tile = new CaptureTile(parts_.content, caption, picture);
  tile->setFont(parts_.font);
  tile->move(kTileLeft, kTilePitch * static_cast<int>(tiles_.size()));
  tile->onEnter = [this](CaptureTile* t) { Enter(t); };
  tile->onLeave = [this](CaptureTile* t) { Leave(t); };
  tiles_.push_back(tile);
  parts_.content->resize(parts_.content->width(), kTilePitch * static_cast<int>(tiles_.size()));
  tile->show();
  return tile;
}

void CapturePage::RemoveTile(int index) {
  if (index < 0 || index >= static_cast<int>(tiles_.size())) return;
  SendToolBarHome();
  delete tiles_[static_cast<size_t>(index)];
  tiles_.erase(tiles_.begin() + index);
  for (size_t i = static_cast<size_t>(index); i < tiles_.size(); ++i)
    tiles_[i]->move(kTileLeft, tiles_[i]->y() - kTilePitch);
  parts_.content->resize(parts_.content->width(), kTilePitch * static_cast<int>(tiles_.size()));
}

void CapturePage::Clear() {
  SendToolBarHome();
  for (CaptureTile* tile : tiles_) delete tile;
  tiles_.clear();
  parts_.content->resize(parts_.content->width(), 0);
}

int CapturePage::ToolBarTile() const {
  for (size_t i = 0; i < tiles_.size(); ++i)
    if (parts_.toolBar->parentWidget() == tiles_[i]) return static_cast<int>(i);
  return -1;
}

void CapturePage::Enter(CaptureTile* tile) {
  for (CaptureTile* other : tiles_) other->SetColour(other == tile ? parts_.highlight : Qt::black);
  parts_.toolBar->setParent(tile);
  parts_.toolBar->move(2, tile->height() - 22);
  parts_.toolBar->show();
  parts_.toolBar->raise();
}

void CapturePage::Leave(CaptureTile* tile) {
  // Onto the tool bar, or back onto the picture, is still over the tile.
  if (parts_.toolBar->parentWidget() == tile && UnderMouse(parts_.toolBar)) return;
  if (UnderMouse(tile->image)) return;
  tile->SetColour(Qt::black);
  if (parts_.toolBar->parentWidget() == tile) SendToolBarHome();
}

void CapturePage::SendToolBarHome() {
  if (auto* tile = qobject_cast<CaptureTile*>(parts_.toolBar->parentWidget()))
    tile->SetColour(Qt::black);
  parts_.toolBar->hide();
  if (parts_.toolBar->parentWidget() != parts_.toolBarHome) parts_.toolBar->setParent(parts_.toolBarHome);
}

}  // namespace capture
