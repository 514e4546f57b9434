#include "platform/desktop/termination.h"

#include <fcntl.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <csignal>

namespace ks {
namespace {

int pipeFds[2] = {-1, -1};

void onSignal(int) {
  char c = 1;
  // Only async-signal-safe work here.
  (void)!::write(pipeFds[1], &c, 1);
}

}  // namespace

TerminationWatch::TerminationWatch(std::function<void()> onTerminate, QObject* parent)
    : QObject(parent), onTerminate_(std::move(onTerminate)) {
  if (pipeFds[0] < 0 && ::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) pipeFds[0] = -1;
  if (pipeFds[0] >= 0) {
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
      char buf[16];
      while (::read(pipeFds[0], buf, sizeof buf) > 0) {
      }
      fire();
    });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(sig, &sa, nullptr);
  }
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    connect(app, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { fire(); });
  }
}

TerminationWatch::~TerminationWatch() {
  struct sigaction sa {};
  sa.sa_handler = SIG_DFL;
  for (int sig : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(sig, &sa, nullptr);
}

void TerminationWatch::fire() {
  if (fired_) return;
  fired_ = true;
  if (onTerminate_) onTerminate_();
}

}  // namespace ks
