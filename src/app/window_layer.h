// What only the window layer can do: message boxes, other windows, timers.
// The desktop program implements it with widgets; the command-line tool
// answers the questions itself.
#pragma once

#include <string_view>

#include "app/connection_check_model.h"

namespace koral {

class WindowLayer {
 public:
  virtual ~WindowLayer() = default;

  virtual bool AskOkCancel(std::string_view title, std::string_view text) = 0;  // true for OK
  virtual void ShowMessage(std::string_view title, std::string_view text) = 0;
  virtual void AskRetry(std::string_view title, std::string_view text) = 0;
  // A connection window asked for the next step of the connection flow.
  virtual void ApplyWindowStep(const WindowStep& step) = 0;
  virtual void ShowConnectionWindow() = 0;
  virtual void SetUnpackTimer(int intervalMs) = 0;  // 0 stops it
  virtual void SetSerialMonitorPolling(bool on) = 0;
};

}  // namespace koral
