#include "monitor/ui/chooseapps.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

#include "book/pagestyle.h"
#include "book/programinfo.h"
#include "monitor/spyedapps.h"
#include "monitor/ui/monitortexts.h"
#include "platform/desktop/qtext.h"
#include "store/autostart.h"
#include "store/qssettings.h"
#include "store/user.h"
#include "store/userindex.h"
#include "text/numbers.h"

namespace ks {
namespace {

std::string accountKey(const char* key) {
  return key + LoginName();
}

QLabel* wrapped(const QString& text) {
  auto* label = new QLabel(text);
  label->setWordWrap(true);
  return label;
}

}  // namespace

TChooseApplications::TChooseApplications(bool inMonitor, QWidget* parent)
    : QDialog(parent), inMonitor_(inMonitor) {
  setObjectName("TChooseApplications");
  // Left only through its buttons: no close command in the title bar.
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
  setWindowTitle(msgText(1287));
  auto* tabs = new QTabWidget;
  buildPersonal(tabs);
  buildApplications(tabs);
  buildCommon(tabs);
  buildAbout(tabs);

  auto* buttons = new QDialogButtonBox;
  auto* logoff =
      buttons->addButton(withMnemonic(msgText(1320), used_), QDialogButtonBox::ActionRole);
  logoff->setObjectName("LogoffBtn");
  auto* ok = buttons->addButton(msgText(1173), QDialogButtonBox::AcceptRole);
  ok->setObjectName("OkBtn");
  ok->setDefault(true);
  logoff->setAutoDefault(false);  // Enter means OK wherever the focus is
  connect(ok, &QPushButton::clicked, this, [this] { finish(Ok); });
  connect(logoff, &QPushButton::clicked, this, [this] { finish(Logoff); });

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs);
  layout->addWidget(buttons);
  captionsUsed_ = used_;
  resize(520, 440);
}

void TChooseApplications::buildPersonal(QTabWidget* tabs) {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* practice = new QGroupBox(msgText(1292));
  auto* p = new QVBoxLayout(practice);
  notifyDifficulties_ = new QCheckBox;
  notifyDifficulties_->setObjectName("NotifyWhenDifficulties");
  pages_ = new QSlider(Qt::Horizontal);
  pages_->setObjectName("PagesTrackBar");
  pages_->setRange(1, 20);
  p->addWidget(wrapped(msgText(1299)));
  p->addWidget(notifyDifficulties_);
  p->addWidget(pages_);
  auto* breaks = new QGroupBox(msgText(1295));
  auto* b = new QVBoxLayout(breaks);
  takeABreak_ = new QCheckBox;
  takeABreak_->setObjectName("TakeABreak");
  breakInterval_ = new QSlider(Qt::Horizontal);
  breakInterval_->setObjectName("BreakInterval");
  breakInterval_->setRange(1, 10);
  b->addWidget(takeABreak_);
  b->addWidget(breakInterval_);
  auto* privacy = new QGroupBox(msgText(1296));
  auto* v = new QVBoxLayout(privacy);
  v->addWidget(wrapped(msgText(1298)));
  chooseManually_ = new QCheckBox(withMnemonic(msgText(1294), used_));
  chooseManually_->setObjectName("ChooseAppsManually");
  doNotCollectWords_ = new QCheckBox(withMnemonic(msgText(1297), used_));
  doNotCollectWords_->setObjectName("DoNotCollectWords");
  doNotCollectWords_->setVisible(!inMonitor_);
  v->addWidget(chooseManually_);
  v->addWidget(doNotCollectWords_);
  layout->addWidget(practice);
  layout->addWidget(breaks);
  layout->addWidget(privacy);
  layout->addStretch();
  connect(pages_, &QSlider::valueChanged, this, [this] { captions(); });
  connect(breakInterval_, &QSlider::valueChanged, this, [this] { captions(); });
  connect(notifyDifficulties_, &QCheckBox::toggled, pages_, &QWidget::setEnabled);
  connect(takeABreak_, &QCheckBox::toggled, breakInterval_, &QWidget::setEnabled);
  tabs->addTab(page, withMnemonic(msgText(1300), used_));
}

void TChooseApplications::buildApplications(QTabWidget* tabs) {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(wrapped(msgText(1302)));
  viewActive_ = new QRadioButton(withMnemonic(msgText(1303), used_));
  viewActive_->setObjectName("ViewActiveChk");
  viewAll_ = new QRadioButton(withMnemonic(msgText(1304), used_));
  viewAll_->setObjectName("ViewAllChk");
  auto* modes = new QHBoxLayout;
  modes->addWidget(viewActive_);
  modes->addWidget(viewAll_);
  layout->addLayout(modes);
  auto* listLabel = new QLabel(withMnemonic(msgText(1305), used_));
  appsList_ = new QListWidget;
  appsList_->setObjectName("AppsCheckList");
  listLabel->setBuddy(appsList_);
  detail_ = wrapped(msgText(1421));
  detail_->setObjectName("Detail1");
  detail_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(listLabel);
  layout->addWidget(appsList_, 1);
  layout->addWidget(detail_);
  // A mode switch is written to the learner at once, as the list shows it.
  connect(viewActive_, &QRadioButton::clicked, this, [this] {
    fillList(1);
    if (user_) user_->WriteInteger("AppListMode", 1);
  });
  connect(viewAll_, &QRadioButton::clicked, this, [this] {
    fillList(2);
    if (user_) user_->WriteInteger("AppListMode", 2);
  });
  connect(appsList_, &QListWidget::itemChanged, this, [this] { listChanged(); });
  connect(appsList_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (!apps_ || row < 0) return;
    const TAppSettings* e =
        apps_->entry(toCp1252(appsList_->item(row)->data(Qt::UserRole).toString()));
    if (e) detail_->setText(toQString(e->path + e->name));
  });
  tabs->addTab(page, withMnemonic(msgText(1301), used_));
}

