#pragma once
// The media name that moves across its strip one pixel every 20 ms.
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QString>

#include "app/tximage.h"

namespace app {

// Keeps the name, its size and where it stands in the strip. It is never on
// screen itself: the strip draws it. Its text is drawn once into a picture,
// again only when its text, size or look changes.
class MediaNameLabel : public QLabel {
 public:
  explicit MediaNameLabel(QWidget* parent);
  const QPixmap& Picture();

 protected:
  void paintEvent(QPaintEvent*) override;
  void changeEvent(QEvent* event) override;

 private:
  QPixmap picture_;
  QString pictureText_;
};

// Lies over the strip's picture and shows the name where the label stands.
// Moving a child widget would repaint the strip through the whole window's
// repaint 50 times a second, with a trip to the X server each time; the
// strip puts its picture and the name straight into the window instead.
class MediaNameStrip : public QWidget {
 public:
  MediaNameStrip(QWidget* strip, tximage* background, MediaNameLabel* name);
  // After the name moved or changed; `whole` after an expose, where the
  // toolkit has shown its own, older copy of the strip.
  void ShowNow(bool whole = false);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  tximage* background_;
  MediaNameLabel* name_;
  QImage backgroundPicture_;
  bool backgroundStale_ = true;
  QImage namePicture_;  // the name's picture, premultiplied, for the blend
  qint64 namePictureKey_ = 0;
  QImage frame_;        // the strip as last put; only the changed part is remade
  QRect shown_;         // where the name stood in the last put
};

}  // namespace app
