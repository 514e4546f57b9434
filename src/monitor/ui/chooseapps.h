// The monitor's settings, shown by both programs: which programs are watched, the practice and
// break notifications, and how the monitor picks a learner on this computer account. Switches
// in the program list take effect at once; the rest is saved by OK and by "Change learner".
#pragma once

#include <QDialog>
#include <cstdint>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QRadioButton;
class QSlider;
class QTabWidget;

namespace ks {

class TUser;
class TSpyedApps;

class TChooseApplications : public QDialog {
  Q_OBJECT

 public:
  enum Result { Ok = 1, Cancel = 2, Logoff = 3 };
  struct About {
    int64_t totalHits = 0, monitoredHits = 0, mouseClicks = 0;
  };

  // `inMonitor`: the monitor never collects words, so it hides that choice.
  explicit TChooseApplications(bool inMonitor, QWidget* parent = nullptr);

  // Loads the learner's settings and shows the dialog modally: Ok, Logoff or Cancel (only
  // through cancel()).
  int run(TUser& user, const About& about);
  // Closes the dialog as if cancelled (the tutor took the learner).
  void cancel();
  bool showing() const { return user_ != nullptr; }

  // For tests: the list as shown.
  QListWidget* appsList() const { return appsList_; }

 protected:
  void reject() override;  // Escape and the window's close do not leave it

 private:
  void buildPersonal(QTabWidget* tabs);
  void buildApplications(QTabWidget* tabs);
  void buildCommon(QTabWidget* tabs);
  void buildAbout(QTabWidget* tabs);
  void load(const About& about);
  void save();
  void fillList(int mode);
  void listChanged();
  void captions();
  void finish(int result);

  bool inMonitor_;
  TUser* user_ = nullptr;
  TSpyedApps* apps_ = nullptr;
  bool filling_ = false;
  QString used_;          // mnemonic letters taken
  QString captionsUsed_;  // those taken before the two changing captions
  QCheckBox *notifyDifficulties_, *takeABreak_, *doNotCollectWords_, *chooseManually_;
  QSlider *pages_, *breakInterval_;
  QRadioButton *viewActive_, *viewAll_;
  QListWidget* appsList_;
  QLabel* detail_;
  QCheckBox* launchAtStartup_;
  QRadioButton *showUserList_, *useSelectedUser_, *loggedOffMode_;
  QComboBox* selectedUser_;
  QLabel *appliedWinUser_, *statusLabel_;
  QLabel *userName_, *daysLabel_, *hitsLabel_, *analysedLabel_;
};

}  // namespace ks
