#include "monitor/ui/monitorwindows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

#include "book/pagestyle.h"
#include "monitor/ui/monitortexts.h"
#include "platform/desktop/qtext.h"
#include "platform/dialogs.h"
#include "store/langres.h"
#include "store/qssettings.h"
#include "store/user.h"
#include "store/userindex.h"
#include "store/usernames.h"

namespace ks {
namespace {

bool policy(const char* key) {
  return PolicySettings && PolicySettings->ReadBool(key);
}

std::string message(int id) {
  return Localize().GetString(id);
}

}  // namespace

TLogForm::TLogForm(QWidget* parent) : QDialog(parent) {
  setObjectName("TLogForm");
  setWindowTitle(msgText(1287));
  QString used;
  product_ = new QLabel(msgText(1) + " " + msgText(1264));
  QFont f = product_->font();
  f.setPointSizeF(f.pointSizeF() * 1.3);
  f.setBold(true);
  product_->setFont(f);
  info_ = new QLabel;
  info_->setObjectName("InfoLbl");
  info_->setWordWrap(true);
  name_ = new QComboBox;
  name_->setObjectName("NameField");
  name_->setEditable(true);
  name_->setInsertPolicy(QComboBox::NoInsert);
  name_->setMinimumWidth(260);
  auto* nameLabel = new QLabel(withMnemonic(msgText(1365), used));
  nameLabel->setBuddy(name_);
  dontShowAgain_ = new QCheckBox(withMnemonic(msgText(1679), used));
  dontShowAgain_->setObjectName("DontShowAgain");
  newUser_ = new QPushButton(withMnemonic(msgText(1674), used));
  newUser_->setObjectName("NewUserBtn");
  back_ = new QPushButton(withMnemonic(msgText(1676), used));
  back_->setObjectName("BackBtn");
  fixedUsed_ = used;  // go and cancel change their texts in run()
  go_ = new QPushButton;
  go_->setObjectName("GoBtn");
  go_->setDefault(true);
  cancel_ = new QPushButton;
  cancel_->setObjectName("CancelBtn");
  connect(go_, &QPushButton::clicked, this, &TLogForm::go);
  connect(newUser_, &QPushButton::clicked, this, [this] { setMode(2); });
  connect(back_, &QPushButton::clicked, this, [this] { setMode(1); });
  connect(cancel_, &QPushButton::clicked, this, [this] { done(2); });

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(newUser_);
  buttons->addWidget(back_);
  buttons->addStretch();
  buttons->addWidget(go_);
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(product_);
  layout->addWidget(info_);
  layout->addSpacing(8);
  layout->addWidget(nameLabel);
  layout->addWidget(name_);
  layout->addWidget(dontShowAgain_);
  layout->addSpacing(8);
  layout->addLayout(buttons);
  setMinimumWidth(420);
  setWindowFlag(Qt::WindowStaysOnTopHint);
}

TLogForm::~TLogForm() = default;

std::unique_ptr<TUser> TLogForm::takeUser() {
  return std::move(user_);
}

bool TLogForm::run(bool firstStart, const std::string& defaultName, UserOpener open) {
  firstStart_ = firstStart;
  defaultName_ = defaultName;
  open_ = std::move(open);
  chosen_.clear();
  user_.reset();
  QString used = fixedUsed_;
  go_->setText(withMnemonic(msgText(firstStart ? 1675 : 1173), used));
  cancel_->setText(withMnemonic(msgText(firstStart ? 1677 : 722), used));
  dontShowAgain_->setVisible(firstStart);
  dontShowAgain_->setChecked(false);
  setMode(1);
  return exec() == 1;
}

bool TLogForm::dontShowAgain() const {
  return !dontShowAgain_->isHidden() && dontShowAgain_->isChecked();
}

void TLogForm::setMode(int mode) {
  mode_ = mode;
  back_->setVisible(mode == 2);
  newUser_->setVisible(mode == 1 && !policy("PreventNewUsers"));
  name_->clear();
  if (mode == 1) {
    info_->setText(msgText(firstStart_ ? 1678 : 1281));
    if (!policy("DisableUserList"))
      for (const std::string& n : UserNames(-1)) name_->addItem(toQString(n));
    name_->setEditText(toQString(defaultName_));
  } else {
    info_->setText(msgText(1282));
    name_->setEditText("");
  }
  name_->setFocus();
  name_->lineEdit()->selectAll();
}

void TLogForm::reject() {
  if (mode_ == 2) {
    setMode(1);
  } else {
    done(2);
  }
}

void TLogForm::go() {
  const std::string name = CleanUserName(toCp1252(name_->currentText()));
  const std::string caption = message(1287);
  if (name.empty()) {
    dialogs().messageBox(message(415), caption, BoxKind::Warning);
    return;
  }
  const bool exists = UserFileFor(-1, name).has_value();
  if (mode_ == 1 && !exists) {
    if (policy("PreventNewUsers")) {
      dialogs().messageBox(message(420), caption, BoxKind::Warning);
      return;
    }
    if (!dialogs().messageBox(message(421) + name + message(422), caption, BoxKind::Question))
      return;
  }
  if (mode_ == 2 && exists) {
    dialogs().messageBox(message(424) + name + message(425), caption, BoxKind::Warning);
    return;
  }
  if (open_) {
    try {
      user_ = open_(name);
    } catch (const std::exception& e) {
      // Held by the tutor, or a damaged file: the learner may choose another.
      dialogs().messageBox(message(417) + name + message(418) + "\r" + e.what(), caption,
                           BoxKind::Error);
      return;
    }
  }
  chosen_ = name;
  done(1);
}

TCloseDlg::TCloseDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("TCloseDlg");
  setWindowTitle(msgText(1));
  QString used;
  auto* question = new QLabel(msgText(1271));
  question->setObjectName("QuestionLbl");
  question->setWordWrap(true);
  permanent_ = new QCheckBox(withMnemonic(msgText(1288), used));
  permanent_->setObjectName("PermanentChk");
  auto* buttons = new QDialogButtonBox;
  auto* yes = buttons->addButton(withMnemonic(msgText(1289), used), QDialogButtonBox::YesRole);
  yes->setObjectName("OKBtn");
  auto* no = buttons->addButton(withMnemonic(msgText(1290), used), QDialogButtonBox::NoRole);
  no->setObjectName("CancelBtn");
  no->setDefault(true);
  yes->setAutoDefault(false);  // Enter keeps the monitor running
  connect(yes, &QPushButton::clicked, this, [this] { done(1); });
  connect(no, &QPushButton::clicked, this, [this] { done(2); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(question);
  layout->addWidget(permanent_);
  layout->addWidget(buttons);
  setMinimumWidth(380);
  setWindowFlag(Qt::WindowStaysOnTopHint);
}

int TCloseDlg::run(bool* permanent) {
  findChild<QPushButton*>("CancelBtn")->setFocus();
  permanent_->setEnabled(permanent != nullptr);
  permanent_->setChecked(permanent && *permanent);
  const int result = exec() == 1 ? 1 : 2;
  if (permanent) *permanent = permanent_->isChecked();
  return result;
}

}  // namespace ks
