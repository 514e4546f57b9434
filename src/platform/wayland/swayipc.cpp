#include "platform/wayland/swayipc.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string_view>

namespace ks {
namespace {

constexpr char kMagic[] = {'i', '3', '-', 'i', 'p', 'c'};
constexpr uint32_t kRunCommand = 0;
constexpr uint32_t kGetTree = 4;
constexpr uint32_t kGetInputs = 100;
// A reply larger than this is no answer to one command.
constexpr uint32_t kLargestReply = 1u << 20;

bool sendAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool receiveAll(int fd, char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::recv(fd, data, size, 0);
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// The reply is a JSON list with one {"success": bool, ...} per command.
bool allSucceeded(std::string_view reply) {
  bool any = false;
  for (size_t at = reply.find("\"success\""); at != std::string_view::npos;
       at = reply.find("\"success\"", at + 1)) {
    size_t value = reply.find_first_not_of(" \t\r\n:", at + 9);
    if (value == std::string_view::npos || reply.compare(value, 4, "true") != 0) return false;
    any = true;
  }
  return any;
}

// One request and its reply; false when the compositor cannot be reached or does not answer.
bool swayRequest(const std::string& socketPath, uint32_t type, const std::string& payload,
                 std::string& reply) {
  sockaddr_un addr{};
  if (socketPath.empty() || socketPath.size() >= sizeof(addr.sun_path)) return false;
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path, socketPath.data(), socketPath.size());
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  // A compositor that hangs must not hang the tutor.
  timeval limit{2, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
  bool ok = false;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
    std::string message(kMagic, sizeof kMagic);
    const uint32_t header[2] = {static_cast<uint32_t>(payload.size()), type};
    message.append(reinterpret_cast<const char*>(header), sizeof header);
    message += payload;
    char replyHeader[sizeof kMagic + 8];
    uint32_t replyHead[2] = {0, 0};
    if (sendAll(fd, message.data(), message.size()) &&
        receiveAll(fd, replyHeader, sizeof replyHeader) &&
        std::memcmp(replyHeader, kMagic, sizeof kMagic) == 0) {
      std::memcpy(replyHead, replyHeader + sizeof kMagic, sizeof replyHead);
      if (replyHead[0] <= kLargestReply) {
        reply.assign(replyHead[0], '\0');
        ok = receiveAll(fd, reply.data(), reply.size());
      }
    }
  }
  ::close(fd);
  return ok;
}

}  // namespace

bool swayCommand(const std::string& socketPath, const std::string& command) {
  std::string reply;
  return swayRequest(socketPath, kRunCommand, command, reply) && allSucceeded(reply);
}

std::string swayTree(const std::string& socketPath) {
  std::string reply;
  return swayRequest(socketPath, kGetTree, "", reply) ? reply : std::string();
}

int swayActiveLayout(const std::string& socketPath) {
  std::string reply;
  if (!swayRequest(socketPath, kGetInputs, "", reply)) return -1;
  // The keyboards switch together; the first one tells.
  constexpr std::string_view kKey = "\"xkb_active_layout_index\"";
  const size_t at = reply.find(kKey);
  if (at == std::string::npos) return -1;
  size_t digit = reply.find_first_not_of(" \t\r\n:", at + kKey.size());
  int group = -1;
  while (digit < reply.size() && reply[digit] >= '0' && reply[digit] <= '9' && group < 1000)
    group = (group < 0 ? 0 : group * 10) + (reply[digit++] - '0');
  return group;
}

int SwayLayoutSwitcher::activeGroup() {
  return swayActiveLayout(socketPath_);
}

bool SwayLayoutSwitcher::switchTo(int group) {
  return swayCommand(socketPath_, "input type:keyboard xkb_switch_layout " + std::to_string(group));
}

}  // namespace ks
