// The lesson page between exercises: the lesson's exercise list with its way on, the course's
// progress and the ways to other lessons; and its review variant with the difficult-key
// figures before and now.
#pragma once

#include <QPointer>
#include <vector>

#include "book/formview.h"
#include "content/courseloop.h"
#include "content/ui/exerciselist.h"

class QLabel;
class QPushButton;

namespace ks {

class StudyLearner;

class TCustomContentsView : public TCustomBookView {
  Q_OBJECT

 public:
  TCustomContentsView(const ExerciseListRequest& request, StudyLearner* learner);
  ~TCustomContentsView() override;

  void Setup() override;
  void Hide() override;

  // The exercise selected when the view opens, and the one chosen when it closes.
  int Chosen = 0;
  TExerciseList* List() const { return list_; }
  QPushButton* Button(const QString& name) const;

 protected:
  bool KeyDown(QKeyEvent* event) override;
  void ButtonClick(QObject* sender) override;
  // The page's own parts around the list.
  virtual void BuildPage(QWidget* page) = 0;
  // A button of the page that closes with `answer`.
  QPushButton* answerButton(QWidget* parent, const QString& name, const QString& text, int answer);
  void buildList(QWidget* card, int top);
  void buildLessonNavigation(QWidget* page, const QRect& area);
  void chooseLesson(int lesson);
  // Beneath the list: the selected exercise's notes, or why it is locked.
  void showNotes(int row);

  ExerciseListRequest req_;
  StudyLearner* learner_;
  QPointer<TExerciseList> list_;
  QPointer<QLabel> notes_;
  std::vector<QPointer<QPushButton>> buttons_;

 private:
  QString savedNextCaption_;
  bool captionSet_ = false;
};

class TChpContentsView : public TCustomContentsView {
  Q_OBJECT

 public:
  using TCustomContentsView::TCustomContentsView;

  int ProgressPercent() const { return progress_; }
  int LeftMinutes() const { return left_; }

 protected:
  void BuildPage(QWidget* page) override;

 private:
  int progress_ = 0;
  int left_ = 0;
};

class TReviewContentsView : public TCustomContentsView {
  Q_OBJECT

 public:
  using TCustomContentsView::TCustomContentsView;

 protected:
  void BuildPage(QWidget* page) override;
};

}  // namespace ks
