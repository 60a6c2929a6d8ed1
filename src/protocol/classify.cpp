#include "protocol/classify.h"

#include "protocol/lines.h"
#include "protocol/packets.h"

namespace protocol {

bool IsWrongPassword(const GameTraits& traits, std::string_view reply) {
  for (std::string_view text : traits.wrongPasswordTexts)
    if (Contains(reply, text)) return true;
  return false;
}

ReplyDecision ClassifyReply(const GameTraits& traits, TMonitorState state, std::string_view reply) {
  ReplyDecision d;
  d.state = state;
  switch (state) {
    case msConnecting:
      if (IsWrongPassword(traits, reply)) {
        d.warning = kWrongPasswordWarning;
        d.state = msRefused;
        d.closeClient = true;
      } else if (Contains(reply, kNoPasswordText)) {
        d.warning = kNoPasswordWarning;
        d.state = msRefused;
        d.closeClient = true;
      } else if (Contains(reply, traits.statusTableMarker)) {
        d.parser = ReplyParser::StatusTable;
        d.send = kServerInfoCommand;
        d.state = msPolling;
      }
      break;
    case msPolling:
      if (Contains(reply, traits.statusResponseMarker)) {
        d.parser = ReplyParser::StatusResponse;
        d.send = kStatusCommand;
      } else if (Contains(reply, traits.statusTableMarker)) {
        d.parser = ReplyParser::StatusTable;
        d.send = kServerInfoCommand;
      } else if (Contains(reply, kServerInfoMarker)) {
        d.parser = ReplyParser::ServerInfo;
      } else if (Contains(reply, kReadOnlyMarker) || Contains(reply, kWriteProtectedMarker)) {
        d.setStatusText = true;
        d.statusText = reply.size() > 10 ? std::string(reply.substr(10)) : std::string();
      }
      break;
    case msAwaitingUserInfo:
      if (Contains(reply, kUserInfoMarker)) {
        d.parser = ReplyParser::UserInfo;
        d.state = msPolling;
      }
      break;
    case msIdle:
    case msRefused:
      break;
  }
  return d;
}

}  // namespace protocol
