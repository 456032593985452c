#include "ui/QtSoundPlayer.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QUrl>

#include "core/log/Logger.h"
#include "ui/UiText.h"

namespace brevanto {

QtSoundPlayer::QtSoundPlayer() = default;

QtSoundPlayer::~QtSoundPlayer() {
  if (player_) player_->stop();
}

void QtSoundPlayer::Play(const std::string& path) {
  if (!player_) {
    output_ = std::make_unique<QAudioOutput>();
    player_ = std::make_unique<QMediaPlayer>();
    player_->setAudioOutput(output_.get());
    QObject::connect(player_.get(), &QMediaPlayer::errorOccurred,
                     [](QMediaPlayer::Error, const QString& text) {
                       const std::string message = "Cannot play the sound: " + FromQ(text);
                       Logger::Instance().Write(LogLevel::Error, message);
                     });
  }
  player_->stop();
  player_->setSource(QUrl::fromLocalFile(ToQ(path)));
  player_->play();
}

void QtSoundPlayer::Stop() {
  if (player_) {
    player_->stop();
    player_->setSource(QUrl());
  }
}

}  // namespace brevanto
