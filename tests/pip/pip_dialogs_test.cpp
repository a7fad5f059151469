// The two PIP dialogs on scripted engines, and the window around them.
#include <gtest/gtest.h>

#include "app/form_fixture.h"
#include "pip/open_pip_form.h"
#include "pip/pip_setup_form.h"
#include "pip/scripted_pip_graph.h"

namespace {

// Answers the PIP open dialog as a user would.
struct PipPrompt : RecordingPrompt {
  std::string fileA, fileB;
  int answer = 2;
  int ChoosePipFiles(int language, std::string* a, std::string* b) override {
    chosenLanguage = language;
    *a = fileA;
    *b = fileB;
    return answer;
  }
  int chosenLanguage = 0;
};

struct PipDialogFixture : FormFixture {
  ScriptedPipGraph pipGraph;
  PipPrompt pipPrompt;
  std::unique_ptr<TOrvaneMain_Form> form;
  void StartWithPair(int kind = engine::kRendererMixer7) {
    app::MainFormParts parts{&graph, &audio, &pipPrompt, root, {}, &detector, kind, systemVolume};
    parts.pipGraph = &pipGraph;
    form = std::make_unique<TOrvaneMain_Form>(parts);
    form->session().IsMediaFile = [](const std::string&) { return true; };
    form->FormShow();
    form->FormActivate();
  }
  void StorePair() {
    settings::SettingsStore store(Ini());
    store.EnsureSettingsFile();
    store.WriteInt("PlayControl", "LastPlayType", 3);
    store.Write("Pip", "pipMediaFileA", root + "/a.mp4");
    store.Write("Pip", "pipMediaFileB", root + "/b.mp4");
  }
  QAction* Item(const char* name) { return form->Main_Pop->findChild<QAction*>(name); }
};

}  // namespace

TEST_F(PipDialogFixture, OpenDialogRefusesSoundFilesAndWantsBoth) {
  pip::TOpenPip_Form dialog(prompt);
  dialog.SetLanguage(2);
  EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("选择媒体文件"));
  EXPECT_EQ(dialog.Cancel_Btn->text(), QString::fromUtf8("放弃"));
  prompt.openAnswer = {"/m/song.MP3"};
  dialog.SpeedButton2->click();
  EXPECT_EQ(prompt.openFilter.rfind(pip::kVideoFilter, 0), 0u);
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].first, "提示信息");
  EXPECT_EQ(prompt.shown[0].second,
            "/m/song.MP3 is not a valid video file. Please selected a video file.");
  EXPECT_TRUE(dialog.EditB->text().isEmpty());
  prompt.openAnswer = {"/m/a.mp4"};
  dialog.SpeedButton1->click();
  EXPECT_EQ(dialog.EditA->text(), "/m/a.mp4");
  dialog.OK_Btn->click();  // only A: it stays open
  EXPECT_EQ(prompt.shown.back().second,
            "You muse select two media file to play Picture in Picture procedure!");
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(dialog.PipFileA.empty());
  prompt.openAnswer = {};
  dialog.SpeedButton2->click();  // cancelled: nothing changes
  prompt.openAnswer = {"/m/b.avi"};
  dialog.SpeedButton2->click();
  dialog.OK_Btn->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.Result, 1);
  EXPECT_EQ(dialog.PipFileA, "/m/a.mp4");
  EXPECT_EQ(dialog.PipFileB, "/m/b.avi");
}

TEST_F(PipDialogFixture, SetupDialogShowsTheSessionAndActsAtOnce) {
  settings::SettingsStore store(Ini());
  store.EnsureSettingsFile();
  store.WriteInt("Pip", "PositionType", 102);
  for (auto [key, value] : {std::pair{"SmallLeft", 20}, {"SmallTop", 20}, {"SmallRight", 70}, {"SmallBottom", 70}})
    store.WriteInt("Pip", key, value);
  StorePair();
  StartWithPair();
  ASSERT_EQ(form->session().PlayType, engine::kPlayPip);
  engine::VideoMixer& mixer = form->mixer();
  pip::TPipSetup_Form dialog(form->pipSession(), form->store(), root + "/a.mp4", root + "/b.mp4");
  dialog.SetLanguage(2);
  dialog.show();
  EXPECT_EQ(dialog.AlphaBar_A->value(), 80);
  EXPECT_EQ(dialog.AlphaBar_B->value(), 60);
  EXPECT_EQ(dialog.AlphaA_L->text(), QString::fromUtf8("透明度 80%"));
  EXPECT_EQ(dialog.MediaB_L->text(), "b.mp4");
  EXPECT_TRUE(dialog.Freemove_CB->isChecked());
  EXPECT_TRUE(dialog.Left_Bar->isEnabled());
  EXPECT_FALSE(dialog.Center_RB->isEnabled());

  dialog.Left_Bar->setValue(30);  // from 20: the edge moves by 0.10
  EXPECT_NEAR(mixer.OutputRect(1).left, 0.30f, 1e-5);
  EXPECT_NEAR(mixer.OutputRect(1).right, 0.70f, 1e-5);
  EXPECT_EQ(form->store().ReadInt("Pip", "PositionType"), 102);
  EXPECT_EQ(dialog.Left_L->text(), QString::fromUtf8("左 30%"));

  dialog.Main_PageCtrl->setCurrentIndex(2);
  EXPECT_TRUE(dialog.NoConvert_CB->isChecked());
  const engine::NormalisedRect before = mixer.OutputRect(1);
  dialog.UpdownConvert_CB->click();
  EXPECT_GT(mixer.OutputRect(1).top, mixer.OutputRect(1).bottom);
  EXPECT_FALSE(dialog.NoConvert_CB->isChecked());
  dialog.UpdownConvert_CB->click();
  EXPECT_FLOAT_EQ(mixer.OutputRect(1).top, before.top);
  EXPECT_FLOAT_EQ(mixer.OutputRect(1).bottom, before.bottom);
  dialog.AllConvert_CB->click();
  EXPECT_GT(mixer.OutputRect(1).left, mixer.OutputRect(1).right);
  EXPECT_GT(mixer.OutputRect(1).top, mixer.OutputRect(1).bottom);
  dialog.NoConvert_CB->click();
  EXPECT_FLOAT_EQ(mixer.OutputRect(1).left, before.left);
  EXPECT_FLOAT_EQ(mixer.OutputRect(1).top, before.top);

  dialog.Main_PageCtrl->setCurrentIndex(0);
  dialog.StandardPos_CB->click();
  EXPECT_FALSE(dialog.Freemove_CB->isChecked());
  EXPECT_FALSE(dialog.Left_Bar->isEnabled());
  dialog.TopRight_RB->click();
  EXPECT_FLOAT_EQ(mixer.OutputRect(1).left, 0.5f);
  EXPECT_EQ(form->store().ReadInt("Pip", "SmallPosition"), 2);
  EXPECT_EQ(form->store().ReadInt("Pip", "PositionType"), 101);
  dialog.AlphaBar_B->setValue(25);
  EXPECT_FLOAT_EQ(mixer.Alpha(1), 0.25f);
  dialog.SwapPic_CB->click();
  EXPECT_EQ(form->pipSession().StreamA, 1);
}

