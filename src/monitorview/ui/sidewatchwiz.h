// The first-use wizard of the monitor: what the monitor does, how it starts for this account,
// the learner's notifications and whether typed words are kept. Changes are written as they
// are made; completing it sets the account up and starts the monitor.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPointer>

#include "book/formview.h"
#include "monitorview/sidewatchsetup.h"

namespace ks {

class TUser;

class TSidewatchWizView : public TCustomBookView {
  Q_OBJECT

 public:
  explicit TSidewatchWizView(TUser& user);
  void Setup() override;

  void Hide() override;

  // The choices as the wizard closed.
  int UserOption = SidewatchSetup::NoAutoStart;
  int BreakEntry = 3;
  bool NoWords = false;
  bool WordsForcedOff = false;
  bool SecurityEnabled = true;
  bool LaunchNow = true;

 private:
  void showUserOption(int option);

  TUser& user_;
  SidewatchSetup setup_;
  QPointer<QComboBox> userOption_, breakList_;
  QPointer<QLabel> actionLbl_;
  QPointer<QCheckBox> training_, breaks_, security_, launchNow_;
};

// After the wizard: the monitor runs from now on.
class TSidewatchLaunchedView : public TCustomBookView {
  Q_OBJECT

 public:
  TSidewatchLaunchedView();
  void Setup() override;
};

class TSidewatchWiz {
 public:
  explicit TSidewatchWiz(TUser& user) : user_(user) {}
  // 1 when the learner completed the wizard.
  int Run();

 private:
  TUser& user_;
};

}  // namespace ks
