#include "board/watchlistform.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/text.h"
#include "platform/ascii.h"
#include "platform/errorhandler.h"
#include "platform/modalresult.h"
#include "platform/text.h"

namespace {

QPushButton* MakeButton(const char* caption, const char* name, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  // Enter in the pattern field adds the pattern; it must not close the dialog.
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TF_WatchList::TF_WatchList(const std::vector<std::string>& patterns, const board::AlertKinds& kinds, QWidget* parent)
    : QDialog(parent) {
  setObjectName("F_WatchList");
  setWindowTitle("Watch List and Alerts");

  auto* watch = new QGroupBox("Watched players", this);
  LB_Patterns = new QListWidget(watch);
  LB_Patterns->setObjectName("LB_Patterns");
  LB_Patterns->setSelectionMode(QAbstractItemView::ExtendedSelection);
  for (const std::string& pattern : patterns) LB_Patterns->addItem(platform::ToUnicode(pattern));
  E_Pattern = new QLineEdit(watch);
  E_Pattern->setObjectName("E_Pattern");
  Btn_Add = MakeButton("&Add", "Btn_Add", watch);
  Btn_Remove = MakeButton("&Remove", "Btn_Remove", watch);
  L_Hint = new QLabel(
      "A player's name matches without regard to letter case and colours; * stands for any characters, ? for "
      "one.",
      watch);
  L_Hint->setObjectName("L_Hint");
  L_Hint->setWordWrap(true);
  auto* watchLayout = new QGridLayout(watch);
  watchLayout->addWidget(LB_Patterns, 0, 0, 3, 1);
  watchLayout->addWidget(Btn_Remove, 0, 1);
  watchLayout->addWidget(E_Pattern, 3, 0);
  watchLayout->addWidget(Btn_Add, 3, 1);
  watchLayout->addWidget(L_Hint, 4, 0, 1, 2);

  auto* alerts = new QGroupBox("Alert when", this);
  auto* alertLayout = new QVBoxLayout(alerts);
  for (std::size_t i = 0; i < board::kAlertKindCount; ++i) {
    const board::AlertKindInfo& info = board::kAlertKindInfo[i];
    CB_Alerts[i] = new QCheckBox(platform::ToUnicode(info.caption), alerts);
    CB_Alerts[i]->setObjectName(QString("CB_Alert%1").arg(i));
    CB_Alerts[i]->setChecked(kinds.On(info.kind));
    alertLayout->addWidget(CB_Alerts[i]);
  }

  Btn_Ok = MakeButton("OK", "Btn_Ok", this);
  Btn_Cancel = MakeButton("Cancel", "Btn_Cancel", this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Btn_Ok);
  buttons->addWidget(Btn_Cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(watch, 1);
  layout->addWidget(alerts);
  layout->addLayout(buttons);
  resize(380, 420);

  connect(Btn_Add, &QPushButton::clicked, this, platform::Handler([this] { Btn_AddClick(); }));
  connect(E_Pattern, &QLineEdit::returnPressed, this, platform::Handler([this] { Btn_AddClick(); }));
  connect(Btn_Remove, &QPushButton::clicked, this, platform::Handler([this] { Btn_RemoveClick(); }));
  connect(Btn_Ok, &QPushButton::clicked, this, [this] { done(platform::mrOk); });
  connect(Btn_Cancel, &QPushButton::clicked, this, [this] { done(platform::mrCancel); });
  connect(E_Pattern, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
  connect(LB_Patterns, &QListWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
  UpdateButtons();
  E_Pattern->setFocus();
}

std::vector<std::string> TF_WatchList::Patterns() const {
  std::vector<std::string> patterns;
  for (int i = 0; i < LB_Patterns->count(); ++i) patterns.push_back(platform::ToAnsi(LB_Patterns->item(i)->text()));
  return patterns;
}

board::AlertKinds TF_WatchList::Kinds() const {
  board::AlertKinds kinds;
  for (std::size_t i = 0; i < board::kAlertKindCount; ++i)
    kinds.Set(board::kAlertKindInfo[i].kind, CB_Alerts[i]->isChecked());
  return kinds;
}

void TF_WatchList::Btn_AddClick() {
  const std::string pattern = TrimSpaces(platform::ToAnsi(E_Pattern->text()));
  if (pattern.empty()) return;
  for (const std::string& listed : Patterns())
    if (platform::SameTextNoCase(listed, pattern)) {
      E_Pattern->clear();
      return;
    }
  LB_Patterns->addItem(platform::ToUnicode(pattern));
  E_Pattern->clear();
}

void TF_WatchList::Btn_RemoveClick() {
  qDeleteAll(LB_Patterns->selectedItems());
  UpdateButtons();
}

void TF_WatchList::UpdateButtons() {
  Btn_Add->setEnabled(!E_Pattern->text().trimmed().isEmpty());
  Btn_Remove->setEnabled(!LB_Patterns->selectedItems().isEmpty());
}
