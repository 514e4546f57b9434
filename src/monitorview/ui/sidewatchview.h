// The monitor page of the tutor: what the monitor found in the learner's everyday typing, the
// practice built from it, the learner's difficult words, and starting or stopping the monitor.
// Pages: Training, Analysis, and the statistics by week, month and year.
#pragma once

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <array>
#include <string>

#include "book/formview.h"
#include "monitorview/sidewatchfigures.h"
#include "reports/ui/tgraph.h"

namespace ks {

class Analyzer;
class TUser;

class TSidewatchView : public TCustomBookView {
  Q_OBJECT

 public:
  enum Result { Leave = 0, Back = 1, Settings = 3, Practice = 4, Again = 5, Wizard = 6 };
  enum Page { Training = 0, Analysis = 1, Week = 2, Year = 3, Month = 4 };

  // `analyzer` enters the words the learner adds; may be null.
  TSidewatchView(TUser& user, Analyzer* analyzer);
  ~TSidewatchView() override;

  void Setup() override;
  void Hide() override;
  void ShowPage(int page);
  int CurrentPage() const { return page_; }
  // Refreshes the monitor's state, the figures and the word list.
  void Refresh();

  // Practice: 1 customised, 2 words, 3 keys; the duration in minutes and the practice texts.
  int Mode = 1;
  int Duration = 10;
  std::string KeyText, WordText;
  bool StartOnStatistics = false;
  // Whether this run of the tutor has said that the monitor follows another learner.
  static inline bool SelectedUserNoticeShown = false;

  const TSidewatchFigures& Figures() const { return figures_; }
  TGraph* Graph(TSidewatchFigures::Graph g) const { return graphs_[g]; }
  QListWidget* WordList() const { return wordList_; }

  // The word list's buttons.
  void AddWords();
  void EditWord();
  void HideWords();
  // The remove/start button.
  void ToggleMonitor();

 protected:
  bool ShortCut(QKeyEvent* event) override;
  bool KeyDown(QKeyEvent* event) override;

 private:
  QWidget* buildTraining();
  QWidget* buildAnalysis();
  QWidget* buildStatistics(int page);
  void buildPractice(QWidget* page);
  void buildMonitorPanel(QWidget* parent);
  void fillWords();
  void refreshMonitorState();
  void takePractice();
  void chooseMode(int mode);

  TUser& user_;
  Analyzer* analyzer_;
  TSidewatchFigures figures_;
  int page_ = Training;
  QPointer<QStackedWidget> pages_;
  std::array<QPointer<QPushButton>, 3> tabs_;
  QPointer<QComboBox> period_;
  std::array<QPointer<TGraph>, TSidewatchFigures::GraphCount> graphs_;
  std::array<QPointer<QLabel>, 4> indexValues_;
  std::array<QPointer<QWidget>, 4> gauges_;
  QPointer<QLabel> comment_, comment2_, statusSign_;
  std::array<QPointer<QLabel>, 3> summaries_;
  std::array<QPointer<QLabel>, 13> figureLabels_;
  QPointer<QButtonGroup> modes_;
  QPointer<QComboBox> durationBox_;
  QPointer<QLineEdit> keyBox_, wordBox_;
  QPointer<QListWidget> wordList_;
  QPointer<QLabel> wordWarning_;
  QPointer<QWidget> monitorPanel_;
  QPointer<QLabel> stateLbl_, launchLbl_, userLbl_;
  QPointer<QPushButton> toggleBtn_, settingsBtn_;
};

// Opens the monitor's settings for `user`; false when this tutor cannot show them.
bool ShowMonitorSettings(TUser& user);
bool MonitorSettingsAvailable();

}  // namespace ks
