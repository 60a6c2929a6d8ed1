#include "settings/settingsform.h"

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "platform/dialogs.h"
#include "platform/text.h"
#include "protocol/cvarlist.h"
#include "protocol/cvars.h"
#include "settings/inputs.h"
#include "settings/listing.h"
#include "settings/sequence.h"

using settings::InputKind;

namespace {

constexpr int kLabelHeight = 15;
constexpr int kFieldHeight = 21;
constexpr int kCheckHeight = 17;

// A grid caption is 100 pixels wide whatever the name; a long name gets a smaller font rather
// than losing its first letters (the caption is right-aligned).
void FitCaption(QLabel* label) {
  QFont font = label->font();
  const qreal smallest = 6;
  while (QFontMetrics(font).horizontalAdvance(label->text()) > label->width() && font.pointSizeF() > smallest) {
    font.setPointSizeF(std::max(smallest, font.pointSizeF() - 0.5));
  }
  if (font != label->font()) label->setFont(font);
}

}  // namespace

TF_Settings::TF_Settings(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint) {
  setObjectName("F_Settings");
  setWindowTitle("Server Settings");
  setFixedSize(661, 391);

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName("PageControl1");
  PageControl1->setGeometry(0, 0, 661, 391);

  TS_Q3AServerSettings = new QWidget;
  TS_Q3AServerSettings->setObjectName("TS_Q3AServerSettings");
  ScrollBox1 = new QScrollArea(TS_Q3AServerSettings);
  ScrollBox1->setObjectName("ScrollBox1");
  ScrollBox1->setGeometry(0, 0, 653, 322);
  ScrollBox1->setWidgetResizable(false);
  grid_ = new QWidget;
  grid_->setObjectName("ScrollBox1Grid");
  grid_->resize(0, 0);
  ScrollBox1->setWidget(grid_);

  L_Values = new QLabel(TS_Q3AServerSettings);
  L_Values->setObjectName("L_Values");
  L_Values->setGeometry(8, 335, 376, 17);

  Btn_Ok = new QPushButton("&Update server", TS_Q3AServerSettings);
  Btn_Ok->setObjectName("Btn_Ok");
  Btn_Ok->setGeometry(392, 331, 123, 25);
  Btn_Ok->setDefault(true);
  Btn_Cancel = new QPushButton("&Cancel", TS_Q3AServerSettings);
  Btn_Cancel->setObjectName("Btn_Cancel");
  Btn_Cancel->setGeometry(528, 331, 121, 25);
  connect(Btn_Ok, &QPushButton::clicked, this, [this] { done(platform::mrOk); });
  connect(Btn_Cancel, &QPushButton::clicked, this, [this] { done(platform::mrCancel); });

  TS_Settings = new QWidget;
  TS_Settings->setObjectName("TS_Settings");
  auto* settingsLayout = new QVBoxLayout(TS_Settings);
  settingsLayout->setContentsMargins(0, 0, 0, 0);
  Panel1 = new QFrame;
  Panel1->setObjectName("Panel1");
  Panel1->setFrameShape(QFrame::Panel);
  Panel1->setFrameShadow(QFrame::Sunken);
  settingsLayout->addWidget(Panel1);
  Label1 = new QLabel("Custom Server Settings File:", Panel1);
  Label1->setObjectName("Label1");
  Label1->move(8, 12);
  Label1->adjustSize();
  Label1->resize(142, Label1->height());  // up to the text field beside it
  FitCaption(Label1);
  E_CustomSettingsFile = new QLineEdit(Panel1);
  E_CustomSettingsFile->setObjectName("E_CustomSettingsFile");
  E_CustomSettingsFile->setGeometry(152, 8, 161, 21);
  SpeedButton1 = new QToolButton(Panel1);
  SpeedButton1->setObjectName("SpeedButton1");
  SpeedButton1->setGeometry(318, 6, 25, 25);
  SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
  SpeedButton1->setAutoRaise(true);
  Label2 = new QLabel("Not yet implemented :)", Panel1);
  Label2->setObjectName("Label2");
  QFont font = Label2->font();
  font.setPixelSize(16);
  font.setBold(true);
  font.setItalic(true);
  Label2->setFont(font);
  QPalette palette = Label2->palette();
  palette.setColor(QPalette::WindowText, Qt::red);
  Label2->setPalette(palette);
  Label2->move(8, 40);
  Label2->adjustSize();

  PageControl1->addTab(TS_Q3AServerSettings, "&Server Settings");
  PageControl1->addTab(TS_Settings, "S&ettings");
  PageControl1->setCurrentWidget(TS_Q3AServerSettings);

  Q3A_Client.OnData = [this](TUDPClient& sender, int socket) { Q3A_ClientData(sender, socket); };
  answerWait_.setSingleShot(true);
  connect(&answerWait_, &QTimer::timeout, this, [this] {
    waitOver_ = true;
    UpdateValuesLabel();
  });
  listingWait_.setSingleShot(true);
  connect(&listingWait_, &QTimer::timeout, this, [this] { EndListing(queryNames_); });
  FormCreate();
}

