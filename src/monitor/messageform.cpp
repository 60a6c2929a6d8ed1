#include "monitor/messageform.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/modalresult.h"

TF_Message::TF_Message(const QString& caption, QWidget* parent, const QString& label) : QDialog(parent) {
  setObjectName("F_Message");
  setWindowTitle(caption);
  L_Message = new QLabel(label, this);
  L_Message->setObjectName("L_Message");
  E_Message = new QLineEdit(this);
  E_Message->setObjectName("E_Message");
  E_Message->setMinimumWidth(320);
  L_Message->setBuddy(E_Message);
  Btn_Send = new QPushButton("&Send", this);
  Btn_Send->setObjectName("Btn_Send");
  Btn_Send->setDefault(true);
  Btn_Cancel = new QPushButton("Cancel", this);
  Btn_Cancel->setObjectName("Btn_Cancel");
  connect(Btn_Send, &QPushButton::clicked, this, [this] { done(platform::mrOk); });
  connect(Btn_Cancel, &QPushButton::clicked, this, [this] { done(platform::mrCancel); });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Btn_Send);
  buttons->addWidget(Btn_Cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(L_Message);
  layout->addWidget(E_Message);
  layout->addLayout(buttons);
}
