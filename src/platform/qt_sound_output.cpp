#include "platform/qt_sound_output.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>

#include "platform/data_files.h"

namespace koral {

std::optional<QString> FindSoundFile(std::string_view file) {
  return FindDataFile(QString::fromUtf8(file.data(), static_cast<qsizetype>(file.size())), AlsoCurrentDirectory::Yes);
}

QtSoundOutput::QtSoundOutput() = default;
QtSoundOutput::~QtSoundOutput() = default;

int QtSoundOutput::WaveOutputDeviceCount() const {
  return static_cast<int>(QMediaDevices::audioOutputs().size());
}

void QtSoundOutput::Play(std::string_view file) {
  // A newer request cuts off the older sound, whether or not it can play itself.
  if (effect_) effect_->stop();
  const auto path = FindSoundFile(file);
  if (!path) return;
  if (!effect_) {
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    if (output.isNull()) return;
    effect_ = std::make_unique<QSoundEffect>(output);
  }
  const QUrl source = QUrl::fromLocalFile(*path);
  if (source != source_) {
    effect_->setSource(source);
    source_ = source;
  }
  // Plays from the start as soon as the file is loaded; a file that does not
  // load leaves the effect in its error state and nothing sounds.
  effect_->play();
}

}  // namespace koral
