#include "games/ui/toptenview.h"

#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "book/bookwidgets.h"
#include "book/pagestyle.h"
#include "book/uistyle.h"
#include "platform/desktop/qtext.h"
#include "platform/dialogs.h"
#include "store/langres.h"
#include "text/fields.h"
#include "text/textutil.h"

namespace ks {
namespace {

constexpr int kRowTop = 58, kRowHeight = 30;
constexpr int kNameLeft = 80, kNameWidth = 330;
constexpr int kPointsLeft = 430, kDateLeft = 560;
const char* const kPlaceholderColour = "#6b7785";

// The game a list belongs to, as the games menu names it.
QString gameTitle(const std::string& listName) {
  static const std::pair<const char*, int> kGames[] = {
      {"Bubbles", 606}, {"Wordtris", 608}, {"Clouds", 607}, {"ABCGame", 1864}};
  for (const auto& [list, message] : kGames) {
    if (sameText(listName, list)) return msgText(message);
  }
  return toQString(listName);
}

}  // namespace

TTopTenView::TTopTenView() {
  CancelVisible = false;
}

TTopTenView::~TTopTenView() = default;

void TTopTenView::Setup() {
  CancelVisible = false;
  TCustomResultView::Setup();
  SetTitle(ListName.empty() ? msgText(613)
                            : msgText(613) + QString(" \u2013 ") + gameTitle(ListName));
  rank_ = 0;
  nameBox_ = nullptr;
  if (!ListName.empty()) {
    list_ = std::make_unique<TtopTen>(ListName, Folder);
    list_->LoadOrCreate();
    rank_ = list_->Insert(Item ? Item->GameScore : 0, PlayerName);
  }
  QWidget* panel = ResultPanel();
  if (!panel) return;
  panel->setStyleSheet(studyStyleSheet() +
                       "QLineEdit#NameBox { border: 2px solid #354fb1; border-radius: 6px;"
                       "  padding: 0 6px; background: #fffbe6; }"
                       "QLabel#OwnRow { background: #fff3c4; border-radius: 6px; }");
  QFrame* card = makeCard(panel, QRect(14, 4, 740, 400), "TopTenCard");
  makeLabel(card, msgText(137), 9, true, "#6b7785")->setGeometry(kNameLeft, 22, 200, 20);
  QLabel* scoreTitle = makeLabel(card, msgText(133), 9, true, "#6b7785");
  scoreTitle->setGeometry(kPointsLeft, 22, 100, 20);
  scoreTitle->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  for (int row = 0; row < kRows; ++row) {
    const int y = kRowTop + row * kRowHeight;
    if (row + 1 == rank_) {
      band_ = new QLabel(card);
      band_->setObjectName("OwnRow");
      band_->setGeometry(20, y - 3, 700, kRowHeight - 2);
    }
    QLabel* place = makeLabel(card, QString::number(row + 1) + ".", 12, true, "#354fb1");
    place->setGeometry(30, y, 40, 24);
    place->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    names_[static_cast<size_t>(row)] = makeLabel(card, QString(), 12, row + 1 == rank_);
    names_[static_cast<size_t>(row)]->setObjectName(QString("Name%1").arg(row + 1));
    names_[static_cast<size_t>(row)]->setGeometry(kNameLeft, y, kNameWidth, 24);
    points_[static_cast<size_t>(row)] = makeLabel(card, QString(), 12, true);
    points_[static_cast<size_t>(row)]->setObjectName(QString("Points%1").arg(row + 1));
    points_[static_cast<size_t>(row)]->setGeometry(kPointsLeft, y, 100, 24);
    points_[static_cast<size_t>(row)]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    dates_[static_cast<size_t>(row)] = makeLabel(card, QString(), 10, false, "#6b7785");
    dates_[static_cast<size_t>(row)]->setObjectName(QString("Date%1").arg(row + 1));
    dates_[static_cast<size_t>(row)]->setGeometry(kDateLeft, y, 150, 24);
  }
  // The player's score, also when it did not make the list.
  const int score = Item ? Item->GameScore : 0;
  QString own = msgText(2704) + ": " + QString::number(score);
  if (rank_ < 1 || rank_ > kRows) own += " " + msgText(2705);
  ownScore_ = makeLabel(card, own, 12, true, "#28343f");
  ownScore_->setObjectName("OwnScore");
  ownScore_->setGeometry(30, kRowTop + kRows * kRowHeight + 8, 680, 26);
  // In the same place: why the score could not be kept, when that happens.
  saveProblem_ = makeLabel(card, QString(), 10, true, "#b3261e");
  saveProblem_->setObjectName("SaveProblem");
  saveProblem_->setWordWrap(true);
  saveProblem_->setGeometry(30, kRowTop + kRows * kRowHeight, 690, 36);
  saveProblem_->hide();
  showRows();
  if (rank_ >= 1 && rank_ <= kRows) {
    QLabel* name = names_[static_cast<size_t>(rank_ - 1)];
    auto* box = new QLineEdit(toQString(PlayerName, false), card);
    box->setObjectName("NameBox");
    box->setAccessibleName(msgText(730));
    box->setMaxLength(255);
    box->setFont(designFont("Verdana", 12, true));
    box->setGeometry(name->x() - 6, name->y() - 4, kNameWidth, 30);
    box->show();
    box->setFocus();
    box->selectAll();
    nameBox_ = box;
  }
}

void TTopTenView::showRows() {
  const std::vector<std::string> lines = list_ ? list_->DisplayLines() : std::vector<std::string>{};
  for (size_t row = 0; row < kRows; ++row) {
    if (!names_[row]) return;
    std::vector<std::string> parts =
        row < lines.size() ? splitFields(lines[row], ";") : std::vector<std::string>{};
    parts.resize(3);
    // Places no one has played for yet show only the score to beat.
    const bool placeholder =
        list_ && row < static_cast<size_t>(list_->Length()) && list_->IsPlaceholder(int(row));
    names_[row]->setText(placeholder ? QString("\u2013") : toQString(parts[0], false));
    points_[row]->setText(toQString(parts[1], false));
    dates_[row]->setText(placeholder ? QString() : toQString(parts[2], false));
    const QString ink = highContrast() ? inkColour().name()
                        : placeholder  ? QString(kPlaceholderColour)
                                       : QString("#28343f");
    for (QLabel* label : {names_[row], points_[row]})
      label->setStyleSheet("color: " + ink + "; background: transparent;");
  }
}

void TTopTenView::CommitName() {
  if (!list_ || !nameBox_ || !nameBox_->isVisible()) return;
  const std::string name = toCp1252(nameBox_->text().trimmed());
  rank_ = list_->CommitName(Item ? Item->GameScore : 0, name);
  nameBox_->hide();
  if (!list_->SaveFailure().empty()) {
    // The score is not in the shared list: show what the list holds, not a place it never got.
    const std::string text = Localize().GetString(2600) + list_->SaveFailure() + ".";
    for (QLabel* name : names_) {
      if (!name) continue;
      QFont font = name->font();
      font.setBold(false);
      name->setFont(font);
    }
    rank_ = 0;
    list_->Load();
    if (band_) band_->hide();
    if (ownScore_) ownScore_->hide();
    if (saveProblem_) {
      saveProblem_->setText(toQString(text, false));
      saveProblem_->show();
    }
    showRows();
    dialogs().messageBox(text, Localize().GetStringDefault(1), BoxKind::Warning);
    return;
  }
  showRows();
}

bool TTopTenView::ShortCut(QKeyEvent* event) {
  const int key = event->key();
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && nameBox_ && nameBox_->isVisible()) {
    // One Enter writes the name and goes on, as it does when no name is asked.
    CommitName();
    SetCloseResult(1);
    return true;
  }
  return TCustomResultView::ShortCut(event);
}

void TTopTenView::Hide() {
  CommitName();
  TCustomResultView::Hide();
  names_ = {};
  points_ = {};
  dates_ = {};
  ownScore_ = nullptr;
  list_.reset();
}

}  // namespace ks
