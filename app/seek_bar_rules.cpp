#include "app/seek_bar_rules.h"

#include <algorithm>

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

}  // namespace app
