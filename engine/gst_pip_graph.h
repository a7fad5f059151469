#pragma once
// The two-file graph on one GStreamer pipeline: two decoding branches under
// one clock, each picture through its own scaler into an appsink and on into
// the mixer's stream 0 (file A) or 1 (file B), each sound through its own
// tempo, balance and volume to an output of its own; the sound server mixes them.
#include <gst/gst.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/gst_video_out.h"
#include "engine/pip_graph.h"

namespace engine {

class GstPipGraph final : public GstGraph<PipGraph> {
 public:
  GstPipGraph();
  ~GstPipGraph() override;
  GstPipGraph(const GstPipGraph&) = delete;
  GstPipGraph& operator=(const GstPipGraph&) = delete;

  bool RenderFiles(const std::string& fileA, const std::string& fileB, int rendererKind) override;
  void Release() override;
  // Positions and stop are file A's: its end is the end, whatever B does.
  bool GetPositions(std::int64_t* current, std::int64_t* stop) override;
  void SetPositions(std::int64_t current, int flags) override;
  bool SetRate(double rate) override;
  bool Step() override;
  void put_Volume(int volume) override;
  void put_Balance(int balance) override;
  void SetVideoPosition(const PixelRect& destination) override;
  void SetWindowPosition(int, int, int, int) override {}
  void Expose() override {}

  // Whether file A's streams have all ended (tests and diagnosis).
  bool FileAEnded() const;

  // One decoding branch per file; pads arrive on streaming threads.
  struct Source {
    GstPipGraph* graph = nullptr;
    int stream = 0;  // mixer stream, and 0 for A, 1 for B
    GstElement* decoder = nullptr;
    GstPad* queryPad = nullptr;  // a branch's first sink pad: asks the file's own duration
    std::vector<std::pair<GstPad*, bool>> pads;  // decoded pads and whether each has ended
    bool hasSound = false;
  };
  // A decoded pad has ended, or was flushed by a seek.
  void MarkEnded(Source& source, GstPad* pad, bool ended);

 private:
  void PadAdded(Source& source, GstPad* pad);
  bool AddVideoBranch(Source& source, GstPad* pad);
  bool AddAudioBranch(Source& source, GstPad* pad);
  void DrainBus();
  void QueryStop();
  void SettleEnd();
  void SettleSeek();
  bool Seek(double rate, GstSeekFlags flags, std::int64_t position);

  std::vector<GstElement*> volumes_, panoramas_;  // one of each per file with sound
  GstElement* videoSinks_[2] = {nullptr, nullptr};
  GstElement* sizeFilters_[2] = {nullptr, nullptr};
  GstElement* audioSinks_[2] = {nullptr, nullptr};
  Source sources_[2];
  mutable std::mutex mutex_;
  PixelRect destination_;
  std::int64_t stop_ = 0;
  std::int64_t lastCurrent_ = 0;
  bool ended_ = false;
};

}  // namespace engine
