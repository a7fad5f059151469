#include <QDialog>
#include <algorithm>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "companion/velmor/dialog_text.h"
#include "companion/velmor/velmor_use_window.h"
#include "platform/power.h"

namespace velmor {

namespace {
QString CountdownText(int language, int seconds) {
  return language == 1 ? QString("The system will shut down in %1 s.").arg(seconds)
                       : QString::fromUtf8("系统将在 %1 秒后关闭。").arg(seconds);
}
}  // namespace

bool RunShutDownDelay(QWidget* owner, int language, int seconds, platform::PowerLayer& power) {
  QDialog dialog(owner);
  dialog.setObjectName("ShutDownDelayForm");
  dialog.setWindowTitle(Text(language, "关闭系统", "Shut down"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* message = new QLabel(CountdownText(language, seconds), &dialog);
  message->setObjectName("Countdown_L");
  layout->addWidget(message);
  auto* progress = new QProgressBar(&dialog);
  progress->setRange(0, std::max(seconds, 1));
  progress->setValue(seconds);
  progress->setTextVisible(false);
  layout->addWidget(progress);
  auto* row = new QHBoxLayout;
  row->addStretch();
  auto* now = new QPushButton(Text(language, "立即关闭", "Shut down now"), &dialog);
  now->setObjectName("Now_B");
  auto* cancel = new QPushButton(Text(language, "取消", "Cancel"), &dialog);
  cancel->setObjectName("Cancel_B");
  cancel->setDefault(true);
  row->addWidget(now);
  row->addWidget(cancel);
  layout->addLayout(row);

  bool poweredOff = false;
  int left = seconds;
  QTimer tick;
  auto shutDown = [&] {
    tick.stop();
    poweredOff = power.PowerOff();
    if (poweredOff) return dialog.accept();
    // Say so instead of vanishing as if it had worked.
    message->setText(Text(language, "系统拒绝关闭。", "The system refused to shut down."));
    now->setEnabled(false);
    cancel->setText(Text(language, "关闭", "Close"));
  };
  QObject::connect(&tick, &QTimer::timeout, &dialog, [&] {
    --left;
    progress->setValue(std::max(left, 0));
    message->setText(CountdownText(language, std::max(left, 0)));
    if (left <= 0) shutDown();
  });
  QObject::connect(now, &QPushButton::clicked, &dialog, shutDown);
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  if (seconds <= 0)
    QTimer::singleShot(0, &dialog, shutDown);
  else
    tick.start(1000);
  dialog.exec();
  tick.stop();
  return poweredOff;
}

void CreateShutDownDelayForm(QWidget* owner, int language) {
  RunShutDownDelay(owner, language, kShutDownDelaySeconds, platform::SystemPower());
}

}  // namespace velmor
