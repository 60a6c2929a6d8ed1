// What a monitor window does with a reply, in every state of both games. The first byte picks
// the state (its value modulo 5) and the game (the next bit above); the rest is the reply.
#include <algorithm>
#include <string>

#include "fuzz_games.h"
#include "fuzz_support.h"
#include "protocol/classify.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input input(data, size);
  const uint8_t pick = input.Byte();
  const auto state = static_cast<TMonitorState>(pick % 5);
  const protocol::GameTraits& game = fuzz::GameOf(pick / 5);
  const std::string_view reply = input.Rest();

  const protocol::ReplyDecision d = protocol::ClassifyReply(game, state, reply);
  if (state == msIdle || state == msRefused) {
    protocol::ReplyDecision nothing;
    nothing.state = state;
    FUZZ_CHECK(d == nothing);
  }
  // Only a refusal closes the client, always with its warning, and only while connecting.
  FUZZ_CHECK(d.closeClient == !d.warning.empty());
  FUZZ_CHECK(d.closeClient == (d.state == msRefused && state != msRefused));
  FUZZ_CHECK(!d.closeClient || state == msConnecting);
  if (state == msConnecting && protocol::KindOfReply(game, reply) == protocol::ReplyKind::WrongPassword)
    FUZZ_CHECK(d.warning == protocol::kWrongPasswordWarning);
  // Without the four 0xFF bytes nothing is a reply.
  if (!reply.starts_with("\xFF\xFF\xFF\xFF")) FUZZ_CHECK(d.parser == protocol::ReplyParser::None && d.warning.empty());
  // Marks count only in their places, all within the first four lines: whatever follows them
  // (markers above all, as names and rule values) changes nothing that is done.
  if (std::count(reply.begin(), reply.end(), '\n') >= 4) {
    const std::string more = std::string(reply) + "Bad rconpassword.\nstatusResponse\nmap: q3dm1\n"
                                                  "Server info settings:\nuserinfo\n--------\nx is read only.\n";
    const protocol::ReplyDecision e = protocol::ClassifyReply(game, state, more);
    FUZZ_CHECK(e.parser == d.parser && e.send == d.send && e.state == d.state && e.warning == d.warning &&
               e.setStatusText == d.setStatusText);
  }
  // A command follows only a reply that was parsed.
  FUZZ_CHECK(d.send.empty() || d.parser == protocol::ReplyParser::StatusResponse ||
             d.parser == protocol::ReplyParser::StatusTable);
  FUZZ_CHECK(!d.setStatusText || (d.parser == protocol::ReplyParser::None && reply.ends_with(d.statusText)));
  FUZZ_CHECK(d.setStatusText || d.statusText.empty());
  if (d.parser == protocol::ReplyParser::UserInfo) FUZZ_CHECK(state == msAwaitingUserInfo && d.state == msPolling);
  return 0;
}
