// libcurl, loaded when the first address is fetched: most starts never fetch one, and linking it
// would load its many libraries (TLS, LDAP, SSH...) into every start of both programs.
#pragma once

#include <curl/curl.h>

namespace ks {

struct CurlApi {
  CURLcode (*global_init)(long flags);
  CURL* (*easy_init)();
  CURLcode (*easy_setopt)(CURL* handle, CURLoption option, ...);
  CURLcode (*easy_perform)(CURL* handle);
  CURLcode (*easy_getinfo)(CURL* handle, CURLINFO info, ...);
  void (*easy_cleanup)(CURL* handle);
  curl_slist* (*slist_append)(curl_slist* list, const char* text);
  void (*slist_free_all)(curl_slist* list);
  CURLU* (*url)();
  void (*url_cleanup)(CURLU* handle);
  CURLUcode (*url_set)(CURLU* handle, CURLUPart part, const char* content, unsigned int flags);
  CURLUcode (*url_get)(const CURLU* handle, CURLUPart part, char** content, unsigned int flags);
  void (*free)(void* p);
};

// The library, loaded and initialised on the first call; null when it cannot be loaded (then
// nothing can be fetched).
const CurlApi* curlApi();

}  // namespace ks
