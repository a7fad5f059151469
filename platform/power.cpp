#include "platform/power.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <cstdio>

namespace platform {

namespace {
class LogindPower final : public PowerLayer {
 public:
  bool PowerOff() override {
    QDBusMessage call = QDBusMessage::createMethodCall(
        "org.freedesktop.login1", "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
        "PowerOff");
    // Interactive, so a desktop that wants a password can ask for it.
    call << true;
    const QDBusMessage reply = QDBusConnection::systemBus().call(call, QDBus::Block, 25000);
    if (reply.type() == QDBusMessage::ErrorMessage) {
      std::fprintf(stderr, "power off refused: %s\n", qPrintable(reply.errorMessage()));
      return false;
    }
    return true;
  }
};
}  // namespace

PowerLayer& SystemPower() {
  static LogindPower power;
  return power;
}

}  // namespace platform
