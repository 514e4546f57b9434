#include "games/ui/gamesview.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "analysis/keydataext.h"
#include "book/keyaccess.h"
#include "book/pagestyle.h"
#include "book/parthost.h"
#include "book/uistyle.h"
#include "content/eventloader.h"
#include "content/revisionbuilder.h"
#include "content/studylearner.h"
#include "content/ui/resultviews.h"
#include "engine/ui/viewfactory.h"
#include "games/gameloop.h"
#include "games/gamesmenu.h"
#include "games/ui/bubblepainter.h"
#include "games/ui/cloudsview.h"
#include "platform/desktop/qtext.h"
#include "platform/dialogs.h"
#include "platform/random.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "store/user.h"
#include "text/textutil.h"

namespace ks {
namespace {

QComboBox* makeList(QWidget* parent, const char* name, const QStringList& items) {
  auto* list = new QComboBox(parent);
  list->setObjectName(name);
  list->setFont(designFont("Verdana", 10));
  list->addItems(items);
  list->setFocusPolicy(Qt::StrongFocus);
  return list;
}

QStringList toList(const std::vector<std::string>& items) {
  QStringList out;
  for (const std::string& item : items) out << toQString(item);
  return out;
}

// A small picture of the game at the card's corner, drawn like the game draws it.
QLabel* gamePicture(QWidget* card, int game) {
  const qreal dpr = qApp->devicePixelRatio();
  QImage image(QSize(52, 44) * dpr, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(dpr);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  if (game == TGamesView::kClouds) {
    p.drawImage(QPoint(0, 6), cloudPicture(TCloud::Dark, QSize(52, 30), dpr));
  } else if (game == TGamesView::kWordtris) {
    for (int i = 0; i < 3; ++i) {
      p.setPen(Qt::NoPen);
      p.setBrush(i == 0 ? QColor(0x7F, 0xB0, 0x38) : QColor(0xDD, 0xE3, 0xD2));
      p.drawRoundedRect(QRectF(2, 6 + i * 12, 48, 10), 4, 4);
    }
  } else {
    Tbubble b;
    b.Active = true;
    b.Diameter = 36;
    b.X = 8;
    b.Y = 4;
    b.Kind = game == TGamesView::kAbc ? 2 : 1;
    b.Letter = game == TGamesView::kAbc ? 'A' : 'b';
    paintBubble(p, b);
  }
  p.end();
  auto* label = new QLabel(card);
  label->setPixmap(QPixmap::fromImage(image));
  label->setGeometry(card->width() - 60, 10, 52, 44);
  return label;
}

// Messages that name a button get a mnemonic at the game's first letter.
QString withMnemonic(QString text, const QString& name) {
  const int at = text.indexOf(name.left(1));
  if (!text.contains('&') && at >= 0) text.insert(at, '&');
  return text;
}

}  // namespace

TGamesView::TGamesView() {
  ButtonFlags = 0;
  CancelVisible = false;
}

void TGamesView::Setup() {
  TCustomBookView::Setup();
  SetTitle(msgText(563));
  QWidget* page = Content();
  if (page == nullptr) return;
  page->setStyleSheet(studyStyleSheet() +
                      "QPushButton:focus { border: 2px solid #f2b705; }"
                      "QComboBox:focus { border: 2px solid #f2b705; border-radius: 4px; }");
  const std::string language = lowerCase(ActiveLanguage);
  const auto vocabularies = toList(vocabularyList(installationFolder(), language,
                                                  StudiedKeysOffered, Localize().GetString(236)));
  QStringList bubbleKeys;
  if (StudiedKeysOffered) bubbleKeys << msgText(236);
  bubbleKeys << msgText(237) << msgText(238) << msgText(239);
  const auto abc = toList(abcEntries(Localize().GetString(237), Localize().GetString(238)));
  QString abcText = msgText(1434);
  if (abcText.isEmpty() || abcText == "(Localization error - string missing)")
    abcText = "AB&C-" + msgText(1137);

  struct Column {
    int game;
    int title, listTitle, button;
    const char* name;
    QPointer<QComboBox>* list;
    QStringList items;
    QRect at;
  };
  const Column columns[] = {
      {kBubbles, 606, 231, 611, "Bubbles", &bubblesKeys_, bubbleKeys, {16, 74, 190, 200}},
      {kWordtris, 608, 234, 609, "Wordtris", &trisFiles_, vocabularies, {214, 74, 190, 200}},
      {kClouds, 607, 235, 610, "Clouds", &cloudsFiles_, vocabularies, {412, 74, 190, 200}},
      {kAbc, 1864, 231, 0, "ABC", &abcKeys_, abc, {16, 286, 190, 200}},
  };
  static const char* const kButtons[] = {"BubblesBtn", "WordtrisBtn", "CloudsBtn", "AbcBtn"};
  static const char* const kLists[] = {"BubblesKeys", "TrisFileList", "CloudsFileList", "ABCKeys"};
  for (size_t i = 0; i < std::size(columns); ++i) {
    const Column& c = columns[i];
    QFrame* card = makeCard(page, c.at, QString(c.name) + "Card");
    QLabel* title = makeHeading(card, msgText(c.title), 13);
    title->setGeometry(16, 16, c.at.width() - 72, 28);
    gamePicture(card, c.game);
    QLabel* caption = makeLabel(card, msgText(c.listTitle), 9, false, "#4a5a4a");
    caption->setGeometry(16, 70, c.at.width() - 32, 18);
    QComboBox* list = makeList(card, kLists[i], c.items);
    list->setGeometry(16, 92, c.at.width() - 32, 30);
    caption->setBuddy(list);
    keepModifiedKeysOut(list);
    *c.list = list;
    const QString text = withMnemonic(c.button ? msgText(c.button) : abcText, msgText(c.title));
    QPushButton* start = makeButton(card, kButtons[i], text, ButtonRole::Primary);
    start->setFocusPolicy(Qt::StrongFocus);
    start->setGeometry(16, c.at.height() - 62, c.at.width() - 32, 42);
    connect(start, &QPushButton::clicked, this, [this, start] { ButtonClick(start); });
    buttons_[i] = start;
  }
  QFrame* note = makeCard(page, QRect(214, 286, 388, 200), "GamesNote");
  QLabel* hint = makeLabel(note, QString(), 10, false, "#28343f");
  hint->setWordWrap(true);
  hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  hint->setGeometry(20, 16, 348, 170);
  hint->setText("<b>" + msgText(612) + "</b><p>" + msgText(93) + "</p><p>" + msgText(276) +
                "</p><p>" + msgText(279) + "</p>");

  const auto vocabulary = [this](QComboBox* list) {
    return vocabularyChoice(toCp1252(list->currentText()), list->currentIndex(),
                            StudiedKeysOffered);
  };
  connect(trisFiles_, &QComboBox::currentIndexChanged, this,
          [this, vocabulary] { WordtrisFile = vocabulary(trisFiles_); });
  connect(cloudsFiles_, &QComboBox::currentIndexChanged, this,
          [this, vocabulary] { CloudsFile = vocabulary(cloudsFiles_); });
  connect(bubblesKeys_, &QComboBox::currentIndexChanged, this,
          [this](int index) { BubblesChoice = index + 1; });
  connect(abcKeys_, &QComboBox::currentIndexChanged, this,
          [this](int index) { AbcChoice = index; });
  for (QComboBox* list :
       {bubblesKeys_.data(), trisFiles_.data(), cloudsFiles_.data(), abcKeys_.data()}) {
    list->setCurrentIndex(0);
  }
  WordtrisFile = vocabulary(trisFiles_);
  CloudsFile = vocabulary(cloudsFiles_);
  BubblesChoice = 1;
  AbcChoice = 0;
  QWidget::setTabOrder(bubblesKeys_, buttons_[0]);
  QWidget::setTabOrder(buttons_[0], trisFiles_);
  QWidget::setTabOrder(trisFiles_, buttons_[1]);
  QWidget::setTabOrder(buttons_[1], cloudsFiles_);
  QWidget::setTabOrder(cloudsFiles_, buttons_[2]);
  QWidget::setTabOrder(buttons_[2], abcKeys_);
  QWidget::setTabOrder(abcKeys_, buttons_[3]);
  trisFiles_->setFocus();
}

void TGamesView::ButtonClick(QObject* sender) {
  TCustomBookView::ButtonClick(sender);
  const QString name = sender ? sender->objectName() : QString();
  if (name == "WordtrisBtn") SetCloseResult(kWordtris);
  if (name == "BubblesBtn") SetCloseResult(kBubbles);
  if (name == "CloudsBtn") SetCloseResult(kClouds);
  if (name == "AbcBtn") SetCloseResult(kAbc);
}

bool TGamesView::ShortCut(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  QWidget* focus = QApplication::focusWidget();
  if (enter && focus) {
    const std::array<QComboBox*, 4> lists{bubblesKeys_, trisFiles_, cloudsFiles_, abcKeys_};
    for (size_t i = 0; i < lists.size(); ++i) {
      if (focus == lists[i] || focus == buttons_[i].data()) {
        buttons_[i]->click();
        return true;
      }
    }
  }
  return TCustomBookView::ShortCut(event);
}

TGames::TGames(TUser* user, std::function<bool()> leaveRequested)
    : leaveRequested_(std::move(leaveRequested)) {
  if (user != nullptr) {
    learner_ = std::make_unique<UserLearner>(*user);
    StudiedKeysOffered = offersStudiedKeys(learner_->KeysUpTo(learner_->KeyLevel()),
                                           learner_->KeyGroupCount(), Localize().GetString(12));
  }
}

TGames::~TGames() = default;

int TGames::start(int game, const TGamesView& view) {
  const GameKeySets keys{Localize().GetString(221), Localize().GetString(222),
                         Localize().GetString(223)};
  const std::string language = lowerCase(ActiveLanguage);
  GameStart s;
  switch (game) {
    case TGamesView::kWordtris:
      s = wordGameStart(false, view.WordtrisFile, language);
      break;
    case TGamesView::kClouds:
      s = wordGameStart(true, view.CloudsFile, language);
      break;
    case TGamesView::kBubbles:
      s = bubblesStart(view.BubblesChoice, view.StudiedKeysOffered, keys);
      break;
    default:
      s = abcStart(view.AbcChoice, keys);
      break;
  }
  TEventLoader loader(s.Line);
  loader.KnownKeys = s.PresetKeys;
  if (s.LearnerLevel && learner_) loader.KeyLevel = learner_->KeyLevel();
  if (s.StudiedWords) {
    // Words for the learner's keys up to the current level, from the course's word data.
    const std::string studied = learner_ ? learner_->KeysUpTo(learner_->KeyLevel()) : "";
    SeededRandom random;
    BuilderEnvironment env;
    env.Learner = learner_.get();
    env.Layout = &CurrentLayout();
    if (ProgramSettings) env.LessonsPath = ProgramSettings->lessonsPath();
    TRevisionBuilder builder(random, env);
    if (!studied.empty()) {
      builder.WordText(studied, learner_->KeyLevel(), studiedWordCount(studied.size()));
    }
    if (builder.Lines.empty()) {
      dialogs().messageBox(Localize().GetString(219) + "\r" + Localize().GetString(220),
                           Localize().GetStringDefault(1), BoxKind::Information);
      return 1;
    }
    loader.GameWordList = builder.Lines;
  }
  ViewEventFactory factory;
  StudyResultPresenter presenter(learner_.get());
  return loader.Execute({factory, &presenter, learner_.get()});
}

int TGames::RunGamesMenu() {
  TGamesView view;
  view.StudiedKeysOffered = StudiedKeysOffered;
  for (;;) {
    if (learner_) learner_->RaiseKeyLevel(learner_->HighestKeyLevel());
    int answer = view.RunModal();
    if (answer >= TGamesView::kBubbles && answer <= TGamesView::kAbc) answer = start(answer, view);
    // A tab or the exit button closes the menu (or the game) with 0.
    if (answer == 0 || (leaveRequested_ && leaveRequested_()) || appTerminating()) break;
  }
  return 0;
}

void registerGamesMenu(TPartHost& frame) {
  frame.SetPart("Games", [](TPartHost& f) {
    TGames games(f.User(), [&f] { return !f.ActiveTab.isEmpty() || f.ExitRequested; });
    return games.RunGamesMenu();
  });
}

}  // namespace ks
