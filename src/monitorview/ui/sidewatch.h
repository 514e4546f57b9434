// The tutor's monitor section: the first-use wizard when the monitor is not set up or not
// running, then the monitor page again and again, with the practice it asks for in between.
#pragma once

#include <memory>
#include <string>

namespace ks {

class StudyingScreensQt;
class TPartHost;
class TUser;

class TSidewatch {
 public:
  TSidewatch(TPartHost& host, TUser& user);
  ~TSidewatch();

  // 1: back to the tutor's navigation; 0: leave.
  int Run();
  // Builds and runs the practice of `mode` (1 customised, 2 words, 3 keys).
  int Practice(int mode, const std::string& argument);

  bool StartOnStatistics = false;

 private:
  void customPractice(int minutes);
  void wordPractice(std::string words);
  void keyPractice(const std::string& keys);
  int runEventLine(const std::string& line);
  bool leaving() const;

  TPartHost& host_;
  TUser& user_;
  std::unique_ptr<StudyingScreensQt> screens_;
};

// Registers the "Sidewatch" tab.
void registerSidewatch(TPartHost& frame);

}  // namespace ks
