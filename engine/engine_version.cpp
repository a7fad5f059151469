#include "engine/engine_version.h"

#include <cstdlib>
#include <gst/gst.h>

namespace engine {

bool AudioEngineVersionOk() {
  guint major = 0, minor = 0, micro = 0, nano = 0;
  gst_version(&major, &minor, &micro, &nano);
  // Lets a test see the warning without an old library at hand.
  if (const char* forced = std::getenv("ORVANE_FAKE_OLD_ENGINE"); forced && *forced == '1')
    return false;
  return major > 1 || (major == 1 && minor >= 22);
}

std::string AudioEngineLibraryName() { return "libgstreamer-1.0.so.0"; }

}  // namespace engine
