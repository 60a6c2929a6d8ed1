#pragma once
// What a monitor window does with an arriving reply: which parser runs, what is sent next,
// the new state, which warning is shown, whether the client closes, and the status-bar text
// of a "read only" notice. The window applies the decision; nothing here touches a window.
//
// Replies are recognised by fixed texts anywhere in them (case-sensitive), tested in order
// per state; the first that holds decides:
//   msConnecting:   a refused password (the game's texts)  -> warning, msRefused, close
//                   "No rconpassword set"                   -> warning, msRefused, close
//                   the status-table marker                 -> status table, send " serverinfo", msPolling
//   msPolling:      the status-response marker              -> status response, send " status"
//                   the status-table marker                 -> status table, send " serverinfo"
//                   "Server info settings:"                 -> server info
//                   "read only"                             -> status-bar text: the reply less its
//                                                              first 10 characters (marker, print, LF)
//                   "write protected" (a protected cvar)    -> the same
//   msAwaitingUserInfo: "userinfo"                          -> user info, msPolling
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

// True when `reply` is the game's answer refusing the password.
bool IsWrongPassword(const GameTraits& traits, std::string_view reply);

}  // namespace protocol
