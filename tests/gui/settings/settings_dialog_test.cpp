// The settings dialog: its layout, the grid it builds, and how replies and edits fill it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QWheelEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QTest>

#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/text.h"
#include "settings/settingsform.h"
#include "support/scripted_dialogs.h"
#include "support/test_env.h"

namespace {

using Strings = std::vector<std::string>;

const std::string kPrint = "\xFF\xFF\xFF\xFFprint\n\"";
std::string Q3Reply(const std::string& name, const std::string& value) {
  return kPrint + name + "\" is:\"" + value + "^7\" default:\"x^7\"\n";
}
std::string Q2Reply(const std::string& name, const std::string& value) { return kPrint + name + "\" is \"" + value + "\"\n"; }
// A datagram of a variable listing.
std::string Listing(const std::string& text) { return "\xFF\xFF\xFF\xFFprint\n" + text; }

std::string Fields(const Strings& sections) {
  std::string text = "[Common]\r\nNumFields=" + std::to_string(sections.size()) + "\r\n";
  for (size_t i = 0; i < sections.size(); ++i) text += "[Field" + std::to_string(i + 1) + "]\r\n" + sections[i];
  return text;
}
std::string Field(const std::string& type, const std::string& name, const std::string& def = "", const std::string& hint = "") {
  return "Type=" + type + "\r\nName=" + name + "\r\nDefault=" + def + "\r\nHint=" + hint + "\r\n";
}

class SettingsDialog : public ::testing::Test {
 protected:
  void Build(const std::string& ini, const protocol::GameTraits& game = protocol::kQuake3) {
    dialog.SetGame(game);
    dialog.BuildFields(dir.Write("fields.ini", ini));
  }
  template <class T>
  T* Input(const char* name) {
    return dialog.Grid()->findChild<T*>(name, Qt::FindDirectChildrenOnly);
  }
  QLabel* Label(const QString& caption) {
    for (QLabel* l : dialog.Grid()->findChildren<QLabel*>())
      if (l->text() == caption) return l;
    return nullptr;
  }

