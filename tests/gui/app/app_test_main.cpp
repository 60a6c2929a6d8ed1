// main() of the frame's tests: GoogleTest inside the program's own application object, so that
// exceptions escaping event handlers meet the same backstop as in the program.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/application.h"
#include "support/scripted_dialogs.h"

int main(int argc, char* argv[]) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  testing::InitGoogleTest(&argc, argv);
  TApplication application(argc, argv);
  application.Initialize();
  // Tests close frames; that must never end an event loop a test is waiting in.
  application.setQuitOnLastWindowClosed(false);
  // A modal interaction that a test did not script must never wait for a person.
  test::ScriptedDialogs fallback;
  platform::SetDialogs(&fallback);
  const int result = RUN_ALL_TESTS();
  platform::SetDialogs(nullptr);
  return result;
}
