#include "engine/ui/builderview.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "content/eventldr.h"
#include "engine/ui/viewfactory.h"
#include "platform/desktop/qtext.h"
#include "shell/bookformex.h"
#include "shell/uistyle.h"
#include "store/langres.h"
#include "store/qssettings.h"

namespace ks {
namespace {

QString msg(int id) {
  return toQString(Localize().GetString(id));
}

QLabel* label(QWidget* page, const char* name, const QString& text, int x, int y, bool bold) {
  auto* l = new QLabel(text, page);
  l->setObjectName(name);
  l->setFont(designFont("Verdana", bold ? 11 : 10, bold));
  l->move(x, y);
  l->adjustSize();
  return l;
}

QRadioButton* radio(QWidget* page, const char* name, const QString& text, int x, int y) {
  auto* r = new QRadioButton(text, page);
  r->setObjectName(name);
  r->setFont(designFont("Verdana", 10));
  r->move(x, y);
  r->adjustSize();
  return r;
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
  SetTitle(msg(562));
  QWidget* page = Content();
  if (page == nullptr) return;

  label(page, "KeyLabel", "1  " + msg(589), 40, 60, true);
  difficultOpt_ = radio(page, "DifficultKeyOpt", msg(590), 60, 92);
  difKeys_ = label(page, "DifKeys", QString(), 300, 94, true);
  currentOpt_ = radio(page, "CurrentKeys", msg(591), 60, 122);
  studiedKeys_ = label(page, "StudiedKeys", QString(), 300, 124, true);
  chooseOpt_ = radio(page, "ChooseKeys", msg(592), 60, 152);
  yourKeys_ = new QLineEdit(toQString(ChosenKeys), page);
  yourKeys_->setObjectName("YourKeys");
  yourKeys_->setMaxLength(6);
  yourKeys_->setGeometry(300, 150, 90, 24);
  auto* keyGroup = new QButtonGroup(page);
  for (QRadioButton* r : {difficultOpt_.data(), currentOpt_.data(), chooseOpt_.data()}) {
    keyGroup->addButton(r);
  }

  label(page, "MethodLabel", "2  " + msg(593), 40, 200, true);
  keyboardRev_ = radio(page, "KeyboardRev", msg(594), 60, 232);
  textRev_ = radio(page, "TextRev", msg(595), 60, 262);
  gameMethod_ = radio(page, "GameMethod", msg(596), 60, 292);
  gameCombo_ = new QComboBox(page);
  gameCombo_->setObjectName("GameCombo");
  gameCombo_->addItems({msg(1402), msg(1403)});
  gameCombo_->setGeometry(300, 290, 150, 24);
  auto* methodGroup = new QButtonGroup(page);
  for (QRadioButton* r : {keyboardRev_.data(), textRev_.data(), gameMethod_.data()}) {
    methodGroup->addButton(r);
  }

  label(page, "DiffKeysLabel", "3  " + msg(597), 40, 340, true);
  auto* list = label(page, "DifficultKeysList", toQString(DifficultKeysText), 60, 372, false);
  list->setFont(designFont("Courier New", 16, true));
  list->adjustSize();

  auto* ok = new QPushButton(msg(1786), page);
  ok->setObjectName("OKBtn");
  ok->setGeometry(540, 520, 110, 34);
  auto* cancel = new QPushButton(msg(88), page);
  cancel->setObjectName("CancelBtn");
  cancel->setGeometry(660, 520, 110, 34);
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
  difKeys_->adjustSize();
  difficultOpt_->setEnabled(difficult);
  studiedKeys_->setText(toQString(StudiedKeysText));
  studiedKeys_->adjustSize();
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
