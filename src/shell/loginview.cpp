#include "shell/loginview.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "book/bookwindow.h"
#include "book/pagestyle.h"
#include "book/uistyle.h"
#include "platform/desktop/qtext.h"
#include "platform/dialogs.h"
#include "store/group.h"
#include "store/langres.h"
#include "store/qssettings.h"
#include "store/user.h"
#include "store/userindex.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {
namespace {

QString msg(int id) {
  return toQString(Localize().GetString(id));
}

bool policy(const char* key) {
  return PolicySettings && PolicySettings->ReadBool(key);
}

QLabel* label(const QString& text, QWidget* parent, int points = 10, bool bold = false) {
  auto* l = new QLabel(text, parent);
  l->setFont(designFont("Verdana", points, bold));
  l->setStyleSheet("color: #28343f;");
  return l;
}

QPushButton* button(const QString& name, const QString& text, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setFont(designFont("Verdana", 10, true));
  b->setMinimumHeight(34);
  b->setCursor(Qt::PointingHandCursor);
  return b;
}

const char* kPanelStyle =
    "QWidget#LoginViewPanel { background: white; border: 1px solid #b9d3a0; border-radius: 14px; }"
    "QLineEdit, QComboBox, QListWidget { border: 1px solid #9fb88a; border-radius: 6px;"
    "  padding: 4px; background: #fbfff5; font-size: 14px; }"
    "QListWidget::item { padding: 3px 4px; border-radius: 4px; }"
    "QListWidget::item:selected { background: #a5cead; color: black; }"
    "QPushButton { background: #2e8b57; color: white; border: none; border-radius: 8px;"
    "  padding: 6px 16px; }"
    "QPushButton:hover { background: #3aa86a; }"
    "QPushButton:focus { border: 3px solid #14308c; padding: 3px 13px; }"
    "QLineEdit:focus, QComboBox:focus, QListWidget:focus { border: 2px solid #14308c; }"
    "QPushButton#BackBtn, QPushButton#NewUserBtn { background: #dfe9d3; color: #28343f; }";

}  // namespace

std::string NormaliseLoginName(const std::string& name, const std::string& capitals) {
  std::string out;
  for (char c : name) {
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += c;
  }
  if (out.size() > 50) out.resize(50);
  out = std::string(trimBlanks(out));
  if (out.empty()) return out;
  const unsigned char first = static_cast<unsigned char>(out[0]);
  const bool startsCapital = upperChar(first) == first && lowerChar(first) != first;
  const bool allCapitals = upperCase(out) == out;
  if (startsCapital && !allCapitals) return out;
  out = lowerCase(out);
  bool wordStart = true;
  for (char& c : out) {
    if (wordStart) {
      // The list names the letters (in lower case) that have a capital.
      if (capitals.find(c) != std::string::npos)
        c = static_cast<char>(upperChar(static_cast<unsigned char>(c)));
    }
    wordStart = c == ' ' || c == '-';
  }
  return out;
}

TLoginView::TLoginView() {
  CancelVisible = false;
  ButtonFlags = 0;
  MenuVisible = false;
  OnCloseQuery = [this](bool& abort) { check(abort); };
}

TLoginView::~TLoginView() = default;

