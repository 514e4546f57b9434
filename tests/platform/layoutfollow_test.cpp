// The layout the desktop switches to reaches the monitor's key translation: Plasma's keyboard
// service (played by the test on a session bus of its own, dbus-run-session) and GNOME's
// input-source settings (in memory), mapped onto the keymap's groups by layout name.
#include <gio/gio.h>  // before Qt, which defines `signals` as a word
#include <gtest/gtest.h>
#include <linux/input.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QTest>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/desktop/layoutfollow.h"
#include "platform/linux/evdevinputsource.h"
#include "platform/system.h"
#include "platform/x11/xkbkeymap.h"

// GSettings in memory: nothing the test sets reaches the account's own settings.
static const bool kSettingsInMemory = setenv("GSETTINGS_BACKEND", "memory", 1) == 0;

// One layout in the list of Plasma's keyboard service.
struct KdeLayout {
  QString name, variant, description;
};
Q_DECLARE_METATYPE(KdeLayout)

QDBusArgument& operator<<(QDBusArgument& a, const KdeLayout& l) {
  a.beginStructure();
  a << l.name << l.variant << l.description;
  a.endStructure();
  return a;
}
const QDBusArgument& operator>>(const QDBusArgument& a, KdeLayout& l) {
  a.beginStructure();
  a >> l.name >> l.variant >> l.description;
  a.endStructure();
  return a;
}

namespace ks {
namespace {

template <typename F>
bool waitFor(F done) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < 10000) QTest::qWait(20);
  return done();
}

XkbLayoutName name(const char* layout, const char* variant = "") {
  return {layout, variant};
}

TEST(LayoutFollow, MapsTheDesktopsLayoutToTheKeymapsGroupByName) {
  const std::vector<XkbLayoutName> keymap{name("us"), name("de", "nodeadkeys"), name("fr")};
  EXPECT_EQ(groupOfLayout(keymap, name("de", "nodeadkeys"), 0), 1);  // the name wins
  EXPECT_EQ(groupOfLayout(keymap, name("fr"), 7), 2);
  EXPECT_EQ(groupOfLayout(keymap, name("de"), 0), 1);  // the only German group
  // Names the keymap does not have, or no names: the desktop's order.
  EXPECT_EQ(groupOfLayout(keymap, name("ru"), 2), 2);
  EXPECT_EQ(groupOfLayout(keymap, name(""), 1), 1);
  EXPECT_EQ(groupOfLayout({}, name("de"), 1), 1);
  EXPECT_EQ(groupOfLayout(keymap, name("ru"), 3), -1);  // no such group
  EXPECT_EQ(groupOfLayout({}, name("de"), 4), -1);
  EXPECT_EQ(groupOfLayout(keymap, name("ru"), -1), -1);
  // Two variants of one layout, neither the one named: the order decides.
  const std::vector<XkbLayoutName> twoGerman{name("de"), name("de", "neo")};
  EXPECT_EQ(groupOfLayout(twoGerman, name("de", "nodeadkeys"), 1), 1);
  // A group whose name is unknown matches no layout.
  EXPECT_EQ(groupOfLayout({name(""), name("us")}, name(""), 1), 1);
}

TEST(LayoutFollow, GnomesCurrentSourceIsTheFirstRecentlyUsed) {
  const std::vector<XkbLayoutName> keymap{name("us"), name("de", "nodeadkeys")};
  const InputSources sources{{"xkb", "us"}, {"xkb", "de+nodeadkeys"}};
  EXPECT_EQ(gnomeActiveGroup({{"xkb", "de+nodeadkeys"}, {"xkb", "us"}}, sources, keymap), 1);
  EXPECT_EQ(gnomeActiveGroup({{"xkb", "us"}, {"xkb", "de+nodeadkeys"}}, sources, keymap), 0);
  // Before any switch the list of recent ones is empty: the first configured source.
  EXPECT_EQ(gnomeActiveGroup({}, sources, keymap), 0);
  EXPECT_EQ(gnomeActiveGroup({}, {}, keymap), -1);
  // Without the keymap's names, the source's place among the configured ones.
  EXPECT_EQ(gnomeActiveGroup({{"xkb", "de+nodeadkeys"}}, sources, {}), 1);
  // An input method brings no layout the monitor could name.
  EXPECT_EQ(gnomeActiveGroup({{"ibus", "anthy"}, {"xkb", "us"}}, sources, keymap), -1);
  // The keymap in another order than the sources: the name decides.
  EXPECT_EQ(gnomeActiveGroup({{"xkb", "us"}}, {{"xkb", "de+nodeadkeys"}, {"xkb", "us"}}, keymap),
            0);
}

