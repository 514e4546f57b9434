#include "analysis/ui/keyboardex.h"

#include <QPainter>
#include <cmath>
#include <filesystem>

#include "analysis/ui/timerfollower.h"
#include "book/pagestyle.h"
#include "store/qssettings.h"

namespace ks {
namespace {

// Layout pixels drawn around a kept key.
constexpr qreal kDrawnMargin = 4;

// The picture with the colour of its top left pixel made transparent.
QImage withTransparentCorner(QImage image) {
  if (image.isNull()) return image;
  image = image.convertToFormat(QImage::Format_ARGB32);
  const QRgb corner = image.pixel(0, 0);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if (line[x] == corner) line[x] = qRgba(0, 0, 0, 0);
    }
  }
  return image;
}

}  // namespace

TKeyboard::TKeyboard(QWidget* owner, TKeyDataExt& layout, const Clock& clock)
    : QWidget(owner), model_(std::make_unique<TKeyboardModel>(layout, clock)) {
  setObjectName(QStringLiteral("Keyboard"));
  setAccessibleName(tr("Keyboard"));
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  model_->DisableColour = lessonOptions().disableColorKbd;
  model_->Changed = [this] { update(); };
  timer_ = std::make_unique<TimerFollower>(model_->Timer);
  if (layout.DefaultWidth > 0 && layout.DefaultHeight > 0) {
    LitLegend = MakeLegendKey("", layout.DefaultHeight, 1, true, ltLit, 0, layout.DefaultWidth);
    PlainLegend = MakeLegendKey("", layout.DefaultHeight, 1, false, ltNone, 0, layout.DefaultWidth);
  }
  const std::filesystem::path pic = layout.picturePath();
  if (!pic.empty()) Background = withTransparentCorner(readPicture(pic));
}

TKeyboard::~TKeyboard() {
  model_->Changed = nullptr;
}

QImage TKeyboard::picture(const std::string& file) const {
  const QString name = QString::fromStdString(file);
  auto it = pictures_.find(name);
  if (it == pictures_.end()) it = pictures_.insert(name, QImage(name));
  return *it;
}

QSizeF TKeyboard::designSize() const {
  double w = 1, h = 1;
  const TKeyDataExt& layout = model_->Layout();
  for (const auto& key : layout.Keys) {
    w = std::max(w, static_cast<double>(key->X + key->Width));
    h = std::max(h, static_cast<double>(key->Y + key->Height));
  }
  if (!Background.isNull()) {
    w = std::max(w, static_cast<double>(layout.PictureX + Background.width()));
    h = std::max(h, static_cast<double>(layout.PictureY + Background.height()));
  }
  return {w + 2, h + 2};
}

double TKeyboard::Scale() const {
  const QSizeF d = designSize();
  return std::max(0.05, std::min(width() / d.width(), height() / d.height()));
}

// Centred across, at the top: the drills put the hands just below the keys.
QPointF TKeyboard::origin() const {
  return {(width() - designSize().width() * Scale()) / 2, 0};
}

QRectF TKeyboard::KeyRect(size_t i) const {
  const TKeyInfoExt& k = model_->Key(i);
  const double s = Scale();
  const QPointF o = origin();
  return {o.x() + k.X * s, o.y() + k.Y * s, k.Width * s, k.Height * s};
}

QPointF TKeyboard::FacePoint(size_t i) const {
  const TKeyInfoExt& k = model_->Key(i);
  const double s = Scale();
  const QPointF o = origin();
  // Below the captions and the lighter top, left of the side band.
  const double x = k.X + std::max(5.0, std::min(k.Width * 0.7, k.Width - 8.0));
  const double y = k.Y + std::min(k.Height * 0.62, k.Height - 9.0);
  return {o.x() + x * s, o.y() + y * s};
}

