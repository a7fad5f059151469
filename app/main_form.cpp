#include "app/main_form.h"
#include "app/media_name_strip.h"

#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QPointer>
#include <QScreen>
#include <QWindow>
#include <algorithm>

#include "app/command_line.h"
#include "engine/engine_version.h"
#include "engine/gst_file_graph.h"
#include "engine/tag_text.h"
#include "engine/time_text.h"
#include "platform/media_path.h"
#include "platform/safe_file.h"
#include "platform/x11_window.h"

namespace app {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }

// A stored path; a missing one ("Value no find") names no file, so it never
// enters a list and is never written back.
std::string StoredPath(const settings::SettingsStore& store, std::string_view section,
                       std::string_view key) {
  std::string path = store.ReadText(section, key);
  return path == settings::kValueNoFind ? std::string() : path;
}

// Runs a step once, when the window is first exposed (or after a few seconds
// at the latest, so a platform that never says cannot stall the start).
class WhenExposed final : public QObject {
 public:
  WhenExposed(QWindow* window, QObject* owner, std::function<void()> step)
      : QObject(owner), window_(window), step_(std::move(step)) {
    if (!window_ || window_->isExposed()) {
      QTimer::singleShot(0, this, [this] { Run(); });
      return;
    }
    window_->installEventFilter(this);
    QTimer::singleShot(3000, this, [this] { Run(); });
  }
  bool eventFilter(QObject*, QEvent* event) override {
    // Not inside the expose itself: the step may open modal boxes.
    if (event->type() == QEvent::Expose && window_->isExposed())
      QTimer::singleShot(0, this, [this] { Run(); });
    return false;
  }

 private:
  void Run() {
    if (!step_) return;
    if (window_) window_->removeEventFilter(this);
    std::function<void()> step = std::move(step_);
    step_ = nullptr;
    step();
    deleteLater();
  }
  QPointer<QWindow> window_;
  std::function<void()> step_;
};
// Pictures put straight into the window are not in the toolkit's copy of it,
// which an expose shows: they are put again once the expose is drawn.
class PutAgainAfterExpose final : public QObject {
 public:
  PutAgainAfterExpose(QWindow* window, QObject* owner, std::function<void()> put)
      : QObject(owner), put_(std::move(put)) {
    window->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Expose) QTimer::singleShot(0, this, [this] { put_(); });
    return false;
  }

 private:
  std::function<void()> put_;
};
}  // namespace

TOrvaneMain_Form::TOrvaneMain_Form(const MainFormParts& parts, QWidget* parent)
    : QWidget(parent),
      parts_(parts),
      session_(*parts.graph, *parts.detector, *parts.audio, *this, *parts.prompt, playList_,
               parts.pipGraph) {
  session_.SetDvdEngine(parts.dvd);
  pip_ = std::make_unique<pip::PipSession>(session_, mixer_, store_, *parts.prompt, playList_);
  FormCreate();
}

TOrvaneMain_Form::~TOrvaneMain_Form() { FormDestroy(); }

void TOrvaneMain_Form::FormCreate() {
  LoadStartupSettings();
  CreateLists();
  InitialiseMainWindow();
}