void TChooseApplications::buildCommon(QTabWidget* tabs) {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  appliedWinUser_ = new QLabel;
  appliedWinUser_->setObjectName("AppliedWinUser");
  layout->addWidget(appliedWinUser_);
  layout->addWidget(wrapped(msgText(1307)));
  auto* startup = new QGroupBox(msgText(1308));
  auto* s = new QVBoxLayout(startup);
  launchAtStartup_ = new QCheckBox(withMnemonic(msgText(1309), used_));
  launchAtStartup_->setObjectName("LaunchAtStartup");
  statusLabel_ = new QLabel;
  statusLabel_->setObjectName("StatusLabel");
  s->addWidget(launchAtStartup_);
  s->addWidget(statusLabel_);
  auto* learner = new QGroupBox(msgText(1311));
  auto* l = new QVBoxLayout(learner);
  l->addWidget(new QLabel(msgText(1310)));
  showUserList_ = new QRadioButton(withMnemonic(msgText(1313), used_));
  showUserList_->setObjectName("ShowUserList");
  useSelectedUser_ = new QRadioButton(withMnemonic(msgText(1312), used_));
  useSelectedUser_->setObjectName("UseSelectedUser");
  selectedUser_ = new QComboBox;
  selectedUser_->setObjectName("SelectedUser");
  selectedUser_->setEditable(true);
  loggedOffMode_ = new QRadioButton(withMnemonic(msgText(1314), used_));
  loggedOffMode_->setObjectName("LoggedOffMode");
  l->addWidget(showUserList_);
  l->addWidget(useSelectedUser_);
  l->addWidget(selectedUser_);
  l->addWidget(loggedOffMode_);
  l->addWidget(wrapped(msgText(1315)));
  connect(useSelectedUser_, &QRadioButton::toggled, selectedUser_, &QWidget::setEnabled);
  layout->addWidget(startup);
  layout->addWidget(learner);
  layout->addStretch();
  tabs->addTab(page, withMnemonic(msgText(1306), used_));
}

void TChooseApplications::buildAbout(QTabWidget* tabs) {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* heading = new QLabel(msgText(1287));
  QFont f = heading->font();
  f.setPointSizeF(f.pointSizeF() * 1.4);
  f.setBold(true);
  heading->setFont(f);
  layout->addWidget(heading);
  layout->addWidget(new QLabel(msgText(1324) + " " + QString(kVersion)));
  auto* stats = new QGroupBox(msgText(1321));
  stats->setObjectName("statpanel");
  auto* g = new QVBoxLayout(stats);
  userName_ = new QLabel;
  daysLabel_ = new QLabel;
  hitsLabel_ = new QLabel;
  analysedLabel_ = new QLabel;
  for (QLabel* label : {userName_, daysLabel_, hitsLabel_, analysedLabel_}) g->addWidget(label);
  layout->addWidget(stats);
  layout->addStretch();
  tabs->addTab(page, withMnemonic(msgText(1316), used_));
}

void TChooseApplications::captions() {
  QString used = captionsUsed_;  // the same letters whatever the sliders say
  notifyDifficulties_->setText(
      withMnemonic(msgText(1325).replace("%d", QString::number(pages_->value())), used));
  const int minutes = static_cast<int>(std::lround(breakInterval_->value() / 4.0 * 60.0));
  takeABreak_->setText(withMnemonic(
      msgText(1462) + QString(" %1:%2 h").arg(minutes / 60).arg(minutes % 60, 2, 10, QChar('0')),
      used));
}

void TChooseApplications::fillList(int mode) {
  filling_ = true;
  (mode == 1 ? viewActive_ : viewAll_)->setChecked(true);
  appsList_->clear();
  if (apps_) {
    for (const auto& e : apps_->entries()) {
      if (e->hidden || (mode == 1 && !TSpyedApps::running(*e))) continue;
      auto* item = new QListWidgetItem(toQString(e->description), appsList_);
      item->setData(Qt::UserRole, toQString(e->name));
      item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
      item->setCheckState(e->monitored ? Qt::Checked : Qt::Unchecked);
    }
  }
  filling_ = false;
  if (appsList_->count() > 0 && appsList_->currentRow() < 0) appsList_->setCurrentRow(0);
}

