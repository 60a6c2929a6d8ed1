#include "monitor/q2server.h"
#include "monitor/q3server.h"

TF_Q3Server::TF_Q3Server(QWidget* parent) : TF_ServerMonitor(monitor::kQuake3Monitor, parent), Q3A_Client(Client()) {}

TF_Q2Server::TF_Q2Server(QWidget* parent) : TF_ServerMonitor(monitor::kQuake2Monitor, parent), Q2_Client(Client()) {}
