#pragma once
// Powering the system off, through the session manager of the desktop.

namespace platform {

class PowerLayer {
 public:
  virtual ~PowerLayer() = default;
  // True when the request was accepted.
  virtual bool PowerOff() = 0;
};

// systemd-logind on the system bus (DBUS_SYSTEM_BUS_ADDRESS moves it).
PowerLayer& SystemPower();

}  // namespace platform
