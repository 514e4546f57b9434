// GIO before anything of Qt: its headers name a member `signals`, which Qt defines as a word.
#include <gio/gio.h>

#include "platform/desktop/gnomelayoutfollow.h"

namespace ks {
namespace {

constexpr const char* kSchema = "org.gnome.desktop.input-sources";

// A list of (type, id) pairs; empty when the value has another type.
InputSources sourcesOf(GSettings* settings, const char* key) {
  InputSources out;
  GVariant* value = g_settings_get_value(settings, key);
  if (g_variant_is_of_type(value, G_VARIANT_TYPE("a(ss)"))) {
    GVariantIter it;
    g_variant_iter_init(&it, value);
    const char* type = nullptr;
    const char* id = nullptr;
    while (g_variant_iter_next(&it, "(&s&s)", &type, &id)) out.emplace_back(type, id);
  }
  g_variant_unref(value);
  return out;
}

}  // namespace

struct GnomeLayoutFollow::Impl {
  GroupSink onGroup;
  KeymapLayouts keymap;
  GSettings* settings = nullptr;

  void report() {
    onGroup(gnomeActiveGroup(sourcesOf(settings, "mru-sources"), sourcesOf(settings, "sources"),
                             keymap ? keymap() : std::vector<XkbLayoutName>{}));
  }

  static void changed(GSettings*, const char* key, gpointer self) {
    if (g_strcmp0(key, "mru-sources") == 0 || g_strcmp0(key, "sources") == 0)
      static_cast<Impl*>(self)->report();
  }
};

std::unique_ptr<GnomeLayoutFollow> GnomeLayoutFollow::start(GroupSink onGroup,
                                                            KeymapLayouts keymap) {
  // Asked for a schema it does not know, GSettings aborts the program: look it up first.
  GSettingsSchemaSource* source = g_settings_schema_source_get_default();
  GSettingsSchema* schema =
      source ? g_settings_schema_source_lookup(source, kSchema, TRUE) : nullptr;
  if (!schema) return nullptr;
  const bool complete = g_settings_schema_has_key(schema, "mru-sources") &&
                        g_settings_schema_has_key(schema, "sources");
  auto impl = std::make_unique<Impl>();
  if (complete) impl->settings = g_settings_new_full(schema, nullptr, nullptr);
  g_settings_schema_unref(schema);
  if (!impl->settings) return nullptr;
  impl->onGroup = std::move(onGroup);
  impl->keymap = std::move(keymap);
  // GSettings tells changes only of keys read after a handler was connected.
  g_signal_connect(impl->settings, "changed", G_CALLBACK(&Impl::changed), impl.get());
  impl->report();
  return std::unique_ptr<GnomeLayoutFollow>(new GnomeLayoutFollow(std::move(impl)));
}

GnomeLayoutFollow::GnomeLayoutFollow(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

GnomeLayoutFollow::~GnomeLayoutFollow() {
  g_signal_handlers_disconnect_by_data(impl_->settings, impl_.get());
  g_object_unref(impl_->settings);
}

}  // namespace ks
