#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "bans/bansession.h"
#include "protocol/packets.h"

namespace {

using namespace std::chrono_literals;
using bans::BanSession;
using protocol::BanEntry;
using protocol::BanKind;

// A view and transport that record what the session does; datagrams leave at once.
class FakeBans : public bans::BanView, public bans::BanTransport {
 public:
  std::vector<std::string> sent;       // command texts, without marker and password
  std::vector<std::string> errors, answers, confirmations;
  std::vector<std::vector<BanEntry>> shown;
  std::deque<bool> confirmAnswers;     // empty: yes
  std::string file;
  std::optional<bool> listBans;
  bans::TimePoint now{};
  std::optional<bans::TimePoint> armed;

  void ShowEntries(const std::vector<BanEntry>& entries) override { shown.push_back(entries); }
  void ShowAnswer(const std::string& text) override { answers.push_back(text); }
  void ShowError(const std::string& text) override { errors.push_back(text); }
  bool Confirm(const std::string& text) override {
    confirmations.push_back(text);
    if (confirmAnswers.empty()) return true;
    const bool yes = confirmAnswers.front();
    confirmAnswers.pop_front();
    return yes;
  }
  void ShowFileName(const std::string& name) override { file = name; }
  void ShowFilterMode(bool bans) override { listBans = bans; }
  void SetBusy(bool) override {}
  void Send(const std::string& datagram, std::function<void()> onSent) override {
    const std::string prefix = protocol::RconDatagram("secret", "");
    EXPECT_EQ(datagram.substr(0, prefix.size()), prefix);
    sent.push_back(datagram.substr(prefix.size()));
    onSent();
  }
  std::string Password() override { return "secret"; }
  void ArmTimer(bans::TimePoint deadline) override { armed = deadline; }
  bans::TimePoint Now() override { return now; }
};

std::string Print(const std::string& text) { return std::string(protocol::kPrintHeader) + text; }

class BanSessionTest : public ::testing::Test {
 protected:
  // Answers the command sent last with the printed text.
  void Answer(const std::string& text) { session.DataArrived(Print(text)); }

  FakeBans fake;
  BanSession q3{protocol::kQuake3, fake, fake};
  BanSession& session = q3;
};

TEST_F(BanSessionTest, SendsOneCommandAtATimeAndListsAfterEveryChange) {
  session.Open();
  EXPECT_EQ(fake.sent, (std::vector<std::string>{" sv_banFile"}));
  Answer("\"sv_banFile\" is:\"serverbans.dat^7\", the default\n");
  EXPECT_EQ(fake.file, "serverbans.dat");
  EXPECT_EQ(fake.sent.back(), " listbans");
  Answer("");  // an empty list answers an empty print
  ASSERT_EQ(fake.shown.size(), 1u);
  EXPECT_TRUE(fake.shown.back().empty());
  EXPECT_FALSE(session.Busy());

  EXPECT_TRUE(session.Add(" 203.0.113.7/32 ", BanKind::Ban));
  EXPECT_EQ(fake.sent.back(), " banaddr 203.0.113.7/32");
  EXPECT_EQ(fake.sent.size(), 3u);  // the list waits for the answer
  Answer("writing to: /home/x/serverbans.dat\nAdded ban: 203.0.113.7/32\n");
  EXPECT_EQ(fake.answers.back(), "Added ban: 203.0.113.7/32");
  EXPECT_EQ(fake.sent.back(), " listbans");
  Answer("Ban #1: 203.0.113.7/32\n");
  EXPECT_EQ(session.Entries(), (std::vector<BanEntry>{{BanKind::Ban, 1, "203.0.113.7", "32", false}}));
  EXPECT_TRUE(fake.errors.empty());
}

TEST_F(BanSessionTest, ShowsTheServersErrorsAsTheyCame) {
  struct Case {
    std::string answer;
    std::string error;
  };
  const std::vector<Case> cases = {
      {"Error: Ban 198.51.100.0/24 supersedes ban 198.51.100.5/32\n", "Error: Ban 198.51.100.0/24 supersedes ban 198.51.100.5/32"},
      {"Sys_StringToSockaddr: Error resolving 2001:db8::: x\nError: Invalid address 2001:db8::\n", "Error: Invalid address 2001:db8::"},
      {"Added ban: 1.2.3.4/32\n", ""},
  };
  for (const Case& c : cases) {
    fake.errors.clear();
    ASSERT_TRUE(session.Add("1.2.3.4", BanKind::Exception));
    EXPECT_EQ(fake.sent.back(), " exceptaddr 1.2.3.4");
    Answer(c.answer);
    EXPECT_EQ(fake.errors, c.error.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.error});
    EXPECT_EQ(fake.sent.back(), " listbans");  // listed again either way
    Answer("");
  }
}

TEST_F(BanSessionTest, AnAddressThatDoesNotReadIsRefusedBeforeAnythingIsSent) {
  EXPECT_FALSE(session.Add("1.2.3", BanKind::Ban));
  EXPECT_TRUE(fake.sent.empty());
  ASSERT_EQ(fake.errors.size(), 1u);
}

