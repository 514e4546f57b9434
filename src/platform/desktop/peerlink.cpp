#include "platform/desktop/peerlink.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QLocalSocket>
#include <QPointer>

#include "platform/instancelock.h"

namespace ks {
namespace {

// Only processes of the same user may talk to us.
bool samePeerUser(QLocalSocket* socket) {
  struct ucred cred {};
  socklen_t len = sizeof cred;
  int fd = static_cast<int>(socket->socketDescriptor());
  return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == ::getuid();
}

}  // namespace

PeerLink::PeerLink(QString program, QObject* parent)
    : QObject(parent), program_(std::move(program)) {
  connect(&server_, &QLocalServer::newConnection, this, &PeerLink::onNewConnection);
}

PeerLink::~PeerLink() {
  server_.close();
}

QString PeerLink::socketPath(const QString& program) {
  auto dir = runtimeFolder();
  if (dir.empty()) return {};
  return QString::fromStdString((dir / (program.toStdString() + ".sock")).string());
}

bool PeerLink::listen() {
  QString path = socketPath(program_);
  if (path.isEmpty()) return false;
  QLocalServer::removeServer(path);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  return server_.listen(path);
}

void PeerLink::onNewConnection() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    if (!samePeerUser(socket)) {
      socket->abort();
      socket->deleteLater();
      continue;
    }
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      while (socket->canReadLine()) {
        const QString line = QString::fromUtf8(socket->readLine()).trimmed();
        const QString message = line.section(' ', 0, 0);
        const int argument = line.section(' ', 1, 1).toInt();
        QPointer<QLocalSocket> guard(socket);
        emit messageReceived(message, argument);
        if (guard) {
          guard->write("OK\n");
          guard->flush();
        }
      }
    });
  }
}

bool PeerLink::post(const QString& program, const QString& message, int argument, int timeoutMs) {
  QString path = socketPath(program);
  if (path.isEmpty()) return false;
  QLocalSocket socket;
  socket.connectToServer(path);
  if (!socket.waitForConnected(timeoutMs)) return false;
  QByteArray line = message.toUtf8();
  if (argument) line += ' ' + QByteArray::number(argument);
  socket.write(line + '\n');
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  while (!socket.canReadLine()) {
    if (!socket.waitForReadyRead(timeoutMs)) return false;
  }
  return socket.readLine().trimmed() == "OK";
}

}  // namespace ks