void TOrvaneMain_Form::LoadStartupSettings() {
  InWindowMove = false;
  IsFullScreen = false;
  folders_ = platform::ProgramFoldersFor(parts_.programDirectory);
  skinFolder_ = platform::EnsureTrailingSeparator(folders_.skin + "Default");
  if (!settings::PrepareSettings(store_, folders_)) {
    // Without a writable Ini folder the player still runs, on built-in defaults.
    parts_.prompt->Inform(platform::kPromptCaption,
                          "无法创建设置文件 " + store_.Path() + "\n将使用默认设置运行。");
  }
  session_.PlayType = engine::kPlayNone;
  session_.PlayRate = 1.0;
  session_.LoadSoundLevel(store_.ReadInt("Play", "SoundLevel"));
  playList_.PlayListIndex = -1;
  session_.VideoWidth = 1;
  session_.VideoHeight = 1;
  session_.IsPlaying = false;
  session_.IsPaused = false;
  session_.ScaleMode = 0;
  session_.PlayType = store_.ReadInt("PlayControl", "LastPlayType");
  ReloadLast = store_.ReadInt("PlayControl", "ReloadLast");
  MemoryLastPos = store_.ReadInt("PlayControl", "MemoryLastPos");
  // The stored 32-bit value, sign-extended.
  ResumePosition = static_cast<std::int64_t>(store_.ReadInt("PlayControl", "LastPos"));
  session_.CurrentMediaFile = StoredPath(store_, "PlayControl", "LastMediaFile");
  session_.PlayMode = store_.ReadInt("PlayControl", "PlayMode");
  session_.isSlience = store_.ReadInt("Play", "isSlience") == 1;
  // The stored channel is heard from the first file on, as its menu item
  // shows it, not only once the menu has been opened.
  if (const int balance = store_.ReadInt("Play", "SoundBalance");
      balance == 0 || balance == -9999 || balance == 9999)
    session_.SoundBalance = balance;
  PipReverseType = store_.ReadInt("Pip", "ReverseType");
  BalancePercent = 50;
  InterfaceLanguage = 2;
  // Loaded now so that a player started to play one file can end by itself.
  AfterPlay = store_.ReadInt("Play", "AfterPlay");
  session_.ReadWhileOpenMedia = [this] { return store_.ReadInt("PlayControl", "WhileOpenMedia"); };
  session_.ReadSkipSeconds = [this](int direction) {
    return store_.ReadInt("Play", direction == 1 ? "QuickOnce" : "SlowOnce");
  };
}

void TOrvaneMain_Form::CreateLists() {
  playList_ = playlist::PlayList();
  playList_.PlayListIndex = -1;
}

