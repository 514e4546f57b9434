#include "content/ui/courselistview.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <tuple>

#include "book/bookwindow.h"
#include "book/uistyle.h"
#include "content/contents.h"
#include "content/policy.h"
#include "content/studylearner.h"
#include "content/ui/studystyle.h"
#include "platform/desktop/qtext.h"
#include "platform/paths.h"
#include "platform/system.h"
#include "store/damaged.h"
#include "store/dynamicsettings.h"
#include "store/errors.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {

TCourseListView::TCourseListView(StudyLearner* learner, std::filesystem::path lessonsFolder)
    : learner_(learner), lessonsFolder_(std::move(lessonsFolder)) {
  CancelVisible = false;
  ButtonFlags = 0;
  OnClosed = [this] { closed(); };
}

TCourseListView::~TCourseListView() = default;

const TCourseListView::Summary& TCourseListView::SummaryOf(const std::string& file) {
  auto it = summaries_.find(upperCase(file));
  if (it != summaries_.end()) return it->second;
  Summary s;
  s.File = file;
  // Each preview adds its key groups; the flow empties the key order after the list.
  if (learner_ != nullptr) learner_->ClearKeyGroups();
  TContents course(TContents::PreviewTag{}, joinResolved(lessonsFolder_, file).string(),
                   CourseServices{learner_, nullptr});
  s.Readable = course.Status() == 0;
  s.Id = course.CourseId;
  s.Description = course.Description.empty() ? file : course.Description;
  s.LongDescription = course.LongDescription;
  s.Language = course.CourseLanguage;
  s.Keyboard = course.Keyboard;
  s.Percent = course.Bookmark.CompletionPercent();
  s.Lessons = static_cast<int>(course.Lessons.size());
  s.Length = CourseLengthRange(course);
  return summaries_.emplace(upperCase(file), std::move(s)).first->second;
}

std::string TCourseListView::LanguageOf(const std::string& file) const {
  // Sorting out the courses of other languages needs only their headers: reading each course
  // whole took several milliseconds of every start.
  auto it = summaries_.find(upperCase(file));
  if (it != summaries_.end()) return it->second.Language;
  return CourseFileLanguage(joinResolved(lessonsFolder_, file).string());
}

void TCourseListView::Setup() {
  TCustomBookView::Setup();
  ButtonFlags = 0;
  files_ = CourseFiles(lessonsFolder_);
  if (files_.empty()) {
    noCourses_ = true;
    ReportError2(-6123, -1);
    // Nothing to choose from: the view closes as soon as its loop runs.
    QMetaObject::invokeMethod(
        this, [this] { Close(); }, Qt::QueuedConnection);
    return;
  }
  build();
}

