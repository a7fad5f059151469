// Type 3: the build of the two-file graph.
#include "engine/picture_in_picture_road.h"

#include "engine/session.h"

namespace engine {

bool PictureInPictureRoad::Open(const std::string&) {
  Session& s = session_;
  // Only a mixing renderer shows two pictures.
  if (s.RendererKind != kRendererMixer7 && s.RendererKind != kRendererMixer9) return false;
  const std::string a = s.PipMediaFileA, b = s.PipMediaFileB;
  if (a.empty() || b.empty()) return false;
  // A pipe or device would stall the build: only regular files are handed on.
  if (!s.IsMediaFile || !s.IsMediaFile(a) || !s.IsMediaFile(b)) return false;
  if (!pipGraph_.RenderFiles(a, b, s.RendererKind)) return false;
  std::int64_t current = 0, stop = 0;
  pipGraph_.GetPositions(&current, &stop);
  s.MediaLength = stop;
  // The main file's facts size the picture: the one that is the current media file.
  ProbeVideoStream(s.CurrentMediaFile == b ? b : a);
  s.KeepOriginalRatio = static_cast<double>(s.VideoHeight) / s.VideoWidth;
  Size screen = view_.ScreenSize();
  view_.ShowMainWindow(ShowMaximisedFor(screen.width, screen.height, s.VideoWidth, s.VideoHeight));
  s.ApplyGraphAudio(pipGraph_);
  int whileOpen = s.ReadWhileOpenMedia ? s.ReadWhileOpenMedia() : 1;
  if (view_.MainWindowMaximised() || whileOpen == 2)
    s.FitVideoToWindow();
  else
    s.FitWindowToVideo();
  pipGraph_.Run();
  s.IsPlaying = true;
  s.IsPaused = false;
  s.PlayType = kPlayPip;
  s.IsStopped = 0;
  if (s.OnPipOpened) s.OnPipOpened();
  return true;
}

void PictureInPictureRoad::StepPrevNext(bool) {
  if (session_.IsPlaying && pipGraph_.Exists() && session_.OnPipStep) session_.OnPipStep();
}

}  // namespace engine
