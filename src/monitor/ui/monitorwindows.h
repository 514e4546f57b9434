// The monitor's two small dialogs: the login window that picks the learner whose typing is
// followed (no passwords: the monitor only counts), and the close question.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace ks {

class TUser;

class TLogForm : public QDialog {
  Q_OBJECT

 public:
  explicit TLogForm(QWidget* parent = nullptr);
  ~TLogForm() override;

  // `firstStart`: the monitor starts without a learner; the window then explains itself and
  // offers not to ask again. Returns whether a learner was chosen and opened with `open`; one
  // that cannot be opened is said, and the window stays.
  // Opens (or creates) a learner; raises with the text to show when it cannot.
  using UserOpener = std::function<std::unique_ptr<TUser>(const std::string& name)>;
  bool run(bool firstStart, const std::string& defaultName, UserOpener open);
  std::string chosenName() const { return chosen_; }
  std::unique_ptr<TUser> takeUser();
  bool dontShowAgain() const;
  int mode() const { return mode_; }

 protected:
  void reject() override;  // Escape: back to the list in mode 2, else cancel

 private:
  void setMode(int mode);
  void go();

  int mode_ = 1;
  std::string chosen_;
  std::unique_ptr<TUser> user_;
  UserOpener open_;
  std::string defaultName_;
  bool firstStart_ = false;
  QString fixedUsed_;
  QLabel *info_, *product_;
  QComboBox* name_;
  QPushButton *go_, *newUser_, *back_, *cancel_;
  QCheckBox* dontShowAgain_;
};

// "Close Tapwatch?" with the choice to start it at login.
class TCloseDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TCloseDlg(QWidget* parent = nullptr);
  // 1 Yes, 2 No. `permanent`: the box's state in and out; nullptr leaves it disabled.
  int run(bool* permanent);

 private:
  QCheckBox* permanent_;
};

}  // namespace ks
