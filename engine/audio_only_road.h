#pragma once
// Type 4: an audio-only file on the audio stream engine, positions in whole
// seconds, with the equaliser effects and a 540 x 260 stand-in for a picture.
#include <cstdint>

#include "engine/media_engines.h"
#include "engine/session_road.h"
#include "engine/session_view.h"

namespace engine {

class Session;

class AudioOnlyRoad final : public SessionRoad {
 public:
  AudioOnlyRoad(Session& session, AudioStream& audio, SessionView& view)
      : session_(session), audio_(audio), view_(view) {}

  bool Open(const std::string& path) override;
  void Close() override;
  void Pause() override { audio_.Pause(); }
  void Resume() override { audio_.Play(false); }
  bool TogglesPlayPause() const override { return true; }
  bool ReopensOnPlay() const override { return true; }
  bool StepsPlayList() const override { return true; }
  bool EngineOpen() const override { return audio_.IsOpen(); }
  bool TickPosition() override;
  void StopAtEnd() override;
  // Type 4 is not sought by time here: the resume seeks through SeekAudioSeconds.
  void SeekFromBar(int offset, int travel) override;
  void ApplyMute() override;
  void FitVideo() override { view_.RepaintVideo(); }
  std::string DurationText() override;
  bool SoundOnly() const override { return true; }

  // Whole seconds, clamped to the length; only after a finished tick.
  void SeekAudioSeconds(std::int64_t seconds);
  std::int64_t PositionSeconds() const;
  void SetEqBand(int band, int gain);

 private:
  bool OpenStream(const std::string& path);

  Session& session_;
  AudioStream& audio_;
  SessionView& view_;
};

}  // namespace engine
