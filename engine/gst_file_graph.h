#pragma once
// The file graph on a GStreamer playbin: synchronous build to a prerolled
// pause, positions in 100-ns units, seeking, rate, frame step, volume and
// balance, and the picture sent to the mixing renderer or the sink's window.
#include <gst/gst.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/gst_video_out.h"
#include "engine/media_detector.h"
#include "engine/media_engines.h"
#include "engine/sound_server.h"

namespace engine {

// Which renderer kind this machine can have: "ORVANE_RENDERER" (1009, 1007 or
// 1000) forces one that can be created; otherwise the best that can be.
// `openGlAvailable` is asked only when the answer decides the kind.
int ProbeRenderers(const std::function<bool()>& openGlAvailable);

class GstFileGraph final : public GstGraph<MediaGraph>, public PrerolledFacts {
 public:
  GstFileGraph();
  ~GstFileGraph() override;
  GstFileGraph(const GstFileGraph&) = delete;
  GstFileGraph& operator=(const GstFileGraph&) = delete;

  bool RenderFile(const std::string& path, int rendererKind) override;
  // Starts building the file's graph on a worker thread, before the window
  // exists: the first RenderFile of the same file with a mixing kind takes it
  // over, any other open drops it.
  void PrerollEarly(const std::string& path);
  void DropEarlyPreroll() override;
  void Release() override;
  bool GetPositions(std::int64_t* current, std::int64_t* stop) override;
  void SetPositions(std::int64_t current, int flags) override;
  bool SetRate(double rate) override;
  bool Step() override;
  void put_Volume(int volume) override;
  void put_Balance(int balance) override;
  void SetVideoPosition(const PixelRect& destination) override;
  void SetWindowPosition(int left, int top, int width, int height) override;
  void Expose() override;
  bool PlaybackStuck() override;

  bool NegotiatedStreams(const std::string& path, std::vector<NegotiatedStream>* streams,
                         std::uint64_t* durationNs) const override;

  // The sink that shows the picture (tests and diagnosis).
  GstElement* VideoSink() const { return out_.VideoSink(); }

 private:
  struct EarlyBuild;
  static GstElement* BuildPlaybin(const std::string& path, int rendererKind,
                                  const VideoOutput* output, double gain, float pan,
                                  PlaybinOutput& out);
  std::unique_ptr<EarlyBuild> TakeEarlyBuild();  // joined
  static void FreeEarlyBuild(std::unique_ptr<EarlyBuild> early);
  void DrainBus();
  void QueryStop();
  // A flushing, accurate seek to `position` at `rate`, with no stop (see SetPositions).
  bool SeekAt(double rate, gint64 position);
  void SettleEnd();

  PlaybinOutput out_;
  std::string path_;  // the file the graph holds
  int kind_ = kRendererMixer7;
  std::int64_t stop_ = 0;
  std::int64_t lastCurrent_ = 0;
  bool ended_ = false;
  int windowWidth_ = 0, windowHeight_ = 0;  // the sink window's picture size last asked
  StandingClockWatch clockWatch_;
  std::unique_ptr<EarlyBuild> early_;
};

}  // namespace engine
