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

#include <QMenu>
#include <functional>

#include "app/commands.h"
#include "app/history_menu.h"
#include "app/menu_group.h"
#include "app/play_list_page.h"
#include "app/seek_bar_rules.h"
#include "app/spectrum_box.h"
#include "app/tximage.h"
#include "app/video_surface.h"
#include "assets/skin_layout.h"
#include "capture/capture_page.h"
#include "capture/captures.h"
#include "engine/spectrum_bars.h"
#include "engine/media_detector.h"
#include "engine/media_engines.h"
#include "engine/video_mixer.h"
#include "engine/session.h"
#include "engine/session_view.h"
#include "engine/pip_graph.h"
#include "pip/pip_session.h"
#include "platform/global_hot_key.h"
#include "platform/program_folders.h"
#include "platform/prompt.h"
#include "platform/system_volume.h"
#include "playlist/play_list.h"
#include "settings/settings_store.h"

namespace app {

class MediaNameStrip;

inline constexpr const char* kApplicationTitle = "奥文播放 v2.0";
// The product page the link image and the help menu open.
inline constexpr const char* kProductPage = "https://www.orvaneplayer.example/";
inline const QColor kHighlightColour(182, 126, 24);
// Showing or hiding the side panel changes the window width by this much.
inline constexpr int kSidePanelStep = 194;

// A black panel, as every panel of the frame starts.
QWidget* MakePanel(QWidget* parent, const char* name);

// A list page of the side panel: a content area scrolled inside a black page.
struct ListPageScroll {
  QWidget* page = nullptr;
  QWidget* content = nullptr;
  int pitch = 50;  // pixels per wheel notch
};

struct MainFormParts {
  engine::MediaGraph* graph = nullptr;
  engine::AudioStream* audio = nullptr;
  platform::Prompt* prompt = nullptr;
  std::string programDirectory;   // the executable's folder
  std::vector<std::string> args;  // raw arguments after the program name
  engine::MediaFacts* detector = nullptr;
  int rendererKind = 0;  // 0: probe at start-up
  platform::SystemVolume* systemVolume = nullptr;  // null: the sound server's
  OpenGlProbe* openGl = nullptr;  // started early; null: one in the program folder
  capture::FrameSource* frameSource = nullptr;  // null: a media detector of its own
  engine::DvdGraph* dvd = nullptr;  // null: no DVD playback

  engine::PipGraph* pipGraph = nullptr;  // null: picture in picture never opens
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
  // False when the close was refused (a capture could not be saved).
  bool FormClose();
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
  int PipReverseType = -1;
  int InterfaceLanguage = 2;
  int AfterPlay = 0;  // the after-play action in force
  bool InWindowMove = false;
  bool IsFullScreen = false;
  bool WasMaximized = false;
  bool PlayListShown = false;
  bool CaptureListShown = false;
  bool SavedPlayListShown = false;
  bool SavedCaptureListShown = false;
  int ListPage = 1;  // 1 play list, 2 capture list
  int BalancePercent = 50;  // the balance thumb along its travel
  int StayOnTop = 0;

