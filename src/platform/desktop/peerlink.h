// The link between the two programs in place of registered window messages: each program
// listens on a socket in the user's runtime folder; a peer sends one line ("QS2001.BRINGFRONT 1",
// "QSSidewatch1999.DISABLE", ...) and waits for the receiver's "OK", which comes only after the
// receiver has acted on the message (the monitor answers DISABLE after saving its files). Plain
// Unix sockets: a network library would load a dozen libraries into every start for this.
#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

class QSocketNotifier;

namespace ks {

class PeerLink : public QObject {
  Q_OBJECT

 public:
  // `program` names this program's endpoint ("keyscholar", "tapwatch").
  explicit PeerLink(QString program, QObject* parent = nullptr);
  ~PeerLink() override;

  // Starts listening. Call only while holding the program's instance lock: that proves a socket
  // left behind by a crashed run is stale and may be removed.
  bool listen();

  // Sends `message` (with an optional argument) to `program` and waits up to `timeoutMs` for its
  // acknowledgement. False when the program does not run or does not answer in time. Safe to
  // call from any thread.
  static bool post(const QString& program, const QString& message, int argument = 0,
                   int timeoutMs = 3000);

  static QString socketPath(const QString& program);

 signals:
  // Emitted (directly, before the acknowledgement is sent) for every message received.
  void messageReceived(const QString& message, int argument);

 private:
  struct Peer;
  void accept();
  void readFrom(Peer* peer);
  void drop(Peer* peer);

  QString program_;
  std::string boundPath_;
  int listenFd_ = -1;
  std::unique_ptr<QSocketNotifier> listener_;
  std::vector<std::unique_ptr<Peer>> peers_;
};

}  // namespace ks
