#include <gtest/gtest.h>

#include <QAction>

#include "platform/errorhandler.h"
#include "platform/errors.h"
#include "support/scripted_dialogs.h"

namespace {

TEST(ErrorHandler, AppendsAFullStopOnlyAfterCharactersThatSortAfterIt) {
  EXPECT_EQ(platform::ErrorBoxText("No fixed file info"), "No fixed file info.");
  EXPECT_EQ(platform::ErrorBoxText("No Version Info Available."), "No Version Info Available.");
  EXPECT_EQ(platform::ErrorBoxText("Cannot create file /tmp/x.txt"), "Cannot create file /tmp/x.txt.");
  EXPECT_EQ(platform::ErrorBoxText("value (x)"), "value (x)");  // ')' sorts before '.'
  EXPECT_EQ(platform::ErrorBoxText("ends in -"), "ends in -");
  EXPECT_EQ(platform::ErrorBoxText("ends in /"), "ends in /.");
  EXPECT_EQ(platform::ErrorBoxText(""), "");
  EXPECT_EQ(platform::ErrorBoxText("\xDF"), "\xDF.");
}

TEST(ErrorHandler, GuardedShowsTheExceptionInAnErrorBoxTitledWithTheApplication) {
  test::ScopedDialogs dialogs;
  bool after = false;
  platform::Guarded([] { throw platform::EIniFileException("Unable to write to /x/Corvane.ini"); });
  after = true;
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].type, platform::MsgType::Error);
  EXPECT_EQ(dialogs.messages[0].caption, "Corvane");
  EXPECT_EQ(dialogs.messages[0].text, "Unable to write to /x/Corvane.ini.");
  EXPECT_TRUE(after);
}

TEST(ErrorHandler, HandlerWrapsSlotsWithArguments) {
  test::ScopedDialogs dialogs;
  int seen = 0;
  auto slot = platform::Handler([&](int v) {
    seen = v;
    if (v > 1) throw std::runtime_error("too big");
  });
  slot(1);
  slot(2);
  EXPECT_EQ(seen, 2);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "too big.");
}

TEST(ErrorHandler, HandlerConnectsToASignalThatCarriesMoreArguments) {
  test::ScopedDialogs dialogs;
  QAction action;
  int calls = 0;
  QObject::connect(&action, &QAction::triggered, &action, platform::Handler([&] {
    ++calls;
    throw std::runtime_error("from a menu item");
  }));
  action.trigger();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"from a menu item."});
}

}  // namespace
