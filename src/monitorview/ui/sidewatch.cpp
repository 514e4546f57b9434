#include "monitorview/ui/sidewatch.h"

#include <QApplication>

#include "book/bookwindow.h"
#include "book/pagestyle.h"
#include "book/parthost.h"
#include "content/eventloader.h"
#include "content/policy.h"
#include "content/reviewcourse.h"
#include "content/tempfiles.h"
#include "content/ui/studyingparts.h"
#include "engine/indexes.h"
#include "monitor/ui/chooseapps.h"
#include "monitorview/sidewatchsetup.h"
#include "monitorview/ui/monitorcontrol.h"
#include "monitorview/ui/sidewatchview.h"
#include "monitorview/ui/sidewatchwiz.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/paths.h"
#include "store/langres.h"
#include "store/user.h"
#include "text/numbers.h"

namespace ks {
namespace {

constexpr uint16_t kMonitorAndOwnWords = wsMonitor | wsUser;
constexpr int kPracticeWords = 20;

void info(const std::string& text) {
  dialogs().messageBox(text, Localize().GetStringDefault(1), BoxKind::Information);
}

// While the section is open, queries of the key statistics answer from the monitor's set.
struct MonitorKeySet {
  explicit MonitorKeySet(TUser& user) : user_(user) { user_.UseKeySet(1); }
  ~MonitorKeySet() { user_.UseKeySet(0); }
  TUser& user_;
};

}  // namespace

TSidewatch::TSidewatch(TPartHost& host, TUser& user)
    : host_(host), user_(user), screens_(std::make_unique<StudyingScreensQt>(host, user)) {}

TSidewatch::~TSidewatch() = default;

bool TSidewatch::leaving() const {
  return !host_.ActiveTab.isEmpty() || host_.ExitRequested || appTerminating();
}

int TSidewatch::Run() {
  MonitorKeySet keySet(user_);
  MonitorRemote& control = monitorControl();
  // Where the monitor cannot watch, the page says so instead of setting up a blind monitor.
  const bool ready = control.Running() && SidewatchSetup::AccountBool("SidewatchInit.");
  if (!ready && (control.CanWatchHere() || control.Running())) {
    if (TSidewatchWiz(user_).Run() == 0) return 1;
  }
  int mode = 1;
  int result = 1;
  do {
    TSidewatchView view(user_, host_.LearnerAnalyzer());
    if (user_.ReadString("SidewatchReview.LastDuration") != "")
      view.Duration = user_.ReadInteger("SidewatchReview.LastDuration");
    view.Mode = mode;
    view.StartOnStatistics = StartOnStatistics;
    StartOnStatistics = false;
    const int b = view.RunModal();
    mode = view.Mode;
    std::string argument;
    if (mode == 2) {
      argument = view.WordText;
    } else if (mode == 3) {
      argument = view.KeyText;
    } else {
      mode = 1;
      argument = intToStr(view.Duration);
      user_.WriteInteger("SidewatchReview.LastDuration", view.Duration);
    }
    switch (b) {
      case TSidewatchView::Leave:
        result = 0;
        break;
      case TSidewatchView::Settings:
        ShowMonitorSettings(user_);
        result = 5;
        break;
      case TSidewatchView::Practice:
        result = Practice(mode, argument);
        break;
      case TSidewatchView::Again:
        result = 5;
        break;
      case TSidewatchView::Wizard:
        result = TSidewatchWiz(user_).Run();
        break;
      default:
        return 1;
    }
    host_.Window().SetTitle(msgText(567));
  } while (result != 0 && !leaving());
  return result;
}

int TSidewatch::Practice(int mode, const std::string& argument) {
  if (mode == 2) {
    wordPractice(argument);
  } else if (mode == 3) {
    keyPractice(argument);
  } else {
    customPractice(strToIntDef(argument, 10));
  }
  // Leaving a practice returns to the page; only a tab or the exit leaves the section.
  return leaving() ? 0 : 5;
}

void TSidewatch::customPractice(int minutes) {
  const TDifficultKeys& keys = user_.Difficulties().MonitorDifficulties;
  const bool collect = !user_.ReadBool("DoNotCollectWords");
  if (ProblemIndex(keys, collect ? &user_.Words() : nullptr) == 0)
    info(Localize().GetString(473) + "\r\r" + Localize().GetString(474));
  user_.WriteFloat("Sidewatch.LastpracticeDate", static_cast<float>(systemClock().now()));
  BuilderEventServices services = screens_->BuilderServices();
  TReviewContents review(*services.Rng, services.Env, ReviewSources{&keys, &user_.Words()},
                         CourseServices{&screens_->Learner(), services.Keyboard});
  if (!review.CreateReview(true, minutes) || review.Contents() == nullptr) return;
  TContents& course = *review.Contents();
  course.Bookmark.Chapter = 1;
  course.Bookmark.Exercise = 0;
  course.Bookmark.Event = 0;
  bool finished = false;
  screens_->RunCourse(course, finished);
}

void TSidewatch::wordPractice(std::string words) {
  if (words.empty()) {
    const std::vector<std::string> list = user_.Words().ListWords(kMonitorAndOwnWords, 0);
    for (size_t i = 0; i < list.size() && i < kPracticeWords; ++i) words += list[i] + " ";
  }
  const std::string line = WordPracticeLine(words);
  if (line.empty()) {
    info(Localize().GetString(475));
    return;
  }
  runEventLine(line);
}

void TSidewatch::keyPractice(const std::string& keys) {
  BuilderEventServices services = screens_->BuilderServices();
  TRevisionBuilder builder(*services.Rng, services.Env);
  builder.Wizard = policyString("SidewatchWizard");
  if (keys.empty() || builder.KeyDrill(keys, 99, false, 8) == 0 || builder.Lines.empty()) {
    info(Localize().GetString(476));
    return;
  }
  TempFileSet files;
  const std::filesystem::path file = files.Create("keys", ".txt", builder.Text() + "\r\n");
  if (file.empty()) {
    info(Localize().GetString(476));
    return;
  }
  runEventLine("Event;NewKeys;0;file:" + pathTo1252(file));
}

int TSidewatch::runEventLine(const std::string& line) {
  screens_->InstallEventServices();
  BuilderEventServices services = screens_->BuilderServices();
  TEventLoader loader(line);
  // Practice of the monitor's findings, as in a review: no bookmark, no stored result.
  loader.SaveResults = false;
  loader.ResultShowMode = 0;
  loader.KeyLevel = user_.KeyLevel();
  return loader.Execute(EventRuntime{*services.Factory, services.Presenter, &screens_->Learner()});
}

bool MonitorSettingsAvailable() {
  return true;
}

bool ShowMonitorSettings(TUser& user) {
  TChooseApplications dialog(false, QApplication::activeWindow());
  // Every program the monitor has seen is listed; which ones show and changing the learner
  // belong to the monitor itself, so the learner's own choice of view is kept for it.
  std::string viewChoice;
  const bool chosen = user.file().ReadString("AppListMode", viewChoice) == 1;
  user.WriteInteger("AppListMode", 2);
  for (const char* name : {"ViewActiveChk", "ViewAllChk", "LogoffBtn"})
    if (auto* w = dialog.findChild<QWidget*>(name)) w->setEnabled(false);
  TChooseApplications::About about;
  about.totalHits = user.ReadInt64("totalHits");
  about.monitoredHits = user.ReadInt64("monitoredHits");
  about.mouseClicks = user.ReadInt64("MouseClicks");
  dialog.run(user, about);
  user.WriteString("AppListMode", chosen ? viewChoice : "1");
  return true;
}

void registerSidewatch(TPartHost& frame) {
  frame.SetPart("Sidewatch", [](TPartHost& host) {
    if (host.User() == nullptr) return 0;
    TSidewatch section(host, *host.User());
    section.StartOnStatistics = host.StatisticsPage;
    host.StatisticsPage = false;
    return section.Run();
  });
}

}  // namespace ks
