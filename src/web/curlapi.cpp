#include "web/curlapi.h"

#include <mutex>

#include "platform/dynlib.h"

namespace ks {
namespace {

bool load(CurlApi& api) {
  void* lib = openLibrary("libcurl.so.4");
  if (lib == nullptr) return false;
  const bool all = bindSymbol(lib, "curl_global_init", api.global_init) &&
                   bindSymbol(lib, "curl_easy_init", api.easy_init) &&
                   bindSymbol(lib, "curl_easy_setopt", api.easy_setopt) &&
                   bindSymbol(lib, "curl_easy_perform", api.easy_perform) &&
                   bindSymbol(lib, "curl_easy_getinfo", api.easy_getinfo) &&
                   bindSymbol(lib, "curl_easy_cleanup", api.easy_cleanup) &&
                   bindSymbol(lib, "curl_slist_append", api.slist_append) &&
                   bindSymbol(lib, "curl_slist_free_all", api.slist_free_all) &&
                   bindSymbol(lib, "curl_url", api.url) &&
                   bindSymbol(lib, "curl_url_cleanup", api.url_cleanup) &&
                   bindSymbol(lib, "curl_url_set", api.url_set) &&
                   bindSymbol(lib, "curl_url_get", api.url_get) &&
                   bindSymbol(lib, "curl_free", api.free);
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
