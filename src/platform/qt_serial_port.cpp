#include "platform/qt_serial_port.h"

#include <QSerialPort>
#include <stdexcept>

namespace koral {
namespace {

// What a port holds of received bytes before it overruns. The link reads at
// most 30 bytes a notification and the unit's frames are short, so only a line
// full of noise ever fills it.
constexpr qint64 kInputBufferBytes = 4096;

}  // namespace

std::string SerialErrorText(const std::string& portName, const std::string& device, const std::string& reason,
                            bool permissionDenied) {
  std::string text = portName;
  if (!device.empty() && device != portName) text += " (" + device + ")";
  text += ": " + reason;
  if (permissionDenied) {
    text += ". Another program may be using the port";
#ifdef Q_OS_LINUX
    text +=
        ", or you may not have access to it: add yourself to the dialout group with "
        "`sudo usermod -aG dialout $USER`, then log in again";
#endif
    text += ".";
  }
  return text;
}

QtSerialPort::QtSerialPort(std::string name, std::string device)
    : name_(std::move(name)),
      device_(std::move(device)),
      port_(std::make_unique<QSerialPort>()),
      notifyAgain_([this] {
        if (BytesWaiting() > 0) Notify();
      }),
      closeLater_([this] {
        if (!closePending_) return;
        closePending_ = false;
        port_->close();
      }) {
  port_->setPortName(QString::fromStdString(device_));
  port_->setDataBits(QSerialPort::Data8);
  port_->setParity(QSerialPort::NoParity);
  port_->setStopBits(QSerialPort::OneStop);
  port_->setFlowControl(QSerialPort::NoFlowControl);
  port_->setReadBufferSize(kInputBufferBytes);
  QObject::connect(port_.get(), &QSerialPort::readyRead, port_.get(), [this] { Notify(); });
  QObject::connect(port_.get(), &QSerialPort::errorOccurred, port_.get(), [this] { OnError(); });
}

QtSerialPort::~QtSerialPort() {
  // No notification may reach a half-destroyed port.
  QObject::disconnect(port_.get(), nullptr, nullptr, nullptr);
}

bool QtSerialPort::SetBaudRate(int baud) {
  // A closed port keeps the speed and applies it when it opens.
  if (baud <= 0 || !port_->setBaudRate(baud)) {
    Fail("Cannot set the speed to " + std::to_string(baud) + " baud: " + port_->errorString().toStdString());
    return false;
  }
  return true;
}

bool QtSerialPort::IsOpen() const {
  return port_->isOpen() && !closePending_;
}

bool QtSerialPort::Open() {
  if (IsOpen()) return true;
  if (device_.empty()) {
    errorText_ = "No device for " + name_;
    return false;
  }
  if (port_->isOpen()) port_->close();  // a failed port whose closing is still queued
  closePending_ = false;
  port_->clearError();
  if (!port_->open(QIODevice::ReadWrite)) {
    Fail(port_->errorString().toStdString(), port_->error() == QSerialPort::PermissionError);
    return false;
  }
  // Bytes that reached the device before it was opened (a pseudo-terminal keeps
  // them) belong to nobody.
  port_->clear();
  dtrUnsupported_ = false;
  if (dtr_) SetDtr(*dtr_);
  port_->clearError();
  return true;
}

void QtSerialPort::Close() {
  closePending_ = false;
  if (port_->isOpen()) port_->close();
}

void QtSerialPort::SetDtr(bool on) {
  dtr_ = on;
  if (!IsOpen() || dtrUnsupported_) return;  // applied when the port opens
  // A pseudo-terminal has no DTR line: the request fails as an unsupported
  // operation and the port goes on working. It is not asked again: every byte
  // switches DTR twice, and each refusal costs a system call and an error.
  if (!port_->setDataTerminalReady(on)) {
    dtrUnsupported_ = port_->error() == QSerialPort::UnsupportedOperationError;
    port_->clearError();
  }
}

bool QtSerialPort::Write(std::span<const std::uint8_t> bytes) {
  if (!IsOpen()) return false;
  if (bytes.empty()) return true;
  const auto size = static_cast<qint64>(bytes.size());
  const qint64 written = port_->write(reinterpret_cast<const char*>(bytes.data()), size);
  // QSerialPort only queues the bytes; without this they would leave when the
  // event loop next runs, after all the waits that should separate them.
  port_->flush();
  if (written != size) {
    Fail("Write failed: " + port_->errorString().toStdString());
    return false;
  }
  return true;
}

ByteString QtSerialPort::Read(std::size_t max) {
  if (!IsOpen() || max == 0) return {};
  CollectWaitingBytes();
  if (port_->bytesAvailable() >= kInputBufferBytes) {
    // Overrun: what is held is stale noise the link would take minutes to read
    // through, and the unit's next frame would wait behind it. Drop it with
    // what the system holds. The read below then finds nothing and lets the
    // port take bytes again.
    port_->clear(QSerialPort::Input);
  }
  const QByteArray chunk = port_->read(static_cast<qint64>(max));
  if (port_->bytesAvailable() > 0) NotifyAgainLater();
  return ByteString(chunk.begin(), chunk.end());
}

void QtSerialPort::Notify() {
  if (!onReceive_ || closePending_ || collecting_) return;
  const auto handler = onReceive_;  // the handler may replace itself
  handler();
}

void QtSerialPort::CollectWaitingBytes() {
  // QSerialPort takes bytes from the system only when the event loop runs, and
  // the wait before a read blocks it: the rest of a frame that a USB adapter
  // handed over in pieces would stay behind until the next notification. The
  // readyRead this emits must not start the receive handler again inside the
  // read.
  collecting_ = true;
  port_->waitForReadyRead(0);
  collecting_ = false;
  // Nothing to collect is not a failure of the port.
  if (port_->error() == QSerialPort::TimeoutError) port_->clearError();
}

void QtSerialPort::NotifyAgainLater() {
  notifyAgain_.Schedule();
}

std::string QtSerialPort::ErrorText() const {
  return errorText_;
}

void QtSerialPort::SetReceiveHandler(std::function<void()> handler) {
  onReceive_ = std::move(handler);
}

std::size_t QtSerialPort::BytesWaiting() const {
  return IsOpen() ? static_cast<std::size_t>(port_->bytesAvailable()) : 0;
}

void QtSerialPort::OnError() {
  switch (port_->error()) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
      // The device is gone. QSerialPort would report it again on every turn of
      // the event loop and keep the port open; close it instead, outside the
      // notification that is reporting it.
      if (closePending_ || !port_->isOpen()) return;
      closePending_ = true;
      Fail("The device stopped responding and the port was closed");
      closeLater_.Schedule();
      return;
    default:
      // Failures of open, write and settings are reported where they happen;
      // the others (such as DTR on a pseudo-terminal) leave the port usable.
      return;
  }
}

void QtSerialPort::Fail(const std::string& reason, bool permissionDenied) {
  errorText_ = SerialErrorText(name_, device_, reason, permissionDenied);
}

QtSerialPorts::QtSerialPorts() : QtSerialPorts(FindPortDevices()) {}

QtSerialPorts::QtSerialPorts(const PortDevices& devices) : devices_(devices) {
  for (std::size_t i = 0; i < ports_.size(); ++i)
    ports_[i] = std::make_unique<QtSerialPort>(PortName(static_cast<int>(i) + 1), devices_[i].device);
}

SerialPort& QtSerialPorts::Port(int number) {
  return QtPort(number);
}

QtSerialPort& QtSerialPorts::QtPort(int number) {
  if (number < 1 || number > kCount) throw std::out_of_range("No such serial port: " + PortName(number));
  return *ports_[static_cast<std::size_t>(number - 1)];
}

}  // namespace koral
