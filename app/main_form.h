#pragma once
// TOrvaneMain_Form: the player's one main window, its start-up stages,
// command line, last-session restore and close sequence.
#include <QAction>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/spectrum_box.h"
#include "app/video_surface.h"
#include "engine/spectrum_bars.h"
#include "engine/media_detector.h"
#include "engine/media_engines.h"
#include "engine/video_mixer.h"
#include "engine/session.h"
#include "engine/session_view.h"
#include "platform/program_folders.h"
#include "platform/prompt.h"
#include "playlist/play_list.h"
#include "settings/settings_store.h"

namespace app {

inline constexpr const char* kApplicationTitle = "奥文播放 v2.0";

struct MainFormParts {
  engine::MediaGraph* graph = nullptr;
  engine::AudioStream* audio = nullptr;
  platform::Prompt* prompt = nullptr;
  std::string programDirectory;   // the executable's folder
  std::vector<std::string> args;  // raw arguments after the program name
  engine::MediaFacts* detector = nullptr;
  int rendererKind = 0;  // 0: probe at start-up
};

// The "显示比例" items in menu order, with the value each stands for.
inline constexpr std::array<int, 5> kScaleMenuValues = {0, -1, 1, 2, 4};

class TOrvaneMain_Form : public QWidget, public engine::SessionView {
  Q_OBJECT

 public:
  explicit TOrvaneMain_Form(const MainFormParts& parts, QWidget* parent = nullptr);
  ~TOrvaneMain_Form() override;

  // The three start-up stages and the two shutdown handlers.
  void FormCreate();
  void FormShow();
  void FormActivate();
  void FormClose();
  void FormDestroy();

  engine::Session& session() { return session_; }
  playlist::PlayList& playList() { return playList_; }
  const settings::SettingsStore& store() const { return store_; }
  const platform::ProgramFolders& folders() const { return folders_; }
  bool timerActive(engine::Timer timer) const;
  bool controlEnabled(engine::Control control) const;

  // State read at start-up.
  int ReloadLast = -1;
  int MemoryLastPos = -1;
  std::int64_t ResumePosition = 0;
  bool IsSilence = false;
  int PipReverseType = -1;
  int BalancePosition = 50;
  int InterfaceLanguage = 2;
  int AfterPlay = 0;  // the after-play action in force
  bool InWindowMove = false;
  bool IsFullScreen = false;

  VideoPanel* Video_P = nullptr;
  QLabel* Status_L = nullptr;
  QLabel* Time_L = nullptr;
  QLabel* Resolution_L = nullptr;
  QLabel* CurMedia_L = nullptr;
  QLabel* mp3Info_L = nullptr;
  QWidget* AudioEQ_P = nullptr;
  SpectrumBox* FFTBox = nullptr;
  QWidget* MediaFile_P = nullptr;
  QTimer* Ctrl_T = nullptr;
  QTimer* FFT_T = nullptr;
  QTimer* ShowMedia_T = nullptr;
  // pKeeporiginal, pFillWholeWindow, pScale43, pScale54, pScale169.
  QAction* pKeeporiginal = nullptr;
  QAction* pFillWholeWindow = nullptr;
  QAction* pScale43 = nullptr;
  QAction* pScale54 = nullptr;
  QAction* pScale169 = nullptr;
  std::array<QAction*, 5> ScaleMenuItems() const {
    return {pKeeporiginal, pFillWholeWindow, pScale43, pScale54, pScale169};
  }
  void ApplyScaleMenu(QAction* item);
  // FFT_T: redraws the spectrum while the stream plays, and shows it.
  void DrawSpectrum();
  const engine::SpectrumBars& spectrumBars() const { return spectrumBars_; }
  // The tag text as built, with CR between its lines.
  const std::string& tagText() const { return tagText_; }
  void RefreshTagText(const std::string& previous, const std::string& current);
  engine::VideoMixer& mixer() { return mixer_; }
  QWidget* videoSurface() const { return videoSurface_; }

  // SessionView
  void SetStatusText(const std::string& text) override;
  void SetTimeText(const std::string& text) override;
  void SetResolutionText(const std::string& text) override;
  void SetMediaName(const std::string& text) override;
  void SetSeekBar(std::int64_t current, std::int64_t stop) override;
  void ResetSeekBar() override;
  void SetTimer(engine::Timer timer, bool on) override;
  void EnableControl(engine::Control control, bool on) override;
  void SetEqualiserVisible(bool visible) override;
  void SetTagVisible(bool visible) override;
  void SetMediaFilePanelWidth(int width) override;
  void HidePlayListTool() override {}
  void RefreshButtonPictures() override {}
  void ShowStoppedButtonPictures() override {}
  void RepaintVideo() override;
  void RepaintSpectrum() override;
  void RefreshPlayList(int) override {}
  void LeaveFullScreenAtOpen() override {}
  void FullScreenAtOnce() override {}
  void RunAfterPlayAction() override;
  engine::Size VideoPanelClientSize() const override;
  engine::Size MainWindowSize() const override;
  engine::Size ScreenSize() const override;
  bool MainWindowMaximised() const override;
  void ShowMainWindow(bool maximised) override;
  void MoveMainWindow(int left, int top, int width, int height) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void LoadStartupSettings();
  void CreateLists();
  void InitialiseMainWindow();
  void CreateScaleMenuItems();
  void CreateVideoOutput();
  void PlaceVideoPanelChildren();
  void SetTagText(const std::string& text);
  void RestoreLastSession();
  void RestoreMediaFile();
  void SaveResumeState();
  std::string PlayListFilePath() const;

  MainFormParts parts_;
  engine::VideoMixer mixer_;
  QWidget* videoSurface_ = nullptr;
  platform::ProgramFolders folders_;
  settings::SettingsStore store_;
  playlist::PlayList playList_;
  engine::Session session_;
  std::vector<std::string> history_;
  std::string skinFolder_;
  bool shown_ = false;
  bool activated_ = false;
  bool closed_ = false;
  bool destroyed_ = false;
  int seekBarPermille_ = 0;
  engine::SpectrumBars spectrumBars_;
  std::string tagText_;
  std::string tagPath_;  // the file tagText_ was built from
  bool controls_[11] = {};
};

}  // namespace app