void TLoginView::Setup() {
  TCustomBookView::Setup();
  ButtonFlags = 0;
  requirePasswords_ = policy("RequirePasswords");
  noUserList_ = policy("DisableUserList");
  noNewUsers_ = policy("PreventNewUsers");
  groupIds_ = GroupIds();
  const bool severalGroups = groupIds_.size() > 1;
  selfGrouping_ = !policy("DisableSelfGrouping") && severalGroups;
  groupChoice_ = !policy("DisableGroupList") && severalGroups && !noUserList_;
  SetTitle(QString());
  QWidget* page = Content();
  if (!page) return;

  auto* panel = new QWidget(page);
  panel->setObjectName("LoginViewPanel");
  panel->setStyleSheet(kPanelStyle);
  panel->setGeometry(120, 70, 440, 440);
  // The installation's start-up picture greets the learner beside the panel: drawn with the
  // first page, it costs the start nothing.
  const QPixmap splash = lowColour() ? QPixmap() : installationPicture("splash.bmp");
  if (!splash.isNull()) {
    const QPixmap shown =
        splash.width() > 400 || splash.height() > 400
            ? splash.scaled(400, 400, Qt::KeepAspectRatio, Qt::SmoothTransformation)
            : splash;
    auto* picture = new QLabel(page);
    picture->setObjectName("SplashImage");
    picture->setPixmap(shown);
    picture->setGeometry(16, 70 + (440 - shown.height()) / 2, shown.width(), shown.height());
    panel->setGeometry(16 + shown.width() + 12, 70, TBookFormEx::kPageWidth - shown.width() - 44,
                       440);
  }
  auto* outer = new QVBoxLayout(panel);
  outer->setContentsMargins(28, 22, 28, 22);
  outer->setSpacing(8);
  // A school's own picture, named by the policy, heads the panel.
  const std::string logoFile = PolicySettings ? PolicySettings->ReadString("LoginLogoFile") : "";
  const QPixmap logo = logoFile.empty() || lowColour() ? QPixmap() : installationPicture(logoFile);
  if (!logo.isNull()) {
    auto* logoImage = new QLabel(panel);
    logoImage->setObjectName("LogoImage");
    logoImage->setPixmap(logo.height() > 60 ? logo.scaledToHeight(60, Qt::SmoothTransformation)
                                            : logo);
    outer->addWidget(logoImage, 0, Qt::AlignLeft);
  }
  welcome_ = label(QString(), panel, 16, true);
  welcome_->setObjectName("WelcomeLbl");
  welcome_->setWordWrap(true);
  outer->addWidget(welcome_);
  newUserLbl_ = label(msg(392).replace("%s", msg(1)), panel, 9);
  newUserLbl_->setObjectName("NewUserLbl");
  newUserLbl_->setWordWrap(true);
  outer->addWidget(newUserLbl_);

  // The login page.
  loginPage_ = new QWidget(panel);
  auto* lp = new QVBoxLayout(loginPage_);
  lp->setContentsMargins(0, 0, 0, 0);
  if (groupChoice_) {
    QLabel* groupLbl = label(msg(735), loginPage_);
    lp->addWidget(groupLbl);
    groupList_ = new QComboBox(loginPage_);
    groupList_->setObjectName("GroupList");
    groupLbl->setBuddy(groupList_);
    groupList_->addItem(msg(726));
    for (const std::string& g : GroupNames(groupIds_, 0)) groupList_->addItem(toQString(g));
    groupList_->addItem(msg(1909));
    groupList_->setCurrentIndex(groupList_->count() - 1);
    connect(groupList_, &QComboBox::currentIndexChanged, this, [this] { fillNames(); });
    lp->addWidget(groupList_);
  }
  QLabel* nameLbl = label(msg(736), loginPage_);
  lp->addWidget(nameLbl);
  nameEdit_ = new QLineEdit(loginPage_);
  nameEdit_->setObjectName("NameEdit");
  nameLbl->setBuddy(nameEdit_);
  lp->addWidget(nameEdit_);
  nameList_ = new QListWidget(loginPage_);
  nameList_->setObjectName("NameList");
  nameList_->setAccessibleName(QString(msg(736)).remove('&'));
  nameList_->setVisible(!noUserList_);
  connect(nameList_, &QListWidget::currentTextChanged, this,
          [this](const QString& t) { nameEdit_->setText(t); });
  connect(nameList_, &QListWidget::itemDoubleClicked, this, [this] { SetCloseResult(1); });
  connect(nameEdit_, &QLineEdit::textChanged, this, [this](const QString& t) { markName(t); });
  lp->addWidget(nameList_, 1);
  if (requirePasswords_) {
    QLabel* passwordLbl = label(msg(738), loginPage_);
    lp->addWidget(passwordLbl);
    passwordEdit_ = new QLineEdit(loginPage_);
    passwordLbl->setBuddy(passwordEdit_);
    passwordEdit_->setObjectName("PasswordEdit");
    passwordEdit_->setEchoMode(QLineEdit::Password);
    lp->addWidget(passwordEdit_);
  }
  auto* loginButtons = new QHBoxLayout;
  newUserBtn_ = button("NewUserBtn", msg(737), loginPage_);
  newUserBtn_->setVisible(!noNewUsers_);
  enterBtn_ = button("EnterBtn", msg(734), loginPage_);
  loginButtons->addWidget(newUserBtn_);
  loginButtons->addStretch();
  loginButtons->addWidget(enterBtn_);
  lp->addLayout(loginButtons);
  outer->addWidget(loginPage_, 1);

  // The new-learner page.
  newPage_ = new QWidget(panel);
  auto* np = new QVBoxLayout(newPage_);
  np->setContentsMargins(0, 0, 0, 0);
  newNameLbl_ = label(msg(730), newPage_);
  newNameLbl_->setObjectName("NewNameLbl");
  np->addWidget(newNameLbl_);
  newNameEdit_ = new QLineEdit(newPage_);
  newNameLbl_->setBuddy(newNameEdit_);
  newNameEdit_->setObjectName("NewNameEdit");
  np->addWidget(newNameEdit_);
  if (requirePasswords_) {
    QLabel* newPasswordLbl = label(msg(731), newPage_);
    np->addWidget(newPasswordLbl);
    newPasswordEdit_ = new QLineEdit(newPage_);
    newPasswordLbl->setBuddy(newPasswordEdit_);
    newPasswordEdit_->setObjectName("NewPasswordEdit");
    newPasswordEdit_->setEchoMode(QLineEdit::Password);
    np->addWidget(newPasswordEdit_);
    QLabel* againLbl = label(msg(732), newPage_);
    np->addWidget(againLbl);
    newPasswordEdit2_ = new QLineEdit(newPage_);
    againLbl->setBuddy(newPasswordEdit2_);
    newPasswordEdit2_->setObjectName("NewPasswordEdit2");
    newPasswordEdit2_->setEchoMode(QLineEdit::Password);
    np->addWidget(newPasswordEdit2_);
  }
  if (selfGrouping_) {
    QLabel* newGroupLbl = label(msg(735), newPage_);
    np->addWidget(newGroupLbl);
    newGroupCombo_ = new QComboBox(newPage_);
    newGroupLbl->setBuddy(newGroupCombo_);
    newGroupCombo_->setObjectName("NewGroupCombo");
    for (const std::string& g : GroupNames(groupIds_, 0)) newGroupCombo_->addItem(toQString(g));
    connect(newGroupCombo_, &QComboBox::currentIndexChanged, this, [this](int i) {
      newGroup_ = i > 0 && i < static_cast<int>(groupIds_.size())
                      ? strToIntDef(groupIds_[static_cast<size_t>(i)], 0)
                      : 0;
    });
    np->addWidget(newGroupCombo_);
  }
  np->addStretch();
  auto* newButtons = new QHBoxLayout;
  backBtn_ = button("BackBtn", msg(733), newPage_);
  enterBtn2_ = button("EnterBtn2", msg(734), newPage_);
  newButtons->addWidget(backBtn_);
  newButtons->addStretch();
  newButtons->addWidget(enterBtn2_);
  np->addLayout(newButtons);
  outer->addWidget(newPage_, 1);

  connect(enterBtn_, &QPushButton::clicked, this, [this] { SetCloseResult(1); });
  connect(enterBtn2_, &QPushButton::clicked, this, [this] { SetCloseResult(1); });
  connect(newUserBtn_, &QPushButton::clicked, this, [this] { setMode(2); });
  connect(backBtn_, &QPushButton::clicked, this, [this] { setMode(1); });
  panel->show();

  fillNames();
  if (!noUserList_) nameEdit_->setText(toQString(PreselectedName));
  setMode(1);
  // A fresh installation: nobody to pick, so straight to the new-learner page.
  if (!noUserList_ && nameList_->count() == 0 && (!groupList_ || groupList_->count() < 4)) {
    backBtn_->hide();
    setMode(2);
  }
}

