// The audio-only path: the one audio stream, its 540 x 260 stand-in for a
// picture, positions in whole seconds and the equaliser effects.
#include <algorithm>
#include <cmath>

#include "engine/equaliser.h"
#include "engine/session.h"
#include "engine/time_text.h"

namespace engine {

bool Session::OpenAudio(const std::string& path) {
  audio_.Free();
  audio_.SetVolume(AudioStreamVolume());
  // A stream that does not open leaves the session as it was.
  if (!audio_.CreateFileStream(path)) return false;
  audio_.Play(false);
  AudioLength = RoundHalfEven(audio_.BytesToSeconds(audio_.LengthBytes()));
  VideoWidth = kMinimumVideoWidth;
  VideoHeight = kMinimumVideoHeight;
  KeepOriginalRatio = static_cast<double>(VideoHeight) / VideoWidth;
  // The window is fitted to the area whatever the open setting says.
  if (view_.MainWindowMaximised()) view_.ShowMainWindow(false);
  ResizeWindowForVideo();
  IsPlaying = true;
  TickIdle = true;
  IsPaused = false;
  PlayType = kPlayAudio;
  IsStopped = 0;
  return true;
}

void Session::CreateEqEffects() {
  for (int& handle : EqEffects) handle = audio_.AddEqEffect();
}

void Session::SetEqBand(int band, int gain) {
  if (band < 0 || band >= kEqBands) return;
  // With no stream open the call fails quietly; the knob still moves.
  audio_.SetEqParameters(EqEffects[static_cast<size_t>(band)],
                         kEqCentres[static_cast<size_t>(band)], kEqBandwidth,
                         static_cast<float>(gain));
}

void Session::PlayAudio() {
  audio_.Play(false);
  IsPlaying = true;
  IsPaused = false;
  IsStopped = 0;
}

void Session::PauseAudio() {
  audio_.Pause();
  IsPlaying = true;
  IsPaused = true;
  IsStopped = 0;
}

void Session::CloseAudio() {
  audio_.Stop();
  audio_.Free();
  IsPlaying = false;
  IsPaused = false;
  IsStopped = 1;
}

std::int64_t Session::AudioPositionSeconds() const {
  return RoundHalfEven(audio_.BytesToSeconds(audio_.PositionBytes()));
}

void Session::SeekAudioSeconds(std::int64_t seconds) {
  if (!IsPlaying || !TickIdle) return;
  seconds = std::clamp<std::int64_t>(seconds, 0, std::max<std::int64_t>(0, AudioLength));
  audio_.SetPositionBytes(audio_.SecondsToBytes(static_cast<double>(seconds)));
}

void Session::SeekAudioFromBar(int offset, int travel) {
  if (!IsPlaying || !TickIdle || travel <= 0) return;
  const std::int64_t target = BarTarget(AudioLength, offset, travel);
  view_.SetTimeText(TimeText(target) + " / " + AudioDurationText);
  SeekAudioSeconds(target);
}

}  // namespace engine