void TCourseListView::build() {
  QWidget* page = Content();
  if (!page) return;
  page->setStyleSheet(studyStyleSheet());
  SetTitle(msgText(1927));
  const std::string chosen =
      learner_ != nullptr ? learner_->Settings().ReadString("ContentsFile") : "";
  choices_ = ChooseCourses(
      files_, lessonsFolder_, learner_, ActiveLanguage, chosen,
      [this](const std::string& f) { return LanguageOf(f); },
      [this](const std::string& f) { return SummaryOf(f).Keyboard; });

  int y = 66;
  if (!choices_.DefaultFile.empty()) {
    QWidget* card = courseCard(page, y, 134, "1", msgText(1928), choices_.DefaultFile, "Start1");
    connect(card->findChild<QPushButton*>("Start1"), &QPushButton::clicked, this,
            [this] { StartDefault(); });
    y += 144;
  }
  if (!choices_.OtherFiles.empty()) {
    QFrame* card = makeCard(page, QRect(20, y, 568, 160), "OtherCourses");
    makeBadge(card, "2", QPoint(14, 12));
    QLabel* heading = makeHeading(card, msgText(1929), 12);
    heading->setGeometry(52, 14, 360, 24);
    combo_ = new QComboBox(card);
    heading->setBuddy(combo_);
    combo_->setObjectName("CourseCombo");
    combo_->setGeometry(52, 44, 320, 28);
    int selected = 0;
    for (size_t i = 0; i < choices_.OtherFiles.size(); ++i) {
      const std::string& file = choices_.OtherFiles[i];
      combo_->addItem(toQString(SummaryOf(file).Description), QString::fromStdString(file));
      if (sameText(file, chosen)) selected = static_cast<int>(i);
    }
    combo_->setCurrentIndex(selected);
    std::tie(comboDesc_, comboSummary_) = summaryLabels(card, 78, "2");
    showSummary(comboDesc_, comboSummary_, choices_.OtherFiles[static_cast<size_t>(selected)]);
    connect(combo_, &QComboBox::currentIndexChanged, this, [this](int i) {
      if (i >= 0) {
        showSummary(comboDesc_, comboSummary_, combo_->itemData(i).toString().toStdString());
      }
    });
    QPushButton* start = makeButton(card, "Start2", msgText(1935), ButtonRole::Primary);
    start->setGeometry(384, 40, 170, 36);
    connect(start, &QPushButton::clicked, this, [this] { StartChosen(); });
    y += 170;
  }
  if (!choices_.SecondaryFile.empty()) {
    QWidget* card = courseCard(page, y, 134, "3", msgText(1930), choices_.SecondaryFile, "Start3");
    connect(card->findChild<QPushButton*>("Start3"), &QPushButton::clicked, this,
            [this] { StartSecondary(); });
    y += 144;
  }

  // The monitor, where it is installed and offered.
  const bool monitor = std::filesystem::exists(programFilePath().parent_path() / "tapwatch") &&
                       !policyBool("Keenhand.Hide");
  if (monitor && y <= 420) {
    QFrame* card = makeCard(page, QRect(20, y, 568, 56), "MonitorCard");
    auto* text = makeLabel(card, msgText(1931), 8, false, "#3c4a3c");
    text->setWordWrap(true);
    text->setGeometry(16, 8, 360, 40);  // clear of the button
    QPushButton* b = makeButton(card, "Sidewatch", msgText(558));
    b->setGeometry(384, 12, 170, 32);
    connect(b, &QPushButton::clicked, this, [this] { OpenMonitor(); });
    y += 66;
  }

  // The language of the program.
  TLocalize& lang = Localize();
  const int active = lang.LanguageIndex(ActiveLanguage);
  if (lang.languageNames().size() > 1) {
    auto* caption = makeLabel(page, msgText(1435), 9, true);
    caption->setGeometry(20, 500, 100, 26);
    auto* languages = new QComboBox(page);
    languages->setObjectName("LanguageCombo");
    caption->setBuddy(languages);
    languages->setGeometry(124, 498, 200, 30);
    for (const std::string& name : lang.languageNames()) languages->addItem(toQString(name));
    languages->setCurrentIndex(std::max(0, active));
    const bool locked = learner_ != nullptr && learner_->IsLocked("languagecode");
    languages->setEnabled(!locked);
    connect(languages, &QComboBox::activated, this, [this](int i) { ChooseLanguage(i); });
  }
}

QWidget* TCourseListView::courseCard(QWidget* page, int top, int height, const QString& step,
                                     const QString& title, const std::string& file,
                                     const QString& startName) {
  QFrame* card = makeCard(page, QRect(20, top, 568, height), "Card" + startName);
  makeBadge(card, step, QPoint(14, 12));
  makeLabel(card, title, 8, true, "#5b6b5b")->setGeometry(52, 8, 360, 16);
  const Summary& s = SummaryOf(file);
  auto* name = makeHeading(card, toQString(s.Description), 12);
  name->setObjectName("Description" + startName);
  name->setGeometry(52, 24, 320, 24);
  auto [desc, summary] = summaryLabels(card, 50, startName);
  showSummary(desc, summary, file);
  const bool started = s.Percent > 0;
  QPushButton* start =
      makeButton(card, startName, msgText(started ? 1697 : 1699), ButtonRole::Primary);
  start->setGeometry(384, 16, 170, 36);
  return card;
}

