// The course choice: the recommended course first, the other courses of the learner's language
// in a list, a second course, the monitor, and the language of the program.
#pragma once

#include <QPointer>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "book/formview.h"
#include "content/courseviewmodel.h"

class QComboBox;
class QLabel;

namespace ks {

class StudyLearner;

class TCourseListView : public TCustomBookView {
  Q_OBJECT

 public:
  // What the list knows of a course file.
  struct Summary {
    std::string File;
    std::string Id;
    std::string Description;
    std::string LongDescription;
    std::string Language;
    std::string Keyboard;  // "keyboard=": the layout file it is written for, or ALL
    int Percent = 0;
    int Lessons = 0;
    std::string Length;
    bool Readable = false;
  };

  TCourseListView(StudyLearner* learner, std::filesystem::path lessonsFolder);
  ~TCourseListView() override;

  void Setup() override;

  // The course chosen with a start button (written to "ContentsFile" when closed with 1).
  std::string ChosenFile;
  // No course file exists at all: the program cannot go on.
  bool NoCourses() const { return noCourses_; }
  const CourseChoices& Choices() const { return choices_; }
  const Summary& SummaryOf(const std::string& file);
  // The course's language, without reading the whole course when it has no summary yet.
  std::string LanguageOf(const std::string& file) const;

  // The start buttons and the monitor step as the page's buttons do them.
  void StartDefault();
  void StartChosen();
  void StartSecondary();
  void OpenMonitor();
  void ChooseLanguage(int index);

 protected:
  // Enter starts the recommended course (the chosen one when there is none).
  bool ShortCut(QKeyEvent* event) override;

 private:
  void build();
  QWidget* courseCard(QWidget* page, int top, int height, const QString& step, const QString& title,
                      const std::string& file, const QString& startName);
  std::pair<QLabel*, QLabel*> summaryLabels(QWidget* card, int top, const QString& suffix);
  void showSummary(QLabel* desc, QLabel* figures, const std::string& file);
  // Where the learner's earlier progress went when the learner file was found damaged: the
  // line that stands for "not started yet"; empty when nothing was damaged.
  QString damagedCopy() const;
  void closed();

  StudyLearner* learner_;
  std::filesystem::path lessonsFolder_;
  std::vector<std::string> files_;
  std::map<std::string, Summary> summaries_;
  CourseChoices choices_;
  bool noCourses_ = false;
  QPointer<QComboBox> combo_;
  QPointer<QLabel> comboDesc_, comboSummary_;
};

}  // namespace ks
