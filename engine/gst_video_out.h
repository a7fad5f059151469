#pragma once
// The picture and sound outputs the GStreamer graphs share: frames handed to
// a stream of the mixing renderer, the window's X sink for kind 1000, our own
// scaler ahead of either, and playbin's sound through the balance.
#include <gst/gst.h>
#include <gst/video/video.h>

#include <memory>

#include "engine/media_engines.h"

namespace engine {

class VideoMixer;

// Keeps a decoded sample mapped for as long as the window may draw it.
struct MappedSample {
  GstSample* sample = nullptr;  // set once the frame is mapped
  GstVideoFrame frame{};
  MappedSample() = default;
  MappedSample(const MappedSample&) = delete;
  MappedSample& operator=(const MappedSample&) = delete;
  ~MappedSample();
};

// The sample (taken over) as a frame that keeps it mapped; null when it cannot be.
std::shared_ptr<const VideoFrame> MapSample(GstSample* sample);
// Hands the sample (taken over) to the mixer's `stream` as a frame.
GstFlowReturn DeliverSample(GstSample* sample, VideoMixer* mixer, int stream);

// Scales and converts decoded pictures to BGRx of the size last asked, in one
// pass, on the streaming thread; owned by the appsink it feeds.
class FrameScaler;

// An appsink that hands BGRx frames, the prerolled one too, to the mixer's
// `stream`. Given `scaler`, the sink takes the decoder's own formats at any
// size and `*scaler` is set to what brings them to the size asked (AskSize).
// With no mixer it keeps the latest frame until AttachMixer.
GstElement* MixerSink(VideoMixer* mixer, int stream, FrameScaler** scaler = nullptr);
// Gives a MixerSink made without a mixer its mixer, and the frame it kept.
void AttachMixer(GstElement* mixerSink, VideoMixer* mixer);
// Frames of this size from now on; 0 x 0: each at its own size.
void AskSize(FrameScaler* scaler, int width, int height);
// The mixer's sink behind a converter to the formats the scaler reads; the
// appsink alone when no converter can be made.
// `appsink`, when given, is set to the appsink inside.
GstElement* ScalingMixerSink(VideoMixer* mixer, int stream, FrameScaler** scaler,
                             GstElement** appsink = nullptr);

// A scaler that stretches to the size asked, never letterboxes.
GstElement* StretchingScaler();
// A capsfilter whose size AskSize may change while frames flow.
GstElement* SizeFilter();
// Asks the filter for frames of this size (and format, when given).
void AskSize(GstElement* sizeFilter, const char* format, int width, int height);

// The window's X sink: Xv when the server has an adaptor; otherwise the plain
// X sink, which cannot scale, and `scales` comes back false.
GstElement* WindowSink(bool* scales);
// `sink` behind our own scaler and converter in a bin; `sizeFilter` is the
// filter that sets the size. The sink alone when those cannot be made.
GstElement* ScaledSink(GstElement* sink, GstElement** sizeFilter);

// Linear gain of a volume in hundredths of a decibel, and pan of a balance.
double GainOf(int volume);
float PanOf(int balance);

// The sinks of a playbin graph (a file's or a disc's): the picture to the
// mixer or the window, the sound through the balance to the sound server.
class PlaybinOutput {
 public:
  PlaybinOutput() = default;
  PlaybinOutput(const PlaybinOutput&) = delete;
  PlaybinOutput& operator=(const PlaybinOutput&) = delete;
  PlaybinOutput& operator=(PlaybinOutput&& other) noexcept;
  ~PlaybinOutput() { Release(); }

  // Gives playbin the picture's sink for the kind; false when none can be made.
  bool SetVideoSink(GstElement* playbin, int rendererKind, const VideoOutput& output);
  // A mixing kind's sink before the window has its mixer: it keeps its frames
  // until AttachMixer.
  bool SetVideoSinkForLater(GstElement* playbin);
  // The mixer for a sink made without one: it starts as a new graph's does.
  void AttachMixer(VideoMixer* mixer);
  // Gives playbin the sound's sink, panned to `pan`.
  void SetAudioSink(GstElement* playbin, float pan);
  // Drops the sinks; the pipeline is gone or stopped by then.
  void Release();

  GstElement* VideoSink() const { return videoSink_; }
  // Whether the picture passes our own scaler on its way to the sink.
  bool OwnScaler() const { return sizeFilter_ != nullptr || scaler_ != nullptr; }

  void SetPan(float pan);
  void SetVideoPosition(VideoMixer* mixer, int rendererKind, const PixelRect& destination);
  void SetWindowPosition(int rendererKind, int left, int top, int width, int height);
  void Expose(int rendererKind);

 private:
  bool SetMixerSink(GstElement* playbin, VideoMixer* mixer);

  GstElement* videoSink_ = nullptr;
  GstElement* overlay_ = nullptr;     // the X sink inside videoSink_ (kind 1000)
  GstElement* appsink_ = nullptr;     // the mixer's sink inside videoSink_ (1007, 1009)
  GstElement* sizeFilter_ = nullptr;  // the X sink's scaler's output size, when it cannot scale
  FrameScaler* scaler_ = nullptr;     // the mixer sink's, kept alive by videoSink_
  GstElement* panorama_ = nullptr;
};

// What every GStreamer graph does alike with its pipeline.
template <class Graph>
class GstGraph : public Graph {
 public:
  void SetVideoOutput(const VideoOutput& output) override { output_ = output; }
  bool Exists() const override { return pipeline_ != nullptr; }
  void Run() override {
    if (pipeline_) gst_element_set_state(pipeline_, GST_STATE_PLAYING);
  }
  void Pause() override {
    if (pipeline_) gst_element_set_state(pipeline_, GST_STATE_PAUSED);
  }
  // A stopped graph keeps its position and picture, as a paused one does.
  void Stop() override { Pause(); }
  void StopWhenReady() override {
    if (!pipeline_) return;
    gst_element_set_state(pipeline_, GST_STATE_PAUSED);
    gst_element_get_state(pipeline_, nullptr, nullptr, GST_SECOND);
  }
  double Rate() const override { return rate_; }

 protected:
  GstElement* pipeline_ = nullptr;
  VideoOutput output_;
  double rate_ = 1.0;
  double gain_ = 1.0;
  float pan_ = 0;
};

}  // namespace engine
