#pragma once
// TSaveOption_Form: where and as what "save all" writes the captures.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "platform/prompt.h"

namespace capture {

class TSaveOption_Form : public QDialog {
  Q_OBJECT
 public:
  TSaveOption_Form(const platform::SaveOptions& options, QWidget* parent);

  QCheckBox* UseDef_CB = nullptr;
  QLabel* SavePath_L = nullptr;
  QLineEdit* Path_E = nullptr;
  QToolButton* Other_SB = nullptr;
  QLabel* SaveType_L = nullptr;
  QComboBox* SaveType_Cob = nullptr;
  QCheckBox* SaveAsDef_CB = nullptr;
  QCheckBox* DontAsk_CB = nullptr;
  QPushButton* Save_Btn = nullptr;

  // What "Save" returned; both empty when the dialog closed any other way.
  QString ChosenFolder, ChosenType;

  // The folder browser behind "..."; tests answer it.
  std::function<QString(const QString& title, const QString& start)> chooseFolder;

 private:
  void UseDef_CBClick();
  void Other_SBClick();
  void Save_BtnClick();
  platform::SaveOptions options_;
};

}  // namespace capture
