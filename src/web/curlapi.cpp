#include "web/curlapi.h"

#include <dlfcn.h>

#include <mutex>

namespace ks {
namespace {

template <typename F>
bool bind(void* lib, const char* name, F& target) {
  target = reinterpret_cast<F>(dlsym(lib, name));
  return target != nullptr;
}

bool load(CurlApi& api) {
  void* lib = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
  if (lib == nullptr) return false;
  const bool all =
      bind(lib, "curl_global_init", api.global_init) &&
      bind(lib, "curl_easy_init", api.easy_init) &&
      bind(lib, "curl_easy_setopt", api.easy_setopt) &&
      bind(lib, "curl_easy_perform", api.easy_perform) &&
      bind(lib, "curl_easy_getinfo", api.easy_getinfo) &&
      bind(lib, "curl_easy_cleanup", api.easy_cleanup) &&
      bind(lib, "curl_slist_append", api.slist_append) &&
      bind(lib, "curl_slist_free_all", api.slist_free_all) && bind(lib, "curl_url", api.url) &&
      bind(lib, "curl_url_cleanup", api.url_cleanup) && bind(lib, "curl_url_set", api.url_set) &&
      bind(lib, "curl_url_get", api.url_get) && bind(lib, "curl_free", api.free);
  // The library stays loaded for the rest of the run: transfers may be under way anywhere.
  return all && api.global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
}

}  // namespace

const CurlApi* curlApi() {
  static CurlApi api{};
  static bool loaded = false;
  static std::once_flag once;
  std::call_once(once, [] { loaded = load(api); });
  return loaded ? &api : nullptr;
}

}  // namespace ks
