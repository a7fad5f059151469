// The commands as the window offers them: the main menu's tree, keys sent to
// the window, the menu's refresh at opening, the mouse on the picture and the
// boss key's hide and show.
#include <QKeyEvent>
#include <QMenu>
#include <fstream>

#include "engine/dvd_drives.h"
#include "form_fixture.h"

using settings::Command;

namespace {
struct CommandsFixture : FormFixture {
  std::unique_ptr<TOrvaneMain_Form> form;
  void Store(const char* section, const char* key, const char* value) {
    settings::SettingsStore(Ini()).WriteEnsured(section, key, value);
  }
  std::string Stored(const char* section, const char* key) {
    return settings::SettingsStore(Ini()).ReadText(section, key);
  }
  QAction* Find(const char* name) { return form->findChild<QAction*>(name); }
  QString Caption(const char* name) {
    QAction* a = Find(name);
    return a ? a->text().section('\t', 0, 0) : QString("(missing)");
  }
  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(form.get(), &press);
  }
  void OpenClip() { ASSERT_TRUE(form->session().OpenFiles({root + "/clip.mp4"})); }
};
}  // namespace

TEST_F(CommandsFixture, MenuHoldsEveryItemWithItsCaptionAndUnbuiltOnesDisabled) {
  form = Start();
  const std::pair<const char*, const char*> items[] = {
      {"pFile", "文件"}, {"pOpenFile", "打开文件..."}, {"pOpendvd", "打开dvd"},
      {"pOpendvddirectory", "打开dvd目录..."}, {"pOpenpictureinpicture", "打开画中画..."},
      {"pClose", "关闭"}, {"pHistory", "历史记录"}, {"pManageHistory", "管理历史记录..."},
      {"pClearHistory", "清空历史记录"}, {"pClearHistoryExit", "当退出时清空历史记录"},
      {"pCapturescreen", "截屏..."}, {"pProperty", "属性..."}, {"pExit", "退出"},
      {"pPlay", "播放"}, {"pPlayPause", "播放/暂停"}, {"pStop", "停止"},
      {"pSingleframestep", "单帧步进"}, {"pPlayPrevious", "上一个"}, {"pPlayNext", "下一个"},
      {"pPlaycontrol", "播放控制"}, {"pGoto", "转到..."}, {"pForward", "快进"},
      {"pBackward", "快退"}, {"pAccelerateplay", "加速播放"}, {"pDecelerateplay", "减速播放"},
      {"pNormalplay", "正常播放"}, {"pPreviousframe", "上一帧"}, {"pNextframe", "下一帧"},
      {"pHoistvolume", "提升音量"}, {"pDebasevolume", "降低音量"}, {"pSlience", "静音"},
      {"pStereo", "立体声"}, {"pLefttrack", "左声道"}, {"pRighttrack", "右声道"},
      {"pNonever", "从来没有"}, {"pAlways", "一直"}, {"pOnlyplaying", "仅仅在播放时"},
      {"pShutdown", "关闭系统"}, {"pDormant", "进入休眠"}, {"pAfterExit", "退出播放器"},
      {"pDonothing", "什么也不做"}, {"pBosskey", "老板键"}, {"pControlpanel", "控制面板..."},
      {"pOption", "选项..."}, {"pDvdnavigate", "DVD导航"}, {"pPreviouschapter", "前一段"},
      {"pNextchapter", "后一段"}, {"pSubpicture", "字幕"}, {"pDublanguage", "配音"},
      {"pAngle", "视角"}, {"pMainmenu", "主菜单"}, {"pTitlemenu", "标题菜单"},
      {"pChaptermenu", "段落菜单"}, {"pSubpictureMenu", "字幕菜单"}, {"pDubmenu", "配音菜单"},
      {"pAnglemenu", "视角菜单"}, {"pPip", "画中画"}, {"pPipsetup", "设置..."},
      {"pPipstandardpos", "画面位置"}, {"pLefttop", "左上"}, {"pCenter", "居中"},
      {"pPicalpha", "画面透明度"}, {"pPicswap", "画面切换"}, {"pPicreverse", "画面倒置"},
      {"pCompletereverse", "完全倒置"}, {"pPicRestore", "恢复默认位置"}, {"pView", "视图"},
      {"pFullscreen", "全屏"}, {"pCapturelistview", "截屏列表"}, {"pPlaylistView", "播放列表"},
      {"pKeeporiginal", "保持原始比例"}, {"pScale169", "16:9"}, {"pZoom200", "200%"},
      {"pPlaylist", "播放列表"}, {"pNone", "无"}, {"pCircleplay", "顺序播放"},
      {"pRandomplay", "随机播放"}, {"pCirclesingleplay", "循环播放"},
      {"pLoadfromfile", "加载..."}, {"pSaveto", "另存 ..."}, {"pAdd", "添加"}, {"pClear", "清空"},
      {"pHelp", "帮助"}, {"pMainweb", "官方网站..."}, {"pHelpContent", "帮助..."},
      {"pAbout", "关于..."}};
  for (const auto& [name, caption] : items) EXPECT_EQ(Caption(name), QString::fromUtf8(caption)) << name;
  // The shortcut is shown beside the caption.
  EXPECT_EQ(Find("pOpenFile")->text(), QString::fromUtf8("打开文件...\tCtrl+O"));
  EXPECT_EQ(Find("pFullscreen")->text(), QString::fromUtf8("全屏\tEnter"));
  // Nothing open: the session's items are disabled; rooms not built yet stay so.
  for (const char* name : {"pClose", "pProperty", "pPlayPause", "pPlaycontrol", "pPreviouschapter",
                           "pPipsetup", "pCapturescreen", "pControlpanel", "pOption"})
    EXPECT_FALSE(Find(name)->isEnabled()) << name;
  // A command bound after its item was made still enables the item.
  EXPECT_TRUE(Find("pOpendvddirectory")->isEnabled());
  // The drive submenu lists the drives, or says in one dead entry that there are none.
  const auto drives = engine::ListDiscDrives();
  const QList<QAction*> entries = form->pOpendvd->actions();
  if (drives.empty()) {
    ASSERT_EQ(entries.size(), 1);
    EXPECT_FALSE(entries[0]->isEnabled());
  } else {
    EXPECT_EQ(entries.size(), static_cast<qsizetype>(drives.size()));
  }
  OpenClip();
  for (const char* name : {"pClose", "pProperty", "pPlayPause", "pStop", "pPlaycontrol",
                           "pPlayPrevious", "pPlayNext", "pAdd", "pCapturescreen"})
    EXPECT_TRUE(Find(name)->isEnabled()) << name;
  for (const char* name : {"pPreviouschapter"})
    EXPECT_FALSE(Find(name)->isEnabled()) << name;
}

