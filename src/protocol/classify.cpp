#include "protocol/classify.h"

#include "protocol/lines.h"
#include "protocol/packets.h"
#include "protocol/parsers.h"

namespace protocol {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// Whether an info string "\key\value\key\value..." has the key: values cannot hold a
// backslash, so the key is found only where a key stands.
bool InfoHasKey(std::string_view info, std::string_view key) {
  if (info.empty() || info.front() != '\\') return false;
  info.remove_prefix(1);
  for (bool isKey = true; !info.empty(); isKey = !isKey) {
    const std::size_t end = info.find('\\');
    if (isKey && info.substr(0, end) == key) return true;
    if (end == std::string_view::npos) break;
    info.remove_prefix(end + 1);
  }
  return false;
}

bool IsStatusResponse(const GameTraits& traits, std::string_view firstLine, std::string_view secondLine,
                      bool printed) {
  const std::string_view marker = traits.statusResponseMarker;
  switch (traits.statusResponsePlace) {
    case ResponsePlace::FirstLine:
      return StartsWith(firstLine, kOutOfBand) && firstLine.substr(kOutOfBand.size()) == marker;
    case ResponsePlace::InfoKey:
      // The marker is "\key\": the key between its backslashes.
      return printed && marker.size() > 2 && InfoHasKey(secondLine, marker.substr(1, marker.size() - 2));
  }
  return false;
}

bool IsDashes(std::string_view line) { return !line.empty() && line.find_first_not_of('-') == std::string_view::npos; }

}  // namespace

ReplyKind KindOfReply(const GameTraits& traits, std::string_view reply) {
  if (!StartsWith(reply, kOutOfBand)) return ReplyKind::Other;
  const bool printed = StartsWith(reply, kPrintHeader);
  LineReader lines(reply);
  std::string_view first, second, third;
  lines.Next(first);
  lines.Next(second);
  lines.Next(third);
  if (IsStatusResponse(traits, first, second, printed)) return ReplyKind::StatusResponse;
  if (!printed) return ReplyKind::Other;
  for (std::string_view text : traits.wrongPasswordTexts)
    if (!text.empty() && second == text) return ReplyKind::WrongPassword;
  if (second == kNoPasswordText) return ReplyKind::NoPassword;
  if (ReadTableForm(traits, reply)) return ReplyKind::StatusTable;
  if (second == kServerInfoMarker) return ReplyKind::ServerInfo;
  if (second == kUserInfoMarker && IsDashes(third)) return ReplyKind::UserInfo;
  if (EndsWith(second, kReadOnlyMarker) || EndsWith(second, kWriteProtectedMarker)) return ReplyKind::Notice;
  return ReplyKind::Other;
}

bool IsRefusal(const GameTraits& traits, std::string_view reply) {
  const ReplyKind kind = KindOfReply(traits, reply);
  return kind == ReplyKind::WrongPassword || kind == ReplyKind::NoPassword;
}

ReplyDecision ClassifyReply(const GameTraits& traits, TMonitorState state, std::string_view reply) {
  ReplyDecision d;
  d.state = state;
  if (state == msIdle || state == msRefused) return d;
  const ReplyKind kind = KindOfReply(traits, reply);
  switch (state) {
    case msConnecting:
      if (kind == ReplyKind::WrongPassword) {
        d.warning = kWrongPasswordWarning;
        d.state = msRefused;
        d.closeClient = true;
      } else if (kind == ReplyKind::NoPassword) {
        d.warning = kNoPasswordWarning;
        d.state = msRefused;
        d.closeClient = true;
      } else if (kind == ReplyKind::StatusTable) {
        d.parser = ReplyParser::StatusTable;
        d.send = kServerInfoCommand;
        d.state = msPolling;
      } else if (kind == ReplyKind::ServerInfo) {
        d.parser = ReplyParser::ServerInfo;
        d.state = msPolling;
      }
      break;
    case msPolling:
      if (kind == ReplyKind::StatusResponse) {
        d.parser = ReplyParser::StatusResponse;
        d.send = kStatusCommand;
      } else if (kind == ReplyKind::StatusTable) {
        d.parser = ReplyParser::StatusTable;
        d.send = kServerInfoCommand;
      } else if (kind == ReplyKind::ServerInfo) {
        d.parser = ReplyParser::ServerInfo;
      } else if (kind == ReplyKind::Notice) {
        d.setStatusText = true;
        d.statusText = reply.size() > 10 ? std::string(reply.substr(10)) : std::string();
      }
      break;
    case msAwaitingUserInfo:
      if (kind == ReplyKind::UserInfo) {
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
