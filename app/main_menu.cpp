// The main popup menu and the commands behind it: every item of the tree, the
// choice groups, the refresh at every opening, and the mouse on the picture.
#include <QGuiApplication>
#include <QMenu>

#include "app/about_box.h"
#include "app/main_form.h"
#include "platform/x11_window.h"

namespace app {

namespace {
QAction* Item(QMenu* menu, const char* name, const char* caption) {
  QAction* a = menu->addAction(QString::fromUtf8(caption));
  a->setObjectName(name);
  return a;
}

QMenu* SubMenu(QMenu* menu, const char* name, const char* caption) {
  QMenu* sub = menu->addMenu(QString::fromUtf8(caption));
  sub->setObjectName(QString(name) + "_Menu");
  sub->menuAction()->setObjectName(name);
  return sub;
}

// The after-play entries in menu order, with the value each stands for.
constexpr int kAfterPlayValues[] = {2, 3, 1, 0};
}  // namespace

void TOrvaneMain_Form::BindCommands() {
  commands_ = new Commands(this);
  Commands& c = *commands_;
  c.Bind(Command::OpenFile, [this] { session_.OpenFileCommand(); });
  c.Bind(Command::Close, [this] { session_.StopCommand(); });
  c.Bind(Command::Property, [this] { session_.ShowMediaProperties(); });
  c.Bind(Command::PlayPause, [this] {
    session_.TogglePlayPause();
    UpdateTransportButtons();
  });
  c.Bind(Command::Stop, [this] { session_.StopCommand(); });
  c.Bind(Command::SingleFrameStep, [this] { session_.StepFrame(); });
  c.Bind(Command::Goto, [this] { session_.GotoCommand(); });
  c.Bind(Command::Forward, [this] { session_.Skip(1); });
  c.Bind(Command::Backward, [this] { session_.Skip(2); });
  // An empty text: the rate did not change, nor does the status.
  c.Bind(Command::AcceleratePlay, [this] { ShowRateText(session_.Accelerate()); });
  c.Bind(Command::DeceleratePlay, [this] { ShowRateText(session_.Decelerate()); });
  c.Bind(Command::NormalPlay, [this] {
    session_.PlayCommand();
    UpdateTransportButtons();
  });
  c.Bind(Command::PreviousFrame, [] {});  // a command with no action
  c.Bind(Command::NextFrame, [this] { session_.StepFrame(); });
  c.Bind(Command::HoistVolume, [this] { StepVolume(true); });
  c.Bind(Command::DebaseVolume, [this] { StepVolume(false); });
  c.Bind(Command::Slience, [this] { ToggleMute(); });
  c.Bind(Command::Stereo, [this] { SelectChannel(pStereo); });
  c.Bind(Command::LeftTrack, [this] { SelectChannel(pLefttrack); });
  c.Bind(Command::RightTrack, [this] { SelectChannel(pRighttrack); });
  c.Bind(Command::PlayPrevious, [this] { session_.PlayPrevious(); });
  c.Bind(Command::PlayNext, [this] { session_.PlayNext(); });
  c.Bind(Command::BossKey, [this] { ToggleBossKey(); });
  // In full screen the list's item is hidden, and so is the list.
  c.Bind(Command::PlayList, [this] {
    if (!IsFullScreen) ShowPlayListPage(PlayListShown);
  });
  c.Bind(Command::FullScreen, [this] { ToggleFullScreen(); });
  c.Bind(Command::CaptureScreen, [this] { CaptureFrame(); });
  // Opening a DVD folder, the control panel and the options dialog
  // arrive with their own rooms; until then they stay disabled.
}

void TOrvaneMain_Form::BuildMainPopup() {
  auto command = [this](QMenu* menu, Command id) { return commands_->AddItem(id, menu); };
  Main_Pop = new QMenu(this);
  Main_Pop->setObjectName("Main_Pop");

  QMenu* file = SubMenu(Main_Pop, "pFile", "文件");
  command(file, Command::OpenFile);
  pOpendvd = SubMenu(file, "pOpendvd", "打开dvd");
  command(file, Command::OpenDvdDirectory);
  pOpenpictureinpicture = Item(file, "pOpenpictureinpicture", "打开画中画...");
  command(file, Command::Close);
  pHistory = SubMenu(file, "pHistory", "历史记录");
  pManageHistory = Item(pHistory, "pManageHistory", "管理历史记录...");
  pClearHistory = Item(pHistory, "pClearHistory", "清空历史记录");
  pClearHistoryExit = Item(pHistory, "pClearHistoryExit", "当退出时清空历史记录");
  pClearHistoryExit->setCheckable(true);
  pHistory->addSeparator();
  command(file, Command::CaptureScreen);
  command(file, Command::Property);
  pExit = Item(file, "pExit", "退出");
  connect(pExit, &QAction::triggered, this, &QWidget::close);
  // The history object is made after this menu; the items reach it at click time.
  connect(pManageHistory, &QAction::triggered, this, [this] { historyMenu_->ManageHistory(); });
  connect(pClearHistory, &QAction::triggered, this, [this] { historyMenu_->ClearHistory(); });
  connect(pClearHistoryExit, &QAction::triggered, this,
          [this] { historyMenu_->ToggleClearHistoryExit(); });

  QMenu* play = SubMenu(Main_Pop, "pPlay", "播放");
  command(play, Command::PlayPause);
  command(play, Command::Stop);
  command(play, Command::SingleFrameStep);
  command(play, Command::PlayPrevious);
  command(play, Command::PlayNext);
  QMenu* control = SubMenu(play, "pPlaycontrol", "播放控制");
  pPlaycontrol = control->menuAction();
  for (Command id : {Command::Goto, Command::Forward, Command::Backward, Command::AcceleratePlay,
                     Command::DeceleratePlay, Command::NormalPlay, Command::PreviousFrame,
                     Command::NextFrame})
    command(control, id);
  BuildSoundMenus(play);
  QMenu* onTop = SubMenu(play, "pStayontop", "画面前置");
  pNonever = Item(onTop, "pNonever", "从来没有");
  pAlways = Item(onTop, "pAlways", "一直");
  pOnlyplaying = Item(onTop, "pOnlyplaying", "仅仅在播放时");
  stayOnTopGroup = MenuGroup({pNonever, pAlways, pOnlyplaying});
  stayOnTopGroup.SetClickHandler([this](QAction* a) { ChooseStayOnTop(a); });
  QMenu* afterPlay = SubMenu(play, "pAfterplay", "播放完成后");
  QAction* shutdown = Item(afterPlay, "pShutdown", "关闭系统");
  QAction* dormant = Item(afterPlay, "pDormant", "进入休眠");
  QAction* afterExit = Item(afterPlay, "pAfterExit", "退出播放器");
  afterPlay->addSeparator();
  QAction* nothing = Item(afterPlay, "pDonothing", "什么也不做");
  afterPlayGroup = MenuGroup({shutdown, dormant, afterExit, nothing});
  afterPlayGroup.SetClickHandler([this](QAction* a) { ChooseAfterPlay(a); });
  // Shutting down and standby arrive with the power room.
  shutdown->setEnabled(false);
  dormant->setEnabled(false);
  command(play, Command::BossKey);
  command(play, Command::ControlPanel);
  command(play, Command::Option);

  QMenu* dvd = SubMenu(Main_Pop, "pDvdnavigate", "DVD导航");
  dvdItems = {Item(dvd, "pPreviouschapter", "前一段"), Item(dvd, "pNextchapter", "后一段")};
  for (auto [name, caption] : {std::pair{"pSubpicture", "字幕"}, {"pDublanguage", "配音"},
                               {"pAngle", "视角"}})
    dvdItems.push_back(SubMenu(dvd, name, caption)->menuAction());
  for (auto [name, caption] : {std::pair{"pMainmenu", "主菜单"}, {"pTitlemenu", "标题菜单"},
                               {"pChaptermenu", "段落菜单"}, {"pSubpictureMenu", "字幕菜单"},
                               {"pDubmenu", "配音菜单"}, {"pAnglemenu", "视角菜单"}})
    dvdItems.push_back(Item(dvd, name, caption));

  QMenu* pip = SubMenu(Main_Pop, "pPip", "画中画");
  pipItems = {Item(pip, "pPipsetup", "设置...")};
  QMenu* position = SubMenu(pip, "pPipstandardpos", "画面位置");
  pipItems.push_back(position->menuAction());
  pipPositionGroup = MenuGroup({Item(position, "pLefttop", "左上"), Item(position, "pLeftbottom", "左下"),
                                Item(position, "pRighttop", "右上"), Item(position, "pRightbottom", "右下"),
                                Item(position, "pCenter", "居中")});
  pipItems.push_back(Item(pip, "pPicalpha", "画面透明度"));
  pipItems.push_back(Item(pip, "pPicswap", "画面切换"));
  QMenu* reverse = SubMenu(pip, "pPicreverse", "画面倒置");
  pipItems.push_back(reverse->menuAction());
  pipReverseGroup = MenuGroup({Item(reverse, "pNoreverse", "无倒置"),
                               Item(reverse, "pUpdownreverse", "上下倒置"),
                               Item(reverse, "pLeftrightreverse", "左右倒置"),
                               Item(reverse, "pCompletereverse", "完全倒置")});
  pipItems.push_back(Item(pip, "pPicRestore", "恢复默认位置"));

  QMenu* view = SubMenu(Main_Pop, "pView", "视图");
  pFullscreen = command(view, Command::FullScreen);
  pFullscreen->setCheckable(true);
  pCapturelistview = Item(view, "pCapturelistview", "截屏列表");
  pCapturelistview->setCheckable(true);
  connect(pCapturelistview, &QAction::triggered, this,
          [this] { ShowCaptureListPage(CaptureListShown); });
  pPlaylistView = command(view, Command::PlayList);
  pPlaylistView->setCheckable(true);
  QMenu* scale = SubMenu(view, "pDisplayscale", "显示比例");
  for (QAction* a : ScaleMenuItems()) scale->addAction(a);
  QMenu* zoom = SubMenu(view, "pZoom", "缩放");
  // Zooming has no action.
  for (auto [name, caption] : {std::pair{"pZoom50", "50%"}, {"pZoom100", "100%"}, {"pZoom200", "200%"}})
    Item(zoom, name, caption);

  QMenu* playList = SubMenu(Main_Pop, "pPlaylist", "播放列表");
  pPlaylist = playList->menuAction();
  QMenu* mode = SubMenu(playList, "pPlaymode", "播放模式");
  playModeGroup = MenuGroup({Item(mode, "pNone", "无"), Item(mode, "pCircleplay", "顺序播放"),
                             Item(mode, "pRandomplay", "随机播放"),
                             Item(mode, "pCirclesingleplay", "循环播放")});
  playModeGroup.SetClickHandler([this](QAction* a) { SetPlayMode(a); });
  connect(Item(playList, "pLoadfromfile", "加载..."), &QAction::triggered, this,
          [this] { LoadPlayListFile(); });
  connect(Item(playList, "pSaveto", "另存 ..."), &QAction::triggered, this,
          [this] { SavePlayListAs(); });
  connect(Item(playList, "pAdd", "添加"), &QAction::triggered, this, [this] { AddFilesToPlayList(); });
  connect(Item(playList, "pClear", "清空"), &QAction::triggered, this, [this] { EmptyPlayList(); });

  QMenu* help = SubMenu(Main_Pop, "pHelp", "帮助");
  pMainweb = Item(help, "pMainweb", "官方网站...");
  connect(pMainweb, &QAction::triggered, this, [this] { OpenProductPage(); });
  Item(help, "pHelpContent", "帮助...");  // no action
  pAbout = Item(help, "pAbout", "关于...");
  connect(pAbout, &QAction::triggered, this, [this] { OpenAbout(); });

  // The never-shown copies some items keep beside them.
  Play_Pop = new QMenu(this);
  Play_Pop->setObjectName("Play_Pop");
  for (auto [name, caption] : {std::pair{"mClose", "关闭"}, {"mCaptureScreen", "截屏..."},
                               {"mProperty", "属性..."}, {"mOpenPictureInPicture", "打开画中画..."},
                               {"mNonever", "从来没有"}, {"mAlways", "一直"},
                               {"mOnlyPlaying", "仅仅在播放时"}})
    Item(Play_Pop, name, caption);

  Temp_Pop = new QMenu(this);
  Temp_Pop->setObjectName("Temp_Pop");
  const std::pair<tximage*, QMenu*> images[] = {{File_XI, file},     {Play_XI, play},
                                                {Dvdnav_XI, dvd},    {Pip_XI, pip},
                                                {View_XI, view},     {PLMenu_XI, playList}};
  for (auto [image, menu] : images)
    connect(image, &tximage::OnClick, this, [this, image, menu] {
      // The same items, so captions, checks, shortcuts and handlers are the menu's own.
      RefreshMainMenu();
      Temp_Pop->clear();
      Temp_Pop->addActions(menu->actions());
      Temp_Pop->popup(platform::RealMapToGlobal(image, QPoint(0, image->height())));
    });
  connect(Main_Pop, &QMenu::aboutToShow, this, [this] { RefreshMainMenu(); });
  // A menu closed by a click elsewhere takes that click: it was the one not to
  // toggle, so the next click on the picture does.
  for (QMenu* menu : {Main_Pop, Temp_Pop})
    connect(menu, &QMenu::aboutToHide, this, [this] {
      if (QGuiApplication::mouseButtons() != Qt::NoButton) suppressVideoClick_ = false;
    });
  BuildPipMenu();
  commands_->RegisterShortcuts(store_);
}

// Every opening shows the choices as they are stored now, in this order.
void TOrvaneMain_Form::RefreshMainMenu() {
  suppressVideoClick_ = true;
  RefreshChannelChecks();
  ApplyStayOnTop(store_.ReadInt("Play", "StayOnTop"));
  AfterPlay = store_.ReadInt("Play", "AfterPlay");
  afterPlayGroup.UncheckAll();
  for (std::size_t i = 0; i < afterPlayGroup.items().size(); ++i)
    if (kAfterPlayValues[i] == AfterPlay) afterPlayGroup.at(i)->setChecked(true);
  for (std::size_t i = 0; i < kScaleMenuValues.size(); ++i)
    ScaleMenuItems()[i]->setChecked(kScaleMenuValues[i] == session_.ScaleMode);
  const int playMode = store_.ReadInt("PlayControl", "PlayMode");
  playModeGroup.CheckOnly(playMode);
  if (playMode >= 0 && playMode <= 3) session_.PlayMode = playMode;
  const int clearAtExit = store_.ReadInt("File", "ClearHistoryExit");
  if (clearAtExit == 1 || clearAtExit == 0) pClearHistoryExit->setChecked(clearAtExit == 1);
  RefreshPipMenu();
  pPlaylistView->setChecked(PlayListShown);
  pCapturelistview->setChecked(CaptureListShown);
  pFullscreen->setChecked(IsFullScreen);
  commands_->Item(Command::Property)
      ->setEnabled(session_.PlayType == engine::kPlayMedia || session_.PlayType == engine::kPlayPip);
  pFullscreen->setEnabled(session_.PlayType != engine::kPlayAudio);
  RefreshDvdMenus();
}

void TOrvaneMain_Form::EnableMenuItems(engine::Control control, bool on) {
  auto enable = [this, on](Command c) {
    commands_->Item(c)->setEnabled(on && commands_->HasHandler(c));
  };
  switch (control) {
    case engine::Control::FileMenuItems:
      for (Command c : {Command::Close, Command::CaptureScreen, Command::Property}) enable(c);
      for (const char* twin : {"mClose", "mCaptureScreen", "mProperty"})
        if (QAction* a = Play_Pop->findChild<QAction*>(twin)) a->setEnabled(on);
      break;
    case engine::Control::PlayControlMenuItems:
      for (Command c : {Command::PlayPause, Command::Stop, Command::SingleFrameStep,
                        Command::PlayPrevious, Command::PlayNext})
        enable(c);
      pPlaycontrol->setEnabled(on);
      break;
    case engine::Control::DvdMenuItems:
      for (QAction* a : dvdItems) a->setEnabled(on);
      break;
    // The disc's tick moves these within a title: their pictures follow at once.
    case engine::Control::PreviousChapter:
      dvdItems[0]->setEnabled(on);
      if (Previous_XI->isEnabled() != on) {
        Previous_XI->setEnabled(on);
        ShowEnabledState(Previous_XI);
      }
      break;
    case engine::Control::NextChapter:
      dvdItems[1]->setEnabled(on);
      if (Next_XI->isEnabled() != on) {
        Next_XI->setEnabled(on);
        ShowEnabledState(Next_XI);
      }
      break;
    default:
      break;
  }
}

void TOrvaneMain_Form::ChooseAfterPlay(QAction* item) {
  afterPlayGroup.UncheckAll();
  item->setChecked(true);
  AfterPlay = kAfterPlayValues[afterPlayGroup.IndexOf(item)];
  store_.WriteIntEnsured("Play", "AfterPlay", AfterPlay);
}

void TOrvaneMain_Form::SetPlayMode(QAction* item) {
  playModeGroup.UncheckAll();
  item->setChecked(true);
  session_.PlayMode = playModeGroup.CheckedIndex();
  store_.WriteIntEnsured("PlayControl", "PlayMode", session_.PlayMode);
}

void TOrvaneMain_Form::VideoClick() {
  const bool suppressed = suppressVideoClick_;
  suppressVideoClick_ = false;
  if (session_.IsPlaying && !suppressed) commands_->Run(Command::PlayPause);
}

void TOrvaneMain_Form::VideoDoubleClick() {
  // Full screen left over at the end of the media is left the same way.
  if (!session_.IsPlaying) {
    if (IsFullScreen) commands_->Run(Command::FullScreen);
    return;
  }
  // The first click of the two has toggled already.
  commands_->Run(Command::PlayPause);
  commands_->Run(Command::FullScreen);
}

void TOrvaneMain_Form::OpenAbout() {
  parts_.prompt->ShowAbout(kAboutCaption, AboutText(*commands_));
}

}  // namespace app

namespace app {
void TOrvaneMain_Form::ShowRateText(const std::string& text) {
  if (!text.empty()) SetStatusText(text);
}
}  // namespace app
