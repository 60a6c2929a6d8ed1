#pragma once
// The monitor window of a Quake 2 server.
#include "monitor/servermonitor.h"

class TF_Q2Server : public TF_ServerMonitor {
 public:
  explicit TF_Q2Server(QWidget* parent = nullptr);

  TUDPClient& Q2_Client;
  void Q2_ClientData() { ClientData(); }
};
