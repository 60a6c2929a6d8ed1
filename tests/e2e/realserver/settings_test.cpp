// The settings dialog on a real server: every field of the shipped description file filled
// from the server's one listing of its variables, within two seconds even while the window
// polls every second and a console is open; then an update whose edits are read back. The
// update goes out at the server's rate limit, one command a second after the first burst.
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>

#include <iostream>

#include "program_fixture.h"
#include "settings/settingsform.h"

namespace e2e {
namespace {

class Settings : public ServerGroup<Settings> {
 protected:
  // The inputs that do not show the server's value, with their tooltips.
  static std::string Unknown(TF_Settings& settings) {
    std::string unknown;
    for (QWidget* input : settings.Grid()->findChildren<QWidget*>())
      if (!input->objectName().isEmpty() && input->toolTip().contains("server"))
        unknown += input->objectName().toStdString() + ": " + input->toolTip().toStdString() + "\n";
    return unknown;
  }
};

TEST_F(Settings, FortyFieldsWithinTwoSecondsWhileTheWindowPollsEverySecondWithAConsoleOpen) {
  window->TB_Refresh->setValue(1);
  window->RemoteConsole1->trigger();
  // The window's polls have filled the server's rate limit: each request now waits its turn.
  QTest::qWait(8000);

  int inputs = 0;
  qint64 filledMs = -1;
  int requests = 0;
  QElapsedTimer clock;
  dialogs_.modalAnswers.push_back([&](QDialog& dialog) {
    auto& settings = dynamic_cast<TF_Settings&>(dialog);
    inputs = settings.InputCount();
    EXPECT_TRUE(WaitFor([&] { return settings.KnownCount() == settings.InputCount(); }, 10000)) << Unknown(settings);
    filledMs = clock.elapsed();
    requests = settings.QueriesSent();
    return int(platform::mrCancel);
  });
  clock.start();
  window->Settings1->trigger();
  std::cout << inputs << " fields filled " << filledMs << " ms after opening, with " << requests << " request\n";
  EXPECT_EQ(inputs, 40);
  EXPECT_GE(filledMs, 0);
  EXPECT_LE(filledMs, 2000);
  EXPECT_EQ(requests, 1);
  // ProgramTest::TearDown reads the server's log for dropped requests.
}

TEST_F(Settings, TheSettingsDialogShowsEveryShippedFieldAndItsUpdateIsReadBack) {
  int inputs = 0;
  int known = 0;
  dialogs_.modalAnswers.push_back([&](QDialog& dialog) {
    auto& settings = dynamic_cast<TF_Settings&>(dialog);
    inputs = settings.InputCount();
    EXPECT_TRUE(WaitFor([&] { return settings.KnownCount() == settings.InputCount(); }, 10000)) << Unknown(settings);
    known = settings.KnownCount();
    auto* hostname = settings.findChild<QLineEdit*>("sv_hostname");
    auto* gravity = settings.findChild<QSpinBox*>("g_gravity");
    auto* friendlyFire = settings.findChild<QCheckBox*>("g_friendlyFire");
    EXPECT_TRUE(hostname && gravity && friendlyFire);
    if (!hostname || !gravity || !friendlyFire) return int(platform::mrCancel);
    EXPECT_EQ(hostname->text(), "noname");
    EXPECT_EQ(gravity->value(), 800);
    EXPECT_FALSE(friendlyFire->isChecked());
    hostname->setText("Corvane end to end");
    gravity->setValue(650);
    friendlyFire->setChecked(true);
    return int(platform::mrOk);
  });
  window->Settings1->trigger();
  EXPECT_GT(inputs, 30);
  EXPECT_EQ(known, inputs);
  // The update goes out paced, one command a second after the first burst.
  EXPECT_TRUE(WaitFor([&] { return !window->StatusText().empty(); }, 5000));
  EXPECT_TRUE(WaitFor([&] { return window->StatusText().empty(); }, 90000)) << window->StatusText();
  EXPECT_EQ(server->Cvar("sv_hostname"), std::optional<std::string>("Corvane end to end"));
  EXPECT_EQ(server->Cvar("g_gravity"), std::optional<std::string>("650"));
  EXPECT_EQ(server->Cvar("g_friendlyFire"), std::optional<std::string>("1"));
  // Values sent back unchanged stay as they were.
  EXPECT_EQ(server->Cvar("timelimit"), std::optional<std::string>("0"));
  EXPECT_TRUE(RuleShows("sv_hostname", "Corvane end to end", 20000));
}

}  // namespace
}  // namespace e2e
