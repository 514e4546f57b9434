// Printing through a real print queue: a scheduler of the test's own (cupsd with its own
// configuration, spool and socket in a temporary folder, started and stopped by its pid) with a
// cups-pdf printer whose paper is Letter. The reports go the way the Print button sends them:
// the system's printer list, the print dialog, the queue; what the printer writes is checked.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>
#include <chrono>
#include <fstream>
#include <thread>

#include "pdftools.h"
#include "reportpages.h"

extern char** environ;

namespace ks {
namespace {

namespace fs = std::filesystem;

void writeText(const fs::path& file, const std::string& text) {
  std::ofstream(file) << text;
}

// The scheduler, the queue and the folder cups-pdf writes into, for every test of the program.
class PrintQueue {
 public:
  // Empty when it runs; otherwise why not.
  std::string Start() {
    if (::geteuid() != 0) return "cups-pdf runs only under a scheduler started as root";
    if (!fs::exists("/usr/sbin/cupsd") || !fs::exists("/usr/lib/cups/backend/cups-pdf"))
      return "cupsd or cups-pdf is not installed (scripts/deps.sh test installs them)";
    // A short name: the socket's path must fit a socket address.
    char pattern[] = "/tmp/kscups.XXXXXX";
    if (::mkdtemp(pattern) == nullptr) return "no temporary folder";
    dir_ = pattern;
    // The filters run as the scheduler's user "lp": they need to reach their folders.
    fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    for (const char* sub : {"spool", "tmp", "state", "cache", "log", "out"})
      fs::create_directories(dir_ / sub);
    fs::permissions(dir_ / "tmp", fs::perms::all | fs::perms::sticky_bit);
    fs::permissions(dir_ / "out", fs::perms::all | fs::perms::sticky_bit);
    const std::string d = dir_.string();
    socket_ = d + "/cups.sock";
    writeText(dir_ / "cupsd.conf", "LogLevel info\nListen " + socket_ +
                                       "\nBrowsing No\nWebInterface No\nDefaultAuthType None\n"
                                       "PreserveJobFiles Yes\n"
                                       "<Location />\n Order allow,deny\n Allow all\n</Location>\n"
                                       "<Policy default>\n <Limit All>\n  Order deny,allow\n"
                                       " </Limit>\n</Policy>\n");
    writeText(dir_ / "cups-files.conf",
              "ServerRoot " + d + "\nRequestRoot " + d + "/spool\nTempDir " + d + "/tmp\n" +
                  "StateDir " + d + "/state\nCacheDir " + d + "/cache\nServerBin /usr/lib/cups\n" +
                  "DataDir /usr/share/cups\nAccessLog " + d + "/log/access_log\nErrorLog " + d +
                  "/log/error_log\nPageLog " + d + "/log/page_log\nPrintcap " + d +
                  "/printcap\nSandboxing Relaxed\nSystemGroup root\n");
    // cups-pdf reads the configuration named by its queue from its own folder; this one sends
    // the pages into ours.
    queue_ = "kstest" + std::to_string(::getpid());
    pdfConf_ = "/etc/cups/cups-pdf-" + queue_ + ".conf";
    writeText(pdfConf_, "Out " + d + "/out\nAnonDirName " + d + "/out\nSpool " + d + "/tmp\n");
    if (!fs::exists(pdfConf_)) return "cannot write " + pdfConf_.string();

    const std::string conf = d + "/cupsd.conf", files = d + "/cups-files.conf";
    const char* argv[] = {"/usr/sbin/cupsd", "-f",   "-c", conf.c_str(), "-s",
                          files.c_str(),     nullptr};
    if (::posix_spawn(&pid_, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
      return "cupsd cannot be started";
    for (int i = 0; i < 100 && !fs::exists(socket_); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (!fs::exists(socket_)) return "cupsd did not start: " + log();
    ::setenv("CUPS_SERVER", socket_.c_str(), 1);
    const std::string ppd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";
    int status = 0;
    test::run("lpadmin -p " + queue_ + " -E -v cups-pdf:/" + queue_ + " -P " + ppd +
                  " -o PageSize=Letter 2>&1 && lpadmin -d " + queue_,
              &status);
    if (status != 0) return "the queue could not be set up: " + log();
    return {};
  }

  void Stop() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
      pid_ = 0;
    }
    std::error_code ec;
    if (!pdfConf_.empty()) fs::remove(pdfConf_, ec);
    if (!dir_.empty()) fs::remove_all(dir_, ec);
  }

  // Waits until the queue has nothing left to do and cups-pdf has written its file; returns
  // that file (empty after a minute without one).
  fs::path WaitForPdf() {
    for (int i = 0; i < 600; ++i) {
      const bool busy = !test::run("lpstat -W not-completed -o " + queue_).empty();
      std::error_code ec;
      for (const auto& e : fs::directory_iterator(dir_ / "out", ec))
        if (!busy && e.path().extension() == ".pdf") return e.path();
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ADD_FAILURE() << "no page arrived: " << log();
    return {};
  }

  // The document the queue received for its last job, as the program handed it over.
  fs::path LastJobDocument() const {
    fs::path last;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir_ / "spool", ec)) {
      const std::string name = e.path().filename().string();
      if (name.size() > 1 && name[0] == 'd' && (last.empty() || name > last.filename().string()))
        last = e.path();
    }
    return last;
  }

