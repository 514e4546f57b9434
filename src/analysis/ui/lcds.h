// Two small indicators beside the keyboard: the three-lamp rhythm light and the row of marks
// that counts repetitions.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <array>

namespace ks {

class TTrafficLightLcd : public QWidget {
  Q_OBJECT

 public:
  explicit TTrafficLightLcd(QWidget* owner = nullptr);

  // 0 none, 1 steady (the bottom lamp), 2, 3 (the top lamp).
  void SetLight(int light);
  int Light() const { return light_; }
  std::array<QString, 3> Labels;  // one per lamp, from the bottom

  // The centre of a lamp (1 to 3), in widget pixels.
  static QPoint LampCentre(int lamp);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int light_ = 0;
};

class TMissedLcd : public QWidget {
  Q_OBJECT

 public:
  explicit TMissedLcd(QWidget* owner = nullptr);

  void SetTotal(int total);
  void SetMissed(int missed);
  int Total() const { return total_; }
  int Missed() const { return missed_; }

  QImage OpenMark;    // a mark not yet earned
  QImage MissedMark;  // a mark earned

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void fit();

  int total_ = 0;
  int missed_ = 0;
};

}  // namespace ks
