#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "companion/velmor/velmor_use_window.h"

namespace velmor {

namespace {
QString T(int language, const char* chinese, const char* english) {
  return language == 1 ? QString::fromUtf8(english) : QString::fromUtf8(chinese);
}
}  // namespace

void CreateGotoMediaForm(QWidget* owner, int language, std::int64_t totalLength, int playType,
                         std::int64_t* position, std::uint8_t* cancelled) {
  if (cancelled) *cancelled = 1;
  const std::int64_t total =
      std::max<std::int64_t>(0, playType == 2 ? totalLength : (totalLength + 5000000) / 10000000);
  QDialog dialog(owner);
  dialog.setObjectName("GotoMediaForm");
  dialog.setWindowTitle(T(language, "跳转到", "Go to"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* length = new QLabel(&dialog);
  length->setObjectName("Length_L");
  length->setText(T(language, "总长度: ", "Length: ") +
                  QString::asprintf("%lld:%02lld:%02lld", static_cast<long long>(total / 3600),
                                    static_cast<long long>(total % 3600 / 60),
                                    static_cast<long long>(total % 60)));
  layout->addWidget(length);
  auto* row = new QHBoxLayout;
  QSpinBox* boxes[3];
  const char* names[] = {"Hour_E", "Minute_E", "Second_E"};
  const QString units[] = {T(language, "时", "h"), T(language, "分", "min"), T(language, "秒", "s")};
  for (int i = 0; i < 3; ++i) {
    boxes[i] = new QSpinBox(&dialog);
    boxes[i]->setObjectName(names[i]);
    boxes[i]->setRange(0, i == 0 ? static_cast<int>(std::min<std::int64_t>(total / 3600, 99999)) : 59);
    row->addWidget(boxes[i]);
    row->addWidget(new QLabel(units[i], &dialog));
  }
  layout->addLayout(row);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Ok)->setText(T(language, "确定", "OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(T(language, "取消", "Cancel"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return;
  const std::int64_t chosen = std::int64_t(boxes[0]->value()) * 3600 + boxes[1]->value() * 60 +
                              boxes[2]->value();
  // A time past the end goes to the end.
  if (position) *position = std::min(chosen, total);
  if (cancelled) *cancelled = 0;
}

}  // namespace velmor