std::pair<QLabel*, QLabel*> TCourseListView::summaryLabels(QWidget* card, int top,
                                                           const QString& suffix) {
  auto* desc = makeLabel(card, QString(), 8, false, "#3c4a3c");
  desc->setObjectName("LongDesc" + suffix);
  desc->setWordWrap(true);
  desc->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // Beneath the start button the description has the card's whole width, for three lines.
  desc->setGeometry(52, top + 4, 502, 42);
  auto* figures = makeLabel(card, QString(), 8, false, "#1f5f3a");
  figures->setObjectName("Summary" + suffix);
  figures->setWordWrap(true);
  figures->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  figures->setGeometry(52, top + 48, 502, 32);
  return {desc, figures};
}

void TCourseListView::showSummary(QLabel* desc, QLabel* figures, const std::string& file) {
  if (desc == nullptr || figures == nullptr) return;
  const Summary& s = SummaryOf(file);
  // Three lines of the long description; all of it in the tooltip.
  setElidedText(desc, toQString(s.LongDescription), 3);
  QString text = QString::number(s.Percent) + msgText(399) + "  \u00b7  " + toQString(s.Length) +
                 "  \u00b7  " + QString::number(s.Lessons) + " " + msgText(1400);
  if (s.Percent <= 0) text += "\n" + (damagedCopy().isEmpty() ? msgText(1696) : damagedCopy());
  figures->setText(text);
  figures->setToolTip(text);  // a long name may not fit in the lines there are
}

QString TCourseListView::damagedCopy() const {
  if (learner_ == nullptr || !ProgramSettings) return {};
  const std::string name = learner_->Settings().ReadString(kDamagedCopyKey);
  std::error_code ec;
  // Once the copy is gone (its progress recovered, or given up), there is nothing to point to.
  if (name.empty() || !std::filesystem::exists(joinResolved(ProgramSettings->dataPath(), name), ec))
    return {};
  return msgText(2615) + "\"" + toQString(name) + "\".";
}

bool TCourseListView::ShortCut(QKeyEvent* event) {
  const int key = event->key();
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return TCustomBookView::ShortCut(event);
  if (!choices_.DefaultFile.empty()) {
    StartDefault();
  } else if (combo_) {
    StartChosen();
  }
  return true;
}

void TCourseListView::StartDefault() {
  ChosenFile = choices_.DefaultFile;
  if (learner_ != nullptr) {
    learner_->Settings().WriteInteger("NextStep", policyString("DefaultContents").empty() ? 2 : 1);
  }
  SetCloseResult(1);
}

void TCourseListView::StartChosen() {
  if (!combo_ || combo_->currentIndex() < 0) return;
  ChosenFile = combo_->currentData().toString().toStdString();
  SetCloseResult(1);
}

void TCourseListView::StartSecondary() {
  ChosenFile = choices_.SecondaryFile;
  if (learner_ != nullptr) learner_->Settings().WriteInteger("NextStep", 4);
  SetCloseResult(1);
}

void TCourseListView::OpenMonitor() {
  if (learner_ != nullptr) learner_->Settings().WriteInteger("NextStep", 3);
  SetCloseResult(1002);
}

void TCourseListView::ChooseLanguage(int index) {
  if (learner_ != nullptr && learner_->IsLocked("languagecode")) return;
  const std::string code = Localize().LanguageCodeAt(index);
  if (code.empty()) return;
  if (learner_ != nullptr) learner_->Settings().WriteString("LanguageCode", code);
  Localize().SetLanguage(code);
  // The menu's tabs and the window's buttons speak the new language too.
  if (TBookFormEx* book = bookForm()) book->LanguageChanged();
  // The page in the new language; its courses follow the language too.
  summaries_.clear();
  // Rebuilt once the combo box that asked has returned from its signal.
  QMetaObject::invokeMethod(
      this,
      [this] {
        QWidget* page = Content();
        if (!page || !Active()) return;
        for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
          delete child;
        }
        build();
        for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
          child->show();
        }
      },
      Qt::QueuedConnection);
}

void TCourseListView::closed() {
  if (CloseResult() != 1 || ChosenFile.empty() || learner_ == nullptr) return;
  TDynamicSettings& s = learner_->Settings();
  s.WriteString("ContentsFile", ChosenFile);
  const std::string goal = CourseIdOf(ChosenFile) + ".GoalLevel";
  if (s.ReadString(goal).empty()) s.WriteInteger(goal, 2);
}

}  // namespace ks
