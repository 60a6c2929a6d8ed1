// "&Settings" of both monitor windows: the editor opens on the window's own server, fills its
// fields from the server, and the update goes out through the window (lamp green, progress in
// the status bar, cleared at the end).
#include <QLineEdit>
#include <QSpinBox>

#include "monitor_fixture.h"
#include "settings/opensettings.h"
#include "settings/settingsform.h"

namespace test {
namespace {

class SettingsItemWire : public MonitorWire {
 protected:
  // Answers the editor: waits for both values, edits them, presses "&Update server".
  void AnswerEditor(const QString& text, int number) {
    dialogs_.modalAnswers.push_back([this, text, number](QDialog& dialog) {
      auto* textField = dialog.findChild<QLineEdit*>(textName_);
      auto* spin = dialog.findChild<QSpinBox*>(spinName_);
      EXPECT_TRUE(textField && spin);
      if (!textField || !spin) return int(platform::mrCancel);
      EXPECT_TRUE(QTest::qWaitFor([&] { return !textField->text().isEmpty() && spin->value() != 0; }, 3000));
      textField->setText(text);
      spin->setValue(number);
      return int(platform::mrOk);
    });
  }

  QString textName_, spinName_;
};

TEST_F(SettingsItemWire, BothWindowsOpenTheEditorOnTheirServerAndUpdateThroughThemselves) {
  struct Case {
    Game game;
    const char* file;
    const char* textName;
    const char* spinName;
    std::string textCommand;  // as the server ran it (Quake 2 rebuilds commands word by word)
    std::string spinCommand;
  };
  const Case cases[] = {
      {Game::Quake3, "q3-default.ini", "sv_hostname", "timelimit", "set sv_hostname NightFrag", "timelimit 25"},
      {Game::Quake2, "q2-default.ini", "hostname", "timelimit", "hostname NightFrag ", "timelimit 25 "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    dir_.Write(c.file, std::string("[Common]\r\nNumFields=2\r\n[Field1]\r\nType=STRING\r\nName=") + c.textName +
                           "\r\n[Field2]\r\nType=INT\r\nName=" + c.spinName + "\r\n");
    GameServerConfig config;
    config.game = c.game;
    config.password = "secret";
    config.cvars = {CvarDef{c.textName, "Old", std::nullopt, 0}, CvarDef{c.spinName, "20", std::nullopt, 0}};
    GameServer server(config);
    server.Start();
    TF_ServerMonitor* window = c.game == Game::Quake3 ? static_cast<TF_ServerMonitor*>(Open<TF_Q3Server>(server, "secret"))
                                                      : static_cast<TF_ServerMonitor*>(Open<TF_Q2Server>(server, "secret"));
    ASSERT_TRUE(WaitPolling(window));
    ASSERT_TRUE(window->Settings1->isVisible());

    textName_ = c.textName;
    spinName_ = c.spinName;
    AnswerEditor("NightFrag", 25);
    window->Settings1->trigger();
    EXPECT_EQ(window->LampColor(), QColor(0, 255, 0));
    auto ran = [&](const std::string& command) {
      const auto commands = server.Commands();
      return std::find(commands.begin(), commands.end(), command) != commands.end();
    };
    EXPECT_TRUE(WaitFor([&] { return ran(c.textCommand) && ran(c.spinCommand); }));
    EXPECT_TRUE(WaitFor([&] { return window->StatusText().empty(); }));
    EXPECT_EQ(server.Cvar(c.spinName), std::optional<std::string>("25"));
    EXPECT_EQ(server.Cvar(c.textName), std::optional<std::string>("NightFrag"));
    window->close();
  }
}

}  // namespace
}  // namespace test
