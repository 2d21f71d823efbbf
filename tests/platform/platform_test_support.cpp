#include "platform_test_support.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimer>
#include <mutex>
#include <utility>

namespace koral::testing_support {
namespace {

constexpr int kEventLoopSliceMs = 5;

std::mutex warningsMutex;
std::vector<std::string> warnings;
QtMessageHandler previousHandler = nullptr;

void RecordMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg) {
    const std::lock_guard lock(warningsMutex);
    warnings.push_back(message.toStdString());
  }
  if (previousHandler != nullptr) previousHandler(type, context, message);
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
  const QDeadlineTimer deadline(timeoutMs);
  while (!condition()) {
    if (deadline.hasExpired()) return condition();
    RunEventLoopFor(kEventLoopSliceMs);
  }
  return true;
}

void RunEventLoopFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

void RecordQtWarnings() {
  previousHandler = qInstallMessageHandler(RecordMessage);
}

std::vector<std::string> TakeQtWarnings() {
  const std::lock_guard lock(warningsMutex);
  return std::exchange(warnings, {});
}

PtyPair::~PtyPair() {
  Kill();
}

bool PtyPair::Start() {
  if (!dir_.isValid()) {
    log_ = "no temporary folder";
    return false;
  }
  // -d -d -d: notices and the "transferred N bytes" line socat writes after
  // each pass, which tells the tests when bytes have reached a device.
  const auto end = [](const std::string& path) { return QString::fromStdString("pty,raw,echo=0,link=" + path); };
  socat_.setProgram(QStringLiteral("socat"));
  socat_.setArguments({QStringLiteral("-d"), QStringLiteral("-d"), QStringLiteral("-d"), end(EndA()), end(EndB())});
  socat_.setStandardOutputFile(QProcess::nullDevice());
  socat_.start();
  if (!socat_.waitForStarted(kWaitMs)) {
    log_ = "socat did not start (install it: scripts/install-deps.sh --tests): " + socat_.errorString().toUtf8();
    return false;
  }
  return WaitUntil([this] {
    Log();
    return log_.contains("starting data transfer loop") && QFileInfo::exists(QString::fromStdString(EndA())) &&
           QFileInfo::exists(QString::fromStdString(EndB()));
  });
}

std::size_t PtyPair::BytesTransferred() {
  static const QRegularExpression transferred(QStringLiteral("transferred (\\d+) bytes"));
  std::size_t total = 0;
  auto matches = transferred.globalMatch(QString::fromUtf8(Log()));
  while (matches.hasNext())
    total += matches.next().captured(1).toULongLong();
  return total;
}

bool PtyPair::WaitForBytesTransferred(std::size_t count) {
  return WaitUntil([this, count] { return BytesTransferred() >= count; });
}

void PtyPair::Kill() {
  if (socat_.state() == QProcess::NotRunning) return;
  socat_.kill();
  socat_.waitForFinished(kWaitMs);
}

std::string PtyPair::Log() {
  log_ += socat_.readAllStandardError();
  return log_.toStdString();
}

std::string PtyPair::Path(const char* name) const {
  return dir_.filePath(QString::fromLatin1(name)).toStdString();
}

bool LineEnd::Open(const std::string& device) {
  port_.setPortName(QString::fromStdString(device));
  return port_.open(QIODevice::ReadWrite);
}

void LineEnd::Write(const ByteString& bytes) {
  port_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  port_.flush();
}

ByteString LineEnd::Received() {
  const QByteArray chunk = port_.readAll();
  received_.insert(received_.end(), chunk.begin(), chunk.end());
  return received_;
}

ByteString LineEnd::WaitForReceived(std::size_t count) {
  WaitUntil([this, count] { return Received().size() >= count; });
  return received_;
}

ByteString LineEnd::WaitForReceivedWithoutEventLoop(std::size_t count) {
  const QDeadlineTimer deadline(kWaitMs);
  while (Received().size() < count && !deadline.hasExpired())
    port_.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
  return received_;
}

EnvironmentGuard::~EnvironmentGuard() {
  for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
    if (it->second) {
      qputenv(it->first.c_str(), *it->second);
    } else {
      qunsetenv(it->first.c_str());
    }
  }
}

void EnvironmentGuard::Set(const std::string& name, const std::string& value) {
  Remember(name);
  qputenv(name.c_str(), QByteArray::fromStdString(value));
}

void EnvironmentGuard::Remember(const std::string& name) {
  std::optional<QByteArray> value;
  if (qEnvironmentVariableIsSet(name.c_str())) value = qgetenv(name.c_str());
  saved_.emplace_back(name, value);
}

ByteString Bytes(std::initializer_list<int> values) {
  ByteString bytes;
  for (int value : values)
    bytes.push_back(static_cast<std::uint8_t>(value));
  return bytes;
}

ByteString Sequence(std::size_t count) {
  ByteString bytes;
  for (std::size_t i = 0; i < count; ++i)
    bytes.push_back(static_cast<std::uint8_t>(i));
  return bytes;
}

}  // namespace koral::testing_support