TEST_F(CommandsFixture, PropertyRunsOnceByItemActionAndKeyAndIsOffForSound) {
  form = Start();
  OpenClip();
  Find("pProperty")->trigger();
  Find("aProperty")->trigger();
  Key(Qt::Key_P, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(prompt.properties.size(), 3u);
  emit form->Main_Pop->aboutToShow();
  EXPECT_TRUE(Find("pProperty")->isEnabled());

  ASSERT_TRUE(form->session().OpenFiles({root + "/song.mp3"}));
  emit form->Main_Pop->aboutToShow();
  EXPECT_FALSE(Find("pProperty")->isEnabled());
  EXPECT_FALSE(Find("pFullscreen")->isEnabled());
  Key(Qt::Key_P, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(prompt.properties.size(), 3u);
}

TEST_F(CommandsFixture, StoredKeysBindAndTextNotUnderstoodLeavesTheOthers) {
  Start().reset();  // writes the default file
  Store("ShortCut", "Stop", "Ctrl+Foo");
  Store("ShortCut", "PlayList", "Shift+Num 5");
  // The options dialog's defaults give "Right" to two commands: the first wins.
  Store("ShortCut", "Forward", "Right");
  form = Start();
  OpenClip();
  Key(Qt::Key_S, Qt::ControlModifier);
  EXPECT_TRUE(form->session().IsPlaying);
  EXPECT_EQ(Find("pStop")->text(), QString::fromUtf8("停止"));
  const bool listShown = form->PlayListShown;
  Key(Qt::Key_5, Qt::ShiftModifier | Qt::KeypadModifier);
  EXPECT_NE(form->PlayListShown, listShown);
  graph.current = 0;
  form->session().SessionTick();  // a skip waits for the first tick
  Key(Qt::Key_Right);
  EXPECT_GT(graph.current, 0);  // a skip forward, not a frame step
  EXPECT_EQ(graph.steps, 0);
  // Enter stays with full screen whatever its stored key, as does Return's pad twin.
  Key(Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_TRUE(form->IsFullScreen);
  Key(Qt::Key_Return);
  EXPECT_FALSE(form->IsFullScreen);
}

TEST_F(CommandsFixture, GroupsCheckAndStoreTheirChoice) {
  form = Start();
  Find("pRandomplay")->trigger();
  EXPECT_EQ(form->session().PlayMode, 2);
  Find("pAfterExit")->trigger();
  EXPECT_EQ(form->AfterPlay, 1);
  Find("pDonothing")->trigger();
  EXPECT_EQ(Stored("PlayControl", "PlayMode"), "2");
  EXPECT_EQ(Stored("Play", "AfterPlay"), "0");
  // The menu shows what is stored when it opens.
  Store("PlayControl", "PlayMode", "3");
  Store("Play", "AfterPlay", "3");
  Store("File", "ClearHistoryExit", "1");
  emit form->Main_Pop->aboutToShow();
  EXPECT_TRUE(Find("pCirclesingleplay")->isChecked());
  EXPECT_FALSE(Find("pRandomplay")->isChecked());
  EXPECT_TRUE(Find("pDormant")->isChecked());
  EXPECT_FALSE(Find("pDonothing")->isChecked());
  EXPECT_TRUE(Find("pClearHistoryExit")->isChecked());
  EXPECT_EQ(form->session().PlayMode, 3);
}

TEST_F(CommandsFixture, TheClickAfterTheMenuOpenedDoesNotToggle) {
  form = Start();
  OpenClip();
  emit form->Main_Pop->aboutToShow();
  form->VideoClick();
  EXPECT_FALSE(form->session().IsPaused);
  form->VideoClick();
  EXPECT_TRUE(form->session().IsPaused);
  // A double click undoes its first click's toggle and fills the screen.
  form->VideoClick();
  form->VideoDoubleClick();
  EXPECT_TRUE(form->session().IsPaused);
  EXPECT_TRUE(form->IsFullScreen);
  // With nothing open a click does nothing.
  form->session().StopCommand();
  form->VideoClick();
  EXPECT_FALSE(form->session().IsPlaying);
}

TEST_F(CommandsFixture, BossKeyHidesAndPausesThenShowsAndResumesOnlyWhatPlayed) {
  form = Start();
  form->show();
  OpenClip();
  form->ToggleBossKey();
  EXPECT_TRUE(form->BossHidden);
  EXPECT_TRUE(form->isHidden());
  EXPECT_TRUE(form->session().IsPaused);
  EXPECT_FALSE(graph.running);
  form->ToggleBossKey();
  EXPECT_FALSE(form->isHidden());
  EXPECT_FALSE(form->session().IsPaused);
  EXPECT_TRUE(graph.running);

  // Paused by the user: still paused after showing.
  form->session().TogglePlayPause();
  form->ToggleBossKey();
  form->ToggleBossKey();
  EXPECT_TRUE(form->session().IsPaused);
  EXPECT_FALSE(graph.running);

  // Nothing open: hidden and shown, no session made up.
  form->session().StopCommand();
  form->ToggleBossKey();
  form->ToggleBossKey();
  EXPECT_FALSE(form->session().IsPlaying);
  EXPECT_FALSE(form->isHidden());
}

TEST_F(CommandsFixture, AboutListsTheVersionAndTheBoundKeys) {
  form = Start();
  form->pAbout->trigger();
  ASSERT_EQ(prompt.about.size(), 1u);
  const std::string& text = prompt.about[0];
  EXPECT_NE(text.find("2.0"), std::string::npos);
  EXPECT_NE(text.find("属性...\tCtrl+Alt+P"), std::string::npos);
  EXPECT_NE(text.find("老板键\tCtrl+F12"), std::string::npos);
}
