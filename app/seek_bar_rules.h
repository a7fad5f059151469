#pragma once
// How the thumb and the filled part of a skinned slider (seek, volume,
// balance) follow the mouse and the volume steps.

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
// One volume step up or down: two percent of the travel in pixels, at least one.
BarState StepBar(const BarGeometry& bar, BarState state, bool up);
// What the thumb stands for: Trunc(offset / travel * scale), 0 for no travel.
int BarValue(const BarGeometry& bar, BarState state, int scale);
// The thumb's left for a percentage (0..100) of the travel.
int ThumbForPercent(const BarGeometry& bar, int percent);

}  // namespace app
