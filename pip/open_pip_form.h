#pragma once
// TOpenPip_Form: chooses the two files of a picture-in-picture session.
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <string>

#include "platform/prompt.h"

namespace pip {

// The filter every browse uses, then the player's media files.
inline constexpr const char* kVideoFilter =
    "FamiliarVideoFiles|*.avi;*.asf;*.wmv;*.wm;*.mpg;*.mpeg;*.rm;*.rmvb;*.flv;*.vob";

class TOpenPip_Form : public QDialog {
  Q_OBJECT
 public:
  // Messages and the file chooser go through `prompt`.
  TOpenPip_Form(platform::Prompt& prompt, QWidget* parent = nullptr);
  // 1 English, 2 Chinese; anything else keeps the captions as they are.
  void SetLanguage(int language);

  // 1 after OK, 2 after Cancel.
  int Result = 2;
  std::string PipFileA, PipFileB;

  QLabel *MediaFileA_L, *MediaFileB_L, *SelTwoInfo_L;
  QLineEdit *EditA, *EditB;
  QToolButton *SpeedButton1, *SpeedButton2;
  QPushButton *OK_Btn, *Cancel_Btn;

  void Browse(QLineEdit* edit);
  void OK_BtnClick();
  void Cancel_BtnClick();

 private:
  platform::Prompt& prompt_;
};

// Shows the dialog modally: 1 with both paths filled, else 2.
int ShowOpenPipDialog(platform::Prompt& prompt, int language, const QFont& font, QWidget* parent,
                      std::string* fileA, std::string* fileB);

}  // namespace pip
