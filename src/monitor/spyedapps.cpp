#include "monitor/spyedapps.h"

#include <unistd.h>

#include "platform/dialogs.h"
#include "platform/sharedfile.h"
#include "text/textutil.h"

namespace ks {
namespace {

bool sameName(std::string_view a, std::string_view b) {
  return upperCase(a) == upperCase(b);
}

// A length byte, up to 255 characters, zeros after them (never stale memory).
void putShortString(std::string& out, std::string_view s) {
  const size_t n = std::min<size_t>(s.size(), 255);
  out.push_back(static_cast<char>(n));
  out.append(s.substr(0, n));
  out.append(255 - n, '\0');
}

std::string getShortString(std::string_view bytes, size_t at) {
  const auto n = static_cast<unsigned char>(bytes[at]);
  return std::string(bytes.substr(at + 1, n));
}

void putFlag(std::string& out, bool flag) {
  out.push_back(flag ? 1 : 0);
  out.push_back(0);
}

bool getFlag(std::string_view bytes, size_t at) {
  return bytes[at] != 0 || bytes[at + 1] != 0;
}

struct BuiltIn {
  const char* name;
  const char* description;
  bool hidden;
};

// Entries every new list starts with, none monitored. Hidden: the two programs themselves,
// desktop shells, screen lockers and password prompts. Terminals are shown but start excluded:
// passwords are typed there too; a learner may include them.
constexpr BuiltIn kBuiltIns[] = {
    {"TAPWATCH", "Tapwatch", true},
    {"KEYSCHOLAR", "Keyscholar", true},
    {"GNOME-SHELL", "GNOME Shell", true},
    {"PLASMASHELL", "Plasma Shell", true},
    {"XFCE4-PANEL", "Xfce Panel", true},
    {"LXPANEL", "LXDE Panel", true},
    {"TINT2", "Tint2 Panel", true},
    {"TRAYER", "Trayer", true},
    {"XSCREENSAVER", "Screen Saver", true},
    {"LIGHT-LOCKER", "Screen Locker", true},
    {"I3LOCK", "Screen Locker", true},
    {"XSECURELOCK", "Screen Locker", true},
    {"XFCE4-SCREENSAVER", "Screen Saver", true},
    {"GNOME-SCREENSAVER", "Screen Saver", true},
    {"PINENTRY", "Password Prompt", true},
    {"PINENTRY-GTK-2", "Password Prompt", true},
    {"PINENTRY-GNOME3", "Password Prompt", true},
    {"PINENTRY-QT", "Password Prompt", true},
    {"GCR-PROMPTER", "Password Prompt", true},
    {"SSH-ASKPASS", "Password Prompt", true},
    {"KSSHASKPASS", "Password Prompt", true},
    {"POLKIT-GNOME-AUTHENTICATION-AGENT-1", "Authentication Agent", true},
    {"POLKIT-KDE-AUTHENTICATION-AGENT-1", "Authentication Agent", true},
    {"LXPOLKIT", "Authentication Agent", true},
    {"KEEPASSXC", "Password Manager", true},
    {"SEAHORSE", "Password Manager", true},
    {"XTERM", "XTerm", false},
    {"GNOME-TERMINAL-SERVER", "GNOME Terminal", false},
    {"KONSOLE", "Konsole", false},
    {"XFCE4-TERMINAL", "Xfce Terminal", false},
    {"LXTERMINAL", "LXTerminal", false},
    {"MATE-TERMINAL", "MATE Terminal", false},
    {"QTERMINAL", "QTerminal", false},
    {"TERMINATOR", "Terminator", false},
    {"TILIX", "Tilix", false},
    {"ALACRITTY", "Alacritty", false},
    {"KITTY", "Kitty", false},
    {"URXVT", "Rxvt-Unicode", false},
    {"ST", "Simple Terminal", false},
};

}  // namespace

bool TAppSettings::holds(uint32_t pid) const {
  for (int i = 0; i <= position && i < static_cast<int>(pids.size()); ++i)
    if (pids[i] == pid) return true;
  return false;
}

void TAppSettings::writeRecord(std::string& out) const {
  putShortString(out, name);
  putFlag(out, monitored);
  putFlag(out, hidden);
  putShortString(out, description);
  putShortString(out, path);
}

std::unique_ptr<TAppSettings> TAppSettings::readRecord(std::string_view bytes, size_t at) {
  auto e = std::make_unique<TAppSettings>(true, getShortString(bytes, at));
  e->monitored = getFlag(bytes, at + 256);
  e->hidden = getFlag(bytes, at + 258);
  e->description = getShortString(bytes, at + 260);
  e->path = getShortString(bytes, at + 516);
  return e;
}

bool TSpyedApps::loadApps(const std::filesystem::path& file) {
  entries_.clear();
  unreadable_ = false;
  std::string bytes;
  if (!readWholeFile(file, bytes)) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return false;
    // There but unreadable: keep it, and never replace it with defaults or an empty list.
    unreadable_ = true;
    dialogs().messageBox("Cannot read " + file.string(), "QS Sidewatch", BoxKind::Error);
    return true;
  }
  if (bytes.size() % TAppSettings::RecordSize != 0)
    dialogs().messageBox("Fatal Error: SpyApps file size invalid", "QS Sidewatch", BoxKind::Error);
  for (size_t at = 0; at + TAppSettings::RecordSize <= bytes.size(); at += TAppSettings::RecordSize)
    entries_.push_back(TAppSettings::readRecord(bytes, at));
  return true;
}

