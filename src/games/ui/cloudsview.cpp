#include "games/ui/cloudsview.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <map>
#include <tuple>

#include "analysis/analyzer.h"
#include "analysis/ui/lcds.h"
#include "book/pagestyle.h"
#include "book/uistyle.h"
#include "engine/ui/eventenv.h"
#include "platform/desktop/qtext.h"

namespace ks {
namespace {

const QColor kSky(0x95, 0x9A, 0xFF);
constexpr int kPlatePadding = 5;

// A plain sans-serif face reads best in motion.
QFont cloudFont() {
  return designFont("Verdana", 12, true);
}

// A cloud's outline: a flat base with four puffs, within `r`.
QPainterPath cloudShape(const QRectF& r) {
  const qreal w = r.width(), h = r.height();
  QPainterPath path;
  // The puffs overlap: winding fill makes one outline of them.
  path.setFillRule(Qt::WindingFill);
  path.addRoundedRect(QRectF(r.left() + w * 0.04, r.top() + h * 0.48, w * 0.92, h * 0.48), h * 0.24,
                      h * 0.24);
  path.addEllipse(QRectF(r.left() + w * 0.08, r.top() + h * 0.34, w * 0.32, h * 0.5));
  path.addEllipse(QRectF(r.left() + w * 0.24, r.top() + h * 0.06, w * 0.34, h * 0.66));
  path.addEllipse(QRectF(r.left() + w * 0.46, r.top() + h * 0.16, w * 0.3, h * 0.56));
  path.addEllipse(QRectF(r.left() + w * 0.64, r.top() + h * 0.36, w * 0.28, h * 0.46));
  return path.simplified();
}

void paintCloud(QPainter& p, const QRectF& r, TCloud::Picture picture) {
  QColor top, bottom, line;
  switch (picture) {
    case TCloud::Gray:
      top = QColor(0xC9, 0xCC, 0xD6), bottom = QColor(0x8E, 0x93, 0xA3),
      line = QColor(0x6E, 0x73, 0x85);
      break;
    case TCloud::Dark:
      top = QColor(0x6B, 0x70, 0x82), bottom = QColor(0x3A, 0x3E, 0x4E),
      line = QColor(0x2A, 0x2D, 0x3A);
      break;
    case TCloud::Bonus:
      top = QColor(0xFF, 0xFB, 0xE6), bottom = QColor(0xFF, 0xE2, 0x8A),
      line = QColor(0xE0, 0xA8, 0x20);
      break;
    default:
      top = Qt::white, bottom = QColor(0xE4, 0xE7, 0xF5), line = QColor(0xB4, 0xB9, 0xD8);
      break;
  }
  QRectF body = r;
  if (picture == TCloud::Bonus) {
    // The sun peeps out behind the sunny cloud.
    const QRectF sun(r.right() - r.height() * 0.62, r.top(), r.height() * 0.56, r.height() * 0.56);
    QRadialGradient glow(sun.center(), sun.width() / 2);
    glow.setColorAt(0, QColor(0xFF, 0xF0, 0x60));
    glow.setColorAt(1, QColor(0xFF, 0xB8, 0x1C));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(sun);
    body.adjust(0, r.height() * 0.1, -r.width() * 0.08, 0);
  }
  QLinearGradient fill(body.topLeft(), body.bottomLeft());
  fill.setColorAt(0, top);
  fill.setColorAt(1, bottom);
  p.setPen(QPen(line, std::max(1.0, r.height() / 40)));
  p.setBrush(fill);
  p.drawPath(cloudShape(body));
  if (picture == TCloud::Dark) {
    // Rain under the dark cloud.
    p.setPen(QPen(QColor(0x3A, 0x5B, 0xD8), 1.5, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 5; ++i) {
      const qreal x = r.left() + r.width() * (0.22 + 0.14 * i);
      p.drawLine(QPointF(x, r.bottom() - 2), QPointF(x - 3, r.bottom() + 4));
    }
  }
}

}  // namespace

CloudWordColours cloudWordColours() {
  return {QColor(0x1B, 0x24, 0x66), QColor(0xFF, 0xE0, 0x66), Qt::white};
}

const QImage& cloudPicture(TCloud::Picture picture, QSize size, qreal dpr) {
  using Key = std::tuple<int, int, int, qreal>;
  static std::map<Key, QImage> cache;
  const Key key{picture, size.width(), size.height(), dpr};
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  if (cache.size() > 64) cache.clear();
  // Room below for the rain.
  QImage image(QSize(size.width(), size.height() + 6) * dpr, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(dpr);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  paintCloud(p, QRectF(QPointF(1, 1), QSizeF(size) - QSizeF(2, 4)), picture);
  p.end();
  return cache.emplace(key, std::move(image)).first->second;
}

TCloudGame::TCloudGame(const std::string& line) : TCustomGameEvent(line) {}

TCloudGame::~TCloudGame() = default;

void TCloudGame::Setup() {
  TCustomGameEvent::Setup();
  // Enter selects the next cloud until the game is over.
  EnterCloses = false;
  PlaceField(QRect(6, 37, kBookWidth - 12, kFieldHeight), kSky);
  const QFontMetrics metrics(cloudFont());
  CloudMetrics m;
  m.PictureWidth = kPictureSize.width();
  m.PictureHeight = kPictureSize.height();
  m.TextHeight = metrics.height();
  m.TextWidth = [metrics](const std::string& word) {
    return metrics.horizontalAdvance(toQString(word)) + 8;
  };
  auto addWord = [](const std::string& word, int weight) {
    if (Analyzer* a = eventEnvironment().analyzer) Analyzer_AddWord(*a, word, weight);
  };
  model_ = std::make_unique<CloudsModel>(
      kBookWidth - 12, kFieldHeight, std::move(m), [this] { return NextWord(false); }, addWord,
      random(), sound());
  follow();
  if (!Content()) return;
  MakeBottomTitle(msgText(134), QPoint(265, 440))->setObjectName("MissedTitle");
  missed_ = new TMissedLcd(Content());
  missed_->setObjectName("MissedDisplay");
  const qreal dpr = qApp->devicePixelRatio();
  const QSize mark(30, 20);
  missed_->OpenMark = cloudPicture(TCloud::White, mark, dpr);
  missed_->MissedMark = cloudPicture(TCloud::Dark, mark, dpr);
  missed_->move(265, 463);
  missed_->SetTotal(CloudsModel::kMaxMissed);
  missed_->SetMissed(0);
  SetInstructions(msgText(612), {msgText(279), msgText(280), msgText(281), msgText(282)}, 309);
}

void TCloudGame::FinishTyping() {
  TCustomGameEvent::FinishTyping();
  EnterCloses = true;
}

void TCloudGame::follow() {
  SetStepInterval(model_->StepInterval());
  if (missed_ && missed_->Missed() != model_->Missed()) missed_->SetMissed(model_->Missed());
}

void TCloudGame::GameStep(int64_t now) {
  model_->Step(now);
  follow();
}

void TCloudGame::GameKey(unsigned char key) {
  model_->Key(key, Now());
  SetPoints(model_->Points());
  follow();
}

void TCloudGame::PaintField(QPainter& p) {
  if (!model_) return;
  const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
  p.setRenderHint(QPainter::Antialiasing);
  p.setFont(cloudFont());
  const QFontMetrics fm(p.font());
  const TCloud* selected = model_->Selected();
  for (const TCloud& c : model_->Clouds()) {
    const int left = c.X + (c.Width - kPictureSize.width()) / 2;
    p.drawImage(QPoint(left, c.Y), cloudPicture(c.Current(), kPictureSize, dpr));
    if (&c == selected) {
      p.setPen(QPen(QColor(0xFF, 0xFF, 0x00), 2));
      p.setBrush(Qt::NoBrush);
      p.drawRoundedRect(
          QRectF(left - 3, c.Y - 3, kPictureSize.width() + 6, kPictureSize.height() + 6), 5, 5);
    }
    if (!c.WordVisible()) continue;
    const int typed = std::clamp(c.Cursor - 1, 0, static_cast<int>(c.CloudWord.size()));
    const QString done = toQString(c.CloudWord.substr(0, static_cast<size_t>(typed)));
    const QString rest = toQString(c.CloudWord.substr(static_cast<size_t>(typed)));
    const int width = fm.horizontalAdvance(done + rest);
    const QPoint at(c.X + (c.Width - width) / 2, c.Y + kPictureSize.height() + 2 + fm.ascent());
    const CloudWordColours colours = cloudWordColours();
    // The plate covers the rain under the cloud, so no drop crosses a letter.
    const QRectF plate(at.x() - kPlatePadding, at.y() - fm.ascent() - 2, width + 2 * kPlatePadding,
                       fm.height() + 4);
    p.setPen(Qt::NoPen);
    p.setBrush(colours.Plate);
    p.drawRoundedRect(plate, plate.height() / 2, plate.height() / 2);
    p.setPen(colours.Typed);
    p.drawText(at, done);
    p.setPen(colours.Rest);
    p.drawText(at + QPoint(fm.horizontalAdvance(done), 0), rest);
  }
}

}  // namespace ks