void TOrvaneMain_Form::InitialiseMainWindow() {
  setWindowTitle(kApplicationTitle);
  setObjectName("TOrvaneMain_Form");
  setWindowFlag(Qt::FramelessWindowHint, true);
  setWindowIcon(QIcon(QString::fromStdString(folders_.image + "/logo_m.ico")));
  resize(689, 446);
  QFont playerFont("宋体", 9);
  setFont(playerFont);

  BuildFrame();
  MainLogo_I = MakeImage(Video_P, "MainLogo_I", "MainLogo.bmp");
  MainLogo_I->resize(MainLogo_I->Picture().size());
  QPalette highlight = palette();
  highlight.setColor(QPalette::WindowText, kHighlightColour);
  CurMedia_L->setPalette(highlight);
  CurMedia_L->setFont(playerFont);
  Status_L->setFont(playerFont);
  mp3Info_L = new TagLabel(Video_P);
  mp3Info_L->setObjectName("mp3Info_L");
  mp3Info_L->setPalette(highlight);
  mp3Info_L->setFont(playerFont);
  mp3Info_L->hide();
  AudioEQ_P = MakePanel(Video_P, "AudioEQ_P");
  AudioEQ_P->resize(200, 80);
  AudioEQ_P->hide();
  FFTBox = new SpectrumBox(Video_P);
  FFTBox->setObjectName("FFTBox");
  FFTBox->setGeometry(10, 10, engine::kSpectrumWidth, engine::kSpectrumHeight);
  FFTBox->hide();

  Ctrl_T = new QTimer(this);
  Ctrl_T->setInterval(100);
  connect(Ctrl_T, &QTimer::timeout, this, [this] { session_.SessionTick(); });
  FFT_T = new QTimer(this);
  FFT_T->setInterval(30);
  connect(FFT_T, &QTimer::timeout, this, [this] { DrawSpectrum(); });
  session_.RefreshTagText = [this](const std::string& previous, const std::string& current) {
    RefreshTagText(previous, current);
  };
  ShowMedia_T = new QTimer(this);
  ShowMedia_T->setInterval(20);
  connect(ShowMedia_T, &QTimer::timeout, this, [this] { MoveMediaName(); });

  CreateVideoOutput();
  CreateScaleMenuItems();
  BindCommands();
  BuildMainPopup();
  historyMenu_ = new HistoryMenu({pHistory, pManageHistory, pClearHistory, pClearHistoryExit},
                                 store_, folders_, *parts_.prompt,
                                 [this](const std::string& path) { OpenHistoryItem(path); }, this);
  session_.MergeIntoHistory = [this](const std::vector<std::string>& paths) {
    historyMenu_->MergeIntoHistory(paths);
  };
  ApplyStayOnTop(store_.ReadInt("Play", "StayOnTop"));
  // The picture and the logo over it answer the mouse alike.
  for (QWidget* area : {static_cast<QWidget*>(Video_P), static_cast<QWidget*>(MainLogo_I)}) {
    area->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(area, &QWidget::customContextMenuRequested, this,
            [this, area](QPoint at) { Main_Pop->popup(platform::RealMapToGlobal(area, at)); });
  }
  Video_P->onMouseMove = [this](QPoint at) { FullScreenMouseMove(at.y()); };
  Video_P->onClick = [this] { VideoClick(); };
  Video_P->onDoubleClick = [this] { VideoDoubleClick(); };
  connect(MainLogo_I, &tximage::OnClick, this, [this] { VideoClick(); });
  connect(MainLogo_I, &tximage::OnDblClick, this, [this] { VideoDoubleClick(); });
  BuildDvdNavigation();

  if (!engine::AudioEngineVersionOk()) {
    parts_.prompt->Inform("", "\"" + engine::AudioEngineLibraryName() + "\"" + " 文件版本不合适! ",
                          platform::Prompt::Icon::Error);
  }

  // Nothing is open: transport, tracks and session menu items start disabled.
  EnableControl(engine::Control::TransportButtons, false);
  EnableControl(engine::Control::SeekTrack, false);
  EnableControl(engine::Control::VolumeTrack, false);
  EnableControl(engine::Control::FileMenuItems, false);
  EnableControl(engine::Control::PlayControlMenuItems, false);
  EnableControl(engine::Control::DvdMenuItems, false);
  UpdateTransportButtons();
  // Disabled after the pictures: it keeps its normal picture until a session ends.
  EnableControl(engine::Control::CaptureButton, false);
  for (QAction* a : pipItems) a->setEnabled(false);
  RegisterBossKey();
  // Closed by force from outside: end as a close does rather than play on unseen.
  platform::WhenDestroyedByOthers(this, [this] { close(); });
  setAcceptDrops(false);  // the player takes no dropped files
  ArrangeFrame();
  LayoutControlBar();
  CurMedia_L->move(ScrollMedia_P->width(), 1);  // the name enters from the right

  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    int left = (screen->geometry().width() - width() - 56) / 2;
    move(left, std::max(0, (screen->geometry().height() - height()) / 2));
  }
}

void TOrvaneMain_Form::CreateVideoOutput() {
  // Chosen this late so that an OpenGL probe started with the program has
  // had the window's building time to answer.
  session_.RendererKind = parts_.rendererKind ? parts_.rendererKind : engine::ProbeRenderers([this] {
    if (parts_.openGl) return OpenGlAvailable(*parts_.openGl);
    return OpenGlAvailable(GlProbeProgram(parts_.programDirectory));
  });
  videoSurface_ = CreateVideoSurface(session_.RendererKind, mixer_, Video_P);
  engine::VideoOutput output;
  output.mixer = &mixer_;
  if (session_.RendererKind == engine::kRendererDefault)
    output.window = static_cast<std::uintptr_t>(Video_P->winId());
  parts_.graph->SetVideoOutput(output);
  if (parts_.dvd) parts_.dvd->SetVideoOutput(output);
  session_.pipGraph().SetVideoOutput(output);
  // The mixer's surface covers the panel; what is drawn on the panel stays above it.
  for (QWidget* child : {static_cast<QWidget*>(MainLogo_I), static_cast<QWidget*>(mp3Info_L),
                         AudioEQ_P, static_cast<QWidget*>(FFTBox)})
    child->raise();
  Video_P->onResize = [this] {
    PlaceVideoPanelChildren();
    // A frame change in progress fits the video once, when it is done.
    if (!InWindowMove) session_.FitVideo();
  };
  Video_P->onExpose = [this] {
    if (session_.RendererKind != engine::kRendererDefault || !session_.IsPlaying) return false;
    parts_.graph->Expose();
    return true;
  };
}

