// The platform tests need a running Qt application for their event loop.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "platform_test_support.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  koral::testing_support::RecordQtWarnings();
  return RUN_ALL_TESTS();
}
