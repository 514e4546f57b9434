#include "engine/ui/timedevent.h"

#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

#include "analysis/analyzer.h"
#include "analysis/keydataext.h"
#include "book/bookwindow.h"
#include "book/uistyle.h"
#include "engine/ui/eventenv.h"
#include "platform/desktop/qtext.h"
#include "store/dynamicsettings.h"
#include "store/langres.h"
#include "text/numbers.h"

namespace ks {
namespace {

QString msg(int id) {
  return toQString(Localize().GetString(id));
}

int intField(const std::string& text) {
  return strToIntDef(text, 0);
}

}  // namespace

TTimedEvent::TTimedEvent(const std::string& line) : TEvent(line) {
  clockTimer_.setInterval(100);
  connect(&clockTimer_, &QTimer::timeout, this, &TTimedEvent::Tick);
}

TTimedEvent::~TTimedEvent() {
  clockTimer_.stop();
}

Measures* TTimedEvent::measures() const {
  Analyzer* a = eventEnvironment().analyzer;
  return a ? &a->measures() : nullptr;
}

void TTimedEvent::readGoals() {
  // Read here, not at construction: goal fields that refer to another exercise are resolved
  // once the event knows its course.
  if (EventLine.size() > 10) {
    AccuracyBonus = intField(Field(10));
    CompletionSpeed = intField(Field(11));
    SpeedFinalGoal = intField(Field(12));
    SpeedStartGoal = intField(Field(13));
    SpeedMidGoal = intField(Field(14));
    ObjectiveIndex = intField(Field(15));
  }
  const EventEnvironment& env = eventEnvironment();
  GoalsActive = false;
  if (env.accuracyGoals.empty() || !env.userSettings || CourseId.empty()) return;
  GoalLevel = env.userSettings->ReadInteger(CourseId + ".GoalLevel");
  const bool anyGoal = CompletionSpeed || SpeedFinalGoal || SpeedStartGoal || SpeedMidGoal;
  if (GoalLevel <= 0 || !anyGoal) return;
  GoalsActive = true;
  NoGoalInterrupt = env.userSettings->ReadBool("DoNotInterruptGoals");
  setTargets();
}

void TTimedEvent::setTargets() {
  const auto& goals = eventEnvironment().accuracyGoals;
  if (goals.empty() || GoalLevel <= 0) return;
  const size_t level = std::min<size_t>(static_cast<size_t>(GoalLevel), goals.size());
  LevelTarget = goals[level - 1];
  GoalAccuracy = std::min(100, LevelTarget + AccuracyBonus);
  TargetMinus3 = LevelTarget - 3;
  TargetMinus7 = LevelTarget - 7;
  NextLevelTarget = level < goals.size() ? goals[level] : 100;
}

int TTimedEvent::Execute(const EventHandover& handover) {
  TimeLimit = handover.TimeLimit;
  if (Measures* m = measures()) m->Timer.Reset();
  lastRemaining_ = -1;
  TEvent::State = esReady;
  clockTimer_.stop();
  return TEvent::Execute(handover);
}

EventGoals TTimedEvent::Goals() const {
  EventGoals g;
  g.Active = GoalsActive;
  g.GoalAccuracy = GoalAccuracy;
  g.NextLevelTarget = NextLevelTarget;
  g.CompletionSpeed = CompletionSpeed;
  g.SpeedFinalGoal = SpeedFinalGoal;
  g.SpeedMidGoal = SpeedMidGoal;
  g.SpeedStartGoal = SpeedStartGoal;
  g.BaseTime = BaseTime;
  return g;
}

void TTimedEvent::Setup() {
  if (DynamicDuration) {
    ExtraTime = eventEnvironment().dynamicDurationMargin * 60;
    BaseTime = TimeLimit;
    TimeLimit = BaseTime + ExtraTime;
  } else {
    BaseTime = TimeLimit;
    ExtraTime = 0;
  }
  readGoals();
  durationCaption_.clear();
  TEvent::Setup();
  EnterCloses = false;
  IdleLimit = 0;
  lastKeyTick_ = clock().tickMs();
  GoalProgress = 0;
  QWidget* page = Content();
  if (!page) return;

  // The console on the right: time, progress and the pause button.
  auto* panel = new QWidget(page);
  panel->setObjectName("EventConsole");
  panel->setGeometry(kConsoleLeft, kConsoleTop, kConsoleWidth, kConsoleHeight);
  panel->setStyleSheet(
      "#EventConsole { background: rgba(53, 79, 177, 28); border-radius: 10px; }"
      "QLabel { color: #28343f; }"
      "QProgressBar { border: 1px solid #aab4dc; border-radius: 5px; background: white; }"
      "QProgressBar::chunk { background: #354fb1; border-radius: 4px; }"
      "QPushButton { background: #354fb1; color: white; border: none; border-radius: 8px;"
      "  font-weight: bold; }"
      "QPushButton:hover { background: #4763c8; }");
  timeCaption_ = new QLabel(msg(TimeLimit ? 130 : 247), panel);
  timeCaption_->setObjectName("TimeLbl");
  timeCaption_->setFont(designFont("Verdana", 9, true));
  timeCaption_->setGeometry(12, 10, 150, 18);
  timeValue_ = new QLabel(panel);
  timeValue_->setObjectName("TimeValue");
  timeValue_->setFont(designFont("Verdana", 22, true));
  timeValue_->setGeometry(12, 30, 150, 36);
  gauge_ = new QProgressBar(panel);
  gauge_->setObjectName("Gauge");
  gauge_->setGeometry(12, 76, 146, 14);
  gauge_->setTextVisible(false);
  gauge_->setRange(0, TimeLimit > 0 ? TimeLimit : 100);
  gauge_->setValue(0);
  pauseBtn_ = new QPushButton(msg(1865), panel);
  pauseBtn_->setObjectName("PauseBtn");
  pauseBtn_->setGeometry(12, 140, 146, 32);
  // Tab and Alt reach it; a click leaves the keys with the text.
  pauseBtn_->setFocusPolicy(Qt::TabFocus);
  pauseBtn_->hide();
  connect(pauseBtn_, &QPushButton::clicked, this, [this] {
    PauseTyping();
    timeCaption_->setText(msg(130) + msg(1693));
  });
  messagePanel_ = new QLabel(page);
  messagePanel_->setObjectName("EventMessagePanel");
  messagePanel_->setGeometry(50, 69, 500, 90);
  messagePanel_->setWordWrap(true);
  messagePanel_->setAlignment(Qt::AlignCenter);
  messagePanel_->setFont(designFont("Verdana", 12, true));
  // Dark ink on the lavender panel: white on it fell well short of a readable contrast.
  messagePanel_->setStyleSheet(
      "background: rgba(161, 145, 255, 235); color: #16162a; border-radius: 12px; padding: 8px;");
  messagePanel_->hide();
  if (GoalsActive) {
    goalBar_ = new QProgressBar(panel);
    goalBar_->setObjectName("GoalProgress");
    goalBar_->setGeometry(12, 104, 146, 14);
    goalBar_->setTextVisible(false);
    goalBar_->setRange(0, 100);
    goalBar_->setStyleSheet("QProgressBar::chunk { background: #2e8b57; border-radius: 4px; }");
    panels_ = new GoalPanels(page);
    panels_->OnLevelChosen = [this](int row) { chooseLevel(row); };
    panels_->OnContinue = [this] { storeNoInterrupt(); };
    panels_->OnResults = [this] {
      storeNoInterrupt();
      SetCloseResult(3);
    };
  }
  showTime(TimeLimit);
}

void TTimedEvent::Show() {
  TEvent::Show();
  if (!GoalsActive || !panels_) return;
  const auto& goals = eventEnvironment().accuracyGoals;
  GoalPanels::Intro intro;
  intro.objective = ObjectiveIndex ? msg(1619 + ObjectiveIndex) : QString("-");
  const QString minutes = ExtraTime > 0 ? QString("%1 - %2").arg(BaseTime / 60).arg(TimeLimit / 60)
                                        : QString::number(TimeLimit / 60);
  intro.duration = DynamicDuration ? msg(1610).replace("%s", minutes) : minutes + " " + msg(1368);
  for (int level = 3; level >= 1; --level) {
    if (level <= static_cast<int>(goals.size()))
      intro.levels << QString("%1% %2").arg(goals[level - 1]).arg(msg(1600 + level));
  }
  intro.selectedRow = std::max(0, static_cast<int>(intro.levels.size()) - GoalLevel);
  panels_->ShowIntro(intro);
}

void TTimedEvent::chooseLevel(int row) {
  const int levels = std::min(3, static_cast<int>(eventEnvironment().accuracyGoals.size()));
  GoalLevel = levels - row;
  if (TDynamicSettings* user = eventEnvironment().userSettings) {
    user->WriteInteger(CourseId + ".GoalLevel", GoalLevel);
    user->WriteString(CourseId + ".Feedback.GoalTipID", "");
    for (const char* key :
         {".Feedback.GoalTipCount", ".Feedback.GoalFailCount", ".Feedback.GoalExceedCount"})
      user->WriteInteger(CourseId + key, 0);
  }
  setTargets();
}

void TTimedEvent::storeNoInterrupt() {
  if (TDynamicSettings* user = eventEnvironment().userSettings)
    user->WriteBool("DoNotInterruptGoals", panels_ && panels_->DoNotInterrupt());
}

void TTimedEvent::showGoalStatus(bool finished) {
  if (!panels_) return;
  const GoalInputs in = CurrentGoalInputs();
  GoalProgress = goalProgress(in);
  if (in.accuracy < GoalAccuracy) {
    panels_->ShowStatus(msg(1873), msg(1874), false, finished, NoGoalInterrupt);
  } else if (in.grossSpeed < CompletionSpeed) {
    panels_->ShowStatus(msg(1869), msg(1872), true, finished, NoGoalInterrupt);
  } else {
    panels_->ShowStatus(msg(1869), msg(1870), true, finished, NoGoalInterrupt);
  }
}

bool TTimedEvent::DismissGoalIntroduction() {
  if (!panels_ || !panels_->IntroVisible()) return false;
  panels_->HideIntro();
  return true;
}

void TTimedEvent::CloseQuery(bool& abort) {
  const bool running = TEvent::State == esRunning;
  if (running) PauseTyping();
  TEvent::CloseQuery(abort);
  if (abort && running) StartTyping();
}

void TTimedEvent::GoalKeyPress(unsigned char& key) {
  if (!GoalsActive || !panels_) return;
  if (panels_->StatusVisible()) {
    if (key == ' ' && TEvent::State != esFinished) {
      panels_->PressContinue();  // the blank goes on to the text
    } else if (key == 13) {
      panels_->PressResults();
      key = 0;
    } else {
      key = 0;
    }
    return;
  }
  if (panels_->IntroVisible()) {
    PauseTyping();
    if (key == ' ' || key == 13) panels_->HideIntro();
    key = 0;
    return;
  }
  if (key != 13 && key != ' ') return;
  GoalProgress = goalProgress(CurrentGoalInputs());
  if (goalBar_) goalBar_->setValue(GoalProgress);
  Measures* m = measures();
  const int remaining = TimeLimit - (m ? m->Timer.Seconds() : 0);
  if (DynamicDuration && !NoGoalInterrupt && remaining > GoalNotifyMargin && GoalProgress == 100) {
    // The goal is reached with time to spare: offer to stop here.
    PauseTyping();
    key = 0;
    NoGoalInterrupt = true;
    if (Result) Result->Complete = true;
    showGoalStatus(false);
  }
}

void TTimedEvent::AddExerciseContext(QWidget* page, int top) {
  const QString context = ExerciseContext();
  if (!page || context.isEmpty()) return;
  // A quiet line above the text: the exercise's own screen keeps the title line free.
  auto* label = new QLabel(page);
  label->setObjectName("ExerciseContext");
  label->setFont(designFont("Verdana", 8.5, true));
  label->setStyleSheet("color: #6a7d52;");
  label->setGeometry(40, top, kConsoleLeft - 40 - 15, 16);
  label->setText(QFontMetrics(label->font()).elidedText(context, Qt::ElideRight, label->width()));
  label->setToolTip(context);
  label->show();
}

void TTimedEvent::ChangeTimeLimit(int seconds, const QString& caption) {
  TimeLimit = seconds;
  durationCaption_ = caption;
  if (gauge_) gauge_->setRange(0, TimeLimit > 0 ? TimeLimit : 100);
  if (timeCaption_) timeCaption_->setText(timeCaption());
  lastRemaining_ = -1;
  showTime(TimeLimit);
}

QString TTimedEvent::timeCaption() const {
  const QString caption = msg(TimeLimit ? 130 : 247);
  return durationCaption_.isEmpty() ? caption : caption + "  " + durationCaption_;
}

unsigned char TTimedEvent::MapKeypadDecimal(unsigned char key) {
  const char c = static_cast<char>(key);
  return static_cast<unsigned char>(CurrentLayout().mapKeypadDecimal(std::string_view(&c, 1)));
}

void TTimedEvent::showTime(int seconds) {
  if (!timeValue_) return;
  if (seconds < 0) seconds = 0;
  timeValue_->setText(QString::asprintf("%2.2d:%2.2d", seconds / 60, seconds % 60));
}

void TTimedEvent::Tick() {
  Measures* m = measures();
  const int typed = m ? m->Timer.Seconds() : 0;
  if (IdleLimit > 0 && TEvent::State == esRunning &&
      (clock().tickMs() - lastKeyTick_) / 1000 >= IdleLimit) {
    if (timeCaption_) timeCaption_->setText(msg(130) + msg(1693));
    PauseTyping();
    return;
  }
  if (TimeLimit > 0) {
    if (gauge_) gauge_->setValue(std::min(typed, TimeLimit));
    const int remaining = TimeLimit - typed;
    if (remaining != lastRemaining_) {
      lastRemaining_ = remaining;
      showTime(remaining);
    }
    if (typed >= TimeLimit && TEvent::State == esRunning) FinishTyping();
  } else {
    showTime(typed);
    ShowProgress(ProgressPercent());
  }
  if (GoalsActive) {
    GoalProgress = goalProgress(CurrentGoalInputs());
    if (goalBar_) goalBar_->setValue(GoalProgress);
  }
}

GoalInputs TTimedEvent::CurrentGoalInputs() const {
  GoalInputs in;
  if (Measures* m = measures()) {
    const int f =
        Result && Result->ErrorFactor > 0 ? Result->ErrorFactor : lessonOptions().wordLength;
    in.accuracy = m->Efficiency.Accuracy(f);
    in.grossSpeed = m->Efficiency.GrossSpeed();
    in.typingTime = m->Timer.Seconds();
  }
  in.timeLimit = TimeLimit;
  in.baseTime = BaseTime;
  in.notifyMargin = GoalNotifyMargin;
  in.goalAccuracy = GoalAccuracy;
  in.speedStartGoal = SpeedStartGoal;
  in.speedMidGoal = SpeedMidGoal;
  in.speedFinalGoal = SpeedFinalGoal;
  in.completionSpeed = CompletionSpeed;
  return in;
}

void TTimedEvent::ShowProgress(int percent) {
  if (TimeLimit > 0 || !gauge_) return;
  gauge_->setValue(std::clamp(percent, 0, 100));
  if (timeCaption_) timeCaption_->setText(msg(247) + QString("  %1 %").arg(percent));
}

void TTimedEvent::StartTyping() {
  const bool exam = EventType == "TEST" || EventType == "FINALTEST" || EventType == "EXAM" ||
                    EventType == "EXAM2";
  if (pauseBtn_) pauseBtn_->setVisible(TimeLimit > 0 && !exam);
  if (timeCaption_) timeCaption_->setText(timeCaption());
  if (Measures* m = measures()) m->Timer.StartOrResume();
  clockTimer_.start();
  if (messagePanel_) messagePanel_->hide();
  lastKeyTick_ = clock().tickMs();
  TEvent::State = esRunning;
}

void TTimedEvent::PauseTyping() {
  if (pauseBtn_) pauseBtn_->hide();
  if (Measures* m = measures()) PauseMeasures(*m);
  clockTimer_.stop();
  TEvent::State = esPaused;
}

void TTimedEvent::ShowFinishMessage(const QString& line1, const QString& line2) {
  if (!messagePanel_) return;
  messagePanel_->setText(line1 + "\n" + line2);
  messagePanel_->show();
  messagePanel_->raise();
}

void TTimedEvent::FinishTyping() {
  if (pauseBtn_) pauseBtn_->hide();
  if (GoalsActive && panels_) {
    if (!panels_->StatusVisible()) showGoalStatus(true);
  } else {
    ShowFinishMessage(msg(127), msg(128));
  }
  sound().play(SoundId::TheEnd);
  clockTimer_.stop();
  if (Measures* m = measures()) m->Timer.Pause();
  EnterCloses = true;
  finishTick_ = clock().tickMs();
  if (Result) Result->Complete = true;
  TEvent::State = esFinished;
}

void TTimedEvent::Hide() {
  if (messagePanel_) messagePanel_->hide();
  clockTimer_.stop();
  TEvent::Hide();
  timeCaption_ = timeValue_ = messagePanel_ = nullptr;
  gauge_ = goalBar_ = nullptr;
  panels_ = nullptr;
  pauseBtn_ = nullptr;
  if (Result) {
    Result->Kind = "TIME";
    Measures* m = measures();
    Result->TypingSeconds = m ? m->Timer.Seconds() : 0;
    Result->TimeLimit = TimeLimit;
  }
}

}  // namespace ks
