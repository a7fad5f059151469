// Moving through time inside an open session: seeks, skips, rate steps and
// frame steps. The DVD forms join these when DVD playback arrives.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/session.h"
#include "engine/time_text.h"

namespace engine {

namespace {
constexpr std::int64_t kUnitsPerSecond = 10000000;
bool IsGraphType(int type) { return type == kPlayMedia || type == kPlayPip; }
}  // namespace

std::string RateText(double rate) {
  // Two decimals, halves away from zero (0.125 is "0.13"), which printf does not promise.
  const double hundredths = std::round(rate * 100.0);
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", hundredths / 100.0);
  return text;
}

void Session::SeekSeconds(std::int64_t seconds) {
  if (IsGraphType(PlayType) && graph_.Exists())
    graph_.SetPositionAbsolute(seconds * kUnitsPerSecond);
  // The DVD form plays at a time code in the title domain, with DVD playback.
}

void Session::SeekFromBar(int offset, int travel) {
  if (PlayType == kPlayAudio) {
    SeekAudioFromBar(offset, travel);
    return;
  }
  if (!IsGraphType(PlayType) || !IsPlaying || !TickIdle || !graph_.Exists() || travel <= 0) return;
  std::int64_t current = 0, stop = 0;
  graph_.GetPositions(&current, &stop);
  if (stop <= 0) return;  // no length yet: the bar maps onto nothing
  const std::int64_t target = BarTarget(stop, offset, travel);
  view_.SetTimeText(TimeText(UnitsToSeconds(current)) + " / " + MediaDurationText);
  graph_.SetPositionAbsolute(target);
}

void Session::Skip(int direction) {
  if (!IsGraphType(PlayType) || !IsPlaying || !TickIdle || !graph_.Exists()) return;
  const std::int64_t quick = (ReadSkipSeconds ? ReadSkipSeconds(1) : 5) * kUnitsPerSecond;
  const std::int64_t slow = (ReadSkipSeconds ? ReadSkipSeconds(2) : 5) * kUnitsPerSecond;
  std::int64_t current = 0, stop = 0;
  graph_.GetPositions(&current, &stop);
  std::int64_t target = current;
  if (direction == 1) {
    target = current + quick;
    // Only a length ahead of the position limits the skip: an unknown or
    // estimated one may lag behind it, and past the real end the file ends.
    if (stop > current) target = std::min(target, stop);
  } else if (direction == 2) {
    target = std::max<std::int64_t>(current - slow, 0);
  } else {
    return;
  }
  graph_.SetPositionAbsolute(target);
}

std::string Session::Accelerate() {
  if (!IsGraphType(PlayType)) return "";
  if (PlayRate > 0 && PlayRate < 1) {
    PlayRate = 1.0;
  } else if (PlayRate >= 1 && PlayRate <= 2) {
    PlayRate += 0.25;
    if (PlayRate == 2.25) PlayRate = 1.0;
  }
  return ApplyRate("  ");
}

// Sets the stepped rate; the status shows it after the given blanks unless it is 1.0.
std::string Session::ApplyRate(const char* blanks) {
  // A refused rate keeps its stored value but is not shown.
  if (!graph_.Exists() || !graph_.SetRate(PlayRate)) return kStatusPlaying;
  return PlayRate == 1.0 ? std::string(kStatusPlaying)
                         : std::string(kStatusPlaying) + blanks + RateText(PlayRate) + "x";
}

std::string Session::Decelerate() {
  if (!IsGraphType(PlayType)) return "";
  if (PlayRate > 1) {
    PlayRate = 1.0;
  } else if (PlayRate > 0 && PlayRate <= 1) {
    PlayRate -= 0.25;
    if (PlayRate == 0) PlayRate = 1.0;
  }
  return ApplyRate("    ");
}

void Session::StepFrame() {
  if (IsGraphType(PlayType) && graph_.Exists()) graph_.Step();
}

void Session::GotoCommand() {
  // A DVD title asks over its length in seconds, with DVD playback.
  if (!IsGraphType(PlayType)) return;
  std::int64_t seconds = 0;
  if (prompt_.AskGotoTime(MediaLength, PlayType, &seconds)) SeekSeconds(seconds);
}

void Session::ShowMediaProperties() {
  if (!IsGraphType(PlayType)) return;
  prompt_.ShowMediaProperties(CurrentMediaFile, MediaDurationText, VideoWidth, VideoHeight,
                              FrameRate);
}

}  // namespace engine
