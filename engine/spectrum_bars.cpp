#include "engine/spectrum_bars.h"

#include <algorithm>
#include <cmath>

namespace engine {

void SpectrumBars::Update(const float (&values)[kSpectrumValues]) {
  for (int i = 0; i < kSpectrumValues; ++i) {
    const float magnitude = std::fabs(values[i]);
    // A value that is not a number draws nothing rather than a full bar.
    const int v = std::isfinite(magnitude)
                      ? static_cast<int>(std::min(std::trunc(magnitude * 500.0f),
                                                  static_cast<float>(kSpectrumHeight)))
                      : 0;
    int& p = peak[static_cast<size_t>(i)];
    int& b = bar[static_cast<size_t>(i)];
    p = std::max(0, v >= p ? v : p - 1);
    b = std::max(0, v >= b ? v : b - 3);
  }
}

}  // namespace engine
