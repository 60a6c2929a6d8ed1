#include "settings/opensettings.h"

#include <QPointer>
#include <QWidget>

#include <memory>

#include "platform/dialogs.h"
#include "settings/description.h"
#include "settings/settingsform.h"
#include "settings/settingshost.h"
#include "settings/update.h"

void OpenServerSettings(TSettingsHost& window) {
  const QPointer<QWidget> hostWindow = window.HostWindow();
  const bool hadWindow = !hostWindow.isNull();
  const protocol::GameTraits& game = window.Game();
  auto dialog = std::make_unique<TF_Settings>();
  dialog->SetGame(game);
  dialog->Q3A_Client.Host = window.ClientHost();
  dialog->Q3A_Client.Port = window.ClientPort();
  // Quake 3 servers drop requests beyond their rate limit; the pacer shares it with the window.
  dialog->Q3A_Client.Paced = game.rateLimited;
  dialog->FRconPassword = window.PasswordText();
  dialog->Q3A_Client.Open();
  dialog->BuildFields(settings::DescriptionFileName(game));

  const int result = platform::ExecModal(*dialog);
  dialog->FormClose();
  if (result != platform::mrOk) return;
  // The window may have gone while the dialog was open (its reference is then dangling).
  if (hadWindow && hostWindow.isNull()) return;
  settings::StartServerUpdate(window, dialog->UpdateCommands());
}