void TOrvaneMain_Form::PlaceVideoPanelChildren() {
  MainLogo_I->move((Video_P->width() - MainLogo_I->width()) / 2,
                   (Video_P->height() - MainLogo_I->height()) / 2);
  FFTBox->move(10, Video_P->height() - FFTBox->height() - 10);
  AudioEQ_P->move(Video_P->width() - AudioEQ_P->width() - 4,
                  Video_P->height() - AudioEQ_P->height());
  // The tag text stands at the top left, whole. Where it would reach the
  // centred logo, the logo steps down below it while there is room above the
  // spectrum; only then does the text keep to the room left of the logo.
  constexpr int kMargin = 10, kGap = 8;
  const QSize tag = mp3Info_L->sizeHint();
  const QRect logo = MainLogo_I->geometry();
  const int tagBottom = kMargin + tag.height() + kGap;
  int room = Video_P->width() - 2 * kMargin;
  if (!mp3Info_L->text().isEmpty() && tagBottom > logo.top() &&
      kMargin + tag.width() + kGap > logo.left()) {
    if (tagBottom + logo.height() + kGap <= FFTBox->y())
      MainLogo_I->move(logo.left(), tagBottom);
    else
      room = std::min(room, logo.left() - kGap - kMargin);
  }
  mp3Info_L->setGeometry(kMargin, kMargin, std::clamp(tag.width(), 0, std::max(0, room)),
                         tag.height());
}

void TOrvaneMain_Form::DrawSpectrum() {
  // While paused or ended the last picture stays on screen; an unchanged one
  // is not repainted either, since every repaint costs a trip to the X server.
  if (!parts_.audio->IsActivePlaying()) return;
  float values[engine::kSpectrumValues];
  parts_.audio->GetSpectrum(values);
  spectrumBars_.Update(values);
  if (FFTBox->Draw(spectrumBars_)) FFTBox->ShowNow();
}

void TOrvaneMain_Form::RepaintSpectrum() {
  spectrumBars_ = engine::SpectrumBars();
  FFTBox->Clear();
}

void TOrvaneMain_Form::SetTagText(const std::string& text) {
  tagText_ = text;
  mp3Info_L->setText(Q(text).replace(QChar('\r'), QChar('\n')));
  PlaceVideoPanelChildren();
}

void TOrvaneMain_Form::RefreshTagText(const std::string& previous, const std::string& current) {
  // The same file again keeps its text without reading it. The text's own
  // path counts too: a file named at start-up is already current when it opens.
  if (!engine::IsAudioOnlyFile(current)) {
    SetTagText("");
    tagPath_.clear();
  } else if (current != previous || current != tagPath_) {
    SetTagText("");
    SetTagText(engine::BuildTagText(current));
    tagPath_ = current;
  }
}

void TOrvaneMain_Form::CreateScaleMenuItems() {
  const char* const captions[] = {"保持原始比例", "填充整个窗口", "4:3", "5:4", "16:9"};
  QAction** items[] = {&pKeeporiginal, &pFillWholeWindow, &pScale43, &pScale54, &pScale169};
  const char* const names[] = {"pKeeporiginal", "pFillWholeWindow", "pScale43", "pScale54",
                               "pScale169"};
  for (size_t i = 0; i < kScaleMenuValues.size(); ++i) {
    QAction* item = new QAction(QString::fromUtf8(captions[i]), this);
    item->setObjectName(names[i]);
    item->setCheckable(true);
    connect(item, &QAction::triggered, this, [this, item] { ApplyScaleMenu(item); });
    *items[i] = item;
  }
  // Start-up scale: the stored mode, its item checked (none for other values).
  session_.ScaleMode = store_.ReadInt("View", "VideoScale");
  for (size_t i = 0; i < kScaleMenuValues.size(); ++i)
    ScaleMenuItems()[i]->setChecked(kScaleMenuValues[i] == session_.ScaleMode);
}

