#pragma once
// The audio-only stream on a GStreamer pipeline: any file GStreamer decodes,
// positions in bytes of the file's own rate and channels, a parametric
// equaliser, output volume and the spectrum of the samples being heard.
#include <gst/fft/gstfftf32.h>
#include <gst/gst.h>

#include <cstdint>
#include <mutex>
#include <vector>

#include "engine/media_engines.h"

namespace engine {

class GstAudioStream final : public AudioStream {
 public:
  GstAudioStream();
  ~GstAudioStream() override;
  GstAudioStream(const GstAudioStream&) = delete;
  GstAudioStream& operator=(const GstAudioStream&) = delete;

  bool CreateFileStream(const std::string& path) override;
  bool IsOpen() const override { return pipeline_ != nullptr; }
  void Play(bool restart) override;
  void Pause() override;
  void Stop() override;
  void Free() override;
  std::int64_t LengthBytes() const override;
  std::int64_t PositionBytes() const override;
  double BytesToSeconds(std::int64_t bytes) const override;
  std::int64_t SecondsToBytes(double seconds) const override;
  void SetPositionBytes(std::int64_t bytes) override;
  void SetVolume(float level) override;
  bool IsActivePlaying() const override;
  bool GetSpectrum(float (&values)[kSpectrumValues]) override;
  int AddEqEffect() override;
  bool SetEqParameters(int handle, float centre, float bandwidth, float gain) override;

 private:
  bool OpenStream(const std::string& path, const char* decoderName);
  static constexpr int kFftSize = 2 * kSpectrumValues;
  // Mono samples kept for the spectrum: well over the sink's latency at any rate.
  static constexpr std::int64_t kRingSize = 1 << 17;
  // Positions count bytes of 16-bit samples, whatever the pipeline carries.
  static constexpr int kBytesPerSample = 2;
  int FrameBytes() const { return channels_ * kBytesPerSample; }

  static void OnPadAdded(GstElement* decoder, GstPad* pad, gpointer self);
  static GstPadProbeReturn OnTap(GstPad* pad, GstPadProbeInfo* info, gpointer self);
  void Tap(GstBuffer* buffer);
  void ResetTap();
  void DrainBus() const;
  void QueryLength() const;
  void SeekTo(std::int64_t frames);
  std::int64_t FramesAt(gint64 time) const;

  GstElement* pipeline_ = nullptr;
  GstElement* input_ = nullptr;      // where the decoder's audio pad links
  GstElement* equaliser_ = nullptr;  // two bands per effect, all peaking
  GstElement* volume_ = nullptr;
  GstElement* sink_ = nullptr;       // asked for the position: cheaper than the whole pipeline
  int rate_ = 0;
  int channels_ = 0;
  float level_ = 1.0f;
  bool playing_ = false;
  int effects_ = 0;
  int handleBase_ = 0;  // this stream's handles are handleBase_ + 1 .. + effects_
  int nextHandleBase_ = 0;
  mutable std::int64_t length_ = 0;  // bytes
  mutable std::int64_t lastPosition_ = 0;
  mutable bool ended_ = false;

  // The spectrum tap: the streaming thread writes, the caller's thread reads.
  std::mutex tapMutex_;
  std::vector<float> ring_;
  std::int64_t written_ = 0;                     // samples since the last segment
  GstClockTime headTime_ = GST_CLOCK_TIME_NONE;  // stream time just after the last one
  GstSegment segment_{};
  int tapRate_ = 0;
  int tapChannels_ = 0;

  GstFFTF32* fft_ = nullptr;
  float window_[kFftSize] = {};
  float windowSum_ = 0;
};

}  // namespace engine
