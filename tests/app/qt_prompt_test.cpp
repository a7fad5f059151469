// The Qt face of the prompts as a user meets it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "app/qt_prompt.h"

namespace {
QMessageBox* OpenBox() { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); }
}  // namespace

TEST(QtPromptTest, AQuestionIsAnsweredByItsButtonsOnly) {
  app::QtPrompt prompt(nullptr);
  bool escaped = false, closed = false;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QTimer::singleShot(0, [&] {
    QMessageBox* box = OpenBox();
    ASSERT_TRUE(box);
    icon = box->icon();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(box, &escape);
    escaped = box->isVisible();
    box->close();  // as the window manager's close box does
    closed = box->isVisible();
    box->button(QMessageBox::Yes)->click();
  });
  EXPECT_TRUE(prompt.Ask("提示信息", "截取的图片没有保存,是否保存?"));
  EXPECT_TRUE(escaped) << "Escape answered the question";
  EXPECT_TRUE(closed) << "the close box answered the question";
  EXPECT_EQ(icon, QMessageBox::Information) << "every box of the player shows the information icon";

  QTimer::singleShot(0, [&] { OpenBox()->button(QMessageBox::No)->click(); });
  EXPECT_FALSE(prompt.Ask("提示信息", "?"));
}

TEST(QtPromptTest, FiltersShowEachPatternOnce) {
  EXPECT_EQ(app::QtFilter("Bmp Files(*.bmp)|*.bmp|Jpg Files(*.jpg)|*.jpg"),
            "Bmp Files(*.bmp);;Jpg Files(*.jpg)");
  EXPECT_EQ(app::QtFilter("Media|*.mp4;*.avi|All Files|*.*"), "Media (*.mp4 *.avi);;All Files (*.*)");
}
