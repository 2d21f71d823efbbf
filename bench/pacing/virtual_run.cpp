#include "virtual_run.h"

#include <algorithm>
#include <array>
#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <optional>

#include "app/link_engine.h"
#include "app/session.h"
#include "app/window_layer.h"
#include "unit/bridge.h"
#include "unit/unit.h"

namespace koral::bench {
namespace {

constexpr int kConditionPollMs = 10;  // how often koralctl looks whether a wait is over
constexpr std::int64_t kTransferLimitMs = 300'000;
constexpr char kUnitAddress[] = "127.0.0.2";
constexpr char kPcAddress[] = "127.0.0.1";
constexpr int kTransferDoneMessages = 1;
constexpr std::int64_t kUnreadAfterMs = 1000;

// A timer as the program runs its main timer: the next tick is due one
// interval after the last one fired; a tick the busy thread made late fires as
// soon as it is free.
struct VirtualTimer {
  bool active = false;
  int intervalMs = 0;
  std::int64_t dueMs = 0;

  void Start(std::int64_t now, int interval) {
    active = true;
    intervalMs = interval;
    dueMs = now + interval;
  }
  void Fired(std::int64_t now) { dueMs = now + intervalMs; }
  // The unpack timer is an ordinary periodic one: it keeps its grid, and a
  // tick made late by more than an interval restarts it.
  void FiredOnGrid(std::int64_t now) {
    dueMs += intervalMs;
    if (dueMs < now) dueMs = now + intervalMs;
  }
};

class World;

class VirtualPort final : public SerialPort {
 public:
  VirtualPort(World& world, bool wired) : world_(world), wired_(wired) {}
  bool SetBaudRate(int) override { return true; }
  bool IsOpen() const override { return open_; }
  bool Open() override {
    open_ = true;
    return true;
  }
  void Close() override { open_ = false; }
  void SetDtr(bool) override {}
  bool Write(std::span<const std::uint8_t> bytes) override;
  ByteString Read(std::size_t max) override;
  std::string ErrorText() const override { return {}; }
  void SetReceiveHandler(std::function<void()> handler) override { handler_ = std::move(handler); }

  void Arrive(const ByteString& bytes) { incoming_.insert(incoming_.end(), bytes.begin(), bytes.end()); }
  void DropUnread() { incoming_.clear(); }
  void Notify() {
    if (handler_) handler_();
  }

 private:
  World& world_;
  bool wired_;
  bool open_ = false;
  ByteString incoming_;
  std::function<void()> handler_;
};

class VirtualPorts final : public SerialPorts {
 public:
  explicit VirtualPorts(World& world)
      : ports_{VirtualPort(world, true),  VirtualPort(world, false), VirtualPort(world, false),
               VirtualPort(world, false), VirtualPort(world, false), VirtualPort(world, false)} {}
  SerialPort& Port(int number) override { return ports_[static_cast<std::size_t>(number - 1)]; }
  VirtualPort& Wired() { return ports_[0]; }

 private:
  std::array<VirtualPort, kCount> ports_;
};

class VirtualSocket final : public UdpSocket {
 public:
  explicit VirtualSocket(World& world) : world_(world) {}
  void Close() override {}
  void SetLocalPort(std::uint16_t port) override { localPort_ = port; }
  void SetRemote(const std::string&, std::uint16_t) override {}
  void Send(std::span<const std::uint8_t> bytes) override;
  std::string LocalAddress() const override { return kPcAddress; }
  std::uint16_t LocalPort() const override { return localPort_; }
  void SetDatagramHandler(std::function<void(const Datagram&)> handler) override { handler_ = std::move(handler); }
  void Deliver(const ByteString& bytes) {
    if (handler_) handler_(Datagram{bytes, kUnitAddress, kBridgePort});
  }

 private:
  World& world_;
  std::uint16_t localPort_ = kBridgePort;
  std::function<void(const Datagram&)> handler_;
};

class NoHardwareAddresses final : public HardwareAddressLookup {
 public:
  std::optional<HardwareAddress> Lookup(const std::string&) const override {
    return HardwareAddress{0x02, 0x00, 0x00, 0x00, 0x00, 0x01};
  }
};

class FixedWallClock final : public WallClock {
 public:
  LocalTime Now() const override { return LocalTime{2026, 12, 8, 12, 0, 0, 3}; }
};

// The unit, the line and the program's event loop on one virtual clock.
class World final : public Clock, public emu::UnitClock, public WindowLayer {
 public:
  explicit World(const VirtualRunSetup& setup)
      : setup_(setup),
        unit_(UnitConfigFor(setup), emu::FactoryBanks(VideoStandard::Ntsc, setup.link, 0), *this,
              [](const std::string&) {}),
        bridge_([](const std::string&) {}),
        ports_(*this),
        socket_(*this),
        engine_(session_, *this, wallClock_,
                setup.link == LinkMode::Serial ? LinkDevices{&ports_, nullptr, nullptr}
                                               : LinkDevices{nullptr, &socket_, &hardwareAddresses_},
                *this) {
    engine_.Settings().SetChangeListener([this](SettingsParts) { FollowMainTimer(); });
  }

