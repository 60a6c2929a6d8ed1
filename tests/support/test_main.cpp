// main() of every test executable: GoogleTest inside a QApplication. Widget tests need the
// application object; the offscreen platform is chosen unless the environment names another.
#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>

#include "support/scripted_dialogs.h"

int main(int argc, char* argv[]) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  app.setApplicationName("Corvane");
  // A modal interaction that a test did not script must never wait for a person.
  test::ScriptedDialogs fallback;
  platform::SetDialogs(&fallback);
  const int result = RUN_ALL_TESTS();
  platform::SetDialogs(nullptr);
  return result;
}
