// The IP address tool, the third start-up choice: its own serial link at 4800
// baud, the port chooser setIP and the address window setIPAdd. It shares
// nothing with the settings window's link.
#pragma once

#include <functional>
#include <memory>

namespace koral::ui {

class IpTool {
 public:
  // Closing either window calls `endProgram`.
  explicit IpTool(std::function<void()> endProgram);
  ~IpTool();
  IpTool(const IpTool&) = delete;
  IpTool& operator=(const IpTool&) = delete;

  // Shows setIP.
  void Start();

 private:
  class Composition;
  std::unique_ptr<Composition> composition_;
};

}  // namespace koral::ui