void TOrvaneMain_Form::ApplyScaleMenu(QAction* item) {
  std::array<QAction*, 5> items = ScaleMenuItems();
  for (QAction* each : items) each->setChecked(false);
  item->setChecked(true);
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i] == item) session_.ScaleMode = kScaleMenuValues[i];
  store_.WriteInt("View", "VideoScale", session_.ScaleMode);
  session_.FitVideo();
}

void TOrvaneMain_Form::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (shown_ || startUpQueued_) return;
  startUpQueued_ = true;
  new PutAgainAfterExpose(windowHandle(), this, [this] {
    nameStrip_->ShowNow(true);
    if (FFTBox->isVisible()) FFTBox->ShowNow();
    // Also paused: the toolkit's copy may hold an older frame than the one shown.
    if (auto* painted = qobject_cast<PainterVideoSurface*>(videoSurface_)) painted->ShowNow();
  });
  // The command line and the last session wait until the window is on
  // screen, so a message they show never comes before the window. Activation
  // may never come without a window manager: it runs once here anyway.
  new WhenExposed(windowHandle(), this, [this] {
    FormShow();
    FormActivate();
  });
}

void TOrvaneMain_Form::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && shown_) FormActivate();
}

void TOrvaneMain_Form::FormShow() {
  // Once only: opening a file shows the window, which must not open it again.
  if (shown_) return;
  shown_ = true;
  ListDiscDrives();
  historyMenu_->LoadHistory();
  std::vector<std::string> files = ShowTimeFiles(parts_.args, platform::PathExists);
  if (files.empty()) return;
  session_.CurrentMediaFile = files.front();
  session_.PlayRate = 1.0;
  if (!session_.OpenFiles(files)) showTimeFailure_ = files.front();
  parts_.graph->DropEarlyPreroll();
}

void TOrvaneMain_Form::FormActivate() {
  if (activated_) return;
  activated_ = true;
  if (!parts_.args.empty()) {
    ActivationSwitch sw = ActivationSwitchFor(parts_.args, platform::PathExists);
    if (sw.kind == ActivationSwitch::OpenFile) {
      // The show-time open has just failed on this very file and said so;
      // opening it again would only repeat the message.
      if (sw.file == showTimeFailure_) return;
      session_.CurrentMediaFile = sw.file;
      session_.PlayRate = 1.0;
      session_.OpenFiles({sw.file});
    } else if (sw.kind == ActivationSwitch::AddFile) {
      playList_.LoadStored(PlayListFilePath(), session_.CurrentMediaFile, sw.file);
      if (session_.MergeIntoHistory) session_.MergeIntoHistory(playList_.PlayListPaths);
      // The list goes on from the file that plays, wherever it now stands.
      playList_.PlayListIndex = playList_.IndexOf(session_.CurrentMediaFile);
      RefreshPlayList(playList_.PlayListIndex);
    }
    return;
  }
  const bool files = FilesInPlay();
  if (files) {
    std::string current = session_.CurrentMediaFile;
    playList_.LoadStored(PlayListFilePath(), current, "");
    if (session_.MergeIntoHistory) session_.MergeIntoHistory(playList_.PlayListPaths);
    // No stored file: the list starts from its first entry.
    if (current.empty() && !playList_.Empty()) current = playList_.PlayListPaths.front();
    session_.CurrentMediaFile = current;
  }
  // The stored DVD list comes back for a disc played last.
  if (session_.PlayType == engine::kPlayDvd) LoadDvdList();
  RestoreLastSession();
  if (files) {
    // The stored file's entry is the current one, also when it did not come
    // back; the list is shown either way.
    playList_.PlayListIndex = playList_.IndexOf(session_.CurrentMediaFile);
    if (playList_.Version != playListVersion_) RefreshPlayList(playList_.PlayListIndex);
  }
}