void TChooseApplications::listChanged() {
  if (filling_ || !apps_) return;
  // At once, not on OK: the learner sees the effect even when leaving by "Change learner".
  for (int i = 0; i < appsList_->count(); ++i) {
    const QListWidgetItem* item = appsList_->item(i);
    apps_->updateSpyedState(toCp1252(item->data(Qt::UserRole).toString()),
                            item->checkState() == Qt::Checked);
  }
}

void TChooseApplications::load(const About& about) {
  TUser& u = *user_;
  chooseManually_->setChecked(!u.ReadBool("AutoIncludeMode"));
  const int mode = u.ReadInteger("AppListMode");
  fillList(mode == 1 ? 1 : 2);
  appliedWinUser_->setText(msgText(1326) + " (" + toQString(LoginName()) + ")");
  notifyDifficulties_->setChecked(u.ReadBool("NotifyWhenDifficulties"));
  pages_->setValue(u.ReadInteger("PagesTrackBar.position"));
  takeABreak_->setChecked(u.ReadBool("NotifyWhenBreak"));
  breakInterval_->setValue(u.ReadInteger("BreakTrackBar.position"));
  pages_->setEnabled(notifyDifficulties_->isChecked());
  breakInterval_->setEnabled(takeABreak_->isChecked());
  if (PolicySettings && PolicySettings->ReadBool("DoNotCollectWords"))
    u.WriteBool("DoNotCollectWords", true);
  doNotCollectWords_->setChecked(u.ReadBool("DoNotCollectWords"));
  doNotCollectWords_->setEnabled(
      !(PolicySettings && PolicySettings->ReadBool("DoNotCollectWords")));
  TDynamicSettings* ws = workstationSettings.get();
  const bool launch = ws && ws->ReadBool(accountKey("LaunchAtStartup."));
  launchAtStartup_->setChecked(launch);
  const bool selected = ws && ws->ReadBool(accountKey("UseSelectedUser."));
  const bool loggedOff = ws && ws->ReadBool(accountKey("LoggedOffMode."));
  useSelectedUser_->setChecked(selected);
  loggedOffMode_->setChecked(loggedOff && !selected);
  showUserList_->setChecked(!selected && !loggedOff);
  selectedUser_->clear();
  for (const std::string& name : UserNames(-1)) selectedUser_->addItem(toQString(name));
  selectedUser_->setEditText(ws ? toQString(ws->ReadString(accountKey("SelectedUser."))) : "");
  selectedUser_->setEnabled(selected);
  statusLabel_->setText(msgText(launch ? 1327 : 1328));
  captions();
  userName_->setText(msgText(1322) + " " + toQString(u.UserName()));
  daysLabel_->setText(msgText(1323) + " " +
                      QString::number(u.ReadInteger("SidewatchDays.counter")) + msgText(1273) +
                      " " + toQString(u.ReadString("DateStarted")));
  hitsLabel_->setText(msgText(1318) + " " + QString::number(about.totalHits));
  hitsLabel_->setToolTip("Mouse Clicks: " + QString::number(about.mouseClicks));
  analysedLabel_->setText(msgText(1319) + " " + QString::number(about.monitoredHits));
}

void TChooseApplications::save() {
  TUser& u = *user_;
  u.WriteInteger("AppListMode", viewActive_->isChecked() ? 1 : 2);
  u.WriteBool("AutoIncludeMode", !chooseManually_->isChecked());
  u.WriteBool("DoNotCollectWords", doNotCollectWords_->isChecked());
  u.WriteBool("NotifyWhenDifficulties", notifyDifficulties_->isChecked());
  u.WriteInteger("PagesTrackBar.position", pages_->value());
  u.WriteBool("NotifyWhenBreak", takeABreak_->isChecked());
  u.WriteInteger("BreakTrackBar.position", breakInterval_->value());
  if (apps_) apps_->saveApps(u.AppListPath());
  if (TDynamicSettings* ws = workstationSettings.get()) {
    ws->WriteBool(accountKey("ShowUserList."), showUserList_->isChecked());
    ws->WriteBool(accountKey("UseSelectedUser."), useSelectedUser_->isChecked());
    ws->WriteString(accountKey("SelectedUser."), toCp1252(selectedUser_->currentText()));
    ws->WriteBool(accountKey("LoggedOffMode."), loggedOffMode_->isChecked());
    ws->WriteBool(accountKey("LaunchAtStartup."), launchAtStartup_->isChecked());
  }
}

int TChooseApplications::run(TUser& user, const About& about) {
  user_ = &user;
  apps_ = dynamic_cast<TSpyedApps*>(user.AppList());
  auto* tabs = findChild<QTabWidget*>();
  tabs->setCurrentIndex(0);
  tabs->tabBar()->setFocus();
  load(about);
  const int result = exec();
  user_ = nullptr;
  apps_ = nullptr;
  appsList_->clear();
  return result < 1 ? Ok : result;
}

void TChooseApplications::finish(int result) {
  if (!user_) return;
  save();
  done(result);
}

void TChooseApplications::cancel() {
  if (user_) done(Cancel);
}

void TChooseApplications::reject() {}

}  // namespace ks
