#include "engine/ui/goalpanels.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "book/uistyle.h"
#include "platform/desktop/qtext.h"
#include "store/langres.h"

namespace ks {
namespace {

QString msg(int id) {
  return toQString(Localize().GetString(id));
}

const char* kStyle =
    "QFrame#GoalIntro, QFrame#GoalStatus { background: white; border: 2px solid #a191ff;"
    "  border-radius: 14px; }"
    "QLabel { color: #28343f; }"
    "QListWidget { border: 1px solid #c9c0ff; border-radius: 6px; font-size: 14px; }"
    "QListWidget { padding: 4px; }"
    "QListWidget::item { padding: 5px 6px; border-radius: 4px; }"
    "QListWidget::item:hover { background: #efecff; }"
    "QListWidget::item:selected { background: #ceC6ff; color: black; }"
    "QPushButton { background: #354fb1; color: white; border: none; border-radius: 8px;"
    "  padding: 7px 18px; font-weight: bold; }"
    "QPushButton:focus { border: 3px solid #ffd840; padding: 4px 15px; }";

QFrame* frame(const char* name, QWidget* page) {
  auto* f = new QFrame(page);
  f->setObjectName(name);
  f->setStyleSheet(kStyle);
  f->hide();
  return f;
}

QLabel* heading(const QString& text, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setFont(designFont("Verdana", 14, true));
  l->setWordWrap(true);
  return l;
}

}  // namespace

GoalPanels::GoalPanels(QWidget* page) : QObject(page) {
  intro_ = frame("GoalIntro", page);
  intro_->setGeometry(55, 37, 480, 330);
  auto* il = new QVBoxLayout(intro_);
  il->setContentsMargins(24, 18, 24, 18);
  il->addWidget(heading(msg(1789), intro_));
  auto* objTitle = new QLabel(msg(1607), intro_);
  objTitle->setFont(designFont("Verdana", 9, true));
  il->addWidget(objTitle);
  objective_ = new QLabel(intro_);
  objective_->setWordWrap(true);
  objective_->setFont(designFont("Verdana", 11));
  il->addWidget(objective_);
  duration_ = new QLabel(intro_);
  duration_->setFont(designFont("Verdana", 10));
  il->addWidget(duration_);
  levels_ = new QListWidget(intro_);
  levels_->setObjectName("AccuracyGoalList");
  levels_->setAccessibleName(msg(1789));
  levels_->setFocusPolicy(Qt::TabFocus);
  il->addWidget(levels_, 1);
  auto* begin = new QPushButton(msg(1787), intro_);
  begin->setObjectName("BeginBtn");
  begin->setFocusPolicy(Qt::TabFocus);
  auto* ib = new QHBoxLayout;
  ib->addStretch();
  ib->addWidget(begin);
  il->addLayout(ib);
  connect(begin, &QPushButton::clicked, this, [this] { HideIntro(); });
  connect(levels_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (OnLevelChosen && row >= 0) OnLevelChosen(row);
  });

  status_ = frame("GoalStatus", page);
  status_->setGeometry(37, 55, 500, 260);
  auto* sl = new QVBoxLayout(status_);
  sl->setContentsMargins(24, 18, 24, 18);
  statusTitle_ = heading(QString(), status_);
  sl->addWidget(statusTitle_);
  statusText_ = new QLabel(status_);
  statusText_->setWordWrap(true);
  statusText_->setFont(designFont("Verdana", 11));
  sl->addWidget(statusText_, 1);
  noInterrupt_ = new QCheckBox(msg(1878), status_);
  noInterrupt_->setObjectName("DoNotInterruptGoals");
  noInterrupt_->setFocusPolicy(Qt::TabFocus);
  sl->addWidget(noInterrupt_);
  auto* sb = new QHBoxLayout;
  continueBtn_ = new QPushButton(msg(1876), status_);
  continueBtn_->setObjectName("ContinueBtn");
  continueBtn_->setFocusPolicy(Qt::TabFocus);
  resultsBtn_ = new QPushButton(msg(1885), status_);
  resultsBtn_->setObjectName("ResultsBtn");
  resultsBtn_->setFocusPolicy(Qt::TabFocus);
  sb->addWidget(continueBtn_);
  sb->addStretch();
  sb->addWidget(resultsBtn_);
  sl->addLayout(sb);
  connect(continueBtn_, &QPushButton::clicked, this, [this] { PressContinue(); });
  connect(resultsBtn_, &QPushButton::clicked, this, [this] { PressResults(); });
}

void GoalPanels::ShowIntro(const Intro& intro) {
  objective_->setText(intro.objective);
  duration_->setText(msg(1609) + ": " + intro.duration);
  levels_->blockSignals(true);
  levels_->clear();
  levels_->addItems(intro.levels);
  levels_->setCurrentRow(intro.selectedRow);
  levels_->blockSignals(false);
  intro_->show();
  intro_->raise();
}

void GoalPanels::HideIntro() {
  intro_->hide();
}
bool GoalPanels::IntroVisible() const {
  return intro_->isVisible();
}

void GoalPanels::ShowStatus(const QString& title, const QString& text, bool reached, bool finished,
                            bool doNotInterrupt) {
  statusTitle_->setText((reached ? QString::fromUtf8("\u2714 ") : QString()) + title);
  statusText_->setText(text);
  noInterrupt_->setChecked(doNotInterrupt);
  continueBtn_->setVisible(!finished);
  status_->show();
  status_->raise();
}

void GoalPanels::HideStatus() {
  status_->hide();
}
bool GoalPanels::StatusVisible() const {
  return status_->isVisible();
}
bool GoalPanels::DoNotInterrupt() const {
  return noInterrupt_->isChecked();
}

void GoalPanels::PressContinue() {
  HideStatus();
  if (OnContinue) OnContinue();
}

void GoalPanels::PressResults() {
  HideStatus();
  if (OnResults) OnResults();
}

}  // namespace ks
