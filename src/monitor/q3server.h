#pragma once
// The monitor window of a Quake 3 Arena server.
#include "monitor/servermonitor.h"

class TF_Q3Server : public TF_ServerMonitor {
 public:
  explicit TF_Q3Server(QWidget* parent = nullptr);

  TUDPClient& Q3A_Client;
  void Q3A_ClientData() { ClientData(); }
};
