// The login view: the learner picks or types a name (and a group and password when the
// installation asks for them) or registers as a new learner. It closes with 1 only when a
// learner has been opened or created.
#pragma once

#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "book/formview.h"
#include "store/user.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;

namespace ks {

// The name as typed, tidied: single blanks, at most 50 characters, and, unless it already
// starts with a capital (and is not all capitals), each word capitalised after a blank or "-"
// where `capitals` (the language's letters that have a capital, in lower case) lists it.
std::string NormaliseLoginName(const std::string& name, const std::string& capitals);

class TLoginView : public TCustomBookView {
  Q_OBJECT

 public:
  TLoginView();
  ~TLoginView() override;

  void Setup() override;
  void Hide() override;

  std::string PreselectedName;
  int Mode = 1;  // 1 login, 2 new learner, 3 password for a learner who has none yet
  std::unique_ptr<TUser> TakeUser() { return std::move(user_); }

 protected:
  bool ShortCut(QKeyEvent* event) override;

 private:
  void setMode(int mode);
  void fillNames();
  // Marks the listed learner whose name is typed (case aside), or none.
  void markName(const QString& name);
  void check(bool& abort);
  bool checkLogin();
  bool checkNewUser();
  bool checkPassword();
  void warn(const std::string& text);
  // Tells the learner that the group's list of learners could not be written (`failure` empty:
  // nothing to tell); the learner's own file is saved all the same.
  void reportIndexFailure(const std::string& failure);
  std::string enteredName() const;

  bool selfGrouping_ = false, requirePasswords_ = false, noUserList_ = false;
  bool noNewUsers_ = false, groupChoice_ = false;
  std::vector<std::string> groupIds_;
  int newGroup_ = 0;
  std::unique_ptr<TUser> user_;

  QPointer<QLabel> welcome_, newUserLbl_, newNameLbl_;
  QPointer<QWidget> loginPage_, newPage_;
  QPointer<QComboBox> groupList_, newGroupCombo_;
  QPointer<QListWidget> nameList_;
  QPointer<QLineEdit> nameEdit_, passwordEdit_, newNameEdit_, newPasswordEdit_, newPasswordEdit2_;
  QPointer<QPushButton> enterBtn_, enterBtn2_, newUserBtn_, backBtn_;
};

}  // namespace ks