  // The frame.
  QWidget* Father_p = nullptr;
  QWidget* Title_P = nullptr;
  QWidget* Left_P = nullptr;
  QWidget* Right_P = nullptr;
  QWidget* VideoFace_P = nullptr;
  QWidget* Splitter_P = nullptr;
  QWidget* Bottom_P = nullptr;
  QWidget* DvdCtrl_P = nullptr;
  tximage *Titleleft_I = nullptr, *Titlecenter_I = nullptr, *Titleright_I = nullptr;
  tximage* SmallLogo_I = nullptr;
  tximage *Min_XI = nullptr, *Max_XI = nullptr, *Close_XI = nullptr;
  tximage *Help_XI = nullptr, *File_XI = nullptr, *Play_XI = nullptr, *Dvdnav_XI = nullptr,
          *Pip_XI = nullptr, *View_XI = nullptr, *PLMenu_XI = nullptr;
  tximage *LeftEdge_I = nullptr, *RightEdge_I = nullptr;
  tximage *BottomLeft_I = nullptr, *BottomCenter_I = nullptr, *BottomRight_I = nullptr;
  tximage *DVDleft_I = nullptr, *Dvdcenter_I = nullptr, *Dvdright_I = nullptr;
  tximage *PlayPause_XI = nullptr, *Stop_XI = nullptr, *Previous_XI = nullptr,
          *Backward_XI = nullptr, *Forward_XI = nullptr, *Next_XI = nullptr;
  tximage *Volume_XI = nullptr, *SoundPro_XI = nullptr, *SoundGo_XI = nullptr,
          *SoundBar_XI = nullptr;
  tximage *VideoPro_XI = nullptr, *VideoGo_XI = nullptr, *VideoBar_XI = nullptr;
  tximage *L_XI = nullptr, *R_XI = nullptr, *TrackPro_XI = nullptr, *TrackGo_XI = nullptr,
          *TrackBar_XI = nullptr;
  tximage* Url_XI = nullptr;
  tximage *Open_XI = nullptr, *Capture_XI = nullptr, *PlayList_XI = nullptr, *Full_XI = nullptr,
          *Option_XI = nullptr;
  QWidget* ScrollMedia_P = nullptr;
  tximage* tximage2 = nullptr;
  // The side panel.
  QWidget* PageHead_P = nullptr;
  tximage *PLLabel_XI = nullptr, *CLLabel_XI = nullptr, *CloseList_XI = nullptr;
  QWidget* Scroll_P = nullptr;
  tximage *ScrollTop_XI = nullptr, *ScrollBG_XI = nullptr, *ScrollBottom_XI = nullptr,
          *ScrollBar_XI = nullptr;
  QWidget* PL_P = nullptr;
  QWidget* Capture_P = nullptr;
  QWidget* PLTool_P = nullptr;
  tximage *Add_XI = nullptr, *DelPlItem_XI = nullptr, *EmptyPL_XI = nullptr, *Load_XI = nullptr,
          *Saveas_XI = nullptr;
  QWidget* catchTool_P = nullptr;
  tximage* Splitter_XI = nullptr;
  QMenu* Main_Pop = nullptr;
  QMenu* Temp_Pop = nullptr;  // one top-level menu at a time, under its title-bar image
  QMenu* Play_Pop = nullptr;  // never shown: the m copies of some items
  QAction *pNonever = nullptr, *pAlways = nullptr, *pOnlyplaying = nullptr;
  QAction *pFullscreen = nullptr, *pPlaylistView = nullptr, *pCapturelistview = nullptr,
          *pPlaylist = nullptr, *pMainweb = nullptr, *pAbout = nullptr, *pExit = nullptr;
  QMenu *pOpendvd = nullptr, *pHistory = nullptr;
  QAction *pOpenpictureinpicture = nullptr, *pManageHistory = nullptr, *pClearHistory = nullptr,
          *pClearHistoryExit = nullptr, *pPlaycontrol = nullptr;
  // The choice groups of the menu, each in menu order.
  MenuGroup stayOnTopGroup, afterPlayGroup, playModeGroup, pipPositionGroup, pipReverseGroup;
  std::vector<QAction*> dvdItems;  // pPreviouschapter .. pAnglemenu
  std::vector<QAction*> pipItems;  // pPipsetup .. pPicRestore

  // The play list page and its operations (play_list_view.cpp).
  PlayListPage* playListPage() const { return playListPage_; }
  void PlayEntry(int index);
  void AddFilesToPlayList();
  void DeletePlayListEntry(int index);
  void EmptyPlayList();
  void LoadPlayListFile();
  void SavePlayListAs();

  // Commands, the main menu and the mouse on the picture (main_menu.cpp).
  Commands& commands() { return *commands_; }
  void RefreshMainMenu();  // every opening of Main_Pop
  void ChooseAfterPlay(QAction* item);
  void SetPlayMode(QAction* item);
  void VideoClick();
  void VideoDoubleClick();
  void OpenAbout();

  // DVD (dvd_navigation.cpp): the drive menu, the folder command, the DVD
  // items and submenus, the DVD list on the play list page, the mouse on a
  // disc menu, and the DVD list and last disc kept between runs.
  void BuildDvdNavigation();
  void ListDiscDrives();
  void ShowRateText(const std::string& text);
  void OpenDvdDrive(const std::string& device);
  void OpenDvdFolder();
  void OpenDvdAt(const std::string& path);
  void RefreshDvdMenus();
  void JumpToDvdItem(int index);
  void DvdMouseMove(QPoint at);
  void LoadDvdList();
  void SaveDvdList();
  void ReloadLastDvd();
  std::string DvdListFilePath() const;
  PlayListPage* dvdListPage() const { return dvdListPage_; }
  const playlist::PlayList& dvdLines() const { return dvdLines_; }
  std::vector<std::pair<std::string, QAction*>> discDrives;  // device, its menu entry

  // Picture in picture (pip_menu.cpp): the open command, the setup dialog on
  // a page, what an open shows, and the PIP menu items.
  pip::PipSession& pipSession() { return *pip_; }
  void OpenPipCommand();
  void ShowPipSetup(int page);
  void ShowPipInfo();
  void ReloadLastPip();

