// The word game Wordtris as a lesson event (keyword WORDTRIS).
#pragma once

#include <QPointer>
#include <memory>

#include "engine/ui/exercisecanvas.h"
#include "games/ui/gameevent.h"
#include "games/wordtris.h"

namespace ks {

class TWTrisEvent : public TCustomGameEvent {
  Q_OBJECT

 public:
  explicit TWTrisEvent(const std::string& line);
  ~TWTrisEvent() override;

  void Setup() override;
  void StartTyping() override;
  void Hide() override;

  const WordtrisModel* Model() const { return model_.get(); }
  TWordViewCanvas* WordDisplay() const { return wordDisplay_; }

  // The rows' panel in page pixels.
  static constexpr QRect kRowsPanel{150, 8, 490, 420};

 protected:
  void GameStep(int64_t now) override;
  void GameKey(unsigned char key) override;
  void PaintField(QPainter& p) override;
  bool GameOver() const override { return model_ && model_->Finished(); }
  bool FirstStepAtOnce() const override { return false; }

 private:
  // Shows the model's word and cursor in the word display and takes its pace.
  void follow();

  std::unique_ptr<WordtrisModel> model_;
  QPointer<TWordViewCanvas> wordDisplay_;
  std::string shownWord_;
  int shownCursor_ = 0;
  bool started_ = false;
};

}  // namespace ks
