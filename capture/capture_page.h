#pragma once
// The capture page's tiles: a black 140 x 100 panel per capture, stacked 110
// pixels apart, its picture stretched inside, and the tool bar lent to the
// tile under the mouse.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QLabel>
#include <QWidget>
#include <functional>
#include <vector>

namespace capture {

inline constexpr int kTileWidth = 140, kTileHeight = 100, kTileLeft = 10, kTilePitch = 110;
inline constexpr int kWheelStep = 55;

class CaptureTile : public QWidget {
  Q_OBJECT
 public:
  CaptureTile(QWidget* parent, const QString& caption, const QImage& picture);
  QString caption;  // the capture's target path
  QLabel* image = nullptr;
  std::function<void(CaptureTile*)> onEnter, onLeave;
  void SetColour(const QColor& colour);

 protected:
  void leaveEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
};

class CapturePage : public QObject {
  Q_OBJECT
 public:
  struct Parts {
    QWidget* content = nullptr;      // moves inside Capture_P as it scrolls
    QWidget* toolBar = nullptr;      // catchTool_P
    QWidget* toolBarHome = nullptr;  // MediaFile_P
    QFont font;
    QColor highlight;
  };
  CapturePage(Parts parts, QObject* parent) : QObject(parent), parts_(std::move(parts)) {}

  // A tile for a new capture below the others; the content grows by one pitch.
  CaptureTile* AddTile(const QString& caption, const QImage& picture);
  // Frees the tile; the ones below move up a pitch.
  void RemoveTile(int index);
  void Clear();
  const std::vector<CaptureTile*>& Tiles() const { return tiles_; }
  // The tile holding the tool bar, -1 when it is home.
  int ToolBarTile() const;
  void SendToolBarHome();

 private:
  void Enter(CaptureTile* tile);
  void Leave(CaptureTile* tile);

  Parts parts_;
  std::vector<CaptureTile*> tiles_;
};

}  // namespace capture
