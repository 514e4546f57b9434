// The high-score list a game ends with: the first ten of the game's list with the new score in
// its place, and, when it made the ten, a box for the player's name on its row; under the list
// the player's score, also when it did not make it. Enter (or closing the view) writes the name
// into the shared list; when that fails the player is told, and the list shows what it really
// holds.
#pragma once

#include <QPointer>
#include <array>
#include <filesystem>
#include <memory>
#include <string>

#include "book/formview.h"
#include "store/resultitem.h"
#include "store/topten.h"

class QLabel;
class QLineEdit;

namespace ks {

class TTopTenView : public TCustomResultView {
  Q_OBJECT

 public:
  static constexpr int kRows = 10;

  TTopTenView();
  ~TTopTenView() override;

  void Setup() override;
  void Hide() override;

  TResultItem* Item = nullptr;
  std::string PlayerName;
  std::string ListName;          // the game's list ("Bubbles", "ABCGame", ...)
  std::filesystem::path Folder;  // where the lists are; empty: the data folder
  int Rank() const { return rank_; }
  // Writes the name typed in the box into the list when the score made the first ten.
  void CommitName();

 protected:
  bool ShortCut(QKeyEvent* event) override;

 private:
  void showRows();

  std::unique_ptr<TtopTen> list_;
  int rank_ = 0;
  std::array<QLabel*, kRows> names_{}, points_{}, dates_{};
  QPointer<QLabel> band_, saveProblem_, ownScore_;
  QPointer<QLineEdit> nameBox_;
};

}  // namespace ks