  test::TempDir dir;
  TF_Settings dialog;
};

TEST_F(SettingsDialog, FixedLayout) {
  EXPECT_EQ(dialog.windowTitle(), "Server Settings");
  EXPECT_EQ(dialog.size(), QSize(661, 391));
  EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
  EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(dialog.windowFlags() & Qt::WindowSystemMenuHint);

  ASSERT_EQ(dialog.PageControl1->count(), 2);
  EXPECT_EQ(dialog.PageControl1->tabText(0), "&Server Settings");
  EXPECT_EQ(dialog.PageControl1->tabText(1), "S&ettings");
  EXPECT_EQ(dialog.PageControl1->currentWidget(), dialog.TS_Q3AServerSettings);
  EXPECT_EQ(dialog.ScrollBox1->geometry(), QRect(0, 0, 653, 322));
  EXPECT_EQ(dialog.Btn_Ok->text(), "&Update server");
  EXPECT_EQ(dialog.Btn_Ok->geometry(), QRect(392, 331, 123, 25));
  EXPECT_TRUE(dialog.Btn_Ok->isDefault());
  EXPECT_EQ(dialog.Btn_Cancel->text(), "&Cancel");
  EXPECT_EQ(dialog.Btn_Cancel->geometry(), QRect(528, 331, 121, 25));
  EXPECT_EQ(dialog.E_CustomSettingsFile->geometry(), QRect(152, 8, 161, 21));
  EXPECT_EQ(dialog.SpeedButton1->geometry(), QRect(318, 6, 25, 25));
  EXPECT_EQ(dialog.Label1->text(), "Custom Server Settings File:");
  EXPECT_EQ(dialog.Label1->pos(), QPoint(8, 12));
  EXPECT_EQ(dialog.Label2->text(), "Not yet implemented :)");
  EXPECT_EQ(dialog.Label2->pos(), QPoint(8, 40));
  EXPECT_EQ(dialog.Label2->font().pixelSize(), 16);
  EXPECT_TRUE(dialog.Label2->font().bold() && dialog.Label2->font().italic());
  EXPECT_EQ(dialog.Label2->palette().color(QPalette::WindowText), QColor(Qt::red));
  EXPECT_EQ(dialog.FFieldSlot, 0);
}

TEST_F(SettingsDialog, ButtonsAndEscapeCloseWithTheirResults) {
  dialog.show();
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_EQ(dialog.result(), platform::mrCancel);
  dialog.show();
  dialog.Btn_Ok->click();
  EXPECT_EQ(dialog.result(), platform::mrOk);
  dialog.show();
  dialog.Btn_Cancel->click();
  EXPECT_EQ(dialog.result(), platform::mrCancel);
}

TEST_F(SettingsDialog, GridOfTheFourFieldExample) {
  Build(Fields({Field("STRING", "sv_hostname"), Field("INT", "fraglimit", "20", "Fraglimit"), Field("BOOL", "g_doWarmup"),
                Field("BOOL", "g_friendlyFire", "0")}));
  EXPECT_EQ(dialog.FFieldSlot, 4);
  auto* fourth = Input<QCheckBox>("g_friendlyFire");
  ASSERT_TRUE(fourth);
  EXPECT_EQ(fourth->pos(), QPoint(115, 38));
  EXPECT_EQ(fourth->width(), 15);
  EXPECT_TRUE(fourth->text().isEmpty());
  QLabel* label = Label("g_friendlyFire");
  ASSERT_TRUE(label);
  EXPECT_EQ(label->pos(), QPoint(10, 39));
  EXPECT_EQ(label->width(), 100);
  EXPECT_TRUE(label->alignment() & Qt::AlignRight);
  EXPECT_TRUE(label->objectName().isEmpty());

  auto* text = Input<QLineEdit>("sv_hostname");
  ASSERT_TRUE(text);
  EXPECT_EQ(text->geometry().topLeft(), QPoint(115, 10));
  EXPECT_EQ(text->width(), 100);
  EXPECT_TRUE(text->text().isEmpty());
  auto* spin = Input<QSpinBox>("fraglimit");
  ASSERT_TRUE(spin);
  EXPECT_EQ(spin->geometry(), QRect(315, 10, 100, 21));
  EXPECT_EQ(spin->value(), 0);
  EXPECT_EQ(spin->singleStep(), 1);
  EXPECT_EQ(spin->minimum(), INT_MIN);
  EXPECT_EQ(spin->maximum(), INT_MAX);
  EXPECT_EQ(Input<QCheckBox>("g_doWarmup")->pos(), QPoint(515, 13));

  // Tooltip on label and input, the lone carriage return breaking the line.
  EXPECT_TRUE(spin->toolTip().startsWith(platform::ToDisplay("Default value : 20\rDescription: Fraglimit\r")));
  EXPECT_EQ(Label("fraglimit")->toolTip(), spin->toolTip());
  EXPECT_TRUE(dialog.ScrollBox1->isVisibleTo(&dialog));
}

TEST_F(SettingsDialog, GapsCaptionsAndAnEndedBuild) {
  Build(Fields({Field("STRING", "a"), "Type=STRING\r\n", Field("int", "c"), Field("FLOAT", "sv_fps"),
                Field("STRING", "C"), Field("STRING", "never")}));
  EXPECT_EQ(Label("c")->pos(), QPoint(410, 14));  // Field2 left its cell empty
  EXPECT_TRUE(Input<QSpinBox>("c"));
  EXPECT_TRUE(Label("sv_fps"));
  EXPECT_FALSE(dialog.Grid()->findChild<QWidget*>("sv_fps"));
  // "C" repeats "c": its caption shows, it gets no input, and nothing after it is built.
  EXPECT_TRUE(Label("C"));
  EXPECT_EQ(dialog.Grid()->findChildren<QWidget*>("C").size(), 0);
  EXPECT_FALSE(Label("never"));
  EXPECT_EQ(dialog.InputCount(), 2);
  EXPECT_EQ(dialog.FFieldSlot, 4);
  // One listing asks for all (the client is not open, so it went nowhere); when it comes
  // broken, a, c, sv_fps and C are asked for one by one.
  EXPECT_EQ(dialog.QueriesTotal(), 1);
  EXPECT_TRUE(dialog.ReadingListing());
  dialog.HandleReply(Listing("          a \"x\"\n\n2 total cvars\n"));
  EXPECT_FALSE(dialog.ReadingListing());
  EXPECT_EQ(dialog.QueriesTotal(), 1 + 4);
}

TEST_F(SettingsDialog, TheListingFillsEveryFieldItHolds) {
  Build(Fields({Field("STRING", "sv_hostname"), Field("INT", "FragLimit"), Field("BOOL", "g_doWarmup"),
                Field("INT", "g_speed"), Field("STRING", "rconpassword"), Field("STRING", "sv_nosuch"),
                Field("FLOAT", "g_knockback")}));
  EXPECT_EQ(dialog.L_Values->text(), "Reading values from the server: 0 of 6");
  // Cut inside a line, as the server cuts it.
  const std::string text =
      "        ? sv_nosuch2 \"x\"\n          rconpassword \"secret\"\nS    A    sv_hostname \"^1Red^7\"\n"
      "S    A    fraglimit \"25\"\n     A    g_doWarmup \"1\"\n          g_speed \"320.5\"\n"
      "          g_knockback \"1000\"\n\n7 total cvars\n7 cvar indexes\n";
  dialog.HandleReply(Listing(text.substr(0, 60)));
  EXPECT_EQ(dialog.KnownCount(), 0);  // nothing is shown before the listing is whole
  dialog.HandleReply(Listing(text.substr(60)));
  EXPECT_FALSE(dialog.ReadingListing());

  // As the queries of single variables would read them: the value exactly, names in any case.
  EXPECT_EQ(Input<QLineEdit>("sv_hostname")->text(), "^1Red^7");
  EXPECT_EQ(Input<QSpinBox>("FragLimit")->value(), 25);
  EXPECT_EQ(Input<QCheckBox>("g_doWarmup")->checkState(), Qt::Checked);
  EXPECT_TRUE(Input<QSpinBox>("g_speed")->toolTip().contains("\"320.5\""));
  // The password line is not read: a field of that name is asked for by itself, like the one
  // the server does not have.
  EXPECT_TRUE(Input<QLineEdit>("rconpassword")->text().isEmpty());
  EXPECT_EQ(dialog.AnsweredCount(), 4);
  EXPECT_EQ(dialog.QueriesTotal(), 1 + 2);
  EXPECT_EQ(dialog.UpdateCommands(), (Strings{"set sv_hostname ^1Red^7", "FragLimit 25", "g_doWarmup 1"}));

  // Their answers come in as before.
  dialog.ApplyReply(Q3Reply("sv_nosuch", "here"));
  EXPECT_EQ(Input<QLineEdit>("sv_nosuch")->text(), "here");
}

TEST_F(SettingsDialog, Quake2ListingMatchesNamesAsTheServerDoes) {
  Build(Fields({Field("STRING", "hostname"), Field("INT", "TimeLimit"), Field("INT", "fraglimit")}), protocol::kQuake2);
  dialog.HandleReply(Listing("hostname \"Frag Fest\"\ntimelimit \"20\"\nfraglimit \"25\"\n3 of 80 cvars\n"));
  EXPECT_EQ(Input<QLineEdit>("hostname")->text(), "Frag Fest");
  EXPECT_EQ(Input<QSpinBox>("fraglimit")->value(), 25);
  // The server would not answer "TimeLimit": asked for by itself, it stays unknown.
  EXPECT_EQ(dialog.KnownCount(), 2);
  EXPECT_EQ(dialog.QueriesTotal(), 1 + 1);
}

TEST_F(SettingsDialog, ARefusedListingAsksNothingMore) {
  Build(Fields({Field("STRING", "sv_hostname"), Field("INT", "timelimit")}));
  dialog.HandleReply("\xFF\xFF\xFF\xFFprint\nBad rconpassword.\n");
  EXPECT_FALSE(dialog.ReadingListing());
  EXPECT_EQ(dialog.QueriesTotal(), 1);
  EXPECT_EQ(dialog.L_Values->text(),
            "The server refused the password: no values read; greyed ones are sent only if changed");
  EXPECT_TRUE(dialog.UpdateCommands().empty());
}

TEST_F(SettingsDialog, AFileAskingForMoreFieldsThanTheCapGetsTheFirstOnesAndAMessage) {
  test::ScopedDialogs dialogs;
  const std::string path = dir.Write("far.ini", "[Common]\r\nNumFields=999999999\r\n[Field1]\r\n" + Field("INT", "fraglimit") +
                                                    "[Field999999999]\r\n" + Field("BOOL", "far"));
  dialog.BuildFields(path);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].type, platform::MsgType::Warning);
  EXPECT_EQ(dialogs.messages[0].text,
            "The settings description file " + path + " asks for 999999999 fields; only the first 2000 are shown.");
  EXPECT_EQ(dialog.InputCount(), 1);
  EXPECT_EQ(dialog.FFieldSlot, settings::kMaxFields);
}

