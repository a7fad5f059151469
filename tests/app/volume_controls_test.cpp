// The window's sound controls on scripted engines: where the sliders start,
// the mute button and item, volume steps and gestures, the channel items and
// the balance slider on a scripted system volume.
#include "app/form_fixture.h"
#include "engine/volume.h"
#include "settings/settings_store.h"

namespace {
struct ScriptedSystemVolume : platform::SystemVolume {
  platform::ChannelVolumes volumes{0xC000, 0x8000};
  bool GetVolume(platform::SoundDevice, platform::ChannelVolumes* v) override {
    *v = volumes;
    return true;
  }
  bool SetVolume(platform::SoundDevice, const platform::ChannelVolumes& v) override {
    volumes = v;
    return true;
  }
};

struct VolumeFixture : FormFixture {
  std::unique_ptr<TOrvaneMain_Form> form;
  void Store(const char* key, const char* value) {
    settings::SettingsStore store(Ini());
    store.EnsureSettingsFile();
    store.Write("Play", key, value);
  }
  int ReadStored(const char* key) { return settings::SettingsStore(Ini()).ReadInt("Play", key); }
  void OpenClip() {
    form = Start({root + "/clip.mp4"});
    form->show();
    QCoreApplication::processEvents();
  }
  int VolumeOffset() { return form->SoundBar_XI->x() - form->SoundPro_XI->x(); }
  int VolumeTravel() { return form->SoundPro_XI->width() - form->SoundBar_XI->width(); }
  void Click(QWidget* w, QPointF at = QPointF(2, 2)) {
    Send(w, QEvent::MouseButtonPress, at);
    Send(w, QEvent::MouseButtonRelease, at);
  }
  std::vector<bool> ChannelChecks() {
    std::vector<bool> checks;
    for (QAction* item : form->ChannelMenuItems()) checks.push_back(item->isChecked());
    return checks;
  }
};
}  // namespace

TEST_F(VolumeFixture, TheVolumeThumbStartsAtTheStoredLevelClamped) {
  struct Case {
    const char* stored;
    int level;
  };
  for (Case c : {Case{"30", 30}, Case{"-1", 0}, Case{"250", 100}}) {
    Store("SoundLevel", c.stored);
    form = Start();
    EXPECT_EQ(form->session().SoundLevel, c.level) << c.stored;
    EXPECT_EQ(VolumeOffset(), c.level * VolumeTravel() / 100) << c.stored;
    EXPECT_EQ(form->SoundGo_XI->width(), VolumeOffset()) << c.stored;
  }
  EXPECT_EQ(VolumeTravel(), 78);  // so level 30 stands 23 pixels in
}

TEST_F(VolumeFixture, AStoredMuteStartsMutedAndTheButtonAndItemToggleTogether) {
  Store("isSlience", "1");
  OpenClip();
  EXPECT_TRUE(form->session().isSlience);
  EXPECT_TRUE(form->pSlience->isChecked());
  EXPECT_EQ(form->Volume_XI->PictureFile, "Slience_Normal_btn.bmp");
  EXPECT_EQ(graph.volume, engine::kVolumeSilence);  // opened muted, heard muted
  Click(form->Volume_XI);
  EXPECT_FALSE(form->session().isSlience);
  EXPECT_FALSE(form->pSlience->isChecked());
  EXPECT_EQ(form->Volume_XI->PictureFile, "Sound_normal_btn.bmp");
  EXPECT_EQ(graph.volume, -2246);
  form->pSlience->trigger();
  EXPECT_TRUE(form->session().isSlience);
  EXPECT_TRUE(form->pSlience->isChecked());
  EXPECT_EQ(form->Volume_XI->PictureFile, "sound_slience_btn.bmp");
  EXPECT_EQ(graph.volume, engine::kVolumeSilence);
  // Holding the thumb lights the button without unmuting its face.
  Send(form->SoundBar_XI, QEvent::MouseButtonPress);
  EXPECT_EQ(form->Volume_XI->PictureFile, "Slience_Hight_btn.bmp");
  Send(form->SoundBar_XI, QEvent::MouseButtonRelease);
  EXPECT_EQ(form->Volume_XI->PictureFile, "Slience_Normal_btn.bmp");
  // The key is read at start-up only.
  EXPECT_EQ(ReadStored("isSlience"), 1);
}

