#include "typingtest/ui/choosetextview.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "analysis/keydataext.h"
#include "book/bookwindow.h"
#include "book/keyaccess.h"
#include "book/pagestyle.h"
#include "engine/indexes.h"
#include "platform/clock.h"
#include "platform/desktop/qtext.h"
#include "platform/dialogs.h"
#include "store/dynamicsettings.h"
#include "store/langres.h"
#include "store/qssettings.h"
#include "text/dates.h"
#include "text/numbers.h"
#include "text/textutil.h"
#include "typingtest/textimport.h"

namespace ks {
namespace {

TestReports& reports() {
  static TestReports r;
  return r;
}

std::string text(int id) {
  return Localize().GetString(id);
}

bool policy(const char* key) {
  return PolicySettings && PolicySettings->ReadBool(key);
}

// Whether the learner's layout types a character; every character when no layout is loaded.
bool layoutTypes(unsigned char c) {
  TKeyDataExt& layout = CurrentLayout();
  if (layout.Keys.empty() || c == ' ') return true;
  if (layout.CharacterSet.find(static_cast<char>(c)) != std::string::npos) return true;
  return layout.findDeadKey(static_cast<char>(c)).accent.key != nullptr;
}

// The fields of a completed test: name; date; duration; gross; accuracy; net.
std::vector<QString> resultFields(const TResultItem& r, bool cpm) {
  const int w = lessonOptions().wordLength;
  const std::string unit = " " + text(SpeedUnitMessage(cpm));
  const std::string duration = r.TypingSeconds >= 60
                                   ? intToStr(roundHalfEven(r.TypingSeconds / 60.0)) + text(374)
                                   : intToStr(r.TypingSeconds) + " " + text(373);
  return {toQString(r.TestName),
          toQString(shortDateText(r.Date)),
          toQString(duration),
          toQString(intToStr(DisplaySpeed(r.GrossSpeed, cpm, w)) + unit),
          toQString(intToStr(r.Accuracy) + "% "),
          toQString(intToStr(DisplaySpeed(r.NetSpeed, cpm, w)) + unit)};
}

}  // namespace

void setTestReports(TestReports r) {
  reports() = std::move(r);
}

TChooseTextView::TChooseTextView(TDynamicSettings* user, std::vector<TResultItem> tests,
                                 std::filesystem::path folder)
    : user_(user), tests_(std::move(tests)), folder_(std::move(folder)) {
  ButtonFlags = 0;
  EnterCloses = false;
  ChooseFile = [] {
    const QString file =
        QFileDialog::getOpenFileName(QApplication::activeWindow(), toQString(text(541)), QString(),
                                     QFileDialog::tr("Text files (*.txt *.TXT)"));
    // The system's own bytes for the name, whatever the folder is called.
    return file.isEmpty() ? std::filesystem::path()
                          : std::filesystem::path(QFile::encodeName(file).toStdString());
  };
}

TChooseTextView::~TChooseTextView() = default;

void TChooseTextView::Setup() {
  TCustomBookView::Setup();
  ButtonFlags = CancelVisible ? TBookFormEx::kCancel : 0;
  build();
}

void TChooseTextView::build() {
  QWidget* page = Content();
  if (!page) return;
  page->setStyleSheet(studyStyleSheet());
  SetTitle(msgText(564));

  // The text and the duration.
  QFrame* card = makeCard(page, QRect(20, 62, 568, 214), "TextCard");
  makeBadge(card, "1", QPoint(14, 12));
  auto* title = makeHeading(card, msgText(614), 12);
  title->setObjectName("Title1");
  title->setGeometry(52, 14, 500, 24);
  // The tabs, Exit and this card's buttons take every letter of "Text" and "Start test": Tab
  // and Enter reach those.
  auto* textCaption = makeLabel(card, msgText(618), 9, true);
  textCaption->setObjectName("TestText");
  textCaption->setGeometry(16, 46, 300, 18);
  textList_ = new QListWidget(card);
  textList_->setObjectName("TextList");
  textList_->setGeometry(16, 66, 320, 112);
  textCaption->setBuddy(textList_);
  copyright_ = makeLabel(card, QString(), 8, false, "#3c4a3c");
  copyright_->setObjectName("Copyright");
  copyright_->setWordWrap(true);
  copyright_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  copyright_->setGeometry(16, 180, 320, 30);
  auto* timeCaption = makeLabel(card, withMnemonic(msgText(617), 'u'), 9, true);
  timeCaption->setObjectName("Duration");
  timeCaption->setGeometry(352, 46, 200, 18);
  timeCombo_ = new QComboBox(card);
  timeCombo_->setObjectName("TimeCombo");
  timeCombo_->setEditable(true);
  timeCombo_->setGeometry(352, 66, 200, 28);
  timeCaption->setBuddy(timeCombo_);
  timeCombo_->addItem(msgText(1367));
  for (const char* m : {"1 ", "2 ", "5 ", "10 ", "20 ", "30 "})
    timeCombo_->addItem(m + msgText(1390));
  const std::string storyTime = user_ ? user_->ReadString("StoryTime") : std::string();
  timeCombo_->setCurrentText(storyTime.empty() ? msgText(1367) : toQString(storyTime));
  ok_ = makeButton(card, "OKBtn", msgText(1836), ButtonRole::Primary);
  ok_->setGeometry(352, 110, 200, 40);
  add_ = makeButton(card, "AddTextBtn", withMnemonic(msgText(615), 'A'));
  add_->setGeometry(352, 160, 96, 32);
  delete_ = makeButton(card, "DeleteBtn", withMnemonic(msgText(616), 'D'));
  delete_->setGeometry(456, 160, 96, 32);
  add_->setVisible(!policy("PreventStoryAdding"));
  delete_->setVisible(!policy("PreventStoryDeletion"));
  connect(ok_, &QPushButton::clicked, this, [this] { StartTest(); });
  connect(add_, &QPushButton::clicked, this, [this] { AddText(); });
  connect(delete_, &QPushButton::clicked, this, [this] { DeleteText(); });
  connect(textList_, &QListWidget::currentRowChanged, this, [this](int row) { SelectText(row); });

  // The tests completed so far.
  QFrame* done = makeCard(page, QRect(20, 286, 568, 170), "CompletedCard");
  makeBadge(done, "2", QPoint(14, 12));
  auto* doneTitle = makeHeading(done, withMnemonic(msgText(619), 'C'), 12);
  doneTitle->setObjectName("Completed");
  doneTitle->setGeometry(52, 14, 300, 24);
  resultList_ = new QListWidget(done);
  resultList_->setObjectName("ResultListBox");
  resultList_->setGeometry(16, 46, 320, 112);
  doneTitle->setBuddy(resultList_);
  const bool cpm = user_ && user_->ReadBool("cpm");
  for (const TResultItem& r : tests_) {
    const std::vector<QString> f = resultFields(r, cpm);
    auto* item = new QListWidgetItem(f[1] + "   " + f[0], resultList_);
    item->setToolTip(f[0]);
  }
  int y = 16;
  const auto figure = [&](const QString& name, int caption) {
    makeLabel(done, msgText(caption), 8, false, "#5b6b5b")->setGeometry(352, y, 100, 18);
    QLabel* value = makeLabel(done, "-", 9, true, "#1f5f3a");
    value->setObjectName(name);
    value->setGeometry(452, y, 100, 18);
    y += 20;
    return value;
  };
  duration_ = figure("DurationLbl", 624);
  gross_ = figure("GrossSpeedLbl", 623);
  accuracy_ = figure("AccuracyLbl", 622);
  net_ = figure("NetSpeedLbl", 621);
  diploma_ = makeButton(done, "DiplomaBtn", withMnemonic(msgText(620), 'f'));
  diploma_->setGeometry(352, 98, 200, 28);
  result_ = makeButton(done, "ResultBtn", withMnemonic(msgText(1450), 'l'));
  result_->setGeometry(352, 130, 200, 28);
  connect(diploma_, &QPushButton::clicked, this, [this] {
    const int row = resultList_ ? resultList_->currentRow() : -1;
    if (row >= 0 && reports().Diploma) reports().Diploma(tests_[static_cast<size_t>(row)]);
  });
  connect(result_, &QPushButton::clicked, this, [this] {
    const int row = resultList_ ? resultList_->currentRow() : -1;
    if (row >= 0 && reports().Details) reports().Details(tests_[static_cast<size_t>(row)]);
  });
  connect(resultList_, &QListWidget::currentRowChanged, this,
          [this](int row) { SelectResult(row); });
  resultList_->setCurrentRow(tests_.empty() ? -1 : 0);
  SelectResult(resultList_->currentRow());

  const std::string story = user_ ? user_->ReadString("StoryFile") : std::string();
  fillTexts(story.substr(0, story.find('.')));
  QWidget::setTabOrder(textList_, timeCombo_);
  QWidget::setTabOrder(timeCombo_, resultList_);
}

void TChooseTextView::Show() {
  TCustomBookView::Show();
  if (textList_) textList_->setFocus();
}

void TChooseTextView::fillTexts(const std::string& select) {
  texts_.LoadTestTexts(folder_, false, ActiveLanguage);
  textList_->blockSignals(true);
  textList_->clear();
  for (const std::string& name : texts_.TestTextNames()) textList_->addItem(toQString(name));
  textList_->blockSignals(false);
  const bool any = texts_.Count() > 0;
  const bool preferred = user_ && !user_->ReadString("PreferredTest").empty();
  textList_->setEnabled(any && !preferred);
  timeCombo_->setEnabled(any);
  delete_->setEnabled(any);
  ok_->setEnabled(any);  // no text, no test
  const int row = texts_.IndexOf(select);
  textList_->setCurrentRow(any ? (row < 0 ? 0 : row) : -1);
  SelectText(textList_->currentRow());
}

void TChooseTextView::SelectText(int row) {
  TtypingTest* d = texts_.TestTextAt(row);
  if (!d || !copyright_) {
    if (copyright_) copyright_->clear();
    return;
  }
  std::string note = d->Copyright();
  if (const std::string a = d->Criterion("MinAccuracy"); a != "0") {
    note += " (" + text(118) + " " + a + "%)";
  }
  if (const std::string s = d->Criterion("MinSpeed"); s != "0") {
    note += " (" + text(586) + " " + s + " " + text(208) + ")";
  }
  if (const std::string g = d->Criterion("MinGrossSpeed"); g != "0") {
    note += " (" + text(587) + " " + g + " " + text(208) + ")";
  }
  setElidedText(copyright_, toQString(note), 2);
  const std::string time = d->ReadString("time");
  int32_t minutes = 0;
  if (tryStrToInt(time, minutes)) {
    timeCombo_->setCurrentText(minutes == 0 ? msgText(1367)
                                            : QString::number(minutes) + " " + msgText(1390));
  }
  timeCombo_->setEnabled(!d->ReadBool("time.locked"));
}

void TChooseTextView::SelectResult(int row) {
  const bool any = row >= 0 && row < static_cast<int>(tests_.size());
  std::vector<QString> f(6, "-");
  if (any) f = resultFields(tests_[static_cast<size_t>(row)], user_ && user_->ReadBool("cpm"));
  duration_->setText(f[2]);
  gross_->setText(f[3]);
  accuracy_->setText(f[4].trimmed());
  net_->setText(f[5]);
  // Printing or PDF must be left to the learner, and the reports must be there.
  const bool output =
      !(policy("DisablePrintReport") && (policy("DisablePDF") || policy("DisablexxPDF")));
  diploma_->setEnabled(any && output && reports().Diploma && !policy("DisableTestDiplomaButton"));
  result_->setEnabled(any && output && reports().Details);
}

void TChooseTextView::AddText() {
  if (!add_ || !add_->isVisible()) return;
  const std::filesystem::path file = ChooseFile ? ChooseFile() : std::filesystem::path();
  if (file.empty()) return;
  TextImportServices services;
  services.typable = layoutTypes;
  services.now = systemClock().now();
  services.askDrop = [](const std::string& chars) {
    return dialogs().messageBox(text(1960) + chars + "\r\r" + text(1961),
                                Localize().GetStringDefault(1), BoxKind::Question);
  };
  std::unique_ptr<TtypingTest> d = AddTestText(folder_, file, services);
  if (!d) return;
  d->WriteString("Copyright",
                 text(1430) + " " + UserName + " " + shortDateText(systemClock().now()));
  d->Flush();
  const std::string base = d->BaseName;
  d.reset();
  fillTexts(base);
  textList_->setFocus();
}

void TChooseTextView::DeleteText() {
  if (!delete_ || !delete_->isVisible() || !delete_->isEnabled()) return;
  TtypingTest* d = texts_.TestTextAt(textList_->currentRow());
  if (!d) return;
  // Enter keeps the text: "no" is the default answer.
  if (!dialogs().messageBox(text(530) + "\r" + d->ReadString("Name"),
                            Localize().GetStringDefault(1), BoxKind::QuestionNo)) {
    return;
  }
  const int row = textList_->currentRow();
  texts_.DeleteTestText(d, folder_);
  const TtypingTest* next = texts_.TestTextAt(row < texts_.Count() ? row : row - 1);
  fillTexts(next ? next->BaseName : std::string());
}

void TChooseTextView::StartTest() {
  TtypingTest* d = texts_.TestTextAt(textList_ ? textList_->currentRow() : -1);
  if (!d || !ok_->isEnabled()) return;
  ChosenBase = d->BaseName;
  ChosenMinutes = DurationMinutes(toCp1252(timeCombo_->currentText()));
  SetCloseResult(1);
}

bool TChooseTextView::ShortCut(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    StartTest();
    return true;
  }
  if (key == Qt::Key_Delete && textList_ && textList_->hasFocus()) {
    DeleteText();
    return true;
  }
  if (key == Qt::Key_Escape && !CancelVisible) return true;
  return TCustomBookView::ShortCut(event);
}

void TChooseTextView::Hide() {
  // The duration is kept for the next test, however the view closes.
  if (user_ && timeCombo_) user_->WriteString("StoryTime", toCp1252(timeCombo_->currentText()));
  TCustomBookView::Hide();
}

}  // namespace ks
