#include "engine/ui/builderview.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "analysis/diffkeys.h"
#include "book/bookwindow.h"
#include "book/pagestyle.h"
#include "book/uistyle.h"
#include "content/eventloader.h"
#include "engine/ui/viewfactory.h"
#include "platform/desktop/qtext.h"
#include "reports/coursegraphs.h"
#include "reports/ui/tgraph.h"
#include "store/langres.h"
#include "store/qssettings.h"

namespace ks {
namespace {

// As many keys as the statistics page's chart of difficult keys shows.
constexpr int kChartKeys = 16;

QRadioButton* radio(QWidget* parent, const char* name, const QString& text, int x, int y) {
  auto* r = new QRadioButton(text, parent);
  r->setObjectName(name);
  r->setFont(designFont("Verdana", 10));
  r->move(x, y);
  r->adjustSize();
  return r;
}

// One numbered question of the page: a card with its step and heading.
QFrame* questionCard(QWidget* page, int top, int height, const QString& step, int heading,
                     const char* headingName, int width = 720) {
  QFrame* card = makeCard(page, QRect(40, top, width, height), QString("Step") + step);
  makeBadge(card, step, QPoint(14, 12));
  QLabel* title = makeLabel(card, msgText(heading), 11, true);
  title->setObjectName(headingName);
  title->setGeometry(52, 15, width - 80, 22);
  return card;
}

// The keys an option stands for, beside it.
QLabel* keysLabel(QWidget* card, const char* name, int y) {
  QLabel* keys = makeLabel(card, QString(), 11, true, "#1f5f3a");
  keys->setObjectName(name);
  keys->setGeometry(320, y, 380, 22);
  return keys;
}

}  // namespace

TBuilderView::TBuilderView() {
  // The view brings its own OK and Cancel buttons.
  ButtonFlags = 0;
  TCustomBookView::MenuVisible = false;
  CancelVisible = false;
}

void TBuilderView::Setup() {
  // The event's menu choice applies to this view's own Cancel button.
  const bool menuVisible = BuilderChoice::MenuVisible;
  TCustomBookView::Setup();
  SetTitle(msgText(562));
  QWidget* page = Content();
  if (page == nullptr) return;

  page->setStyleSheet(studyStyleSheet());

  // Three rows of choices per question, so that the chart of question 3 has room below.
  QFrame* keys = questionCard(page, 66, 128, "1", 589, "KeyLabel");
  difficultOpt_ = radio(keys, "DifficultKeyOpt", msgText(590), 52, 44);
  difKeys_ = keysLabel(keys, "DifKeys", 42);
  currentOpt_ = radio(keys, "CurrentKeys", msgText(591), 52, 70);
  studiedKeys_ = keysLabel(keys, "StudiedKeys", 68);
  chooseOpt_ = radio(keys, "ChooseKeys", msgText(592), 52, 96);
  yourKeys_ = new QLineEdit(toQString(ChosenKeys), keys);
  yourKeys_->setObjectName("YourKeys");
  yourKeys_->setAccessibleName(chooseOpt_->text().remove('&'));
  yourKeys_->setMaxLength(6);
  yourKeys_->setFont(designFont("Verdana", 11, true));
  yourKeys_->setGeometry(320, 92, 110, 28);
  auto* keyGroup = new QButtonGroup(page);
  for (QRadioButton* r : {difficultOpt_.data(), currentOpt_.data(), chooseOpt_.data()}) {
    keyGroup->addButton(r);
  }

  QFrame* method = questionCard(page, 200, 128, "2", 593, "MethodLabel");
  keyboardRev_ = radio(method, "KeyboardRev", msgText(594), 52, 44);
  textRev_ = radio(method, "TextRev", msgText(595), 52, 70);
  gameMethod_ = radio(method, "GameMethod", msgText(596), 52, 96);
  gameCombo_ = new QComboBox(method);
  gameCombo_->setObjectName("GameCombo");
  gameCombo_->setAccessibleName(gameMethod_->text().remove('&'));
  gameCombo_->addItems({msgText(1402), msgText(1403)});
  gameCombo_->setGeometry(320, 92, 180, 28);
  auto* methodGroup = new QButtonGroup(page);
  for (QRadioButton* r : {keyboardRev_.data(), textRev_.data(), gameMethod_.data()}) {
    methodGroup->addButton(r);
  }

  // Question 3 shows the most difficult keys as the statistics page charts them.
  QFrame* hardest = questionCard(page, 334, 204, "3", 597, "DiffKeysLabel", 590);
  const QLabel* heading = hardest->findChild<QLabel*>("DiffKeysLabel");
  const TDifficultKeys none(8);
  GraphModel chart = TCourseGraphs::DifficultKeysGraph(Difficulties ? *Difficulties : none,
                                                       kChartKeys, 0, std::string(), std::string());
  // Left of the heading by 10 pixels and below it: this heading is taller than the 15 pixels
  // the chart once kept to its top.
  chart.Left = heading->x() - 10;
  chart.Top = heading->geometry().bottom() + 3;
  graph_ = new TGraph(chart, hardest);
  graph_->setObjectName("DifficultKeysGraph");
  graph_->setAccessibleName(heading->text());
  graph_->setAccessibleDescription(toQString(DifficultKeysText));

  QPushButton* ok = makeButton(page, "OKBtn", msgText(1786), ButtonRole::Primary);
  ok->setGeometry(642, 494, 118, 44);
  QPushButton* cancel = makeButton(page, "CancelBtn", msgText(88));
  cancel->setGeometry(642, 450, 118, 34);
  cancel->setVisible(!menuVisible);
  connect(ok, &QPushButton::clicked, this, [this, ok] { ButtonClick(ok); });
  connect(cancel, &QPushButton::clicked, this, [this, cancel] { ButtonClick(cancel); });

  keyboardRev_->setChecked(true);
  keyboardRev_->setEnabled(KeyboardAllowed);
  textRev_->setEnabled(TextAndGamesAllowed);
  gameMethod_->setEnabled(TextAndGamesAllowed);
  gameCombo_->setEnabled(TextAndGamesAllowed);

  // "." or "," alone is no key set worth reviewing.
  const bool difficult =
      !DifficultKeysText.empty() && DifficultKeysText != "." && DifficultKeysText != ",";
  difKeys_->setText(difficult ? toQString(DifficultKeysText) : QString());
  difficultOpt_->setEnabled(difficult);
  studiedKeys_->setText(toQString(StudiedKeysText));
  currentOpt_->setEnabled(!StudiedKeysText.empty());

  difficultOpt_->setChecked(true);
  if (!difficultOpt_->isEnabled()) currentOpt_->setChecked(true);
  if (currentOpt_->isChecked() && !currentOpt_->isEnabled()) chooseOpt_->setChecked(true);

  if (PolicySettings && PolicySettings->ReadBool("Games.Review.Disable")) {
    gameMethod_->setEnabled(false);
    gameCombo_->setEnabled(false);
  }

  connect(chooseOpt_, &QRadioButton::clicked, yourKeys_, [this] { yourKeys_->setFocus(); });
  connect(gameMethod_, &QRadioButton::clicked, gameCombo_, [this] { gameCombo_->setFocus(); });
  connect(gameCombo_, QOverload<int>::of(&QComboBox::activated), gameMethod_, [this] {
    if (gameMethod_->isEnabled()) gameMethod_->setChecked(true);
  });
  connect(yourKeys_, &QLineEdit::textEdited, chooseOpt_, [this] { chooseOpt_->setChecked(true); });
  gameCombo_->setCurrentIndex(0);
}

void TBuilderView::ButtonClick(QObject* sender) {
  if (sender != nullptr && sender->objectName() == "OKBtn") {
    SetCloseResult(1);
  } else if (sender != nullptr && sender->objectName() == "CancelBtn") {
    SetCloseResult(2);
  } else {
    TCustomBookView::ButtonClick(sender);
  }
}

void TBuilderView::readAnswers() {
  if (difficultOpt_.isNull()) return;
  KeySource = currentOpt_->isChecked() ? 2 : chooseOpt_->isChecked() ? 3 : 1;
  ChosenKeys = toCp1252(yourKeys_->text());
  ReviewMethod = 1;
  if (textRev_->isChecked()) ReviewMethod = 2;
  if (gameMethod_->isChecked()) ReviewMethod = gameCombo_->currentIndex() == 1 ? 6 : 5;
}

void TBuilderView::Hide() {
  readAnswers();
  TCustomBookView::Hide();
}

void registerBuilderEvent(std::function<BuilderEventServices()> services) {
  registerEventView("BUILDER", [services](const std::string&, const std::string& line) {
    BuilderEventServices s = services();
    s.MakeChoice = [] { return std::make_unique<TBuilderView>(); };
    return std::make_unique<TBuilderEvent>(line, std::move(s));
  });
}

}  // namespace ks
