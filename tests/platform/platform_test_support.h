// Helpers for the Qt adapter tests: Qt warning checks, environment changes
// undone, byte strings, and (from pty_peer.h) the far end of a line.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "link/byte_string.h"
#include "pty_peer.h"

namespace koral::testing_support {

// Installs the message handler that records Qt's warnings (from main).
void RecordQtWarnings();
// The warnings recorded since the last call.
std::vector<std::string> TakeQtWarnings();

// Fails a test that made Qt warn.
class PlatformTest : public ::testing::Test {
 protected:
  void SetUp() override { TakeQtWarnings(); }
  void TearDown() override {
    for (const std::string& warning : TakeQtWarnings())
      ADD_FAILURE() << "unexpected Qt warning: " << warning;
  }
};

// Sets environment variables and puts the old values back.
class EnvironmentGuard {
 public:
  ~EnvironmentGuard();
  void Set(const std::string& name, const std::string& value);

 private:
  std::vector<std::pair<std::string, std::optional<QByteArray>>> saved_;
};

ByteString Bytes(std::initializer_list<int> values);
// 0, 1, 2, ... count - 1.
ByteString Sequence(std::size_t count);

}  // namespace koral::testing_support
