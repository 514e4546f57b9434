// The base of the typing games: a timed event with a playing field, a points display, an
// instruction card with the ready prompt, an optional word list and the game loop, which runs
// the game's step at a fixed interval from a timer inside the view's own loop.
#pragma once

#include <QColor>
#include <QImage>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "engine/ui/timedevent.h"
#include "games/gameloop.h"
#include "games/gamewords.h"
#include "platform/random.h"

class QLabel;
class QPushButton;

namespace ks {

// The playing field: the game paints it from its model. Qt's backing store is its off-screen
// image, and painting in device pixels keeps it crisp at every scale.
class GameField : public QWidget {
  Q_OBJECT

 public:
  explicit GameField(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }
  QColor Background{0xB7, 0xBE, 0xFF};
  std::function<void(QPainter&)> Paint;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage sky_;
};

class TCustomGameEvent : public TTimedEvent {
  Q_OBJECT

 public:
  // The width of the book the fields are measured against.
  static constexpr int kBookWidth = 790;

  explicit TCustomGameEvent(const std::string& line);
  ~TCustomGameEvent() override;

  int Execute(const EventHandover& handover) override;
  void Setup() override;
  void Hide() override;
  void KeyPress(unsigned char& key) override;
  void StartTyping() override;
  void PauseTyping() override;
  void FinishTyping() override;

  void SetPoints(int points);
  int Points() const { return points_; }
  std::string NextWord(bool lower) { return words_.Next(random_, lower); }
  void SetWords(const std::vector<std::string>& words) { words_.Set(words); }
  // Runs the steps due now and repaints the field; the loop timer calls it.
  void Poll();
  GameField* PlayingField() const { return field_; }
  const GameLoop& Loop() const { return loop_; }

 protected:
  // One step of the game at `now` (ms ticks).
  virtual void GameStep(int64_t now) = 0;
  // A typed character while the game runs (the key that resumes a paused game is not one).
  virtual void GameKey(unsigned char key) = 0;
  virtual void PaintField(QPainter& p) = 0;
  // Whether the model says the game is over.
  virtual bool GameOver() const = 0;

  void SetStepInterval(int ms);
  // Whether the first step comes as the game starts (a falling word waits one interval).
  virtual bool FirstStepAtOnce() const { return true; }
  void PlaceField(const QRect& geometry, const QColor& background);
  // The instruction card over the field with the ready prompt and its OK button; a `height` of
  // 1 leaves only the prompt (a language without the game's instructions).
  void SetInstructions(const QString& title, const QStringList& lines, int height);
  // The label under the field that games use for their second figure (missed, stopwatch).
  QLabel* MakeBottomTitle(const QString& text, const QPoint& at);
  int64_t Now() const { return clock().tickMs(); }
  Random& random() { return random_; }
  QColor background() const { return background_; }

  std::string GameWordSource;
  bool UsesField = true;

 private:
  void checkOver();

  GameWords words_;
  SeededRandom random_;
  GameLoop loop_;
  QTimer loopTimer_;
  int points_ = 0;
  QColor background_{0xB7, 0xBE, 0xFF};
  GameField* field_ = nullptr;
  QLabel* pointsLabel_ = nullptr;
  QWidget* card_ = nullptr;
  const std::vector<std::string>* handedWords_ = nullptr;
};

}  // namespace ks
