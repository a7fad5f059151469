#include "app/seek_bar_rules.h"

#include <algorithm>
#include <cmath>

namespace app {

int BarGeometry::ClampThumb(int left) const {
  return std::clamp(left, trackLeft, std::max(trackLeft, trackLeft + Travel()));
}

BarState BarClick(const BarGeometry& bar, int x) {
  BarState state;
  state.thumbLeft = bar.ClampThumb(x + bar.trackLeft - bar.thumbWidth / 2);
  state.playedWidth = state.thumbLeft - bar.trackLeft;
  return state;
}

BarState BarDrag(const BarGeometry& bar, BarState state, int x) {
  const int d = x - bar.thumbWidth / 2;
  if (state.thumbLeft < bar.trackLeft || state.thumbLeft > bar.trackLeft + bar.Travel()) return state;
  state.thumbLeft = bar.ClampThumb(state.thumbLeft + d);
  // The filled part follows by the same step and may run up to 4 pixels under the thumb.
  state.playedWidth = std::clamp(state.playedWidth + d, 0, std::max(0, bar.Travel() + 4));
  return state;
}

BarState StepBar(const BarGeometry& bar, BarState state, bool up) {
  double step = bar.Travel() / 100.0 * 2;
  if (step < 1.0) step = 1.0;
  const int pixels = static_cast<int>(std::trunc(step));
  state.thumbLeft = bar.ClampThumb(state.thumbLeft + (up ? pixels : -pixels));
  // The filled part moves by the step only while it has room, so it can end a
  // step short of the thumb or a step below nothing.
  if (up && state.playedWidth <= bar.Travel() - 1) state.playedWidth += pixels;
  if (!up && state.playedWidth >= 0) state.playedWidth -= pixels;
  return state;
}

int BarValue(const BarGeometry& bar, BarState state, int scale) {
  if (bar.Travel() <= 0) return 0;
  // In whole numbers: exact where the real quotient is whole.
  return static_cast<int>(static_cast<long long>(BarOffset(bar, state)) * scale / bar.Travel());
}

int ThumbForPercent(const BarGeometry& bar, int percent) {
  return bar.trackLeft + percent * std::max(0, bar.Travel()) / 100;
}

}  // namespace app
