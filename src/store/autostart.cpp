#include "store/autostart.h"

#include <pwd.h>
#include <unistd.h>

#include "platform/sharedfile.h"
#include "platform/system.h"
#include "store/qssettings.h"
#include "text/cp1252.h"

namespace ks {
namespace {

// A path quoted for the Exec key of a desktop entry.
std::string quotedExec(const std::string& path) {
  std::string out = "\"";
  for (char c : path) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

}  // namespace

std::filesystem::path AutoStartFile() {
  std::filesystem::path config = envOr("XDG_CONFIG_HOME", "");
  if (config.empty()) config = std::filesystem::path(envOr("HOME", "/")) / ".config";
  // The id of the monitor's desktop entry (desktop/), so the desktop treats both as one program.
  return config / "autostart" / "org.quillstroker.Tapwatch.desktop";
}

std::string LoginName() {
  const passwd* pw = ::getpwuid(::geteuid());
  const std::string name = pw && pw->pw_name ? pw->pw_name : envOr("USER", "");
  return utf8ToCp1252(name);
}

void MakeAutoStartable(const std::filesystem::path& programPath) {
  if (!workstationSettings || !workstationSettings->file().opened()) return;
  const std::filesystem::path file = AutoStartFile();
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  if (!std::filesystem::is_directory(file.parent_path(), ec)) return;
  if (workstationSettings->ReadBool("LaunchAtStartup." + LoginName())) {
    writeWholeFile(file, "[Desktop Entry]\nType=Application\nName=Quillstroker Sidewatch\nExec=" +
                             quotedExec(programPath.string()) +
                             "\nIcon=org.quillstroker.Tapwatch\nX-GNOME-Autostart-enabled=true\n");
  } else {
    std::filesystem::remove(file, ec);
  }
}

}  // namespace ks
