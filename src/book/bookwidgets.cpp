#include "book/bookwidgets.h"

#include <QEnterEvent>
#include <QPainter>
#include <QPainterPath>

#include "book/keyaccess.h"
#include "book/uistyle.h"

namespace ks {
namespace {

const QColor kMenuTop(38, 64, 112);
const QColor kMenuBottom(24, 44, 82);

// The focus ring on the menu: a warm yellow on its dark blue.
QColor menuFocus() {
  return highContrast() ? focusColour() : QColor(255, 214, 64);
}

}  // namespace

BookPage::BookPage(QWidget* parent) : QWidget(parent) {
  setObjectName("Book");
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void BookPage::setTitleShading(bool on) {
  if (titleShading_ == on) return;
  titleShading_ = on;
  update();
}

void BookPage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor page = colours().page;
  p.fillRect(rect(), page);
  if (titleShading_ && !lowColour() && !highContrast()) {
    // A band that fades from a deeper tint of the page into the page itself.
    QLinearGradient band(0, 6, 0, 58);
    band.setColorAt(0, page.darker(112));
    band.setColorAt(1, page);
    p.fillRect(QRect(0, 6, width(), 52), band);
    p.setPen(QPen(page.darker(125), 1));
    p.drawLine(24, 57, width() - 215, 57);
  }
  // The binding of the book down the left edge.
  if (!lowColour() && !highContrast()) {
    QLinearGradient spine(0, 0, 10, 0);
    spine.setColorAt(0, page.darker(118));
    spine.setColorAt(1, page);
    p.fillRect(QRect(0, 0, 10, height()), spine);
  }
}

MenuPanel::MenuPanel(QWidget* parent) : QWidget(parent) {
  setObjectName("MenuPanel");
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void MenuPanel::setMarkedTop(int y) {
  markedTop_ = y;
  update();
}

void MenuPanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (lowColour() || highContrast()) {
    p.fillRect(rect(), colours().frame);
  } else {
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, kMenuTop);
    g.setColorAt(1, kMenuBottom);
    p.fillRect(rect(), g);
    p.setPen(QColor(255, 255, 255, 40));
    p.drawLine(0, 0, 0, height());
  }
  if (markedTop_ >= 0) {
    // The selected tab sits on a band of the page's colour, as if it were part of the page.
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath band;
    band.addRoundedRect(QRectF(-8, markedTop_ + 8, 186, 39), 8, 8);
    p.fillPath(band, colours().page);
  }
}

TabButton::TabButton(const QString& name, const QString& caption, bool bold, QWidget* parent)
    : QAbstractButton(parent) {
  setObjectName(name);
  setText(caption);
  setFont(designFont("Verdana", 10, bold));
  setCursor(Qt::PointingHandCursor);
  setFixedSize(175, 39);
  // Reached by Tab and its mnemonic; a click leaves the focus where the learner types.
  setFocusPolicy(Qt::TabFocus);
}

void TabButton::enterEvent(QEnterEvent*) {
  hover_ = true;
  update();
}

void TabButton::leaveEvent(QEvent*) {
  hover_ = false;
  update();
}

void TabButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const bool selected = !isEnabled();
  // In high contrast the menu is the desktop's text colour and its tabs the page's.
  const QColor onMenu = highContrast() ? colours().page : QColor(Qt::white);
  const QColor ink = selected ? inkColour() : onMenu;
  // Glyph: a small disc with a chevron, filled when selected.
  QRectF disc(16, height() / 2.0 - 8, 16, 16);
  p.setPen(QPen(selected || highContrast() ? ink : QColor(255, 255, 255, 200), 1.5));
  p.setBrush(selected ? colours().highlight : QColor(255, 255, 255, hover_ ? 60 : 25));
  p.drawEllipse(disc);
  QPainterPath chevron;
  chevron.moveTo(disc.center() + QPointF(-2, -4));
  chevron.lineTo(disc.center() + QPointF(2.5, 0));
  chevron.lineTo(disc.center() + QPointF(-2, 4));
  p.setBrush(Qt::NoBrush);
  p.drawPath(chevron);
  QFont f = font();
  f.setUnderline(hover_ && !selected);
  p.setFont(f);
  p.setPen(ink);
  p.drawText(QRect(16 + 16 + 8, 0, width() - 40, height()),
             Qt::AlignVCenter | Qt::AlignLeft | Qt::TextShowMnemonic, text());
  if (hasFocus()) paintFocusRing(p, QRectF(rect()).adjusted(6, 3, -2, -3), 8, menuFocus());
}

