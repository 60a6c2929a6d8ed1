#include "monitor/playerinfoform.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "monitor/listview.h"
#include "monitor/picturebox.h"
#include "platform/colourtext.h"
#include "platform/dialogs.h"

TPlayerInfoForm::TPlayerInfoForm(common::ColorCodes codes, bool showCodes, QWidget* parent)
    : QDialog(parent), codes_(codes) {
  setObjectName("PlayerInfoForm");
  setWindowTitle(" ");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

  GroupBox1 = new QGroupBox("Player:", this);
  GroupBox1->setObjectName("GroupBox1");
  LV_PlayerInfo = monitor::MakeListView(GroupBox1, "LV_PlayerInfo", {{"Description", 125}, {"Value", 125}});
  LV_PlayerInfo->setMinimumSize(270, 220);
  auto* colours = new platform::ColourTextDelegate(codes, LV_PlayerInfo);
  colours->SetShowCodes(showCodes);
  LV_PlayerInfo->setItemDelegate(colours);

  P_Picture = new QFrame(GroupBox1);
  P_Picture->setObjectName("P_Picture");
  P_Picture->setFrameShape(QFrame::Panel);
  P_Picture->setFrameShadow(QFrame::Sunken);
  P_Picture->setFixedSize(70, 70);
  ImagePlayer = new monitor::PictureBox("ImagePlayer", 64, 64, P_Picture);
  ImagePlayer->move(3, 3);
  ImagePlayer->setToolTip("Player Model");

  auto* side = new QVBoxLayout;
  side->addWidget(P_Picture);
  side->addStretch();
  auto* inner = new QHBoxLayout(GroupBox1);
  inner->addWidget(LV_PlayerInfo, 1);
  inner->addLayout(side);

  Btn_Ok = new QPushButton("&Ok", this);
  Btn_Ok->setObjectName("Btn_Ok");
  Btn_Ok->setDefault(true);
  Btn_Kick = new QPushButton("&Kick Player", this);
  Btn_Kick->setObjectName("Btn_Kick");
  Btn_Kick->setAutoDefault(false);
  connect(Btn_Ok, &QPushButton::clicked, this, [this] { done(platform::mrOk); });
  connect(Btn_Kick, &QPushButton::clicked, this, [this] { done(platform::mrKickPlayer); });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Btn_Ok);
  buttons->addWidget(Btn_Kick);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(GroupBox1);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  Btn_Ok->setFocus();
}

void TPlayerInfoForm::ShowRows(const std::vector<protocol::UserInfoRow>& rows) {
  monitor::FillListView(LV_PlayerInfo, rows, codes_);
}

void TPlayerInfoForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    done(platform::mrOk);
    return;
  }
  QDialog::keyPressEvent(event);
}

void TPlayerInfoForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  platform::CentreOnScreen(*this);
  Btn_Ok->setFocus();
}
