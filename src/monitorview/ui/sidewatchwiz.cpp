#include "monitorview/ui/sidewatchwiz.h"

#include <QPixmap>
#include <QSystemTrayIcon>
#include <algorithm>

#include "book/pagestyle.h"
#include "monitorview/ui/monitorcontrol.h"
#include "platform/desktop/qtext.h"
#include "platform/dialogs.h"
#include "store/autostart.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "store/qssettings.h"
#include "store/user.h"

namespace ks {
namespace {

const QString kFocusStyle =
    "QPushButton:focus, QComboBox:focus, QCheckBox:focus { border: 2px solid #1f5f3a;"
    "  border-radius: 6px; }"
    "QCheckBox { color: #28343f; spacing: 8px; padding: 2px; }";

QCheckBox* checkBox(QWidget* parent, const QString& name, const QString& text, const QRect& r) {
  auto* box = new QCheckBox(text, parent);
  box->setObjectName(name);
  box->setFocusPolicy(Qt::StrongFocus);
  box->setGeometry(r);
  return box;
}

}  // namespace

TSidewatchWizView::TSidewatchWizView(TUser& user) : user_(user), setup_(user) {
  OKInsteadOfNext = true;
}

void TSidewatchWizView::Setup() {
  TCustomBookView::Setup();
  SetTitle(msgText(2234));
  QWidget* page = Content();
  if (!page) return;
  page->setStyleSheet(studyStyleSheet() + kFocusStyle);

  QFrame* about = makeCard(page, QRect(20, 66, 562, 112), "AboutCard");
  int textLeft = 18;
  const std::string picture = Localize().GetString(1907);
  if (!picture.empty() && ProgramSettings) {
    QPixmap pm(QString::fromStdString((ProgramSettings->rootPath() / picture).string()));
    if (!pm.isNull()) {
      auto* pic = new QLabel(about);
      pic->setPixmap(pm.scaled(96, 96, Qt::KeepAspectRatio, Qt::SmoothTransformation));
      pic->setGeometry(16, 8, 96, 96);
      textLeft = 124;
    }
  }
  // The notification area is named only where the desktop has one.
  const int where = QSystemTrayIcon::isSystemTrayAvailable() ? 519 : 2800;
  QLabel* info =
      makeLabel(about, msgText(where) + "\n\n" + msgText(520) + "\n\n" + msgText(521), 9);
  info->setObjectName("InfoLbl");
  info->setWordWrap(true);
  info->setGeometry(textLeft, 8, 544 - textLeft, 96);

  QFrame* card = makeCard(page, QRect(20, 186, 562, 266), "SettingsCard");
  QLabel* who = makeLabel(card, msgText(516) + toQString(user_.UserName()), 10, true);
  who->setObjectName("SingleUserLbl");
  who->setGeometry(18, 10, 520, 22);

  QLabel* when = makeLabel(card, msgText(2237), 9);
  when->setGeometry(18, 38, 160, 26);
  userOption_ = new QComboBox(card);
  when->setBuddy(userOption_);
  userOption_->setObjectName("UserOptionBox");
  userOption_->setFocusPolicy(Qt::StrongFocus);
  userOption_->addItems({msgText(2242), msgText(2243), msgText(2244)});
  userOption_->setGeometry(200, 38, 340, 28);
  actionLbl_ = makeLabel(card, QString(), 8, false, "#3c4a3c");
  actionLbl_->setObjectName("ActionLbl");
  actionLbl_->setWordWrap(true);
  actionLbl_->setGeometry(200, 68, 340, 20);

  training_ = checkBox(card, "TrainingBox", msgText(2235), QRect(18, 94, 520, 26));
  training_->setChecked(user_.ReadBool("NotifyWhenDifficulties"));
  breaks_ = checkBox(card, "BreakBox", msgText(2236), QRect(18, 124, 180, 26));
  breaks_->setChecked(user_.ReadBool("NotifyWhenBreak"));
  breakList_ = new QComboBox(card);
  breakList_->setObjectName("BreakList");
  breakList_->setFocusPolicy(Qt::StrongFocus);
  breakList_->addItems({"30 min", "60 min", "1.5 hours", "2 hours", "2.5 hours"});
  breakList_->setGeometry(200, 123, 140, 28);
  breakList_->setCurrentIndex(setup_.BreakEntry());
  security_ = checkBox(card, "SecurityBox", msgText(1297), QRect(18, 154, 520, 26));
  // The monitor never stores typed words: a learner who has not chosen starts with the box
  // ticked, as the page says.
  std::string chosen;
  security_->setChecked(user_.file().ReadString("DoNotCollectWords", chosen) == 1
                            ? user_.ReadBool("DoNotCollectWords")
                            : true);
  if (PolicySettings && PolicySettings->ReadBool("DoNotCollectWords")) {
    WordsForcedOff = true;
    security_->setChecked(true);
    security_->setEnabled(false);
    security_->hide();
  }
  launchNow_ = checkBox(card, "LaunchNowBox", msgText(2239), QRect(18, 184, 520, 26));
  launchNow_->setChecked(true);
  QLabel* hint = makeLabel(card, msgText(2245), 8, false, "#3c4a3c");
  hint->setWordWrap(true);
  hint->setGeometry(18, 220, 520, 36);

  const int option = setup_.CurrentUserOption();
  userOption_->setCurrentIndex(option);
  showUserOption(option);
  // Connected after the set-up, so only the learner's own choices are written.
  connect(training_, &QCheckBox::toggled, this,
          [this](bool on) { user_.WriteBool("NotifyWhenDifficulties", on); });
  connect(breaks_, &QCheckBox::toggled, this,
          [this](bool on) { user_.WriteBool("NotifyWhenBreak", on); });
  connect(breakList_, &QComboBox::activated, this, [this](int i) { setup_.ChooseBreakEntry(i); });
  connect(userOption_, &QComboBox::activated, this, [this](int i) {
    setup_.ChooseUserOption(i);
    showUserOption(i);
  });
  QWidget::setTabOrder(userOption_, training_);
  QWidget::setTabOrder(training_, breaks_);
  QWidget::setTabOrder(breaks_, breakList_);
  QWidget::setTabOrder(breakList_, security_);
  QWidget::setTabOrder(security_, launchNow_);
  userOption_->setFocus();
}

void TSidewatchWizView::Hide() {
  // The controls go with the page; their answers stay.
  if (userOption_) {
    UserOption = userOption_->currentIndex();
    BreakEntry = breakList_->currentIndex();
    NoWords = security_->isChecked();
    SecurityEnabled = security_->isEnabled();
    LaunchNow = launchNow_->isChecked();
  }
  TCustomBookView::Hide();
}

void TSidewatchWizView::showUserOption(int option) {
  const int ids[3] = {1768, 1769, 1770};
  actionLbl_->setText(
      msgText(ids[std::clamp(option, 0, 2)]).replace("%s", toQString(user_.UserName())));
}

TSidewatchLaunchedView::TSidewatchLaunchedView() {
  CancelVisible = false;
  OKInsteadOfNext = true;
}

void TSidewatchLaunchedView::Setup() {
  TCustomBookView::Setup();
  SetTitle(msgText(2234));
  QWidget* page = Content();
  if (!page) return;
  page->setStyleSheet(studyStyleSheet());
  QFrame* card = makeCard(page, QRect(20, 66, 562, 150), "LaunchedCard");
  QLabel* head = makeHeading(card, msgText(monitorControl().Running() ? 2240 : 465), 15);
  head->setObjectName("LaunchedHeading");
  head->setGeometry(18, 16, 520, 32);
  QLabel* text =
      makeLabel(card, msgText(QSystemTrayIcon::isSystemTrayAvailable() ? 2241 : 2801), 10);
  text->setObjectName("LaunchedLbl");
  text->setWordWrap(true);
  text->setGeometry(18, 54, 520, 80);
}

int TSidewatchWiz::Run() {
  TSidewatchWizView view(user_);
  const bool completed = view.RunModal() == 1;
  const std::string failure = SidewatchSetup(user_).Finish(
      completed, view.UserOption, view.BreakEntry, view.NoWords, view.WordsForcedOff,
      view.SecurityEnabled, MonitorRemote::Program());
  if (!completed) return 0;
  if (!failure.empty()) {
    dialogs().messageBox(AutoStartFailureText(failure), Localize().GetStringDefault(1),
                         BoxKind::Warning);
  }
  // The monitor reads the account's choice of learner and the learner's settings from the files.
  if (workstationSettings) workstationSettings->Flush();
  SaveUser(user_);
  if (!monitorControl().Running()) monitorControl().Start();
  if (!view.LaunchNow) return 1;
  TSidewatchLaunchedView launched;
  launched.RunModal();
  return user_.ReadInteger("NextStep") == 3 ? 0 : 1;
}

}  // namespace ks