void TOrvaneMain_Form::RestoreLastSession() {
  if (ReloadLast == 1) {
    switch (session_.PlayType) {
      case engine::kPlayMedia:
      case engine::kPlayAudio:
        RestoreMediaFile();
        break;
      case engine::kPlayPip:
        ReloadLastPip();
        break;
      case engine::kPlayDvd:
        ReloadLastDvd();
        break;
      default:
        break;
    }
  } else if (ReloadLast == 0 && session_.PlayType == engine::kPlayDvd) {
    session_.DvdPath = StoredPath(store_, "PlayControl", "LastDvd");
  }
}

void TOrvaneMain_Form::RestoreMediaFile() {
  // A file that is gone (or never was) has nothing to resume: stay ready quietly.
  if (!platform::FileExists(session_.CurrentMediaFile)) return;
  playList_.PlayListIndex = playList_.IndexOf(session_.CurrentMediaFile);
  session_.PlayRate = 1.0;
  bool audio = session_.PlayType == engine::kPlayAudio;
  if (engine::IsAudioOnlyFile(session_.CurrentMediaFile)) {
    SetTagText(engine::BuildTagText(session_.CurrentMediaFile));
    tagPath_ = session_.CurrentMediaFile;
  }
  if (!session_.OpenCurrentMedia()) {
    session_.EnterReadyState();
    session_.ReportOpenFailure(session_.CurrentMediaFile);
    return;
  }
  if (session_.IsPlaying) {
    audio = session_.PlayType == engine::kPlayAudio;
    std::int64_t length = audio ? session_.AudioLength
                                : engine::UnitsToSeconds(session_.MediaLength);
    if (ResumePosition == length) ResumePosition = 0;
    if (MemoryLastPos == 1 && ResumePosition > 0) {
      if (audio)
        session_.SeekAudioSeconds(ResumePosition);
      else
        parts_.graph->SetPositionAbsolute(ResumePosition * 10000000);
    }
  }
  RefreshPlayList(playList_.PlayListIndex);
  session_.ShowMediaInfo();
  if (!audio) FullScreenAtOnce();
}

// The play list becomes the one file, which plays from its start: the open
// sequence closes, resets the rate, leaves full screen for the new picture,
// rebuilds the page and shows the file.
void TOrvaneMain_Form::OpenHistoryItem(const std::string& path) {
  if (!platform::FileExists(path)) return;
  session_.OpenFiles({path});
}

std::string TOrvaneMain_Form::PlayListFilePath() const {
  return platform::EnsureTrailingSeparator(folders_.project) + "PlayFileList";
}

void TOrvaneMain_Form::SaveResumeState() {
  int type = session_.PlayType;
  store_.WriteIntEnsured("PlayControl", "LastPlayType", type);
  // Nothing played in this run: the position stored last time still holds.
  const std::int64_t position = !session_.EverShown            ? ResumePosition
                                : type == engine::kPlayAudio ? session_.LastAudioPositionSeconds
                                                             : session_.MediaPositionSeconds;
  store_.WriteIntEnsured("PlayControl", "LastPos", position);
  if (type == engine::kPlayMedia || type == engine::kPlayAudio) {
    store_.WriteEnsured("PlayControl", "LastMediaFile", session_.CurrentMediaFile);
  } else if (type == engine::kPlayDvd) {
    if (!session_.DvdPath.empty()) store_.WriteEnsured("PlayControl", "LastDvd", session_.DvdPath);
    // The title the position is in, so the next start finds it again.
    int title = 0, chapter = 0;
    if (session_.Dvd().CurrentTitle(&title, &chapter))
      store_.WriteIntEnsured("PlayControl", "LastDvdTitle", title);
  } else if (type == engine::kPlayPip) {
    if (!session_.PipMediaFileA.empty() && !session_.PipMediaFileB.empty()) {
      store_.WriteEnsured("Pip", "pipMediaFileA", session_.PipMediaFileA);
      store_.WriteEnsured("Pip", "pipMediaFileB", session_.PipMediaFileB);
    }
  }
}

