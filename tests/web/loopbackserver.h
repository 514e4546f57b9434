// A small HTTP server on 127.0.0.1 for tests: one thread, one connection at a time, answers
// through a handler the test gives.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace ks::test {

class LoopbackServer {
 public:
  // Gets the connected socket and the request head (request line and headers).
  using Handler = std::function<void(LoopbackServer& server, int fd, const std::string& head)>;

  explicit LoopbackServer(Handler handler);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  int port() const { return port_; }
  std::string url(const std::string& path) const;
  std::vector<std::string> heads() const;
  // True once the server is being taken down; slow handlers poll it.
  bool stopping() const { return stop_; }

 private:
  void run();

  Handler handler_;
  int listenFd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<std::string> heads_;
  std::thread thread_;
};

void sendAll(int fd, std::string_view data);
// A whole HTTP/1.0 answer with a Content-Length.
std::string httpAnswer(int status, const std::string& body);

}  // namespace ks::test
