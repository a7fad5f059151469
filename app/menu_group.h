#pragma once
// Menu items that act as one choice: the position of the checked item is
// the value stored for the group.
#include <QAction>
#include <functional>
#include <vector>

namespace app {

class MenuGroup {
 public:
  MenuGroup() = default;
  explicit MenuGroup(std::vector<QAction*> items) : items_(std::move(items)) {
    for (QAction* a : items_) a->setCheckable(true);
  }
  const std::vector<QAction*>& items() const { return items_; }
  QAction* at(std::size_t i) const { return items_[i]; }

  void DisableAll() { SetEnabled(false); }
  void EnableAll() { SetEnabled(true); }
  void UncheckAll() {
    for (QAction* a : items_) a->setChecked(false);
  }
  // Every item runs the handler with itself.
  void SetClickHandler(const std::function<void(QAction*)>& handler) {
    for (QAction* a : items_) QObject::connect(a, &QAction::triggered, a, [a, handler] { handler(a); });
  }

  // Unchecks the group and checks the item at `index` (none when out of range).
  void CheckOnly(int index) {
    UncheckAll();
    if (index >= 0 && index < static_cast<int>(items_.size())) items_[index]->setChecked(true);
  }
  // The position of the first checked item, -1 when none is.
  int CheckedIndex() const {
    for (std::size_t i = 0; i < items_.size(); ++i)
      if (items_[i]->isChecked()) return static_cast<int>(i);
    return -1;
  }
  int IndexOf(const QAction* item) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
      if (items_[i] == item) return static_cast<int>(i);
    return -1;
  }

 private:
  void SetEnabled(bool on) {
    for (QAction* a : items_) a->setEnabled(on);
  }
  std::vector<QAction*> items_;
};

}  // namespace app
