// The file graph's build sequence and the two ways of fitting video and window.
#include "engine/session.h"

#include <algorithm>

namespace engine {

bool Session::BuildFileGraph(const std::string& path) {
  if (path.empty()) return false;
  // The renderer kind picks the sink; a failed build leaves every flag alone.
  if (!graph_.RenderFile(path, RendererKind)) return false;
  std::int64_t current = 0, stop = 0;
  graph_.GetPositions(&current, &stop);
  MediaLength = stop;
  ProbeVideoStream(path);
  KeepOriginalRatio = static_cast<double>(VideoHeight) / VideoWidth;
  Size screen = view_.ScreenSize();
  view_.ShowMainWindow(ShowMaximisedFor(screen.width, screen.height, VideoWidth, VideoHeight));
  ApplyGraphAudio(graph_);
  int whileOpen = ReadWhileOpenMedia ? ReadWhileOpenMedia() : 1;
  if (view_.MainWindowMaximised() || whileOpen == 2)
    FitVideoToWindow();
  else
    FitWindowToVideo();
  graph_.Run();
  IsPlaying = true;
  IsPaused = false;
  PlayType = kPlayMedia;
  IsStopped = 0;
  return true;
}

void Session::ProbeVideoStream(const std::string& path) {
  VideoWidth = std::max(VideoWidth, kMinimumVideoWidth);
  VideoHeight = std::max(VideoHeight, kMinimumVideoHeight);
  HasVideo = false;
  if (!detector_.put_Filename(path)) return;
  for (int i = 0; i < detector_.OutputStreams(); ++i) {
    const DetectedStream& stream = detector_.Stream(i);
    if (stream.type != StreamType::Video) continue;
    HasVideo = true;
    FrameRate = stream.frameRate;
    StreamLength = stream.lengthSeconds;
    if (stream.width > 0 && stream.height > 0) {
      VideoWidth = std::max(stream.width, kMinimumVideoWidth);
      VideoHeight = std::max(stream.height, kMinimumVideoHeight);
    }
    return;
  }
}

VideoRect Session::ComputeVideoRect(int mode, int panelWidth, int panelHeight) const {
  return engine::ComputeVideoRect(mode, panelWidth, panelHeight, KeepOriginalRatio);
}

void Session::ApplyVideoRect(const VideoRect& rect) {
  if (RendererKind == kRendererDefault)
    graph_.SetWindowPosition(rect.left, rect.top, rect.width, rect.height);
  else
    graph_.SetVideoPosition({rect.left, rect.top, rect.left + rect.width, rect.top + rect.height});
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

// The main window grows or shrinks by what the panel lacks for the video, centred.
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
  if (!IsPlaying) return;
  if (PlayType == kPlayMedia || PlayType == kPlayPip)
    FitVideoToWindow();
  else if (PlayType == kPlayAudio)
    view_.RepaintVideo();
  // The DVD graph fits through its own window when it arrives.
}

}  // namespace engine
