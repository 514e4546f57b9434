// The link between the two programs in place of registered window messages: each program
// listens on a socket in the user's runtime folder; a peer sends one line ("QS2001.BRINGFRONT 1",
// "QSSidewatch1999.DISABLE", ...) and waits for the receiver's "OK", which comes only after the
// receiver has acted on the message, or the receiver's own answer ("DISABLED" once the monitor
// has saved and closed the learner's files, which a modal dialog may delay). Plain
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
  // The same, returning the receiver's answer ("OK" or its own); empty when there was none.
  static QString request(const QString& program, const QString& message, int argument = 0,
                         int timeoutMs = 3000);

  // Inside a messageReceived handler: answer `text` instead of "OK".
  void setAnswer(const QString& text) { answer_ = text; }
  // Inside a messageReceived handler: the answer comes later, through answer(), and the sender
  // waits for it. Returns the waiting sender's ticket.
  quint64 deferAnswer();
  // Answers a sender whose answer was deferred (nothing when it has gone meanwhile).
  void answer(quint64 ticket, const QString& text);

  static QString socketPath(const QString& program);

 signals:
  // Emitted (directly, before the acknowledgement is sent) for every message received.
  void messageReceived(const QString& message, int argument);

 private:
  struct Peer;
  void accept();
  void readFrom(Peer* peer);
  void handleLines(Peer* peer);
  void drop(Peer* peer);

  QString program_;
  std::string boundPath_;
  int listenFd_ = -1;
  std::unique_ptr<QSocketNotifier> listener_;
  std::vector<std::unique_ptr<Peer>> peers_;
  QString answer_;
  Peer* handling_ = nullptr;
  bool deferred_ = false;
  quint64 nextTicket_ = 1;
};

}  // namespace ks
