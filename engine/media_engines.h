#pragma once
// The engines behind the play types, shaped like the calls the session makes.
#include <cstdint>
#include <string>

#include "engine/video_mixer.h"

namespace engine {

inline constexpr int kRendererDefault = 1000;  // the sink's own window
inline constexpr int kRendererMixer7 = 1007;   // mixing renderer drawn with QPainter
inline constexpr int kRendererMixer9 = 1009;   // mixing renderer drawn with OpenGL

// Seeking flags, as the session passes them with a new position.
inline constexpr int kSeekingNoPositioning = 0;
inline constexpr int kSeekingAbsolutePositioning = 1;
inline constexpr int kSeekingSeekToKeyFrame = 4;

// Volume in hundredths of a decibel: 0 full, -10000 silence. Balance -10000
// (left only) .. 10000 (right only); +-9999 leaves one channel silent.
inline constexpr int kVolumeSilence = -10000;

// Where a graph puts its picture: the mixing renderer for kinds 1009 and
// 1007, the video panel's native window for kind 1000.
struct VideoOutput {
  VideoMixer* mixer = nullptr;
  std::uintptr_t window = 0;
};

// A file graph: positions are in 100-ns units. All calls on the GUI thread.
class MediaGraph {
 public:
  virtual ~MediaGraph() = default;
  virtual void SetVideoOutput(const VideoOutput& output) = 0;
  // Builds a paused graph for the file with the given renderer kind, after
  // releasing any earlier one. False, with nothing held, when the file cannot
  // be rendered.
  virtual bool RenderFile(const std::string& path, int rendererKind) = 0;
  // Drops a graph built ahead of the first open that the open did not take.
  virtual void DropEarlyPreroll() {}
  virtual bool Exists() const = 0;
  virtual void Run() = 0;
  virtual void Pause() = 0;
  virtual void Stop() = 0;
  virtual void StopWhenReady() = 0;
  // Stops the graph and releases every interface.
  virtual void Release() = 0;
  // The stop position is the media's duration as known now (0 while unknown;
  // an estimate may grow while playing and lag behind the current position).
  // Only once the stream has ended does the current position equal it.
  virtual bool GetPositions(std::int64_t* current, std::int64_t* stop) = 0;
  virtual void SetPositions(std::int64_t current, int flags) = 0;
  void SetPositionAbsolute(std::int64_t current) {
    SetPositions(current, kSeekingAbsolutePositioning);
  }
  // False when the graph refuses the rate.
  virtual bool SetRate(double rate) = 0;
  virtual double Rate() const = 0;
  // One frame forward while paused.
  virtual bool Step() = 0;
  virtual void put_Volume(int volume) = 0;
  virtual void put_Balance(int balance) = 0;
  // Destination of the mixing renderer, in video panel pixels.
  virtual void SetVideoPosition(const PixelRect& destination) = 0;
  // Position of the sink's own window picture (kind 1000).
  virtual void SetWindowPosition(int left, int top, int width, int height) = 0;
  // Redraws the last picture (kind 1000: the panel was exposed).
  virtual void Expose() = 0;
  // True (once) when the picture's clock has stood still while playing: the
  // sound output stopped taking sound, and only a new graph mends that.
  virtual bool PlaybackStuck() { return false; }
};

// The audio-only stream engine: one stream at a time, positions in bytes of
// the decoded format (one byte per sample and channel at the file's rate).
inline constexpr int kSpectrumValues = 128;  // magnitudes of a 256-point FFT
inline constexpr int kEqBands = 10;

class AudioStream {
 public:
  virtual ~AudioStream() = default;
  // Frees any earlier stream first. False when the file cannot be opened;
  // then nothing is open.
  virtual bool CreateFileStream(const std::string& path) = 0;
  virtual bool IsOpen() const = 0;
  virtual void Play(bool restart) = 0;
  virtual void Pause() = 0;
  virtual void Stop() = 0;
  virtual void Free() = 0;
  virtual std::int64_t LengthBytes() const = 0;
  // Once the stream has ended this reads exactly LengthBytes().
  virtual std::int64_t PositionBytes() const = 0;
  virtual double BytesToSeconds(std::int64_t bytes) const = 0;
  virtual std::int64_t SecondsToBytes(double seconds) const = 0;
  virtual void SetPositionBytes(std::int64_t bytes) = 0;
  // Output volume 0.0 .. 1.0; kept for later streams too.
  virtual void SetVolume(float level) = 0;
  // True while the stream is open, not paused and not ended.
  virtual bool IsActivePlaying() const = 0;
  // 128 magnitudes (0..1 for a full-scale sine) of the 256 samples being
  // heard now; false and zeros unless the stream is actively playing.
  virtual bool GetSpectrum(float (&values)[kSpectrumValues]) = 0;
  // A parametric equaliser effect on the open stream, flat until set;
  // 0 when nothing is open. Effects go with their stream.
  virtual int AddEqEffect() = 0;
  // Centre in Hz, bandwidth in semitones, gain -15..15 dB. False for a
  // handle of no open stream.
  virtual bool SetEqParameters(int handle, float centre, float bandwidth, float gain) = 0;
};

}  // namespace engine