TEST_F(SettingsDialog, MissingFileGivesAnEmptyGrid) {
  dialog.BuildFields(dir.Path() + "/none.ini");
  EXPECT_EQ(dialog.InputCount(), 0);
  EXPECT_EQ(dialog.QueriesTotal(), 0);
  EXPECT_TRUE(dialog.UpdateCommands().empty());
}

TEST_F(SettingsDialog, RepliesFillInputsByNameWithoutRegardToCase) {
  Build(Fields({Field("STRING", "sv_hostname"), Field("INT", "fraglimit"), Field("BOOL", "g_one"), Field("BOOL", "g_zero"),
                Field("BOOL", "g_empty"), Field("BOOL", "g_yes")}));
  dialog.ApplyReply(Q3Reply("SV_HOSTNAME", "^1Test ^7Server"));
  dialog.ApplyReply(Q3Reply("fragLimit", "25"));
  dialog.ApplyReply(Q3Reply("g_one", "1"));
  dialog.ApplyReply(Q3Reply("g_zero", "0"));
  dialog.ApplyReply(Q3Reply("g_empty", ""));
  dialog.ApplyReply(Q3Reply("g_yes", "yes"));
  dialog.ApplyReply(Q3Reply("unknown_var", "1"));
  dialog.ApplyReply("\xFF\xFF\xFF\xFFprint\nBad rconpassword.\n");
  dialog.ApplyReply("");

  EXPECT_EQ(Input<QLineEdit>("sv_hostname")->text(), "^1Test ^7Server");
  EXPECT_EQ(Input<QSpinBox>("fraglimit")->value(), 25);
  EXPECT_EQ(Input<QCheckBox>("g_one")->checkState(), Qt::Checked);
  EXPECT_EQ(Input<QCheckBox>("g_zero")->checkState(), Qt::Unchecked);
  EXPECT_NE(Input<QCheckBox>("g_empty")->checkState(), Qt::Checked);
  EXPECT_NE(Input<QCheckBox>("g_yes")->checkState(), Qt::Checked);
  EXPECT_EQ(dialog.AnsweredCount(), 6);
  EXPECT_EQ(dialog.KnownCount(), 4);  // "" and "yes" cannot be shown by a check box
  EXPECT_TRUE(Input<QCheckBox>("g_yes")->toolTip().contains("\"yes\""));

  // Sent back: the values that arrived whole; the check boxes that could not show theirs are
  // not sent back as 0.
  EXPECT_EQ(dialog.UpdateCommands(),
            (Strings{"set sv_hostname ^1Test ^7Server", "fraglimit 25", "g_one 1", "g_zero 0"}));
}

