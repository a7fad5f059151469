// Type 1: open, the tick, seeks, skips, rate and frame steps on the file graph.
#include "engine/media_file_road.h"

#include <algorithm>

#include "engine/session.h"
#include "engine/time_text.h"
#include "engine/volume.h"

namespace engine {

namespace {
constexpr std::int64_t kUnitsPerSecond = 10000000;
}  // namespace

bool MediaFileRoad::Open(const std::string& path) {
  const int kind = session_.RendererKind;
  if (kind != kRendererDefault && kind != kRendererMixer7 && kind != kRendererMixer9) return false;
  return BuildFileGraph(path);
}

bool MediaFileRoad::BuildFileGraph(const std::string& path, const Place* place) {
  Session& s = session_;
  if (path.empty()) return false;
  // The renderer kind picks the sink; a failed build leaves every flag alone.
  if (!graph_.RenderFile(path, s.RendererKind)) return false;
  path_ = path;
  std::int64_t current = 0, stop = 0;
  graph_.GetPositions(&current, &stop);
  s.MediaLength = stop;
  ProbeVideoStream(path);
  s.KeepOriginalRatio = static_cast<double>(s.VideoHeight) / s.VideoWidth;
  s.PlayType = kPlayMedia;  // the first picture is shown as this type's, without the logo
  FitAndRun(place);
  return true;
}

void MediaFileRoad::FitAndRun(const Place* place) {
  Session& s = session_;
  if (place) {
    s.ApplyGraphAudio(graph_);
    s.FitVideoToWindow();
    // The rate first: its seek is at the start, the position's then carries it.
    if (place->rate != 1.0) graph_.SetRate(place->rate);
    graph_.SetPositionAbsolute(place->position);
  } else {
    Size screen = view_.ScreenSize();
    view_.ShowMainWindow(ShowMaximisedFor(screen.width, screen.height, s.VideoWidth, s.VideoHeight));
    s.ApplyGraphAudio(graph_);
    int whileOpen = s.ReadWhileOpenMedia ? s.ReadWhileOpenMedia() : 1;
    if (view_.MainWindowMaximised() || whileOpen == 2)
      s.FitVideoToWindow();
    else
      s.FitWindowToVideo();
  }
  graph_.Run();
  s.IsPlaying = true;
  s.IsPaused = false;
  s.IsStopped = 0;
  view_.PaintVideoNow();
}

void MediaFileRoad::ProbeVideoStream(const std::string& path) {
  Session& s = session_;
  s.VideoWidth = std::max(s.VideoWidth, kMinimumVideoWidth);
  s.VideoHeight = std::max(s.VideoHeight, kMinimumVideoHeight);
  s.HasVideo = false;
  if (!detector_.put_Filename(path)) return;
  for (int i = 0; i < detector_.OutputStreams(); ++i) {
    const DetectedStream& stream = detector_.Stream(i);
    if (stream.type != StreamType::Video) continue;
    s.HasVideo = true;
    s.FrameRate = stream.frameRate;
    s.StreamLength = stream.lengthSeconds;
    if (stream.width > 0 && stream.height > 0) {
      s.VideoWidth = std::max(stream.width, kMinimumVideoWidth);
      s.VideoHeight = std::max(stream.height, kMinimumVideoHeight);
    }
    return;
  }
}

void MediaFileRoad::Close() { graph_.Release(); }

void MediaFileRoad::Pause() {
  if (graph_.Exists()) graph_.Pause();
}

void MediaFileRoad::Resume() {
  if (!graph_.Exists()) return;
  session_.PlayRate = 1.0;
  graph_.SetRate(session_.PlayRate);
  graph_.Run();
}

bool MediaFileRoad::TickPosition() {
  Session& s = session_;
  std::int64_t current = 0, stop = 0;
  graph_.GetPositions(&current, &stop);
  if (graph_.PlaybackStuck()) return ReopenAtSamePlace();
  // Some files only estimate their length at open; the length shown follows it.
  if (stop > 0 && stop != s.MediaLength) {
    s.MediaLength = stop;
    s.MediaLengthSeconds = UnitsToSeconds(s.MediaLength);
    s.MediaDurationText = TimeText(s.MediaLengthSeconds);
  }
  if (stop > 0) view_.SetSeekBar(std::min(current, stop), stop);
  std::int64_t seconds = UnitsToSeconds(current);
  view_.SetTimeText(TimeText(seconds) + " / " + s.MediaDurationText);
  s.MediaPositionSeconds = seconds;
  view_.SetResolutionText(std::to_string(s.VideoWidth) + " × " + std::to_string(s.VideoHeight));
  // An unknown length (0) or one the position has passed is no end.
  return stop > 0 && current == stop;
}

// Seen on loaded machines after a seek: the sound server stops taking the
// graph's sound, its clock stands still and the picture with it; neither a
// seek nor a pause mends it. The file is opened again at the same position and
// rate in the same window. True (the file ends) only when that fails.
bool MediaFileRoad::ReopenAtSamePlace() {
  std::int64_t current = 0, stop = 0;
  graph_.GetPositions(&current, &stop);
  const Place place{current, graph_.Rate()};
  return !OpenAgain(place);
}

void MediaFileRoad::StopAtEnd() {
  session_.MediaPositionSeconds = 0;
  graph_.SetPositionAbsolute(0);
  graph_.StopWhenReady();
}

void MediaFileRoad::SeekSeconds(std::int64_t seconds) {
  if (graph_.Exists()) graph_.SetPositionAbsolute(seconds * kUnitsPerSecond);
}

bool MediaFileRoad::ReadyToMove() const {
  return session_.IsPlaying && session_.TickIdle && graph_.Exists();
}

void MediaFileRoad::SeekFromBar(int offset, int travel) {
  if (!ReadyToMove() || travel <= 0) return;
  std::int64_t current = 0, stop = 0;
  graph_.GetPositions(&current, &stop);
  if (stop <= 0) return;  // no length yet: the bar maps onto nothing
  const std::int64_t target = BarTarget(stop, offset, travel);
  view_.SetTimeText(TimeText(UnitsToSeconds(current)) + " / " + session_.MediaDurationText);
  graph_.SetPositionAbsolute(target);
}

void MediaFileRoad::Skip(int direction) {
  if (!ReadyToMove()) return;
  const auto& read = session_.ReadSkipSeconds;
  const std::int64_t quick = (read ? read(1) : 5) * kUnitsPerSecond;
  const std::int64_t slow = (read ? read(2) : 5) * kUnitsPerSecond;
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

std::string MediaFileRoad::Accelerate() {
  double& rate = session_.PlayRate;
  if (rate > 0 && rate < 1) {
    rate = 1.0;
  } else if (rate >= 1 && rate <= 2) {
    rate += 0.25;
    if (rate == 2.25) rate = 1.0;
  }
  return ApplyRate("  ");
}

std::string MediaFileRoad::Decelerate() {
  double& rate = session_.PlayRate;
  if (rate > 1) {
    rate = 1.0;
  } else if (rate > 0 && rate <= 1) {
    rate -= 0.25;
    if (rate == 0) rate = 1.0;
  }
  return ApplyRate("    ");
}

std::string MediaFileRoad::ApplyRate(const char* blanks) {
  const double rate = session_.PlayRate;
  // A refused rate keeps its stored value but is not shown.
  if (!graph_.Exists() || !graph_.SetRate(rate)) return kStatusPlaying;
  return RateStatus(rate, blanks);
}

void MediaFileRoad::StepFrame() {
  if (graph_.Exists()) graph_.Step();
}

void MediaFileRoad::GotoCommand() {
  std::int64_t seconds = 0;
  if (prompt_.AskGotoTime(session_.MediaLength, session_.PlayType, &seconds)) SeekSeconds(seconds);
}

void MediaFileRoad::ShowMediaProperties() {
  const Session& s = session_;
  prompt_.ShowMediaProperties(s.CurrentMediaFile, s.MediaDurationText, s.VideoWidth, s.VideoHeight,
                              s.FrameRate);
}

void MediaFileRoad::ApplyMute() {
  if (graph_.Exists())
    graph_.put_Volume(session_.isSlience ? kVolumeSilence : VolumeForLevel(session_.SoundLevel));
}

void MediaFileRoad::FitVideo() { session_.FitVideoToWindow(); }

std::string MediaFileRoad::DurationText() {
  session_.MediaLengthSeconds = UnitsToSeconds(session_.MediaLength);
  session_.MediaDurationText = TimeText(session_.MediaLengthSeconds);
  return session_.MediaDurationText;
}

bool MediaFileRoad::CapturePosition(std::int64_t* units) {
  std::int64_t stop = 0;
  return graph_.Exists() && graph_.GetPositions(units, &stop);
}

}  // namespace engine
