// The typing test of the menu: the test the teacher assigned to the learner or to the group,
// else the learner's own choice, again and again until the learner leaves the page.
#pragma once

#include <string>

namespace ks {

class TPartHost;
class TUser;

class TTypingTest {
 public:
  explicit TTypingTest(TUser& user) : user_(user) {}
  // Runs tests until one closes with 0 (a tab or Exit chosen, or a named text missing).
  int RunTypingTest();

 private:
  enum class Assigned { None, Learner, Group };
  // The assigned test to take now, announced in a box: its reference and seconds.
  Assigned nextAssigned(std::string& reference, int& seconds);

  TUser& user_;
  bool learnerTestTaken_ = false;
};

// Registers the "TEST" event with the event views (courses' test lines run it).
void registerTestEvent();
// registerTestEvent, and the "Test" tab with the frame.
void registerTypingTest(TPartHost& frame);

}  // namespace ks