TEST_F(VolumeFixture, StepsAndGesturesSetTheLevelFromTheThumbsPixel) {
  OpenClip();
  ASSERT_EQ(VolumeOffset(), 23);
  form->pHoistvolume->trigger();  // 24 of 78 pixels is still level 30
  EXPECT_EQ(VolumeOffset(), 24);
  EXPECT_EQ(form->session().SoundLevel, 30);
  form->pHoistvolume->trigger();
  EXPECT_EQ(form->session().SoundLevel, 32);
  EXPECT_EQ(graph.volume, -2095);
  // A click far right of the track puts the thumb at its end.
  Send(form->SoundPro_XI, QEvent::MouseButtonPress, QPointF(500, 3));
  EXPECT_EQ(VolumeOffset(), 78);
  EXPECT_EQ(form->session().SoundLevel, 100);
  EXPECT_EQ(graph.volume, 0);
  form->StepVolume(true);
  EXPECT_EQ(VolumeOffset(), 78);
  EXPECT_EQ(form->session().SoundLevel, 100);
  // Dragging the thumb far left: silence, and down stays there.
  Send(form->SoundBar_XI, QEvent::MouseMove, QPointF(-300, 3));
  EXPECT_EQ(VolumeOffset(), 0);
  EXPECT_EQ(form->SoundGo_XI->width(), 0);
  EXPECT_EQ(graph.volume, engine::kVolumeSilence);
  form->pDebasevolume->trigger();
  EXPECT_EQ(VolumeOffset(), 0);
  EXPECT_EQ(form->session().SoundLevel, 0);
}

TEST_F(VolumeFixture, AStoredChannelIsHeardFromTheFirstFile) {
  Store("SoundBalance", "9999");
  OpenClip();
  EXPECT_EQ(graph.balance, 9999);
  form.reset();
  Store("SoundBalance", "77");  // not a channel: stereo
  OpenClip();
  EXPECT_EQ(graph.balance, 0);
}

TEST_F(VolumeFixture, ChannelItemsShowTheStoredChoiceAndStoreANewOne) {
  OpenClip();
  Store("SoundBalance", "-9999");
  emit form->Main_Pop->aboutToShow();
  EXPECT_EQ(ChannelChecks(), (std::vector<bool>{false, true, false}));
  EXPECT_EQ(form->session().SoundBalance, -9999);
  Store("SoundBalance", "5");
  emit form->Main_Pop->aboutToShow();
  EXPECT_EQ(ChannelChecks(), (std::vector<bool>{false, false, false}));

  form->pRighttrack->trigger();
  EXPECT_EQ(ChannelChecks(), (std::vector<bool>{false, false, true}));
  EXPECT_EQ(ReadStored("SoundBalance"), 9999);
  EXPECT_EQ(graph.balance, 9999);
  // An action is known by its caption and checks the item at its position.
  form->aStereo->trigger();
  EXPECT_EQ(ChannelChecks(), (std::vector<bool>{true, false, false}));
  EXPECT_EQ(graph.balance, 0);
  // A deleted settings file is made again before the choice is written.
  std::remove(Ini().c_str());
  form->aLeftTrack->trigger();
  EXPECT_EQ(ReadStored("SoundBalance"), -9999);
  EXPECT_EQ(ReadStored("SoundLevel"), 30);
}

TEST_F(VolumeFixture, TheBalanceThumbKeepsItsPixelThroughARelayout) {
  ScriptedSystemVolume system;
  systemVolume = &system;
  OpenClip();
  const int travel = form->TrackPro_XI->width() - form->TrackBar_XI->width();
  for (int offset = 0; offset <= travel; offset += 3) {
    Send(form->TrackPro_XI, QEvent::MouseButtonPress,
         QPointF(offset + form->TrackBar_XI->width() / 2, 3));
    form->resize(form->width() + 1, form->height());
    EXPECT_EQ(form->TrackBar_XI->x() - form->TrackPro_XI->x(), offset);
  }
  // Dragged back to the middle: both channels at the louder level again.
  Send(form->TrackBar_XI, QEvent::MouseMove, QPointF(-300, 3));
  Send(form->TrackBar_XI, QEvent::MouseMove, QPointF(travel / 2 + form->TrackBar_XI->width() / 2, 3));
  EXPECT_EQ(system.volumes.left, 0xC000);
  EXPECT_EQ(system.volumes.right, 0xC000);
}