TF_Settings::~TF_Settings() { FormClose(); }

void TF_Settings::FormCreate() { FFieldSlot = 0; }

void TF_Settings::BuildFields(const std::string& fileName) {
  ScrollBox1->hide();
  QSize extent(0, 0);
  try {
    const settings::Description description = settings::ReadDescriptionFile(fileName);
    if (description.Truncated())
      platform::MessageDlg(settings::TruncationNotice(fileName, description), platform::MsgType::Warning, platform::MsgButtons::Ok);
    const settings::BuildPlan plan = settings::PlanFields(description.fields);
    const int first = FFieldSlot;
    for (const settings::FieldPlan& p : plan.fields) {
      FFieldSlot = first + p.slot;
      if (p.query) queryNames_.push_back(p.field.name);

      const settings::Cell cell = settings::LabelCell(FFieldSlot);
      auto* label = new QLabel(platform::ToUnicode(p.field.name), grid_);
      label->setGeometry(cell.left, cell.top, cell.width, kLabelHeight);
      label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      label->setToolTip(platform::ToDisplay(settings::TooltipText(p.field.defaultValue, p.field.hint)));
      FitCaption(label);
      extent = extent.expandedTo(QSize(label->geometry().right() + 1, label->geometry().bottom() + 1));
      if (p.input) {
        BuildInput(p, label);
        const QRect r = inputs_.back()->Widget()->geometry();
        extent = extent.expandedTo(QSize(r.right() + 1, r.bottom() + 1));
      }
    }
    FFieldSlot = plan.stopped ? FFieldSlot : first + static_cast<int>(description.fields.size());
  } catch (...) {
    // A field that cannot be built ends the grid there; what was built stays.
  }
  grid_->resize(extent.width() + 10, extent.height() + 10);
  ScrollBox1->show();
  StartListing();
}

void TF_Settings::BuildInput(const settings::FieldPlan& plan, QLabel* label) {
  settings::SettingInput* input = settings::MakeInput(plan.kind, grid_);
  if (!input) return;
  const settings::Cell cell = settings::InputCell(FFieldSlot, plan.kind);
  QWidget* widget = input->Widget();
  widget->setGeometry(cell.left, cell.top, cell.width, plan.kind == InputKind::Check ? kCheckHeight : kFieldHeight);
  widget->setObjectName(platform::ToUnicode(plan.field.name));
  const size_t index =
      model_.Add(plan.field.name, plan.kind, settings::TooltipText(plan.field.defaultValue, plan.field.hint));
  input->onEdited = [this, index] { HandleEdited(index); };
  inputs_.push_back(input);
  labels_.push_back(label);
  ShowState(index);
}

void TF_Settings::StartListing() {
  listing_.reset();
  listingWait_.stop();
  if (queryNames_.empty()) return UpdateValuesLabel();
  listing_ = std::make_unique<protocol::CvarListReader>(*game_);
  ++listingsTotal_;
  // The one request goes before the window's next poll; still, the pacer may hold it for the
  // server's rate limit, so the wait for the whole listing starts when it has left.
  Q3A_Client.SendTextAhead(protocol::CvarListDatagram(FRconPassword), [this] {
    ++listingsSent_;
    if (listing_) listingWait_.start(kListingWaitMs);
    UpdateValuesLabel();
  });
  UpdateValuesLabel();
}

