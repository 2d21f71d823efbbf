#include "unit_link.h"

namespace koralctl {
namespace {

constexpr int kProgressWatchMs = 200;

std::unique_ptr<koral::HeadlessRunner> MakeRunner(const LinkChoice& link) {
  if (link.mode == koral::LinkMode::Udp) return std::make_unique<koral::HeadlessRunner>(koral::LinkMode::Udp);
  koral::PortDevices devices{};
  devices[kSerialPortNumber - 1] = {link.device, "from --serial"};
  return std::make_unique<koral::HeadlessRunner>(devices);
}

std::string BaudText(int speedIndex) {
  return std::to_string(koral::kLinkBaudRates[static_cast<std::size_t>(speedIndex)]) + " baud";
}

}  // namespace

int LinkSpeedIndex(const LinkChoice& link) {
  return link.model == koral::UnitModel::QtMx ? koral::kBaud4800Index : link.speedIndex;
}

std::optional<std::string> SpeedNote(const LinkChoice& link) {
  if (!link.speedGiven || LinkSpeedIndex(link) == link.speedIndex) return std::nullopt;
  return "note: a QT-MX always runs at 4800 baud; --baud " + std::to_string(link.Baud()) + " is not used";
}

UnitLink::UnitLink(const LinkChoice& link, CommandStreams io, Progress& progress)
    : link_(link), progress_(progress), runner_(MakeRunner(link)) {
  if (const auto note = SpeedNote(link_)) io.err << "koralctl: " << *note << '\n';
  runner_->SetDialogListener([this](const koral::ShownDialog& dialog) {
    std::string text = dialog.title.empty() ? dialog.text : dialog.title + ": " + dialog.text;
    // Nobody is there to choose: every question is answered OK.
    if (dialog.kind == koral::ShownDialog::Kind::Question) text += " [OK]";
    progress_.Step(text);
  });
  if (progress_.Shown()) {
    QObject::connect(&progressWatch_, &QTimer::timeout, [this] { WatchProgressBar(); });
    progressWatch_.start(kProgressWatchMs);
  }
}

UnitLink::~UnitLink() {
  progressWatch_.stop();
  progress_.Done();
}

std::string UnitLink::Where() const {
  const std::string speed = BaudText(LinkSpeedIndex(link_));
  if (link_.mode == koral::LinkMode::Serial) {
    return koral::PortName(kSerialPortNumber) + " (" + link_.device + ") at " + speed;
  }
  return "the bridge " + link_.host + ":" + std::to_string(link_.bridgePort) + " (local port " +
         std::to_string(link_.localPort) + ") at " + speed;
}

std::optional<std::string> UnitLink::Connect() {
  progress_.Step("connecting to a " + std::string(koral::UnitModelName(link_.model)) + " on " + Where());
  const int speed = LinkSpeedIndex(link_);
  const koral::ConnectResult result =
      link_.mode == koral::LinkMode::Serial
          ? runner_->ConnectSerial(kSerialPortNumber, speed, link_.model, link_.video)
          : runner_->ConnectNetwork(link_.host, link_.bridgePort, link_.localPort, speed, link_.model, link_.video);
  windowRequestsAtConnect_ = runner_->ConnectionWindowRequests();
  switch (result.outcome) {
    case koral::ConnectOutcome::Connected:
      return std::nullopt;
    case koral::ConnectOutcome::PortError:
      return result.reason;
    case koral::ConnectOutcome::NoAnswer:
      break;
  }
  return "the unit did not answer on " + Where() + " within " +
         std::to_string(koral::ConnectionCheckModel::kStatusReplyWaitMs / 1000) + " s";
}

void UnitLink::WatchProgressBar() {
  const koral::ProgressState& bar = Settings().Progress();
  if (bar.visible && !transferName_.empty() && bar.maximum > 0) {
    progress_.Percent(transferName_, bar.value * 100 / bar.maximum);
  }
}

}  // namespace koralctl
