// Type 4: open, close, the tick and bar seeks on the one audio stream.
#include "engine/audio_only_road.h"

#include <algorithm>

#include "engine/equaliser.h"
#include "engine/session.h"
#include "engine/time_text.h"

namespace engine {

bool AudioOnlyRoad::Open(const std::string& path) {
  view_.SetMediaFilePanelWidth(190);
  if (!OpenStream(path)) return false;
  for (int& handle : session_.EqEffects) handle = audio_.AddEqEffect();
  return true;
}

bool AudioOnlyRoad::OpenStream(const std::string& path) {
  Session& s = session_;
  audio_.Free();
  audio_.SetVolume(s.AudioStreamVolume());
  // A stream that does not open leaves the session as it was.
  if (!audio_.CreateFileStream(path)) return false;
  audio_.Play(false);
  s.AudioLength = RoundHalfEven(audio_.BytesToSeconds(audio_.LengthBytes()));
  s.VideoWidth = kMinimumVideoWidth;
  s.VideoHeight = kMinimumVideoHeight;
  s.KeepOriginalRatio = static_cast<double>(s.VideoHeight) / s.VideoWidth;
  // The window is fitted to the area whatever the open setting says.
  if (view_.MainWindowMaximised()) view_.ShowMainWindow(false);
  s.ResizeWindowForVideo();
  s.IsPlaying = true;
  s.TickIdle = true;
  s.IsPaused = false;
  s.PlayType = kPlayAudio;
  s.IsStopped = 0;
  return true;
}

void AudioOnlyRoad::Close() {
  audio_.Stop();
  audio_.Free();
  view_.SetTimer(Timer::Spectrum, false);
  view_.SetTagVisible(false);
  view_.RepaintSpectrum();
}

void AudioOnlyRoad::SetEqBand(int band, int gain) {
  if (band < 0 || band >= kEqBands) return;
  // With no stream open the call fails quietly; the knob still moves.
  audio_.SetEqParameters(session_.EqEffects[static_cast<size_t>(band)],
                         kEqCentres[static_cast<size_t>(band)], kEqBandwidth,
                         static_cast<float>(gain));
}

std::int64_t AudioOnlyRoad::PositionSeconds() const {
  return RoundHalfEven(audio_.BytesToSeconds(audio_.PositionBytes()));
}

bool AudioOnlyRoad::TickPosition() {
  Session& s = session_;
  std::int64_t seconds = PositionSeconds();
  if (s.AudioLength != 0) view_.SetSeekBar(seconds, s.AudioLength);
  view_.SetTimeText(TimeText(seconds) + " / " + s.AudioDurationText);
  s.LastAudioPositionSeconds = seconds;
  return seconds == s.AudioLength;
}

void AudioOnlyRoad::StopAtEnd() { session_.LastAudioPositionSeconds = 0; }

void AudioOnlyRoad::SeekAudioSeconds(std::int64_t seconds) {
  if (!session_.IsPlaying || !session_.TickIdle) return;
  seconds = std::clamp<std::int64_t>(seconds, 0, std::max<std::int64_t>(0, session_.AudioLength));
  audio_.SetPositionBytes(audio_.SecondsToBytes(static_cast<double>(seconds)));
}

void AudioOnlyRoad::SeekFromBar(int offset, int travel) {
  if (!session_.IsPlaying || !session_.TickIdle || travel <= 0) return;
  const std::int64_t target = BarTarget(session_.AudioLength, offset, travel);
  view_.SetTimeText(TimeText(target) + " / " + session_.AudioDurationText);
  SeekAudioSeconds(target);
}

void AudioOnlyRoad::ApplyMute() { audio_.SetVolume(session_.AudioStreamVolume()); }

std::string AudioOnlyRoad::DurationText() {
  session_.AudioDurationText = TimeText(session_.AudioLength);
  return session_.AudioDurationText;
}

}  // namespace engine
