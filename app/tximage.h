#pragma once
// tximage: the skin's image control. A picture, optionally stretched, that
// reports the mouse entering, leaving, pressing, moving and releasing.
#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace app {

class tximage : public QWidget {
  Q_OBJECT

 public:
  explicit tximage(QWidget* parent = nullptr);
  // A null picture keeps the one shown.
  void SetPicture(const QImage& picture);
  const QPixmap& Picture() const { return picture_; }
  void SetStretch(bool stretch);
  bool Stretch() const { return stretch_; }
  // The skin file whose picture is shown; empty before the first.
  QString PictureFile;

 signals:
  void OnMouseEnter();
  void OnMouseLeave();
  void OnMouseDown(Qt::MouseButton button, int x, int y);
  void OnMouseMove(Qt::MouseButtons buttons, int x, int y);
  void OnMouseUp(Qt::MouseButton button, int x, int y);
  void OnClick();
  void OnDblClick();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  QPixmap picture_;
  bool stretch_ = false;
  bool afterDoubleClick_ = false;
};

// Loads skin folder + file name into the control; a missing or unreadable
// file keeps the previous picture. True when the picture changed.
bool LoadSkinPicture(tximage* control, const QString& skinFolder, const QString& fileName);

}  // namespace app