TEST_F(BanSessionTest, DeletesByTheNumberTheEntryHasNow) {
  const BanEntry wanted{BanKind::Ban, 2, "198.51.100.0", "24", false};
  fake.confirmAnswers = {false};
  session.Delete(wanted);
  EXPECT_TRUE(fake.sent.empty());  // declined
  session.Delete(wanted);
  EXPECT_EQ(fake.confirmations.back(), "Delete the ban 198.51.100.0/24?");
  EXPECT_EQ(fake.sent.back(), " listbans");
  Answer("Ban #1: 198.51.100.0/24\nExcept #1: 198.51.100.9/32\n");  // someone deleted #1 meanwhile
  EXPECT_EQ(fake.sent.back(), " bandel 1");
  Answer("Deleting ban 198.51.100.0/24\n");
  EXPECT_EQ(fake.sent.back(), " listbans");
  Answer("Except #1: 198.51.100.9/32\n");
  // Gone before it could be deleted: nothing is deleted.
  session.Delete(wanted);
  Answer("Except #1: 198.51.100.9/32\n");
  EXPECT_EQ(fake.sent.back(), " listbans");
  EXPECT_EQ(fake.answers.back(), "The ban 198.51.100.0/24 is no longer on the list.");
}

TEST_F(BanSessionTest, BanningABotKicksNobody) {
  session.BanPlayer("3", "Sarge", "bot");
  EXPECT_EQ(fake.sent.back(), " banaddr 3");
  Answer("Error: Can ban players connected via the internet only.\n");
  EXPECT_EQ(fake.errors, (std::vector<std::string>{"Error: Can ban players connected via the internet only."}));
  EXPECT_EQ(fake.sent.back(), " listbans");  // no kick
  Answer("");
  session.BanPlayer("4", "Human", "203.0.113.9:27960");
  Answer("Added ban: 203.0.113.9/32\n");
  EXPECT_EQ(fake.sent.back(), " kick 4");
  // The kick's echo names the player, who may be named like a refusal: it refuses nothing.
  Answer("broadcast: print \"Bad rconpassword.^7 was kicked\\n\"\nBad rconpassword.\nNo rconpassword set on the server.\n");
  EXPECT_EQ(fake.sent.back(), " listbans");
  EXPECT_EQ(fake.errors.size(), 1u);
}

TEST_F(BanSessionTest, ARefusedPasswordStopsEverything) {
  session.Open();
  session.DataArrived(std::string(protocol::kPrintHeader) + "Bad rconpassword.\n");
  EXPECT_EQ(fake.errors, (std::vector<std::string>{"Bad rconpassword."}));
  EXPECT_FALSE(session.Busy());
  EXPECT_EQ(fake.sent.size(), 1u);
}

TEST_F(BanSessionTest, JoinsALongListAndGivesUpOnASilentServer) {
  session.Refresh();
  std::string first;
  int n = 0;
  while (first.size() < protocol::kQuake3.MaxChunkText() - 20) {
    ++n;
    first += "Ban #" + std::to_string(n) + ": 10.0.0." + std::to_string(n % 250 + 1) + "/32\n";
  }
  session.DataArrived(Print(first + "Ban #" + std::to_string(n + 1) + ": 10.1"));
  EXPECT_TRUE(fake.shown.empty());  // the rest may follow
  ASSERT_TRUE(fake.armed);
  session.DataArrived(Print(".0.1/32\n"));
  ASSERT_EQ(fake.shown.size(), 1u);
  EXPECT_EQ(fake.shown.back().size(), static_cast<std::size_t>(n + 1));
  EXPECT_EQ(fake.shown.back().back().address, "10.1.0.1");

  session.Refresh();
  fake.now += BanSession::kAnswerTimeout + 1ms;
  session.TimerFired();
  EXPECT_EQ(fake.answers.back(), "The server did not answer \"listbans\".");
  EXPECT_FALSE(session.Busy());
}

TEST(BanSessionQuake2, RemovesByAddressFlushesOneByOneAndSetsTheFilterMode) {
  FakeBans fake;
  BanSession session(protocol::kQuake2, fake, fake);
  session.Open();
  EXPECT_EQ(fake.sent.back(), " filterban");
  session.DataArrived(Print("\"filterban\" is \"0\"\n"));
  EXPECT_EQ(fake.listBans, false);
  session.DataArrived(Print("Filter list:\n192.168.  0.  0\n 10.  0.  0.  5\n"));
  ASSERT_EQ(session.Entries().size(), 2u);
  session.Delete(session.Entries()[0]);
  EXPECT_EQ(fake.sent.back(), " sv removeip 192.168.0.0");
  session.DataArrived(Print("Removed.\n"));
  session.DataArrived(Print("Filter list:\n 10.  0.  0.  5\n"));
  session.Flush();
  EXPECT_EQ(fake.sent.back(), " sv removeip 10.0.0.5");
  session.DataArrived(Print("Didn't find 10.0.0.5.\n"));
  EXPECT_EQ(fake.errors.back(), "Didn't find 10.0.0.5.");
  session.DataArrived(Print("Filter list:\n"));
  session.SetFilterMode(true);
  EXPECT_EQ(fake.sent.back(), " filterban 1");
  session.DataArrived(Print(""));
  session.DataArrived(Print("\"filterban\" is \"1\"\n"));
  EXPECT_EQ(fake.listBans, true);
  session.SaveToFile();
  EXPECT_EQ(fake.sent.back(), " sv writeip");
  // A player is banned by address, the zeros of which Quake 2 reads as any number.
  session.DataArrived(Print(""));
  session.BanPlayer("2", "Grunt", "198.51.100.7:27901");
  EXPECT_EQ(fake.sent.back(), " sv addip 198.51.100.7");
  session.DataArrived(Print(""));
  EXPECT_EQ(fake.sent.back(), " kick 2");
}

}  // namespace
