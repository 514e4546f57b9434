// The statistics page: the learner's started courses with their completion, per-exercise speed
// and accuracy of the chosen course, the most difficult keys, the progress report and the
// export of the results.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <filesystem>
#include <vector>

#include "book/formview.h"
#include "reports/reportdata.h"
#include "reports/ui/tgraph.h"

namespace ks {

class TUser;

class TStatisticsView : public TCustomBookView {
  Q_OBJECT

 public:
  static constexpr int kPages = 3;  // typing speed, accuracy, courses

  TStatisticsView(TUser& user, std::filesystem::path lessonsFolder);
  ~TStatisticsView() override;

  void Setup() override;
  const std::vector<CourseProgress>& Courses() const { return courses_; }
  // Builds the four graphs of course `index` (of Courses()).
  void ChooseCourse(int index);
  void ShowPage(int page);
  int Page() const { return page_; }
  TGraph* Graph(int which) const { return graphs_[which]; }  // gross, net, accuracy, keys

  // Asks for a file and writes the results there.
  void ExportResults();
  // Shows the progress report.
  void Report();

 protected:
  bool KeyDown(QKeyEvent* event) override;

 private:
  void buildCourseList(QWidget* page);
  QWidget* buildInfoPage();

  TUser& user_;
  std::filesystem::path lessons_;
  std::vector<CourseProgress> courses_;
  int course_ = -1;
  int page_ = 0;
  QPointer<QStackedWidget> pages_;
  QPointer<QPushButton> tabs_[kPages];
  QPointer<TGraph> graphs_[4];
  QPointer<QLabel> captions_[4];
  QPointer<QLabel> empty_[2];
  QPointer<QComboBox> courseBox_;
  QPointer<QLabel> completeLbl_, exportLbl_;
  QPointer<QPushButton> reportBtn_, exportBtn_;
};

}  // namespace ks