void TF_Settings::ReadListing(const std::string& datagram) {
  switch (listing_->Feed(datagram)) {
    case protocol::CvarListReader::State::Reading: return;
    case protocol::CvarListReader::State::Complete: {
      const settings::ListedValues listed(listing_->Variables(), *game_);
      for (const size_t index : model_.Answer(listed)) {
        inputs_[index]->ShowValue(*listed.Find(model_.Name(index)));
        ShowState(index);
      }
      std::vector<std::string> absent;
      for (const std::string& name : queryNames_)
        if (!listed.Find(name)) absent.push_back(name);
      return EndListing(absent);
    }
    case protocol::CvarListReader::State::Broken: return EndListing(queryNames_);
    case protocol::CvarListReader::State::Refused:
      // Queries of single variables would be refused as well.
      refused_ = true;
      return EndListing({});
  }
}

void TF_Settings::EndListing(const std::vector<std::string>& names) {
  listingWait_.stop();
  listing_.reset();
  StartQueries(names);
}

void TF_Settings::StartQueries(const std::vector<std::string>& names) {
  if (queries_) queries_->Cancel();
  queries_.reset();
  if (names.empty()) {
    waitOver_ = true;
    return UpdateValuesLabel();
  }
  std::vector<std::string> queries;
  for (const std::string& name : names) queries.push_back(protocol::VariableQueryDatagram(FRconPassword, name));
  queries_ = settings::SendSequence::Create(
      [this](const std::string& text, std::function<void()> onSent) { Q3A_Client.SendText(text, std::move(onSent)); });
  queries_->onProgress = [this] { UpdateValuesLabel(); };
  queries_->onDone = [this] { answerWait_.start(kAnswerWaitMs); };
  queries_->Append(queries);
  UpdateValuesLabel();
}

void TF_Settings::Q3A_ClientData(TUDPClient& sender, int) {
  try {
    HandleReply(sender.ReceiveText());
  } catch (...) {
    // A reply that cannot be used changes nothing.
  }
}

void TF_Settings::HandleReply(std::string datagram) {
  if (listing_) {
    ReadListing(datagram);
  } else {
    ApplyReply(datagram);
  }
  protocol::WipeText(datagram);
}

void TF_Settings::ApplyReply(const std::string& datagram) {
  const protocol::CvarReply reply = protocol::ParseCvarReply(datagram, *game_);
  for (const size_t index : model_.Answer(reply.name, reply.value)) {
    inputs_[index]->ShowValue(reply.value);
    ShowState(index);
  }
  UpdateValuesLabel();
}

void TF_Settings::HandleEdited(size_t index) {
  if (model_.State(index) == settings::ValueState::Edited) return;
  model_.Edit(index);
  ShowState(index);
}

void TF_Settings::ShowState(size_t index) {
  inputs_[index]->SetUnknown(model_.State(index) == settings::ValueState::Unknown);
  const QString text = platform::ToDisplay(model_.Tooltip(index));
  inputs_[index]->Widget()->setToolTip(text);
  labels_[index]->setToolTip(text);
}

int TF_Settings::QueriesSent() const { return listingsSent_ + (queries_ ? queries_->Sent() : 0); }
int TF_Settings::QueriesTotal() const { return listingsTotal_ + (queries_ ? queries_->Total() : 0); }

void TF_Settings::UpdateValuesLabel() {
  L_Values->setText(platform::ToUnicode(model_.ValuesText(waitOver_, refused_)));
}

std::vector<std::string> TF_Settings::UpdateCommands() const {
  std::vector<std::string> values;
  values.reserve(inputs_.size());
  for (const settings::SettingInput* input : inputs_) values.push_back(input->Value());
  return model_.UpdateCommands(values);
}

void TF_Settings::FormClose() {
  if (queries_) queries_->Cancel();
  listing_.reset();
  listingWait_.stop();
  answerWait_.stop();
  Q3A_Client.Close();
}

void TF_Settings::done(int result) {
  FormClose();
  QDialog::done(result);
}

void TF_Settings::reject() { done(platform::mrCancel); }

void TF_Settings::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  platform::CentreOnScreen(*this);
}
