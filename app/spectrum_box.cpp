#include "app/spectrum_box.h"

#include <QPainter>
#include <QRgb>

#include <algorithm>

#include "platform/x11_window.h"

namespace app {

namespace {
const QColor kHighlight(182, 126, 24);
}

SpectrumBox::SpectrumBox(QWidget* parent)
    : QWidget(parent), picture_(engine::kSpectrumWidth, engine::kSpectrumHeight, QImage::Format_RGB32) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(picture_.size());
  Clear();
}

void SpectrumBox::Clear() {
  picture_.fill(Qt::black);
  drawn_ = engine::SpectrumBars();
  update();
}

bool SpectrumBox::Draw(const engine::SpectrumBars& bars) {
  // Bars past the picture's width draw nothing.
  constexpr auto visible = static_cast<std::ptrdiff_t>(engine::kSpectrumVisibleBars);
  if (std::equal(bars.bar.begin(), bars.bar.begin() + visible, drawn_.bar.begin()) &&
      std::equal(bars.peak.begin(), bars.peak.begin() + visible, drawn_.peak.begin()))
    return false;
  drawn_ = bars;
  // Plain fills: a painter begun 33 times a second costs more than the bars.
  picture_.fill(Qt::black);
  const int h = engine::kSpectrumHeight;
  const QRgb highlight = kHighlight.rgb();
  auto fill = [&](int x, int top, int bottom) {
    for (int y = std::max(0, top); y < std::min(h, bottom); ++y) {
      auto* row = reinterpret_cast<QRgb*>(picture_.scanLine(y));
      std::fill(row + x, row + x + 4, highlight);
    }
  };
  for (int i = 0; i < engine::kSpectrumVisibleBars; ++i) {
    const int x = engine::kSpectrumPitch * i;
    const int peak = bars.peak[static_cast<size_t>(i)];
    const int bar = bars.bar[static_cast<size_t>(i)];
    fill(x, h - peak, h - peak + 1);
    if (bar > 0) fill(x, h - bar, h);
  }
  return true;
}

void SpectrumBox::ShowNow() {
  if (!platform::PutPicture(this, picture_)) update();
}

void SpectrumBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  painter.drawImage(0, 0, picture_);
}

}  // namespace app
