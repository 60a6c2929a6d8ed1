#pragma once
// What a monitor window does with an arriving reply: which parser runs, what is sent next,
// the new state, which warning is shown, whether the client closes, and the status-bar text
// of a notice. The window applies the decision; nothing here touches a window.
//
// A reply is recognised by its marks in their own places only, never by text further down:
// player names, server names and rule values are chosen by players and server owners, and
// a marker among them must not steer the window. Each kind's place (line 1 is the one with
// the four 0xFF bytes, "print" after them for printed output):
//   status response   Quake 3: line 1 is "statusResponse";
//                     Quake 2: printed, line 2 an info string holding the key "mapname"
//   status table      printed, line 2 starts with a map marker of the game ("map:",
//                     "map              :", "Current map:") and the heading line under it
//                     is a column heading ("cl|num score ping ...") of that shape
//   server info       printed, line 2 is "Server info settings:"
//   user info         printed, line 2 is "userinfo", line 3 dashes
//   refusals          printed, line 2 is one of the game's refusal lines ("Bad rconpassword.",
//                     "Bad rcon_password.") or "No rconpassword set on the server."
//   notice            printed, line 2 ends with " is read only." or " is write protected."
//
// Tested in this order per state; the first that holds decides:
//   msConnecting:   a refused password          -> warning, msRefused, close
//                   no password on the server   -> warning, msRefused, close
//                   a status table              -> status table, send " serverinfo", msPolling
//                   server info                 -> server info, msPolling (the password works:
//                                                  a server whose remote status never answers
//                                                  still comes to poll)
//   msPolling:      a status response           -> status response, send " status"
//                   a status table              -> status table, send " serverinfo"
//                   server info                 -> server info
//                   a notice                    -> status-bar text: the reply less its first
//                                                  10 characters (marker, print, LF)
//   msAwaitingUserInfo: user info               -> user info, msPolling
//   msIdle, msRefused: nothing.
#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/game.h"
#include "protocol/monitor_state.h"

namespace protocol {

enum class ReplyParser : std::uint8_t { None, StatusResponse, StatusTable, ServerInfo, UserInfo };

// Apply in this order: take `state` (and close the client when `closeClient`) first, so a
// reply handled while a warning box is open sees the new state; then run the parser; then
// send `send` through SendRcon; then show `statusText`; show `warning` last, since the box
// runs a nested event loop.
struct ReplyDecision {
  ReplyParser parser = ReplyParser::None;
  std::string send;            // command text for SendRcon, empty for none
  TMonitorState state = msIdle;  // the state after the reply (unchanged when nothing applies)
  std::string warning;         // text of a warning box (caption "Warning", one OK button)
  bool closeClient = false;
  bool setStatusText = false;  // panel 0 of the status bar := statusText
  std::string statusText;

  bool operator==(const ReplyDecision&) const = default;
};

ReplyDecision ClassifyReply(const GameTraits& traits, TMonitorState state, std::string_view reply);

// What a reply is, told by its marks in their places (above); Other for anything else.
enum class ReplyKind : std::uint8_t {
  Other,
  WrongPassword,
  NoPassword,
  StatusResponse,
  StatusTable,
  ServerInfo,
  UserInfo,
  Notice,
};
ReplyKind KindOfReply(const GameTraits& traits, std::string_view reply);
// Whether the reply refuses the password: a wrong one, or none set on the server.
bool IsRefusal(const GameTraits& traits, std::string_view reply);

}  // namespace protocol
