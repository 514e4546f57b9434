// A Qt timer that follows a plain model's timer: started and stopped with it, firing it.
#pragma once

#include <QObject>
#include <QTimer>

#include "platform/plaintimer.h"

namespace ks {

class TimerFollower : public QObject {
  Q_OBJECT

 public:
  explicit TimerFollower(PlainTimer& timer, QObject* parent = nullptr);
  ~TimerFollower() override;

 private:
  PlainTimer* timer_;
  QTimer qtimer_;
};

}  // namespace ks
