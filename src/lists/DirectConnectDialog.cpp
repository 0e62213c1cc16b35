#include "lists/DirectConnectDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "components/CodePageValidator.h"
#include "components/Dialogs.h"
#include "components/Placement.h"
#include "components/QtText.h"
#include "components/WindowKeys.h"
#include "lists/AddressFields.h"
#include "lists/LabeledEdit.h"
#include "lists/StatusFetch.h"
#include "lists/WindowStyle.h"
#include "protocol/StatusReply.h"
#include "store/Settings.h"

namespace tarvix {

// Controls; each keeps its code name as its objectName.
struct DirectConnectDialog::Ui {
  QLabel* addressLabel = nullptr;  // "IP:Port"
  QLineEdit* ipEdit = nullptr;
  QLineEdit* portEdit = nullptr;
  QLineEdit* passwordEdit = nullptr;
  QPushButton* connectButton = nullptr;
};

DirectConnectDialog::~DirectConnectDialog() = default;

DirectConnectDialog::DirectConnectDialog(Settings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings) {
  ui_ = std::make_unique<Ui>();
  setObjectName("Form17");
  setWindowTitle("direct connect");
  makeFixedToolWindow(this, false);

  ui_->addressLabel = new QLabel("IP:Port", this);
  ui_->addressLabel->setObjectName("Label1");
  ui_->addressLabel->setGeometry(10, 8, 120, 14);
  ui_->ipEdit = new QLineEdit(this);
  ui_->ipEdit->setObjectName("Edit1");
  ui_->ipEdit->setGeometry(10, 22, 130, 21);
  ui_->portEdit = new QLineEdit(this);
  ui_->portEdit->setObjectName("Edit2");
  ui_->portEdit->setGeometry(146, 22, 58, 21);
  ui_->passwordEdit = makeLabeledEdit(this, "LabeledEdit1", "Password ", 10, 48, 194);
  ui_->connectButton = makeButton(this, "Button1", "connect", QRect(10, 92, 194, 25));

  acceptCodePageOnly({ui_->ipEdit, ui_->portEdit, ui_->passwordEdit});

  setFixedSize(214, 126);
  centreOnDesktop(this);

  connect(ui_->ipEdit, &QLineEdit::editingFinished, this, &DirectConnectDialog::tidyAddress);
  connect(ui_->connectButton, &QPushButton::clicked, this, &DirectConnectDialog::connectToServer);
  pressOnEnter(this, ui_->connectButton);
}

void DirectConnectDialog::tidyAddress() {
  removeBlanks(ui_->ipEdit);
  removeBlanks(ui_->portEdit);
  splitAddressField(ui_->ipEdit, ui_->portEdit);
}

void DirectConnectDialog::connectToServer() {
  if (busy_) return;
  if (!ui_->ipEdit->text().contains('.')) {
    ui_->ipEdit->setFocus();
    dialogs().showMessage(this, "please enter a valid ip!");
    return;
  }
  busy_ = true;
  ui_->connectButton->setEnabled(false);
  removeBlanks(ui_->ipEdit);
  removeBlanks(ui_->portEdit);
  const CurrentServer server{toBytes(ui_->ipEdit->text()), toBytes(ui_->portEdit->text())};
  settings_.setCurrentServer(server);
  // The server chosen here replaces a selection still waiting for its reply.
  emit serverChosen();
  setCursor(Qt::BusyCursor);  // a query is under way
  query_ = fetchStatusInBackground(this, server.ip, server.port, settings_.scanTimeout(),
                                   [this](const std::string& reply) { connectIfAnswered(reply); });
}

void DirectConnectDialog::connectIfAnswered(const std::string& reply) {
  unsetCursor();
  ui_->connectButton->setEnabled(true);
  busy_ = false;
  if (directConnectSetsEdition(reply)) emit editionFound(toQString(editionOf(reply)));
  if (!directConnectAnswered(reply)) {
    ui_->ipEdit->setFocus();
    dialogs().showMessage(this, "no response from server!");
    return;
  }
  // With an empty password field the game joins with the password connect
  // finds itself (the settings' password, then the password file).
  if (!ui_->passwordEdit->text().isEmpty()) {
    const std::string password = toBytes(ui_->passwordEdit->text());
    settings_.updateConfig([&password](Config& c) { c.serverPassword = password; });
  }
  emit connectRequested();
  ui_->ipEdit->setFocus();
  hide();
}

}  // namespace tarvix