void TOrvaneMain_Form::closeEvent(QCloseEvent* event) {
  // Not while a frame is being taken: the close would run inside the grab.
  if (captureBusy_) {
    event->ignore();
    return;
  }
  if (!FormClose()) {
    event->ignore();
    return;
  }
  event->accept();
}

bool TOrvaneMain_Form::FormClose() {
  if (closed_) return true;
  closed_ = true;
  SaveResumeState();
  // A list this run never loaded or set (a lone "/o", a missing "/o" file)
  // stands for nothing: the stored one stays as it is.
  if ((session_.PlayType == engine::kPlayMedia || session_.PlayType == engine::kPlayAudio) &&
      playList_.Version != 0)
    playList_.SaveStored(PlayListFilePath());
  if (session_.PlayType == engine::kPlayDvd) SaveDvdList();
  historyMenu_->ClearAtExit();
  if (!captures_->SaveUnsavedAtClose()) {
    // A capture the user wanted kept could not be written: stay open.
    closed_ = false;
    return false;
  }
  // The tray icon joins this sequence with its own room.
  UnregisterBossKey();
  Ctrl_T->stop();
  FFT_T->stop();
  ShowMedia_T->stop();
  return true;
}

void TOrvaneMain_Form::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  // Streaming threads stop before the mixer and the panel they draw into go.
  if (parts_.graph) {
    parts_.graph->Release();
    // The mixer and the panel go with this window; the graph may outlive it.
    parts_.graph->SetVideoOutput({});
  }
  if (parts_.dvd) {
    parts_.dvd->Release();
    parts_.dvd->SetVideoOutput({});
  }
  session_.pipGraph().Release();
  session_.pipGraph().SetVideoOutput({});
  // No graph delivers any more: the surface the listener posts to may go.
  mixer_.SetFrameListener({});
  engine::SetPictureMemory(nullptr);
  if (parts_.audio) parts_.audio->Free();
}

bool TOrvaneMain_Form::timerActive(engine::Timer timer) const {
  switch (timer) {
    case engine::Timer::Session: return Ctrl_T->isActive();
    case engine::Timer::Spectrum: return FFT_T->isActive();
    case engine::Timer::MediaName: return ShowMedia_T->isActive();
  }
  return false;
}

bool TOrvaneMain_Form::controlEnabled(engine::Control control) const {
  return controls_[static_cast<int>(control)];
}

void TOrvaneMain_Form::SetStatusText(const std::string& text) {
  Status_L->setText(Q(text));
  PlaceStatusLabels();
}
void TOrvaneMain_Form::SetTimeText(const std::string& text) {
  Time_L->setText(Q(text));
  PlaceStatusLabels();
}
void TOrvaneMain_Form::SetResolutionText(const std::string& text) {
  Resolution_L->setText(Q(text));
  PlaceStatusLabels();
}
void TOrvaneMain_Form::SetMediaName(const std::string& text) {
  CurMedia_L->setText(Q(text));
  CurMedia_L->adjustSize();
  nameStrip_->ShowNow(true);
}

void TOrvaneMain_Form::SetSeekBar(std::int64_t current, std::int64_t stop) {
  if (stop == 0) return;
  const std::int64_t travel = SeekBarGeometry().Travel();
  const int left = VideoPro_XI->x() + static_cast<int>(current * travel / stop);
  VideoBar_XI->move(left, VideoBar_XI->y());
  VideoGo_XI->resize(left - VideoPro_XI->x() + 4, VideoGo_XI->height());
}
void TOrvaneMain_Form::ResetSeekBar() {
  VideoBar_XI->move(VideoPro_XI->x(), VideoBar_XI->y());
  VideoGo_XI->resize(0, VideoGo_XI->height());
}

