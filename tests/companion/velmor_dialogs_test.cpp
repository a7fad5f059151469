// The library's dialogs driven as a user would, under the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <functional>

#include "companion/velmor/velmor_use_window.h"
#include "platform/power.h"

namespace {
// Runs `act` on the named dialog once it is shown modally.
void WhenShown(std::function<void(QDialog&)> act, const char* name = "GotoMediaForm") {
  QTimer::singleShot(0, [act, name] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->objectName() == name)
        return act(*dialog);
  });
}
void Click(QDialog& d, const char* name) { d.findChild<QPushButton*>(name)->click(); }

struct CountingPower : platform::PowerLayer {
  int calls = 0;
  bool accept = true;
  bool PowerOff() override {
    ++calls;
    return accept;
  }
};
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

TEST(ManageHistoryForm, WritesTheEditedListAndSetsTheFlagOnlyOnOk) {
  const QString temp = QCoreApplication::applicationDirPath() + "/HistoryTemp";
  QFile::remove(temp);
  const std::vector<std::string> history = {"/m/a.mp4", "/m/b.mp3", "/m/c.avi", "/m/视频.mkv"};
  std::int32_t changed = 7;
  WhenShown(
      [](QDialog& d) {
        auto* list = d.findChild<QListWidget*>("History_LB");
        list->setCurrentRow(1);
        Click(d, "Remove_B");  // b
        list->setCurrentRow(2);
        Click(d, "Up_B");  // 视频 before c
        Click(d, "Up_B");  // and before a
        Click(d, "Up_B");  // already first: stays
        d.accept();
      },
      "ManageHistoryForm");
  velmor::CreateManageHistoryForm(nullptr, history, &changed, 2);
  EXPECT_EQ(changed, 1);
  QFile file(temp);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(file.readAll()), QString::fromUtf8("/m/视频.mkv\n/m/a.mp4\n/m/c.avi\n"));
  file.close();

  // Cancel leaves the file alone and reports no change.
  WhenShown([](QDialog& d) { Click(d, "Clear_B");
    d.reject(); }, "ManageHistoryForm");
  velmor::CreateManageHistoryForm(nullptr, history, &changed, 1);
  EXPECT_EQ(changed, 0);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll().count('\n'), 3);
  file.close();

  // Clearing everything is a change to an empty list.
  WhenShown([](QDialog& d) { Click(d, "Clear_B");
    d.accept(); }, "ManageHistoryForm");
  velmor::CreateManageHistoryForm(nullptr, history, &changed, 2);
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(QFile(temp).size(), 0);
  QFile::remove(temp);
}

TEST(MediaPropertyForm, ShowsWhatItIsGiven) {
  WhenShown(
      [](QDialog& d) {
        EXPECT_EQ(d.findChild<QLabel*>("Path_L")->text(), QString::fromUtf8("/媒体/clip.mp4"));
        EXPECT_EQ(d.findChild<QLabel*>("Duration_L")->text(), "1:23:45");
        EXPECT_EQ(d.findChild<QLabel*>("Size_L")->text(), "720 x 576");
        EXPECT_TRUE(d.findChild<QLabel*>("FrameRate_L")->text().startsWith("25.000"));
        d.accept();
      },
      "MediaPropertyForm");
  velmor::CreateMediaPropertyForm(nullptr, "/媒体/clip.mp4", "1:23:45", 720, 576, 25.0, 2);
}

TEST(ShutDownDelayForm, CountsDownToOnePowerOffUnlessCancelled) {
  CountingPower power;
  QElapsedTimer clock;
  clock.start();
  EXPECT_TRUE(velmor::RunShutDownDelay(nullptr, 2, 2, power));
  EXPECT_EQ(power.calls, 1);
  EXPECT_GE(clock.elapsed(), 1900);

  // Cancelled during the countdown: the timer never fires the request.
  WhenShown([](QDialog& d) { Click(d, "Cancel_B"); }, "ShutDownDelayForm");
  EXPECT_FALSE(velmor::RunShutDownDelay(nullptr, 2, 1, power));
  QElapsedTimer settle;
  settle.start();
  while (settle.elapsed() < 1300) QCoreApplication::processEvents();
  EXPECT_EQ(power.calls, 1);

  // A refused request keeps the dialog up with the reason until it is closed.
  power.accept = false;
  WhenShown(
      [](QDialog& d) {
        Click(d, "Now_B");
        EXPECT_TRUE(d.isVisible());
        EXPECT_NE(d.findChild<QLabel*>("Countdown_L")->text().indexOf(QString::fromUtf8("拒绝")), -1);
        Click(d, "Cancel_B");
      },
      "ShutDownDelayForm");
  EXPECT_FALSE(velmor::RunShutDownDelay(nullptr, 2, 30, power));
  EXPECT_EQ(power.calls, 2);
}

// The real power layer against a fake logind on a private bus standing in for the system bus.
TEST(ShutDownDelayForm, AsksLogindToPowerOffExactlyOnce) {
  QTemporaryDir dir;
  const QString bus = "unix:path=" + dir.filePath("system_bus");
  QProcess daemon, logind;
  daemon.start("dbus-daemon", {"--session", "--nofork", "--address=" + bus});
  ASSERT_TRUE(daemon.waitForStarted());
  qputenv("DBUS_SYSTEM_BUS_ADDRESS", bus.toUtf8());
  QElapsedTimer wait;
  wait.start();
  while (!QFile::exists(dir.filePath("system_bus")) && wait.elapsed() < 5000) QThread::msleep(20);
  const QString log = dir.filePath("logind.log");
  logind.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  logind.start("/usr/bin/python3", {"-m", "dbusmock", "--system", "--template", "logind", "-l", log});
  ASSERT_TRUE(logind.waitForStarted());
  QDBusConnection system = QDBusConnection::systemBus();
  ASSERT_TRUE(system.isConnected());
  wait.restart();
  while (!system.interface()->isServiceRegistered("org.freedesktop.login1") && wait.elapsed() < 15000)
    QThread::msleep(50);
  ASSERT_TRUE(system.interface()->isServiceRegistered("org.freedesktop.login1"))
      << "python3-dbusmock's logind template did not come up";

  // Cancelled: nothing is asked of logind.
  WhenShown([](QDialog& d) { Click(d, "Cancel_B"); }, "ShutDownDelayForm");
  velmor::CreateShutDownDelayForm(nullptr, 2);
  EXPECT_TRUE(velmor::RunShutDownDelay(nullptr, 2, 1, platform::SystemPower()));

  logind.terminate();
  logind.waitForFinished();
  daemon.terminate();
  daemon.waitForFinished();
  QFile file(log);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString calls = QString::fromUtf8(file.readAll());
  EXPECT_EQ(calls.count(" PowerOff "), 1) << qPrintable(calls);
  EXPECT_EQ(calls.count("Reboot"), 0);
}
