#pragma once

#include <memory>

#include "ui/MainFormHost.h"

class QAudioOutput;
class QMediaPlayer;

namespace brevanto {

// Plays sound files through Qt Multimedia. The player is made on the first
// sound, so a run without sounds never opens the audio device.
class QtSoundPlayer : public SoundPlayer {
 public:
  QtSoundPlayer();
  ~QtSoundPlayer() override;
  void Play(const std::string& path) override;
  void Stop() override;

 private:
  std::unique_ptr<QAudioOutput> output_;
  std::unique_ptr<QMediaPlayer> player_;
};

}  // namespace brevanto
