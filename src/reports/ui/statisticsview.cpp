#include "reports/ui/statisticsview.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>

#include "book/pagestyle.h"
#include "book/uistyle.h"
#include "platform/desktop/qtext.h"
#include "platform/dialogs.h"
#include "platform/sound.h"
#include "reports/csvexport.h"
#include "reports/ui/tgraph.h"
#include "reports/ui/treports.h"
#include "store/langres.h"
#include "store/qssettings.h"
#include "store/user.h"
#include "text/textutil.h"

namespace ks {
namespace {

constexpr int kCardHeight = 360;
constexpr int kGraphTops[2] = {24, 200};
constexpr int kGraphHeight = 150;

constexpr int kGross = 0, kNet = 1, kAccuracy = 2, kKeys = 3;
constexpr int kDifficultKeys = 16;

bool policy(const char* key) {
  return PolicySettings && PolicySettings->ReadBool(key);
}

QString unitCaption(const SpeedUnit& unit) {
  return msgText(unit.Cpm ? 209 : 208);
}

// The started courses, one row each: the title in bold, the completion with its bar, and the
// time planned and used below.
class CourseInfoList : public QWidget {
 public:
  CourseInfoList(const std::vector<CourseProgress>& courses, QWidget* parent)
      : QWidget(parent), courses_(courses) {
    setObjectName("CourseInfo");
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QFont bold = designFont("Verdana", 9, true), plain = designFont("Verdana", 8);
    int y = 10;
    for (const CourseProgress& c : courses_) {
      p.setPen(QColor(0x28, 0x34, 0x3f));
      p.setFont(bold);
      p.drawText(QRect(10, y, 290, 18), Qt::AlignLeft | Qt::AlignVCenter,
                 QFontMetrics(bold).elidedText(toQString(c.Title), Qt::ElideRight, 290));
      p.setFont(plain);
      p.drawText(QRect(420, y, 120, 18), Qt::AlignLeft | Qt::AlignVCenter,
                 QString::number(c.Completion) + msgText(369));
      p.drawText(QRect(10, y + 20, 530, 16), Qt::AlignLeft | Qt::AlignVCenter,
                 toQString(CourseTimesText(c)));
      const QRectF bar(310, y + 5, 103, 9);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(0xe4, 0xef, 0xd8));
      p.drawRoundedRect(bar, 4, 4);
      p.setBrush(QColor(0x2e, 0x8b, 0x57));
      p.drawRoundedRect(
          QRectF(bar.left(), bar.top(), bar.width() * c.Completion / 100.0, bar.height()), 4, 4);
      p.setPen(QColor(0xd8, 0xe6, 0xcb));
      p.drawLine(10, y + 44, width() - 10, y + 44);
      y += 52;
    }
  }

 private:
  const std::vector<CourseProgress>& courses_;
};

}  // namespace

TStatisticsView::TStatisticsView(TUser& user, std::filesystem::path lessonsFolder)
    : user_(user), lessons_(std::move(lessonsFolder)) {
  CancelVisible = false;
  OKInsteadOfNext = true;
}

TStatisticsView::~TStatisticsView() = default;

