#include "capture/save_option_form.h"

#include <QFileDialog>

namespace capture {

namespace {
QString Text(int language, const char* english, const char* chinese) {
  return QString::fromUtf8(language == 1 ? english : chinese);
}
}  // namespace

TSaveOption_Form::TSaveOption_Form(const platform::SaveOptions& options, QWidget* parent)
    : QDialog(parent), options_(options) {
  const int l = options.language;
  setObjectName("TSaveOption_Form");
  setWindowTitle(Text(l, "Save image", "保存图片"));
  setFixedSize(388, 162);
  if (parent) {
    setFont(parent->font());
    const QRect owner = parent->window()->geometry();
    move(owner.center() - QPoint(width() / 2, height() / 2));
  }

  UseDef_CB = new QCheckBox(Text(l, "Use default option", "使用默认选项"), this);
  UseDef_CB->setObjectName("UseDef_CB");
  UseDef_CB->setGeometry(16, 10, 356, 20);
  SavePath_L = new QLabel(Text(l, "Save path", "保存路径"), this);
  SavePath_L->setObjectName("SavePath_L");
  SavePath_L->setGeometry(16, 38, 70, 20);
  Path_E = new QLineEdit(QString::fromStdString(options.folder), this);
  Path_E->setObjectName("Path_E");
  Path_E->setGeometry(90, 36, 250, 22);
  Other_SB = new QToolButton(this);
  Other_SB->setObjectName("Other_SB");
  Other_SB->setText("...");
  Other_SB->setGeometry(346, 36, 26, 22);
  SaveType_L = new QLabel(Text(l, "Save type", "保存类型"), this);
  SaveType_L->setObjectName("SaveType_L");
  SaveType_L->setGeometry(16, 66, 70, 20);
  SaveType_Cob = new QComboBox(this);
  SaveType_Cob->setObjectName("SaveType_Cob");
  SaveType_Cob->addItems({".bmp", ".jpg"});
  SaveType_Cob->setCurrentIndex(options.type == ".jpg" ? 1 : 0);
  SaveType_Cob->setGeometry(90, 64, 90, 22);
  SaveAsDef_CB = new QCheckBox("Save as default", this);
  SaveAsDef_CB->setObjectName("SaveAsDef_CB");
  SaveAsDef_CB->setGeometry(200, 66, 172, 20);
  DontAsk_CB = new QCheckBox(
      Text(l, "Don't ask again, use default option.", "不要再询问，直接使用默认选项。"), this);
  DontAsk_CB->setObjectName("DontAsk_CB");
  DontAsk_CB->setGeometry(16, 96, 356, 20);
  DontAsk_CB->setChecked(options.dontAsk);
  Save_Btn = new QPushButton(Text(l, "Save", "保存"), this);
  Save_Btn->setObjectName("Save_Btn");
  Save_Btn->setGeometry(292, 126, 80, 26);
  Save_Btn->setDefault(true);

  UseDef_CB->setChecked(true);
  UseDef_CBClick();
  connect(UseDef_CB, &QCheckBox::toggled, this, [this] { UseDef_CBClick(); });
  connect(Other_SB, &QToolButton::clicked, this, [this] { Other_SBClick(); });
  connect(SaveAsDef_CB, &QCheckBox::toggled, this, [this](bool checked) {
    if (checked && options_.saveAsDefault)
      options_.saveAsDefault(Path_E->text().toStdString(), SaveType_Cob->currentText().toStdString());
  });
  // Every click stores the answer, not only the final state.
  connect(DontAsk_CB, &QCheckBox::clicked, this, [this](bool checked) {
    if (options_.dontAskChanged) options_.dontAskChanged(checked);
  });
  connect(Save_Btn, &QPushButton::clicked, this, [this] { Save_BtnClick(); });
  chooseFolder = [this](const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(this, title, start);
  };
}

void TSaveOption_Form::UseDef_CBClick() {
  const bool own = !UseDef_CB->isChecked();
  for (QWidget* w : {static_cast<QWidget*>(Path_E), static_cast<QWidget*>(Other_SB),
                     static_cast<QWidget*>(SaveType_Cob)})
    w->setEnabled(own);
}

void TSaveOption_Form::Other_SBClick() {
  const QString folder = chooseFolder("Please select a path:", Path_E->text());
  if (!folder.isEmpty()) Path_E->setText(folder);
}

void TSaveOption_Form::Save_BtnClick() {
  ChosenFolder = Path_E->text();
  ChosenType = SaveType_Cob->currentText();
  accept();
}

}  // namespace capture
