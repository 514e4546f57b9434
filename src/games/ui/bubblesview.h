// The letter bubbles game as a lesson event (keyword BUBBLES).
#pragma once

#include <memory>

#include "games/bubbles.h"
#include "games/ui/gameevent.h"

namespace ks {

class TMissedLcd;

class TBubbles : public TCustomGameEvent {
  Q_OBJECT

 public:
  explicit TBubbles(const std::string& line);
  ~TBubbles() override;

  void Setup() override;

  std::string KeysParam;
  const BubblesModel* Model() const { return model_.get(); }
  // The letters the game plays with: the line's keys, else the known keys that the layout
  // types (all of them on the numeric keypad's layout), else the language's alphabet.
  static std::string ChooseLetters(const std::string& keysParam, const std::string& activeKeys,
                                   const std::string& characterSet, const std::string& alphabet);

 protected:
  void GameStep(int64_t now) override;
  void GameKey(unsigned char key) override;
  void PaintField(QPainter& p) override;
  bool GameOver() const override { return model_ && model_->Finished(); }

 private:
  std::unique_ptr<BubblesModel> model_;
  TMissedLcd* missed_ = nullptr;
};

// "keys" in field 3 names the letters in field 4.
std::string gameKeysParam(const std::vector<std::string>& eventLine);

}  // namespace ks