void TStatisticsView::Setup() {
  TCustomBookView::Setup();
  SetTitle(msgText(565));
  QWidget* page = Content();
  if (!page) return;
  page->setStyleSheet(studyStyleSheet() +
                      "QPushButton:focus, QComboBox:focus { border: 2px solid #1f5f3a; }"
                      "QPushButton[tab=\"true\"]:checked { background: white; color: #1f5f3a;"
                      "  border-bottom: 1px solid white; font-weight: bold; }");
  courses_ = StartedCourses(user_, lessons_);
  const SpeedUnit unit = LearnerSpeedUnit(user_);

  const QString tabNames[kPages] = {msgText(1974), msgText(1133), msgText(1975)};
  for (int i = 0; i < kPages; ++i) {
    QPushButton* tab = makeButton(page, QString("Tab%1").arg(i), tabNames[i]);
    tab->setProperty("tab", true);
    tab->setCheckable(true);
    tab->setFocusPolicy(Qt::StrongFocus);
    tab->setGeometry(24 + i * 126, 66, 122, 30);
    connect(tab, &QPushButton::clicked, this, [this, i] { ShowPage(i); });
    tabs_[i] = tab;
  }
  // The card ends above the round OK button of the book's corner.
  QFrame* card = makeCard(page, QRect(20, 95, 562, kCardHeight), "GraphCard");
  pages_ = new QStackedWidget(card);
  pages_->setGeometry(2, 2, 558, kCardHeight - 4);
  pages_->setStyleSheet("background: transparent;");
  const QString captions[4] = {msgText(367) + unitCaption(unit) + ")",
                               msgText(368) + unitCaption(unit) + ")", msgText(1133) + " (%)",
                               msgText(1669)};
  for (int g = 0; g < 4; ++g) {
    if (g % 2 == 0) pages_->addWidget(new QWidget);
    QWidget* holder = pages_->widget(g / 2);
    const int top = g % 2 == 0 ? kGraphTops[0] : kGraphTops[1];
    captions_[g] = makeLabel(holder, captions[g], 9, true, "#1f5f3a");
    captions_[g]->setGeometry(14, top - 20, 520, 18);
    graphs_[g] = new TGraph(holder);
    graphs_[g]->setObjectName(QString("Graph%1").arg(g));
  }
  for (int i = 0; i < 2; ++i) {
    // Said plainly when the course has no results yet.
    empty_[i] = makeLabel(pages_->widget(i), msgText(1972), 10, false, "#3c4a3c");
    empty_[i]->setObjectName("NoResultsLbl");
    empty_[i]->setWordWrap(true);
    empty_[i]->setAlignment(Qt::AlignCenter);
    empty_[i]->setGeometry(90, 70, 380, 60);
    empty_[i]->setStyleSheet(
        "background: rgba(255,255,255,220); color: #3c4a3c;"
        "border: 1px solid #b9d3a0; border-radius: 8px;");
  }
  pages_->addWidget(buildInfoPage());
  buildCourseList(page);

  reportBtn_ = makeButton(page, "ReportBtn", "&" + msgText(547), ButtonRole::Primary);
  reportBtn_->setFocusPolicy(Qt::StrongFocus);
  reportBtn_->setGeometry(20, 480, 162, 34);
  connect(reportBtn_, &QPushButton::clicked, this, [this] { Report(); });
  exportBtn_ = makeButton(page, "ExportBtn", msgText(1970));
  exportBtn_->setFocusPolicy(Qt::StrongFocus);
  exportBtn_->setGeometry(188, 481, 216, 32);
  fitButtonText(exportBtn_, 7);
  connect(exportBtn_, &QPushButton::clicked, this, [this] { ExportResults(); });
  exportLbl_ = makeLabel(page, QString(), 8, false, "#3c4a3c");
  exportLbl_->setObjectName("ExportLbl");
  exportLbl_->setWordWrap(true);
  exportLbl_->setGeometry(20, 518, 384, 18);

  int chosen = 0;
  const std::string current = user_.ReadString("ContentsFile");
  for (size_t i = 0; i < courses_.size(); ++i)
    if (sameText(courses_[i].File, current)) chosen = static_cast<int>(i);
  ChooseCourse(courses_.empty() ? -1 : chosen);
  ShowPage(0);
}

void TStatisticsView::buildCourseList(QWidget* page) {
  courseBox_ = new QComboBox(page);
  courseBox_->setObjectName("CourseList");
  courseBox_->setFocusPolicy(Qt::StrongFocus);
  courseBox_->setGeometry(406, 66, 176, 28);
  courseBox_->setToolTip(msgText(1118));
  courseBox_->setAccessibleName(msgText(1118));
  for (const CourseProgress& c : courses_) courseBox_->addItem(toQString(c.Title));
  // With fewer than two courses there is nothing to choose.
  courseBox_->setVisible(courses_.size() >= 2);
  connect(courseBox_, &QComboBox::activated, this, [this](int i) { ChooseCourse(i); });
  completeLbl_ = makeLabel(page, QString(), 8, false, "#28343f");
  completeLbl_->setObjectName("CompleteCourseLbl");
  completeLbl_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  completeLbl_->setGeometry(410, 474, 104, 62);
}

QWidget* TStatisticsView::buildInfoPage() {
  auto* info = new CourseInfoList(courses_, nullptr);
  if (courses_.empty()) {
    auto* none = makeLabel(info, msgText(1973), 10, false, "#3c4a3c");
    none->setWordWrap(true);
    none->setGeometry(20, 20, 520, 60);
  }
  return info;
}