  std::optional<std::string> Run();
  const Traffic& TrafficSeen() const { return traffic_; }

  // Clock and UnitClock
  std::int64_t NowMs() const override { return now_; }
  void Sleep(int ms) override { AdvanceTo(now_ + std::max(ms, 0)); }

  // WindowLayer: nobody is there, every question is answered OK.
  bool AskOkCancel(std::string_view, std::string_view) override { return true; }
  void ShowMessage(std::string_view title, std::string_view) override {
    if (title == "Communication") ++doneMessages_;
  }
  void AskRetry(std::string_view, std::string_view) override { linkFailed_ = true; }
  void ApplyWindowStep(const WindowStep&) override {}
  void ShowConnectionWindow() override { linkFailed_ = true; }
  void SetUnpackTimer(int intervalMs) override {
    if (intervalMs <= 0) {
      unpackTimer_.active = false;
    } else {
      unpackTimer_.Start(now_, intervalMs);
    }
  }
  void SetSerialMonitorPolling(bool) override {}

  // The line, from the program's side.
  void ProgramWrote(std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t byte : bytes)
      UnitReceives(byte);
  }
  void ProgramSent(std::span<const std::uint8_t> datagram) {
    if (const auto byte = bridge_.Receive(datagram, emu::Endpoint{kPcAddress, kBridgePort})) UnitReceives(*byte);
  }
  void MoreToRead() { NotifySerial(); }

 private:
  static Session SessionOn(LinkMode link) {
    Session session;
    session.linkMode = link;
    return session;
  }
  static emu::UnitConfig UnitConfigFor(const VirtualRunSetup& setup) {
    emu::UnitConfig config;
    config.link = setup.link;
    config.still = setup.still;
    return config;
  }

  void UnitReceives(std::uint8_t byte) {
    traffic_.push_back({now_ * 1000, true, {byte}});
    unit_.Receive(byte);
    Deliver(unit_.Poll());
  }

  void Deliver(const std::vector<emu::Bytes>& frames) {
    for (const emu::Bytes& frame : frames) {
      traffic_.push_back({now_ * 1000, false, frame});
      const ByteString bytes(frame.begin(), frame.end());
      if (setup_.link == LinkMode::Serial) {
        // As koral-emu's pseudo-terminal does: what nobody read for a second is stale.
        if (lastSerialWriteMs_ && now_ - *lastSerialWriteMs_ > kUnreadAfterMs) ports_.Wired().DropUnread();
        lastSerialWriteMs_ = now_;
        ports_.Wired().Arrive(bytes);
        NotifySerial();
      } else {
        datagrams_.push_back(bytes);
      }
    }
  }

  void NotifySerial() {
    if (serialNotifyDue_) return;
    serialNotifyDue_ = now_;
  }

  // Time passes: the unit runs on and sends what falls due meanwhile.
  void AdvanceTo(std::int64_t until) {
    for (int guard = 0; guard < 100'000; ++guard) {
      const auto wake = unit_.NextWakeMs();
      if (!wake || *wake > until) break;
      now_ = std::max(now_, *wake);
      const auto frames = unit_.Poll();
      Deliver(frames);
      if (frames.empty() && unit_.NextWakeMs() == wake) break;
    }
    now_ = std::max(now_, until);
    Deliver(unit_.Poll());
  }

  void FollowMainTimer() {
    const MainTimerState& state = engine_.Settings().MainTimer();
    if (!state.enabled || state.intervalMs <= 0) {
      mainTimer_.active = false;
      return;
    }
    if (!mainTimer_.active || mainTimer_.intervalMs != state.intervalMs) mainTimer_.Start(now_, state.intervalMs);
  }

  // One turn of the event loop: the earliest of what is due runs, the
  // condition is looked at every kConditionPollMs. False on the time limit.
  bool RunUntil(const std::function<bool()>& condition, std::int64_t limitMs);
  void RunNextEvent(std::int64_t notAfter);

