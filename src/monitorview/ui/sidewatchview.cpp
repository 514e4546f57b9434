#include "monitorview/ui/sidewatchview.h"

#include <QDateTime>
#include <QInputDialog>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

#include "analysis/analyzer.h"
#include "book/pagestyle.h"
#include "content/ui/studystyle.h"
#include "engine/indexes.h"
#include "monitor/ui/monitorwindows.h"
#include "monitorview/sidewatchsetup.h"
#include "monitorview/ui/monitorcontrol.h"
#include "platform/clock.h"
#include "platform/desktop/qtext.h"
#include "platform/dialogs.h"
#include "reports/reportdata.h"
#include "store/autostart.h"
#include "store/langres.h"
#include "store/user.h"
#include "text/fields.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {
namespace {

// A reason for the narrow state label, in which a command's option ("-aG") is never split from
// its dash: the dash is the non-breaking one, which looks the same (the label cannot be copied).
QString keepOptionsWhole(const QString& text) {
  QStringList words = text.split(' ');
  for (QString& w : words)
    if (w.size() > 1 && w[0] == '-') w[0] = QChar(0x2011);
  return words.join(' ');
}

using Fig = TSidewatchFigures;
constexpr uint16_t kMonitorAndOwnWords = wsMonitor | wsUser;
const QString kRed = "#ff014f";

QColor rgbColour(uint32_t rgb) {
  return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

QString capitalised(QString text) {
  if (!text.isEmpty()) text[0] = text[0].toUpper();
  return text;
}

// A word's difficulty as a 40-pixel bar in its band's colour.
QPixmap difficultyBar(int difficulty) {
  QPixmap pm(44, 12);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setPen(QColor(0x9f, 0xb8, 0x8a));
  p.setBrush(Qt::white);
  p.drawRect(0, 1, 41, 9);
  TDifficultKeys bands(8);
  p.fillRect(1, 2, difficulty * 40 / 100, 8, rgbColour(bands.getDifficultyColour(difficulty)));
  return pm;
}

// The 'ok' sign below the problem index of 25, else the sign that asks for practice.
QPixmap statusPicture(bool ok) {
  QPixmap pm(56, 56);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(ok ? QColor(0x2e, 0x8b, 0x57) : QColor(0xff, 0xd2, 0x1d));
  p.drawEllipse(QRectF(3, 3, 50, 50));
  QPen pen(ok ? Qt::white : QColor(0x28, 0x34, 0x3f), 6, Qt::SolidLine, Qt::RoundCap,
           Qt::RoundJoin);
  p.setPen(pen);
  if (ok) {
    p.drawPolyline(QPolygonF({QPointF(16, 29), QPointF(25, 38), QPointF(40, 19)}));
  } else {
    p.drawLine(QPointF(28, 15), QPointF(28, 32));
    p.drawPoint(QPointF(28, 41));
  }
  return pm;
}

QPushButton* tabButton(QWidget* page, int i, const QString& text) {
  QPushButton* tab = makeButton(page, QString("Tab%1").arg(i), text);
  tab->setProperty("tab", true);
  tab->setCheckable(true);
  tab->setFocusPolicy(Qt::StrongFocus);
  return tab;
}

QLabel* caption(QWidget* parent, const QString& text, const QRect& r) {
  QLabel* l = makeLabel(parent, text, 9, true, "#1f5f3a");
  l->setGeometry(r);
  return l;
}

}  // namespace

TSidewatchView::TSidewatchView(TUser& user, Analyzer* analyzer) : user_(user), analyzer_(analyzer) {
  CancelVisible = false;
  OKInsteadOfNext = true;
  EnterCloses = false;
}

TSidewatchView::~TSidewatchView() = default;

void TSidewatchView::Setup() {
  TCustomBookView::Setup();
  SetTitle(msgText(567));
  QWidget* page = Content();
  if (!page) return;
  page->setStyleSheet(studyStyleSheet() +
                      "QPushButton:focus, QComboBox:focus, QListWidget:focus, QRadioButton:focus"
                      " { border: 2px solid #1f5f3a; border-radius: 6px; }"
                      "QPushButton[tab=\"true\"]:checked { background: white; color: #1f5f3a;"
                      "  border-bottom: 1px solid white; font-weight: bold; }");
  const QString names[3] = {msgText(2200), msgText(2201), msgText(2202)};
  for (int i = 0; i < 3; ++i) {
    tabs_[i] = tabButton(page, i, names[i]);
    tabs_[i]->setGeometry(24 + i * 126, 66, 122, 30);
    const int target = i == 2 ? Week : i;
    connect(tabs_[i], &QPushButton::clicked, this, [this, target] { ShowPage(target); });
  }
  period_ = new QComboBox(page);
  period_->setObjectName("PeriodBox");
  period_->setFocusPolicy(Qt::StrongFocus);
  period_->addItems({msgText(2203), msgText(2205), msgText(2204)});
  period_->setGeometry(406, 66, 176, 28);
  connect(period_, &QComboBox::activated, this, [this](int i) { ShowPage(Week + i); });

  // The card ends above the round OK button of the book's corner.
  QFrame* card = makeCard(page, QRect(20, 95, 562, 370), "SidewatchCard");
  pages_ = new QStackedWidget(card);
  pages_->setGeometry(2, 2, 558, 366);
  pages_->setStyleSheet("QStackedWidget > QWidget { background: transparent; }");
  pages_->addWidget(buildTraining());
  pages_->addWidget(buildAnalysis());
  for (int p = Week; p <= Month; ++p) pages_->addWidget(buildStatistics(p));
  figureLabels_[12] = makeLabel(page, QString(), 9, true, "#1f5f3a");
  figureLabels_[12]->setObjectName("LastPracticeLbl");
  figureLabels_[12]->setGeometry(26, 482, 470, 20);

  Refresh();
  chooseMode(Mode == 2 || Mode == 3 ? Mode : 1);
  ShowPage(StartOnStatistics ? Week : Training);
}

void TSidewatchView::Hide() {
  // However the page is left, the practice choice is kept for the next visit.
  if (modes_) takePractice();
  TCustomBookView::Hide();
}

QWidget* TSidewatchView::buildTraining() {
  auto* w = new QWidget;
  statusSign_ = new QLabel(w);
  statusSign_->setObjectName("StatusSign");
  statusSign_->setGeometry(14, 12, 56, 56);
  comment_ = makeLabel(w, QString(), 11, true);
  comment_->setObjectName("CommentLbl");
  comment_->setWordWrap(true);
  comment_->setGeometry(80, 8, 300, 36);
  comment2_ = makeLabel(w, QString(), 9, false, "#3c4a3c");
  comment2_->setObjectName("Comment2Lbl");
  comment2_->setWordWrap(true);
  comment2_->setGeometry(80, 45, 300, 32);
  const QString names[4] = {capitalised(msgText(1759)), capitalised(msgText(1762)),
                            capitalised(msgText(1765)), msgText(2206)};
  for (int i = 0; i < 4; ++i) {
    const int top = 80 + i * 24;
    makeLabel(w, names[i], 9)->setGeometry(16, top, 172, 18);
    auto* bar = new PercentBar(w);
    bar->setObjectName(QString("Gauge%1").arg(i + 1));
    bar->setGeometry(192, top + 5, 138, 10);
    gauges_[i] = bar;
    indexValues_[i] = makeLabel(w, QString(), 9, true);
    indexValues_[i]->setObjectName(QString("Index%1Lbl").arg(i + 1));
    indexValues_[i]->setGeometry(340, top, 50, 18);
  }
  buildPractice(w);
  buildMonitorPanel(w);
  return w;
}

void TSidewatchView::buildPractice(QWidget* page) {
  QLabel* head = caption(page, msgText(2209), QRect(16, 184, 360, 20));
  head->setObjectName("PracticeLbl");
  modes_ = new QButtonGroup(page);
  const QString texts[3] = {msgText(2210), msgText(2211), msgText(2212)};
  for (int i = 0; i < 3; ++i) {
    auto* r = new QRadioButton(texts[i], page);
    r->setObjectName(QString("Mode%1").arg(i + 1));
    r->setGeometry(16, 208 + i * 32, 212, 26);
    modes_->addButton(r, i + 1);
  }
  connect(modes_, &QButtonGroup::idClicked, this, [this](int id) { chooseMode(id); });
  durationBox_ = new QComboBox(page);
  durationBox_->setObjectName("DurationBox");
  durationBox_->setFocusPolicy(Qt::StrongFocus);
  durationBox_->addItem(msgText(2214));
  for (int m : {10, 20, 30}) durationBox_->addItem(msgText(2215).replace("%s", QString::number(m)));
  // Any other duration (a stored one) keeps its own entry.
  if (Duration != 0 && Duration != 10 && Duration != 20 && Duration != 30 && Duration > 0)
    durationBox_->addItem(msgText(2215).replace("%s", QString::number(Duration)));
  const int entry = Duration == 0    ? 0
                    : Duration == 10 ? 1
                    : Duration == 20 ? 2
                    : Duration == 30 ? 3
                                     : 4;
  durationBox_->setCurrentIndex(std::min(entry, durationBox_->count() - 1));
  keyBox_ = new QLineEdit(toQString(KeyText), page);
  keyBox_->setObjectName("KeyBox");
  keyBox_->setMaxLength(30);
  wordBox_ = new QLineEdit(toQString(WordText), page);
  wordBox_->setObjectName("WordBox");
  wordBox_->setMaxLength(80);
  for (int i = 0; i < 3; ++i) {
    QWidget* input = i == 0   ? static_cast<QWidget*>(durationBox_.data())
                     : i == 1 ? wordBox_.data()
                              : keyBox_.data();
    input->setGeometry(228, 208 + i * 32, 154, 26);
  }
  QPushButton* start = makeButton(page, "StartTrainingBtn", msgText(2213), ButtonRole::Primary);
  start->setFocusPolicy(Qt::StrongFocus);
  start->setGeometry(16, 312, 190, 36);
  connect(start, &QPushButton::clicked, this, [this] {
    takePractice();
    SetCloseResult(Practice);
  });
}

void TSidewatchView::buildMonitorPanel(QWidget* parent) {
  monitorPanel_ = makeCard(parent, QRect(390, 8, 160, 356), "MonitorPanel");
  monitorPanel_->setStyleSheet("QFrame#MonitorPanel { background: #f4faee; }");
  caption(monitorPanel_, msgText(2233), QRect(12, 8, 136, 20));
  stateLbl_ = makeLabel(monitorPanel_, QString(), 9);
  stateLbl_->setObjectName("StateLbl");
  stateLbl_->setWordWrap(true);
  stateLbl_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  stateLbl_->setGeometry(12, 30, 138, 52);
  toggleBtn_ = makeButton(monitorPanel_, "ToggleBtn", QString(), ButtonRole::Primary);
  toggleBtn_->setFocusPolicy(Qt::StrongFocus);
  toggleBtn_->setGeometry(12, 84, 136, 34);
  connect(toggleBtn_, &QPushButton::clicked, this, [this] { ToggleMonitor(); });
  launchLbl_ = makeLabel(monitorPanel_, QString(), 8, false, "#3c4a3c");
  launchLbl_->setObjectName("LaunchLbl");
  launchLbl_->setWordWrap(true);
  launchLbl_->setGeometry(12, 124, 138, 44);
  userLbl_ = makeLabel(monitorPanel_, QString(), 8, false, "#3c4a3c");
  userLbl_->setObjectName("UserLbl");
  userLbl_->setWordWrap(true);
  userLbl_->setGeometry(12, 170, 138, 44);
  settingsBtn_ = makeButton(monitorPanel_, "SettingsBtn", msgText(2216));
  settingsBtn_->setFocusPolicy(Qt::StrongFocus);
  settingsBtn_->setGeometry(12, 226, 136, 30);
  connect(settingsBtn_, &QPushButton::clicked, this, [this] { SetCloseResult(Settings); });
  if (!MonitorSettingsAvailable()) {
    settingsBtn_->setEnabled(false);
    settingsBtn_->setToolTip(msgText(2228));
  }
  QPushButton* analysis = makeButton(monitorPanel_, "AnalysisBtn", msgText(2217));
  analysis->setFocusPolicy(Qt::StrongFocus);
  analysis->setGeometry(12, 262, 136, 30);
  connect(analysis, &QPushButton::clicked, this, [this] { ShowPage(Analysis); });
  QPushButton* info = makeButton(monitorPanel_, "InfoBtn", msgText(2218), ButtonRole::Link);
  info->setFocusPolicy(Qt::StrongFocus);
  info->setGeometry(12, 304, 136, 24);
  connect(info, &QPushButton::clicked, this, [] {
    dialogs().messageBox(Localize().GetString(519) + "\r\r" + Localize().GetString(520) + "\r\r" +
                             Localize().GetString(521),
                         Localize().GetString(2218), BoxKind::Information);
  });
}

QWidget* TSidewatchView::buildAnalysis() {
  auto* w = new QWidget;
  const Fig::Graph graphs[2] = {Fig::Keys, Fig::Capitals};
  const QString captions[2] = {msgText(2225), msgText(2226)};
  for (int i = 0; i < 2; ++i) {
    const int top = 8 + i * 150;
    caption(w, captions[i], QRect(14, top, 300, 18));
    summaries_[i] = makeLabel(w, QString(), 8, false, "#3c4a3c");
    summaries_[i]->setObjectName(QString("Summary%1Lbl").arg(i + 1));
    summaries_[i]->setGeometry(14, top + 130, 320, 16);
    graphs_[graphs[i]] = new TGraph(w);
    graphs_[graphs[i]]->setObjectName(i == 0 ? "KeysGraph" : "CapitalsGraph");
  }
  caption(w, msgText(2222), QRect(350, 10, 200, 18));
  summaries_[2] = makeLabel(w, QString(), 8, false, "#3c4a3c");
  summaries_[2]->setObjectName("Summary3Lbl");
  summaries_[2]->setGeometry(350, 30, 196, 16);
  wordList_ = new QListWidget(w);
  wordList_->setObjectName("WordList");
  wordList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  wordList_->setIconSize(QSize(44, 12));
  wordList_->setGeometry(350, 50, 196, 270);
  connect(wordList_, &QListWidget::itemDoubleClicked, this, [this] { EditWord(); });
  const QString texts[3] = {msgText(2219), msgText(2220), msgText(2221)};
  for (int i = 0; i < 3; ++i) {
    QPushButton* b = makeButton(w, QString("WordBtn%1").arg(i + 1), texts[i]);
    b->setFocusPolicy(Qt::StrongFocus);
    b->setGeometry(350 + i * 67, 328, 62, 30);
    connect(b, &QPushButton::clicked, this, [this, i] {
      if (i == 0) AddWords();
      if (i == 1) EditWord();
      if (i == 2) HideWords();
    });
  }
  wordWarning_ = makeLabel(w, msgText(2223), 8, false, kRed);
  wordWarning_->setObjectName("WordWarningLbl");
  wordWarning_->setWordWrap(true);
  wordWarning_->setGeometry(14, 324, 320, 34);
  return w;
}

QWidget* TSidewatchView::buildStatistics(int page) {
  auto* w = new QWidget;
  const QString unit = msgText(SpeedUnitMessage(LearnerSpeedUnit(user_).Cpm)) + ")";
  struct Place {
    Fig::Graph graph;
    QString caption;
    QRect rect;
  };
  std::vector<Place> places;
  if (page == Week) {
    places = {{Fig::SpeedWeek, msgText(479) + unit, QRect(10, 24, 268, 110)},
              {Fig::WordsWeek, msgText(2207), QRect(280, 24, 268, 110)},
              {Fig::TimeWeek, msgText(2208), QRect(10, 160, 268, 110)},
              {Fig::ProblemWeek, msgText(2206) + " (%)", QRect(280, 160, 268, 110)}};
  } else {
    const bool year = page == Year;
    places = {{year ? Fig::SpeedYear : Fig::SpeedMonth, msgText(year ? 2230 : 2229) + unit,
               QRect(10, 26, 538, 150)},
              {year ? Fig::TimeYear : Fig::TimeMonth, msgText(year ? 2231 : 2208),
               QRect(10, 206, 538, 150)}};
  }
  for (const Place& p : places) {
    caption(w, p.caption, QRect(p.rect.left() + 6, p.rect.top() - 20, p.rect.width(), 18));
    auto* g = new TGraph(w);
    g->setObjectName(QString("Graph%1").arg(p.graph));
    g->setProperty("place", p.rect);
    graphs_[p.graph] = g;
  }
  if (page == Week) {
    // Today, average and highest: problem index, speed, words, typing time.
    for (int i = 0; i < 12; ++i) {
      QLabel* l = makeLabel(w, QString(), 8, i % 3 == 0, "#28343f");
      l->setObjectName(QString("Figure%1Lbl").arg(i + 1));
      l->setGeometry(12 + (i / 3) * 136, 276 + (i % 3) * 30, 132, 30);
      l->setWordWrap(true);
      figureLabels_[i] = l;
    }
  }
  return w;
}

void TSidewatchView::Refresh() {
  const bool collect = !user_.ReadBool("DoNotCollectWords");
  const double now = systemClock().now();
  figures_.Compute(user_, user_.Difficulties().MonitorDifficulties,
                   collect ? &user_.Words() : nullptr, now, LearnerSpeedUnit(user_));
  for (int g = 0; g < Fig::GraphCount; ++g) {
    if (!graphs_[g]) continue;
    GraphModel m = figures_.Graphs[g];
    const QRect place = graphs_[g]->property("place").toRect();
    const bool keys = g == Fig::Keys || g == Fig::Capitals;
    m.Left = keys ? 10 : place.left();
    m.Top = keys ? (g == Fig::Keys ? 28 : 178) : place.top();
    m.Width = keys ? 330 : place.width();
    m.Height = keys ? 108 : place.height();
    graphs_[g]->SetModel(m);
  }
  const int indexes[4] = {figures_.KeyIndex, figures_.CapitalIndex, figures_.WordIndex,
                          figures_.ProblemIndex};
  TDifficultKeys bands(8);
  for (int i = 0; i < 4; ++i) {
    indexValues_[i]->setText(QString::number(indexes[i]) + "%");
    auto* bar = static_cast<PercentBar*>(gauges_[i].data());
    bar->setPercent(indexes[i]);
    bar->setColour(rgbColour(bands.getDifficultyColour(static_cast<float>(indexes[i]))));
  }
  // Without a key counted an index of 0 means nothing: the page says so rather than praise.
  const bool none = figures_.NothingTyped;
  comment_->setText(msgText(none ? 2802 : IndexLabel(figures_.ProblemIndex)));
  comment2_->setText(msgText(none ? 2803 : IndexLabel2(figures_.ProblemIndex)));
  statusSign_->setPixmap(statusPicture(figures_.ProblemIndex < 25));
  statusSign_->setVisible(!none);
  summaries_[0]->setText(toQString(figures_.KeySummary));
  summaries_[1]->setText(toQString(figures_.CapitalSummary));
  summaries_[2]->setText(toQString(figures_.WordSummary));
  wordWarning_->setVisible(!collect);
  const FigureLabel* figures[12] = {
      &figures_.ProblemToday, &figures_.ProblemHighest, nullptr,
      &figures_.SpeedToday,   &figures_.SpeedAverage,   &figures_.SpeedHighest,
      &figures_.WordsToday,   &figures_.WordsAverage,   &figures_.WordsHighest,
      &figures_.TimeToday,    &figures_.TimeAverage,    &figures_.TimeHighest};
  for (int i = 0; i < 12; ++i) {
    if (!figureLabels_[i]) continue;
    figureLabels_[i]->setText(figures[i] ? toQString(figures[i]->Label + " " + figures[i]->Value)
                                         : QString());
  }
  if (figureLabels_[12]) figureLabels_[12]->setText(toQString(figures_.LastPractice));
  fillWords();
  refreshMonitorState();
}

void TSidewatchView::fillWords() {
  const QStringList selected = [this] {
    QStringList s;
    for (QListWidgetItem* i : wordList_->selectedItems()) s << i->data(Qt::UserRole).toString();
    return s;
  }();
  wordList_->clear();
  for (const std::string& row : user_.Words().ListWords(kMonitorAndOwnWords, 1)) {
    const std::vector<std::string> f = splitFields(row, ";");
    if (f.empty()) continue;
    const int difficulty = f.size() > 1 ? strToIntDef(f[1], 0) : 0;
    auto* item = new QListWidgetItem(QIcon(difficultyBar(difficulty)),
                                     toQString(f[0]) + "  (" + QString::number(difficulty) + ")");
    item->setData(Qt::UserRole, toQString(f[0]));
    wordList_->addItem(item);
    if (selected.contains(toQString(f[0]))) item->setSelected(true);
  }
}

void TSidewatchView::refreshMonitorState() {
  const std::string why = monitorControl().WhyNotHere();
  if (!why.empty() && !monitorControl().Running()) {
    stateLbl_->setText(keepOptionsWhole(toQString(why)));
    stateLbl_->setStyleSheet("color: #28343f;");
    stateLbl_->setGeometry(12, 30, 138, 190);
    toggleBtn_->hide();
    launchLbl_->hide();
    userLbl_->hide();
    return;
  }
  const bool running = monitorControl().Running();
  stateLbl_->setText(msgText(running ? 463 : 465));
  stateLbl_->setStyleSheet(running ? "color: black;" : "color: " + kRed + "; font-weight: bold;");
  toggleBtn_->setText(msgText(running ? 464 : 466));
  launchLbl_->setText(msgText(SidewatchSetup::AccountBool("LaunchAtStartup.") ? 467 : 468));
  if (SidewatchSetup::AccountBool("UseSelectedUser.")) {
    const std::string selected = SidewatchSetup::AccountString("SelectedUser.");
    userLbl_->setText(msgText(469) + toQString(selected));
    // The monitor follows someone else: said once in a run of the tutor.
    if (!SelectedUserNoticeShown && !sameText(selected, user_.UserName())) {
      SelectedUserNoticeShown = true;
      dialogs().messageBox(
          Localize().GetString(470) + selected + "\".\r" + Localize().GetString(1406),
          Localize().GetStringDefault(1), BoxKind::Information);
    }
  } else {
    userLbl_->setText(msgText(471) + toQString(user_.UserName()));
  }
}

void TSidewatchView::ShowPage(int page) {
  page_ = std::clamp(page, 0, static_cast<int>(Month));
  pages_->setCurrentIndex(page_);
  const int tab = page_ >= Week ? 2 : page_;
  for (int i = 0; i < 3; ++i) {
    tabs_[i]->setChecked(i == tab);
    tabs_[i]->setEnabled(i != tab);
  }
  period_->setVisible(page_ >= Week);
  figureLabels_[12]->setVisible(page_ >= Week);
  if (page_ >= Week) period_->setCurrentIndex(page_ - Week);
  if (page_ == Analysis) wordList_->setFocus();
}

void TSidewatchView::chooseMode(int mode) {
  Mode = mode;
  if (QAbstractButton* b = modes_->button(mode)) b->setChecked(true);
  durationBox_->setEnabled(mode == 1);
  wordBox_->setEnabled(mode == 2);
  keyBox_->setEnabled(mode == 3);
  if (mode == 2) wordBox_->setFocus();
  if (mode == 3) keyBox_->setFocus();
}

void TSidewatchView::takePractice() {
  Mode = modes_->checkedId() > 0 ? modes_->checkedId() : 1;
  KeyText = toCp1252(keyBox_->text());
  WordText = toCp1252(wordBox_->text());
  const int entry = durationBox_->currentIndex();
  if (entry >= 0 && entry <= 3) Duration = entry * 10;
}

void TSidewatchView::AddWords() {
  bool ok = false;
  const QString text = QInputDialog::getText(Content(), msgText(2201).remove('&'), msgText(505),
                                             QLineEdit::Normal, QString(), &ok);
  if (!ok || analyzer_ == nullptr) return;
  // The words are the learner's own; what the lessons collect afterwards is not.
  const bool collecting = analyzer_->CollectWords;
  const uint16_t source = analyzer_->WordSource;
  Analyzer_SetSource(*analyzer_, wsUser);
  bool refused = false;
  for (const QString& w : text.split(' ', Qt::SkipEmptyParts)) {
    const std::string word = toCp1252(w.toLower());
    if (!TWord::Acceptable(word)) {
      refused = true;
      continue;
    }
    for (int i = 0; i < 5; ++i) Analyzer_AddUserWord(*analyzer_, word, 50, true);
  }
  analyzer_->CollectWords = collecting;
  analyzer_->WordSource = source;
  if (refused) dialogs().messageBox(Localize().GetString(2227), "", BoxKind::Information);
  Refresh();
}

void TSidewatchView::EditWord() {
  QListWidgetItem* item = wordList_->currentItem();
  if (item == nullptr) return;
  const QString old = item->data(Qt::UserRole).toString();
  bool ok = false;
  const QString answer =
      QInputDialog::getText(Content(), msgText(2201).remove('&'), msgText(506) + old + ")",
                            QLineEdit::Normal, old, &ok)
          .trimmed()
          .toLower();
  if (!ok || answer == old) return;
  const std::string word = toCp1252(answer);
  if (!TWord::Acceptable(word)) {
    dialogs().messageBox(Localize().GetString(2227), "", BoxKind::Information);
    return;
  }
  TWordList& list = user_.Words();
  const std::string before = toCp1252(old);
  const int entry = list.Find(before);
  const uint16_t sources =
      entry > 0 ? static_cast<uint16_t>(list.Entry(entry).Flags & ~wsHidden) : uint16_t{wsUser};
  list.RenameWord(before, word, sources);
  Refresh();
}

void TSidewatchView::HideWords() {
  const QList<QListWidgetItem*> selected = wordList_->selectedItems();
  if (selected.isEmpty()) return;
  if (!dialogs().messageBox(Localize().GetString(507), Localize().GetStringDefault(1),
                            BoxKind::Question))
    return;
  for (QListWidgetItem* i : selected)
    user_.Words().AddOccurrence(toCp1252(i->data(Qt::UserRole).toString()), 0, wsHidden, false);
  Refresh();
}

void TSidewatchView::ToggleMonitor() {
  MonitorRemote& control = monitorControl();
  const bool running = control.Running();
  if (!running && !SidewatchSetup::AccountBool("SidewatchInit.")) {
    SetCloseResult(Wizard);
    return;
  }
  TCloseDlg dialog(Content());
  if (auto* question = dialog.findChild<QLabel*>("QuestionLbl"))
    question->setText(msgText(running ? 456 : 457));
  bool launch = SidewatchSetup::AccountBool("LaunchAtStartup.");
  if (dialog.run(&launch) != 1) return;
  SidewatchSetup::SetAccount("LaunchAtStartup.", launch);
  toggleBtn_->setText(msgText(458));
  toggleBtn_->hide();
  stateLbl_->setText(msgText(running ? 459 : 460));
  stateLbl_->repaint();
  if (const std::string failure = MakeAutoStartable(MonitorRemote::Program()); !failure.empty())
    dialogs().messageBox(AutoStartFailureText(failure), Localize().GetStringDefault(1),
                         BoxKind::Warning);
  if (running) {
    control.Stop();
  } else {
    control.Start();
  }
  toggleBtn_->show();
  refreshMonitorState();
}

bool TSidewatchView::ShortCut(QKeyEvent* event) {
  const int key = event->key();
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && page_ == Training) {
    takePractice();
    SetCloseResult(Practice);
    return true;
  }
  return TCustomBookView::ShortCut(event);
}

bool TSidewatchView::KeyDown(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete && page_ == Analysis && wordList_->hasFocus()) {
    HideWords();
    return true;
  }
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  if (ctrl && (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)) {
    const int tab = page_ >= Week ? 2 : page_;
    const int next = (tab + (event->key() == Qt::Key_Tab ? 1 : 2)) % 3;
    ShowPage(next == 2 ? Week : next);
    return true;
  }
  return TCustomBookView::KeyDown(event);
}

}  // namespace ks
