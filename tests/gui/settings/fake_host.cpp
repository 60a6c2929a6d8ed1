#include "fake_host.h"

#include "protocol/packets.h"

namespace settings_test {

FakeHost::FakeHost(const protocol::GameTraits& game, int port, std::string pw) : password(std::move(pw)), game_(game) {
  client.Host = "127.0.0.1";
  client.Port = std::to_string(port);
  client.Paced = game.rateLimited;
  client.OnData = [this](TUDPClient& sender, int) {
    sender.ReceiveText();
    ++replies;
    SetLamp(QColor(255, 0, 0));
  };
  QObject::connect(&poll_, &QTimer::timeout, this, [this] {
    SetLamp(QColor(255, 255, 0));
    client.SendText(protocol::QueryDatagram(game_.queryText));
  });
}

FakeHost::~FakeHost() { client.Close(); }

void FakeHost::SetLamp(const QColor& color) {
  lamp = lampHeld ? QColor(0, 255, 0) : color;
  lamps.push_back(lamp);
}

void FakeHost::HoldUpdateLamp(bool updating) {
  lampHeld = updating;
  if (updating) SetLamp(QColor(0, 255, 0));
}

void FakeHost::SetStatusText(const std::string& text) {
  status = text;
  statuses.push_back(text);
}

void FakeHost::SendRcon(const std::string& command, std::function<void()> onSent) {
  SetLamp(QColor(255, 255, 0));
  rcons.push_back(command);
  auto counted = [this, onSent = std::move(onSent)] {
    ++sentCount;
    if (onSent) onSent();
  };
  if (sendOverride) {
    sendOverride(command, std::move(counted));
    return;
  }
  client.SendText(protocol::RconDatagram(password, command), std::move(counted));
}

void FakeHost::StartPolling(int ms) { poll_.start(ms); }

}  // namespace settings_test
