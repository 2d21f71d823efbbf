// What the window tests share: fakes for the settings window, finding and
// picking controls, answering modal windows, and the emulated unit on COM1.
#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "../integration/emulator_process.h"
#include "app/settings_window_model.h"
#include "app/window_layer.h"

class QComboBox;
class QMessageBox;
class QWidget;

namespace koral::testing_support {

class RecordingLink : public SettingsWindowLink {
 public:
  void FollowUnitBaudRate(int position) override { followedSpeeds.push_back(position); }
  void RequestStatus() override {}
  std::vector<int> followedSpeeds;
};

// A window layer that answers every question with OK and shows nothing, for
// tests that drive one window on the link runtime.
class NoWindows final : public WindowLayer {
 public:
  bool AskOkCancel(std::string_view, std::string_view) override { return true; }
  void ShowMessage(std::string_view, std::string_view) override {}
  void AskRetry(std::string_view, std::string_view) override {}
  void ApplyWindowStep(const WindowStep&) override {}
  void ShowConnectionWindow() override {}
  void SetUnpackTimer(int) override {}
  void SetSerialMonitorPolling(bool) override {}
};

class FixedClock : public WallClock {
 public:
  LocalTime Now() const override { return now; }
  LocalTime now;
};

// The control named `name` under `parent`; the test run stops when there is none.
template <typename Control = QWidget>
Control* Find(const QObject& parent, const QString& name) {
  auto* control = parent.findChild<Control*>(name);
  if (control == nullptr) qFatal("no control %s", qPrintable(name));
  return control;
}

// The visible top-level window named `name`, or null.
QWidget* TopLevel(const QString& name);

// Picks an entry the way the user does: open the list, click the entry.
void Pick(QComboBox& list, int position);

// Runs `act` once on every modal window that comes up while the watcher
// lives, from inside that window's own event loop.
class ModalWatcher : public QObject {
 public:
  explicit ModalWatcher(std::function<void(QWidget&)> act);

 private:
  std::function<void(QWidget&)> act_;
  QPointer<QWidget> handled_;
  QTimer poll_;
};

// Clicks the box's default button (OK, Yes) and returns "title|text".
QString AcceptMessageBox(QMessageBox& box);

// koral-emu on a pseudo-terminal that the program finds as COM1; stopped
// (writing its --dump) when it goes.
class UnitOnCom1 {
 public:
  // False when it did not start; Problem() then says why.
  bool Start(const QStringList& arguments);
  std::string Problem() const { return process_ ? process_->Problem() : "not started"; }
  // A file in the unit's scratch folder, for --dump.
  QString FilePath(const QString& name) const { return folder_.filePath(name); }

 private:
  QTemporaryDir folder_;
  std::optional<integration::EmulatorProcess> process_;
};

}  // namespace koral::testing_support
