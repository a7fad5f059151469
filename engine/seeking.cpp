// Moving through time inside an open session: seeks, skips, rate steps and
// frame steps, each done by the road of the current play type.
#include <cmath>
#include <cstdio>

#include "engine/session.h"

namespace engine {

std::string RateText(double rate) {
  // Two decimals, halves away from zero (0.125 is "0.13"), which printf does not promise.
  const double hundredths = std::round(rate * 100.0);
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", hundredths / 100.0);
  return text;
}

std::string RateStatus(double rate, const char* blanks, const char* beforeX) {
  if (rate == 1.0) return kStatusPlaying;
  return std::string(kStatusPlaying) + blanks + RateText(rate) + beforeX + "x";
}

void Session::SeekSeconds(std::int64_t seconds) { Road().SeekSeconds(seconds); }

void Session::SeekFromBar(int offset, int travel) { Road().SeekFromBar(offset, travel); }

void Session::Skip(int direction) { Road().Skip(direction); }

std::string Session::Accelerate() { return Road().Accelerate(); }

std::string Session::Decelerate() { return Road().Decelerate(); }

void Session::StepFrame() { Road().StepFrame(); }

void Session::GotoCommand() { Road().GotoCommand(); }

void Session::ShowMediaProperties() { Road().ShowMediaProperties(); }

// The audio stream's own seeks, also used by the resume at start-up.
void Session::SeekAudioSeconds(std::int64_t seconds) { audioOnlyRoad_.SeekAudioSeconds(seconds); }

void Session::SeekAudioFromBar(int offset, int travel) { audioOnlyRoad_.SeekFromBar(offset, travel); }

std::int64_t Session::AudioPositionSeconds() const { return audioOnlyRoad_.PositionSeconds(); }

void Session::SetEqBand(int band, int gain) { audioOnlyRoad_.SetEqBand(band, gain); }

}  // namespace engine
