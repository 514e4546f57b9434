#include "content/builderevent.h"

#include <algorithm>

#include "analysis/diffkeys.h"
#include "analysis/keydataext.h"
#include "content/courseservices.h"
#include "content/eventline.h"
#include "content/eventloader.h"
#include "platform/dialogs.h"
#include "store/dynamicsettings.h"
#include "store/errors.h"
#include "store/langres.h"
#include "store/resultitem.h"
#include "text/fields.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {
namespace {

bool isLetter(unsigned char c) {
  return upperChar(c) != lowerChar(c);
}

bool isCapital(unsigned char c) {
  return isLetter(c) && upperChar(c) == c;
}

bool isDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}

// Letters, digits, ".", "," and "'": keys a text can be built for.
bool isTextKey(unsigned char c) {
  return isLetter(c) || isDigit(c) || c == '.' || c == ',' || c == '\'';
}

std::string distinctChars(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (out.find(c) == std::string::npos) out += c;
  }
  return out;
}

void warn(const std::string& text) {
  dialogs().messageBox(text, Localize().GetStringDefault(1), BoxKind::Warning);
}

// Finds the events the builder runs by the keyword table, so their rows stay in one place.
std::unique_ptr<LessonEvent> createEvent(EventFactory* factory, const char* keyword,
                                         const std::string& line) {
  const EventKeyword* kw = FindEventKeyword(keyword);
  if (factory == nullptr || kw == nullptr) return nullptr;
  return factory->Create(*kw, line);
}

}  // namespace

std::string withoutCapitals(const std::string& keys) {
  std::string out;
  for (char c : keys) {
    if (!isCapital(static_cast<unsigned char>(c))) out += c;
  }
  return out;
}

std::string studiedKeysText(CourseLearner& learner, int level) {
  const std::string group = learner.KeyGroup(level);
  std::string text = withoutCapitals(group);
  if (text.empty()) {
    for (char c : group) {
      if (isTextKey(static_cast<unsigned char>(c))) text += c;
    }
    if (text.size() > 4) text.resize(3);
  }
  if (text.empty() && level > 1) text = withoutCapitals(learner.KeyGroup(level - 1));
  return text;
}

int levelCovering(CourseLearner& learner, const std::string& keys, int level) {
  for (char key : keys) {
    const int start = level;
    while (learner.KeyGroup(level).find(key) == std::string::npos) {
      if (++level > 98) {
        level = start == 1 ? 99 : start;
        break;
      }
    }
  }
  return level;
}

bool layoutTypes(TKeyDataExt& layout, const std::string& keys) {
  for (char c : keys) {
    if (c == '.' || c == ' ' || layout.findKey(std::string_view(&c, 1)).key != nullptr) continue;
    const DeadKey dead = layout.findDeadKey(c);
    if (dead.accent.key == nullptr ||
        layout.findKey(std::string_view(&dead.base, 1)).key == nullptr) {
      return false;
    }
  }
  return true;
}

int builderDrillMinutes(int keyCount) {
  if (keyCount <= 0) return 0;
  return static_cast<int>(roundHalfEvenDiv(2 * int64_t{keyCount} + 4, 3));
}

TBuilderEvent::TBuilderEvent(const std::string& line, BuilderEventServices services)
    : line_(line), services_(std::move(services)) {}

std::string TBuilderEvent::keysUpTo(int level) const {
  CourseLearner* learner = services_.Env.Learner;
  return learner != nullptr ? learner->KeysUpTo(level) : std::string();
}

int TBuilderEvent::chooseKeys(const EventHandover& h, int lessonLevel) {
  CourseLearner* learner = services_.Env.Learner;
  std::string difficult;
  if (services_.Difficulties != nullptr) {
    difficult = services_.Difficulties->getTopKeys(4, TDifficultKeys::CaseFilter::Any);
  }
  const std::string once =
      learner != nullptr ? learner->Settings().ReadString("CustomReviewKeysOnce") : "";
  int source = 3;
  std::string chosen;
  if (!once.empty()) {
    ReviewMethod = 1;
    chosen = once;
  } else {
    std::unique_ptr<BuilderChoice> view = services_.MakeChoice ? services_.MakeChoice() : nullptr;
    if (view == nullptr) return 2;
    if (learner != nullptr) view->StudiedKeysText = studiedKeysText(*learner, lessonLevel);
    view->DifficultKeysText = difficult;
    view->Difficulties = services_.Difficulties;
    // A course without word data of its own has nothing to build texts from.
    if (services_.Env.CourseLoaded && services_.Env.CourseWizard.empty()) {
      view->TextAndGamesAllowed = false;
    }
    view->MenuVisible = h.MenuVisible;
    const int answer = view->RunModal();
    if (answer != 1) return answer;
    source = view->KeySource;
    ReviewMethod = view->ReviewMethod;
    difficult = view->DifficultKeysText;
    chosen = distinctChars(view->ChosenKeys);
  }

  const auto group = [&](int level) {
    return learner != nullptr ? learner->KeyGroup(level) : std::string();
  };
  if (source == 1) {
    Keys = difficult;
  } else if (source == 2) {
    Keys = withoutCapitals(group(lessonLevel));
    if (Keys.empty()) Keys = group(lessonLevel);
    if (Keys.empty() && lessonLevel > 1) Keys = withoutCapitals(group(lessonLevel - 1));
  } else {
    Keys = chosen;
    const bool buildable = std::any_of(
        Keys.begin(), Keys.end(), [](char c) { return isTextKey(static_cast<unsigned char>(c)); });
    if (!buildable && ReviewMethod != 1) {
      warn(Localize().GetString(97) + "\r" + Localize().GetString(98));
      Keys = difficult;
      if (Keys.empty()) Keys = group(KeyLevel);
      if (Keys.empty()) Keys = "asdfjkl";
    }
  }
  return 1;
}

