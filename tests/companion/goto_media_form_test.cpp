// The go-to dialog driven as a user would: fill in a time and press OK, or cancel.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <functional>

#include "companion/velmor/velmor_use_window.h"

namespace {
// Runs `act` on the go-to dialog once it is shown modally.
void WhenShown(std::function<void(QDialog&)> act) {
  QTimer::singleShot(0, [act] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->objectName() == "GotoMediaForm")
        return act(*dialog);
  });
}
void Set(QDialog& d, const char* name, int value) { d.findChild<QSpinBox*>(name)->setValue(value); }
}  // namespace

TEST(GotoMediaForm, ReturnsTheTimeInSecondsOrTheCancelFlag) {
  std::int64_t position = -1;
  std::uint8_t cancelled = 9;
  WhenShown([](QDialog& d) {
    Set(d, "Hour_E", 1);
    Set(d, "Minute_E", 2);
    Set(d, "Second_E", 3);
    d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  });
  // Two hours of media in 100-ns units.
  velmor::CreateGotoMediaForm(nullptr, 2, 7200LL * 10000000, 1, &position, &cancelled);
  EXPECT_EQ(position, 3723);
  EXPECT_EQ(cancelled, 0);

  // Beyond a DVD title's 100 s (in seconds): the end.
  WhenShown([](QDialog& d) {
    Set(d, "Minute_E", 5);
    d.accept();
  });
  velmor::CreateGotoMediaForm(nullptr, 1, 100, 2, &position, &cancelled);
  EXPECT_EQ(position, 100);

  position = 42;
  WhenShown([](QDialog& d) {
    Set(d, "Second_E", 7);
    d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
  });
  velmor::CreateGotoMediaForm(nullptr, 2, 7200LL * 10000000, 3, &position, &cancelled);
  EXPECT_EQ(cancelled, 1);
  EXPECT_EQ(position, 42);
}