void TLoginView::Hide() {
  TCustomBookView::Hide();
}

void TLoginView::fillNames() {
  if (noUserList_ || !nameList_) return;
  nameList_->clear();
  // Another group: the name typed for the last one is no longer the learner's.
  nameEdit_->clear();
  int group = -1;
  if (groupList_) {
    const int i = groupList_->currentIndex();
    if (i == groupList_->count() - 1) return;  // type the name
    // Entry 0 lists everybody; the groups follow it in the order of their ids.
    if (i > 0 && i <= static_cast<int>(groupIds_.size()))
      group = strToIntDef(groupIds_[static_cast<size_t>(i - 1)], 0);
  }
  for (const std::string& name : UserNames(group)) nameList_->addItem(toQString(name));
  markName(nameEdit_->text());
}

void TLoginView::markName(const QString& name) {
  if (!nameList_) return;
  // Marking the learner must not write the list's spelling back into the name being typed.
  const QSignalBlocker quiet(nameList_);
  const auto found = name.trimmed().isEmpty()
                         ? QList<QListWidgetItem*>()
                         : nameList_->findItems(name.trimmed(), Qt::MatchFixedString);
  if (found.isEmpty()) {
    nameList_->setCurrentRow(-1);
    nameList_->clearSelection();
  } else {
    nameList_->setCurrentItem(found.front());
    nameList_->scrollToItem(found.front());
  }
}

