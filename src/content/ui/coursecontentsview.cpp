#include "content/ui/coursecontentsview.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>

#include "book/uistyle.h"
#include "content/contents.h"
#include "content/courseloop.h"
#include "content/courseviewmodel.h"
#include "content/policy.h"
#include "content/studylearner.h"
#include "content/ui/studystyle.h"
#include "platform/desktop/qtext.h"
#include "platform/paths.h"
#include "store/dynamicsettings.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {
namespace {

constexpr int kDynamicMinutes[] = {0, 25, 35, 45};
// The width a lesson title may take in the lessons card, beside its scroll bar.
constexpr int kLessonRoom = 244;

}  // namespace

TCourseContentsView::TCourseContentsView(StudyLearner* learner, std::filesystem::path lessonsFolder)
    : learner_(learner), lessonsFolder_(std::move(lessonsFolder)) {
  CancelVisible = false;
  ButtonFlags = 0;
  OnClosed = [this] { closed(); };
}

TCourseContentsView::~TCourseContentsView() = default;

void TCourseContentsView::Setup() {
  TCustomBookView::Setup();
  ButtonFlags = 0;
  std::string file = learner_ != nullptr ? learner_->GetSetting("ContentsFile", 1) : "";
  if (file.empty()) {
    file = policyString("DefaultContents");
    if (learner_ != nullptr) learner_->Settings().WriteString("ContentsFile", file);
  }
  // The preview rebuilds the key order; a stale one would raise the key level it saves.
  if (learner_ != nullptr) learner_->ClearKeyGroups();
  course_ = std::make_unique<TContents>(TContents::PreviewTag{},
                                        joinResolved(lessonsFolder_, file).string(),
                                        CourseServices{learner_, nullptr});
  TContents& c = *course_;
  TBookMark& bm = c.Bookmark;
  savedDuration_ = bm.Duration;
  const std::string timeKey = c.CourseId + ".StudyingTime";
  timeLocked_ = learner_ != nullptr && learner_->IsLocked(timeKey);
  if (timeLocked_) {
    studyTime_ = strToIntDef(learner_->GetSetting(timeKey, 0), 0);
  } else {
    const std::string own = learner_ != nullptr ? learner_->Settings().ReadString(timeKey) : "";
    studyTime_ = own.empty() ? c.DefaultTime : strToIntDef(own, 0);
  }
  // The choice the page opens with.
  if (c.StaticDurations) {
    bm.Duration = studyTime_ > 0 ? studyTime_ : -2;
  } else {
    int minutes = 0;
    for (int m : kDynamicMinutes) {
      if (studyTime_ > 0 && std::abs(m - studyTime_) < std::abs(minutes - studyTime_)) minutes = m;
    }
    bm.Duration = minutes;
  }

  QWidget* page = Content();
  if (!page) return;
  page->setStyleSheet(studyStyleSheet());
  SetTitle(toQString(c.Description));
  const int lessons = static_cast<int>(c.Lessons.size());

  // The lessons.
  QFrame* left = makeCard(page, QRect(20, 66, 300, 450), "LessonsCard");
  makeHeading(left, msgText(1924), 13)->setGeometry(16, 10, 268, 26);
  auto* scroll = new QScrollArea(left);
  scroll->setGeometry(8, 42, 284, 400);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll->setWidgetResizable(true);
  scroll->setStyleSheet("QScrollArea, QScrollArea > QWidget > QWidget { background: white; }");
  auto* panel = new QWidget;
  panel->setObjectName("LessonPanel");
  panel->setMinimumHeight(24 * lessons + 30);
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(8, 4, 8, 4);
  column->setSpacing(2);
  const std::vector<std::string> titles = c.LessonTitles(TitlePrefix::Number);
  for (int n = 1; n <= lessons; ++n) {
    const QString title = toQString(titles[static_cast<size_t>(n - 1)]);
    QPushButton* b = makeButton(panel, QString("Lesson%1").arg(n), title, ButtonRole::Link);
    b->setMinimumHeight(22);
    if (n == bm.Chapter) b->setFont(designFont("Verdana", 9, true));
    // A long title takes a second line, in the same type as the others; only what still does
    // not fit ends in an ellipsis, with all of it in the tooltip and the description.
    b->ensurePolished();
    const QStringList lines = wrappedLines(title, b->font(), kLessonRoom, 2);
    const QString shown = lines.join('\n');
    b->setMinimumHeight(
        std::max<int>(22, QFontMetrics(b->font()).height() * static_cast<int>(lines.size()) + 6));
    if (lines.size() > 1) b->setText(shown);
    if (shown.contains(QChar(0x2026))) {
      b->setToolTip(title);
      b->setAccessibleDescription(title);
    }
    connect(b, &QPushButton::clicked, this, [this, n] {
      if (ChooseLesson(n)) SetCloseResult(1);
    });
    column->addWidget(b);
  }
  column->addStretch();
  scroll->setWidget(panel);

  // What the course is, and how long it takes.
  QFrame* about = makeCard(page, QRect(332, 66, 256, 110), "AboutCard");
  auto* desc = makeLabel(about, QString(), 8, false, "#3c4a3c");
  desc->setObjectName("LongDescriptionLbl");
  desc->setWordWrap(true);
  desc->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  desc->setGeometry(12, 10, 232, 92);
  setElidedText(desc, toQString(c.LongDescription), 6);
  const int durationHeight = c.StaticDurations ? 206 : 124;
  QFrame* durations = makeCard(page, QRect(332, 186, 256, durationHeight), "DurationCard");
  buildDurations(durations);
  int y = 186 + durationHeight + 14;

  const bool inside = bm.Chapter >= 1 && bm.Chapter <= lessons;
  startBtn_ = makeButton(page, "StartLessonBtn",
                         inside ? msgText(1698) + " " + QString::number(bm.Chapter) : msgText(1699),
                         ButtonRole::Primary);
  startBtn_->setGeometry(332, y, 256, 44);
  y += 54;
  connect(startBtn_, &QPushButton::clicked, this, [this] { SetCloseResult(1); });
  QPushButton* back = makeButton(page, "BackBtn", msgText(1284));
  back->setGeometry(332, y, 124, 32);
  connect(back, &QPushButton::clicked, this, [this] { SetCloseResult(2); });
  QPushButton* change = makeButton(page, "ChangeCourseBtn", msgText(1921));
  change->setGeometry(464, y, 124, 32);
  connect(change, &QPushButton::clicked, this, [this] { SetCloseResult(8); });
}

