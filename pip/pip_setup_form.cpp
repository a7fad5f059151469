#include "pip/pip_setup_form.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QShowEvent>
#include <QVBoxLayout>

#include "engine/session.h"
#include "pip/named_widget.h"

namespace pip {

namespace {
QString U(const char* text) { return QString::fromUtf8(text); }

QSlider* Bar(QWidget* parent, const char* name) {
  auto* bar = new QSlider(Qt::Horizontal, parent);
  bar->setObjectName(name);
  bar->setRange(0, 100);
  return bar;
}
}  // namespace

TPipSetup_Form::TPipSetup_Form(PipSession& pip, const settings::SettingsStore& store,
                               const std::string& fileA, const std::string& fileB, QWidget* parent)
    : QDialog(parent), pip_(pip), store_(store) {
  setObjectName("TPipSetup_Form");
  setWindowTitle("Picture in picture setup");
  PipSetupInfo_L = Named(new QLabel("Setup picture in picture function", this), "PipSetupInfo_L");
  OK_Btn = Named(new QPushButton("OK", this), "OK_Btn");
  Main_PageCtrl = Named(new QTabWidget(this), "Main_PageCtrl");

  PipPosition_TS = Named(new QWidget, "PipPosition_TS");
  StandardPos_CB = Named(new QCheckBox("Standard position", PipPosition_TS), "StandardPos_CB");
  Freemove_CB = Named(new QCheckBox("Free move", PipPosition_TS), "Freemove_CB");
  TopLeft_RB = Named(new QRadioButton("Top left", PipPosition_TS), "TopLeft_RB");
  TopRight_RB = Named(new QRadioButton("Top right", PipPosition_TS), "TopRight_RB");
  BottomLeft_RB = Named(new QRadioButton("Bottom left", PipPosition_TS), "BottomLeft_RB");
  BottomRight_RB = Named(new QRadioButton("Bottom right", PipPosition_TS), "BottomRight_RB");
  Center_RB = Named(new QRadioButton("Center", PipPosition_TS), "Center_RB");
  Left_Bar = Bar(PipPosition_TS, "Left_Bar");
  Top_Bar = Bar(PipPosition_TS, "Top_Bar");
  Right_Bar = Bar(PipPosition_TS, "Right_Bar");
  Bottom_Bar = Bar(PipPosition_TS, "Bottom_Bar");
  Left_L = Named(new QLabel(PipPosition_TS), "Left_L");
  Top_L = Named(new QLabel(PipPosition_TS), "Top_L");
  Right_L = Named(new QLabel(PipPosition_TS), "Right_L");
  Bottom_L = Named(new QLabel(PipPosition_TS), "Bottom_L");
  auto* position = new QGridLayout(PipPosition_TS);
  position->addWidget(StandardPos_CB, 0, 0, 1, 2);
  auto* radios = new QGridLayout;
  int i = 0;
  for (QRadioButton* r : Radios()) radios->addWidget(r, i / 3, i % 3), ++i;
  position->addLayout(radios, 1, 0, 1, 4);
  position->addWidget(Freemove_CB, 2, 0, 1, 2);
  QLabel* const edgeLabels[] = {Left_L, Top_L, Right_L, Bottom_L};
  for (int row = 0; row < 4; ++row) {
    position->addWidget(edgeLabels[row], 3 + row, 0);
    position->addWidget(new QLabel("0%", PipPosition_TS), 3 + row, 1);
    position->addWidget(Bars()[static_cast<size_t>(row)], 3 + row, 2);
    position->addWidget(new QLabel("100%", PipPosition_TS), 3 + row, 3);
  }

  PicParam_TS = Named(new QWidget, "PicParam_TS");
  MediaFileA_L = Named(new QLabel("Media file A", PicParam_TS), "MediaFileA_L");
  MediaFileB_L = Named(new QLabel("Media file B", PicParam_TS), "MediaFileB_L");
  MediaA_L = Named(new QLabel(PicParam_TS), "MediaA_L");
  MediaB_L = Named(new QLabel(PicParam_TS), "MediaB_L");
  AlphaBar_A = Bar(PicParam_TS, "AlphaBar_A");
  AlphaBar_B = Bar(PicParam_TS, "AlphaBar_B");
  AlphaA_L = Named(new QLabel(PicParam_TS), "AlphaA_L");
  AlphaB_L = Named(new QLabel(PicParam_TS), "AlphaB_L");
  auto* param = new QGridLayout(PicParam_TS);
  param->addWidget(MediaFileA_L, 0, 0);
  param->addWidget(MediaA_L, 0, 1);
  param->addWidget(AlphaA_L, 1, 0);
  param->addWidget(AlphaBar_A, 1, 1);
  param->addWidget(MediaFileB_L, 2, 0);
  param->addWidget(MediaB_L, 2, 1);
  param->addWidget(AlphaB_L, 3, 0);
  param->addWidget(AlphaBar_B, 3, 1);

  PipControl_TS = Named(new QWidget, "PipControl_TS");
  Control_L = Named(new QLabel("Picture control", PipControl_TS), "Control_L");
  SwapPic_CB = Named(new QCheckBox("Swap picture", PipControl_TS), "SwapPic_CB");
  Convert_L = Named(new QLabel("Picture convert", PipControl_TS), "Convert_L");
  NoConvert_CB = Named(new QCheckBox("No convert", PipControl_TS), "NoConvert_CB");
  UpdownConvert_CB = Named(new QCheckBox("Up down convert", PipControl_TS), "UpdownConvert_CB");
  LeftRightConvert_CB =
      Named(new QCheckBox("Left right convert", PipControl_TS), "LeftRightConvert_CB");
  AllConvert_CB = Named(new QCheckBox("All convert", PipControl_TS), "AllConvert_CB");
  auto* control = new QVBoxLayout(PipControl_TS);
  for (QWidget* w : std::initializer_list<QWidget*>{Control_L, SwapPic_CB, Convert_L, NoConvert_CB,
                                                    UpdownConvert_CB, LeftRightConvert_CB, AllConvert_CB})
    control->addWidget(w);
  control->addStretch(1);

  Main_PageCtrl->addTab(PipPosition_TS, "Picture position");
  Main_PageCtrl->addTab(PicParam_TS, "Picture parameter");
  Main_PageCtrl->addTab(PipControl_TS, "Picture control");
  auto* column = new QVBoxLayout(this);
  column->addWidget(PipSetupInfo_L);
  column->addWidget(Main_PageCtrl, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OK_Btn);
  column->addLayout(buttons);
  setMinimumSize(400, 320);

  // Check boxes and radio buttons act on every change of state, also one the
  // dialog makes itself, as their click handlers are meant to.
  connect(StandardPos_CB, &QCheckBox::toggled, this, [this](bool on) {
    for (QRadioButton* r : Radios()) r->setEnabled(on);
    if (!on) return;
    Freemove_CB->setChecked(false);
    store_.WriteIntEnsured("Pip", "PositionType", kStandardPosition);
    for (int n = 1; n <= 5; ++n)
      if (Radios()[static_cast<size_t>(n - 1)]->isChecked()) pip_.SetStandardPosition(n);
  });
  connect(Freemove_CB, &QCheckBox::toggled, this, [this](bool on) {
    for (QSlider* b : Bars()) b->setEnabled(on);
    if (!on) return;
    StandardPos_CB->setChecked(false);
    store_.WriteIntEnsured("Pip", "PositionType", kFreePosition);
    pip_.SetFreePosition(Left_Bar->value(), Top_Bar->value(), Right_Bar->value(),
                         Bottom_Bar->value());
  });
  for (int n = 1; n <= 5; ++n)
    connect(Radios()[static_cast<size_t>(n - 1)], &QRadioButton::toggled, this, [this, n](bool on) {
      if (on && !positionLoading_) pip_.SetStandardPosition(n);
    });
  const std::pair<Edge, int*> edges[] = {
      {Edge::Left, &LastLeft}, {Edge::Top, &LastTop}, {Edge::Right, &LastRight}, {Edge::Bottom, &LastBottom}};
  for (int e = 0; e < 4; ++e) {
    auto [edge, last] = edges[e];
    connect(Bars()[static_cast<size_t>(e)], &QSlider::valueChanged, this, [this, edge, last](int value) {
      if (!positionLoading_) pip_.MoveEdge(edge, value, *last);
      WriteLabels();
    });
  }
  connect(AlphaBar_A, &QSlider::valueChanged, this, [this](int value) {
    pip_.SetPipAlpha(0, value);
    WriteLabels();
  });
  connect(AlphaBar_B, &QSlider::valueChanged, this, [this](int value) {
    pip_.SetPipAlpha(1, value);
    WriteLabels();
  });
  connect(SwapPic_CB, &QCheckBox::toggled, this, [this] { pip_.SwapPictures(); });
  for (QCheckBox* box : {NoConvert_CB, UpdownConvert_CB, LeftRightConvert_CB, AllConvert_CB})
    connect(box, &QCheckBox::toggled, this, [this, box](bool on) { MirrorClicked(box, on); });
  connect(Main_PageCtrl, &QTabWidget::currentChanged, this, [this](int page) {
    if (page == 0) LoadPositionPage();
    if (page == 2) LoadMirrorPage();
  });
  connect(OK_Btn, &QPushButton::clicked, this, &QDialog::accept);

  // Creation: the radio buttons and bars wait for their check box.
  positionLoading_ = true;
  for (QRadioButton* r : Radios()) r->setEnabled(false);
  for (QSlider* b : Bars()) b->setEnabled(false);
  MediaA_L->setText(QString::fromStdString(engine::FileNameOf(fileA)));
  MediaB_L->setText(QString::fromStdString(engine::FileNameOf(fileB)));
  LoadPositionPage();
  positionLoading_ = true;  // until shown
  AlphaBar_A->setValue(pip_.AlphaPercent(0));
  AlphaBar_B->setValue(pip_.AlphaPercent(1));
  WriteLabels();
}

std::array<QRadioButton*, 5> TPipSetup_Form::Radios() const {
  return {TopLeft_RB, TopRight_RB, BottomLeft_RB, BottomRight_RB, Center_RB};
}

std::array<QSlider*, 4> TPipSetup_Form::Bars() const { return {Left_Bar, Top_Bar, Right_Bar, Bottom_Bar}; }

void TPipSetup_Form::SetLanguage(int language) {
  if (language != 1 && language != 2) return;
  const bool en = language == 1;
  setWindowTitle(en ? "Picture in picture setup" : U("设置"));
  PipSetupInfo_L->setText(en ? "Setup picture in picture function" : U("请在这里调整画中画功能的参数"));
  Main_PageCtrl->setTabText(0, en ? "Picture position" : U("画面位置"));
  Main_PageCtrl->setTabText(1, en ? "Picture parameter" : U("画面参数"));
  Main_PageCtrl->setTabText(2, en ? "Picture control" : U("画面控制"));
  Control_L->setText(en ? "Picture control" : U("画面控制"));
  Convert_L->setText(en ? "Picture convert" : U("画面倒置"));
  StandardPos_CB->setText(en ? "Standard position" : U("标准位置"));
  Freemove_CB->setText(en ? "Free move" : U("自由移动"));
  const char* const radiosEn[] = {"Top left", "Top right", "Bottom left", "Bottom right", "Center"};
  const char* const radiosZh[] = {"左上角", "右上角", "左下角", "右下角", "居中"};
  for (size_t i = 0; i < 5; ++i) Radios()[i]->setText(en ? radiosEn[i] : U(radiosZh[i]));
  SwapPic_CB->setText(en ? "Swap picture" : U("切换画面"));
  MediaFileA_L->setText(en ? "Media file A" : U("媒体文件A"));
  MediaFileB_L->setText(en ? "Media file B" : U("媒体文件B"));
  NoConvert_CB->setText(en ? "No convert" : U("没有倒置"));
  UpdownConvert_CB->setText(en ? "Up down convert" : U("上下倒置"));
  LeftRightConvert_CB->setText(en ? "Left right convert" : U("左右倒置"));
  AllConvert_CB->setText(en ? "All convert" : U("完全倒置"));
  OK_Btn->setText(en ? "OK" : U("确定"));
  const char* const wordsEn[] = {"Left", "Top", "Right", "Bottom", "Alpha"};
  const char* const wordsZh[] = {"左", "顶部", "右", "底部", "透明度"};
  for (int i = 0; i < 5; ++i) words_[i] = en ? wordsEn[i] : U(wordsZh[i]);
  WriteLabels();
}

void TPipSetup_Form::WriteLabels() {
  auto text = [](const QString& word, const QSlider* bar) {
    return word + " " + QString::number(bar->value()) + "%";
  };
  Left_L->setText(text(words_[0], Left_Bar));
  Top_L->setText(text(words_[1], Top_Bar));
  Right_L->setText(text(words_[2], Right_Bar));
  Bottom_L->setText(text(words_[3], Bottom_Bar));
  AlphaA_L->setText(text(words_[4], AlphaBar_A));
  AlphaB_L->setText(text(words_[4], AlphaBar_B));
}

// Set by the dialog itself: the bars and radio buttons must not move the picture.
void TPipSetup_Form::LoadPositionPage() {
  const bool wasLoading = positionLoading_;
  positionLoading_ = true;
  const int type = store_.ReadInt("Pip", "PositionType");
  const int small = store_.ReadInt("Pip", "SmallPosition");
  if (small >= 1 && small <= 5) Radios()[static_cast<size_t>(small - 1)]->setChecked(true);
  LastLeft = store_.ReadInt("Pip", "SmallLeft");
  LastTop = store_.ReadInt("Pip", "SmallTop");
  LastRight = store_.ReadInt("Pip", "SmallRight");
  LastBottom = store_.ReadInt("Pip", "SmallBottom");
  Left_Bar->setValue(LastLeft);
  Top_Bar->setValue(LastTop);
  Right_Bar->setValue(LastRight);
  Bottom_Bar->setValue(LastBottom);
  // A stored percentage outside the bar's range moves from where the bar stands.
  LastLeft = Left_Bar->value();
  LastTop = Top_Bar->value();
  LastRight = Right_Bar->value();
  LastBottom = Bottom_Bar->value();
  if (type == kStandardPosition) StandardPos_CB->setChecked(true);
  if (type == kFreePosition) Freemove_CB->setChecked(true);
  positionLoading_ = wasLoading;
}

void TPipSetup_Form::LoadMirrorPage() {
  mirrorLoading_ = true;
  for (QCheckBox* each : {NoConvert_CB, UpdownConvert_CB, LeftRightConvert_CB, AllConvert_CB})
    each->setChecked(false);
  const engine::NormalisedRect r = pip_.SmallRect();
  const bool upDown = r.top > r.bottom, leftRight = r.left > r.right;
  QCheckBox* box = upDown && leftRight ? AllConvert_CB
                   : upDown            ? UpdownConvert_CB
                   : leftRight         ? LeftRightConvert_CB
                                       : NoConvert_CB;
  box->setChecked(true);
  mirrorLoading_ = false;
}

void TPipSetup_Form::MirrorClicked(QCheckBox* box, bool checked) {
  if (checked) {
    if (box == UpdownConvert_CB || box == LeftRightConvert_CB) {
      NoConvert_CB->setChecked(false);
      AllConvert_CB->setChecked(false);
    } else {
      for (QCheckBox* other : {NoConvert_CB, UpdownConvert_CB, LeftRightConvert_CB, AllConvert_CB})
        if (other != box) other->setChecked(false);
    }
  }
  if (mirrorLoading_) return;
  // A flip is its own inverse: unchecking a mirror undoes it.
  if (box == UpdownConvert_CB)
    pip_.FlipUpDown();
  else if (box == LeftRightConvert_CB)
    pip_.FlipLeftRight();
  else if (box == AllConvert_CB)
    pip_.FlipBoth();
  else
    pip_.ResetFlip();
}

void TPipSetup_Form::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  positionLoading_ = false;
  WriteLabels();
}

void ShowPipSetupDialog(PipSession& pip, const settings::SettingsStore& store, int page,
                        int language, const QFont& font, QWidget* parent, const std::string& fileA,
                        const std::string& fileB) {
  TPipSetup_Form form(pip, store, fileA, fileB, parent);
  form.setFont(font);
  for (QWidget* sheet : {form.PipPosition_TS, form.PicParam_TS, form.PipControl_TS}) sheet->setFont(font);
  form.Main_PageCtrl->setCurrentIndex(page);
  form.SetLanguage(language);
  form.exec();
}

}  // namespace pip