  VirtualRunSetup setup_;
  std::int64_t now_ = 0;
  Traffic traffic_;
  emu::Unit unit_;
  emu::Bridge bridge_;
  VirtualPorts ports_;
  VirtualSocket socket_;
  NoHardwareAddresses hardwareAddresses_;
  FixedWallClock wallClock_;
  Session session_ = SessionOn(setup_.link);
  LinkEngine engine_;
  VirtualTimer mainTimer_;
  VirtualTimer unpackTimer_;
  std::optional<std::int64_t> serialNotifyDue_;
  std::optional<std::int64_t> lastSerialWriteMs_;
  std::deque<ByteString> datagrams_;
  int doneMessages_ = 0;
  bool linkFailed_ = false;
};

bool VirtualPort::Write(std::span<const std::uint8_t> bytes) {
  if (open_ && wired_) world_.ProgramWrote(bytes);
  return open_;
}

ByteString VirtualPort::Read(std::size_t max) {
  const std::size_t count = std::min(max, incoming_.size());
  ByteString chunk(incoming_.begin(), incoming_.begin() + static_cast<std::ptrdiff_t>(count));
  incoming_.erase(incoming_.begin(), incoming_.begin() + static_cast<std::ptrdiff_t>(count));
  if (!incoming_.empty()) world_.MoreToRead();
  return chunk;
}

void VirtualSocket::Send(std::span<const std::uint8_t> bytes) {
  world_.ProgramSent(bytes);
}

void World::RunNextEvent(std::int64_t notAfter) {
  enum class Event { None, Datagram, Serial, MainTimer, UnpackTimer, Unit };
  Event next = Event::None;
  std::int64_t at = notAfter;
  // Whatever is overdue is due now; among those, what arrived on the line
  // goes first, as the toolkit delivers it before the timers.
  const auto consider = [&](Event event, std::int64_t due) {
    due = std::max(due, now_);
    if (due < at || (due == at && next == Event::None)) {
      next = event;
      at = due;
    }
  };
  if (!datagrams_.empty()) consider(Event::Datagram, now_);
  if (serialNotifyDue_) consider(Event::Serial, *serialNotifyDue_);
  if (mainTimer_.active) consider(Event::MainTimer, mainTimer_.dueMs);
  if (unpackTimer_.active) consider(Event::UnpackTimer, unpackTimer_.dueMs);
  if (const auto wake = unit_.NextWakeMs()) consider(Event::Unit, *wake);
  AdvanceTo(std::max(at, now_));
  switch (next) {
    case Event::None:
    case Event::Unit:
      return;
    case Event::Datagram: {
      const ByteString datagram = datagrams_.front();
      datagrams_.pop_front();
      socket_.Deliver(datagram);
      return;
    }
    case Event::Serial:
      serialNotifyDue_.reset();
      ports_.Wired().Notify();
      return;
    case Event::MainTimer:
      mainTimer_.Fired(now_);
      engine_.MainTimerTick();
      FollowMainTimer();
      return;
    case Event::UnpackTimer:
      unpackTimer_.FiredOnGrid(now_);
      engine_.UnpackTimerTick();
      return;
  }
}

bool World::RunUntil(const std::function<bool()>& condition, std::int64_t limitMs) {
  const std::int64_t start = now_;
  std::int64_t nextLook = start + kConditionPollMs;
  while (!condition()) {
    if (now_ - start > limitMs) return false;
    RunNextEvent(nextLook);
    if (now_ >= nextLook) nextLook = now_ + kConditionPollMs;
  }
  return true;
}

std::optional<std::string> World::Run() {
  engine_.Listen();
  if (setup_.link == LinkMode::Serial) {
    SerialConnectionModel& window = engine_.SerialConnection();
    window.Load();
    window.Activate();
    window.Options().ChooseModel(UnitModel::Qt1Rx);
    window.Options().ChooseVideo(VideoStandard::Ntsc);
    window.Choose(kBaud4800Index);
  } else {
    Transport& transport = engine_.GetTransport();
    transport.SetBridgePort(kBridgePort);
    transport.SetLocalPort(kBridgePort);
    NetworkConnectionModel& window = engine_.NetworkConnection();
    window.SetAddressText(kUnitAddress);
    window.Load();
    window.Activate();
    window.Options().ChooseModel(UnitModel::Qt1Rx);
    window.Options().ChooseVideo(VideoStandard::Ntsc);
    window.SelectSpeed(kBaud4800Index);
    window.Connect();
  }
  engine_.Settings().Load();
  const std::int64_t asked = now_;
  ConnectionCheckModel& check = engine_.ConnectionCheck();
  RunUntil([&] { return check.ReadyToLook(static_cast<int>(now_ - asked)); },
           ConnectionCheckModel::kStatusReplyWaitMs + kConditionPollMs);
  if (check.Check().next != NextWindow::ShowSettingsWindow) {
    return "the unit did not answer the connection check";
  }
  engine_.Settings().Activate(false);
  FollowMainTimer();

  const TransferState& state = session_.transfer;
  bool ended = false;
  if (setup_.direction == Direction::Download) {
    if (const auto problem = engine_.Settings().OpenSettingsFile(std::filesystem::path(setup_.settingsFile))) {
      return *problem;
    }
    engine_.GetDownload().StartDownload();
    ended = RunUntil([&] { return !state.downloadRequested; }, kTransferLimitMs);
  } else {
    engine_.GetUpload().StartUpload();
    ended = RunUntil([&] { return !state.uploadActive; }, kTransferLimitMs);
  }
  if (!ended) return "the transfer did not end within " + std::to_string(kTransferLimitMs / 1000) + " s";
  if (linkFailed_ || doneMessages_ != kTransferDoneMessages) return "the transfer did not complete";
  return std::nullopt;
}

}  // namespace

std::variant<Traffic, std::string> RunOnVirtualTime(const VirtualRunSetup& setup) {
  auto world = std::make_unique<World>(setup);
  if (const auto problem = world->Run()) return *problem;
  return world->TrafficSeen();
}

}  // namespace koral::bench
