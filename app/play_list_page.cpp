#include "app/play_list_page.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QTextLayout>
#include <algorithm>

#include "app/main_form.h"
#include "assets/skin_layout.h"
#include "engine/session.h"

namespace app {

namespace p = skin::panel;

namespace {
void Fill(QWidget* w, const QColor& colour) {
  QPalette palette = w->palette();
  palette.setColor(QPalette::Window, colour);
  w->setPalette(palette);
}
}  // namespace

PlayListTile::PlayListTile(QWidget* parent) : QWidget(parent) {
  setObjectName("PlayListTile");
  setAutoFillBackground(true);
  Fill(this, Qt::black);
  resize(p::kTileW, p::kTileH);
  background = new tximage(this);
  background->SetStretch(true);
  background->setGeometry(2, 2, p::kTileBgW, p::kTileBgH);
  icon = new tximage(this);
  icon->SetStretch(true);
  icon->setGeometry(p::kTileIcon.dx, p::kTileIcon.y, p::kTileIcon.w, p::kTileIcon.h);
  textPanel = new QWidget(this);
  textPanel->setGeometry(p::kTileText.dx, p::kTileText.y, p::kTileText.w, p::kTileText.h);
  label = new QLabel(textPanel);
  label->setObjectName("TileLabel");
  label->installEventFilter(this);
  // The pictures answer the mouse like the tile itself; the label is clicked.
  for (QWidget* w : {static_cast<QWidget*>(background), static_cast<QWidget*>(icon)})
    w->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PlayListTile::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  if (onEnter) onEnter(this);
}

void PlayListTile::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  if (onLeave) onLeave(this);
}

bool PlayListTile::eventFilter(QObject* watched, QEvent* event) {
  // The press is taken, so its release comes back to the label.
  if (watched == label && (event->type() == QEvent::MouseButtonPress ||
                           event->type() == QEvent::MouseButtonDblClick))
    return true;
  if (watched == label && event->type() == QEvent::MouseButtonRelease) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton && label->rect().contains(mouse->position().toPoint()) &&
        onLabelClick)
      onLabelClick(this);
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

PlayListPage::PlayListPage(Parts parts, const playlist::PlayList& list, QObject* parent)
    : QObject(parent), parts_(std::move(parts)), list_(list) {
  parts_.content->installEventFilter(this);
  parts_.page->installEventFilter(this);
}

int PlayListPage::ContentHeight() const { return p::kTilePitch * list_.Count(); }

bool PlayListPage::eventFilter(QObject* watched, QEvent* event) {
  // Scrolling moves the content; a taller page shows more rows.
  if ((watched == parts_.content && event->type() == QEvent::Move) ||
      (watched == parts_.page && event->type() == QEvent::Resize))
    PlaceTiles();
  return QObject::eventFilter(watched, event);
}

void PlayListPage::Refresh() {
  if (shownVersion_ != list_.Version) {
    // Entries changed under the tiles: the tool bar goes home first.
    SendToolBarHome();
    shownVersion_ = list_.Version;
  }
  parts_.content->resize(parts_.content->width(), ContentHeight());
  PlaceTiles();
}

int PlayListPage::ScrollTopFor(int index) const {
  const int top = parts_.content->y() + p::kTilePitch * index;
  const int visible = (parts_.page->height() - 10) / p::kTilePitch * p::kTilePitch + 10;
  if (top <= 10) return 10 - p::kTilePitch * index;
  if (top > visible - p::kTilePitch) return visible - p::kTilePitch - p::kTilePitch * index;
  return parts_.content->y();
}

void PlayListPage::PlaceTiles() {
  const int count = list_.Count();
  const int seenFrom = -parts_.content->y();
  const int seenTo = seenFrom + parts_.page->height();
  const int first = std::max(0, seenFrom / p::kTilePitch);
  const int last = std::min(count - 1, std::max(0, seenTo) / p::kTilePitch);
  const int needed = std::max(0, last - first + 1);
  while (static_cast<int>(pool_.size()) < needed) {
    auto* tile = new PlayListTile(parts_.content);
    tile->setFont(parts_.font);
    tile->label->setFont(parts_.font);
    parts_.loadPicture(tile->background, "Txt_BG.jpg");
    tile->onEnter = [this](PlayListTile* t) { Enter(t); };
    tile->onLeave = [this](PlayListTile* t) { Leave(t); };
    tile->onLabelClick = [this](PlayListTile* t) {
      if (onPlayEntry && t->index >= 0) onPlayEntry(t->index);
    };
    pool_.push_back(tile);
  }
  for (size_t i = 0; i < pool_.size(); ++i) {
    PlayListTile* tile = pool_[i];
    const int index = static_cast<int>(i) < needed ? first + static_cast<int>(i) : -1;
    if (index < 0) {
      if (tile->index == toolBarEntry_) SendToolBarHome();
      tile->index = -1;
      tile->hide();
      continue;
    }
    ShowEntry(tile, index);
  }
}

