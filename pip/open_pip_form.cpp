#include "pip/open_pip_form.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QStyle>
#include <QVBoxLayout>

#include "engine/session.h"
#include "pip/named_widget.h"
#include "playlist/play_list.h"

namespace pip {

namespace {
QString U(const char* text) { return QString::fromUtf8(text); }
}  // namespace

TOpenPip_Form::TOpenPip_Form(platform::Prompt& prompt, QWidget* parent)
    : QDialog(parent), prompt_(prompt) {
  setObjectName("TOpenPip_Form");
  setWindowTitle("Select media file");
  auto* header = new QWidget(this);
  header->setObjectName("Header_P");
  header->setAutoFillBackground(true);
  QPalette white = header->palette();
  white.setColor(QPalette::Window, Qt::white);
  header->setPalette(white);
  SelTwoInfo_L = new QLabel("Please select two media file to play pip function.", header);
  SelTwoInfo_L->setObjectName("SelTwoInfo_L");
  auto* icon = new QLabel(header);
  icon->setPixmap(style()->standardIcon(QStyle::SP_MediaPlay).pixmap(32, 32));
  auto* headerRow = new QHBoxLayout(header);
  headerRow->addWidget(SelTwoInfo_L, 1);
  headerRow->addWidget(icon);

  MediaFileA_L = Named(new QLabel("Media file A", this), "MediaFileA_L");
  EditA = Named(new QLineEdit(this), "EditA");
  SpeedButton1 = Named(new QToolButton(this), "SpeedButton1");
  MediaFileB_L = Named(new QLabel("Media file B", this), "MediaFileB_L");
  EditB = Named(new QLineEdit(this), "EditB");
  SpeedButton2 = Named(new QToolButton(this), "SpeedButton2");
  for (QLineEdit* edit : {EditA, EditB}) edit->setReadOnly(true);
  for (QToolButton* browse : {SpeedButton1, SpeedButton2}) browse->setText("...");
  OK_Btn = Named(new QPushButton("OK", this), "OK_Btn");
  OK_Btn->setDefault(true);
  Cancel_Btn = Named(new QPushButton("Cancel", this), "Cancel_Btn");

  auto* grid = new QGridLayout;
  grid->addWidget(MediaFileA_L, 0, 0, 1, 2);
  grid->addWidget(EditA, 1, 0);
  grid->addWidget(SpeedButton1, 1, 1);
  grid->addWidget(MediaFileB_L, 2, 0, 1, 2);
  grid->addWidget(EditB, 3, 0);
  grid->addWidget(SpeedButton2, 3, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OK_Btn);
  buttons->addWidget(Cancel_Btn);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 8);
  column->addWidget(header);
  auto* body = new QVBoxLayout;
  body->setContentsMargins(10, 6, 10, 0);
  body->addLayout(grid);
  body->addLayout(buttons);
  column->addLayout(body);
  setMinimumWidth(420);
  // Tab order as the controls are listed.
  setTabOrder(EditA, SpeedButton1);
  setTabOrder(SpeedButton1, EditB);
  setTabOrder(EditB, SpeedButton2);
  setTabOrder(SpeedButton2, OK_Btn);
  setTabOrder(OK_Btn, Cancel_Btn);

  connect(SpeedButton1, &QToolButton::clicked, this, [this] { Browse(EditA); });
  connect(SpeedButton2, &QToolButton::clicked, this, [this] { Browse(EditB); });
  connect(OK_Btn, &QPushButton::clicked, this, [this] { OK_BtnClick(); });
  connect(Cancel_Btn, &QPushButton::clicked, this, [this] { Cancel_BtnClick(); });
}

void TOpenPip_Form::SetLanguage(int language) {
  if (language != 1 && language != 2) return;
  const bool en = language == 1;
  setWindowTitle(en ? "Select media file" : U("选择媒体文件"));
  MediaFileA_L->setText(en ? "Media file A" : U("媒体文件A"));
  MediaFileB_L->setText(en ? "Media file B" : U("媒体文件B"));
  SelTwoInfo_L->setText(en ? "Please select two media file to play pip function."
                           : U("请选择两个媒体文件来运行画中画功能"));
  OK_Btn->setText(en ? "OK" : U("确定"));
  Cancel_Btn->setText(en ? "Cancel" : U("放弃"));
}

void TOpenPip_Form::Browse(QLineEdit* edit) {
  // The video kinds first; the player's other media files stay choosable.
  const std::string filter = std::string(kVideoFilter) + "|" + playlist::kMediaFileFilter;
  const std::vector<std::string> chosen = prompt_.OpenFiles("", "", filter, false);
  if (chosen.empty() || chosen.front().empty()) return;
  const std::string& name = chosen.front();
  if (engine::IsAudioOnlyFile(name)) {
    prompt_.Inform(platform::kPromptCaption,
                   name + " is not a valid video file." + " Please selected a video file.");
    return;
  }
  edit->setText(QString::fromStdString(name));
}

void TOpenPip_Form::OK_BtnClick() {
  Result = 1;
  if (!EditA->text().isEmpty() && !EditB->text().isEmpty()) {
    PipFileA = EditA->text().toStdString();
    PipFileB = EditB->text().toStdString();
    accept();
    return;
  }
  prompt_.Inform(platform::kPromptCaption,
                 "You muse select two media file to play Picture in Picture procedure!");
}

void TOpenPip_Form::Cancel_BtnClick() {
  Result = 2;
  reject();
}

int ShowOpenPipDialog(platform::Prompt& prompt, int language, const QFont& font, QWidget* parent,
                      std::string* fileA, std::string* fileB) {
  TOpenPip_Form form(prompt, parent);
  form.setFont(font);
  form.SetLanguage(language);
  form.exec();
  // Closed by its frame: as Cancel.
  if (form.result() != QDialog::Accepted) return 2;
  *fileA = form.PipFileA;
  *fileB = form.PipFileB;
  return form.Result;
}

}  // namespace pip
