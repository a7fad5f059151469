#pragma once
// The main window's ten-band equaliser: the band table and the knob rule.
#include <array>

#include "engine/media_engines.h"

namespace engine {

// Centre of each band in Hz, band 0 first; every band is 20 semitones wide.
inline constexpr std::array<float, kEqBands> kEqCentres = {100,  190,  380,  570,   1000,
                                                           2000, 4000, 6000, 12000, 14000};
inline constexpr float kEqBandwidth = 20.0f;

struct EqKnobMove {
  int knobTop;  // where the knob goes
  int gain;     // dB, -15 .. 15
};

// A mouse move at y (relative to the knob) with the button held: the knob
// follows inside its track, and its place gives the gain (top +15 dB).
EqKnobMove EqKnobMouseMove(int knobTop, int knobHeight, int y, int trackTop, int trackHeight);

}  // namespace engine
