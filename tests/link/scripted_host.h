// A TransferHost that records what the transfers ask of the windows, as
// readable lines, and answers the questions from a script.
#pragma once

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "link/transfer_host.h"

namespace koral::testing_support {

class ScriptedHost : public TransferHost {
 public:
  bool AskOkCancel(std::string_view title, std::string_view text) override {
    Log("ask " + std::string(title) + ": " + std::string(text));
    if (okCancelAnswers.empty()) return true;
    const bool answer = okCancelAnswers.front();
    okCancelAnswers.pop_front();
    return answer;
  }
  void ShowMessage(std::string_view title, std::string_view text) override {
    Log("message " + std::string(title) + ": " + std::string(text));
  }
  void AskRetry(std::string_view title, std::string_view text) override {
    Log("retry " + std::string(title) + ": " + std::string(text));
  }
  int UnitAddress() const override { return unitAddress; }
  int UnitBaudPosition() const override { return unitBaudPosition; }
  void RefreshWindow() override { Log("refresh"); }
  void ReloadFactorySettings() override { Log("reload defaults"); }
  void AdoptIncomingSettings() override { Log("adopt"); }
  void UpdateDayClockRegisters() override { Log("day clock"); }
  void UpdateClockRegisters() override { Log("clock"); }
  void ShowPleaseWait() override { Log("please wait"); }
  void ProgressStart() override { Log("progress start"); }
  void SetProgress(int value) override {
    progress.push_back(value);
    Log("progress " + std::to_string(value));
  }
  void ProgressEnd() override { Log("progress end"); }
  void ShowLinkState(bool communicating) override { Log(communicating ? "caption complete" : "caption fail"); }
  void ShowMissedPolls(int count) override {
    missedPolls.push_back(count);
    Log("missed " + std::to_string(count));
  }
  bool SerialWindowMenuEnabled() const override { return serialWindowMenu; }
  void StopMainTimer() override { Log("stop timer"); }
  void ShowConnectionWindow() override { Log("connection window"); }
  void SetUnpackTimer(int intervalMs) override { Log("unpack timer " + std::to_string(intervalMs)); }
  void SetSerialMonitorPolling(bool on) override { Log(on ? "monitor poll on" : "monitor poll off"); }

  bool Saw(const std::string& line) const { return std::find(log.begin(), log.end(), line) != log.end(); }

  int unitAddress = 0;
  int unitBaudPosition = 2;
  bool serialWindowMenu = true;
  std::deque<bool> okCancelAnswers;
  std::vector<std::string> log;
  std::vector<int> progress;
  std::vector<int> missedPolls;

 private:
  void Log(std::string line) { log.push_back(std::move(line)); }
};

}  // namespace koral::testing_support
