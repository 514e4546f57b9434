#include "book/placeholderview.h"

#include <QLabel>
#include <QPainter>
#include <algorithm>

#include "book/bookwindow.h"
#include "book/pagestyle.h"
#include "book/uistyle.h"

namespace ks {
namespace {

class SignPicture : public QWidget {
 public:
  SignPicture(TPlaceholderView::Sign sign, QWidget* parent) : QWidget(parent), sign_(sign) {
    setAttribute(Qt::WA_TranslucentBackground);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF disc = QRectF(rect()).adjusted(2, 2, -2, -2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe4, 0xef, 0xd8));
    p.drawEllipse(disc);
    const QPointF c = disc.center();
    const double r = disc.width() / 2;
    QPen pen(QColor(0x2e, 0x8b, 0x57), r / 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    if (sign_ == TPlaceholderView::Sign::Later) {
      p.drawEllipse(c, r * 0.62, r * 0.62);
      p.drawLine(c, c + QPointF(0, -r * 0.42));
      p.drawLine(c, c + QPointF(r * 0.3, r * 0.12));
    } else {
      p.drawLine(c + QPointF(0, -r * 0.08), c + QPointF(0, r * 0.45));
      p.setPen(Qt::NoPen);
      p.setBrush(pen.color());
      p.drawEllipse(c + QPointF(0, -r * 0.38), r / 9, r / 9);
    }
  }

 private:
  TPlaceholderView::Sign sign_;
};

}  // namespace

TPlaceholderView::TPlaceholderView(QString title, QString text, Sign sign)
    : title_(std::move(title)), text_(std::move(text)), sign_(sign) {
  CancelVisible = false;
  OKInsteadOfNext = true;
}

void TPlaceholderView::Setup() {
  TCustomBookView::Setup();
  SetTitle(title_);
  QWidget* page = Content();
  if (!page) return;
  page->setStyleSheet(studyStyleSheet());
  QFrame* card = makeCard(page, QRect(40, 90, 520, 112), "PlaceholderCard");
  auto* sign = new SignPicture(sign_, card);
  sign->setGeometry(24, 24, 64, 64);
  QLabel* label = makeLabel(card, text_, 12);
  label->setObjectName("PlaceholderText");
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // The card grows with the text, up to the buttons at the foot of the page.
  const int textHeight = std::min(label->heightForWidth(384), 330);
  label->setGeometry(112, 30, 384, textHeight);
  card->resize(card->width(), std::max(112, textHeight + 56));
}

}  // namespace ks
