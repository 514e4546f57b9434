#include "engine/ui/keygroupview.h"

#include <QPainter>

#include "analysis/keydataext.h"
#include "analysis/ui/keypainter.h"
#include "platform/desktop/qtext.h"
#include "store/langres.h"
#include "store/qssettings.h"

namespace ks {
namespace {

constexpr int kMarkWidth = 30;

// What a cap says: the character, or the name of a key that types no visible one.
std::string capCaption(unsigned char c) {
  if (c == 13) return Localize().GetString(164);
  if (c == ' ') return Localize().GetString(166);
  if (c == 9) return Localize().GetString(163);
  return std::string(1, static_cast<char>(c));
}

void paintMark(QPainter& p, const QRect& r, bool ok) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  const QRectF circle(r.center().x() - 10, r.center().y() - 10, 20, 20);
  p.setPen(Qt::NoPen);
  p.setBrush(ok ? rgb(0x8EC02C) : rgb(kStrikeRed));
  p.drawEllipse(circle);
  p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  const QPointF c = circle.center();
  if (ok) {
    p.drawPolyline(QPolygonF{c + QPointF(-5, 0), c + QPointF(-1.5, 4), c + QPointF(5, -4)});
  } else {
    p.drawLine(c + QPointF(-4, -4), c + QPointF(4, 4));
    p.drawLine(c + QPointF(4, -4), c + QPointF(-4, 4));
  }
  p.restore();
}

}  // namespace

TKeyGroupPicture::TKeyGroupPicture(const KeyGroupModel& groups, TKeyDataExt& layout,
                                   QWidget* parent)
    : QWidget(parent), groups_(&groups), layout_(&layout) {
  setObjectName("KeyGroupPicture");
  setAccessibleName(tr("Keys to type"));
}

void TKeyGroupPicture::GroupChanged() {
  // The caps are only painted: a screen reader reads the group from the description.
  const QString group = toQString(groups_->Group());
  if (accessibleDescription() != group) setAccessibleDescription(group);
  update();
}

QRect TKeyGroupPicture::CapRect(size_t i) const {
  const std::vector<CapPlace> places = groups_->Places();
  if (i >= places.size()) return {};
  const CapPlace& c = places[i];
  const int x = c.Column * CapWidth + (c.Part % 2) * kMarkWidth;
  return {x + (CapWidth - CapSize) / 2, c.Row * RowHeight + (RowHeight - CapSize) / 2, CapSize,
          CapSize};
}

QRect TKeyGroupPicture::MarkRect(int part) const {
  const std::vector<CapPlace> places = groups_->Places();
  for (size_t i = places.size(); i-- > 0;) {
    if (places[i].Part != part) continue;
    const QRect cap = CapRect(i);
    return {cap.right() + 1 + (CapWidth - CapSize) / 2, cap.top(), kMarkWidth, CapSize};
  }
  return {};
}

void TKeyGroupPicture::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const std::string& group = groups_->Group();
  if (group.empty()) return;
  // A long group is drawn smaller rather than cut.
  int right = 0;
  for (int part = 0; part < groups_->PartCount(); ++part)
    right = std::max(right, MarkRect(part).right());
  if (right > width()) p.scale(double(width()) / right, double(width()) / right);
  for (size_t i = 0; i < group.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(group[i]);
    const char ch = static_cast<char>(c);
    const FoundKey f = layout_->findKey(std::string_view(&ch, 1));
    KeyPaint k;
    k.width = k.height = CapSize;
    k.cap0 = capCaption(c);
    k.fixedFont = c > ' ' ? 18 : 11;
    switch (groups_->StateOf(i)) {
      case CapState::Pending:
        k.look = KeyLook::Active;
        break;
      case CapState::Current:
        k.look = KeyLook::Lit;
        break;
      case CapState::Right:
        k.legend = ltGreenFrame;
        break;
      case CapState::Corrected:
        k.legend = ltRedFrame;
        break;
    }
    k.colours = KeyColours(
        KeyColourColumn(f.key ? f.key->Finger : -1, lessonOptions().disableColorKbd), k.look);
    p.save();
    p.translate(CapRect(i).topLeft());
    PaintKey(p, k);
    p.restore();
  }
  for (int part = 0; part < groups_->PartCount(); ++part) {
    const PartResult r = groups_->ResultOf(part);
    if (r != PartResult::Open) paintMark(p, MarkRect(part), r == PartResult::Ok);
  }
}

}  // namespace ks