void TCourseContentsView::buildDurations(QWidget* card) {
  const TContents& c = *course_;
  auto* title = makeLabel(card, msgText(1925), 10, true);
  title->setGeometry(12, 10, 232, 20);
  lengthLbl_ = makeLabel(card, QString(), 9, true, "#1f5f3a");
  lengthLbl_->setObjectName("LengthLbl");
  lengthLbl_->setWordWrap(true);
  lengthLbl_->setGeometry(12, c.StaticDurations ? 154 : 78, 232, 38);
  if (c.StaticDurations) {
    optimalBtn_ = new QRadioButton(msgText(1926), card);
    optimalBtn_->setObjectName("OptimalBtn");
    optimalBtn_->setFont(designFont("Verdana", 8));
    optimalBtn_->setGeometry(12, 34, 232, 20);
    durationList_ = new QListWidget(card);
    durationList_->setObjectName("DurationList");
    durationList_->setGeometry(12, 58, 232, 88);
    for (int minutes : c.LessonDurations) {
      durationList_->addItem(QString::number(minutes) + msgText(372));
    }
    const int d = c.Bookmark.Duration;
    if (d >= 1 && d <= durationList_->count()) {
      durationList_->setCurrentRow(d - 1);
    } else {
      optimalBtn_->setChecked(true);
      if (c.DefaultDuration >= 1 && c.DefaultDuration <= durationList_->count()) {
        durationList_->setCurrentRow(c.DefaultDuration - 1, QItemSelectionModel::NoUpdate);
      }
    }
    connect(optimalBtn_, &QRadioButton::clicked, this, [this] { ChooseOptimal(); });
    connect(durationList_, &QListWidget::itemClicked, this,
            [this] { ChooseStaticEntry(durationList_->currentRow() + 1); });
  } else {
    durationCombo_ = new QComboBox(card);
    durationCombo_->setObjectName("DurationCombo");
    durationCombo_->setGeometry(12, 40, 232, 30);
    durationCombo_->addItem(msgText(1396));
    for (int i = 1; i < 4; ++i) {
      durationCombo_->addItem(QString::number(kDynamicMinutes[i]) + msgText(372));
    }
    for (int i = 0; i < 4; ++i) {
      if (kDynamicMinutes[i] == c.Bookmark.Duration) durationCombo_->setCurrentIndex(i);
    }
    connect(durationCombo_, &QComboBox::activated, this,
            [this](int i) { ChooseDynamicMinutes(kDynamicMinutes[std::clamp(i, 0, 3)]); });
  }
  // A study time fixed by the policy or the group is not the learner's to change.
  for (QWidget* w : {static_cast<QWidget*>(optimalBtn_), static_cast<QWidget*>(durationList_),
                     static_cast<QWidget*>(durationCombo_)}) {
    if (w == nullptr) continue;
    w->setEnabled(!timeLocked_);
    w->setVisible(!timeLocked_);
  }
  if (timeLocked_) title->hide();
  // The caption names the choice for screen readers and gives it its Alt key.
  title->setBuddy(durationList_ ? static_cast<QWidget*>(durationList_)
                                : static_cast<QWidget*>(durationCombo_));
  updateLength();
}