  // The history submenu (history_menu.cpp) and what its items open.
  HistoryMenu& historyMenu() { return *historyMenu_; }
  void OpenHistoryItem(const std::string& path);

  // The boss key (boss_key.cpp). BossHidden is never stored.
  bool BossHidden = false;
  void RegisterBossKey();
  void UnregisterBossKey();
  // Whether the combination could be registered; it is released again at once.
  bool ReregisterBossKey(int modifierFlags, int keyCode);
  void ToggleBossKey();
  int BossKeyIdentifier() const { return bossKeyId_; }
  bool BossKeyRegistered() const { return bossKeyRegistered_; }

  VideoPanel* Video_P = nullptr;
  tximage* MainLogo_I = nullptr;
  QLabel* Status_L = nullptr;
  QLabel* Time_L = nullptr;
  QLabel* Resolution_L = nullptr;
  QLabel* CurMedia_L = nullptr;
  TagLabel* mp3Info_L = nullptr;
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
  // pSlience, pHoistvolume and pDebasevolume; pStereo, pLefttrack and
  // pRighttrack in this order, with their actions aStereo, aLeftTrack, aRightTrack.
  QAction *pSlience = nullptr, *pHoistvolume = nullptr, *pDebasevolume = nullptr;
  QAction *pStereo = nullptr, *pLefttrack = nullptr, *pRighttrack = nullptr;
  QAction *aStereo = nullptr, *aLeftTrack = nullptr, *aRightTrack = nullptr;
  std::array<QAction*, 3> ChannelMenuItems() const { return {pStereo, pLefttrack, pRighttrack}; }

  // Volume, mute, channel and balance (volume_controls.cpp).
  void ToggleMute();
  void StepVolume(bool up);
  // Checks the channel menu item alone and applies it.
  void SelectChannel(QAction* chosen);
  void ApplyChannelFromMenu();
  void RefreshChannelChecks();
  // Gestures on the two sliders: x relative to the track (click) or the thumb (drag).
  void VolumeSliderClick(int x);
  void VolumeSliderDrag(int x);
  void BalanceSliderClick(int x);
  void BalanceSliderDrag(int x);
  platform::SystemVolume& systemVolume();

  // Frame capture and the capture page (capture_view.cpp).
  tximage *SaveAll_XI = nullptr, *Save_XI = nullptr, *Delete_XI = nullptr, *Empty_XI = nullptr;
  capture::Captures& captures() { return *captures_; }
  capture::CapturePage* capturePage() const { return capturePage_; }
  void CaptureFrame();
  // The tool bar's buttons act on the tile it is lent to.
  void SaveCapture();
  void SaveAllCaptures();
  void DeleteCapture();
  void EmptyCaptures();