TEST_F(SettingsDialog, UnknownInputsAreGreyedAndSentOnlyWhenEdited) {
  Build(Fields({Field("STRING", "g_motd", "", "Message"), Field("INT", "timelimit"), Field("BOOL", "g_ff"),
                Field("INT", "g_speed"), Field("STRING", "sv_hostname")}));
  auto* motd = Input<QLineEdit>("g_motd");
  auto* spin = Input<QSpinBox>("timelimit");
  auto* check = Input<QCheckBox>("g_ff");
  EXPECT_EQ(check->checkState(), Qt::PartiallyChecked);
  EXPECT_FALSE(motd->placeholderText().isEmpty());
  EXPECT_NE(motd->palette().color(QPalette::Base), Input<QLineEdit>("sv_hostname")->parentWidget()->palette().color(QPalette::Base));
  EXPECT_TRUE(motd->toolTip().endsWith("No answer from server: sent only if you change it"));
  EXPECT_TRUE(motd->toolTip().startsWith("\nDescription: Message"));
  EXPECT_TRUE(spin->text().isEmpty());
  EXPECT_TRUE(dialog.UpdateCommands().empty());

  // A spin value that is no whole number leaves the field unknown.
  dialog.ApplyReply(Q3Reply("g_speed", "320.5"));
  EXPECT_TRUE(Input<QSpinBox>("g_speed")->toolTip().contains("\"320.5\""));
  EXPECT_TRUE(dialog.UpdateCommands().empty());

  // The administrator types into unknown fields: they are sent, also a 0 typed over nothing.
  motd->setFocus();
  QTest::keyClicks(motd, "Hi there");
  QTest::keyClicks(spin, "0");
  check->click();
  EXPECT_EQ(check->checkState(), Qt::Checked);
  check->click();
  EXPECT_EQ(check->checkState(), Qt::Unchecked);  // toggles between two states from then on
  EXPECT_EQ(motd->placeholderText(), "");
  EXPECT_FALSE(motd->toolTip().contains("No answer"));
  // A late reply does not undo what was typed.
  dialog.ApplyReply(Q3Reply("g_motd", "old"));
  dialog.ApplyReply(Q3Reply("timelimit", "15"));
  EXPECT_EQ(motd->text(), "Hi there");
  EXPECT_EQ(spin->value(), 0);
  EXPECT_EQ(dialog.UpdateCommands(), (Strings{"set g_motd Hi there", "timelimit 0", "g_ff 0"}));

  // Arrows step an unknown spin field from 0 and make it edited.
  QTest::keyClick(Input<QSpinBox>("g_speed"), Qt::Key_Up);
  EXPECT_EQ(dialog.UpdateCommands().back(), "g_speed 1");
}