void TStatisticsView::ChooseCourse(int index) {
  course_ = index;
  const bool any = index >= 0 && index < static_cast<int>(courses_.size());
  const std::string id = any ? courses_[static_cast<size_t>(index)].Id : std::string();
  const SpeedUnit unit = LearnerSpeedUnit(user_);
  const CourseProgress* c = any ? &courses_[static_cast<size_t>(index)] : nullptr;
  const bool goal = c && c->GoalAccuracy > 0;
  const TResults& results = user_.Results();
  GraphModel models[4] = {
      TCourseGraphs::SpeedGraph(results, "GrossSpeed", id, goal, false, unit),
      TCourseGraphs::SpeedGraph(results, "NetSpeed", id, goal, false, unit),
      TCourseGraphs::AccuracyGraph(results, id, c ? c->GoalAccuracy : 0),
      TCourseGraphs::DifficultKeysGraph(user_.Difficulties().LessonDifficulties, kDifficultKeys, 0,
                                        std::string(), c ? c->LimitedChars : std::string())};
  for (int g = 0; g < 4; ++g) {
    models[g].Left = 10;
    models[g].Top = g % 2 == 0 ? kGraphTops[0] : kGraphTops[1];
    models[g].Height = kGraphHeight;
    graphs_[g]->SetModel(models[g]);
  }
  const bool hasResults = any && !results.MeasureSeries("GrossSpeed", id).empty();
  for (QLabel* e : empty_) {
    e->setVisible(!hasResults);
    e->raise();
  }
  if (courseBox_ && any) courseBox_->setCurrentIndex(index);
  if (completeLbl_) {
    // The course's title in two lines at most, all of it in the description when cut.
    QFont bold = completeLbl_->font();
    bold.setBold(true);
    const QString title = c ? toQString(c->Title) : QString();
    const QStringList lines = wrappedLines(title, bold, completeLbl_->width() - 2, 2);
    QStringList shown;
    for (const QString& line : lines) shown << line.toHtmlEscaped();
    completeLbl_->setText(c ? "<b>" + shown.join("<br>") + "</b><br>" +
                                  QString::number(c->Completion) + msgText(369)
                            : msgText(1973));
    completeLbl_->setWordWrap(!c);
    completeLbl_->setAccessibleDescription(lines.join(' ') != title ? title : QString());
  }
}

void TStatisticsView::ShowPage(int page) {
  page_ = std::clamp(page, 0, kPages - 1);
  if (pages_) pages_->setCurrentIndex(page_);
  for (int i = 0; i < kPages; ++i) {
    if (tabs_[i]) tabs_[i]->setChecked(i == page_);
  }
  // The progress report belongs with the courses' progress: its button is on that page only.
  if (reportBtn_) reportBtn_->setVisible(page_ == kPages - 1);
}

bool TStatisticsView::KeyDown(QKeyEvent* event) {
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  if ((ctrl && event->key() == Qt::Key_Tab) || event->key() == Qt::Key_PageDown) {
    ShowPage((page_ + 1) % kPages);
    return true;
  }
  if ((ctrl && event->key() == Qt::Key_Backtab) || event->key() == Qt::Key_PageUp) {
    ShowPage((page_ + kPages - 1) % kPages);
    return true;
  }
  if (event->key() >= Qt::Key_1 && event->key() < Qt::Key_1 + kPages) {
    ShowPage(event->key() - Qt::Key_1);
    return true;
  }
  return TCustomBookView::KeyDown(event);
}

void TStatisticsView::Report() {
  sound().play(SoundId::Click);
  Reports().ProgressReport(user_, policy("DisablePDF"), policy("DisablePrintReport"));
}

void TStatisticsView::ExportResults() {
  const QString file = QFileDialog::getSaveFileName(Content(), msgText(1970).remove('&'),
                                                    "results.csv", "CSV (*.csv)");
  if (file.isEmpty()) return;
  std::string cause;
  if (ExportResultsCsv(user_, toPath(file), cause)) {
    exportLbl_->setText(msgText(1971) + QDir::toNativeSeparators(file));
    return;
  }
  // The label keeps the name as written; the box can only show what 1252 has.
  const QString error = msgText(2650) + QDir::toNativeSeparators(file) + ": " + toQString(cause);
  exportLbl_->setText(error);
  dialogs().messageBox(toCp1252(error), Localize().GetStringDefault(1), BoxKind::Error);
}

}  // namespace ks
