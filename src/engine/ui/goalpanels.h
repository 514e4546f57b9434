// The goal panels of a timed event with accuracy goals: the introduction before the learner
// starts (objective, duration, the goal level to aim for) and the status when the goal is reached
// or the time is up.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QCheckBox;
class QFrame;
class QLabel;
class QListWidget;
class QPushButton;
class QWidget;

namespace ks {

class GoalPanels : public QObject {
  Q_OBJECT

 public:
  struct Intro {
    QString objective;
    QString duration;
    QStringList levels;  // top to bottom: highest level first
    int selectedRow = 0;
  };

  explicit GoalPanels(QWidget* page);

  void ShowIntro(const Intro& intro);
  void HideIntro();
  bool IntroVisible() const;
  // `reached`: the goal was met; `fast`: the speed reached the completion speed too.
  void ShowStatus(const QString& title, const QString& text, bool reached, bool finished,
                  bool doNotInterrupt);
  void HideStatus();
  bool StatusVisible() const;
  bool DoNotInterrupt() const;
  void PressContinue();
  void PressResults();

  std::function<void(int row)> OnLevelChosen;
  std::function<void()> OnContinue;  // the learner goes on typing
  std::function<void()> OnResults;   // the learner wants the results now

 private:
  QFrame* intro_;
  QLabel* objective_;
  QLabel* duration_;
  QListWidget* levels_;
  QFrame* status_;
  QLabel* statusTitle_;
  QLabel* statusText_;
  QCheckBox* noInterrupt_;
  QPushButton* continueBtn_;
  QPushButton* resultsBtn_;
};

}  // namespace ks
