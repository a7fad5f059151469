#pragma once
// TPipSetup_Form: adjusts a running picture-in-picture session. Every change
// is applied at once; there is no cancel.
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <array>

#include "pip/pip_session.h"
#include "settings/settings_store.h"

namespace pip {

class TPipSetup_Form : public QDialog {
  Q_OBJECT
 public:
  TPipSetup_Form(PipSession& pip, const settings::SettingsStore& store, const std::string& fileA,
                 const std::string& fileB, QWidget* parent = nullptr);
  void SetLanguage(int language);

  QLabel* PipSetupInfo_L;
  QPushButton* OK_Btn;
  QTabWidget* Main_PageCtrl;
  QWidget *PipPosition_TS, *PicParam_TS, *PipControl_TS;
  QCheckBox *StandardPos_CB, *Freemove_CB;
  QRadioButton *TopLeft_RB, *TopRight_RB, *BottomLeft_RB, *BottomRight_RB, *Center_RB;
  QSlider *Left_Bar, *Top_Bar, *Right_Bar, *Bottom_Bar;
  QLabel *Left_L, *Top_L, *Right_L, *Bottom_L;
  QLabel *MediaA_L, *MediaB_L, *MediaFileA_L, *MediaFileB_L;
  QSlider *AlphaBar_A, *AlphaBar_B;
  QLabel *AlphaA_L, *AlphaB_L;
  QCheckBox* SwapPic_CB;
  QCheckBox *NoConvert_CB, *UpdownConvert_CB, *LeftRightConvert_CB, *AllConvert_CB;
  QLabel *Control_L, *Convert_L;

  // The slider positions each edge moved from last.
  int LastLeft = 0, LastTop = 0, LastRight = 0, LastBottom = 0;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void LoadPositionPage();
  void LoadMirrorPage();
  void WriteLabels();
  void MirrorClicked(QCheckBox* box, bool checked);
  std::array<QRadioButton*, 5> Radios() const;
  std::array<QSlider*, 4> Bars() const;

  PipSession& pip_;
  const settings::SettingsStore& store_;
  bool positionLoading_ = false;
  bool mirrorLoading_ = false;
  QString words_[7] = {"Left", "Top", "Right", "Bottom", "Alpha"};
};

// Shows the dialog modally on page `page` (0 position, 1 parameters, 2 control).
void ShowPipSetupDialog(PipSession& pip, const settings::SettingsStore& store, int page,
                        int language, const QFont& font, QWidget* parent, const std::string& fileA,
                        const std::string& fileB);

}  // namespace pip
