#include "store/autostart.h"

#include <pwd.h>
#include <unistd.h>

#include <system_error>

#include "platform/sharedfile.h"
#include "platform/system.h"
#include "store/errors.h"
#include "store/langres.h"
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

std::string MakeAutoStartable(const std::filesystem::path& programPath) {
  if (!workstationSettings || !workstationSettings->file().opened()) return {};
  const std::filesystem::path file = AutoStartFile();
  const bool wanted = workstationSettings->ReadBool("LaunchAtStartup." + LoginName());
  std::error_code ec;
  std::string failure;
  if (wanted) {
    std::error_code made;
    std::filesystem::create_directories(file.parent_path(), made);
    if (!std::filesystem::is_directory(file.parent_path(), ec)) {
      failure = made ? made.message() : "the folder could not be made";
    } else if (!writeWholeFile(
                   file,
                   "[Desktop Entry]\nType=Application\nName=Quillstroker Sidewatch\nExec=" +
                       quotedExec(programPath.string()) +
                       "\nIcon=org.quillstroker.Tapwatch\nX-GNOME-Autostart-enabled=true\n")) {
      failure = takeWriteFailure();
      if (failure.empty()) failure = "the file could not be opened for writing";
    }
  } else if (!std::filesystem::remove(file, ec) && ec && ec != std::errc::not_a_directory) {
    failure = ec.message();  // a folder that is none holds no entry either
  }
  if (!failure.empty()) LogError(-5, file.string() + ": " + failure);
  return utf8ToCp1252(failure);
}

std::string AutoStartFailureText(const std::string& failure) {
  return Localize().GetString(2601) + failure + ".";
}

}  // namespace ks
