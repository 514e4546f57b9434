// The hands under the on-screen keyboard, with the finger (or fingers) to use lit.
#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>

namespace ks {

class TFingers : public QWidget {
  Q_OBJECT

 public:
  explicit TFingers(QWidget* owner = nullptr);

  // Lights one finger (1 to 8 from the left little finger, 9 the right thumb, 10 the left one);
  // 0 lights none.
  void ShowFinger(int finger);
  // Lights every finger n whose bit 2^n is set.
  void ShowFingers(uint16_t mask);

  QImage Hands;  // a picture of the hands; none: the hands are drawn
  int SingleFinger = 0;
  uint16_t FingerMask = 0;
  bool DisableColour = false;  // the policy's "disable_colorkbd"

  // The size of the hand picture and where each finger's mark sits in it.
  static constexpr int kDesignWidth = 360, kDesignHeight = 156;
  static QPointF FingerCentre(int finger);
  // The same point in widget pixels.
  QPointF FingerPoint(int finger) const;
  bool IsLit(int finger) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  double scale() const;
  QPointF origin() const;

  // The drawn hands, kept at the scale they were drawn at: only the lit fingers change.
  QImage drawnHands_;
  qreal drawnScale_ = 0;
};

}  // namespace ks