  // The skinned frame.
  void LoadSkinPicture(tximage* control, const QString& fileName);
  const std::string& skinFolder() const { return skinFolder_; }
  void UpdateTransportButtons();
  // The button's normal or disabled picture, as it is now.
  void ShowEnabledState(tximage* button);
  // The logo fills the video area while no picture plays.
  void ShowLogoWhileNoPicture();
  void LayoutControlBar();
  void ToggleFullScreen();
  void FullScreenMouseMove(int y);
  void ToggleSidePanel();
  void ShowPlayListPage(bool hide);
  void ShowCaptureListPage(bool hide);
  void CloseCurrentList();
  void BringListPageToFront(int page);
  void ScrollListPage(int wheelDelta);
  void DragScrollThumb(int dy);
  void SplitterMoved(int x);
  void MoveMediaName();  // one ShowMedia_T tick
  void ApplyStayOnTop(int mode);
  void ChooseStayOnTop(QAction* item);
  void ToggleMaximised();
  void OpenProductPage();
  // The after-play action's value 2 and the seek bar's gestures reach these.
  void SeekBarClick(int x);
  void SeekBarDrag(int x);
  ListPageScroll& listPage(int page) { return page == 2 ? captureScroll_ : playListScroll_; }
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
  void RefreshButtonPictures() override { UpdateTransportButtons(); }
  void ShowStoppedButtonPictures() override;
  void RepaintVideo() override;
  void PaintVideoNow() override;
  void RepaintSpectrum() override;
  void RefreshPlayList(int index) override;
  void LeaveFullScreenAtOpen() override;
  void FullScreenAtOnce() override;
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
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  MediaNameStrip* nameStrip_ = nullptr;
  void LoadStartupSettings();
  void CreateLists();
  void InitialiseMainWindow();
  void CreateScaleMenuItems();
  void BuildFrame();
  void BuildTitleBar();
  void BuildControlBar();
  void BuildSidePanel();
  void BuildPlayListPage();
  void BuildCapturePage();
  void AddCaptureTile(int index);
  void LayOutCapturePage();
  bool RunCaptureJob(const std::function<bool()>& job);
  bool FilesInPlay() const;
  void AfterListEdit();
  void BindCommands();
  void BuildMainPopup();
  void BuildPipMenu();
  void RefreshPipMenu();
  void EnableMenuItems(engine::Control control, bool on);
  void BuildVolumeControls();
  void BuildSoundMenus(QMenu* play);
  QString VolumeButtonFile(const char* state) const;
  BarGeometry VolumeBarGeometry() const;
  BarGeometry BalanceBarGeometry() const;
  void VolumeSliderTo(BarState state);
  void BalanceSliderTo(BarState state);
  void ArrangeFrame();
  void ArrangeSidePanel();
  void PlaceStatusLabels();
  void ShowFrame(bool shown);
  void ShowListPage(int page, bool hide);
  void UpdateScrollBar(int page);
  void PlaceListContent(int page, int top);
  // Picture swaps of the button family, and the action on click or on release.
  enum class UpPicture { Normal, Hight, None };
  void BindSkinButton(tximage* button, std::function<QString()> normalFile, UpPicture up,
                      std::function<void()> action, bool actionOnUp = false);
  tximage* MakeImage(QWidget* parent, const char* name, const QString& file, bool stretch = false);
  // A button of a list page's tool bar, placed in its bar.
  struct ToolBarButton {
    tximage** target;
    const char* name;
    const skin::Place& place;
    const char* picture;
    const char* tip;  // none when null
    std::function<void()> action;
    // Acts on release, a turn of the event loop later: the tile under the
    // pointer may go with the action.
    bool onUp;
  };
  void MakeToolBarButtons(QWidget* bar, std::initializer_list<ToolBarButton> buttons);
  void MoveWindowCentred(int width, int height, bool vertically);
  void ShowInState(Qt::WindowState state);
  bool ShownMaximised() const;
  BarGeometry SeekBarGeometry() const;
  void SeekBarTo(const BarGeometry& bar, BarState state);
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
  std::unique_ptr<pip::PipSession> pip_;
  bool pipShown_ = false;  // a PIP session has been shown: its menu items are on
  std::string skinFolder_;
  bool shown_ = false;
  bool startUpQueued_ = false;
  std::string showTimeFailure_;  // the command-line file that could not open at show
  bool activated_ = false;
  bool closed_ = false;
  bool destroyed_ = false;
  engine::SpectrumBars spectrumBars_;
  std::string tagText_;
  std::string tagPath_;  // the file tagText_ was built from
  bool controls_[16] = {};
  ListPageScroll playListScroll_{nullptr, nullptr, 50};
  ListPageScroll captureScroll_{nullptr, nullptr, 55};
  int splitterPressX_ = 0;
  QPoint titleDragFrom_{-1, -1};
  QRect normalGeometry_;  // where a normal window goes back to when no window manager runs
  Qt::WindowState shownState_ = Qt::WindowNoState;  // where a title-bar press began; x < 0: none
  int scrollThumbPressY_ = 0;
  std::unique_ptr<platform::SystemVolume> ownSystemVolume_;  // made at the first balance change
  Commands* commands_ = nullptr;
  PlayListPage* playListPage_ = nullptr;
  unsigned playListVersion_ = 0;  // the list version the page was last built for
  HistoryMenu* historyMenu_ = nullptr;
  // The DVD list as the page shows it, in its own content widget of PL_P.
  playlist::PlayList dvdLines_;
  PlayListPage* dvdListPage_ = nullptr;
  QWidget* dvdContent_ = nullptr;
  QWidget* fileContent_ = nullptr;  // the play list's content while the DVD list shows
  unsigned dvdMenusBuilt_ = ~0u;
  // Shows page 1's list for the play type: the DVD list for a disc, else the play list.
  bool ShowListForPlayType();
  bool suppressVideoClick_ = false;  // the menu has opened since the last click on the picture
  platform::GlobalHotKey* hotKey_ = nullptr;
  int bossKeyId_ = 0;
  bool bossKeyRegistered_ = false;
  bool bossPaused_ = false;  // the boss key paused what was playing
  Qt::WindowState bossState_ = Qt::WindowNoState;  // how the window was shown before hiding
  std::unique_ptr<capture::FrameSource> ownFrameSource_;
  std::unique_ptr<capture::Captures> captures_;
  capture::CapturePage* capturePage_ = nullptr;
  bool captureBusy_ = false;  // a frame is being taken
};

}  // namespace app