void TLoginView::setMode(int mode) {
  Mode = mode;
  loginPage_->setVisible(mode == 1);
  newPage_->setVisible(mode != 1);
  newNameEdit_->setEnabled(true);
  newNameEdit_->setVisible(true);
  newNameLbl_->setVisible(true);
  if (mode != 3) newUserLbl_->setText(msg(392).replace("%s", msg(1)));
  if (mode == 1) {
    welcome_->setText(msg(727));
    nameEdit_->setFocus();
    nameEdit_->selectAll();
  } else if (mode == 2) {
    welcome_->setText(msg(728));
    newNameEdit_->setText(nameEdit_->text());
    newNameEdit_->setFocus();
    newNameEdit_->selectAll();
  } else {
    newNameEdit_->setVisible(false);
    newNameLbl_->setVisible(false);
    welcome_->setText(msg(1476));
    newUserLbl_->setText(msg(1477));
    backBtn_->hide();
    if (newGroupCombo_) newGroupCombo_->hide();
    if (newPasswordEdit_) newPasswordEdit_->setFocus();
  }
}

bool TLoginView::ShortCut(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && Mode != 1) {
    backBtn_->click();
    return true;
  }
  return TCustomBookView::ShortCut(event);
}

void TLoginView::warn(const std::string& text) {
  dialogs().messageBox(text, Localize().GetStringDefault(1), BoxKind::Warning);
}

void TLoginView::reportIndexFailure(const std::string& failure) {
  if (!failure.empty()) warn(Localize().GetString(2602) + failure + ".");
}

std::string TLoginView::enteredName() const {
  const QString typed = Mode == 1 ? nameEdit_->text() : newNameEdit_->text();
  return NormaliseLoginName(toCp1252(typed), Localize().GetString(13));
}

