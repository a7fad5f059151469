#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>
#include <cstdio>

#include "companion/velmor/dialog_text.h"
#include "companion/velmor/velmor_use_window.h"

namespace velmor {

namespace {
// One entry per line, replaced as a whole so a crash never leaves half a list.
bool WriteHistoryTemp(const QListWidget& list) {
  QSaveFile file(QCoreApplication::applicationDirPath() + "/HistoryTemp");
  if (!file.open(QIODevice::WriteOnly)) return false;
  for (int i = 0; i < list.count(); ++i) {
    file.write(list.item(i)->text().toUtf8());
    file.write("\n");
  }
  return file.commit();
}

void MoveCurrent(QListWidget* list, int step) {
  const int row = list->currentRow();
  const int target = row + step;
  if (row < 0 || target < 0 || target >= list->count()) return;
  list->insertItem(target, list->takeItem(row));
  list->setCurrentRow(target);
}
}  // namespace

void CreateManageHistoryForm(QWidget* owner, const std::vector<std::string>& history,
                             std::int32_t* changed, int language) {
  if (changed) *changed = 0;
  QDialog dialog(owner);
  dialog.setObjectName("ManageHistoryForm");
  dialog.setWindowTitle(Text(language, "管理历史记录", "Manage history"));
  auto* layout = new QHBoxLayout(&dialog);
  auto* list = new QListWidget(&dialog);
  list->setObjectName("History_LB");
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  for (const std::string& entry : history) list->addItem(QString::fromStdString(entry));
  layout->addWidget(list, 1);

  auto* side = new QVBoxLayout;
  auto button = [&](const char* name, const char* chinese, const char* english) {
    auto* b = new QPushButton(Text(language, chinese, english), &dialog);
    b->setObjectName(name);
    b->setAutoDefault(false);
    side->addWidget(b);
    return b;
  };
  QObject::connect(button("Remove_B", "删除所选", "Remove selected"), &QPushButton::clicked, [list] {
    qDeleteAll(list->selectedItems());
  });
  QObject::connect(button("Clear_B", "全部清除", "Clear all"), &QPushButton::clicked, list,
                   &QListWidget::clear);
  QObject::connect(button("Up_B", "上移", "Move up"), &QPushButton::clicked,
                   [list] { MoveCurrent(list, -1); });
  QObject::connect(button("Down_B", "下移", "Move down"), &QPushButton::clicked,
                   [list] { MoveCurrent(list, 1); });
  side->addStretch();
  auto* buttons = OkCancel(dialog, language);
  side->addWidget(buttons);
  layout->addLayout(side);
  dialog.resize(520, 320);

  if (dialog.exec() != QDialog::Accepted) return;
  if (!WriteHistoryTemp(*list)) {
    std::fprintf(stderr, "cannot write the edited history next to the program\n");
    return;
  }
  if (changed) *changed = 1;
}

}  // namespace velmor
