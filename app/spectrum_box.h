#pragma once
// FFTBox: shows the off-screen spectrum picture, which is drawn whole and
// then copied in one paint so that it never flickers.
#include <QImage>
#include <QWidget>

#include "engine/spectrum_bars.h"

namespace app {

class SpectrumBox : public QWidget {
  Q_OBJECT
 public:
  explicit SpectrumBox(QWidget* parent);
  // Redraws the picture from the bar and peak heights; false when the
  // picture would come out as it is, so there is nothing to repaint.
  bool Draw(const engine::SpectrumBars& bars);
  void Clear();
  // Shows the picture at once: straight into the window where that can be
  // done, else by a repaint.
  void ShowNow();
  const QImage& picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage picture_;
  engine::SpectrumBars drawn_;  // the heights the picture shows; all 0 when blank
};

}  // namespace app
