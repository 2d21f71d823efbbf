#include "app/connection_check_model.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>

namespace koral {
namespace {

constexpr std::string_view kProgramTitle = "KORAL";
constexpr std::string_view kWarningTitle = "Warning";
constexpr std::uint8_t kStatusRequest = 0xBA;
constexpr std::string_view kExitQuestion = "Do you want to exit ?";
constexpr std::string_view kDialoutHint =
    "Your user may need to be in the dialout group (sudo usermod -aG dialout $USER, then log in again).";
// How the platforms word a refused device.
constexpr std::array<std::string_view, 3> kPermissionWords = {"permission", "access denied", "access is denied"};

std::string Lowercase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

std::string PortErrorMessage(const std::string& platformText) {
  const std::string lower = Lowercase(platformText);
  if (lower.find("dialout") != std::string::npos) return platformText;  // the platform said it already
  const bool refused = std::any_of(kPermissionWords.begin(), kPermissionWords.end(),
                                   [&](std::string_view word) { return lower.find(word) != std::string::npos; });
  if (!refused) return platformText;
  return platformText + "\n" + std::string(kDialoutHint);
}

WindowStep CloseConnectionWindow(const Transport& transport) {
  if (transport.PortError()) {
    return {NextWindow::AskPortError,
            DialogMessage{std::string(kWarningTitle), PortErrorMessage(transport.PortErrorText()),
                          DialogButtons::RetryCancel}};
  }
  return {NextWindow::AskExit,
          DialogMessage{std::string(kWarningTitle), std::string(kExitQuestion), DialogButtons::YesNo}};
}

WindowStep AnswerPortErrorQuestion(const Session& session, bool retry) {
  if (retry) return {};
  return LeaveProgram(session);
}

WindowStep AnswerExitQuestion(const Session& session, bool yes) {
  if (!yes) return {};
  return LeaveProgram(session);
}

WindowStep LeaveProgram(const Session& session) {
  if (!session.banks.SettingsModified()) return {NextWindow::EndProgram, std::nullopt};
  return {NextWindow::AskSave,
          DialogMessage{std::string(SettingsWindowModel::kCloseTitle), std::string(SettingsWindowModel::kCloseQuestion),
                        DialogButtons::YesNoCancel}};
}

void UnitOptionButtons::ChooseModel(UnitModel model) {
  model_ = model;
  session_.unitModel = model;
}

void UnitOptionButtons::ChooseVideo(VideoStandard video) {
  video_ = video;
  session_.videoStandard = video;
}

void UnitOptionButtons::ShowSession() {
  model_ = session_.unitModel;
  video_ = session_.videoStandard;
}

ConnectionCheckModel::ConnectionCheckModel(Session& session, Transport& transport, SettingsWindowModel& settingsWindow)
    : session_(session), transport_(transport), settingsWindow_(settingsWindow) {}

bool ConnectionCheckModel::ReadyToLook(int msSinceStatusRequest) const {
  return !session_.mailboxes.status.empty() || msSinceStatusRequest >= kStatusReplyWaitMs;
}

WindowStep ConnectionCheckModel::Check() {
  if (session_.mailboxes.status.empty()) {
    ++session_.transfer.pollMissCount;
    settingsWindow_.ShowLinkState(false);
    return {NextWindow::ShowConnectionDialog, std::nullopt};
  }
  session_.offline = false;
  // Asked again so that the heartbeat's first check finds a fresh answer.
  transport_.RearmIfNetwork();
  transport_.SendByte(kStatusRequest);
  return {NextWindow::ShowSettingsWindow,
          DialogMessage{std::string(kProgramTitle), std::string(kCompleted), DialogButtons::Ok}};
}

WindowStep ConnectionCheckModel::WorkOffline() {
  session_.offline = true;
  return {NextWindow::ShowSettingsWindow, std::nullopt};
}

}  // namespace koral