void TLoginView::check(bool& abort) {
  if (CloseResult() != 1) return;
  bool ok = false;
  try {
    ok = Mode == 1 ? checkLogin() : Mode == 2 ? checkNewUser() : checkPassword();
  } catch (const std::exception& e) {
    dialogs().messageBox(
        Localize().GetString(417) + enteredName() + Localize().GetString(418) + "\r" + e.what(),
        Localize().GetStringDefault(1), BoxKind::Error);
    user_.reset();
  }
  if (!ok) abort = true;
}

bool TLoginView::checkLogin() {
  const std::string name = enteredName();
  if (name.empty()) {
    warn(Localize().GetString(415));
    return false;
  }
  user_ = FindUser(name, -1, ulWrite, false);
  if (!user_) {
    if (noNewUsers_) {
      warn(Localize().GetString(420));
      return false;
    }
    if (!dialogs().messageBox(Localize().GetString(421) + name + Localize().GetString(422),
                              Localize().GetStringDefault(1), BoxKind::Question))
      return false;
    if (requirePasswords_ || selfGrouping_) {
      nameEdit_->setText(toQString(name));
      setMode(2);
      // The learner completes what is missing: the password first, else the group.
      if (newPasswordEdit_) {
        newPasswordEdit_->setFocus();
      } else if (newGroupCombo_) {
        newGroupCombo_->setFocus();
      }
      return false;
    }
    user_ = NewUser(name);
    SaveUser(*user_);
    return true;
  }
  if (requirePasswords_ && !user_->ReadString("Password").empty()) {
    if (!user_->CheckPassword(toCp1252(passwordEdit_->text()))) {
      warn(Localize().GetString(419));
      passwordEdit_->clear();
      passwordEdit_->setFocus();
      user_.reset();
      return false;
    }
  } else if (requirePasswords_) {
    newNameEdit_->setText(toQString(name));
    setMode(3);
    user_.reset();
    return false;
  }
  return true;
}

bool TLoginView::checkNewUser() {
  const std::string name = enteredName();
  if (name.empty()) {
    warn(Localize().GetString(415));
    return false;
  }
  if (auto existing = FindUser(name, -1, ulRead, true)) {
    warn(Localize().GetString(424) + name + Localize().GetString(425));
    newNameEdit_->setFocus();
    newNameEdit_->selectAll();
    return false;
  }
  std::string password;
  if (requirePasswords_) {
    password = toCp1252(newPasswordEdit_->text());
    if (password.empty()) {
      warn(Localize().GetString(416));
      newPasswordEdit_->setFocus();
      return false;
    }
    if (newPasswordEdit_->text() != newPasswordEdit2_->text()) {
      warn(Localize().GetString(423));
      newPasswordEdit_->clear();
      newPasswordEdit2_->clear();
      newPasswordEdit_->setFocus();
      return false;
    }
  }
  user_ = NewUser(name);
  user_->SetGroupId(newGroup_);
  if (!password.empty()) user_->SetPassword(password);
  SaveUser(*user_);
  // The new group's messages, tests and locks apply from this session on.
  user_->ReopenGroup();
  if (newGroup_ != 0) reportIndexFailure(RebuildIndexes());
  return true;
}

bool TLoginView::checkPassword() {
  const std::string name = toCp1252(newNameEdit_->text());
  const QString first = newPasswordEdit_ ? newPasswordEdit_->text() : QString();
  if (first.isEmpty()) {
    warn(Localize().GetString(416));
    if (newPasswordEdit_) newPasswordEdit_->setFocus();
    return false;
  }
  if (first != newPasswordEdit2_->text()) {
    warn(Localize().GetString(423));
    newPasswordEdit_->clear();
    newPasswordEdit2_->clear();
    newPasswordEdit_->setFocus();
    return false;
  }
  user_ = FindUser(name, -1, ulWrite, false);
  if (!user_) return false;
  user_->SetPassword(toCp1252(first));
  SaveUser(*user_);
  if (newGroup_ != 0) reportIndexFailure(RebuildIndexes());
  return true;
}

}  // namespace ks
