#include "monitor/changesetting.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "monitor/listview.h"
#include "platform/dialogs.h"

TF_ChangeSetting::TF_ChangeSetting(QWidget* parent) : QDialog(parent) {
  setObjectName("F_ChangeSetting");
  setWindowTitle("Change Setting");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

  const auto label = [this](const char* name, const char* text) {
    auto* l = new QLabel(text, this);
    l->setObjectName(name);
    return l;
  };
  Label1 = label("Label1", "cVar:");
  L_cVar = label("L_cVar", "");
  Label2 = label("Label2", "Old value:");
  L_OldValue = label("L_OldValue", "");
  Label3 = label("Label3", "New value:");
  L_cVar->setTextFormat(Qt::PlainText);
  L_OldValue->setTextFormat(Qt::PlainText);
  E_Value = new QLineEdit(this);
  E_Value->setObjectName("E_Value");
  E_Value->setMinimumWidth(220);

  auto* rule = new QFrame(this);
  rule->setObjectName("Bevel1");
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);

  Btn_Ok = new QPushButton("&Ok", this);
  Btn_Ok->setObjectName("Btn_Ok");
  Btn_Ok->setDefault(true);
  Btn_Cancel = new QPushButton("&Cancel", this);
  Btn_Cancel->setObjectName("Btn_Cancel");
  Btn_Cancel->setAutoDefault(false);
  connect(Btn_Ok, &QPushButton::clicked, this, [this] { done(platform::mrOk); });
  connect(Btn_Cancel, &QPushButton::clicked, this, [this] { done(platform::mrCancel); });

  auto* grid = new QGridLayout;
  grid->addWidget(Label1, 0, 0);
  grid->addWidget(L_cVar, 0, 1);
  grid->addWidget(Label2, 1, 0);
  grid->addWidget(L_OldValue, 1, 1);
  grid->addWidget(Label3, 2, 0);
  grid->addWidget(E_Value, 2, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Btn_Ok);
  buttons->addWidget(Btn_Cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(rule);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  E_Value->setFocus();
}

void TF_ChangeSetting::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  platform::CentreOnScreen(*this);
  E_Value->setFocus();
}

void TF_ChangeSetting::reject() { done(platform::mrCancel); }
