#pragma once
// The display aspect modes and the rectangle rule that fits a picture into
// the video panel.
namespace engine {

inline constexpr int kScaleFill = -1;
inline constexpr int kScaleKeepOriginal = 0;
inline constexpr int kScale43 = 1;
inline constexpr int kScale54 = 2;
inline constexpr int kScale169 = 4;

// Smallest video area the window is sized for.
inline constexpr int kMinimumVideoWidth = 540;
inline constexpr int kMinimumVideoHeight = 260;

struct VideoRect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const VideoRect&) const = default;
};

// Height-to-width ratio of a mode; mode 0 uses the ratio of the open video.
// Values without a ratio of their own (3 and unknown ones) keep the original.
double AspectRatioFor(int mode, double originalRatio);

// Mode -1 fills the panel; otherwise the widest rectangle of the mode's ratio
// that fits, centred (offsets rounded toward zero).
VideoRect ComputeVideoRect(int mode, int panelWidth, int panelHeight, double originalRatio);

// True when a video of that size needs the whole screen: the window shows
// normal only when the screen exceeds the video by more than 212 x 158.
bool ShowMaximisedFor(int screenWidth, int screenHeight, int videoWidth, int videoHeight);

}  // namespace engine
