// Changes made from a monitor window on a real server, each read back from the server: a rule
// by double click, the read-only notice, the game type and the map from their boxes.
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QStatusBar>

#include "monitor/changesetting.h"
#include "program_fixture.h"

namespace e2e {
namespace {

class Changes : public ServerGroup<Changes> {
 protected:
  // Double-clicks the rule and answers the change-setting dialog with `value`.
  void ChangeRule(const QString& rule, const QString& value, std::string* cvarShown = nullptr) {
    const int row = FindRule(window->LV_Settings, rule);
    ASSERT_GE(row, 0) << rule.toStdString();
    window->LV_Settings->setCurrentItem(window->LV_Settings->topLevelItem(row));
    dialogs_.modalAnswers.push_back([value, cvarShown](QDialog& dialog) {
      auto& change = dynamic_cast<TF_ChangeSetting&>(dialog);
      if (cvarShown) *cvarShown = change.L_cVar->text().toStdString();
      change.E_Value->setText(value);
      return int(platform::mrOk);
    });
    window->LV_SettingsDblClick();
  }
};

TEST_F(Changes, ARuleChangedByDoubleClickIsReadBackAndReadOnlyRulesAreNoted) {
  window->TB_Refresh->setValue(2);
  std::string cvar;
  ChangeRule("fraglimit", "35", &cvar);
  EXPECT_EQ(cvar, "FRAGLIMIT");
  EXPECT_TRUE(RuleShows("fraglimit", "35"));
  EXPECT_EQ(server->Cvar("fraglimit"), std::optional<std::string>("35"));

  // A rule the server keeps read-only: its notice stands in the status bar.
  ChangeRule("version", "1.0");
  EXPECT_TRUE(WaitFor([&] { return window->StatusText() == "VERSION is read only.\n"; }, 10000))
      << window->StatusText();
  // sv_cheats is not among the listed rules; the same command form from the window's
  // remote-command path meets the same notice.
  window->SendRcon("set SV_CHEATS 1");
  EXPECT_TRUE(WaitFor([&] { return window->StatusText() == "SV_CHEATS is read only.\n"; }, 10000))
      << window->StatusText();
  EXPECT_EQ(server->Cvar("sv_cheats"), std::optional<std::string>("0"));
}

TEST_F(Changes, GameTypeAndMapFromTheirBoxesChangeTheServer) {
  window->TB_Refresh->setValue(2);
  // Picking "Capture the Flag": the server latches it for the next map.
  window->CB_GameType->setCurrentIndex(4);
  emit window->CB_GameType->activated(4);
  EXPECT_TRUE(ServerShows([&] { return server->LatchedCvar("g_gametype") == "4"; }, 10000));
  // The box follows the server, which still plays Free For All until the map changes.
  EXPECT_TRUE(WaitFor([&] { return window->CB_GameType->currentIndex() == 0; }, 10000));

  // A map typed into the map box and confirmed with Enter; the new game type comes with it.
  QTest::keyClick(window->CB_Map->lineEdit(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(window->CB_Map->lineEdit(), "ctf_gate1");
  QTest::keyClick(window->CB_Map->lineEdit(), Qt::Key_Return);
  EXPECT_TRUE(ServerShows([&] { return server->Cvar("mapname") == "ctf_gate1"; }, 30000));
  EXPECT_TRUE(WaitFor([&] {
    return RuleValue(window->LV_Settings, "mapname") == "ctf_gate1" && window->CB_GameType->currentIndex() == 4;
  }, 30000));
  EXPECT_EQ(window->CB_Map->currentText(), "ctf_gate1");
  EXPECT_EQ(window->L_MapName->text(), "Outer Gates");
  // The map box now offers the capture-the-flag maps.
  EXPECT_GE(window->CB_Map->findText("oa_ctf2"), 0);
  EXPECT_LT(window->CB_Map->findText("oa_dm1"), 0);

  // A map picked from the list.
  const int item = window->CB_Map->findText("oa_ctf4ish");
  ASSERT_GE(item, 0);
  window->CB_Map->setCurrentIndex(item);
  emit window->CB_Map->activated(item);
  EXPECT_TRUE(ServerShows([&] { return server->Cvar("mapname") == "oa_ctf4ish"; }, 30000));
  EXPECT_TRUE(WaitFor([&] { return RuleValue(window->LV_Settings, "mapname") == "oa_ctf4ish"; }, 30000));
  // The bots stay through map changes, and the list fills again completely.
  EXPECT_TRUE(WaitForCompleteRefresh(window, BotCount(), 30000));
  EXPECT_TRUE(dialogs_.messages.empty());
}

}  // namespace
}  // namespace e2e
