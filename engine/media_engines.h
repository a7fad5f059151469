#pragma once
// The engines behind the play types, shaped like the calls the session makes.
#include <cstdint>
#include <string>

namespace engine {

inline constexpr int kRendererDefault = 1000;  // the sink's own window
inline constexpr int kRendererMixer7 = 1007;   // mixing renderer drawn with QPainter
inline constexpr int kRendererMixer9 = 1009;   // mixing renderer drawn with OpenGL

// A file graph: positions are in 100-ns units.
class MediaGraph {
 public:
  virtual ~MediaGraph() = default;
  // Builds a graph for the file with the given renderer kind, releasing any
  // earlier one first. False when the file cannot be rendered.
  virtual bool RenderFile(const std::string& path, int rendererKind) = 0;
  virtual bool Exists() const = 0;
  virtual void Run() = 0;
  virtual void Pause() = 0;
  virtual void StopWhenReady() = 0;
  // Stops the graph and releases every interface.
  virtual void Release() = 0;
  virtual bool GetPositions(std::int64_t* current, std::int64_t* stop) = 0;
  virtual void SetPositionAbsolute(std::int64_t current) = 0;
  virtual void SetRate(double rate) = 0;
  virtual void NativeVideoSize(int* width, int* height) const = 0;
};

// The audio-only stream: positions in bytes of the decoded format.
class AudioStream {
 public:
  virtual ~AudioStream() = default;
  // Frees any earlier stream first. False when the file cannot be opened.
  virtual bool CreateFileStream(const std::string& path) = 0;
  virtual bool IsOpen() const = 0;
  virtual void Play(bool restart) = 0;
  virtual void Pause() = 0;
  virtual void Stop() = 0;
  virtual void Free() = 0;
  virtual std::int64_t LengthBytes() const = 0;
  virtual std::int64_t PositionBytes() const = 0;
  virtual double BytesToSeconds(std::int64_t bytes) const = 0;
  virtual std::int64_t SecondsToBytes(double seconds) const = 0;
  virtual void SetPositionBytes(std::int64_t bytes) = 0;
};

// Stand-ins for a machine with no playback engine: nothing opens.
class UnavailableGraph final : public MediaGraph {
 public:
  bool RenderFile(const std::string&, int) override { return false; }
  bool Exists() const override { return false; }
  void Run() override {}
  void Pause() override {}
  void StopWhenReady() override {}
  void Release() override {}
  bool GetPositions(std::int64_t*, std::int64_t*) override { return false; }
  void SetPositionAbsolute(std::int64_t) override {}
  void SetRate(double) override {}
  void NativeVideoSize(int* w, int* h) const override { *w = *h = 1; }
};

class UnavailableAudioStream final : public AudioStream {
 public:
  bool CreateFileStream(const std::string&) override { return false; }
  bool IsOpen() const override { return false; }
  void Play(bool) override {}
  void Pause() override {}
  void Stop() override {}
  void Free() override {}
  std::int64_t LengthBytes() const override { return 0; }
  std::int64_t PositionBytes() const override { return 0; }
  double BytesToSeconds(std::int64_t) const override { return 0; }
  std::int64_t SecondsToBytes(double) const override { return 0; }
  void SetPositionBytes(std::int64_t) override {}
};

}  // namespace engine
