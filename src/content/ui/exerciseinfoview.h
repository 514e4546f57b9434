// The exercise result page: the four measures, the verdict against the exercise's goals with
// comments and tips, the most difficult keys with the offer to review them, and, after a typing
// test, the touch-typing calculator. The review builder's own small result page compares the
// practised keys before and after.
#pragma once

#include <QPointer>
#include <array>
#include <functional>
#include <string>

#include "book/formview.h"
#include "content/resultjudge.h"

class QComboBox;
class QLabel;
class QStackedWidget;

namespace ks {

class StudyLearner;
class TDifficultKeys;

class TExercInfoView : public TCustomResultView {
  Q_OBJECT

 public:
  explicit TExercInfoView(StudyLearner* learner);
  ~TExercInfoView() override;

  void Setup() override;

  // Set before each run.
  TResultItem* Item = nullptr;
  int KeyLevel = 0;
  bool GoalMode = false;
  EventGoals Goals;
  bool DynamicDuration = false;

  const ExercInfoModel& Model() const { return model_; }
  // Recomputes the calculator for entry `entry` of the typing-time list.
  void RunCalculator(int entry);

  // What the print buttons of a typing test's result do: the certificate, or the detailed
  // report. The reports install it; without it the buttons stay hidden.
  using PrintFn =
      std::function<void(StudyLearner& learner, const TResultItem& test, bool certificate)>;
  static PrintFn& PrintReport();

 protected:
  void ResultButtonClick(QObject* sender) override;

 private:
  void buildStatus(QWidget* page);
  void buildMeasures(QWidget* page);
  void buildCommentPages(QWidget* page);
  void buildCommentArea(QWidget* page);
  void buildPrintButtons(QWidget* page);
  void chooseReview(const std::string& keys);

  StudyLearner* learner_;
  ExercInfoModel model_;
  QPointer<QStackedWidget> commentPages_;
  QPointer<QLabel> calcTitle_, calcLine_, savedLines_;
  QPointer<QComboBox> typingTimeList_;
};

class TWizResultView : public TCustomResultView {
  Q_OBJECT

 public:
  static constexpr int kKeys = 8;

  // The practised keys (the first eight; blanks fill the rest) and their difficulty now.
  void RecordBefore(const std::string& keys, const TDifficultKeys& difficulties);
  // Their difficulty after the exercise.
  void RecordAfter(const TDifficultKeys& difficulties);
  void Setup() override;

  std::array<char, kKeys> Keys{};
  std::array<float, kKeys> Before{};
  std::array<float, kKeys> After{};
  TResultItem* Item = nullptr;
};

}  // namespace ks
