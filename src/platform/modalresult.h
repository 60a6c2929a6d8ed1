#pragma once
// Modal results: the number a modal form ends with, one set for every form of the program.

namespace platform {

enum ModalResult : int {
  mrNone = 0,
  mrOk = 1,
  mrCancel = 2,
  mrAbort = 3,
  mrRetry = 4,
  mrIgnore = 5,
  mrYes = 6,
  mrNo = 7,
};

// What the program's forms mean by the results that are not plain OK or Cancel.
inline constexpr ModalResult mrKickPlayer = mrAbort;      // the player info dialog's "&Kick Player"
inline constexpr ModalResult mrRemoteConsole = mrRetry;   // the server list's "&Remote Console"

}  // namespace platform
