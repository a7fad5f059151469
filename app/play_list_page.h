#pragma once
// The play list page: one tile per entry, stacked 50 pixels apart. Only the
// tiles that can be seen exist; scrolling hands them new entries, so a list
// of ten thousand files shows as fast as a list of ten.
#include <QLabel>
#include <QWidget>
#include <functional>
#include <vector>

#include "app/tximage.h"
#include "playlist/play_list.h"

namespace app {

// A tile: the entry's icon, number and name on the skin's text background.
class PlayListTile : public QWidget {
  Q_OBJECT
 public:
  explicit PlayListTile(QWidget* parent);
  int index = -1;  // the entry shown, as the tile's caption holds it
  tximage* background = nullptr;
  tximage* icon = nullptr;
  QWidget* textPanel = nullptr;
  QLabel* label = nullptr;
  std::function<void(PlayListTile*)> onEnter, onLeave, onLabelClick;

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
};

class PlayListPage : public QObject {
  Q_OBJECT
 public:
  struct Parts {
    QWidget* page = nullptr;     // PL_P
    QWidget* content = nullptr;  // moves inside the page as it scrolls
    QWidget* toolBar = nullptr;  // PLTool_P, lent to the hovered tile
    QWidget* toolBarHome = nullptr;  // MediaFile_P
    QFont font;
    // Loads a skin picture into an image control.
    std::function<void(tximage*, const QString&)> loadPicture;
    // The picture of a tile's icon for an entry's path.
    std::function<QString(const std::string&)> iconFor;
    // Whether the tool bar is lent to hovered tiles (files, not DVD or PIP).
    std::function<bool()> toolBarWanted;
  };
  PlayListPage(Parts parts, const playlist::PlayList& list, QObject* parent);

  // Makes the tiles follow the list (after a replace, a load, an add or a
  // delete) and the current entry; keeps the scroll position where it can.
  void Refresh();
  // The content's height for its entries; the page keeps its scroll state in it.
  int ContentHeight() const;
  // The current entry in the highlight colour, scrolled into view by the rule:
  // a tile at or above the top comes to the top, one reaching below the
  // visible part comes to the bottom row. Returns the content's new top.
  int ScrollTopFor(int index) const;
  // Tiles shown now, in entry order (for tests and the tool bar).
  std::vector<PlayListTile*> VisibleTiles() const;
  PlayListTile* TileOf(int index) const;
  // The entry whose tile holds the tool bar; -1 when it is home.
  int ToolBarEntry() const { return toolBarEntry_; }
  void SendToolBarHome();

  std::function<void(int index)> onPlayEntry;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void PlaceTiles();
  void ShowEntry(PlayListTile* tile, int index);
  void Enter(PlayListTile* tile);
  void Leave(PlayListTile* tile);

  Parts parts_;
  const playlist::PlayList& list_;
  std::vector<PlayListTile*> pool_;
  unsigned shownVersion_ = ~0u;
  int toolBarEntry_ = -1;
};

}  // namespace app