  void ClearOutput() {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir_ / "out", ec)) fs::remove(e.path(), ec);
  }

  std::string log() const {
    return test::run("tail -n 20 '" + (dir_ / "log" / "error_log").string() + "'");
  }

  const std::string& Queue() const { return queue_; }

 private:
  fs::path dir_, pdfConf_;
  std::string socket_, queue_;
  pid_t pid_ = 0;
};

PrintQueue* queue = nullptr;
std::string whyNot;

class PrintedReports : public test::ReportPages {
 protected:
  static void SetUpTestSuite() {
    queue = new PrintQueue;
    whyNot = queue->Start();
  }
  static void TearDownTestSuite() {
    queue->Stop();
    delete queue;
    queue = nullptr;
  }
  void SetUp() override {
    ReportPages::SetUp();
    if (!whyNot.empty()) GTEST_SKIP() << "no private print queue: " << whyNot;
    queue->ClearOutput();
  }

  // Presses Print as the learner does: the dialog opens on the report's paper and is accepted.
  // Returns the paper the dialog showed.
  static QPageSize::PageSizeId print(TPreviewForm& preview) {
    QPageSize::PageSizeId paper = QPageSize::Custom;
    QTimer::singleShot(500, [&paper] {
      if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
        paper = dialog->printer()->pageLayout().pageSize().id();
        dialog->accept();
      }
    });
    preview.Print();
    return paper;
  }
  // The words of the job the queue received. What cups-pdf writes has been through PostScript
  // and Ghostscript, which keep the pages and their look but not the fonts' character maps.
  static std::string jobText() {
    return test::run("pdftotext -enc UTF-8 '" + queue->LastJobDocument().string() + "' -");
  }
};

TEST_F(PrintedReports, TheProgressReportArrivesWithItsPagesAndWordsOnTheQueuesPaper) {
  for (int i = 0; i < 80; ++i) addExercise("AAA", i, 150, 95);
  TPreviewForm preview(false, false);
  reports_.DrawProgress(preview, *user_, lessons());
  ASSERT_TRUE(preview.PrinterAvailable());
  EXPECT_EQ(preview.PageSize().id(), QPageSize::Letter) << "the printer's paper, not the locale's";
  EXPECT_EQ(QPrinter().printerName().toStdString(), queue->Queue());
  EXPECT_EQ(print(preview), QPageSize::Letter);
  const fs::path pdf = queue->WaitForPdf();
  ASSERT_FALSE(pdf.empty());
  if (qEnvironmentVariableIsSet("KS_SCREENSHOT_DIR"))
    fs::copy_file(pdf, qEnvironmentVariable("KS_SCREENSHOT_DIR").toStdString() + "/printed.pdf",
                  fs::copy_options::overwrite_existing);
  EXPECT_EQ(test::pdfPageCount(pdf), preview.PageCount());
  EXPECT_NE(test::run("pdfinfo '" + pdf.string() + "'").find("612 x 792"), std::string::npos);
  const std::string words = jobText();
  for (const char* word : {"Progress report", "Ann", "Home row", "1.1", "Page 2"})
    EXPECT_NE(words.find(word), std::string::npos) << word << "\n" << words;
}

TEST_F(PrintedReports, TheCertificateArrivesOnOnePage) {
  TPreviewForm preview(false, false);
  reports_.DrawCertificate(preview, *user_, addTest());
  EXPECT_EQ(print(preview), QPageSize::Letter);
  const fs::path pdf = queue->WaitForPdf();
  ASSERT_FALSE(pdf.empty());
  EXPECT_EQ(test::pdfPageCount(pdf), 1);
  EXPECT_NE(test::run("pdfinfo '" + pdf.string() + "'").find("612 x 792"), std::string::npos);
  const std::string words = jobText();
  EXPECT_NE(words.find("Ann"), std::string::npos) << words;
  EXPECT_NE(words.find("Alice"), std::string::npos) << words;
}

}  // namespace
}  // namespace ks
