// Sending the update through the window: progress, lamp, cursor, and what happens when the
// window's client stops sending.
#include <gtest/gtest.h>

#include <QTest>

#include <functional>
#include <string>
#include <vector>

#include "fake_host.h"
#include "settings/update.h"

namespace {

using settings_test::FakeHost;
using Strings = std::vector<std::string>;

const QColor kGreen(0, 255, 0);

// Holds every onSent until the test lets it run, as a paced client does.
struct HeldSends {
  std::vector<std::function<void()>> pending;
  void Attach(FakeHost& host) {
    host.sendOverride = [this](const std::string&, std::function<void()> onSent) { pending.push_back(std::move(onSent)); };
  }
  void ReleaseOne() {
    ASSERT_FALSE(pending.empty());
    auto f = std::move(pending.front());
    pending.erase(pending.begin());
    f();
  }
};

TEST(SettingsUpdate, ProgressLampAndCursorWhileCommandsLeave) {
  FakeHost host(protocol::kQuake3, 1, "pw");
  HeldSends held;
  held.Attach(host);
  settings::StartServerUpdate(host, {"set a 1", "b 2", "c 0"});
  EXPECT_EQ(host.cursor().shape(), Qt::WaitCursor);
  EXPECT_EQ(host.lamps.front(), kGreen);
  EXPECT_EQ(host.status, "Updating server...");
  EXPECT_EQ(host.rcons, (Strings{"set a 1"}));  // one at a time
  EXPECT_TRUE(settings::UpdateRunning(host));

  held.ReleaseOne();
  EXPECT_EQ(host.status, "Updating server... 1 of 3");
  // Sends and replies meanwhile leave the lamp green.
  host.SetLamp(QColor(255, 0, 0));
  EXPECT_EQ(host.lamp, kGreen);
  EXPECT_EQ(host.rcons.size(), 2u);
  held.ReleaseOne();
  // A second update while this one runs joins it.
  settings::StartServerUpdate(host, {"d 4"});
  EXPECT_EQ(host.status, "Updating server... 2 of 4");
  held.ReleaseOne();
  EXPECT_EQ(host.status, "Updating server... 3 of 4");
  held.ReleaseOne();
  EXPECT_EQ(host.rcons, (Strings{"set a 1", "b 2", "c 0", "d 4"}));
  EXPECT_EQ(host.status, "");
  EXPECT_EQ(host.cursor().shape(), Qt::ArrowCursor);
  EXPECT_FALSE(settings::UpdateRunning(host));
  EXPECT_TRUE(held.pending.empty());
  EXPECT_EQ(host.lamp, kGreen);  // until the next reply
  EXPECT_FALSE(host.lampHeld);
}

TEST(SettingsUpdate, NothingToSendStillShowsAndClears) {
  FakeHost host(protocol::kQuake2, 1, "pw");
  settings::StartServerUpdate(host, {});
  EXPECT_EQ(host.statuses, (Strings{"Updating server...", ""}));
  EXPECT_EQ(host.lamp, kGreen);
  EXPECT_EQ(host.cursor().shape(), Qt::ArrowCursor);
  EXPECT_TRUE(host.rcons.empty());
}

TEST(SettingsUpdate, SendsThatLeaveAtOnceFinishInTheCall) {
  FakeHost host(protocol::kQuake2, 1, "pw");
  host.sendOverride = [](const std::string&, std::function<void()> onSent) { onSent(); };
  settings::StartServerUpdate(host, {"a 1", "b 2"});
  EXPECT_EQ(host.statuses, (Strings{"Updating server...", "Updating server... 1 of 2", "Updating server... 2 of 2", ""}));
  EXPECT_EQ(host.cursor().shape(), Qt::ArrowCursor);
}

TEST(SettingsUpdate, ADroppedSendGivesTheCursorBack) {
  // The window's client closed with commands still queued: their onSent never runs.
  FakeHost host(protocol::kQuake3, 1, "pw");
  HeldSends held;
  held.Attach(host);
  settings::StartServerUpdate(host, {"a 1", "b 2"});
  held.ReleaseOne();
  EXPECT_EQ(host.cursor().shape(), Qt::WaitCursor);
  held.pending.clear();
  EXPECT_EQ(host.cursor().shape(), Qt::ArrowCursor);
  EXPECT_FALSE(host.lampHeld);
  EXPECT_FALSE(settings::UpdateRunning(host));
  EXPECT_EQ(host.rcons.size(), 2u);
}

}  // namespace
