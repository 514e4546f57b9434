// Files from web addresses: one HTTP GET into memory, through the system's proxy settings
// (the http_proxy / no_proxy variables).
#pragma once

#include <string>

namespace ks {

struct HttpTimeouts {
  long connectMs = 5000;
  // A transfer that receives no byte for this long (a server that accepts and then stays silent,
  // or stops half-way) has stalled and fails.
  long stallSeconds = 30;
};

// Fetches `url` with an HTTP/1.0 GET; `bypassCache` asks every cache on the way for a fresh copy.
// Returns the HTTP status; only on 200 with the whole body is the body appended to `target`.
// 0 when no request could be made (not an http address, no connection) or the transfer broke off
// or stalled; `target` is then untouched.
int FetchUrl(const std::string& url, bool bypassCache, std::string& target);
int FetchUrl(const std::string& url, bool bypassCache, std::string& target,
             const HttpTimeouts& timeouts);

// The address actually requested: every "data/../" removed when the address holds "..".
std::string requestAddress(const std::string& url);

// True when a network interface other than loopback is up, running and has an address.
bool IsOnline();

// Lets settings stores and data files open web addresses through FetchUrl. The programs call it
// once at start.
void installHttpFetcher();

}  // namespace ks