RoundButton::RoundButton(const QString& name, Symbol symbol, QWidget* parent)
    : QAbstractButton(parent), symbol_(symbol) {
  setObjectName(name);
  setCursor(Qt::PointingHandCursor);
  setFont(designFont("Verdana", 8, true));
  setFocusPolicy(Qt::TabFocus);
}

void RoundButton::enterEvent(QEnterEvent*) {
  hover_ = true;
  update();
}

void RoundButton::leaveEvent(QEvent*) {
  hover_ = false;
  update();
}

void RoundButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const bool small = height() < 40;
  const qreal d = small ? std::min(width(), height()) - 2 : 44;
  QRectF circle((width() - d) / 2.0, 1, d, d);
  QColor base = symbol_ == Symbol::Cancel || symbol_ == Symbol::Exit ? QColor(196, 72, 60)
                                                                     : QColor(46, 139, 87);
  if (!isEnabled()) base = QColor(150, 150, 150);
  if (isDown()) base = base.darker(120);
  QRadialGradient g(circle.center() - QPointF(d / 5, d / 5), d * 0.75);
  g.setColorAt(0, hover_ ? base.lighter(135) : base.lighter(120));
  g.setColorAt(1, base);
  p.setPen(QPen(base.darker(140), 1.2));
  p.setBrush(g);
  p.drawEllipse(circle);

  // The symbol, drawn with round strokes.
  p.setPen(QPen(Qt::white, d / 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  const QPointF c = circle.center();
  const qreal s = d / 5;
  QPainterPath path;
  switch (symbol_) {
    case Symbol::Next:
    case Symbol::Start:
      path.moveTo(c + QPointF(-s, 0));
      path.lineTo(c + QPointF(s, 0));
      path.moveTo(c + QPointF(s * 0.1, -s * 0.9));
      path.lineTo(c + QPointF(s, 0));
      path.lineTo(c + QPointF(s * 0.1, s * 0.9));
      break;
    case Symbol::OK:
      path.moveTo(c + QPointF(-s, 0));
      path.lineTo(c + QPointF(-s * 0.25, s * 0.8));
      path.lineTo(c + QPointF(s, -s * 0.8));
      break;
    case Symbol::Cancel:
    case Symbol::Exit:
      path.moveTo(c + QPointF(-s * 0.8, -s * 0.8));
      path.lineTo(c + QPointF(s * 0.8, s * 0.8));
      path.moveTo(c + QPointF(s * 0.8, -s * 0.8));
      path.lineTo(c + QPointF(-s * 0.8, s * 0.8));
      break;
  }
  p.drawPath(path);
  if (!small && !text().isEmpty()) {
    const QColor onMenu = highContrast() ? colours().page : QColor(Qt::white);
    p.setPen(lightCaption_ ? onMenu : inkColour());
    p.setFont(font());
    p.drawText(QRect(0, static_cast<int>(d) + 3, width(), height() - static_cast<int>(d) - 3),
               Qt::AlignHCenter | Qt::AlignTop | Qt::TextShowMnemonic, text());
  }
  if (hasFocus()) {
    const QColor ring = lightCaption_ ? menuFocus() : focusColour();
    if (small) {
      paintFocusRing(p, QRectF(rect()).adjusted(1, 1, -1, -1), width() / 2.0, ring);
    } else {
      paintFocusRing(p, QRectF(rect()).adjusted(1, 1, -1, -1), 10, ring);
    }
  }
}

}  // namespace ks
