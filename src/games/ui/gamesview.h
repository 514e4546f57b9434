// The "Games" tab: the games menu, on which the learner picks one of the four games with its
// keys or word list and starts it. A game runs through an event loader exactly as a course line
// would; when it ends the menu is shown again.
#pragma once

#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "book/formview.h"

class QComboBox;
class QPushButton;

namespace ks {

class TPartHost;
class TUser;
class UserLearner;

class TGamesView : public TCustomBookView {
  Q_OBJECT

 public:
  // Close results of the four Start buttons.
  static constexpr int kBubbles = 3, kWordtris = 4, kClouds = 5, kAbc = 6;

  TGamesView();
  void Setup() override;

  bool StudiedKeysOffered = true;
  // The answers.
  std::string WordtrisFile;  // a list's title in lower case, or "-stud-"
  std::string CloudsFile;
  int BubblesChoice = 1;  // from 1
  int AbcChoice = 0;      // from 0

 protected:
  void ButtonClick(QObject* sender) override;
  // Enter on a list starts the game beside it; on a button, that button.
  bool ShortCut(QKeyEvent* event) override;

 private:
  QPointer<QComboBox> bubblesKeys_, trisFiles_, cloudsFiles_, abcKeys_;
  std::array<QPointer<QPushButton>, 4> buttons_;
};

// One visit of the "Games" tab.
class TGames {
 public:
  // `user`: the learner logged on (none: games without results); `leaveRequested`: whether a
  // tab or the exit button asked to leave.
  TGames(TUser* user, std::function<bool()> leaveRequested);
  ~TGames();
  // Shows the menu and the games chosen on it until the learner leaves the tab; returns 0.
  int RunGamesMenu();

  bool StudiedKeysOffered = true;

 private:
  int start(int game, const TGamesView& view);

  std::function<bool()> leaveRequested_;
  std::unique_ptr<UserLearner> learner_;
};

// Makes the "Games" tab run the games menu.
void registerGamesMenu(TPartHost& frame);

}  // namespace ks