TEST_F(PipDialogFixture, StartUpReopensThePairAndTheWindowDrivesIt) {
  StorePair();
  StartWithPair();
  ASSERT_EQ(pipGraph.rendered.size(), 1u);
  EXPECT_EQ(pipGraph.rendered[0].second, root + "/b.mp4");
  EXPECT_EQ(form->playList().PlayListPaths.size(), 2u);
  form->RefreshMainMenu();
  for (const char* name : {"pPipsetup", "pPicalpha", "pPicswap", "pPicRestore", "pOpenpictureinpicture"})
    EXPECT_TRUE(Item(name)->isEnabled()) << name;
  // The list's other entry, and previous/next, swap the two pictures.
  form->PlayEntry(1);
  EXPECT_EQ(form->pipSession().StreamA, 1);
  form->PlayEntry(1);
  EXPECT_EQ(form->pipSession().StreamA, 1);
  form->commands().Run(app::Command::PlayNext);
  EXPECT_EQ(form->pipSession().StreamA, 0);
  Item("pRighttop")->trigger();
  EXPECT_FLOAT_EQ(form->mixer().OutputRect(1).left, 0.5f);
  Item("pCompletereverse")->trigger();
  EXPECT_GT(form->mixer().OutputRect(1).left, form->mixer().OutputRect(1).right);
  EXPECT_TRUE(Item("pCompletereverse")->isChecked());
  form->FormClose();
  settings::SettingsStore store(Ini());
  EXPECT_EQ(store.ReadInt("PlayControl", "LastPlayType"), 3);
  EXPECT_EQ(store.ReadText("Pip", "pipMediaFileA"), root + "/a.mp4");
}

TEST_F(PipDialogFixture, WithTheDefaultRendererThePipMenuStaysOff) {
  StorePair();
  StartWithPair(engine::kRendererDefault);
  EXPECT_TRUE(pipGraph.rendered.empty());
  form->RefreshMainMenu();
  EXPECT_FALSE(Item("pOpenpictureinpicture")->isEnabled());
  EXPECT_FALSE(Item("pPicalpha")->isEnabled());
}

TEST_F(PipDialogFixture, OpenCommandReplacesTheListAndPlaysThePair) {
  StartWithPair();
  ASSERT_TRUE(form->session().OpenFiles({root + "/clip.mp4"}));
  pipPrompt.fileA = root + "/a.mp4";
  Item("pOpenpictureinpicture")->trigger();  // cancelled: the file plays on
  EXPECT_EQ(form->session().PlayType, engine::kPlayMedia);
  EXPECT_TRUE(form->session().IsPlaying);
  EXPECT_EQ(pipPrompt.chosenLanguage, 2);
  pipPrompt.fileB = root + "/b.mp4";
  pipPrompt.answer = 1;
  Item("pOpenpictureinpicture")->trigger();
  EXPECT_EQ(form->session().PlayType, engine::kPlayPip);
  EXPECT_FALSE(graph.Exists());
  EXPECT_EQ(form->playList().PlayListPaths,
            (std::vector<std::string>{root + "/a.mp4", root + "/b.mp4"}));
  EXPECT_EQ(form->CurMedia_L->text().toStdString(), "a.mp4          b.mp4");
  EXPECT_TRUE(form->PlayListShown);
  form->RefreshMainMenu();
  EXPECT_TRUE(Item("pPicswap")->isEnabled());
  // Stop, then Play: the pair opens again.
  form->commands().Run(app::Command::Stop);
  form->commands().Run(app::Command::NormalPlay);
  EXPECT_EQ(pipGraph.rendered.size(), 2u);
  EXPECT_TRUE(form->session().IsPlaying);
}
