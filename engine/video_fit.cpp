#include "engine/video_fit.h"

#include <cmath>

namespace engine {

double AspectRatioFor(int mode, double originalRatio) {
  switch (mode) {
    case kScale43: return 0.75;
    case kScale54: return 0.8;
    case kScale169: return 0.5625;
    default: return originalRatio;
  }
}

VideoRect ComputeVideoRect(int mode, int panelWidth, int panelHeight, double originalRatio) {
  if (mode == kScaleFill) return {0, 0, panelWidth, panelHeight};
  double ratio = AspectRatioFor(mode, originalRatio);
  if (!(ratio > 0)) return {0, 0, panelWidth, panelHeight};
  int width = panelWidth;
  while (width > 0 && static_cast<int>(std::trunc(width * ratio)) > panelHeight) --width;
  if (width < 0) width = 0;
  int height = static_cast<int>(std::trunc(width * ratio));
  return {(panelWidth - width) / 2, (panelHeight - height) / 2, width, height};
}

bool ShowMaximisedFor(int screenWidth, int screenHeight, int videoWidth, int videoHeight) {
  return !(screenWidth > videoWidth + 212 && screenHeight > videoHeight + 158);
}

}  // namespace engine
