// The main window's sound controls: the mute button, the volume and balance
// sliders, the volume steps and the mute and channel menu items.
#include "app/main_form.h"
#include "assets/skin_layout.h"
#include "engine/volume.h"

namespace app {

namespace {
QRect Rect(const skin::Place& p) { return QRect(p.dx, p.y, p.w, p.h); }
}  // namespace

QString TOrvaneMain_Form::VolumeButtonFile(const char* state) const {
  QString file = session_.isSlience ? "Slience_Normal_btn.bmp" : "Sound_Normal_btn.bmp";
  return file.replace("Normal", state);
}

void TOrvaneMain_Form::BuildVolumeControls() {
  namespace b = skin::bar;
  Volume_XI = MakeImage(DvdCtrl_P, "Volume_XI", {});
  Volume_XI->setGeometry(Rect(b::kVolume));
  BindSkinButton(Volume_XI, [this] { return VolumeButtonFile("Normal"); }, UpPicture::Hight,
                 [this] { ToggleMute(); });

  SoundPro_XI = MakeImage(DvdCtrl_P, "SoundPro_XI", "SoundPro.bmp", true);
  SoundPro_XI->setGeometry(Rect(b::kSoundTrack));
  SoundGo_XI = MakeImage(DvdCtrl_P, "SoundGo_XI", "SoundGo.bmp", true);
  SoundBar_XI = MakeImage(DvdCtrl_P, "SoundBar_XI", "SoundBar_Normal.bmp");
  SoundBar_XI->setGeometry(Rect(b::kSoundThumb));
  // The thumb starts at the stored level; the filled part follows at layout.
  SoundBar_XI->move(ThumbForPercent(VolumeBarGeometry(), session_.SoundLevel), SoundBar_XI->y());
  // The button lights up while the thumb is held; muted, it keeps its muted face.
  connect(SoundBar_XI, &tximage::OnMouseDown, this,
          [this] { LoadSkinPicture(Volume_XI, VolumeButtonFile("Hight")); });
  connect(SoundBar_XI, &tximage::OnMouseUp, this,
          [this] { LoadSkinPicture(Volume_XI, VolumeButtonFile("Normal")); });

  L_XI = MakeImage(DvdCtrl_P, "L_XI", "Track_L.bmp");
  R_XI = MakeImage(DvdCtrl_P, "R_XI", "Track_R.bmp");
  TrackPro_XI = MakeImage(DvdCtrl_P, "TrackPro_XI", "TrackPro.bmp", true);
  TrackGo_XI = MakeImage(DvdCtrl_P, "TrackGo_XI", "TrackGo.bmp", true);
  TrackBar_XI = MakeImage(DvdCtrl_P, "TrackBar_XI", "TrackBar_Normal.bmp");
  L_XI->resize(b::kBalanceL.w, b::kBalanceL.h);
  R_XI->resize(b::kBalanceR.w, b::kBalanceR.h);
  TrackPro_XI->resize(b::kBalanceTrack.w, b::kBalanceTrack.h);
  TrackBar_XI->resize(b::kBalanceThumb.w, b::kBalanceThumb.h);

  struct Slider {
    tximage *track, *filled, *thumb;
    const char* thumbFile;
    void (TOrvaneMain_Form::*click)(int);
    void (TOrvaneMain_Form::*drag)(int);
  };
  const Slider sliders[] = {
      {SoundPro_XI, SoundGo_XI, SoundBar_XI, "SoundBar", &TOrvaneMain_Form::VolumeSliderClick,
       &TOrvaneMain_Form::VolumeSliderDrag},
      {TrackPro_XI, TrackGo_XI, TrackBar_XI, "TrackBar", &TOrvaneMain_Form::BalanceSliderClick,
       &TOrvaneMain_Form::BalanceSliderDrag},
  };
  for (const Slider& s : sliders) {
    for (tximage* part : {s.track, s.filled})
      connect(part, &tximage::OnMouseDown, this,
              [this, s, part](Qt::MouseButton button, int x, int) {
                if (button == Qt::LeftButton) (this->*s.click)(x + part->x() - s.track->x());
              });
    connect(s.thumb, &tximage::OnMouseMove, this, [this, s](Qt::MouseButtons buttons, int x, int) {
      if (buttons & Qt::LeftButton) (this->*s.drag)(x);
    });
    const QString name = s.thumbFile;
    connect(s.thumb, &tximage::OnMouseEnter, this,
            [this, s, name] { LoadSkinPicture(s.thumb, name + "_Hight.bmp"); });
    connect(s.thumb, &tximage::OnMouseLeave, this,
            [this, s, name] { LoadSkinPicture(s.thumb, name + "_Normal.bmp"); });
  }
}

void TOrvaneMain_Form::BuildSoundMenus(QMenu* play) {
  auto command = [this](QMenu* menu, Command id) { return commands_->AddItem(id, menu); };
  QMenu* volume = play->addMenu(QString::fromUtf8("调节音量"));
  volume->menuAction()->setObjectName("pAdjustvolumn");
  pHoistvolume = command(volume, Command::HoistVolume);
  pDebasevolume = command(volume, Command::DebaseVolume);
  pSlience = command(volume, Command::Slience);
  pSlience->setCheckable(true);
  // A stored mute starts the player muted: the mark says so from the first opening.
  pSlience->setChecked(session_.isSlience);

  QMenu* channel = play->addMenu(QString::fromUtf8("调节声道"));
  channel->menuAction()->setObjectName("pSoundtrack");
  pStereo = command(channel, Command::Stereo);
  pLefttrack = command(channel, Command::LeftTrack);
  pRighttrack = command(channel, Command::RightTrack);
  for (QAction* a : ChannelMenuItems()) a->setCheckable(true);
  aStereo = commands_->Action(Command::Stereo);
  aLeftTrack = commands_->Action(Command::LeftTrack);
  aRightTrack = commands_->Action(Command::RightTrack);
}

void TOrvaneMain_Form::ToggleMute() {
  session_.ToggleMute();
  // The mark, the picture and the output follow the one flag.
  pSlience->setChecked(session_.isSlience);
  LoadSkinPicture(Volume_XI, session_.isSlience ? "sound_slience_btn.bmp" : "Sound_normal_btn.bmp");
}

BarGeometry TOrvaneMain_Form::VolumeBarGeometry() const {
  return {SoundPro_XI->x(), SoundPro_XI->width(), SoundBar_XI->width()};
}

BarGeometry TOrvaneMain_Form::BalanceBarGeometry() const {
  return {TrackPro_XI->x(), TrackPro_XI->width(), TrackBar_XI->width()};
}

void TOrvaneMain_Form::StepVolume(bool up) {
  VolumeSliderTo(StepBar(VolumeBarGeometry(), {SoundBar_XI->x(), SoundGo_XI->width()}, up));
}

void TOrvaneMain_Form::VolumeSliderClick(int x) { VolumeSliderTo(BarClick(VolumeBarGeometry(), x)); }

void TOrvaneMain_Form::VolumeSliderDrag(int x) {
  VolumeSliderTo(BarDrag(VolumeBarGeometry(), {SoundBar_XI->x(), SoundGo_XI->width()}, x));
}

// The level follows the thumb's pixel, not a fixed increment.
void TOrvaneMain_Form::VolumeSliderTo(BarState state) {
  SoundBar_XI->move(state.thumbLeft, SoundBar_XI->y());
  SoundGo_XI->resize(std::max(0, state.playedWidth), SoundGo_XI->height());
  session_.SetVolumeLevel(BarValue(VolumeBarGeometry(), state, 100));
}

void TOrvaneMain_Form::BalanceSliderClick(int x) {
  BalanceSliderTo(BarClick(BalanceBarGeometry(), x));
}

void TOrvaneMain_Form::BalanceSliderDrag(int x) {
  BalanceSliderTo(BarDrag(BalanceBarGeometry(), {TrackBar_XI->x(), TrackGo_XI->width()}, x));
}

void TOrvaneMain_Form::BalanceSliderTo(BarState state) {
  const BarGeometry bar = BalanceBarGeometry();
  TrackBar_XI->move(state.thumbLeft, TrackBar_XI->y());
  TrackGo_XI->resize(std::max(0, state.playedWidth), TrackGo_XI->height());
  // Kept so a relayout leaves the thumb where it was put: the smallest
  // percentage whose thumb is this pixel.
  const int travel = bar.Travel();
  BalancePercent = travel > 0 ? (BarOffset(bar, state) * 100 + travel - 1) / travel : 50;
  engine::ApplyWaveBalance(systemVolume(), BarValue(bar, state, 200), 100,
                           platform::SoundDevice::Default);
}

platform::SystemVolume& TOrvaneMain_Form::systemVolume() {
  if (parts_.systemVolume) return *parts_.systemVolume;
  if (!ownSystemVolume_) ownSystemVolume_ = platform::MakePulseSystemVolume();
  return *ownSystemVolume_;
}

void TOrvaneMain_Form::SelectChannel(QAction* chosen) {
  for (QAction* item : ChannelMenuItems()) item->setChecked(item == chosen);
  ApplyChannelFromMenu();
}

void TOrvaneMain_Form::ApplyChannelFromMenu() {
  store_.EnsureSettingsFile();
  const auto items = ChannelMenuItems();
  int balance = session_.SoundBalance;  // nothing checked leaves it
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i]->isChecked()) {
      balance = engine::kChannelChoices[i];
      break;
    }
  session_.SetChannel(balance);
  store_.WriteInt("Play", "SoundBalance", session_.SoundBalance);
}

void TOrvaneMain_Form::RefreshChannelChecks() {
  session_.SoundBalance = store_.ReadInt("Play", "SoundBalance");
  const auto items = ChannelMenuItems();
  for (size_t i = 0; i < items.size(); ++i)
    items[i]->setChecked(session_.SoundBalance == engine::kChannelChoices[i]);
}

}  // namespace app
