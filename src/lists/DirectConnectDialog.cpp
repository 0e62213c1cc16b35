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

DirectConnectDialog::DirectConnectDialog(Settings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings) {
  setObjectName("Form17");
  setWindowTitle("direct connect");
  makeFixedToolWindow(this, false);

  addressLabel = new QLabel("IP:Port", this);
  addressLabel->setObjectName("Label1");
  addressLabel->setGeometry(10, 8, 120, 14);
  ipEdit = new QLineEdit(this);
  ipEdit->setObjectName("Edit1");
  ipEdit->setGeometry(10, 22, 130, 21);
  portEdit = new QLineEdit(this);
  portEdit->setObjectName("Edit2");
  portEdit->setGeometry(146, 22, 58, 21);
  passwordEdit = makeLabeledEdit(this, "LabeledEdit1", "Password ", 10, 48, 194);
  connectButton = makeButton(this, "Button1", "connect", QRect(10, 92, 194, 25));

  acceptCodePageOnly({ipEdit, portEdit, passwordEdit});

  setFixedSize(214, 126);
  centreOnDesktop(this);

  connect(ipEdit, &QLineEdit::editingFinished, this, &DirectConnectDialog::tidyAddress);
  connect(connectButton, &QPushButton::clicked, this, &DirectConnectDialog::connectToServer);
  pressOnEnter(this, connectButton);
}

void DirectConnectDialog::tidyAddress() {
  removeBlanks(ipEdit);
  removeBlanks(portEdit);
  splitAddressField(ipEdit, portEdit);
}

void DirectConnectDialog::connectToServer() {
  if (busy_) return;
  if (!ipEdit->text().contains('.')) {
    ipEdit->setFocus();
    dialogs().showMessage(this, "please enter a valid ip!");
    return;
  }
  busy_ = true;
  connectButton->setEnabled(false);
  removeBlanks(ipEdit);
  removeBlanks(portEdit);
  const CurrentServer server{toBytes(ipEdit->text()), toBytes(portEdit->text())};
  settings_.setCurrentServer(server);
  // The server chosen here replaces a selection still waiting for its reply.
  emit serverChosen();
  setCursor(Qt::BusyCursor);  // a query is under way
  query_ = fetchStatusInBackground(this, server.ip, server.port, settings_.scanTimeout(),
                                   [this](const std::string& reply) { connectIfAnswered(reply); });
}

void DirectConnectDialog::connectIfAnswered(const std::string& reply) {
  unsetCursor();
  connectButton->setEnabled(true);
  busy_ = false;
  if (directConnectSetsEdition(reply)) emit editionFound(toQString(editionOf(reply)));
  if (!directConnectAnswered(reply)) {
    ipEdit->setFocus();
    dialogs().showMessage(this, "no response from server!");
    return;
  }
  // With an empty password field the game joins with the password connect
  // finds itself (the settings' password, then the password file).
  if (!passwordEdit->text().isEmpty()) {
    const std::string password = toBytes(passwordEdit->text());
    settings_.updateConfig([&password](Config& c) { c.serverPassword = password; });
  }
  emit connectRequested();
  ipEdit->setFocus();
  hide();
}

}  // namespace tarvix
