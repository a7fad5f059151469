#pragma once
// The heights of the spectrum display: bars fall 3 pixels and peak marks 1
// pixel per tick unless the new value reaches them.
#include <array>

#include "engine/media_engines.h"

namespace engine {

inline constexpr int kSpectrumWidth = 160;
inline constexpr int kSpectrumHeight = 40;
inline constexpr int kSpectrumPitch = 5;  // bars 4 pixels wide
// Only these many bars fall inside the picture.
inline constexpr int kSpectrumVisibleBars = kSpectrumWidth / kSpectrumPitch;

struct SpectrumBars {
  std::array<int, kSpectrumValues> bar{};
  std::array<int, kSpectrumValues> peak{};
  void Update(const float (&values)[kSpectrumValues]);
};

}  // namespace engine
