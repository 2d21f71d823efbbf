#include "platform_test_support.h"

#include <QString>
#include <QtGlobal>
#include <mutex>
#include <utility>

namespace koral::testing_support {
namespace {

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

void RecordQtWarnings() {
  previousHandler = qInstallMessageHandler(RecordMessage);
}

std::vector<std::string> TakeQtWarnings() {
  const std::lock_guard lock(warningsMutex);
  return std::exchange(warnings, {});
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
  std::optional<QByteArray> old;
  if (qEnvironmentVariableIsSet(name.c_str())) old = qgetenv(name.c_str());
  saved_.emplace_back(name, old);
  qputenv(name.c_str(), QByteArray::fromStdString(value));
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
