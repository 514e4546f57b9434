// The word game Clouds as a lesson event (keyword CLOUDS), and its drawn cloud pictures.
#pragma once

#include <QImage>
#include <memory>

#include "games/clouds.h"
#include "games/ui/gameevent.h"

namespace ks {

class TMissedLcd;

// A cloud picture of `size` at the device pixel ratio `dpr`, drawn once per look and scale.
const QImage& cloudPicture(TCloud::Picture picture, QSize size, qreal dpr);

// A cloud's word stands on a dark plate of its own, clear of the sky and the rain: the typed
// part and the rest both read at a contrast of at least 4.5 : 1 against it.
struct CloudWordColours {
  QColor Plate, Typed, Rest;
};
CloudWordColours cloudWordColours();

class TCloudGame : public TCustomGameEvent {
  Q_OBJECT

 public:
  static constexpr int kFieldHeight = 363;
  static constexpr QSize kPictureSize{120, 62};

  explicit TCloudGame(const std::string& line);
  ~TCloudGame() override;

  void Setup() override;
  void FinishTyping() override;
  const CloudsModel* Model() const { return model_.get(); }

 protected:
  void GameStep(int64_t now) override;
  void GameKey(unsigned char key) override;
  void PaintField(QPainter& p) override;
  bool GameOver() const override { return model_ && model_->Finished(); }

 private:
  void follow();

  std::unique_ptr<CloudsModel> model_;
  TMissedLcd* missed_ = nullptr;
};

}  // namespace ks