void TBuilderEvent::reloadLayoutFor(const std::string& known) {
  TKeyDataExt* layout = services_.Env.Layout;
  CourseLearner* learner = services_.Env.Learner;
  if (layout == nullptr || services_.Keyboard == nullptr || learner == nullptr) return;
  if (layoutTypes(*layout, known + Keys)) return;
  std::string file = learner->LayoutFile();
  if (file.empty()) file = "qwerty.kbd";
  if (services_.Keyboard->LoadLayout(file) == LayoutLoad::Missing) ReportError(-1, file);
}

int TBuilderEvent::Execute(const EventHandover& h) {
  CourseLearner* learner = services_.Env.Learner;
  TResultItem* item = h.Result;
  const auto finish = [item](int result) {
    if (item != nullptr) item->SubKind = "REV";
    return result;
  };
  const int userLevel = learner != nullptr ? learner->KeyLevel() : 1;
  const int lessonLevel = h.BuilderKeyLevel != 0 ? h.BuilderKeyLevel : userLevel;
  KeyLevel = std::max(h.BuilderKeyLevel, userLevel);
  const std::string known = !h.ActiveKeys.empty() ? h.ActiveKeys : keysUpTo(KeyLevel);

  if (const int answer = chooseKeys(h, lessonLevel); answer != 1) return finish(answer);
  if (learner != nullptr) KeyLevel = std::max(KeyLevel, levelCovering(*learner, Keys, userLevel));
  reloadLayoutFor(known);
  if (services_.Presenter != nullptr) services_.Presenter->PrepareWizard(Keys);

  switch (ReviewMethod) {
    case 1: {
      bool goOn = false;
      const int result = runKeyDrill(h, goOn);
      return finish(goOn ? runWordDrill(h, true, result) : result);
    }
    case 5:
    case 6:
      return finish(runGame(h));
    default:
      return finish(runWordDrill(h, false, 0));
  }
}

int TBuilderEvent::runKeyDrill(const EventHandover& h, bool& goOn) {
  goOn = false;
  if (Keys.empty()) {
    warn(Localize().GetString(325));
    return 2;
  }
  TRevisionBuilder builder(*services_.Rng, services_.Env);
  builder.KeyDrill(Keys, KeyLevel, true, 16);
  TEventLoader loader("Event;KEY2;0;" + builder.Text());
  loader.TimeLimit = h.BuilderTime / 2;
  loader.KeyLevel = KeyLevel;
  loader.ResultShowMode = 1;
  loader.SaveResults = false;
  loader.CourseId = h.CourseId;
  if (services_.Factory == nullptr) return 1;
  const int result =
      loader.Execute({*services_.Factory, services_.Presenter, services_.Env.Learner});
  // The drill's end leads on with Enter (1) or with its own next (3): either way it was done.
  if ((result == 1 || result == 3) && h.Result != nullptr) {
    h.Result->Checked = true;
    h.Result->Valid = true;
    h.Result->Complete = true;
  }
  goOn = result != 2 && result != 0;
  return result;
}

int TBuilderEvent::runWordDrill(const EventHandover& h, bool keyDrillRan, int keyDrillResult) {
  const int n = static_cast<int>(Keys.size());
  TRevisionBuilder builder(*services_.Rng, services_.Env);
  if (n > 0) builder.WordLines(Keys, KeyLevel, builderWordCount(n));
  if (builder.Lines.empty()) {
    if (keyDrillRan) return keyDrillResult;
    warn(Localize().GetString(97));
    return 2;
  }
  const std::string text = builder.Text();
  auto event = createEvent(services_.Factory, "WORD2", "Event;Word2;0;NIL;True");
  if (event == nullptr) return keyDrillRan ? keyDrillResult : 1;
  EventHandover drill;
  drill.Result = h.Result;
  drill.EventType = "WORD2";
  drill.CourseId = h.CourseId;
  drill.CancelVisible = h.CancelVisible;
  drill.MenuVisible = h.MenuVisible;
  const std::vector<std::string> fields = splitEventFields(line_);
  const bool gui = fields.size() > 3 && sameText(fields[3], "GUI");
  drill.TimeLimit = gui ? builderDrillMinutes(n) * 60 : h.BuilderTime;
  drill.ActiveKeys = keysUpTo(KeyLevel);
  drill.TextOverride = &text;
  return event->Execute(drill);
}

int TBuilderEvent::runGame(const EventHandover& h) {
  const int n = static_cast<int>(Keys.size());
  TRevisionBuilder builder(*services_.Rng, services_.Env);
  if (n > 0) {
    builder.WordText(Keys, KeyLevel, static_cast<int>(roundHalfEvenDiv(200, n)));
  }
  if (builder.Lines.empty()) {
    warn(Localize().GetString(97));
    return 2;
  }
  const char* keyword = ReviewMethod == 5 ? "CLOUDS" : "WORDTRIS";
  auto event = createEvent(services_.Factory, keyword, "Tris;Tris;0;-none-.vcb." + ActiveLanguage);
  if (event == nullptr) return 1;
  EventHandover game;
  game.Result = h.Result;
  game.EventType = keyword;
  game.CourseId = h.CourseId;
  game.CancelVisible = h.CancelVisible;
  game.MenuVisible = h.MenuVisible;
  game.TimeLimit = h.BuilderTime;
  game.ActiveKeys = keysUpTo(KeyLevel);
  game.GameWords = &builder.Lines;
  return event->Execute(game);
}

}  // namespace ks
