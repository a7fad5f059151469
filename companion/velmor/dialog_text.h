#pragma once
// Pieces every dialog of the library shares.
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QString>

namespace velmor {

// Language 1 is English; every other code shows Chinese.
inline QString Text(int language, const char* chinese, const char* english) {
  return QString::fromUtf8(language == 1 ? english : chinese);
}

// OK and Cancel in the dialog's language, wired to accept and reject.
inline QDialogButtonBox* OkCancel(QDialog& dialog, int language) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Ok)->setText(Text(language, "确定", "OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(Text(language, "取消", "Cancel"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  return buttons;
}

}  // namespace velmor
