#pragma once
// The two-file graph of picture in picture: a file graph that plays two files
// under one clock, the first file's picture on mixer stream 0 and the second's
// on stream 1, both sounds mixed. Positions, rate and the end are file A's.
#include <string>

#include "engine/media_engines.h"

namespace engine {

class PipGraph : public MediaGraph {
 public:
  // Builds one paused graph for both files after releasing any earlier one.
  // Only the mixing renderers can show two pictures: kind 1000 is refused.
  // False, with nothing held, when either file cannot be rendered.
  virtual bool RenderFiles(const std::string& fileA, const std::string& fileB, int rendererKind) = 0;
  // A single file is no picture in picture.
  bool RenderFile(const std::string&, int) override { return false; }
};

// Where no two-file engine was given: nothing ever opens.
class NoPipGraph final : public PipGraph {
 public:
  bool RenderFiles(const std::string&, const std::string&, int) override { return false; }
  void SetVideoOutput(const VideoOutput&) override {}
  bool Exists() const override { return false; }
  void Run() override {}
  void Pause() override {}
  void Stop() override {}
  void StopWhenReady() override {}
  void Release() override {}
  bool GetPositions(std::int64_t*, std::int64_t*) override { return false; }
  void SetPositions(std::int64_t, int) override {}
  bool SetRate(double) override { return false; }
  double Rate() const override { return 1.0; }
  bool Step() override { return false; }
  void put_Volume(int) override {}
  void put_Balance(int) override {}
  void SetVideoPosition(const PixelRect&) override {}
  void SetWindowPosition(int, int, int, int) override {}
  void Expose() override {}
};

}  // namespace engine
