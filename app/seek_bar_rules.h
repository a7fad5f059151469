#pragma once
// How the thumb and the filled part of a position bar follow the mouse.

namespace app {

struct BarGeometry {
  int trackLeft = 0, trackWidth = 0, thumbWidth = 0;
  int Travel() const { return trackWidth - thumbWidth; }
  // A thumb left kept on the track.
  int ClampThumb(int left) const;
};

struct BarState {
  int thumbLeft = 0, playedWidth = 0;
};

// A click on the track or the filled part, x relative to the track: the thumb centres on it.
BarState BarClick(const BarGeometry& bar, int x);
// A move over the thumb with the button held, x relative to the thumb.
BarState BarDrag(const BarGeometry& bar, BarState state, int x);
// What a bar seek is given: how far the thumb is along its travel.
inline int BarOffset(const BarGeometry& bar, BarState state) { return state.thumbLeft - bar.trackLeft; }

}  // namespace app
