// The connection check (Form1) and the dialog "Connection" (Form3), with the
// steps of the connection flow that the two connection windows share: what the
// window layer shows next, the model and video options, and how a connection
// window lets the program end.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/session.h"
#include "app/settings_window_model.h"
#include "link/transport.h"

namespace koral {

enum class DialogButtons { Ok, RetryCancel, YesNo, YesNoCancel };

struct DialogMessage {
  std::string title;
  std::string text;
  DialogButtons buttons = DialogButtons::Ok;
  friend bool operator==(const DialogMessage&, const DialogMessage&) = default;
};

// What the window layer does after a connection window or dialog has acted.
enum class NextWindow {
  Stay,                  // nothing more; a dialog that was answered closes
  ShowSettingsWindow,    // show frmSetup, hide the connection windows and dialogs
  RunConnectionCheck,    // show Form1, i.e. ConnectionCheckModel::Check()
  ShowConnectionDialog,  // show Form3 ("Connection")
  AskPortError,          // ask `message`; Retry/Cancel goes back to AnswerPortError
  AskExit,               // ask `message`; Yes/No goes back to AnswerExit
  AskSave,               // ask `message`; the answer goes to SettingsWindowModel::AnswerCloseQuestion
  EndProgram,
};

struct WindowStep {
  NextWindow next = NextWindow::Stay;
  // An Ask step's question, or a notice (OK only) to show before the step.
  std::optional<DialogMessage> message;
  friend bool operator==(const WindowStep&, const WindowStep&) = default;
};

// The platform's reason, with a way out where the reason is a missing right.
std::string PortErrorMessage(const std::string& platformText);

// ---- closing a connection window (close box) and leaving from the dialog ----
// The port error once more (Retry / Cancel), else "Do you want to exit ?".
WindowStep CloseConnectionWindow(const Transport& transport);
WindowStep AnswerPortErrorQuestion(const Session& session, bool retry);
WindowStep AnswerExitQuestion(const Session& session, bool yes);
// Ending the program keeps unsaved settings only if the user says so: the same
// save question as File > Exit comes first.
WindowStep LeaveProgram(const Session& session);

// optModule and optNTSC, the same in both connection windows.
class UnitOptionButtons {
 public:
  explicit UnitOptionButtons(Session& session) : session_(session) {}

  UnitModel Model() const { return model_; }
  VideoStandard Video() const { return video_; }
  void ChooseModel(UnitModel model);
  void ChooseVideo(VideoStandard video);
  // On activation the buttons follow the session.
  void ShowSession();

 private:
  Session& session_;
  UnitModel model_ = UnitModel::Qt1Rx;
  VideoStandard video_ = VideoStandard::Ntsc;
};

class ConnectionCheckModel {
 public:
  static constexpr std::string_view kCompleted = "Communication  Completed";
  static constexpr std::string_view kDialogCaption = "Connection";
  static constexpr std::string_view kDialogQuestion = "Do you want to retry or off line?";
  static constexpr std::string_view kRetry = "Retry";
  static constexpr std::string_view kWorkOffline = "Work Offline";
  static constexpr std::string_view kCancel = "Cancel";

  // How long the unit is given to answer the connection window's status
  // request before the check looks.
  static constexpr int kStatusReplyWaitMs = 2000;

  ConnectionCheckModel(Session& session, Transport& transport, SettingsWindowModel& settingsWindow);

  // Whether the check may look now, `msSinceStatusRequest` after the
  // connection window sent its status request (the step RunConnectionCheck):
  // once the status mailbox holds an answer, or once the wait is over. The
  // answer comes through the receive path, so whoever runs the check (the
  // window layer, the headless runner) keeps its event loop running, with
  // receive notifications handled, until this holds and then calls Check()
  // once. A unit that answers within kStatusReplyWaitMs thus passes at the
  // first try, and a silent one is reported after that wait.
  bool ReadyToLook(int msSinceStatusRequest) const;

  // Form1: one look at the status mailbox, no waiting of its own (see
  // ReadyToLook). An answer opens the settings window; none offers the dialog
  // and marks the settings window's caption. That window must exist by then:
  // load it (SettingsWindowModel::Load) after the connection window's choice
  // and before the first check or show.
  WindowStep Check();
  int MissedChecks() const { return session_.transfer.pollMissCount; }

  // Form3's buttons.
  static WindowStep Retry() { return {}; }
  WindowStep WorkOffline();
  WindowStep Cancel() const { return LeaveProgram(session_); }

 private:
  Session& session_;
  Transport& transport_;
  SettingsWindowModel& settingsWindow_;
};

}  // namespace koral