TEST_F(SettingsDialog, WheelOverTheGridScrollsInsteadOfChangingValues) {
  Build(Fields({Field("INT", "timelimit")}));
  dialog.ApplyReply(Q3Reply("timelimit", "15"));
  auto* spin = Input<QSpinBox>("timelimit");
  const auto turn = [&] {
    QWheelEvent wheel(QPointF(5, 5), spin->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(spin, &wheel);
  };
  turn();
  EXPECT_EQ(spin->value(), 15);
  dialog.show();
  dialog.activateWindow();
  spin->setFocus();
  ASSERT_TRUE(QTest::qWaitFor([&] { return spin->hasFocus(); }, 2000));
  turn();
  EXPECT_EQ(spin->value(), 16);  // the focused field takes the wheel
  EXPECT_EQ(dialog.UpdateCommands(), (Strings{"timelimit 16"}));
}

TEST_F(SettingsDialog, Quake2FormsAndValuesThatWouldNotSurviveTheTrip) {
  Build(Fields({Field("STRING", "hostname"), Field("STRING", "motd"), Field("STRING", "name"), Field("INT", "timelimit")}),
        protocol::kQuake2);
  dialog.ApplyReply(Q2Reply("hostname", "My Server"));
  dialog.ApplyReply(Q2Reply("motd", "Welcome"));
  dialog.ApplyReply(Q2Reply("name", "a^7"));
  dialog.ApplyReply(Q2Reply("timelimit", "20"));
  EXPECT_EQ(Input<QLineEdit>("name")->text(), "a^7");
  // "My Server" arrived but a Quake 2 server would keep only "My": not sent while unchanged.
  EXPECT_EQ(dialog.UpdateCommands(), (Strings{"motd Welcome", "name a^7", "timelimit 20"}));

  auto* motd = Input<QLineEdit>("motd");
  motd->selectAll();
  QTest::keyClicks(motd, "Frag on");
  auto* hostname = Input<QLineEdit>("hostname");
  EXPECT_EQ(hostname->cursorPosition(), 0);  // a long value shows its start
  QTest::keyClick(hostname, Qt::Key_End);
  QTest::keyClicks(hostname, "!");
  EXPECT_EQ(dialog.UpdateCommands(), (Strings{"hostname \"My Server!\"", "motd \"Frag on\"", "name a^7", "timelimit 20"}));
}

}  // namespace
