#pragma once
// Type 3: picture in picture. Until its two-source graph arrives it moves
// through time on the file graph's operations; the end ignores the play mode
// and Play does not reopen a single file.
#include "engine/media_file_road.h"

namespace engine {

class PictureInPictureRoad final : public MediaFileRoad {
 public:
  using MediaFileRoad::MediaFileRoad;
  // Its files open through its own session, not as the current media file.
  bool Open(const std::string&) override { return false; }
  bool ReopensOnPlay() const override { return false; }
  bool FollowsPlayMode() const override { return false; }
  // Previous and next swap the two pictures, which arrive with the two-source graph.
  bool StepsPlayList() const override { return false; }
};

}  // namespace engine
