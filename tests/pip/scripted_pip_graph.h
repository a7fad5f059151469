#pragma once
// A two-file graph for session logic: a scripted file graph that records the
// pairs it renders and hands the picture's place to the mixer.
#include <string>
#include <utility>
#include <vector>

#include "engine/pip_graph.h"
#include "engine/scripted_engines.h"

using engine::PipGraph;
using engine::PixelRect;
using engine::VideoMixer;
using engine::VideoOutput;
using engine::kRendererDefault;

struct ScriptedPipGraph : PipGraph {
  ScriptedGraph file;  // positions, rate and the rest behave as a file graph's
  std::vector<std::pair<std::string, std::string>> rendered;
  bool RenderFiles(const std::string& a, const std::string& b, int kind) override {
    if (kind == kRendererDefault || !file.RenderFile(a, kind)) return false;
    rendered.emplace_back(a, b);
    return true;
  }
  void SetVideoOutput(const VideoOutput& output) override { mixer = output.mixer; }
  bool Exists() const override { return file.Exists(); }
  void Run() override { file.Run(); }
  void Pause() override { file.Pause(); }
  void Stop() override { file.Stop(); }
  void StopWhenReady() override { file.StopWhenReady(); }
  void Release() override { file.Release(); }
  bool GetPositions(std::int64_t* c, std::int64_t* s) override { return file.GetPositions(c, s); }
  void SetPositions(std::int64_t c, int flags) override { file.SetPositions(c, flags); }
  bool SetRate(double r) override { return file.SetRate(r); }
  double Rate() const override { return file.Rate(); }
  bool Step() override { return file.Step(); }
  void put_Volume(int v) override { file.put_Volume(v); }
  void put_Balance(int b) override { file.put_Balance(b); }
  void SetVideoPosition(const PixelRect& d) override {
    if (mixer) mixer->SetVideoPosition(d);
  }
  void SetWindowPosition(int, int, int, int) override {}
  void Expose() override {}
  VideoMixer* mixer = nullptr;  // set by SetVideoOutput or by hand
};

