#include "typingtest/ui/typingtest.h"

#include "book/formview.h"
#include "book/parthost.h"
#include "content/eventloader.h"
#include "content/studylearner.h"
#include "engine/ui/eventenv.h"
#include "engine/ui/viewfactory.h"
#include "platform/dialogs.h"
#include "store/langres.h"
#include "store/user.h"
#include "text/fields.h"
#include "text/numbers.h"
#include "text/textutil.h"
#include "typingtest/ui/testevent.h"

namespace ks {
namespace {

std::string text(int id) {
  return Localize().GetString(id);
}

// The box that announces an assigned test.
void announce(const std::string& title, int minutes, const std::string& message) {
  std::string box = title + "\r\r" + text(1370) + "\r\r" + text(1371) + " " +
                    (minutes == 0 ? text(1367) : intToStr(minutes) + " " + text(1368));
  if (!message.empty()) box += "\r\r" + text(1372) + "\r" + message;
  dialogs().messageBox(box, Localize().GetStringDefault(1), BoxKind::Information);
}

// Every key counts in a test: the lesson key set is emptied while it runs.
class KeySetAside {
 public:
  explicit KeySetAside(TDifficultKeys& keys) : keys_(keys), saved_(keys.KeySet()) {
    keys_.setKeySet("");
  }
  ~KeySetAside() { keys_.setKeySet(saved_); }
  KeySetAside(const KeySetAside&) = delete;
  KeySetAside& operator=(const KeySetAside&) = delete;

 private:
  TDifficultKeys& keys_;
  std::string saved_;
};

}  // namespace

TTypingTest::Assigned TTypingTest::nextAssigned(std::string& reference, int& seconds) {
  if (!learnerTestTaken_ && user_.ReadBool("Test.Enabled")) {
    learnerTestTaken_ = true;
    const int minutes = user_.ReadInteger("Test.Duration");
    announce(text(1369), minutes, user_.ReadString("Test.Message"));
    reference = user_.ReadString("Test.Name");
    seconds = minutes * 60;
    return Assigned::Learner;
  }
  TDynamicSettings* group = user_.Group();
  if (group && group->ReadBool("Test.Enabled") &&
      group->ReadString("Test.ID") != user_.ReadString("Test.LastGrpTestID")) {
    const int minutes = group->ReadInteger("Test.Duration");
    announce(text(1369) + " - " + std::string(trim(text(544))), minutes,
             group->ReadString("Test.Message"));
    reference = group->ReadString("Test.Name");
    seconds = minutes * 60;
    return Assigned::Group;
  }
  return Assigned::None;
}

int TTypingTest::RunTypingTest() {
  KeySetAside keys(user_.Difficulties().LessonDifficulties);
  UserLearner learner(user_);
  EventEnvironment& env = eventEnvironment();
  CourseLearner* previous = env.learner;
  if (env.learner == nullptr) env.learner = &learner;
  ViewEventFactory factory;
  int result;
  do {
    std::string reference = "ask:*.exm";
    int seconds = 0;
    const Assigned assigned = nextAssigned(reference, seconds);
    TEventLoader loader("Event=Test;" + intToStr(seconds) + ";" + escapeField(reference, ";") +
                        ";false;");
    loader.TimeLimit = seconds;
    loader.ResultSource = "NAME";
    loader.CancelVisible = false;
    TResultItem outcome;
    loader.Outcome = &outcome;
    // The test stores its own result; this loader only runs it.
    result = loader.Execute({factory, nullptr, nullptr});
    if (outcome.Kind == "TEST" && outcome.Complete && outcome.TypingSeconds > 10) {
      user_.WriteInteger("TypingTestsDoneCounter", user_.ReadInteger("TypingTestsDoneCounter") + 1);
      if (assigned == Assigned::Learner) user_.WriteBool("Test.Enabled", false);
      if (assigned == Assigned::Group && user_.Group()) {
        user_.WriteString("Test.LastGrpTestID", user_.Group()->ReadString("Test.ID"));
      }
      SaveUser(user_);
    }
  } while (result != 0 && !appTerminating());
  env.learner = previous;
  return result;
}

void registerTestEvent() {
  registerEventView("TEST", [](const std::string&, const std::string& line) {
    return std::make_unique<TTestEvent>(line);
  });
}

void registerTypingTest(TPartHost& frame) {
  registerTestEvent();
  frame.SetPart("Test", [](TPartHost& f) {
    if (f.User() == nullptr) return 0;
    TTypingTest test(*f.User());
    return test.RunTypingTest();
  });
}

}  // namespace ks
