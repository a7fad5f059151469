// The two ways of fitting video and window, on every play type's picture.
#include "engine/session.h"

#include <algorithm>

namespace engine {

VideoRect Session::ComputeVideoRect(int mode, int panelWidth, int panelHeight) const {
  return engine::ComputeVideoRect(mode, panelWidth, panelHeight, KeepOriginalRatio);
}

MediaGraph& Session::PictureGraph() {
  DvdGraph* dvd = dvdRoad_.Graph();
  if (PlayType == kPlayDvd && dvd && dvd->Exists()) return *dvd;
  return pipGraph_->Exists() ? *pipGraph_ : graph_;
}

void Session::ApplyVideoRect(const VideoRect& rect) {
  VideoArea = rect;
  MediaGraph& graph = PictureGraph();
  if (RendererKind == kRendererDefault)
    graph.SetWindowPosition(rect.left, rect.top, rect.width, rect.height);
  else
    graph.SetVideoPosition({rect.left, rect.top, rect.left + rect.width, rect.top + rect.height});
  view_.RepaintVideo();
}

void Session::FitVideoToWindow() {
  Size panel = view_.VideoPanelClientSize();
  ApplyVideoRect(ComputeVideoRect(ScaleMode, panel.width, panel.height));
}

void Session::FitWindowToVideo() {
  VideoRect rect = ResizeWindowForVideo();
  // The panel now has the video's size: the picture fills it.
  ApplyVideoRect({0, 0, rect.width, rect.height});
}

VideoRect Session::ResizeWindowForVideo() {
  VideoRect rect = ComputeVideoRect(ScaleMode, VideoWidth, VideoHeight);
  Size window = view_.MainWindowSize();
  Size panel = view_.VideoPanelClientSize();
  int width = window.width + rect.width - panel.width;
  int height = window.height + rect.height - panel.height;
  Size screen = view_.ScreenSize();
  view_.MoveMainWindow((screen.width - width) / 2, (screen.height - height) / 2, width, height);
  return rect;
}

void Session::FitVideo() {
  if (IsPlaying) Road().FitVideo();
}

}  // namespace engine