bool TSpyedApps::saveApps(const std::filesystem::path& file) const {
  if (unreadable_) return false;
  std::string bytes;
  bytes.reserve(entries_.size() * TAppSettings::RecordSize);
  for (const auto& e : entries_) e->writeRecord(bytes);
  return writeWholeFile(file, bytes);
}

void TSpyedApps::add(bool monitored, std::string_view name, bool hidden, std::string_view path,
                     std::string_view description) {
  auto e = std::make_unique<TAppSettings>(monitored, upperCase(name));
  e->description =
      std::string(description.empty() ? std::string_view(e->name) : description).substr(0, 255);
  e->path = std::string(path.substr(0, 255));
  e->hidden = hidden;
  entries_.push_back(std::move(e));
}

void TSpyedApps::AddDefaults() {
  for (const BuiltIn& b : kBuiltIns) add(false, b.name, b.hidden, "", b.description);
}

TAppSettings* TSpyedApps::entry(std::string_view name) {
  for (auto& e : entries_)
    if (sameName(e->name, name)) return e.get();
  return nullptr;
}

int TSpyedApps::find(std::string_view name) const {
  for (const auto& e : entries_)
    if (sameName(e->name, name)) return e->monitored ? 1 : 0;
  return -1;
}

TAppSettings* TSpyedApps::findByProcess(uint32_t pid) {
  if (pid == 0) return nullptr;
  for (auto& e : entries_)
    if (e->holds(pid)) return e.get();
  return nullptr;
}

bool TSpyedApps::setPID(uint32_t pid, std::string_view name) {
  TAppSettings* e = entry(name);
  if (!e) return false;
  e->position = e->position > 9 ? 0 : e->position + 1;
  e->pids[e->position] = pid;
  return true;
}

bool TSpyedApps::clearProcess(TAppSettings& e, uint32_t pid) {
  for (int i = 0; i <= e.position; ++i) {
    if (e.pids[i] == pid) {
      e.pids[i] = 0;
      return true;
    }
  }
  return false;
}

bool TSpyedApps::updateSpyedState(std::string_view name, bool monitored) {
  TAppSettings* e = entry(name);
  if (!e) return false;
  e->monitored = monitored;
  return true;
}

bool TSpyedApps::running(const TAppSettings& e) {
  for (int i = 0; i <= e.position; ++i) {
    if (e.pids[i] == 0) continue;
    char link[4096];
    const std::string proc = "/proc/" + std::to_string(e.pids[i]) + "/exe";
    const ssize_t n = readlink(proc.c_str(), link, sizeof link - 1);
    if (n <= 0) continue;
    const std::string_view exe(link, static_cast<size_t>(n));
    if (sameName(exe.substr(exe.rfind('/') + 1), e.name)) return true;
  }
  return false;
}

void installSpyedAppsFactory() {
  setUserAppListFactory([] { return std::make_unique<TSpyedApps>(); });
}

}  // namespace ks