void TOrvaneMain_Form::SetTimer(engine::Timer timer, bool on) {
  QTimer* t = timer == engine::Timer::Session    ? Ctrl_T
              : timer == engine::Timer::Spectrum ? FFT_T
                                                 : ShowMedia_T;
  if (on)
    t->start();
  else
    t->stop();
  // The spectrum box exists on screen only while its timer draws it, never over a picture.
  if (timer == engine::Timer::Spectrum) FFTBox->setVisible(on);
}

void TOrvaneMain_Form::EnableControl(engine::Control control, bool on) {
  controls_[static_cast<int>(control)] = on;
  std::vector<QWidget*> widgets;
  switch (control) {
    case engine::Control::TransportButtons:
      widgets = {PlayPause_XI, Stop_XI, Backward_XI, Forward_XI, Previous_XI, Next_XI};
      break;
    case engine::Control::PlayPauseButton: widgets = {PlayPause_XI}; break;
    case engine::Control::BackwardForwardButtons: widgets = {Backward_XI, Forward_XI}; break;
    case engine::Control::SeekTrack: widgets = {VideoPro_XI, VideoGo_XI, VideoBar_XI}; break;
    case engine::Control::VolumeTrack: widgets = {SoundPro_XI, SoundGo_XI, SoundBar_XI}; break;
    case engine::Control::CaptureButton: widgets = {Capture_XI}; break;
    case engine::Control::FullButton: widgets = {Full_XI}; break;
    case engine::Control::SplitterButton: widgets = {Splitter_XI}; break;
    case engine::Control::PrevNextButtons: widgets = {Previous_XI, Next_XI}; break;
    default:
      EnableMenuItems(control, on);
      break;
  }
  for (QWidget* w : widgets) w->setEnabled(on);
}

void TOrvaneMain_Form::SetEqualiserVisible(bool visible) { AudioEQ_P->setVisible(visible); }
void TOrvaneMain_Form::SetTagVisible(bool visible) { mp3Info_L->setVisible(visible); }
void TOrvaneMain_Form::SetMediaFilePanelWidth(int width) {
  MediaFile_P->resize(width, MediaFile_P->height());
  ArrangeFrame();
}
void TOrvaneMain_Form::RepaintVideo() {
  Video_P->update();
  if (videoSurface_) videoSurface_->update();
}

void TOrvaneMain_Form::PaintVideoNow() {
  if (!videoSurface_ || !videoSurface_->isVisible()) return;
  // Just after the fit the toolkit would first repaint the whole resized
  // window; the first picture goes out straight when it can, without the logo over it.
  ShowLogoWhileNoPicture();
  if (auto* painted = qobject_cast<PainterVideoSurface*>(videoSurface_); painted && painted->PutLatest())
    return;
  videoSurface_->repaint();
}

void TOrvaneMain_Form::RunAfterPlayAction() {
  // 1: close through the normal close path, after the end of media has unwound.
  if (AfterPlay == 1) QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

engine::Size TOrvaneMain_Form::VideoPanelClientSize() const {
  return {Video_P->width(), Video_P->height()};
}

engine::Size TOrvaneMain_Form::MainWindowSize() const { return {width(), height()}; }

engine::Size TOrvaneMain_Form::ScreenSize() const {
  QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  if (!s) return {width(), height()};
  return {s->geometry().width(), s->geometry().height()};
}

bool TOrvaneMain_Form::MainWindowMaximised() const { return ShownMaximised(); }

void TOrvaneMain_Form::ShowMainWindow(bool maximised) {
  if (maximised)
    ShowInState(Qt::WindowMaximized);
  else if (ShownMaximised() || isHidden())
    ShowInState(Qt::WindowNoState);
}

void TOrvaneMain_Form::MoveMainWindow(int left, int top, int width, int height) {
  setGeometry(left, top, width, height);
}

}  // namespace app
