#include "content/ui/lessondone.h"

#include <QPushButton>

#include "analysis/keydataext.h"
#include "analysis/ui/keyboardex.h"
#include "book/bookwindow.h"
#include "content/bookmark.h"
#include "content/ui/studystyle.h"
#include "platform/desktop/qtext.h"

namespace ks {

TLessonDone::TLessonDone(TBookMark& bookmark, bool lastLesson, std::string nextTitle,
                         std::string knownKeys)
    : bookmark_(bookmark),
      last_(lastLesson),
      nextTitle_(std::move(nextTitle)),
      knownKeys_(std::move(knownKeys)) {}

TLessonDone::~TLessonDone() = default;

void TLessonDone::Setup() {
  TCustomBookView::Setup();
  QWidget* page = Content();
  if (!page) return;
  page->setStyleSheet(studyStyleSheet());
  SetTitle(last_ ? msgText(1726) : toQString(bookmark_.CourseDescription));

  QFrame* card = makeCard(page, QRect(20, 66, 568, 388), "LessonDoneCard");
  auto* done = makeHeading(card, msgText(1727), 14);
  done->setObjectName("DoneLbl");
  done->setWordWrap(true);
  done->setGeometry(18, 12, 532, 44);
  if (!CurrentLayout().Keys.empty()) {
    keyboard_ = std::make_unique<TKeyboard>(card, CurrentLayout());
    keyboard_->setObjectName("Keyboard");
    keyboard_->setGeometry(18, 60, 532, 220);
    keyboard_->MarkKeys(knownKeys_);
    keyboard_->show();
  }
  auto* next = makeLabel(card, last_ ? msgText(1728) : msgText(1936) + toQString(nextTitle_), 11,
                         true, "#1f5f3a");
  next->setObjectName("NextLessonLbl");
  next->setWordWrap(true);
  next->setGeometry(18, 286, 532, 24);
  if (last_) {
    auto* text = makeLabel(card, msgText(1729), 10);
    text->setObjectName("TextLbl");
    text->setWordWrap(true);
    text->setGeometry(18, 310, 532, 34);
  }

  // The other ways on.
  int x = 18;
  const auto add = [&](const QString& name, const QString& caption, int answer, bool shown) {
    if (!shown) return;
    QPushButton* b = makeButton(card, name, caption);
    b->setGeometry(x, 346, 128, 30);
    x += 134;
    connect(b, &QPushButton::clicked, this, [this, answer] { SetCloseResult(answer); });
  };
  add("PrevLessonBtn", msgText(396) + QString::number(bookmark_.Chapter - 1), 3,
      bookmark_.Chapter > 1);
  add("NextLessonBtn", msgText(396) + QString::number(bookmark_.Chapter + 1), 4, !last_);
  add("ContentsBtn", msgText(1920), 5, true);
  add("ChangeCourseBtn", msgText(1921), 8, true);
}

void TLessonDone::Hide() {
  keyboard_.reset();
  TCustomBookView::Hide();
}

}  // namespace ks
