#include "reports/ui/treports.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QProgressDialog>
#include <algorithm>
#include <array>
#include <cmath>

#include "book/uistyle.h"
#include "platform/clock.h"
#include "platform/desktop/qtext.h"
#include "platform/paths.h"
#include "reports/reportdata.h"
#include "reports/ui/previewform.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "store/typedtexts.h"
#include "store/user.h"
#include "text/dates.h"

namespace ks {
namespace {

constexpr int kWidth = TPreviewForm::kLogicalWidth;
constexpr int kHeight = TPreviewForm::kLogicalHeight;
// Logical units per inch: the page is drawn 8 inches wide.
constexpr double kUnitsPerPoint = 300.0 / 72.0;

QString msg(int id) {
  return toQString(Localize().GetString(id));
}

QString q(const std::string& s) {
  return toQString(s);
}

// Keeps the wait cursor while a report is built.
struct WaitCursor {
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

QFont reportFont(const QString& family, double points, bool bold) {
  QFont f = designFont(family, 10, bold);
  f.setPixelSize(static_cast<int>(std::lround(points * kUnitsPerPoint)));
  return f;
}

TReports& Reports() {
  static TReports reports;
  return reports;
}

void TReports::begin(TPreviewForm& preview) {
  preview_ = &preview;
  page_ = 1;
  cancelled_ = false;
  preview.Begin();
  preview.SetReportName(Title);
  header();
}

bool TReports::goOn(int notice, int done, int total) {
  if (cancelled_ || (Progress && !Progress(notice, done, total))) cancelled_ = true;
  return !cancelled_;
}

void TReports::header() {
  y_ = 150;
  const QFont bold = reportFont("Arial", 10, true);
  const QString left =
      Title + msg(1141) + q(shortDateText(systemClock().now())) + msg(1142) + msg(1);
  const int h = text(kMargin, left, bold);
  QPainter& p = preview_->Canvas();
  const int right = kWidth - (kMargin + 210);
  const QString number = msg(1143) + QString::number(page_);
  const QFontMetrics fm(bold);
  p.drawText(QRect(kMargin, y_, right - kMargin, h), Qt::AlignRight | Qt::AlignTop, number);
  const int width = fm.horizontalAdvance(number);
  preview_->AddText(QPointF(right - width, y_ + fm.ascent()), width, bold.pixelSize(), number);
  y_ += h + 20;
  p.setPen(QPen(Qt::black, 6));
  p.drawLine(kMargin, y_, kWidth - kMargin, y_);
  p.setPen(QPen(Qt::black, 1));
  y_ += 100;
}

void TReports::setY(int y) {
  y_ = y;
  if (y_ < kHeight - 150) return;
  QPainter& p = preview_->Canvas();
  const QFont font = p.font();
  ++page_;
  preview_->NewPage();
  header();
  preview_->Canvas().setFont(font);
}

int TReports::text(int x, const QString& s, const QFont& font) {
  QPainter& p = preview_->Canvas();
  p.setFont(font);
  p.setPen(Qt::black);
  const QFontMetrics fm(font);
  p.drawText(QPoint(x, y_ + fm.ascent()), s);
  // The return arrow has no place in the saved text's character set; a pilcrow says the same.
  QString words = s;
  words.replace(QChar(0x21B5), QChar(0xB6));
  preview_->AddText(QPointF(x, y_ + fm.ascent()), fm.horizontalAdvance(s), font.pixelSize(), words);
  return fm.height();
}

void TReports::titleLine(const QString& s, double points, int gap, int x) {
  const int h = text(x, s, reportFont("Arial", points, true));
  setY(y_ + h + gap);
}

void TReports::rule(int width) {
  QPainter& p = preview_->Canvas();
  p.setPen(QPen(Qt::black, width));
  p.drawLine(kMargin, y_, kWidth - kMargin, y_);
  p.setPen(QPen(Qt::black, 1));
  setY(y_ + 5);
}

void TReports::pair(int labelX, int valueX, const std::string& label, const std::string& value) {
  const int h = text(labelX, q(label), reportFont("Arial", 10, true));
  text(valueX, q(value), reportFont("Arial", 10));
  setY(y_ + h);
}

void TReports::run(bool pdfDisabled, bool printDisabled, bool notice,
                   const std::function<void(TPreviewForm&)>& draw) {
  QWidget* parent = QApplication::activeWindow();
  TPreviewForm preview(printDisabled, pdfDisabled, parent);
  {
    WaitCursor wait;
    std::unique_ptr<QProgressDialog> bar;
    if (notice) {
      bar = std::make_unique<QProgressDialog>(msg(1110), msg(2654), 0, 0, parent);
      bar->setObjectName("ReportProgress");
      bar->setWindowTitle(msg(547));
      bar->setWindowModality(Qt::ApplicationModal);
      bar->setMinimumDuration(0);
      bar->setAutoReset(false);
      bar->setAutoClose(false);
      bar->show();
      Progress = [&bar](int message, int done, int total) {
        bar->setLabelText(msg(message));
        bar->setMaximum(total);
        bar->setValue(std::min(done, total));
        // The notice paints, and its Cancel (or Escape) is heard, while the pages are drawn.
        QApplication::processEvents();
        return !bar->wasCanceled();
      };
    }
    draw(preview);
    Progress = nullptr;
  }
  if (cancelled_) return;
  preview.Execute();
}

void TReports::DrawProgress(TPreviewForm& preview, TUser& user,
                            const std::filesystem::path& lessons) {
  Title = msg(547);
  cancelled_ = false;
  if (!goOn(1110, 0, 0)) return;
  const ProgressReportData rep = GatherProgress(user, lessons);
  const SpeedUnit unit = LearnerSpeedUnit(user);
  int total = 0, done = 0;
  for (const ProgressReportData::Section& s : rep.Sections)
    total += static_cast<int>(s.Rows.size() + s.Tests.size());
  if (!goOn(1111, 0, total)) return;
  begin(preview);
  preview.SetTitle(q(rep.UserName));
  titleLine(q(rep.UserName), 14, 10);
  rule();
  setY(y_ + 15);
  // The values stand right of the widest label: some languages' labels are long.
  int labels = 0;
  for (const LabelValue& h : rep.Header)
    labels =
        std::max(labels, QFontMetrics(reportFont("Arial", 10, true)).horizontalAdvance(q(h.Label)));
  const int values = std::max(400, labels + 30);
  for (size_t i = 0; i < rep.Header.size(); ++i) {
    pair(kMargin, kMargin + values, rep.Header[i].Label, rep.Header[i].Value);
    if (i == 2) setY(y_ + 10);
  }
  const QFont plain = reportFont("Arial", 10), bold = reportFont("Arial", 10, true);
  // The exercise numbers stay whole: the other columns move right when they need more room
  // than their column has (there is room after the last one).
  int numbers = 0;
  for (const ProgressReportData::Section& s : rep.Sections)
    for (const ProgressReportData::Row& r : s.Rows)
      numbers = std::max(numbers, QFontMetrics(plain).horizontalAdvance(q(r[0])));
  std::array<int, ProgressReportData::kColumns> offsets = ProgressReportData::ColumnOffsets();
  const int shift = std::max(0, numbers + 20 - offsets[1]);
  for (size_t c = 1; c < offsets.size(); ++c) offsets[c] += shift;
  // A column whose values or longest heading word need more room than it has takes it from
  // columns with room to spare, so a heading is not cut inside a word.
  const QFontMetrics plainMetrics(plain), boldMetrics(bold);
  constexpr size_t kColumns = ProgressReportData::kColumns;
  std::array<int, kColumns> width{}, need{};
  for (size_t c = 0; c < kColumns; ++c) {
    width[c] = (c + 1 < kColumns ? offsets[c + 1] : kWidth - 2 * kMargin) - offsets[c];
    for (const QString& word : q(rep.Headings[c]).split(' '))
      need[c] = std::max(need[c], boldMetrics.horizontalAdvance(word) + 20);
    for (const ProgressReportData::Section& s : rep.Sections)
      for (const ProgressReportData::Row& r : s.Rows)
        need[c] = std::max(need[c], plainMetrics.horizontalAdvance(q(r[c])) + 20);
  }
  for (size_t c = 1; c < kColumns; ++c) {
    for (size_t k = 1; k < kColumns && width[c] < need[c]; ++k) {
      const int give = k == c ? 0 : std::min(need[c] - width[c], width[k] - need[k]);
      if (give <= 0) continue;
      width[k] -= give;
      width[c] += give;
    }
  }
  for (size_t c = 1; c < kColumns; ++c) offsets[c] = offsets[c - 1] + width[c - 1];
  const auto row = [&](const ProgressReportData::Row& cells, const QFont& font, bool wrap) {
    int h = 0;
    const int top = y_;
    const QFontMetrics fm(font);
    for (size_t c = 0; c < cells.size(); ++c) {
      // A text wider than its column ends in an ellipsis instead of running into the next.
      const int room = c + 1 < cells.size() ? offsets[c + 1] - offsets[c] - 15 : 2400;
      QString cell = q(cells[c]), rest;
      if (wrap && fm.horizontalAdvance(cell) > room) {
        // A heading too wide for its column goes on two lines rather than losing its end.
        qsizetype cut = cell.indexOf(' ');
        for (qsizetype at = cut; at > 0; at = cell.indexOf(' ', at + 1))
          if (fm.horizontalAdvance(cell.left(at)) <= room) cut = at;
        if (cut > 0) rest = cell.mid(cut + 1), cell = cell.left(cut);
      }
      const int x = kMargin + offsets[c];
      int height = text(x, fm.elidedText(cell, Qt::ElideRight, room), font);
      if (!rest.isEmpty()) {
        y_ = top + height;
        height += text(x, fm.elidedText(rest, Qt::ElideRight, room), font);
        y_ = top;
      }
      h = std::max(h, height);
    }
    setY(y_ + h);
  };
  for (const ProgressReportData::Section& s : rep.Sections) {
    setY(y_ + 80);
    titleLine(q(s.Title), 11, 10);
    rule();
    setY(y_ + 15);
    if (s.Course) {
      row(rep.Headings, bold, true);
      for (const ProgressReportData::Row& r : s.Rows) {
        row(r, plain, false);
        if (++done % 10 == 0 && !goOn(1111, done, total)) break;
      }
    } else {
      for (const TResultItem& t : s.Tests) {
        if (++done % 10 == 0 && !goOn(1111, done, total)) break;
        setY(y_ + 20);
        titleLine(q(TestHeading(t)), 10, 5);
        const auto figures = TestFigures(t, unit);
        for (int line = 0; line < 3; ++line) {
          const int labels[] = {70, 840, 1520}, values[] = {340, 1170, 1860};
          int h = 0;
          for (int col = 0; col < 3; ++col) {
            const LabelValue& f = figures[static_cast<size_t>(line * 3 + col)];
            h = std::max(h, text(kMargin + labels[col], q(f.Label), bold));
            text(kMargin + values[col], q(f.Value), plain);
          }
          setY(y_ + h);
        }
      }
    }
    if (cancelled_) break;
    setY(y_ + 15);
    rule();
    if (s.Course) titleLine(q(s.Footer), 10, 0);
  }
  preview.Finish();
}

void TReports::ProgressReport(TUser& user, bool pdfDisabled, bool printDisabled) {
  const std::filesystem::path lessons =
      ProgramSettings ? ProgramSettings->lessonsPath() : std::filesystem::path();
  run(pdfDisabled, printDisabled, true, [&](TPreviewForm& p) { DrawProgress(p, user, lessons); });
}

void TReports::drawTypedText(TUser& user, const TResultItem& test) {
  TTypedTexts texts;
  // A missing file leaves the text part empty.
  if (texts.Load(pathTo1252(user.TypedTextPath(test.Number))) != 1) return;
  const QFont plain = reportFont("Courier New", 10);
  QFont wrong = reportFont("Courier New", 10, true);
  wrong.setUnderline(true);
  const QFont expected = reportFont("Courier New", 10, true);
  QFont missing = expected;
  missing.setStrikeOut(true);
  const QFont symbols = reportFont("DejaVu Sans", 10, true);
  const int lineHeight = QFontMetrics(plain).height();
  const int blank = QFontMetrics(plain).horizontalAdvance(' ');
  int x = kMargin;
  for (const TextRun& run : MarkTypedText(texts)) {
    if (run.LineBreak) {
      setY(y_ + lineHeight);
      x = kMargin;
    }
    QString word;
    const QFont* font = &plain;
    switch (run.Kind) {
      case TextRun::Plain:
        word = q(run.Text);
        break;
      case TextRun::Wrong:
        font = &wrong, word = q(run.Text);
        break;
      case TextRun::Expected:
        font = &expected, word = q(run.Text);
        break;
      case TextRun::Missing:
        font = &missing, word = q(run.Text);
        break;
      case TextRun::ReturnMark:
        font = &symbols, word = QString("[") + QChar(0x21B5) + "]";
        break;
    }
    if (word.isEmpty()) continue;
    const int w = QFontMetrics(*font).horizontalAdvance(word);
    if (x > kMargin && x + w > kWidth - kMargin) {
      setY(y_ + lineHeight);
      x = kMargin;
    }
    text(x, word, *font);
    x += w + blank;
  }
  setY(y_ + lineHeight);
}

void TReports::DrawResult(TPreviewForm& preview, TUser& user, const TResultItem& test) {
  const SpeedUnit unit = LearnerSpeedUnit(user);
  Title = msg(1451);
  begin(preview);
  preview.SetTitle(q(user.UserName()));
  setY(y_ + 100);
  titleLine(msg(1453) + " - " + msg(test.Passed ? 1672 : 1673), 12, 30, 200);
  const auto f = TestFigures(test, unit);
  const std::string result = Localize().GetString(test.Passed ? 1672 : 1673);
  const LabelValue pairs[] = {{Localize().GetString(462), user.UserName()},
                              {Localize().GetString(1392), test.TestName},
                              f[0],
                              {Localize().GetString(1452), result},
                              f[3],
                              f[1],
                              f[2],
                              f[4],
                              f[5],
                              f[7],
                              f[8]};
  for (const LabelValue& p : pairs) pair(200, 600, p.Label, p.Value);
  setY(y_ + 80);
  titleLine(msg(1455), 10, 20);
  drawTypedText(user, test);
  preview.Finish();
}

void TReports::ResultReport(TUser& user, const TResultItem& test, bool pdfDisabled,
                            bool printDisabled) {
  run(pdfDisabled, printDisabled, false, [&](TPreviewForm& p) { DrawResult(p, user, test); });
}

void TReports::DrawCertificate(TPreviewForm& preview, TUser& user, const TResultItem& test) {
  const SpeedUnit unit = LearnerSpeedUnit(user);
  Title = msg(1063);
  begin(preview);
  preview.SetTitle(q(user.UserName()));
  setY(y_ + 300);
  titleLine(q(user.UserName()), 16, 100, 450);
  const int h = text(450, msg(1064), reportFont("Arial", 12));
  setY(y_ + h);
  text(450, msg(1065), reportFont("Arial", 12));
  setY(y_ + h + 100);
  const auto f = TestFigures(test, unit);
  const LabelValue pairs[] = {{Localize().GetString(1392), test.TestName},
                              f[0],
                              f[3],
                              f[6],
                              f[1],
                              f[4],
                              f[7],
                              f[2],
                              f[5],
                              f[8]};
  for (const LabelValue& p : pairs) pair(450, 850, p.Label, p.Value);
  preview.Finish();
}

void TReports::Certificate(TUser& user, const TResultItem& test, bool pdfDisabled,
                           bool printDisabled) {
  run(pdfDisabled, printDisabled, false, [&](TPreviewForm& p) { DrawCertificate(p, user, test); });
}

}  // namespace ks
