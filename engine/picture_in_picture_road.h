#pragma once
// Type 3: picture in picture on the two-file graph. It moves through time as
// a file does (on file A's positions); the end ignores the play mode, Play
// reopens the pair, and previous/next swap the two pictures.
#include "engine/media_file_road.h"
#include "engine/pip_graph.h"

namespace engine {

class PictureInPictureRoad final : public MediaFileRoad {
 public:
  PictureInPictureRoad(Session& session, PipGraph& graph, MediaFacts& detector, SessionView& view,
                       platform::Prompt& prompt)
      : MediaFileRoad(session, graph, detector, view, prompt), pipGraph_(graph) {}
  // Opens the session's two PIP files; the path is not used.
  bool Open(const std::string&) override;
  bool ReopensOnPlay() const override { return true; }
  bool FollowsPlayMode() const override { return false; }
  bool StepsPlayList() const override { return false; }
  void StepPrevNext(bool next) override;

 private:
  PipGraph& pipGraph_;
};

}  // namespace engine
