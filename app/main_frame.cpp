// The skinned frame of the main window: its panels and image controls, the
// button picture states, and the control bar's relayout on every resize.
#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QUrl>
#include <QWindow>

#include "app/main_form.h"
#include "app/media_name_strip.h"
#include "assets/skin_layout.h"
#include "platform/x11_window.h"

namespace app {

QWidget* MakePanel(QWidget* parent, const char* name) {
  auto* panel = new QWidget(parent);
  panel->setObjectName(name);
  panel->setAutoFillBackground(true);
  QPalette palette = panel->palette();
  palette.setColor(QPalette::Window, Qt::black);
  panel->setPalette(palette);
  return panel;
}

namespace {
QRect Rect(int x, int y, const skin::Place& p) { return QRect(x, y, p.w, p.h); }

// The picture of a button in another state: the family's name with its state word.
QString StateFile(const QString& normal, const char* state) {
  QString file = normal;
  file.replace("Normal", state);
  // The pressed faster button is spelled apart from its family.
  if (file == "ForWard_Enter_Btn.bmp") return "Forward_Enter_Btn.bmp";
  return file;
}

void SetHint(QWidget* widget, const char* hint) { widget->setToolTip(QString::fromUtf8(hint)); }

}  // namespace

void TOrvaneMain_Form::LoadSkinPicture(tximage* control, const QString& fileName) {
  app::LoadSkinPicture(control, QString::fromStdString(skinFolder_), fileName);
}

tximage* TOrvaneMain_Form::MakeImage(QWidget* parent, const char* name, const QString& file,
                                     bool stretch) {
  auto* image = new tximage(parent);
  image->setObjectName(name);
  image->SetStretch(stretch);
  if (!file.isEmpty()) LoadSkinPicture(image, file);
  return image;
}

void TOrvaneMain_Form::BindSkinButton(tximage* button, std::function<QString()> normalFile,
                                      UpPicture up, std::function<void()> action,
                                      bool actionOnUp) {
  // A disabled button keeps its disabled picture whatever the mouse does.
  connect(button, &tximage::OnMouseEnter, this, [=, this] {
    if (button->isEnabled()) LoadSkinPicture(button, StateFile(normalFile(), "Hight"));
  });
  connect(button, &tximage::OnMouseLeave, this, [=, this] {
    if (button->isEnabled()) LoadSkinPicture(button, normalFile());
  });
  connect(button, &tximage::OnMouseDown, this, [=, this](Qt::MouseButton b, int, int) {
    if (b == Qt::LeftButton) LoadSkinPicture(button, StateFile(normalFile(), "Enter"));
  });
  connect(button, &tximage::OnMouseUp, this, [=, this](Qt::MouseButton b, int x, int y) {
    if (b != Qt::LeftButton) return;
    if (up == UpPicture::Normal) LoadSkinPicture(button, normalFile());
    if (up == UpPicture::Hight) LoadSkinPicture(button, StateFile(normalFile(), "Hight"));
    if (actionOnUp && action && button->rect().contains(x, y)) action();
  });
  if (!actionOnUp && action) connect(button, &tximage::OnClick, this, action);
  LoadSkinPicture(button, normalFile());
}

void TOrvaneMain_Form::BuildFrame() {
  setAttribute(Qt::WA_OpaquePaintEvent);
  Father_p = MakePanel(this, "Father_p");
  Bottom_P = MakePanel(this, "Bottom_P");
  DvdCtrl_P = MakePanel(this, "DvdCtrl_P");
  BuildTitleBar();
  Left_P = MakePanel(Father_p, "Left_P");
  LeftEdge_I = MakeImage(Left_P, "LeftEdge_I", "Frame_Left.bmp", true);
  Right_P = MakePanel(Father_p, "Right_P");
  RightEdge_I = MakeImage(Right_P, "RightEdge_I", "Frame_Right.bmp", true);
  VideoFace_P = MakePanel(Father_p, "VideoFace_P");
  Video_P = new VideoPanel(VideoFace_P);
  Video_P->setObjectName("Video_P");
  Splitter_P = MakePanel(VideoFace_P, "Splitter_P");
  Splitter_P->setFixedWidth(3);
  Splitter_XI = MakeImage(Splitter_P, "Splitter_XI", "Splitter.bmp", true);
  Splitter_P->hide();
  BottomLeft_I = MakeImage(Bottom_P, "BottomLeft_I", "Bottom_Left.bmp", true);
  BottomCenter_I = MakeImage(Bottom_P, "BottomCenter_I", "Bottom_Center.bmp", true);
  BottomRight_I = MakeImage(Bottom_P, "BottomRight_I", "Bottom_Right.bmp", true);
  BuildControlBar();
  BuildSidePanel();
  BuildPlayListPage();
  BuildCapturePage();
}

void TOrvaneMain_Form::BuildTitleBar() {
  namespace t = skin::title;
  Title_P = MakePanel(Father_p, "Title_P");
  Titleleft_I = MakeImage(Title_P, "Titleleft_I", "Title_Left.bmp", true);
  Titlecenter_I = MakeImage(Title_P, "Titlecenter_I", "Title_Center.bmp", true);
  Titleright_I = MakeImage(Title_P, "Titleright_I", "Title_Right.bmp", true);
  SmallLogo_I = MakeImage(Title_P, "SmallLogo_I", "SmallLogo.bmp");
  SmallLogo_I->setGeometry(Rect(t::kSmallLogo.dx, t::kSmallLogo.y, t::kSmallLogo));
  SmallLogo_I->setAttribute(Qt::WA_TransparentForMouseEvents);
  for (tximage* drag : {Titleleft_I, Titlecenter_I}) {
    connect(drag, &tximage::OnMouseDown, this, [this](Qt::MouseButton b, int x, int y) {
      titleDragFrom_ = b == Qt::LeftButton ? QPoint(x, y) : QPoint(-1, -1);
    });
    // The move starts once the pointer really moves: a move begun on the second
    // press of a double click would swallow the maximise or restore.
    connect(drag, &tximage::OnMouseMove, this, [this](Qt::MouseButtons buttons, int x, int y) {
      if (!(buttons & Qt::LeftButton) || IsFullScreen || titleDragFrom_.x() < 0) return;
      if ((QPoint(x, y) - titleDragFrom_).manhattanLength() < QApplication::startDragDistance())
        return;
      titleDragFrom_ = QPoint(-1, -1);
      // The window manager moves the window, as for a native caption.
      InWindowMove = true;
      if (!platform::StartWindowMove(this))
        if (QWindow* w = windowHandle()) w->startSystemMove();
      InWindowMove = false;
    });
  }
  connect(Titlecenter_I, &tximage::OnDblClick, this, [this] { ToggleMaximised(); });

  Min_XI = MakeImage(Title_P, "Min_XI", {});
  BindSkinButton(Min_XI, [] { return QString("Min_Normal_Btn.bmp"); }, UpPicture::Normal,
                 [this] { showMinimized(); });
  Max_XI = MakeImage(Title_P, "Max_XI", {});
  BindSkinButton(
      Max_XI,
      [this] { return QString(ShownMaximised() ? "Restore_Normal_Btn.bmp" : "Max_Normal_Btn.bmp"); },
      UpPicture::Normal, [this] {
        UpdateScrollBar(ListPage);
        ToggleMaximised();
      });
  Close_XI = MakeImage(Title_P, "Close_XI", {});
  BindSkinButton(Close_XI, [] { return QString("Close_Normal_Btn.bmp"); }, UpPicture::Normal,
                 [this] { close(); });
  for (tximage* b : {Min_XI, Max_XI, Close_XI}) b->resize(t::kMin.w, t::kMin.h);

  struct MenuImage {
    tximage** control;
    const char* name;
    const char* normal;
    const skin::Place& place;
  };
  const MenuImage menus[] = {
      {&Help_XI, "Help_XI", "Menu_Normal_Menu.bmp", t::kHelpMenu},
      {&File_XI, "File_XI", "File_Normal_menu.bmp", t::kFileMenu},
      {&Play_XI, "Play_XI", "Play_Normal_menu.bmp", t::kPlayMenu},
      {&Dvdnav_XI, "Dvdnav_XI", "Dvdnav_Normal_menu.bmp", t::kDvdnavMenu},
      {&Pip_XI, "Pip_XI", "Pip_Normal_menu.bmp", t::kPipMenu},
      {&View_XI, "View_XI", "View_Normal_menu.bmp", t::kViewMenu},
      {&PLMenu_XI, "PLMenu_XI", "Playlist_Normal_menu.bmp", t::kPlaylistMenu},
  };
  for (const MenuImage& m : menus) {
    tximage* image = MakeImage(Title_P, m.name, m.normal);
    image->resize(m.place.w, m.place.h);
    const QString normal = m.normal;
    connect(image, &tximage::OnMouseEnter, this,
            [=, this] { LoadSkinPicture(image, StateFile(normal, "Hight")); });
    connect(image, &tximage::OnMouseLeave, this, [=, this] { LoadSkinPicture(image, normal); });
    *m.control = image;
    if (image != Help_XI) image->hide();
  }
  // Only the whole menu is offered from the title bar; the six others stay hidden.
  connect(Help_XI, &tximage::OnClick, this, [this] {
    LoadSkinPicture(Help_XI, "Menu_Normal_Menu.bmp");
    if (Main_Pop) Main_Pop->popup(platform::RealMapToGlobal(Help_XI, QPoint(0, Help_XI->height())));
  });
}

void TOrvaneMain_Form::BuildControlBar() {
  namespace b = skin::bar;
  DVDleft_I = MakeImage(DvdCtrl_P, "DVDleft_I", "Ctrl_Left.bmp", true);
  Dvdcenter_I = MakeImage(DvdCtrl_P, "Dvdcenter_I", "Ctrl_Center.bmp", true);
  Dvdright_I = MakeImage(DvdCtrl_P, "Dvdright_I", "Ctrl_Right.bmp", true);

  auto button = [&](tximage** control, const char* name, const skin::Place& place,
                    const char* normal, const char* hint, UpPicture up,
                    std::function<void()> action, bool onUp = false) {
    tximage* image = MakeImage(DvdCtrl_P, name, {});
    image->setGeometry(Rect(place.dx, place.y, place));
    if (hint) SetHint(image, hint);
    const QString file = normal;
    BindSkinButton(image, [file] { return file; }, up, std::move(action), onUp);
    *control = image;
  };
  PlayPause_XI = MakeImage(DvdCtrl_P, "PlayPause_XI", {});
  PlayPause_XI->setGeometry(Rect(b::kPlayPause.dx, b::kPlayPause.y, b::kPlayPause));
  SetHint(PlayPause_XI, "播放/暂停");
  BindSkinButton(
      PlayPause_XI,
      [this] {
        return QString(session_.IsPlaying && !session_.IsPaused ? "Pause_Normal_Btn.bmp"
                                                                 : "Play_Normal_Btn.bmp");
      },
      UpPicture::None,
      [this] {
        if (session_.IsPlaying && !session_.IsPaused)
          session_.PauseSession();
        else
          session_.PlayCommand();
        UpdateTransportButtons();
      },
      true);
  // The release picture is the state's own, even when the release is not a click.
  connect(PlayPause_XI, &tximage::OnMouseUp, this, [this] { UpdateTransportButtons(); });
  button(&Stop_XI, "Stop_XI", b::kStop, "Stop_Normal_Btn.bmp", "停止", UpPicture::Normal,
         [this] { session_.StopCommand(); }, true);
  button(&Previous_XI, "Previous_XI", b::kPrevious, "Prev_Normal_Btn.bmp", "上一个",
         UpPicture::Normal, [this] { session_.PlayPrevious(); });
  button(&Backward_XI, "Backward_XI", b::kBackward, "BackWard_Normal_Btn.bmp", "减速播放",
         UpPicture::Normal, [this] {
           ShowRateText(session_.Decelerate());
         });
  button(&Forward_XI, "Forward_XI", b::kForward, "ForWard_Normal_Btn.bmp", "加速播放",
         UpPicture::Normal, [this] {
           ShowRateText(session_.Accelerate());
         });
  button(&Next_XI, "Next_XI", b::kNext, "Next_Normal_Btn.bmp", "下一个", UpPicture::Normal,
         [this] { session_.PlayNext(); });
  // The options dialog arrives with its own room.
  button(&Open_XI, "Open_XI", b::kOpen, "Open_Normal_btn.bmp", "打开", UpPicture::Normal,
         [this] { session_.OpenFileCommand(); });
  button(&Capture_XI, "Capture_XI", b::kCapture, "Capture_Normal_btn.bmp", "截屏",
         UpPicture::Normal, [this] { CaptureFrame(); });
  button(&PlayList_XI, "PlayList_XI", b::kPlayList, "ShowPL_Normal_btn.bmp",
         "显示/隐藏 播放、截屏列表", UpPicture::Normal, [this] { ToggleSidePanel(); });
  button(&Full_XI, "Full_XI", b::kFull, "Full_Normal_btn.bmp", "全屏/窗口", UpPicture::Normal,
         [this] { ToggleFullScreen(); });
  button(&Option_XI, "Option_XI", b::kOption, "Option_Normal_btn.bmp", "选项", UpPicture::Normal,
         nullptr);

  BuildVolumeControls();

  VideoPro_XI = MakeImage(DvdCtrl_P, "VideoPro_XI", "VideoPro.bmp", true);
  VideoGo_XI = MakeImage(DvdCtrl_P, "VideoGo_XI", "VideoGo.bmp", true);
  VideoBar_XI = MakeImage(DvdCtrl_P, "VideoBar_XI", "VideoBar_Normal.bmp");
  VideoBar_XI->resize(b::kSeekThumb.w, b::kSeekThumb.h);
  for (tximage* part : {VideoPro_XI, VideoGo_XI})
    connect(part, &tximage::OnMouseDown, this, [this, part](Qt::MouseButton button, int x, int) {
      if (button == Qt::LeftButton) SeekBarClick(x + part->x() - VideoPro_XI->x());
    });
  connect(VideoBar_XI, &tximage::OnMouseMove, this, [this](Qt::MouseButtons buttons, int x, int) {
    if (buttons & Qt::LeftButton) SeekBarDrag(x);
  });
  connect(VideoBar_XI, &tximage::OnMouseEnter, this,
          [this] { LoadSkinPicture(VideoBar_XI, "VideoBar_Hight.bmp"); });
  connect(VideoBar_XI, &tximage::OnMouseLeave, this,
          [this] { LoadSkinPicture(VideoBar_XI, "VideoBar_Normal.bmp"); });

  Url_XI = MakeImage(DvdCtrl_P, "Url_XI", {});
  Url_XI->resize(b::kUrl.w, b::kUrl.h);
  Url_XI->setCursor(Qt::PointingHandCursor);
  BindSkinButton(Url_XI, [] { return QString("Url_Normal.bmp"); }, UpPicture::Hight,
                 [this] { OpenProductPage(); }, true);

  ScrollMedia_P = MakePanel(DvdCtrl_P, "ScrollMedia_P");
  tximage2 = MakeImage(ScrollMedia_P, "tximage2", "Media_Strip.bmp", true);
  SetHint(tximage2, "打开");
  connect(tximage2, &tximage::OnClick, this, [this] { session_.OpenFileCommand(); });
  auto* name = new MediaNameLabel(ScrollMedia_P);
  CurMedia_L = name;
  CurMedia_L->setObjectName("CurMedia_L");
  nameStrip_ = new MediaNameStrip(ScrollMedia_P, tximage2, name);

  QPalette light = palette();
  light.setColor(QPalette::WindowText, QColor(0xE3, 0xE3, 0xE3));  // the 3D-light colour
  auto label = [&](const char* name) {
    auto* l = new QLabel(DvdCtrl_P);
    l->setObjectName(name);
    l->setPalette(light);
    return l;
  };
  Status_L = label("Status_L");
  Status_L->setText(engine::kStatusReady);
  Resolution_L = label("Resolution_L");
  Time_L = label("Time_L");
  Time_L->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void TOrvaneMain_Form::OpenProductPage() { QDesktopServices::openUrl(QUrl(kProductPage)); }

// Panels follow their alignment: bars at the top and bottom, edges at the
// sides, the side panel at the right of the video, the video filling the rest.
void TOrvaneMain_Form::ArrangeFrame() {
  const int w = width();
  int bottom = height();
  if (!DvdCtrl_P->isHidden()) {
    DvdCtrl_P->setGeometry(0, bottom - skin::bar::kH, w, skin::bar::kH);
    bottom -= skin::bar::kH;
  }
  if (!Bottom_P->isHidden()) {
    Bottom_P->setGeometry(0, bottom - skin::kBottomH, w, skin::kBottomH);
    bottom -= skin::kBottomH;
  }
  Father_p->setGeometry(0, 0, w, bottom);
  int top = 0, left = 0, right = w;
  if (!Title_P->isHidden()) {
    Title_P->setGeometry(0, 0, w, skin::title::kH);
    top = skin::title::kH;
  }
  if (!Left_P->isHidden()) {
    Left_P->setGeometry(0, top, skin::kEdgeW, bottom - top);
    left = skin::kEdgeW;
  }
  if (!Right_P->isHidden()) {
    Right_P->setGeometry(w - skin::kEdgeW, top, skin::kEdgeW, bottom - top);
    right = w - skin::kEdgeW;
  }
  VideoFace_P->setGeometry(left, top, std::max(0, right - left), std::max(0, bottom - top));
  const int faceH = VideoFace_P->height();
  int videoRight = VideoFace_P->width();
  if (!MediaFile_P->isHidden()) {
    videoRight -= MediaFile_P->width();
    MediaFile_P->setGeometry(videoRight, 0, MediaFile_P->width(), faceH);
  }
  if (!Splitter_P->isHidden()) {
    videoRight -= Splitter_P->width();
    Splitter_P->setGeometry(videoRight, 0, Splitter_P->width(), faceH);
    Splitter_XI->setGeometry(Splitter_P->rect());
  }
  Video_P->setGeometry(0, 0, std::max(0, videoRight), faceH);

  LeftEdge_I->setGeometry(Left_P->rect());
  RightEdge_I->setGeometry(Right_P->rect());
  const int corner = skin::kBottomCornerW;
  BottomLeft_I->setGeometry(0, 0, corner, skin::kBottomH);
  BottomRight_I->setGeometry(w - corner, 0, corner, skin::kBottomH);
  BottomCenter_I->setGeometry(corner, 0, std::max(0, w - 2 * corner), skin::kBottomH);
  Titleleft_I->setGeometry(0, 0, skin::title::kLeftW, skin::title::kH);
  Titleright_I->setGeometry(w - skin::title::kRightW, 0, skin::title::kRightW, skin::title::kH);
  Titlecenter_I->setGeometry(skin::title::kLeftW, 0,
                             std::max(0, w - skin::title::kLeftW - skin::title::kRightW),
                             skin::title::kH);
  DVDleft_I->setGeometry(0, 0, skin::bar::kLeftW, skin::bar::kH);
  Dvdright_I->setGeometry(w - skin::bar::kRightW, 0, skin::bar::kRightW, skin::bar::kH);
  Dvdcenter_I->setGeometry(skin::bar::kLeftW, 0,
                           std::max(0, w - skin::bar::kLeftW - skin::bar::kRightW), skin::bar::kH);
  ArrangeSidePanel();
}

void TOrvaneMain_Form::LayoutControlBar() {
  namespace b = skin::bar;
  namespace t = skin::title;
  // 1 and 2: the title bar's buttons and menu images from the right piece.
  const int titleRight = Titleright_I->x();
  Min_XI->move(titleRight + 20, t::kMin.y);
  Max_XI->move(titleRight + 40, t::kMax.y);
  Close_XI->move(titleRight + 60, t::kClose.y);
  const std::pair<tximage*, int> menus[] = {{Help_XI, 35}, {PLMenu_XI, 95}, {View_XI, 130},
                                            {Pip_XI, 190}, {Dvdnav_XI, 250}, {Play_XI, 285},
                                            {File_XI, 320}};
  for (auto [image, offset] : menus) image->move(titleRight - offset, t::kHelpMenu.y);

  // 3: the link image centred in the bar.
  Url_XI->move((DvdCtrl_P->width() - Url_XI->width()) / 2, b::kUrl.y);

  // 4: the strip and the labels over the centre piece.
  const int centreLeft = Dvdcenter_I->x();
  const int centreWidth = Dvdcenter_I->width();
  ScrollMedia_P->setGeometry(centreLeft, b::kMediaStrip.y, centreWidth, b::kMediaStrip.h);
  tximage2->setGeometry(ScrollMedia_P->rect());
  nameStrip_->setGeometry(ScrollMedia_P->rect());
  PlaceStatusLabels();

  // 5: the seek bar along the centre piece, and the volume fill.
  VideoPro_XI->setGeometry(centreLeft + 2, b::kSeekTrack.y, std::max(0, centreWidth - 4),
                           b::kSeekTrack.h);
  const int thumbLeft = SeekBarGeometry().ClampThumb(VideoBar_XI->x());
  VideoBar_XI->move(thumbLeft, b::kSeekThumb.y);
  VideoGo_XI->setGeometry(VideoPro_XI->x(), VideoPro_XI->y(), thumbLeft - VideoPro_XI->x(),
                          VideoPro_XI->height());
  SoundGo_XI->setGeometry(SoundPro_XI->x(), SoundPro_XI->y(), SoundBar_XI->x() - SoundPro_XI->x(),
                          SoundPro_XI->height());

  // 6: the balance slider from the right piece; the thumb by the balance percentage.
  const int right = Dvdright_I->x();
  L_XI->move(right + 40, b::kBalanceL.y);
  TrackPro_XI->move(right + 60, b::kBalanceTrack.y);
  R_XI->move(right + 132, b::kBalanceR.y);
  const int travel = TrackPro_XI->width() - TrackBar_XI->width();
  TrackBar_XI->move(TrackPro_XI->x() + BalancePercent * travel / 100, b::kBalanceThumb.y);
  TrackGo_XI->setGeometry(TrackPro_XI->x(), TrackPro_XI->y(), TrackBar_XI->x() - TrackPro_XI->x(),
                          TrackPro_XI->height());

  // 7: the right-hand buttons.
  const std::pair<tximage*, int> buttons[] = {
      {Open_XI, 23}, {Capture_XI, 47}, {PlayList_XI, 71}, {Full_XI, 95}, {Option_XI, 119}};
  for (auto [button, offset] : buttons) button->move(right + offset, b::kOpen.y);

  // 8: what the video panel carries.
  PlaceVideoPanelChildren();

  // Thumbs and fills stay above the tracks they move on.
  for (QWidget* w : {static_cast<QWidget*>(VideoGo_XI), static_cast<QWidget*>(VideoBar_XI),
                     static_cast<QWidget*>(SoundGo_XI), static_cast<QWidget*>(SoundBar_XI),
                     static_cast<QWidget*>(TrackGo_XI), static_cast<QWidget*>(TrackBar_XI)})
    w->raise();
}

// The labels take their texts' widths; the time keeps to the centre piece's right edge.
void TOrvaneMain_Form::PlaceStatusLabels() {
  namespace b = skin::bar;
  const int centreLeft = Dvdcenter_I->x();
  for (QLabel* label : {Status_L, Resolution_L, Time_L}) label->adjustSize();
  Status_L->move(centreLeft + b::kStatus.dx, b::kStatus.y);
  Resolution_L->move(centreLeft + 120, b::kResolution.y);
  // Empty, it waits 10 pixels in from the edge, where the first time text ends.
  if (Time_L->text().isEmpty())
    Time_L->move(centreLeft + Dvdcenter_I->width() - 10, b::kTime.y);
  else
    Time_L->move(centreLeft + Dvdcenter_I->width() - Time_L->width(), b::kTime.y);
  // Shown only while it clears the time entirely.
  Resolution_L->setVisible(Resolution_L->text().isEmpty() ||
                           Resolution_L->x() + Resolution_L->width() <= Time_L->x());
  // In a narrow window the status gives way to the time rather than run into it.
  const int room = Time_L->x() - 6 - Status_L->x();
  if (Status_L->width() > room) Status_L->resize(std::max(0, room), Status_L->height());
}

void TOrvaneMain_Form::UpdateTransportButtons() {
  LoadSkinPicture(PlayPause_XI, session_.IsPlaying && !session_.IsPaused ? "Pause_Normal_Btn.bmp"
                                                                         : "Play_Normal_Btn.bmp");
  for (tximage* button : {Stop_XI, Backward_XI, Forward_XI, Previous_XI, Next_XI, Capture_XI, Full_XI})
    ShowEnabledState(button);
  ShowLogoWhileNoPicture();
}

void TOrvaneMain_Form::ShowEnabledState(tximage* button) {
  const std::pair<tximage*, const char*> family[] = {
      {Stop_XI, "Stop_Normal_Btn.bmp"},   {Backward_XI, "BackWard_Normal_Btn.bmp"},
      {Forward_XI, "ForWard_Normal_Btn.bmp"}, {Previous_XI, "Prev_Normal_Btn.bmp"},
      {Next_XI, "Next_Normal_Btn.bmp"},   {Capture_XI, "Capture_Normal_btn.bmp"},
      {Full_XI, "Full_Normal_btn.bmp"}};
  for (auto [member, normal] : family)
    if (member == button)
      LoadSkinPicture(button, button->isEnabled() ? QString(normal) : StateFile(normal, "Disable"));
}

void TOrvaneMain_Form::ShowLogoWhileNoPicture() {
  const bool picture = session_.IsPlaying && session_.PlayType != engine::kPlayNone &&
                       session_.PlayType != engine::kPlayAudio;
  if (MainLogo_I) MainLogo_I->setVisible(!picture);
}

void TOrvaneMain_Form::ShowStoppedButtonPictures() {
  LoadSkinPicture(PlayPause_XI, "Play_Normal_Btn.bmp");
  LoadSkinPicture(Stop_XI, "Stop_Disable_Btn.bmp");
}

BarGeometry TOrvaneMain_Form::SeekBarGeometry() const {
  return {VideoPro_XI->x(), VideoPro_XI->width(), VideoBar_XI->width()};
}

void TOrvaneMain_Form::SeekBarClick(int x) {
  // With nothing open (also after the end) the bar has nothing to show or seek.
  if (!session_.IsPlaying) return;
  const BarGeometry bar = SeekBarGeometry();
  SeekBarTo(bar, BarClick(bar, x));
}

void TOrvaneMain_Form::SeekBarDrag(int x) {
  // A drag that runs on past the end of the media moves nothing.
  if (!session_.IsPlaying) return;
  const BarGeometry bar = SeekBarGeometry();
  SeekBarTo(bar, BarDrag(bar, {VideoBar_XI->x(), VideoGo_XI->width()}, x));
}

// Shows the thumb and filled part where the gesture put them, and seeks there.
void TOrvaneMain_Form::SeekBarTo(const BarGeometry& bar, BarState state) {
  VideoBar_XI->move(state.thumbLeft, VideoBar_XI->y());
  VideoGo_XI->resize(std::max(0, state.playedWidth), VideoGo_XI->height());
  session_.SeekFromBar(BarOffset(bar, state), bar.Travel());
}

}  // namespace app