QString TCourseContentsView::LengthText() const {
  if (!course_) return {};
  const TContents& c = *course_;
  const int lessons = static_cast<int>(c.Lessons.size());
  const int d = c.Bookmark.Duration;
  if (!c.StaticDurations) {
    if (d <= 0) return msgText(1396);
    return msgText(1704) + toQString(CourseLengthText(lessons * d));
  }
  std::string length;
  if (d == -2 || d <= 0) {
    length =
        CourseLengthText(c.TotalMinutes()) + " - " + CourseLengthText(OptimisedCourseMinutes(c));
  } else {
    length = CourseLengthText(static_cast<int>(
        std::min<int64_t>(int64_t{StaticLessonMinutes(c, d)} * lessons, INT32_MAX)));
  }
  // The page opens with the plain length; a choice the learner makes is answered in a sentence.
  if (!chosen_) return msgText(1868) + " " + toQString(length) + " " + msgText(1875);
  return msgText(1700) + toQString(length) + msgText(1701);
}

void TCourseContentsView::updateLength() {
  if (lengthLbl_) lengthLbl_->setText(LengthText());
}

void TCourseContentsView::ChooseStaticEntry(int position) {
  if (!course_ || timeLocked_) return;
  course_->Bookmark.Duration = position;
  chosen_ = true;
  if (optimalBtn_) optimalBtn_->setChecked(false);
  updateLength();
}

void TCourseContentsView::ChooseOptimal() {
  if (!course_ || timeLocked_) return;
  course_->Bookmark.Duration = -2;
  chosen_ = true;
  if (durationList_) durationList_->clearSelection();
  updateLength();
}

void TCourseContentsView::ChooseDynamicMinutes(int minutes) {
  if (!course_ || timeLocked_) return;
  course_->Bookmark.Duration = minutes;
  updateLength();
}

bool TCourseContentsView::ChooseLesson(int lesson) {
  if (!course_) return false;
  TBookMark& bm = course_->Bookmark;
  if (lesson > bm.Chapter && ChapterLockApplies(course_->CourseId, learner_)) return false;
  if (lesson != bm.Chapter) {
    // Another lesson starts at its beginning, not at the old lesson's exercise.
    bm.Chapter = lesson;
    bm.Exercise = 1;
    bm.Event = 1;
  }
  return true;
}

void TCourseContentsView::closed() {
  if (!course_) return;
  TContents& c = *course_;
  TBookMark& bm = c.Bookmark;
  if (CloseResult() != 1 || learner_ == nullptr || c.Status() != 0) {
    bm.Duration = savedDuration_;
    return;
  }
  TDynamicSettings& s = learner_->Settings();
  s.WriteString("ContentsFile", c.CourseId + ".cnt");
  bm.DurationSet = true;
  bm.SaveBookmark(*learner_);
  s.WriteInteger(c.CourseId + ".StudyingTime", bm.Duration);
  std::string durations;
  for (size_t i = 0; i < c.LessonDurations.size(); ++i) {
    if (i > 0) durations += ",";
    durations += intToStr(c.LessonDurations[i]);
  }
  s.WriteString(c.CourseId + ".StaticTimeOptions", durations);
}

void TCourseContentsView::Hide() {
  TCustomBookView::Hide();
}

}  // namespace ks
