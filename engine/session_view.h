#pragma once
// What the session tells the window: labels, timers, control states.
#include <cstdint>
#include <string>

namespace engine {

enum class Control {
  TransportButtons,  // the six transport buttons
  PlayPauseButton,
  BackwardForwardButtons,  // the two rate steps, Backward_XI and Forward_XI
  SeekTrack,         // VideoPro_XI
  VolumeTrack,       // SoundPro_XI
  CaptureButton,     // Capture_XI
  FullButton,        // Full_XI
  SplitterButton,    // Splitter_XI
  FileMenuItems,     // pClose, pCapturescreen, pProperty and their m twins
  PlayControlMenuItems,
  DvdMenuItems,
  PrevNextButtons,   // Previous_XI and Next_XI
  PreviousChapter,   // Previous_XI and pPreviouschapter, by the DVD's chapter
  NextChapter,       // Next_XI and pNextchapter
};

enum class Timer { Session, Spectrum, MediaName };  // Ctrl_T, FFT_T, ShowMedia_T

struct Size {
  int width = 0, height = 0;
};

class SessionView {
 public:
  virtual ~SessionView() = default;
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void SetTimeText(const std::string& text) = 0;
  virtual void SetResolutionText(const std::string& text) = 0;
  virtual void SetMediaName(const std::string& text) = 0;
  // Seek-bar thumb at current/stop of the track; stop is never 0 here.
  virtual void SetSeekBar(std::int64_t current, std::int64_t stop) = 0;
  virtual void ResetSeekBar() = 0;
  virtual void SetTimer(Timer timer, bool on) = 0;
  virtual void EnableControl(Control control, bool on) = 0;
  virtual void SetEqualiserVisible(bool visible) = 0;  // AudioEQ_P
  virtual void SetTagVisible(bool visible) = 0;        // mp3Info_L
  virtual void SetMediaFilePanelWidth(int width) = 0;
  virtual void HidePlayListTool() = 0;
  virtual void RefreshButtonPictures() = 0;
  // Play/Pause shows its normal picture, Stop its disabled one.
  virtual void ShowStoppedButtonPictures() = 0;
  virtual void RepaintVideo() = 0;
  // Draws the picture at once, not at the next turn of the event loop.
  virtual void PaintVideoNow() {}
  virtual void RepaintSpectrum() = 0;
  virtual void RefreshPlayList(int selectedIndex) = 0;
  virtual void LeaveFullScreenAtOpen() = 0;
  virtual void FullScreenAtOnce() = 0;
  virtual void RunAfterPlayAction() = 0;

  // The window geometry the fitting rules read and set.
  virtual Size VideoPanelClientSize() const = 0;
  virtual Size MainWindowSize() const = 0;
  virtual Size ScreenSize() const = 0;
  virtual bool MainWindowMaximised() const = 0;
  virtual void ShowMainWindow(bool maximised) = 0;
  virtual void MoveMainWindow(int left, int top, int width, int height) = 0;
};

}  // namespace engine