// Keys written to a pipe, read by the monitor's kernel-key source with a US+German keymap, as
// tapwatch reads them under Wayland.
struct Keys {
  std::mutex m;
  std::vector<KeyStroke> seen;
  int fds[2] = {-1, -1};
  std::unique_ptr<EvdevInputSource> source;

  Keys() {
    InputSource::Sink sink;
    sink.key = [this](const KeyStroke& k) {
      std::lock_guard lock(m);
      seen.push_back(k);
    };
    source = std::make_unique<EvdevInputSource>(
        sink, [] { return XkbKeymap::fromNames("us,de"); }, "/nonexistent");
    EXPECT_EQ(pipe(fds), 0);
    source->addStream(fds[0]);
    EXPECT_TRUE(source->start());
  }
  ~Keys() {
    close(fds[1]);
    source->stop();
  }
  // The character that `code` types now.
  char type(unsigned code) {
    size_t before = 0;
    {
      std::lock_guard lock(m);
      before = seen.size();
    }
    for (int value : {1, 0}) {
      input_event e{};
      e.type = EV_KEY;
      e.code = static_cast<uint16_t>(code);
      e.value = value;
      EXPECT_EQ(write(fds[1], &e, sizeof e), static_cast<ssize_t>(sizeof e));
    }
    waitFor([&] {
      std::lock_guard lock(m);
      return seen.size() > before;
    });
    std::lock_guard lock(m);
    return seen.size() > before ? static_cast<char>(seen.back().ch) : '\0';
  }
};

// Plasma's keyboard service as the test plays it: its layouts German, then US (the keymap has
// them the other way round), the active one settable.
class FakeKdeKeyboard : public QDBusVirtualObject {
 public:
  uint active = 1;
  QString introspect(const QString&) const override { return {}; }
  bool handleMessage(const QDBusMessage& m, const QDBusConnection& bus) override {
    if (m.interface() != "org.kde.KeyboardLayouts") return false;
    if (m.member() == "getLayout") return bus.send(m.createReply(QVariant::fromValue(active)));
    if (m.member() == "getLayoutsList") {
      const QList<KdeLayout> list{{"de", "", "German"}, {"us", "", "English (US)"}};
      return bus.send(m.createReply(QVariant::fromValue(list)));
    }
    return false;
  }
};

TEST(LayoutFollow, PlasmasLayoutSwitchChangesWhatKeysType) {
  qDBusRegisterMetaType<KdeLayout>();
  qDBusRegisterMetaType<QList<KdeLayout>>();
  QDBusConnection service =
      QDBusConnection::connectToBus(QDBusConnection::SessionBus, "fake-kde-keyboard");
  ASSERT_TRUE(service.isConnected()) << "no session bus: run under dbus-run-session";
  FakeKdeKeyboard fake;
  ASSERT_TRUE(service.registerVirtualObject("/Layouts", &fake));
  ASSERT_TRUE(service.registerService("org.kde.keyboard"));

  Keys keys;
  // The wiring tapwatch uses: the group goes to the source, the keymap's names come from it.
  std::vector<int> groups;
  EvdevInputSource* source = keys.source.get();
  auto follow = followDesktopLayout(
      [&](int group) {
        groups.push_back(group);
        source->setActiveGroup(group);
      },
      [source] { return source->groupLayouts(); });
  ASSERT_TRUE(follow);
  EXPECT_STREQ(follow->desktop(), "KDE Plasma");
  // At start: the service's layout 1, US, the keymap's group 0.
  ASSERT_TRUE(waitFor([&] { return !groups.empty(); }));
  EXPECT_EQ(groups.back(), 0);
  EXPECT_EQ(keys.type(KEY_Y), 'y');

  // The learner switches to German: the service's layout 0, the keymap's group 1.
  fake.active = 0;
  QDBusMessage changed =
      QDBusMessage::createSignal("/Layouts", "org.kde.KeyboardLayouts", "layoutChanged");
  changed << 0u;
  ASSERT_TRUE(service.send(changed));
  ASSERT_TRUE(waitFor([&] { return groups.back() == 1; })) << "group " << groups.back();
  EXPECT_EQ(keys.type(KEY_Y), 'z');  // the German Z sits where the US Y does

  // An index past the keymap's layouts: the keys' own group, the first.
  QDBusMessage beyond =
      QDBusMessage::createSignal("/Layouts", "org.kde.KeyboardLayouts", "layoutChanged");
  beyond << 9u;
  ASSERT_TRUE(service.send(beyond));
  ASSERT_TRUE(waitFor([&] { return groups.back() == -1; }));
  EXPECT_EQ(keys.type(KEY_Y), 'y');

  follow.reset();
  service.unregisterService("org.kde.keyboard");
  QDBusConnection::disconnectFromBus("fake-kde-keyboard");
}

