#pragma once
// How the windows reach the features they ask for. A monitor window only asks (its signals);
// the application answers: a remote console, the settings editor, the ban list.
class TF_ServerMonitor;

namespace app {

// Connects every request of a monitor window; the open commands call it for each window they
// open. What an answer raises is shown by the general error handler.
void ConnectWindowRequests(TF_ServerMonitor& window);

}  // namespace app
