#include "content/ui/exerciseinfoview.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>

#include "analysis/diffkeys.h"
#include "book/bookwidgets.h"
#include "book/uistyle.h"
#include "content/studylearner.h"
#include "content/ui/keybarchart.h"
#include "content/ui/studystyle.h"
#include "platform/desktop/qtext.h"
#include "platform/sound.h"
#include "store/dynamicsettings.h"
#include "store/qssettings.h"
#include "text/numbers.h"

namespace ks {
namespace {

QString grey(bool fresh) {
  return fresh ? "#28343f" : "#808080";
}

}  // namespace

TExercInfoView::TExercInfoView(StudyLearner* learner) : learner_(learner) {
  UsePanel = false;
}

TExercInfoView::~TExercInfoView() = default;

void TExercInfoView::Setup() {
  TCustomResultView::Setup();
  if (ResultOKBtn()) ResultOKBtn()->hide();
  TDynamicSettings memory;
  memory.Open("", omMemory);
  TDynamicSettings& settings = learner_ != nullptr ? learner_->Settings() : memory;
  const TDifficultKeys* keys =
      learner_ != nullptr ? &learner_->Difficulties().CurrentDifficulties() : nullptr;
  ExercInfoInput in;
  in.Item = Item;
  in.KeyLevel = Item != nullptr && Item->Kind == "TEST" ? 99 : KeyLevel;
  in.GoalMode = GoalMode;
  in.Goals = Goals;
  in.DynamicDuration = DynamicDuration;
  model_ = JudgeExerciseResult(
      in, JudgeSources{settings, keys, learner_ != nullptr ? learner_->KeyGroup(in.KeyLevel) : "",
                       lessonOptions().wordLength});

  SetTitle(toQString(model_.Title));
  QWidget* page = Content();
  if (!page) return;
  page->setStyleSheet(studyStyleSheet());
  buildStatus(page);
  buildMeasures(page);
  buildCommentPages(page);
  buildCommentArea(page);

  auto* next = new RoundButton("NextEventBtn", RoundButton::Symbol::Next, page);
  next->setText(msgText(1692));
  next->setGeometry(690, 452, 80, 70);
  connect(next, &QAbstractButton::clicked, this, [this, next] { ResultButtonClick(next); });
  auto* cancel = new RoundButton("CancelEventBtn", RoundButton::Symbol::Cancel, page);
  cancel->setText(msgText(1284));
  cancel->setGeometry(600, 452, 85, 70);
  cancel->setVisible(CancelVisible);
  connect(cancel, &QAbstractButton::clicked, this, [this, cancel] { ResultButtonClick(cancel); });
  buildPrintButtons(page);
}

TExercInfoView::PrintFn& TExercInfoView::PrintReport() {
  static PrintFn print;
  return print;
}

void TExercInfoView::buildPrintButtons(QWidget* page) {
  const struct {
    const char* name;
    int caption;
    bool shown;
    int top;
  } buttons[] = {{"PrintResultsBtn", 1450, model_.PrintResults, 386},
                 {"PrintDiplomaBtn", 626, model_.PrintDiploma, 418}};
  for (const auto& b : buttons) {
    // Alt and the first letter reach them from the keyboard.
    QPushButton* button = makeButton(page, b.name, "&" + msgText(b.caption));
    button->setFocusPolicy(Qt::StrongFocus);
    button->setGeometry(590, b.top, 180, 28);
    button->setVisible(b.shown && Item != nullptr && learner_ != nullptr && PrintReport());
    connect(button, &QPushButton::clicked, this, [this, button] { ResultButtonClick(button); });
  }
}

void TExercInfoView::buildStatus(QWidget* page) {
  QFrame* card = makeCard(page, QRect(20, 66, 750, 70), "StatusCard");
  auto* pic = new GoalMark(card, model_.StatusPic);
  pic->setObjectName("CommentPic");
  pic->setGeometry(16, 15, 40, 40);
  auto* title = makeHeading(card, toQString(model_.StatusTitle), 15);
  title->setObjectName("StatusTitle");
  title->setGeometry(68, 8, 660, 28);
  auto* text = makeLabel(card, toQString(model_.StatusText), 9, false, "#3c4a3c");
  text->setObjectName("StatusLbl");
  text->setWordWrap(true);
  text->setGeometry(68, 36, 670, 30);
}

void TExercInfoView::buildMeasures(QWidget* page) {
  QFrame* card = makeCard(page, QRect(20, 146, 370, 230), "MeasuresCard");
  struct Row {
    const char* name;
    int caption;
    const ResultLine& line;
  };
  const Row rows[] = {{"Duration", 624, model_.Duration},
                      {"Speed", 623, model_.Speed},
                      {"Errors", 622, model_.Accuracy},
                      {"NetSpeed", 621, model_.NetSpeed}};
  int y = 12;
  for (const Row& r : rows) {
    makeLabel(card, msgText(r.caption), 8, true, "#5b6b5b")->setGeometry(16, y, 160, 16);
    auto* value = makeLabel(card, toQString(r.line.Value), 15, true, "#1f2f26");
    value->setObjectName(QString(r.name) + "Lbl");
    value->setGeometry(16, y + 16, 150, 28);
    auto* mark = new GoalMark(card, r.line.Pic);
    mark->setObjectName(QString(r.name) + "Pic");
    mark->setGeometry(168, y + 18, 22, 22);
    auto* comment = makeLabel(card, toQString(r.line.Comment), 8, false, "#3c4a3c");
    comment->setObjectName(QString(r.name) + "CommentLbl");
    comment->setWordWrap(true);
    comment->setGeometry(198, y + 6, 160, 42);
    y += 54;
  }
}

void TExercInfoView::buildCommentPages(QWidget* page) {
  QFrame* card = makeCard(page, QRect(400, 146, 370, 230), "CommentPagesCard");
  commentPages_ = new QStackedWidget(card);
  commentPages_->setObjectName("CommentPages");
  commentPages_->setGeometry(2, 2, 366, 226);
  commentPages_->setStyleSheet("background: transparent;");

  // Page 0: the calculator's no-saving status; page 1: the calculator; page 2: the chart.
  auto* status = new QWidget;
  calcTitle_ = makeHeading(status, QString(), 12);
  calcTitle_->setGeometry(12, 10, 340, 24);
  auto* statusText = makeLabel(status, QString(), 9);
  statusText->setObjectName("CalcStatusLbl");
  statusText->setWordWrap(true);
  statusText->setGeometry(12, 74, 340, 80);
  commentPages_->addWidget(status);

  auto* calc = new QWidget;
  makeHeading(calc, msgText(625), 12)->setGeometry(12, 10, 340, 24);
  calcLine_ = makeLabel(calc, QString(), 9, true);
  calcLine_->setObjectName("TypingCalcLbl");
  calcLine_->setWordWrap(true);
  calcLine_->setGeometry(12, 74, 340, 36);
  savedLines_ = makeLabel(calc, QString(), 9);
  savedLines_->setObjectName("SavedTimesLbl");
  savedLines_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  savedLines_->setGeometry(12, 116, 340, 100);
  commentPages_->addWidget(calc);

  auto* chartPage = new QWidget;
  makeHeading(chartPage, toQString(model_.DiffKeysTitle), 12)->setGeometry(12, 8, 240, 24);
  auto* chart = new KeyBarChart(chartPage);
  chart->setObjectName("DiffKeysChart");
  chart->setGeometry(8, 36, 350, 150);
  if (learner_ != nullptr)
    chart->SetDifficultyLines(learner_->Difficulties().CurrentDifficulties());
  chart->SetBars(model_.Chart);
  if (model_.DiffKeys.empty()) {
    // Nothing stands out: say so rather than show an empty chart.
    auto* none = makeLabel(chartPage, msgText(1760), 9, true, "#1f5f3a");
    none->setObjectName("NoDiffKeysLbl");
    none->setAlignment(Qt::AlignCenter);
    none->setGeometry(8, 192, 350, 26);
  }
  QPushButton* review = makeButton(chartPage, "ReviewBtn", msgText(562));
  review->setGeometry(238, 190, 118, 30);
  review->setVisible(model_.ReviewButton);
  connect(review, &QPushButton::clicked, this, [this] {
    sound().play(SoundId::Click);
    chooseReview(model_.DiffKeys.substr(0, 4));
  });
  commentPages_->addWidget(chartPage);
  commentPages_->setCurrentIndex(model_.HasMeasures ? 2 : 0);

  if (model_.HasMeasures && model_.Calculator) {
    // Both calculator pages share the time list: a daily typing time to reckon with.
    typingTimeList_ = new QComboBox(card);
    typingTimeList_->setObjectName("TypingTimeList");
    typingTimeList_->setAccessibleName(tr("Daily typing time"));
    typingTimeList_->setGeometry(14, 44, 340, 28);
    for (int i = 0; i < kTypingTimeEntries; ++i) {
      typingTimeList_->addItem(QString::number(TypingTimeMinutes(i)) + msgText(1932));
    }
    typingTimeList_->setCurrentIndex(2);
    connect(typingTimeList_, &QComboBox::currentIndexChanged, this,
            [this](int i) { RunCalculator(i); });
    RunCalculator(2);
  }
}

void TExercInfoView::RunCalculator(int entry) {
  if (!Item || !commentPages_) return;
  const bool cpm = learner_ != nullptr && learner_->Settings().ReadBool("cpm");
  const TypingCalc c =
      TouchTypingCalculator(entry, Item->NetSpeed, cpm, lessonOptions().wordLength);
  if (!c.Saves) {
    commentPages_->setCurrentIndex(0);
    calcTitle_->setText(toQString(c.Title));
    if (auto* text = commentPages_->widget(0)->findChild<QLabel*>("CalcStatusLbl")) {
      text->setText(toQString(c.Text));
    }
  } else {
    commentPages_->setCurrentIndex(1);
    calcLine_->setText(toQString(c.CalcLine));
    savedLines_->setText(toQString(c.SavedLines));
  }
}

void TExercInfoView::buildCommentArea(QWidget* page) {
  QFrame* card = makeCard(page, QRect(20, 386, 560, 140), "CommentArea");
  card->setVisible(model_.HasMeasures && model_.CommentArea);
  makeHeading(card, msgText(1671), 11)->setGeometry(16, 8, 300, 22);
  if (model_.CommentPage == 0) {
    auto* comment = makeLabel(card, toQString(model_.Comment), 9);
    comment->setObjectName("CommentLbl");
    comment->setWordWrap(true);
    comment->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    comment->setGeometry(16, 34, 528, 98);
    return;
  }
  int top = 34;
  for (size_t i = 0; i < model_.Tips.size(); ++i) {
    const ResultTip& tip = model_.Tips[i];
    const QString n = QString::number(i + 1);
    auto* pic = new GoalMark(card, tip.Fresh ? GoalPic::Reached : GoalPic::Neutral);
    pic->setObjectName("Tip" + n + "Pic");
    pic->setGeometry(16, top + 3, 16, 16);
    auto* label = makeLabel(card, toQString(tip.Text), 9, false, grey(tip.Fresh));
    label->setObjectName("Tip" + n);
    label->setWordWrap(true);
    label->setGeometry(40, top, 504, 10);
    label->setFixedHeight(label->heightForWidth(504));
    int next = top + label->height();
    if (tip.Button == 'D') {
      QPushButton* b = makeButton(card, "Tip" + n + "Btn", msgText(1499), ButtonRole::Link);
      b->setGeometry(40, top + label->height() + 1, 200, 20);
      const std::string keys = model_.ReviewKeys;
      connect(b, &QPushButton::clicked, this, [this, keys] {
        sound().play(SoundId::Click);
        chooseReview(keys);
      });
      next = b->geometry().bottom() + 1;
    }
    top = next + 12;
  }
}

void TExercInfoView::chooseReview(const std::string& keys) {
  if (learner_ != nullptr) learner_->Settings().WriteString("CustomReviewKeysOnce", keys);
  SetCloseResult(97);
}

void TExercInfoView::ResultButtonClick(QObject* sender) {
  const QString name = sender->objectName();
  if (name == "NextEventBtn") {
    sound().play(SoundId::Click);
    SetCloseResult(1);
  } else if (name == "CancelEventBtn") {
    sound().play(SoundId::Click);
    SetCloseResult(2);
  } else if ((name == "PrintResultsBtn" || name == "PrintDiplomaBtn") && Item && learner_ &&
             PrintReport()) {
    sound().play(SoundId::Click);
    PrintReport()(*learner_, *Item, name == "PrintDiplomaBtn");
  } else {
    TCustomResultView::ResultButtonClick(sender);
  }
}

void TWizResultView::RecordBefore(const std::string& keys, const TDifficultKeys& difficulties) {
  for (int i = 0; i < kKeys; ++i) {
    Keys[static_cast<size_t>(i)] =
        i < static_cast<int>(keys.size()) ? keys[static_cast<size_t>(i)] : ' ';
    Before[static_cast<size_t>(i)] =
        difficulties.getDifficulty(static_cast<unsigned char>(Keys[static_cast<size_t>(i)]));
  }
}

void TWizResultView::RecordAfter(const TDifficultKeys& difficulties) {
  for (int i = 0; i < kKeys; ++i) {
    After[static_cast<size_t>(i)] =
        difficulties.getDifficulty(static_cast<unsigned char>(Keys[static_cast<size_t>(i)]));
  }
}

void TWizResultView::Setup() {
  TCustomResultView::Setup();
  SetTitle(msgText(1427));
  QWidget* panel = ResultPanel();
  if (!panel) return;
  panel->setStyleSheet(studyStyleSheet());
  QFrame* card = makeCard(panel, QRect(14, 4, 740, 400), "WizResultPanel");
  makeHeading(card, msgText(328), 13)->setGeometry(18, 12, 700, 26);
  TDifficultKeys limits(8);
  for (int chart = 0; chart < 2; ++chart) {
    auto* c = new KeyBarChart(card);
    c->setObjectName(chart == 0 ? "BeforeChart" : "AfterChart");
    c->setGeometry(18 + chart * 360, 56, 350, 300);
    c->SetDifficultyLines(limits);
    std::vector<KeyBar> bars;
    for (int i = 0; i < kKeys; ++i) {
      const char key = Keys[static_cast<size_t>(i)];
      const float d = (chart == 0 ? Before : After)[static_cast<size_t>(i)];
      bars.push_back({static_cast<unsigned char>(key == ' ' ? 0 : key),
                      static_cast<int>(roundHalfEven(d)), false});
    }
    bars.push_back({});
    bars.push_back({});
    c->SetBars(std::move(bars));
  }
}

}  // namespace ks
