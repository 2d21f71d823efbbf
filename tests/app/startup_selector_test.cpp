// The start-up selector: which window each entry opens and the link it fixes.
#include <gtest/gtest.h>

#include <utility>

#include "app/startup_selector_model.h"

namespace koral {
namespace {

TEST(StartupSelectorTest, choosingAnEntry_namesItsWindowAndFixesTheLinkOnce) {
  const std::pair<int, StartupChoice> cases[] = {{0, {StartupWindow::SerialConnection, LinkMode::Serial}},
                                                 {1, {StartupWindow::NetworkConnection, LinkMode::Udp}},
                                                 {2, {StartupWindow::IpAddressSetting, LinkMode::Serial}}};
  for (const auto& [position, choice] : cases) {
    SCOPED_TRACE(position);
    Session session;
    session.linkMode = LinkMode::Udp;  // so that choosing serial has to write it
    StartupSelectorModel selector{session};
    EXPECT_EQ(selector.Entries().items[2], "IP Address Setting");
    EXPECT_EQ(selector.Choose(-1), std::nullopt);  // outside the list
    EXPECT_EQ(selector.Choose(3), std::nullopt);
    EXPECT_TRUE(selector.CloseEndsProgram());
    EXPECT_EQ(selector.Choose(position), choice);
    EXPECT_EQ(session.linkMode, choice.linkMode);
    EXPECT_FALSE(selector.CloseEndsProgram());
    // Hidden for good: no second choice, whichever entry.
    for (int again = 0; again < 3; ++again)
      EXPECT_EQ(selector.Choose(again), std::nullopt) << again;
    EXPECT_EQ(session.linkMode, choice.linkMode);
  }
}

}  // namespace
}  // namespace koral
