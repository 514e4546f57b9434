#include "platform/desktop/layoutfollow.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <algorithm>

#include "platform/desktop/gnomelayoutfollow.h"
#include "platform/desktop/kdekeyboard.h"
#include "platform/system.h"

namespace ks {

int groupOfLayout(const std::vector<XkbLayoutName>& keymap, const XkbLayoutName& active,
                  int index) {
  int sameLayout = -1, sameLayouts = 0;
  for (size_t g = 0; g < keymap.size(); ++g) {
    if (keymap[g].layout.empty() || keymap[g].layout != active.layout) continue;
    if (keymap[g].variant == active.variant) return static_cast<int>(g);
    sameLayout = static_cast<int>(g);
    ++sameLayouts;
  }
  if (sameLayouts == 1) return sameLayout;
  // Groups are counted to four in a keymap; without its names, any of those may be.
  const int groups = keymap.empty() ? 4 : static_cast<int>(keymap.size());
  return index >= 0 && index < groups ? index : -1;
}

int gnomeActiveGroup(const InputSources& mru, const InputSources& sources,
                     const std::vector<XkbLayoutName>& keymap) {
  const InputSources& from = mru.empty() ? sources : mru;
  if (from.empty() || from.front().first != "xkb") return -1;
  const std::string& id = from.front().second;  // "de+nodeadkeys"
  const size_t plus = id.find('+');
  const XkbLayoutName active{id.substr(0, plus),
                             plus == std::string::npos ? std::string() : id.substr(plus + 1)};
  int index = -1;
  for (size_t i = 0; i < sources.size() && index < 0; ++i)
    if (sources[i] == from.front()) index = static_cast<int>(i);
  return groupOfLayout(keymap, active, index);
}

KdeLayoutFollow::KdeLayoutFollow(GroupSink onGroup, KeymapLayouts keymap)
    : onGroup_(std::move(onGroup)), keymap_(std::move(keymap)) {}

bool KdeLayoutFollow::start() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || !bus.interface() ||
      !bus.interface()->isServiceRegistered(kKdeKeyboardService).value())
    return false;
  bus.connect(kKdeKeyboardService, kKdeKeyboardPath, kKdeKeyboardInterface, "layoutChanged", this,
              SLOT(layoutChanged(uint)));
  bus.connect(kKdeKeyboardService, kKdeKeyboardPath, kKdeKeyboardInterface, "layoutListChanged",
              this, SLOT(layoutListChanged()));
  // Asked without waiting: the service may take its time, and the monitor has keys to read.
  auto* w = new QDBusPendingCallWatcher(bus.asyncCall(kdeKeyboardCall("getLayout"), 2000), this);
  connect(w, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* c) {
    c->deleteLater();
    QDBusPendingReply<uint> reply = *c;
    // A switch heard meanwhile is newer than this answer.
    if (reply.isError() || heard_) return;
    index_ = static_cast<int>(std::min(reply.value(), 64u));
    report();
  });
  askLayouts();
  return true;
}

void KdeLayoutFollow::askLayouts() {
  auto* w = new QDBusPendingCallWatcher(
      QDBusConnection::sessionBus().asyncCall(kdeKeyboardCall("getLayoutsList"), 2000), this);
  connect(w, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* c) {
    c->deleteLater();
    listAsked_ = true;
    const QDBusMessage reply = c->reply();
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty() ||
        !reply.arguments().first().canConvert<QDBusArgument>())
      return;
    const QDBusArgument list = reply.arguments().first().value<QDBusArgument>();
    if (list.currentSignature() != "a(sss)") return;
    std::vector<XkbLayoutName> layouts;
    list.beginArray();
    while (!list.atEnd()) {
      QString name, variant, description;
      list.beginStructure();
      list >> name >> variant >> description;
      list.endStructure();
      layouts.push_back({name.toStdString(), variant.toStdString()});
    }
    list.endArray();
    layouts_ = std::move(layouts);
    report();
  });
}

void KdeLayoutFollow::layoutChanged(uint index) {
  heard_ = true;
  index_ = static_cast<int>(std::min(index, 64u));  // past the keymap's groups: none of them
  report();
}

void KdeLayoutFollow::layoutListChanged() {
  askLayouts();
}

void KdeLayoutFollow::report() {
  // The index alone may name another layout than the list would: the first answer waits for it.
  if (index_ < 0 || !listAsked_) return;
  const auto at = static_cast<size_t>(index_);
  // Without the service's list, its index is the keymap's group.
  const XkbLayoutName active = at < layouts_.size() ? layouts_[at] : XkbLayoutName{};
  onGroup_(groupOfLayout(keymap_ ? keymap_() : std::vector<XkbLayoutName>{}, active, index_));
}

std::unique_ptr<LayoutFollow> followDesktopLayout(GroupSink onGroup, KeymapLayouts keymap) {
  auto kde = std::make_unique<KdeLayoutFollow>(onGroup, keymap);
  if (kde->start()) return kde;
  if (envOr("XDG_CURRENT_DESKTOP", "").find("GNOME") != std::string::npos)
    return GnomeLayoutFollow::start(std::move(onGroup), std::move(keymap));
  return nullptr;
}

}  // namespace ks
