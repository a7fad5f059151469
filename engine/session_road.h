#pragma once
// What differs by play type. The session owns the flags, the play list and the
// end of the media by play mode; everything an engine does sits in one road per
// play type, and the session forwards to the road of the current type.
//
// The base road is the road of a type with no engine yet: every operation does
// nothing, so a command that does not apply needs no check where it is called.
#include <cstdint>
#include <string>

namespace engine {

class SessionRoad {
 public:
  virtual ~SessionRoad() = default;

  // Opens the file and starts it; sets the play type on success.
  virtual bool Open(const std::string&) { return false; }
  // Releases the engine; the session resets the flags and the window.
  virtual void Close() {}
  virtual void Pause() {}
  virtual void Resume() {}
  // Whether Play/Pause toggles and Play reopens the current file from its start.
  virtual bool TogglesPlayPause() const { return false; }
  virtual bool ReopensOnPlay() const { return false; }
  // True when the road took a Play/Pause itself (a click on a disc menu).
  virtual bool TakesToggle() { return false; }

  // The tick: whether the engine can report a position, then the position
  // shown; true when the media has reached its end.
  virtual bool EngineOpen() const { return false; }
  virtual bool TickPosition() { return false; }
  // The engine's part of stopping at the end, and whether the end follows the play mode.
  virtual void StopAtEnd() {}
  virtual bool FollowsPlayMode() const { return true; }
  // Whether previous/next step through the play list; otherwise the road
  // steps in its own way (pictures, chapters).
  virtual bool StepsPlayList() const { return false; }
  virtual void StepPrevNext(bool /*next*/) {}

  virtual void SeekSeconds(std::int64_t) {}
  virtual void SeekFromBar(int /*offset*/, int /*travel*/) {}
  virtual void Skip(int /*direction*/) {}
  // The status text of a rate step; empty where rates do not apply.
  virtual std::string Accelerate() { return ""; }
  virtual std::string Decelerate() { return ""; }
  virtual void StepFrame() {}
  virtual void GotoCommand() {}
  virtual void ShowMediaProperties() {}

  // Mute was toggled: the output of this type follows it.
  virtual void ApplyMute() {}
  virtual void FitVideo() {}

  // What ShowMediaInfo shows: the length as a time text (recorded on the
  // session), sound-only controls instead of picture ones, and capture.
  virtual std::string DurationText() { return ""; }
  virtual bool SoundOnly() const { return false; }
  virtual bool CaptureAvailable() const { return false; }
  // The position a captured frame is taken at, in 100-ns units; false when
  // the engine has no position to give.
  virtual bool CapturePosition(std::int64_t*) { return false; }
};

}  // namespace engine
