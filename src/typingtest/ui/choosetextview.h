// The choice of a typing test: the text and the duration, the learner's own texts added and
// deleted, and the tests completed so far with their figures, certificate and detailed report.
#pragma once

#include <QPointer>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "book/formview.h"
#include "store/resultitem.h"
#include "typingtest/testtexts.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace ks {

class TDynamicSettings;

// What the certificate and result buttons do. The reports install it; until then (or when the
// policy forbids both printing and PDF) the buttons stay disabled.
struct TestReports {
  std::function<void(const TResultItem&)> Diploma;
  std::function<void(const TResultItem&)> Details;
};
void setTestReports(TestReports reports);

class TChooseTextView : public TCustomBookView {
  Q_OBJECT

 public:
  // `user`: the learner's settings ("StoryFile", "StoryTime", "PreferredTest"); `tests`: the
  // learner's completed tests, newest first.
  TChooseTextView(TDynamicSettings* user, std::vector<TResultItem> tests,
                  std::filesystem::path folder);
  ~TChooseTextView() override;

  void Setup() override;
  void Show() override;
  void Hide() override;

  // Asks for a text file to add; empty when none was chosen. The system's file dialog unless
  // replaced.
  std::function<std::filesystem::path()> ChooseFile;
  std::string UserName;  // who added a text, for its source note

  // The text and minutes chosen when closed with 1.
  std::string ChosenBase;
  int ChosenMinutes = 0;
  const TestTextList& Texts() const { return texts_; }

  void SelectText(int row);
  void SelectResult(int row);
  void AddText();
  void DeleteText();
  void StartTest();

 protected:
  bool ShortCut(QKeyEvent* event) override;

 private:
  void build();
  void fillTexts(const std::string& select);

  TDynamicSettings* user_;
  std::vector<TResultItem> tests_;
  std::filesystem::path folder_;
  TestTextList texts_;
  QPointer<QListWidget> textList_, resultList_;
  QPointer<QComboBox> timeCombo_;
  QPointer<QLabel> copyright_, duration_, gross_, accuracy_, net_;
  QPointer<QPushButton> ok_, add_, delete_, diploma_, result_;
};

}  // namespace ks