void PlayListPage::ShowEntry(PlayListTile* tile, int index) {
  const std::string& path = list_.PlayListPaths[static_cast<size_t>(index)];
  const bool moved = tile->index != index;
  if (moved && tile->index == toolBarEntry_ && toolBarEntry_ >= 0) SendToolBarHome();
  tile->index = index;
  tile->setObjectName(QString::number(index));
  tile->move(p::kTileLeft, p::kTilePitch * index);
  parts_.loadPicture(tile->icon, parts_.iconFor(path));
  const QString text = QString::number(index + 1) + ". " +
                       QString::fromStdString(engine::FileNameOf(path));
  if (tile->label->text() != text) {
    tile->label->setText(text);
    tile->label->adjustSize();
    // Narrow names take the panel's width; long ones keep theirs, cut by it.
    if (tile->textPanel->width() > tile->label->width())
      tile->label->resize(tile->textPanel->width() - 4, tile->label->height());
    // Glyphs from a taller fallback font (CJK) push the line's baseline down,
    // below the panel's edge: the label is raised so the baseline stays where
    // the player font's own is.
    QTextLayout layout(text, tile->label->font());
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const qreal raise = line.isValid() ? line.ascent() - QFontMetricsF(tile->label->font()).ascent() : 0;
    tile->label->move(0, -std::max(0, qRound(raise)));
  }
  tile->setToolTip(QString::fromStdString(path));
  QPalette palette = tile->label->palette();
  palette.setColor(QPalette::WindowText, index == list_.PlayListIndex
                                             ? kHighlightColour
                                             : QApplication::palette().color(QPalette::Button));
  tile->label->setPalette(palette);
  // A tile under the pointer keeps its hover colour while it shows the same entry.
  if (moved) Fill(tile, Qt::black);
  tile->show();
}

void PlayListPage::Enter(PlayListTile* tile) {
  Fill(tile, kHighlightColour);
  if (!parts_.toolBarWanted || !parts_.toolBarWanted()) return;
  parts_.toolBar->setParent(tile);
  parts_.toolBar->setGeometry(p::kPlayTool.dx, p::kPlayTool.y, p::kPlayTool.w, p::kPlayTool.h);
  parts_.toolBar->show();
  parts_.toolBar->raise();
  toolBarEntry_ = tile->index;
}

void PlayListPage::Leave(PlayListTile* tile) {
  // Into the tool bar is still over the tile.
  if (parts_.toolBar->parentWidget() == tile &&
      parts_.toolBar->rect().contains(parts_.toolBar->mapFromGlobal(QCursor::pos())))
    return;
  Fill(tile, Qt::black);
  if (parts_.toolBar->parentWidget() == tile) SendToolBarHome();
}

void PlayListPage::SendToolBarHome() {
  toolBarEntry_ = -1;
  if (parts_.toolBar->parentWidget() == parts_.toolBarHome) {
    parts_.toolBar->hide();
    return;
  }
  if (auto* tile = qobject_cast<PlayListTile*>(parts_.toolBar->parentWidget())) Fill(tile, Qt::black);
  parts_.toolBar->hide();
  parts_.toolBar->setParent(parts_.toolBarHome);
}

std::vector<PlayListTile*> PlayListPage::VisibleTiles() const {
  std::vector<PlayListTile*> shown;
  for (PlayListTile* tile : pool_)
    if (tile->index >= 0) shown.push_back(tile);
  std::sort(shown.begin(), shown.end(),
            [](const PlayListTile* a, const PlayListTile* b) { return a->index < b->index; });
  return shown;
}

PlayListTile* PlayListPage::TileOf(int index) const {
  for (PlayListTile* tile : pool_)
    if (tile->index == index) return tile;
  return nullptr;
}

}  // namespace app
