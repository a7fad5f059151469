#pragma once
// Type 1: a media file on the file graph, positions in 100-ns units.
#include "engine/media_detector.h"
#include "engine/media_engines.h"
#include "engine/session_road.h"
#include "engine/session_view.h"
#include "platform/prompt.h"

namespace engine {

class Session;

class MediaFileRoad : public SessionRoad {
 public:
  MediaFileRoad(Session& session, MediaGraph& graph, MediaFacts& detector, SessionView& view,
                platform::Prompt& prompt)
      : session_(session), graph_(graph), detector_(detector), view_(view), prompt_(prompt) {}

  bool Open(const std::string& path) override;
  void Close() override;
  void Pause() override;
  void Resume() override;
  bool TogglesPlayPause() const override { return true; }
  bool ReopensOnPlay() const override { return true; }
  bool StepsPlayList() const override { return true; }
  bool EngineOpen() const override { return graph_.Exists(); }
  bool TickPosition() override;
  void StopAtEnd() override;

  void SeekSeconds(std::int64_t seconds) override;
  void SeekFromBar(int offset, int travel) override;
  void Skip(int direction) override;
  std::string Accelerate() override;
  std::string Decelerate() override;
  void StepFrame() override;
  void GotoCommand() override;
  void ShowMediaProperties() override;

  void ApplyMute() override;
  void FitVideo() override;
  std::string DurationText() override;
  bool CaptureAvailable() const override { return true; }
  bool CapturePosition(std::int64_t* units) override;

 protected:
  // Where a graph opened again goes on from.
  struct Place {
    std::int64_t position = 0;  // 100-ns units
    double rate = 1.0;
  };
  // The build sequence: render, read the facts, fit, run. With a place the
  // window stays as it is, the picture is fitted into it and the graph runs
  // from the place's position at its rate.
  bool BuildFileGraph(const std::string& path, const Place* place = nullptr);
  // Builds the graph of what is open again, for a stuck one.
  virtual bool OpenAgain(const Place& place) { return BuildFileGraph(path_, &place); }
  // Fits the window or the picture and starts the graph built.
  void FitAndRun(const Place* place);
  void ProbeVideoStream(const std::string& path);
  // Sets the stepped rate; the status shows it after the given blanks unless it is 1.0.
  std::string ApplyRate(const char* blanks);
  // Seeks and skips wait for a finished tick of a playing graph.
  bool ReadyToMove() const;
  bool ReopenAtSamePlace();

  Session& session_;
  MediaGraph& graph_;
  MediaFacts& detector_;
  SessionView& view_;
  platform::Prompt& prompt_;
  std::string path_;  // the file last built
};

}  // namespace engine
