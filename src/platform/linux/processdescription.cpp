// Names the programs the monitor sees: the executable from /proc, the description from the
// desktop entries the menus use.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <vector>

#include "platform/linux/processdescription.h"
#include "text/cp1252.h"
#include "text/textutil.h"

namespace ks {
namespace {

namespace fs = std::filesystem;

struct DesktopEntry {
  std::string name, exec, tryExec, wmClass;
};

std::string baseOfCommand(const std::string& command) {
  std::string first = command.substr(0, command.find(' '));
  if (!first.empty() && first.front() == '"') first = first.substr(1, first.find('"', 1) - 1);
  return first.substr(first.rfind('/') + 1);
}

std::vector<DesktopEntry> readDesktopEntries() {
  std::vector<std::string> dirs;
  const char* home = std::getenv("XDG_DATA_HOME");
  const char* user = std::getenv("HOME");
  dirs.push_back(home && *home ? home : std::string(user ? user : "") + "/.local/share");
  const char* sys = std::getenv("XDG_DATA_DIRS");
  std::string list = sys && *sys ? sys : "/usr/local/share:/usr/share";
  for (size_t at = 0; at <= list.size();) {
    const size_t end = std::min(list.find(':', at), list.size());
    if (end > at) dirs.push_back(list.substr(at, end - at));
    at = end + 1;
  }
  std::vector<DesktopEntry> out;
  for (const std::string& d : dirs) {
    std::error_code ec;
    for (fs::recursive_directory_iterator it(fs::path(d) / "applications", ec), end;
         !ec && it != end; it.increment(ec)) {
      if (it->path().extension() != ".desktop") continue;
      std::ifstream in(it->path());
      DesktopEntry e;
      bool main = false;
      for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] == '[') main = line == "[Desktop Entry]";
        if (!main) continue;
        auto value = [&](const char* key) {
          const std::string k = std::string(key) + "=";
          return line.rfind(k, 0) == 0 ? line.substr(k.size()) : std::string();
        };
        if (auto v = value("Name"); !v.empty() && e.name.empty()) e.name = v;
        if (auto v = value("Exec"); !v.empty()) e.exec = baseOfCommand(v);
        if (auto v = value("TryExec"); !v.empty()) e.tryExec = baseOfCommand(v);
        if (auto v = value("StartupWMClass"); !v.empty()) e.wmClass = v;
      }
      if (!e.name.empty()) out.push_back(std::move(e));
    }
  }
  return out;
}

const std::vector<DesktopEntry>& desktopEntries() {
  static std::once_flag once;
  static std::vector<DesktopEntry> entries;
  std::call_once(once, [] { entries = readDesktopEntries(); });
  return entries;
}

}  // namespace

ProgramSeen describeProcess(uint32_t pid, const std::string& windowClass) {
  ProgramSeen seen;
  seen.pid = pid;
  char link[4096];
  const std::string proc = "/proc/" + std::to_string(pid) + "/exe";
  const ssize_t n = readlink(proc.c_str(), link, sizeof link - 1);
  if (n <= 0) return seen;
  std::string exe(link, static_cast<size_t>(n));
  if (exe.size() > 10 && exe.ends_with(" (deleted)")) exe.resize(exe.size() - 10);
  const size_t slash = exe.rfind('/');
  const std::string file = exe.substr(slash + 1);
  seen.name = utf8ToCp1252(file);
  seen.folder = utf8ToCp1252(exe.substr(0, slash + 1));
  std::string description;
  for (const DesktopEntry& e : desktopEntries()) {
    if (e.exec == file || e.tryExec == file ||
        (!windowClass.empty() && lowerCase(e.wmClass) == lowerCase(windowClass))) {
      description = e.name;
      break;
    }
  }
  if (description.empty()) description = windowClass;
  if (description.empty()) description = file;
  seen.description = utf8ToCp1252(description).substr(0, 255);
  return seen;
}

}  // namespace ks
