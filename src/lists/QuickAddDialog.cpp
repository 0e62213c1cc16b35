#include "lists/QuickAddDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QItemSelectionModel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTreeWidget>

#include "app/Forms.h"
#include "app/MainWindow.h"
#include "components/Clock.h"
#include "components/Dialogs.h"
#include "components/QtText.h"
#include "lists/AddressFields.h"
#include "lists/LabeledEdit.h"
#include "lists/StatusWait.h"
#include "protocol/StatusReply.h"
#include "store/ServerLists.h"
#include "components/Placement.h"

namespace tarvix {

QString unnamedServerName() {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      clock().now().time_since_epoch())
                      .count();
  const QDateTime now = QDateTime::fromMSecsSinceEpoch(ms);
  const QLocale locale = QLocale::system();
  return "Unnamed Server @ " + locale.toString(now.time(), QLocale::LongFormat) + " - " +
         locale.toString(now.date(), QLocale::ShortFormat);
}

QuickAddDialog::QuickAddDialog(QWidget* parent) : QWidget(parent) {
  setObjectName("Form13");
  setWindowTitle("quick add");
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                 Qt::MSWindowsFixedSizeDialogHint);

  LabeledEdit2 = makeLabeledEdit(this, "LabeledEdit2", "IP", 10, 8, 130);
  LabeledEdit3 = makeLabeledEdit(this, "LabeledEdit3", "Port", 148, 8, 56);
  LabeledEdit1 = makeLabeledEdit(this, "LabeledEdit1", "Name", 10, 48, 194);
  LabeledEdit1->setVisible(false);
  labelOf(this, LabeledEdit1)->setVisible(false);

  Button1 = new QPushButton("add to list", this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(10, 50, 194, 25);
  Button2 = new QPushButton("receive server name", this);
  Button2->setObjectName("Button2");
  Button2->setGeometry(10, 80, 194, 25);
  Button2->setVisible(false);

  setFixedSize(214, 85);
  centreOnDesktop(this);

  connect(LabeledEdit2, &QLineEdit::editingFinished, this, &QuickAddDialog::LabeledEdit2Exit);
  connect(LabeledEdit2, &QLineEdit::returnPressed, this, &QuickAddDialog::LabeledEdit2Exit);
  connect(Button1, &QPushButton::clicked, this, &QuickAddDialog::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &QuickAddDialog::Button2Click);
}

void QuickAddDialog::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void QuickAddDialog::FormShow() { Button1->setText("add server"); }

void QuickAddDialog::LabeledEdit2Exit() {
  splitAddressField(LabeledEdit2, LabeledEdit3);
}

void QuickAddDialog::Button2Click() {
  if (LabeledEdit2->text().isEmpty() || LabeledEdit3->text().isEmpty()) return;
  removeBlanks(LabeledEdit2);
  removeBlanks(LabeledEdit3);
  // A name left from an earlier server must never name this one.
  LabeledEdit1->clear();
  MainWindow* f = forms().Form1;
  const int timeout = f ? f->settings().scanTimeout() : 500;
  const std::string reply = waitForStatusReply(IdUDPClient1, toBytes(LabeledEdit2->text()),
                                               toBytes(LabeledEdit3->text()), timeout);
  if (quickAddAnswered(reply)) LabeledEdit1->setText(toQString(quickAddName(reply)));
}

void QuickAddDialog::Button1Click() {
  if (busy_) return;
  busy_ = true;
  Button1->setEnabled(false);
  if (LabeledEdit2->text().isEmpty() || LabeledEdit3->text().isEmpty())
    dialogs().showMessage("please enter ip and port !");
  else
    addServer();
  LabeledEdit2->setFocus();
  hide();
  Button1->setEnabled(true);
  busy_ = false;
}

void QuickAddDialog::addServer() {
  MainWindow* f = forms().Form1;
  Button2Click();
  if (LabeledEdit1->text().isEmpty() && dialogs().confirm("Server does not response - add it ?"))
    LabeledEdit1->setText(unnamedServerName());
  if (!f || f->Scanning || LabeledEdit1->text().isEmpty() || LabeledEdit2->text().isEmpty() ||
      LabeledEdit3->text().isEmpty())
    return;
  const std::string name = toBytes(LabeledEdit1->text());
  try {
    appendServer(f->settings().serverListPath(), name, toBytes(LabeledEdit2->text()),
                 toBytes(LabeledEdit3->text()));
  } catch (const std::exception&) {
    f->setStatusText("Serverlist is in use...please restart Tarvix to add a server !");
    return;
  }
  f->ComboBoxEx1->addItem(toQString(name));
  QTreeWidgetItem* row = f->addServerRow(name);
  LabeledEdit1->clear();
  LabeledEdit2->clear();
  LabeledEdit3->clear();
  f->ListView3->scrollToItem(row);
  // The focus mark only: the row is not selected, so it is not queried.
  f->ListView3->selectionModel()->setCurrentIndex(f->ListView3->indexFromItem(row),
                                                  QItemSelectionModel::NoUpdate);
}

}  // namespace tarvix
