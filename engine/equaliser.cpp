#include "engine/equaliser.h"

#include <algorithm>
#include <cmath>

namespace engine {

EqKnobMove EqKnobMouseMove(int knobTop, int knobHeight, int y, int trackTop, int trackHeight) {
  const int travel = trackHeight - knobHeight;
  if (travel <= 0) return {knobTop, 0};
  const int delta = y - knobHeight / 2;
  const int lowest = trackTop + travel;
  if (knobTop >= trackTop && knobTop <= lowest)
    knobTop = std::clamp(knobTop + delta, trackTop, lowest);
  const double fraction = static_cast<double>(knobTop - trackTop) / travel;
  const int gain = 15 - static_cast<int>(std::trunc(fraction * 30));
  return {knobTop, std::clamp(gain, -15, 15)};
}

}  // namespace engine
