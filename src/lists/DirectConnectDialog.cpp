#include "lists/DirectConnectDialog.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "app/Forms.h"
#include "app/MainWindow.h"
#include "components/Dialogs.h"
#include "components/QtText.h"
#include "lists/AddressFields.h"
#include "lists/LabeledEdit.h"
#include "lists/StatusWait.h"
#include "protocol/StatusReply.h"
#include "components/Placement.h"

namespace tarvix {

DirectConnectDialog::DirectConnectDialog(QWidget* parent) : QWidget(parent) {
  setObjectName("Form17");
  setWindowTitle("direct connect");
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

  Label1 = new QLabel("IP:Port", this);
  Label1->setObjectName("Label1");
  Label1->setGeometry(10, 8, 120, 14);
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  Edit1->setGeometry(10, 22, 130, 21);
  Edit2 = new QLineEdit(this);
  Edit2->setObjectName("Edit2");
  Edit2->setGeometry(146, 22, 58, 21);
  LabeledEdit1 = makeLabeledEdit(this, "LabeledEdit1", "Password ", 10, 48, 194);
  Button1 = new QPushButton("connect", this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(10, 92, 194, 25);

  setFixedSize(214, 126);
  centreOnDesktop(this);

  connect(Edit1, &QLineEdit::editingFinished, this, &DirectConnectDialog::Edit1Exit);
  connect(Button1, &QPushButton::clicked, this, &DirectConnectDialog::Button1Click);
}

void DirectConnectDialog::Edit1Exit() {
  removeBlanks(Edit1);
  removeBlanks(Edit2);
  splitAddressField(Edit1, Edit2);
}

void DirectConnectDialog::Button1Click() {
  MainWindow* f = forms().Form1;
  if (!f || busy_) return;
  if (!Edit1->text().contains('.')) {
    Edit1->setFocus();
    dialogs().showMessage("please enter a valid ip!");
    return;
  }
  busy_ = true;
  Button1->setEnabled(false);
  removeBlanks(Edit1);
  removeBlanks(Edit2);
  // The server chosen here replaces a selection still waiting for its reply.
  f->cancelDetailsQuery();
  const CurrentServer server{toBytes(Edit1->text()), toBytes(Edit2->text())};
  f->settings().setCurrentServer(server);
  f->repaint();

  const std::string reply =
      waitForStatusReply(IdUDPClient1, server.ip, server.port, f->settings().scanTimeout());
  Button1->setEnabled(true);
  busy_ = false;
  if (directConnectSetsEdition(reply)) f->Label4->setText(toQString(editionOf(reply)));
  if (!directConnectAnswered(reply)) {
    Edit1->setFocus();
    dialogs().showMessage("no response from server!");
    return;
  }
  // With an empty password field the game joins with the password connect
  // finds itself (ServerPassword, then the password file).
  if (!LabeledEdit1->text().isEmpty()) {
    const std::string password = toBytes(LabeledEdit1->text());
    f->settings().updateConfig([&](Config& c) { c.serverPassword = password; });
  }
  f->ToolButton1Click();
  Edit1->setFocus();
  hide();
}

}  // namespace tarvix
