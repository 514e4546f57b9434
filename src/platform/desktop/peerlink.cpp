#include "platform/desktop/peerlink.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QByteArray>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/instancelock.h"

namespace ks {
namespace {

// A peer sends one short line; anything longer is not one of ours.
constexpr qsizetype kMaxLine = 4096;

bool addressFor(const std::string& path, sockaddr_un& addr) {
  addr = sockaddr_un{};
  addr.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  return true;
}

// Only processes of the same user may talk to us.
bool samePeerUser(int fd) {
  struct ucred cred {};
  socklen_t len = sizeof cred;
  return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == ::getuid();
}

bool sendAll(int fd, const QByteArray& data) {
  qsizetype sent = 0;
  while (sent < data.size()) {
    const ssize_t n =
        ::send(fd, data.constData() + sent, static_cast<size_t>(data.size() - sent), MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += n;
  }
  return true;
}

struct Fd {
  int fd;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

struct PeerLink::Peer {
  int fd = -1;
  quint64 ticket = 0;  // waiting for a deferred answer
  QByteArray buffer;
  std::unique_ptr<QSocketNotifier> notifier;
};

PeerLink::PeerLink(QString program, QObject* parent)
    : QObject(parent), program_(std::move(program)) {}

PeerLink::~PeerLink() {
  for (auto& p : peers_) ::close(p->fd);
  listener_.reset();
  if (listenFd_ >= 0) {
    ::close(listenFd_);
    ::unlink(boundPath_.c_str());
  }
}

QString PeerLink::socketPath(const QString& program) {
  auto dir = runtimeFolder();
  if (dir.empty()) return {};
  return QString::fromStdString((dir / (program.toStdString() + ".sock")).string());
}

bool PeerLink::listen() {
  const std::string path = socketPath(program_).toStdString();
  sockaddr_un addr;
  if (listenFd_ >= 0 || !addressFor(path, addr)) return false;
  // The caller holds the instance lock: whatever is at the path was left by a run that ended.
  ::unlink(path.c_str());
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return false;
  // Bound with no access for others, so there is no moment in which they could connect.
  const mode_t old = ::umask(0077);
  const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  ::umask(old);
  if (!bound || ::listen(fd, 8) != 0) {
    ::close(fd);
    return false;
  }
  listenFd_ = fd;
  boundPath_ = path;
  listener_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
  connect(listener_.get(), &QSocketNotifier::activated, this, &PeerLink::accept);
  return true;
}

void PeerLink::accept() {
  for (;;) {
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) return;
    if (!samePeerUser(fd)) {
      ::close(fd);
      continue;
    }
    auto peer = std::make_unique<Peer>();
    peer->fd = fd;
    peer->notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    Peer* raw = peer.get();
    connect(raw->notifier.get(), &QSocketNotifier::activated, this, [this, raw] { readFrom(raw); });
    peers_.push_back(std::move(peer));
  }
}

void PeerLink::readFrom(Peer* peer) {
  char chunk[512];
  const ssize_t n = ::read(peer->fd, chunk, sizeof chunk);
  if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
  if (n <= 0) {
    drop(peer);
    return;
  }
  peer->buffer.append(chunk, n);
  handleLines(peer);
}

void PeerLink::handleLines(Peer* peer) {
  for (qsizetype end = peer->buffer.indexOf('\n'); end >= 0; end = peer->buffer.indexOf('\n')) {
    const QString line = QString::fromUtf8(peer->buffer.left(end)).trimmed();
    peer->buffer.remove(0, end + 1);
    // Handling may run an event loop (a saving monitor, a message box): this peer waits.
    peer->notifier->setEnabled(false);
    // Handlers nest when a handler's event loop lets another peer in.
    Peer* const outer = handling_;
    const bool outerDeferred = deferred_;
    const QString outerAnswer = answer_;
    answer_ = "OK";
    deferred_ = false;
    handling_ = peer;
    emit messageReceived(line.section(' ', 0, 0), line.section(' ', 1, 1).toInt());
    const bool deferred = deferred_;
    const QString text = answer_;
    handling_ = outer;
    deferred_ = outerDeferred;
    answer_ = outerAnswer;
    if (deferred) return;  // answer() goes on with this peer
    if (!sendAll(peer->fd, text.toUtf8() + '\n')) {
      drop(peer);
      return;
    }
    peer->notifier->setEnabled(true);
  }
  if (peer->buffer.size() > kMaxLine) drop(peer);
}

quint64 PeerLink::deferAnswer() {
  if (!handling_) return 0;
  deferred_ = true;
  handling_->ticket = nextTicket_++;
  return handling_->ticket;
}

void PeerLink::answer(quint64 ticket, const QString& text) {
  auto it = std::find_if(peers_.begin(), peers_.end(),
                         [ticket](auto& p) { return ticket && p->ticket == ticket; });
  if (it == peers_.end()) return;
  Peer* peer = it->get();
  peer->ticket = 0;
  if (!sendAll(peer->fd, text.toUtf8() + '\n')) {
    drop(peer);
    return;
  }
  peer->notifier->setEnabled(true);
  handleLines(peer);
}

void PeerLink::drop(Peer* peer) {
  auto it = std::find_if(peers_.begin(), peers_.end(), [peer](auto& p) { return p.get() == peer; });
  if (it == peers_.end()) return;
  // This may run inside the notifier's own signal: it goes once control is back in the loop.
  peer->notifier->setEnabled(false);
  peer->notifier.release()->deleteLater();
  ::close(peer->fd);
  peers_.erase(it);
}

bool PeerLink::post(const QString& program, const QString& message, int argument, int timeoutMs) {
  return request(program, message, argument, timeoutMs) == "OK";
}

QString PeerLink::request(const QString& program, const QString& message, int argument,
                          int timeoutMs) {
  sockaddr_un addr;
  if (!addressFor(socketPath(program).toStdString(), addr)) return {};
  Fd sock{::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)};
  if (sock.fd < 0) return {};
  if (::connect(sock.fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return {};
  QByteArray line = message.toUtf8();
  if (argument) line += ' ' + QByteArray::number(argument);
  if (!sendAll(sock.fd, line + '\n')) return {};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  QByteArray answer;
  while (!answer.contains('\n') && answer.size() < kMaxLine) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    pollfd pfd{sock.fd, POLLIN, 0};
    if (left <= 0) return {};
    const int ready = ::poll(&pfd, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return {};
    char chunk[64];
    const ssize_t n = ::read(sock.fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return {};
    answer.append(chunk, n);
  }
  return QString::fromUtf8(answer.left(answer.indexOf('\n')).trimmed());
}

}  // namespace ks
