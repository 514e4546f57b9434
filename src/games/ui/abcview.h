// The ABC game as a lesson event (keyword ABC).
#pragma once

#include <memory>

#include "games/abcgame.h"
#include "games/ui/gameevent.h"

namespace ks {

class TMissedLcd;

class TABC : public TCustomGameEvent {
  Q_OBJECT

 public:
  explicit TABC(const std::string& line);
  ~TABC() override;

  void Setup() override;
  void StartTyping() override;
  // The share of the sequence typed.
  int ProgressPercent() const override;

  std::string KeysParam;
  const AbcModel* Model() const { return model_.get(); }

 protected:
  void GameStep(int64_t now) override;
  void GameKey(unsigned char key) override;
  void PaintField(QPainter& p) override;
  bool GameOver() const override { return model_ && model_->Finished(); }

 private:
  void showStopwatch(int64_t now);

  std::unique_ptr<AbcModel> model_;
  QLabel* stopwatch_ = nullptr;
};

}  // namespace ks