KeyPaint TKeyboard::paintOf(size_t i) const {
  const TKeyboardModel& m = *model_;
  const TKeyDataExt& layout = m.Layout();
  const TKeyInfoExt& k = m.Key(i);
  KeyPaint p;
  p.width = k.Width;
  p.height = k.Height;
  p.look = m.LookOf(i);
  p.pressed = m.ShowPressed && m.PressedKey() == static_cast<int>(i);
  // A pressed key that is not lit shows in the hint colours.
  KeyLook colourLook = p.look;
  if (p.pressed && (p.look == KeyLook::Plain || p.look == KeyLook::Active)) {
    colourLook = KeyLook::Hinted;
  }
  p.colours = KeyColours(KeyColourColumn(k.Finger, m.DisableColour), colourLook);
  p.cap0 = layout.getKeyCaption(k, 0);
  p.cap1 = layout.getKeyCaption(k, 1);
  // A narrow Shift key shows the arrow that Shift keys carry rather than a squeezed name.
  if (k.Kind == KeyKind::ShiftControlKey) p.symbol = QString(QChar(0x21E7));
  p.singleCaptions = m.SingleCaptions;
  p.smallCaption = k.SmallCaption;
  p.nub = k.Nub;
  p.struck = m.Display(i).Struck;
  p.captionFont = layout.CaptionFont;
  p.smallCaptionFont = layout.SmallCaptionFont;
  p.shiftCaptionFont = layout.ShiftCaptionFont;
  p.fontName = CaptionFontName;
  return p;
}

QImage TKeyboard::MakeLegendKey(const std::string& caption, int height, int finger, bool marked,
                                int legendType, int fontHeight, int width) const {
  QImage image(std::max(1, width), std::max(1, height), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  const TKeyDataExt& layout = model_->Layout();
  KeyPaint p;
  p.width = width;
  p.height = height;
  const bool lit = legendType == ltLit || legendType == ltLitRedFrame;
  p.look = lit ? KeyLook::Lit : (marked ? KeyLook::Active : KeyLook::Plain);
  p.colours = KeyColours(KeyColourColumn(finger, model_->DisableColour), p.look);
  p.cap0 = caption;
  p.struck = legendType == ltStruck;
  p.legend = legendType;
  p.captionFont = layout.CaptionFont;
  p.smallCaptionFont = layout.SmallCaptionFont;
  p.shiftCaptionFont = layout.ShiftCaptionFont;
  p.fixedFont = fontHeight;
  p.fontName = CaptionFontName;
  QPainter painter(&image);
  PaintKey(painter, p);
  return image;
}

void TKeyboard::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::SmoothPixmapTransform, true);
  const QPointF o = origin();
  p.translate(o);
  p.scale(Scale(), Scale());
  const TKeyboardModel& m = *model_;
  const TKeyDataExt& layout = m.Layout();
  if (!Background.isNull()) p.drawImage(QPointF(layout.PictureX, layout.PictureY), Background);
  for (size_t i = 0; i < m.KeyCount(); ++i) {
    if (!m.IsVisible(i)) continue;
    const TKeyInfoExt& k = m.Key(i);
    const KeyDisplay& d = m.Display(i);
    p.save();
    p.translate(k.X, k.Y);
    if (k.HasPicture) {
      const bool lit = d.Lit || d.Hinted;
      const bool errorLook = d.Struck && k.ErrorPicture;
      const std::string& file = lit || errorLook ? k.LitPicture : k.Picture;
      const QImage image = picture(file.empty() ? k.Picture : file);
      if (!image.isNull()) p.drawImage(QRectF(0, 0, k.Width, k.Height), image);
      if (d.Struck && !lit) {
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(rgb(kStrikeRed), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, k.Height - 7), QPointF(k.Width - 5, 3));
      }
    } else {
      const QImage& key = drawnKey(i, paintOf(i), Scale() * devicePixelRatioF());
      p.drawImage(QPointF(-kDrawnMargin, -kDrawnMargin), key);
    }
    p.restore();
  }
}

const QImage& TKeyboard::drawnKey(size_t i, const KeyPaint& paint, qreal scale) {
  if (drawn_.size() <= i) drawn_.resize(model_->KeyCount());
  DrawnKey& d = drawn_[i];
  if (d.image.isNull() || d.scale != scale || !(d.paint == paint)) {
    // Drawn at the screen's own pixel size, with a margin for what a key paints beyond its
    // edges, then copied 1:1.
    const QSize size(static_cast<int>(std::ceil((paint.width + 2 * kDrawnMargin) * scale)),
                     static_cast<int>(std::ceil((paint.height + 2 * kDrawnMargin) * scale)));
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter kp(&image);
    kp.scale(scale, scale);
    kp.translate(kDrawnMargin, kDrawnMargin);
    PaintKey(kp, paint);
    kp.end();
    image.setDevicePixelRatio(scale);
    d = DrawnKey{paint, std::move(image), scale};
  }
  return d.image;
}

}  // namespace ks