// GSettings' value of a list of input sources.
GVariant* sourcesValue(const InputSources& sources) {
  GVariantBuilder b;
  g_variant_builder_init(&b, G_VARIANT_TYPE("a(ss)"));
  for (const auto& [type, id] : sources)
    g_variant_builder_add(&b, "(ss)", type.c_str(), id.c_str());
  return g_variant_builder_end(&b);
}

TEST(LayoutFollow, GnomesInputSourceSwitchChangesWhatKeysType) {
  ASSERT_TRUE(kSettingsInMemory);
  GSettingsSchemaSource* schemas = g_settings_schema_source_get_default();
  GSettingsSchema* schema =
      schemas ? g_settings_schema_source_lookup(schemas, "org.gnome.desktop.input-sources", TRUE)
              : nullptr;
  if (!schema) GTEST_SKIP() << "GNOME's settings schemas are not installed";
  g_settings_schema_unref(schema);
  // GNOME's own settings, written as its shell writes them at each switch: German configured
  // first, though the keymap has it second.
  GSettings* gnome = g_settings_new("org.gnome.desktop.input-sources");
  g_settings_set_value(gnome, "sources", sourcesValue({{"xkb", "de"}, {"xkb", "us"}}));
  g_settings_set_value(gnome, "mru-sources", sourcesValue({{"xkb", "us"}, {"xkb", "de"}}));
  const std::string desktop = envOr("XDG_CURRENT_DESKTOP", "");
  setenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME", 1);

  Keys keys;
  std::vector<int> groups;
  EvdevInputSource* source = keys.source.get();
  auto follow = followDesktopLayout(
      [&](int group) {
        groups.push_back(group);
        source->setActiveGroup(group);
      },
      [source] { return source->groupLayouts(); });
  setenv("XDG_CURRENT_DESKTOP", desktop.c_str(), 1);
  ASSERT_TRUE(follow);
  EXPECT_STREQ(follow->desktop(), "GNOME");
  ASSERT_FALSE(groups.empty());
  EXPECT_EQ(groups.back(), 0);
  EXPECT_EQ(keys.type(KEY_Y), 'y');

  g_settings_set_value(gnome, "mru-sources", sourcesValue({{"xkb", "de"}, {"xkb", "us"}}));
  ASSERT_TRUE(waitFor([&] { return groups.back() == 1; })) << "group " << groups.back();
  EXPECT_EQ(keys.type(KEY_Y), 'z');

  // An input method: its keys are read in the keymap's own group again.
  g_settings_set_value(gnome, "mru-sources",
                       sourcesValue({{"ibus", "anthy"}, {"xkb", "de"}, {"xkb", "us"}}));
  ASSERT_TRUE(waitFor([&] { return groups.back() == -1; }));
  EXPECT_EQ(keys.type(KEY_Y), 'y');
  follow.reset();
  g_object_unref(gnome);
}

TEST(LayoutFollow, NoDesktopToFollowElsewhere) {
  // No keyboard service on the bus (the test's own session) and no GNOME: nothing to follow.
  const std::string desktop = envOr("XDG_CURRENT_DESKTOP", "");
  setenv("XDG_CURRENT_DESKTOP", "XFCE", 1);
  EXPECT_EQ(followDesktopLayout([](int) {}, {}), nullptr);
  setenv("XDG_CURRENT_DESKTOP", desktop.c_str(), 1);
}

}  // namespace
}  // namespace ks
