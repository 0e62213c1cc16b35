#include "lists/QuickAddDialog.h"

#include <QDateTime>
#include <QLocale>
#include <QPushButton>
#include <QShowEvent>

#include "components/Clock.h"
#include "components/CodePageValidator.h"
#include "components/Dialogs.h"
#include "components/Placement.h"
#include "components/QtText.h"
#include "components/WindowKeys.h"
#include "lists/AddressFields.h"
#include "lists/LabeledEdit.h"
#include "lists/ScanState.h"
#include "lists/StatusFetch.h"
#include "lists/WindowStyle.h"
#include "protocol/AddressSyntax.h"
#include "protocol/StatusReply.h"
#include "store/ServerLists.h"
#include "store/Settings.h"

namespace tarvix {

// Controls; each keeps its code name as its objectName.
struct QuickAddDialog::Ui {
  QLineEdit* ipEdit = nullptr;
  QLineEdit* portEdit = nullptr;
  QPushButton* addButton = nullptr;
  QLineEdit* nameEdit = nullptr;             // hidden
  QPushButton* receiveNameButton = nullptr;  // hidden
};

QString unnamedServerName() {
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(clock().now().time_since_epoch())
          .count();
  const QDateTime now = QDateTime::fromMSecsSinceEpoch(ms);
  const QLocale locale = QLocale::system();
  return "Unnamed Server @ " + locale.toString(now.time(), QLocale::LongFormat) + " - " +
         locale.toString(now.date(), QLocale::ShortFormat);
}

QuickAddDialog::~QuickAddDialog() = default;

QuickAddDialog::QuickAddDialog(Settings& settings, const ScanState& scan, QWidget* parent)
    : QWidget(parent), settings_(settings), scan_(scan) {
  ui_ = std::make_unique<Ui>();
  setObjectName("Form13");
  setWindowTitle("quick add");
  makeFixedToolWindow(this, true);

  ui_->ipEdit = makeLabeledEdit(this, "LabeledEdit2", "IP", 10, 8, 130);
  ui_->portEdit = makeLabeledEdit(this, "LabeledEdit3", "Port", 148, 8, 56);
  ui_->nameEdit = makeLabeledEdit(this, "LabeledEdit1", "Name", 10, 48, 194);
  acceptCodePageOnly({ui_->ipEdit, ui_->portEdit, ui_->nameEdit});
  ui_->nameEdit->setVisible(false);
  labelOf(this, ui_->nameEdit)->setVisible(false);

  ui_->addButton = makeButton(this, "Button1", "add to list", QRect(10, 50, 194, 25));
  ui_->receiveNameButton =
      makeButton(this, "Button2", "receive server name", QRect(10, 80, 194, 25));
  ui_->receiveNameButton->setVisible(false);

  setFixedSize(214, 85);
  centreOnDesktop(this);

  connect(ui_->ipEdit, &QLineEdit::editingFinished, this, &QuickAddDialog::splitAddress);
  // Enter in "IP" splits an address typed with its port, then adds, as
  // Enter does anywhere else in the window.
  connect(ui_->ipEdit, &QLineEdit::returnPressed, this, [this] {
    splitAddress();
    addToList();
  });
  connect(ui_->addButton, &QPushButton::clicked, this, &QuickAddDialog::addToList);
  connect(ui_->receiveNameButton, &QPushButton::clicked, this, &QuickAddDialog::receiveServerName);
  pressOnEnter(this, ui_->addButton, {ui_->ipEdit});
}

void QuickAddDialog::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) resetAddCaption();
}

void QuickAddDialog::resetAddCaption() { ui_->addButton->setText("add server"); }

void QuickAddDialog::splitAddress() { splitAddressField(ui_->ipEdit, ui_->portEdit); }

void QuickAddDialog::receiveServerName() {
  if (!busy_) startNameQuery(nullptr);
}

bool QuickAddDialog::startNameQuery(std::function<void()> then) {
  if (ui_->ipEdit->text().isEmpty() || ui_->portEdit->text().isEmpty()) return false;
  removeBlanks(ui_->ipEdit);
  removeBlanks(ui_->portEdit);
  // A name left from an earlier server must never name this one.
  ui_->nameEdit->clear();
  nameQuery_.cancel();
  // The wait can last the whole time-out: show that a query is under way.
  setCursor(Qt::BusyCursor);
  nameQuery_ = fetchStatusInBackground(this, toBytes(ui_->ipEdit->text()),
                                       toBytes(ui_->portEdit->text()), settings_.scanTimeout(),
                                       [this, then = std::move(then)](const std::string& reply) {
                                         unsetCursor();
                                         if (quickAddAnswered(reply))
                                           ui_->nameEdit->setText(toQString(quickAddName(reply)));
                                         if (then) then();
                                       });
  return true;
}

void QuickAddDialog::addToList() {
  if (busy_) return;
  busy_ = true;
  ui_->addButton->setEnabled(false);
  if (ui_->ipEdit->text().isEmpty() || ui_->portEdit->text().isEmpty()) {
    dialogs().showMessage(this, "please enter ip and port !");
    finishAdding();
    return;
  }
  if (!addressAccepted()) {
    // The window stays for the address to be mended.
    ui_->addButton->setEnabled(true);
    busy_ = false;
    return;
  }
  startNameQuery([this] {
    appendNamedServer();
    finishAdding();
  });
}

bool QuickAddDialog::addressAccepted() {
  removeBlanks(ui_->ipEdit);
  removeBlanks(ui_->portEdit);
  const QString ip = ui_->ipEdit->text(), port = ui_->portEdit->text();
  QLineEdit* wrong = nullptr;
  if (!isServerHost(toBytes(ip))) {
    dialogs().showMessage(this, ip + " is neither an IPv4 address nor a host name !");
    wrong = ui_->ipEdit;
  } else if (!isServerPort(toBytes(port))) {
    dialogs().showMessage(this, port + " is not a port (1 to 65535) !");
    wrong = ui_->portEdit;
  }
  if (!wrong) return true;
  wrong->setFocus();
  wrong->selectAll();
  return false;
}

void QuickAddDialog::finishAdding() {
  ui_->ipEdit->setFocus();
  hide();
  ui_->addButton->setEnabled(true);
  busy_ = false;
}

void QuickAddDialog::appendNamedServer() {
  if (ui_->nameEdit->text().isEmpty() &&
      dialogs().confirm(this, "Server does not response - add it ?"))
    ui_->nameEdit->setText(unnamedServerName());
  if (scan_.scanRunning() || ui_->nameEdit->text().isEmpty() || ui_->ipEdit->text().isEmpty() ||
      ui_->portEdit->text().isEmpty())
    return;
  const std::string name = toBytes(ui_->nameEdit->text());
  try {
    appendServer(settings_.serverListPath(), name, toBytes(ui_->ipEdit->text()),
                 toBytes(ui_->portEdit->text()));
  } catch (const std::exception&) {
    emit statusMessage("Serverlist is in use...please restart Tarvix to add a server !");
    return;
  }
  emit serverAdded(name);
  ui_->nameEdit->clear();
  ui_->ipEdit->clear();
  ui_->portEdit->clear();
}

}  // namespace tarvix
