// The settings dialog on a real server: every field of the shipped description file filled
// from the server, then an update whose edits are read back. At the server's rate limit the
// 40 queries and the 40 update commands take about a minute and a half.
#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>

#include "program_fixture.h"
#include "settings/settingsform.h"

namespace e2e {
namespace {

class Settings : public ServerGroup<Settings> {
};

TEST_F(Settings, TheSettingsDialogShowsEveryShippedFieldAndItsUpdateIsReadBack) {
  int inputs = 0;
  int known = 0;
  dialogs_.modalAnswers.push_back([&](QDialog& dialog) {
    auto& settings = dynamic_cast<TF_Settings&>(dialog);
    inputs = settings.InputCount();
    EXPECT_TRUE(WaitFor([&] { return settings.KnownCount() == settings.InputCount(); }, 90000)) << [&] {
      std::string unknown;
      for (QWidget* input : settings.Grid()->findChildren<QWidget*>())
        if (!input->objectName().isEmpty() && input->toolTip().contains("server"))
          unknown += input->objectName().toStdString() + ": " + input->toolTip().toStdString() + "\n";
      return unknown;
    }();
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
