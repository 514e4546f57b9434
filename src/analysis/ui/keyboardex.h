// The on-screen keyboard: the current layout drawn key by key, coloured by finger, with the keys
// taught so far raised and the next key lit. What is lit lives in TKeyboardModel; this widget
// paints it, scaled to the size it is given.
#pragma once

#include <QHash>
#include <QImage>
#include <QWidget>
#include <memory>
#include <string>

#include "analysis/keyboardmodel.h"
#include "analysis/ui/keypainter.h"

namespace ks {

class TimerFollower;

class TKeyboard : public QWidget {
  Q_OBJECT

 public:
  TKeyboard(QWidget* owner, TKeyDataExt& layout, const Clock& clock = systemClock());
  ~TKeyboard() override;

  TKeyboardModel& Model() { return *model_; }
  const TKeyboardModel& Model() const { return *model_; }
  TKeyDataExt& Layout() const { return model_->Layout(); }

  void ShowKeys(std::string_view struck, std::string_view lit, int delayMs, std::string_view hint) {
    model_->ShowKeys(struck, lit, delayMs, hint);
  }
  void HighlightKeys(std::string_view chars, int mode) { model_->HighlightKeys(chars, mode); }
  void ClearHighlights() { model_->ClearHighlights(); }
  void MarkKeys(std::string_view chars) { model_->MarkKeys(chars); }
  void MarkAllKeys() { model_->MarkAllKeys(); }
  void ClearMarks() { model_->ClearMarks(); }
  bool AfterKeyTyped(unsigned char c) { return model_->AfterKeyTyped(c); }
  void ShowPressedKey(char c) { model_->ShowPressedKey(c); }

  // A key that is not part of the layout, for legends and drill pictures: `legendType` is one of
  // TLegendType; `fontHeight` 0 takes the layout's caption font.
  QImage MakeLegendKey(const std::string& caption, int height, int finger, bool marked,
                       int legendType, int fontHeight, int width) const;

  QString CaptionFontName;  // empty: "Arial"
  QImage Background;        // the layout's picture, its corner colour transparent
  QImage LitLegend, PlainLegend;

  // Where key `i` is drawn, in widget pixels, and a point inside its face clear of captions.
  QRectF KeyRect(size_t i) const;
  QPointF FacePoint(size_t i) const;
  // Widget pixels per layout pixel.
  double Scale() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  KeyPaint paintOf(size_t i) const;
  QImage picture(const std::string& file) const;
  QSizeF designSize() const;
  QPointF origin() const;

  // A drawn key kept for as long as it looks the same: a keystroke changes two or three keys,
  // and drawing all sixty anew each time would cost more than the typing itself.
  struct DrawnKey {
    KeyPaint paint;
    QImage image;
    qreal scale = 0;
  };
  const QImage& drawnKey(size_t i, const KeyPaint& paint, qreal scale);

  std::unique_ptr<TKeyboardModel> model_;
  std::unique_ptr<TimerFollower> timer_;
  mutable QHash<QString, QImage> pictures_;
  std::vector<DrawnKey> drawn_;
};

}  // namespace ks
