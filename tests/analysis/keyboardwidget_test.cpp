// The drawn keyboard, hands and indicators, probed pixel by pixel. With $KS_SCREENSHOT_DIR set
// the renders are saved there for a look.
#include <gtest/gtest.h>

#include <QPainter>
#include <QTest>
#include <QWidget>
#include <cstdlib>

#include "analysis/ui/finger.h"
#include "analysis/ui/keyboardex.h"
#include "analysis/ui/lcds.h"
#include "shippedkbd.h"
#include "store/qssettings.h"

namespace ks {
namespace {

void save(const QImage& image, const QString& name) {
  if (const char* dir = std::getenv("KS_SCREENSHOT_DIR")) image.save(QString(dir) + "/" + name);
}

QImage render(QWidget& w) {
  QImage image(w.size(), QImage::Format_ARGB32);
  image.fill(QColor(239, 255, 215));  // the book's page colour behind the control
  w.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
  return image;
}

uint32_t rgbAt(const QImage& image, QPointF p) {
  return image.pixel(p.toPoint()) & 0xFFFFFF;
}

struct DrawnKeyboard : ::testing::Test {
  test::TempDir dir;
  TKeyDataExt layout;
  FakeClock clock;

  std::unique_ptr<TKeyboard> keyboard(const std::string& file, QSize size = {502, 250}) {
    EXPECT_EQ(test::loadShippedLayout(layout, dir, file), 1);
    auto kb = std::make_unique<TKeyboard>(nullptr, layout, clock);
    kb->resize(size);
    return kb;
  }
  size_t keyOf(TKeyboard& kb, char c) { return static_cast<size_t>(kb.Model().KeyIndexOf(c)); }
};

// The lit key, its Shift key and the taught keys show their colours where the learner looks.
TEST_F(DrawnKeyboard, TheLitKeyAndItsModifierShowTheirFingersLitColours) {
  for (const std::string file : {"qwerty.kbd", "french.kbd", "dvorak.kbd"}) {
    SCOPED_TRACE(file);
    auto kb = keyboard(file);
    kb->MarkKeys(layout.HomeRow);
    kb->ShowKeys("", "K", 0, "");  // a capital: the key and the left Shift key
    const QImage shot = render(*kb);
    save(shot, QString::fromStdString("keyboard-" + file.substr(0, file.size() - 4) + ".png"));
    const size_t k = keyOf(*kb, 'k');
    const int column = KeyColourColumn(kb->Model().Key(k).Finger, false);
    EXPECT_EQ(rgbAt(shot, kb->FacePoint(k)), KeyColours(column, KeyLook::Lit).face);
    // Shift is held by the other hand.
    const TKeyInfoExt* other =
        kb->Model().Key(k).Finger <= 4 ? layout.RightModifiers[1] : layout.LeftModifiers[1];
    const size_t shift = static_cast<size_t>(kb->Model().IndexOf(other));
    EXPECT_EQ(rgbAt(shot, kb->FacePoint(shift)), KeyColours(0, KeyLook::Lit).face);
    // A taught key is raised in its active colours; an untaught one is flat.
    const size_t home = keyOf(*kb, layout.HomeRow[0]);
    EXPECT_EQ(rgbAt(shot, kb->FacePoint(home)), KeyColours(0, KeyLook::Active).face);
    const size_t untaught = keyOf(*kb, file == "dvorak.kbd" ? 'y' : 't');
    EXPECT_EQ(rgbAt(shot, kb->FacePoint(untaught)), KeyColours(3, KeyLook::Plain).face);
  }
}

TEST_F(DrawnKeyboard, ScalesToTheSizeItIsGivenAndFollowsThePolicysColourSwitch) {
  lessonOptions().disableColorKbd = true;
  auto kb = keyboard("qwerty.kbd", {1004, 500});
  lessonOptions().disableColorKbd = false;
  EXPECT_NEAR(kb->Scale(), 2.0, 0.05);
  kb->ShowKeys("", "d", 0, "");
  const QImage shot = render(*kb);
  const size_t d = keyOf(*kb, 'd');
  EXPECT_NEAR(kb->KeyRect(d).width(), 62, 2);
  EXPECT_EQ(rgbAt(shot, kb->FacePoint(d)), KeyColours(0, KeyLook::Lit).face);
}

// The delayed lighting runs on a real timer inside the widget.
TEST_F(DrawnKeyboard, DelayedLightingRunsOnItsOwnTimer) {
  ASSERT_EQ(test::loadShippedLayout(layout, dir, "qwerty.kbd"), 1);
  SystemClock real;
  TKeyboard live(nullptr, layout, real);
  live.resize(502, 250);
  live.ShowKeys("", "j", 30, "");
  const size_t j = keyOf(live, 'j');
  EXPECT_FALSE(live.Model().Display(j).Lit);
  for (int i = 0; i < 100 && !live.Model().Display(j).Lit; ++i) QTest::qWait(10);
  EXPECT_TRUE(live.Model().Display(j).Lit);
}

TEST_F(DrawnKeyboard, StruckKeysGetASlashAndLegendKeysTheirFrames) {
  auto kb = keyboard("qwerty.kbd", {1004, 500});
  kb->ShowKeys("g", "", 0, "");
  const QImage shot = render(*kb);
  const QRectF g = kb->KeyRect(keyOf(*kb, 'g'));
  // The slash runs from the bottom left to the top right of the key.
  const double s = kb->Scale();
  const QPointF mid = g.topLeft() + QPointF(g.width() / 2, (g.height() - 4 * s) / 2);
  EXPECT_EQ(rgbAt(shot, mid), kStrikeRed);

  const QImage green = kb->MakeLegendKey("a", 33, 1, true, ltGreenFrame, 0, 31);
  EXPECT_EQ(green.pixel(1, 16) & 0xFFFFFF, kFrameGreen);
  const QImage red = kb->MakeLegendKey("a", 33, 1, false, ltLitRedFrame, 0, 31);
  EXPECT_EQ(red.pixel(1, 16) & 0xFFFFFF, kStrikeRed);
  EXPECT_EQ(red.pixel(21, 20) & 0xFFFFFF, KeyColours(0, KeyLook::Lit).face);
  const QImage plain = kb->MakeLegendKey("a", 33, 3, false, ltNone, 0, 31);
  EXPECT_EQ(plain.pixel(21, 20) & 0xFFFFFF, KeyColours(2, KeyLook::Plain).face);
  EXPECT_FALSE(kb->LitLegend.isNull());
  EXPECT_EQ(kb->LitLegend.size(), QSize(31, 33));
}

// A letter key shows its capital alone; a digit key with a symbol above shows both.
TEST_F(DrawnKeyboard, LetterKeysShowOneCaptionAndDigitKeysTwo) {
  auto kb = keyboard("qwerty.kbd", {1004, 500});
  const QImage shot = render(*kb);
  const auto inked = [&](size_t key, double top, double bottom) {
    const QRectF r = kb->KeyRect(key);
    const uint32_t face =
        KeyColours(KeyColourColumn(kb->Model().Key(key).Finger, false), KeyLook::Plain).face;
    int n = 0;
    for (int y = int(r.top() + r.height() * top); y < int(r.top() + r.height() * bottom); ++y)
      for (int x = int(r.left() + 10); x < int(r.left() + r.width() * 0.6); ++x)
        n += rgbAt(shot, QPointF(x, y)) != face;
    return n;
  };
  EXPECT_GT(inked(keyOf(*kb, 'w'), 0.1, 0.45), 20);
  EXPECT_EQ(inked(keyOf(*kb, 'w'), 0.55, 0.85), 0);
  EXPECT_GT(inked(keyOf(*kb, '2'), 0.1, 0.45), 20);
  EXPECT_GT(inked(keyOf(*kb, '2'), 0.55, 0.85), 20);
}

// A name too long for its cap (German "Umschalt" on the narrow Shift key of a German keyboard)
// is shown as the cap's symbol in the caption's own size, not squeezed; one that fits stays.
TEST(KeyCaps, ANameThatDoesNotFitShowsTheKeysSymbol) {
  const auto paint = [](int width, const std::string& caption, const QString& symbol) {
    KeyPaint k;
    k.width = width;
    k.height = 33;
    k.smallCaption = true;
    k.colours = KeyColours(0, KeyLook::Plain);
    k.cap0 = caption;
    k.symbol = symbol;
    QImage image(width + 8, 41, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    PaintKey(p, k);
    p.end();
    return image;
  };
  const QString arrow(QChar(0x21E7));
  save(paint(39, "Umschalt", arrow), "key_narrow_shift.png");
  EXPECT_NE(paint(39, "Umschalt", arrow), paint(39, "Umschalt", QString()));
  EXPECT_EQ(paint(120, "Umschalt", arrow), paint(120, "Umschalt", QString()));
}

TEST(Fingers, TheFingerToUseIsLitInItsColour) {
  TFingers hands;
  hands.resize(TFingers::kDesignWidth, TFingers::kDesignHeight);
  hands.ShowFinger(6);
  QImage shot = render(hands);
  save(shot, "fingers.png");
  EXPECT_EQ(rgbAt(shot, hands.FingerPoint(6)), 0xADDD37u);
  EXPECT_NE(rgbAt(shot, hands.FingerPoint(3)), 0xADDD37u);
  hands.ShowFingers((1u << 1) | (1u << 9));
  EXPECT_EQ(hands.SingleFinger, -1);
  shot = render(hands);
  EXPECT_EQ(rgbAt(shot, hands.FingerPoint(1)), 0x7D99FFu);
  EXPECT_EQ(rgbAt(shot, hands.FingerPoint(9)), 0xBFB8AAu);
  EXPECT_NE(rgbAt(shot, hands.FingerPoint(6)), 0xADDD37u);
  hands.DisableColour = true;
  hands.ShowFinger(4);
  shot = render(hands);
  EXPECT_EQ(rgbAt(shot, hands.FingerPoint(4)), 0x7D99FFu);
  // Twice the size: the marks move with the hands.
  hands.resize(2 * TFingers::kDesignWidth, 2 * TFingers::kDesignHeight);
  shot = render(hands);
  EXPECT_EQ(rgbAt(shot, hands.FingerPoint(4)), 0x7D99FFu);
  EXPECT_NEAR(hands.FingerPoint(4).x(), 198, 1);
}

TEST(Indicators, TheRhythmLightAndTheRepetitionMarks) {
  TTrafficLightLcd light;
  light.SetLight(2);
  QImage shot = render(light);
  EXPECT_EQ(rgbAt(shot, TTrafficLightLcd::LampCentre(2)), 0xF8DA32u);
  EXPECT_EQ(rgbAt(shot, TTrafficLightLcd::LampCentre(1)), 0x354FB1u);  // only outlined
  light.SetLight(3);
  shot = render(light);
  EXPECT_EQ(rgbAt(shot, TTrafficLightLcd::LampCentre(3)), 0xFF0080u);

  TMissedLcd marks;
  marks.OpenMark = QImage(10, 10, QImage::Format_RGB32);
  marks.OpenMark.fill(Qt::white);
  marks.MissedMark = QImage(10, 10, QImage::Format_RGB32);
  marks.MissedMark.fill(Qt::blue);
  marks.SetTotal(6);
  marks.SetMissed(2);
  EXPECT_EQ(marks.size(), QSize(60, 10));
  shot = render(marks);
  EXPECT_EQ(rgbAt(shot, QPointF(15, 5)), 0x0000FFu);
  EXPECT_EQ(rgbAt(shot, QPointF(25, 5)), 0xFFFFFFu);
}

}  // namespace
}  // namespace ks
