// What a part of the program sees of the program around it: the window, the learner, and the
// requests that end the part. Views register their parts here, so they never include the shell
// that assembles them.
#pragma once

#include <QString>
#include <functional>

namespace ks {

class Analyzer;
class TBookFormEx;
class TUser;

class TPartHost {
 public:
  virtual ~TPartHost() = default;

  // A part of the program that a tab runs; returns its close result.
  using Part = std::function<int(TPartHost&)>;
  virtual void SetPart(const QString& tab, Part part) = 0;

  virtual TBookFormEx& Window() = 0;
  virtual TUser* User() = 0;
  virtual Analyzer* LearnerAnalyzer() = 0;

  // The tab the learner chose while a part ran (empty while none), and the wish to leave.
  QString ActiveTab;
  bool ExitRequested = false;
  bool StatisticsPage = false;
};

}  // namespace ks
