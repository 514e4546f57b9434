// The course's contents page: its lessons (a click starts that lesson), the study time per
// lesson with the course length it leads to, and the start of the course at the bookmark.
#pragma once

#include <QPointer>
#include <filesystem>
#include <memory>
#include <string>

#include "book/formview.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace ks {

class StudyLearner;
class TContents;

class TCourseContentsView : public TCustomBookView {
  Q_OBJECT

 public:
  TCourseContentsView(StudyLearner* learner, std::filesystem::path lessonsFolder);
  ~TCourseContentsView() override;

  void Setup() override;
  void Hide() override;

  // The course shown (null when it could not be read).
  TContents* Course() const { return course_.get(); }
  // The study time the view started from ("<id>.StudyingTime", else the course's default).
  int StudyTime() const { return studyTime_; }
  QString LengthText() const;

  // Choices as the controls make them: a position in the lesson lengths (1-based), the
  // optimised durations, or minutes per lesson of a dynamic course (0: no limit).
  void ChooseStaticEntry(int position);
  void ChooseOptimal();
  void ChooseDynamicMinutes(int minutes);
  // A lesson of the course; refused (false) for a lesson ahead when the lesson lock holds.
  bool ChooseLesson(int lesson);

 private:
  void closed();
  void updateLength();
  void buildDurations(QWidget* card);

  StudyLearner* learner_;
  std::filesystem::path lessonsFolder_;
  std::unique_ptr<TContents> course_;
  int studyTime_ = 0;
  int savedDuration_ = 0;
  bool timeLocked_ = false;
  bool chosen_ = false;  // the learner has chosen a study time on this page
  QPointer<QLabel> lengthLbl_;
  QPointer<QListWidget> durationList_;
  QPointer<QRadioButton> optimalBtn_;
  QPointer<QComboBox> durationCombo_;
  QPointer<QPushButton> startBtn_;
};

}  // namespace ks
