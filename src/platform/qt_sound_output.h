// The alarm window's sound through Qt Multimedia: the count of audio outputs
// and a wave file played in the background.
#pragma once

#include <QString>
#include <QUrl>
#include <memory>
#include <optional>
#include <string_view>

#include "monitor/alarm_window_model.h"

class QSoundEffect;

namespace koral {

// Where a sound file is found: beside the program, in the installed data
// folder, then in the current directory.
std::optional<QString> FindSoundFile(std::string_view file);

class QtSoundOutput final : public SoundOutput {
 public:
  QtSoundOutput();
  ~QtSoundOutput() override;
  QtSoundOutput(const QtSoundOutput&) = delete;
  QtSoundOutput& operator=(const QtSoundOutput&) = delete;

  int WaveOutputDeviceCount() const override;
  // Looks the file up (FindSoundFile) and starts it from the beginning, cutting
  // off the sound still playing. Without the file or an output nothing plays, silently.
  void Play(std::string_view file) override;

 private:
  // Made on the first play that has an output to play on, so a program that
  // never sounds an alarm never starts the audio system.
  std::unique_ptr<QSoundEffect> effect_;
  QUrl source_;  // what the effect holds: loading a file again on every play would hold the sound up
};

}  // namespace koral
