#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "companion/velmor/dialog_text.h"
#include "companion/velmor/velmor_use_window.h"

namespace velmor {

void CreateGotoMediaForm(QWidget* owner, int language, std::int64_t totalLength, int playType,
                         std::int64_t* position, std::uint8_t* cancelled) {
  if (cancelled) *cancelled = 1;
  const std::int64_t total =
      std::max<std::int64_t>(0, playType == 2 ? totalLength : (totalLength + 5000000) / 10000000);
  QDialog dialog(owner);
  dialog.setObjectName("GotoMediaForm");
  dialog.setWindowTitle(Text(language, "跳转到", "Go to"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* length = new QLabel(&dialog);
  length->setObjectName("Length_L");
  length->setText(Text(language, "总长度: ", "Length: ") +
                  QString::asprintf("%lld:%02lld:%02lld", static_cast<long long>(total / 3600),
                                    static_cast<long long>(total % 3600 / 60),
                                    static_cast<long long>(total % 60)));
  layout->addWidget(length);
  auto* row = new QHBoxLayout;
  QSpinBox* boxes[3];
  const char* names[] = {"Hour_E", "Minute_E", "Second_E"};
  const QString units[] = {Text(language, "时", "h"), Text(language, "分", "min"), Text(language, "秒", "s")};
  for (int i = 0; i < 3; ++i) {
    boxes[i] = new QSpinBox(&dialog);
    boxes[i]->setObjectName(names[i]);
    boxes[i]->setRange(0, i == 0 ? static_cast<int>(std::min<std::int64_t>(total / 3600, 99999)) : 59);
    row->addWidget(boxes[i]);
    row->addWidget(new QLabel(units[i], &dialog));
  }
  layout->addLayout(row);
  layout->addWidget(OkCancel(dialog, language));
  if (dialog.exec() != QDialog::Accepted) return;
  const std::int64_t chosen = std::int64_t(boxes[0]->value()) * 3600 + boxes[1]->value() * 60 +
                              boxes[2]->value();
  // A time past the end goes to the end.
  if (position) *position = std::min(chosen, total);
  if (cancelled) *cancelled = 0;
}

}  // namespace velmor
