#include "web/internetsupport.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>

#include <chrono>
#include <memory>

#include "store/dynamicfile.h"
#include "web/curlapi.h"

namespace ks {
namespace {

constexpr size_t kMaxUrlLength = 2055;
constexpr long kReadBlock = 1024;
// A data file is small; anything larger is not what the caller asked for.
constexpr size_t kMaxBody = size_t{64} << 20;

struct Transfer {
  const CurlApi* curl = nullptr;
  CURL* handle = nullptr;
  std::string body;
  bool refused = false;
  std::chrono::steady_clock::duration stallLimit{};
  std::chrono::steady_clock::time_point lastMove = std::chrono::steady_clock::now();
  curl_off_t lastBytes = 0;
};

// Ends a transfer that has received no byte for the stall limit.
int watchProgress(void* user, curl_off_t, curl_off_t received, curl_off_t, curl_off_t) {
  auto* t = static_cast<Transfer*>(user);
  const auto now = std::chrono::steady_clock::now();
  if (received != t->lastBytes) {
    t->lastBytes = received;
    t->lastMove = now;
    return 0;
  }
  return now - t->lastMove > t->stallLimit ? 1 : 0;
}

size_t collect(char* data, size_t size, size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  long status = 0;
  t->curl->easy_getinfo(t->handle, CURLINFO_RESPONSE_CODE, &status);
  const size_t n = size * count;
  // Only a 200 answer has a body worth reading.
  if (status != 200 || t->body.size() + n > kMaxBody) {
    t->refused = true;
    return 0;
  }
  t->body.append(data, n);
  return n;
}

using UrlHandle = std::unique_ptr<CURLU, void (*)(CURLU*)>;
using EasyHandle = std::unique_ptr<CURL, void (*)(CURL*)>;
using HeaderList = std::unique_ptr<curl_slist, void (*)(curl_slist*)>;

// The address to send: an http(s) address, kept as written except that credentials are dropped
// (they are never sent). Empty when the address cannot be split.
std::string checkedAddress(const CurlApi& curl, const std::string& address) {
  if (address.size() > kMaxUrlLength) return {};
  UrlHandle u(curl.url(), curl.url_cleanup);
  if (!u || curl.url_set(u.get(), CURLUPART_URL, address.c_str(), CURLU_PATH_AS_IS) != CURLUE_OK)
    return {};
  char* scheme = nullptr;
  if (curl.url_get(u.get(), CURLUPART_SCHEME, &scheme, 0) != CURLUE_OK) return {};
  const std::string s = scheme;
  curl.free(scheme);
  if (s != "http" && s != "https") return {};
  curl.url_set(u.get(), CURLUPART_USER, nullptr, 0);
  curl.url_set(u.get(), CURLUPART_PASSWORD, nullptr, 0);
  char* full = nullptr;
  if (curl.url_get(u.get(), CURLUPART_URL, &full, 0) != CURLUE_OK) return {};
  std::string out = full;
  curl.free(full);
  return out;
}

}  // namespace

std::string requestAddress(const std::string& url) {
  std::string out = url;
  if (out.find("..") == std::string::npos) return out;
  static constexpr std::string_view kPiece = "data/../";
  for (size_t at = out.find(kPiece); at != std::string::npos; at = out.find(kPiece, at))
    out.erase(at, kPiece.size());
  return out;
}

int FetchUrl(const std::string& url, bool bypassCache, std::string& target) {
  return FetchUrl(url, bypassCache, target, HttpTimeouts{});
}

int FetchUrl(const std::string& url, bool bypassCache, std::string& target,
             const HttpTimeouts& timeouts) {
  const CurlApi* api = curlApi();
  if (api == nullptr) return 0;
  const CurlApi& curl = *api;
  const std::string address = checkedAddress(curl, requestAddress(url));
  if (address.empty()) return 0;
  EasyHandle easy(curl.easy_init(), curl.easy_cleanup);
  if (!easy) return 0;
  CURL* c = easy.get();
  // No agent name, no accepted types: the request is the bare GET.
  HeaderList headers(curl.slist_append(nullptr, "Accept:"), curl.slist_free_all);
  if (bypassCache) {
    headers.reset(curl.slist_append(headers.release(), "Pragma: no-cache"));
    headers.reset(curl.slist_append(headers.release(), "Cache-Control: no-cache"));
  }
  if (!headers) return 0;
  Transfer t;
  t.curl = api;
  t.handle = c;
  t.stallLimit = std::chrono::seconds(timeouts.stallSeconds);
  curl.easy_setopt(c, CURLOPT_URL, address.c_str());
  curl.easy_setopt(c, CURLOPT_PATH_AS_IS, 1L);
  curl.easy_setopt(c, CURLOPT_HTTPGET, 1L);
  curl.easy_setopt(c, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
  curl.easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
  curl.easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  curl.easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl.easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
  curl.easy_setopt(c, CURLOPT_MAXREDIRS, 5L);
  curl.easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, timeouts.connectMs);
  curl.easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
  curl.easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &watchProgress);
  curl.easy_setopt(c, CURLOPT_XFERINFODATA, &t);
  curl.easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl.easy_setopt(c, CURLOPT_BUFFERSIZE, kReadBlock);
  curl.easy_setopt(c, CURLOPT_WRITEFUNCTION, &collect);
  curl.easy_setopt(c, CURLOPT_WRITEDATA, &t);
  const CURLcode result = curl.easy_perform(c);
  long status = 0;
  curl.easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
  if (status == 200) {
    // A body cut short or stalled is not the file: the caller must not take it for one.
    if (result != CURLE_OK || t.refused) return 0;
    target += t.body;
    return 200;
  }
  return static_cast<int>(status);
}

bool IsOnline() {
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return false;
  bool online = false;
  for (const ifaddrs* a = list; a && !online; a = a->ifa_next) {
    const unsigned flags = a->ifa_flags;
    online = a->ifa_addr &&
             (a->ifa_addr->sa_family == AF_INET || a->ifa_addr->sa_family == AF_INET6) &&
             (flags & IFF_UP) && (flags & IFF_RUNNING) && !(flags & IFF_LOOPBACK);
  }
  ::freeifaddrs(list);
  return online;
}

void installHttpFetcher() {
  setUrlFetcher([](const std::string& url, bool bypassCache, std::string& body) {
    return FetchUrl(url, bypassCache, body);
  });
}

}  // namespace ks
