#include "content/ui/contentsviews.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "analysis/diffkeys.h"
#include "book/bookwindow.h"
#include "book/uistyle.h"
#include "content/contents.h"
#include "content/courseviewmodel.h"
#include "content/policy.h"
#include "content/studylearner.h"
#include "content/ui/exerciselist.h"
#include "content/ui/studystyle.h"
#include "platform/desktop/qtext.h"
#include "platform/paths.h"
#include "store/programsetup.h"
#include "text/numbers.h"

namespace ks {
namespace {

constexpr int kRowHeight = 24;
constexpr int kMaxRows = 12;

}  // namespace

TCustomContentsView::TCustomContentsView(const ExerciseListRequest& request, StudyLearner* learner)
    : req_(request), learner_(learner) {
  CancelVisible = false;
  // However it is asked for (click, digit, Enter, Next), a locked exercise does not start.
  OnCloseQuery = [this](bool& abort) {
    if (CloseResult() == 1 && list_ && list_->IsLocked(list_->Selected())) {
      abort = true;
      showNotes(list_->Selected());
    }
  };
}

TCustomContentsView::~TCustomContentsView() = default;

QPushButton* TCustomContentsView::Button(const QString& name) const {
  for (const auto& b : buttons_) {
    if (b && b->objectName() == name) return b;
  }
  return nullptr;
}

QPushButton* TCustomContentsView::answerButton(QWidget* parent, const QString& name,
                                               const QString& text, int answer) {
  QPushButton* b = makeButton(parent, name, text);
  connect(b, &QPushButton::clicked, this, [this, answer] {
    if (list_) Chosen = list_->Selected();
    SetCloseResult(answer);
  });
  buttons_.push_back(b);
  return b;
}

void TCustomContentsView::Setup() {
  TCustomBookView::Setup();
  if (TBookFormEx* book = bookForm()) {
    savedNextCaption_ = book->NextBtn()->text();
    captionSet_ = true;
    book->NextBtn()->setText(msgText(413));
  }
  QWidget* page = Content();
  if (!page) return;
  page->setStyleSheet(studyStyleSheet());
  if (req_.Bookmark != nullptr) SetTitle(toQString(req_.Bookmark->CourseDescription));
  BuildPage(page);
}

void TCustomContentsView::Hide() {
  if (list_) Chosen = list_->Selected();
  if (TBookFormEx* book = bookForm(); book && captionSet_) {
    book->NextBtn()->setText(savedNextCaption_);
    captionSet_ = false;
  }
  buttons_.clear();
  TCustomBookView::Hide();
}

void TCustomContentsView::buildList(QWidget* card, int top) {
  list_ = new TExerciseList(card);
  list_->setObjectName("ExerciseList");
  list_->move(14, top);
  list_->resize(card->width() - 28, 0);
  list_->SetMaxRows(kMaxRows);
  list_->SetRowHeight(kRowHeight);
  list_->SetColumns(30, 72, card->width() - 28 - 96);
  const int margin = req_.Course != nullptr ? req_.Course->DynamicDurationMargin : 0;
  list_->SetLesson(req_.Lesson, margin);
  if (req_.Lesson != nullptr && req_.Course != nullptr) {
    const PassedFn passed = PassedIn(*req_.Course, learner_);
    for (int r = 1; r <= list_->RowCount(); ++r) list_->SetDone(r, passed(req_.Lesson->Number, r));
  }
  if (req_.Bookmark != nullptr) {
    list_->SetNext(req_.Bookmark->Exercise);
    // Under the exercise lock the exercises open one after the other: those after the one the
    // learner is at wait until it is finished.
    if (!req_.Review && req_.Course != nullptr && ExerciseLockApplies(req_.Course->CourseId)) {
      for (int r = req_.Bookmark->Exercise + 1; r <= list_->RowCount(); ++r)
        list_->SetLocked(r, !list_->IsDone(r));
    }
  }
  // The notes of the selected exercise, beneath the list.
  notes_ = makeLabel(card, QString(), 8, false, "#3c4a3c");
  notes_->setObjectName("NotesLbl");
  notes_->setGeometry(44, top + list_->height() + 6, card->width() - 58, 18);
  connect(list_, &TExerciseList::selectionChanged, this, [this](int row) { showNotes(row); });
  list_->SelectRow(Chosen);
  connect(list_, &TExerciseList::rowClicked, this, [this](int row) {
    Chosen = row;
    SetCloseResult(1);
  });
}

void TCustomContentsView::showNotes(int row) {
  const TChapter* lesson = req_.Lesson;
  if (!notes_ || lesson == nullptr || row < 1 || row > static_cast<int>(lesson->Exercises.size()))
    return;
  const QString text = list_ && list_->IsLocked(row)
                           ? msgText(2114)
                           : toQString(lesson->Exercises[static_cast<size_t>(row - 1)]->Notes);
  setElidedText(notes_, text, 1);
}

void TCustomContentsView::buildLessonNavigation(QWidget* page, const QRect& area) {
  if (req_.Course == nullptr || req_.Bookmark == nullptr) return;
  const std::vector<std::string> titles = req_.Course->LessonTitles(TitlePrefix::None);
  auto* caption = makeLabel(page, msgText(1924), 9, true);
  caption->setGeometry(area.left(), area.top(), area.width(), 18);
  constexpr int size = 26, gap = 4;
  const int perRow = std::max(1, area.width() / (size + gap));
  for (size_t i = 0; i < titles.size(); ++i) {
    const int n = static_cast<int>(i) + 1;
    auto* b = makeButton(page, QString("LESSONNAVI%1").arg(n), QString::number(n));
    b->setMinimumHeight(0);
    b->setStyleSheet("padding: 0px;");
    b->setFont(designFont("Verdana", 8, n == req_.Bookmark->Chapter));
    b->setToolTip(toQString(titles[i]));
    b->setEnabled(n != req_.Bookmark->Chapter);
    const int row = static_cast<int>(i) / perRow, col = static_cast<int>(i) % perRow;
    b->setGeometry(area.left() + col * (size + gap), area.top() + 22 + row * (size + gap), size,
                   size);
    connect(b, &QPushButton::clicked, this, [this, n] { chooseLesson(n); });
    buttons_.push_back(b);
  }
}

void TCustomContentsView::chooseLesson(int lesson) {
  TBookMark& bm = *req_.Bookmark;
  // The lesson lock keeps the lessons ahead closed.
  if (lesson > bm.Chapter && ChapterLockApplies(bm.CourseId, learner_)) return;
  bm.Chapter = lesson;
  bm.Exercise = 1;
  if (list_) Chosen = list_->Selected();
  SetCloseResult(17);
}

bool TCustomContentsView::KeyDown(QKeyEvent* event) {
  if (!list_) return false;
  const int key = event->key();
  const int count = list_->RowCount();
  if (key >= Qt::Key_1 && key <= Qt::Key_9 && event->modifiers() == Qt::NoModifier) {
    const int row = key - Qt::Key_0;
    if (row <= count) {
      list_->SelectRow(row);
      Chosen = list_->Selected();
      SetCloseResult(1);
    }
    return true;
  }
  switch (key) {
    case Qt::Key_Up:
      list_->SelectRow(list_->Selected() - 1);
      return true;
    case Qt::Key_Down:
      list_->SelectRow(list_->Selected() + 1);
      return true;
    case Qt::Key_Home:
    case Qt::Key_PageUp:
      list_->SelectRow(1);
      return true;
    case Qt::Key_End:
    case Qt::Key_PageDown:
      list_->SelectRow(count);
      return true;
    default:
      return false;
  }
}

void TCustomContentsView::ButtonClick(QObject* sender) {
  if (list_) Chosen = list_->Selected();
  TCustomBookView::ButtonClick(sender);
}

void TChpContentsView::BuildPage(QWidget* page) {
  const TBookMark& bm = *req_.Bookmark;
  const TContents& course = *req_.Course;
  const int rows = std::min<int>(kMaxRows, static_cast<int>(req_.Lesson->Exercises.size()));
  const int listTop = 76;

  QFrame* card = makeCard(page, QRect(20, 66, 420, listTop + rows * kRowHeight + 36), "LessonCard");
  auto* status = makeLabel(card, toQString(bm.StatusText), 9, false, "#5b6b5b");
  status->setObjectName("StatusLbl");
  status->setGeometry(16, 12, 300, 18);
  const QString heading =
      bm.Mode == TBookMark::bmNormal
          ? msgText(396) + QString::number(bm.Chapter) + ": " + toQString(req_.Lesson->Name)
          : toQString(req_.Lesson->Name);
  int titleWidth = card->width() - 32;
  const QPixmap pix = installationPicture(policyString("LessonRegImage"));
  if (!pix.isNull()) {
    auto* pic = new QLabel(card);
    pic->setObjectName("LessonRegImage");
    pic->setPixmap(pix.scaled(72, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    pic->setGeometry(card->width() - 86, 10, 72, 48);
    titleWidth -= 80;
  }
  auto* title = makeHeading(card, QString(), 15);
  title->setObjectName("LessonHeadingLbl");
  title->setGeometry(16, 30, titleWidth, 42);
  // A long lesson name takes a smaller type, then a second line, rather than being cut.
  fitText(title, heading, 11);
  buildList(card, listTop);

  // Progress of the course.
  const PassedFn passed = PassedIn(course, learner_);
  progress_ = CourseProgressPercent(course, bm.Chapter, passed);
  left_ = RemainingMinutes(course, bm.Chapter, passed);
  QFrame* progress = makeCard(page, QRect(452, 66, 136, 150), "ProgressCard");
  makeLabel(progress, msgText(1788), 9, true)->setGeometry(12, 10, 112, 18);
  auto* percent = makeLabel(progress, QString::number(progress_) + "%", 20, true, "#1f5f3a");
  percent->setObjectName("ProgressLbl");
  percent->setGeometry(12, 28, 112, 34);
  auto* bar = new PercentBar(progress);
  bar->setObjectName("ProgressBar");
  bar->setGeometry(12, 66, 112, 10);
  bar->setPercent(progress_);
  const bool timed = bm.Duration != 0;
  const int doneMinutes = static_cast<int>(roundHalfEvenDiv(std::max(0, bm.Time), 60));
  auto* done = makeLabel(progress, msgText(1922) + toQString(ClockText(doneMinutes)) + " h", 8);
  done->setObjectName("DoneLbl");
  done->setGeometry(12, 88, 118, 18);
  done->setVisible(timed);
  auto* left = makeLabel(progress, msgText(1923) + toQString(ClockText(left_)) + " h", 8);
  left->setObjectName("LeftLbl");
  left->setGeometry(12, 110, 118, 18);
  left->setVisible(timed);

  // The ways to other lessons and to the course.
  int y = 228;
  const auto place = [&](QPushButton* b) {
    b->setGeometry(452, y, 136, 32);
    y += 38;
  };
  QPushButton* prev =
      answerButton(page, "PrevLessonBtn", msgText(396) + QString::number(bm.Chapter - 1), 3);
  prev->setVisible(req_.HasPrevious);
  if (req_.HasPrevious) place(prev);
  QPushButton* next =
      answerButton(page, "NextLessonBtn", msgText(396) + QString::number(bm.Chapter + 1), 4);
  next->setVisible(req_.HasNext);
  if (req_.HasNext) place(next);
  QPushButton* completed = answerButton(page, "CompletedBtn", toQString(req_.NextStepCaption), 15);
  completed->setVisible(!req_.HasNext);
  if (!req_.HasNext) place(completed);
  place(answerButton(page, "DurationBtn", msgText(1920), 5));
  place(answerButton(page, "ChangeCourseBtn", msgText(1921), 8));
  // The course's progress and graphs: the course loop answers 6, the tutor opens statistics.
  place(answerButton(page, "StatisticsBtn", msgText(1976), 6));

  buildLessonNavigation(page, QRect(20, 474, 480, 76));
}

void TReviewContentsView::BuildPage(QWidget* page) {
  const int rows = std::min<int>(kMaxRows, static_cast<int>(req_.Lesson->Exercises.size()));
  const int listTop = 76;
  QFrame* card = makeCard(page, QRect(20, 66, 420, listTop + rows * kRowHeight + 36), "LessonCard");
  auto* title = makeHeading(card, QString(), 15);
  title->setObjectName("LessonHeadingLbl");
  title->setGeometry(16, 12, card->width() - 32, 38);
  fitText(title, toQString(req_.Title), 11);
  auto* name = makeLabel(card, toQString(req_.Lesson->Name), 9, false, "#5b6b5b");
  name->setGeometry(16, 50, 388, 18);
  buildList(card, listTop);

  // Six gauges: key, capital and word index, when the lesson began and now.
  QFrame* figures = makeCard(page, QRect(452, 66, 136, 250), "ReviewFigures");
  auto* caption = makeLabel(figures, toQString(req_.Caption), 8, true);
  caption->setWordWrap(true);
  caption->setGeometry(10, 8, 118, 34);
  const bool screenshot = ProgramSettings && ProgramSettings->screenshotMode;
  const int values[6] = {
      screenshot ? 64 : req_.Before.KeyIndex,     screenshot ? 32 : req_.Now.KeyIndex,
      screenshot ? 76 : req_.Before.CapitalIndex, screenshot ? 53 : req_.Now.CapitalIndex,
      screenshot ? 82 : req_.Before.WordIndex,    screenshot ? 46 : req_.Now.WordIndex};
  TDifficultKeys colours(8);
  const int names[3] = {1759, 1762, 1765};
  for (int i = 0; i < 6; ++i) {
    const int top = 46 + (i / 2) * 64;
    if (i % 2 == 0) {
      QString name = msgText(names[i / 2]);
      if (!name.isEmpty()) name[0] = name[0].toUpper();
      makeLabel(figures, name, 8)->setGeometry(10, top, 118, 16);
    }
    auto* bar = new PercentBar(figures);
    bar->setObjectName(QString("Gauge%1").arg(i + 1));
    bar->setGeometry(10, top + 20 + (i % 2) * 16, 116, 10);
    bar->setPercent(values[i]);
    const uint32_t rgb = colours.getDifficultyColour(static_cast<float>(values[i]));
    bar->setColour(QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
  }
  QPushButton* completed = answerButton(page, "CompletedBtn", msgText(1173), 15);
  completed->setGeometry(452, 330, 136, 32);
  QPushButton* change = answerButton(page, "ChangeCourseBtn", msgText(1921), 8);
  change->setGeometry(452, 368, 136, 32);
  change->setVisible(!req_.Review);
}

}  // namespace ks
