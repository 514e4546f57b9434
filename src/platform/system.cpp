#include "platform/system.h"

#include <cstdlib>
#include <system_error>

namespace ks {

std::filesystem::path programFilePath() {
  std::error_code ec;
  auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path("keyscholar") : path;
}

std::string envOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::string(value) : fallback;
}

}  // namespace ks

namespace ks {

bool displayAvailable() {
  std::string platform = envOr("QT_QPA_PLATFORM", "");
  if (!platform.empty() && platform.rfind("xcb", 0) != 0 && platform.rfind("wayland", 0) != 0)
    return true;
  return !envOr("DISPLAY", "").empty() || !envOr("WAYLAND_DISPLAY", "").empty();
}

void preferNativeWayland() {
  if (!envOr("QT_QPA_PLATFORM", "").empty() || envOr("WAYLAND_DISPLAY", "").empty()) return;
  ::setenv("QT_QPA_PLATFORM", "wayland;xcb", 1);
}

}  // namespace ks
