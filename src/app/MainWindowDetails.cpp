// Server details: row selection, buddy double-click, "Add to Buddys", and the
// tool bar's buddies, clantags and search buttons.
#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPersistentModelIndex>
#include <QRadioButton>
#include <QToolButton>
#include <QTreeWidget>

#include "app/Forms.h"
#include "app/MainWindow.h"
#include "app/BuddiesWindow.h"
#include "app/ClanTagsWindow.h"
#include "components/ViewItems.h"
#include "components/Dialogs.h"
#include "components/QtText.h"
#include "lists/ServerPropertiesWindow.h"
#include "lists/SearchWindow.h"
#include "store/DataFile.h"
#include "store/NameLists.h"
#include "store/ServerLists.h"

namespace tarvix {

namespace {

const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);

void setLabelColour(QLabel* label, const QColor& colour) {
  QPalette pal = label->palette();
  pal.setColor(QPalette::WindowText, colour);
  label->setPalette(pal);
}

}  // namespace

void MainWindow::buildDetails() {
  IdUDPClient1 = std::make_unique<AsyncStatusQuery>();

  connect(ListView3, &QTreeWidget::itemSelectionChanged, this, [this] {
    const QList<QTreeWidgetItem*> selected = ListView3->selectedItems();
    if (!selected.isEmpty()) ListView3SelectItem(selected.first());
  });
  connect(ListView2, &QTreeWidget::itemDoubleClicked, this, [this] { ListView2DblClick(); });
  connect(AddtoBuddys1, &QAction::triggered, this, &MainWindow::AddtoBuddys1Click);

  connect(ToolButton2, &QToolButton::clicked, this, [] { showWindow(forms().Form2); });
  connect(ToolButton5, &QToolButton::clicked, this, [] { showWindow(forms().Form4); });
  connect(ToolButton6, &QToolButton::clicked, this, [] { showWindow(forms().Form6); });
  connect(search1, &QAction::triggered, this, [] { showWindow(forms().Form6); });
}

void MainWindow::FirstShowSearch() {
  SearchWindow* search = forms().Form6;
  if (!search) return;
  search->show();
  search->serverOption->setChecked(true);
  search->mapOption->setChecked(false);
  search->hide();
}

bool MainWindow::detailsQueryPending() const {
  return IdUDPClient1->newest() != detailsShown_;
}

void MainWindow::cancelDetailsQuery() {
  detailsShown_ = IdUDPClient1->cancel();
  pendingDetails_ = nullptr;
  connectAfterDetails_ = false;
}

void MainWindow::resetGraph(int graphX) {
  GraphX = graphX;
  GraphPen = QPoint(97, 20);
  ++GraphResets;
  emit GraphReset();
}

void MainWindow::refreshProperties() {
  ServerPropertiesWindow* properties = forms().Form11;
  if (!properties || !properties->isVisible()) return;
  properties->hide();
  properties->show();
  activateWindow();
}

void MainWindow::startDetailsQuery(const std::string& ip, const std::string& port,
                               std::function<void(const std::string&)> apply) {
  pendingDetails_ = std::move(apply);
  // The reply is waited for on the query's own thread; the result comes back
  // to this thread and is shown only when no newer query has started since.
  IdUDPClient1->start(ip, port, settings_.scanTimeout(), [this](std::uint64_t ticket, std::string reply) {
    QMetaObject::invokeMethod(
        this, [this, ticket, reply = std::move(reply)] { onDetailsReply(ticket, reply); },
        Qt::QueuedConnection);
  });
}

void MainWindow::queryServerNamed(const std::string& name,
                              std::function<void(const std::string&)> apply) {
  ServerAddress address;
  try {
    address = lookupServer(settings_.serverListPath(), name);
  } catch (const FileError& e) {
    dialogs().showError(toQString(e.what()));
  }
  settings_.setCurrentServer({address.ip, address.port});
  PropertiesAddress = toQString(address.ip) + ":" + toQString(address.port);
  if (address.ip.empty()) {
    // Unknown server: nothing is sent, and no earlier query may show later.
    detailsShown_ = IdUDPClient1->cancel();
    pendingDetails_ = nullptr;
    apply(std::string());
    emit DetailsShown();
    return;
  }
  startDetailsQuery(address.ip, address.port, std::move(apply));
}

void MainWindow::onDetailsReply(std::uint64_t ticket, const std::string& reply) {
  if (ticket != IdUDPClient1->newest() || ticket == detailsShown_) return;
  detailsShown_ = ticket;
  auto apply = std::move(pendingDetails_);
  pendingDetails_ = nullptr;
  if (apply) apply(reply);
  emit DetailsShown();
}

void MainWindow::showNoAnswer(bool rowSelection) {
  Label1->clear();
  Label2->setText(toQString(kNoResponseSelected));
  setLabelColour(Label2, kRed);
  linkCaption = toQString(kNoLink);
  linkTarget = toQString(kHomePage);
  ListView1->clear();
  Label3->clear();
  Label4->clear();
  if (rowSelection) PropertiesVersion.clear();
}

void MainWindow::showAnswer(const ServerDetails& d) {
  const StatusReply& r = d.reply;
  Label4->setText(toQString(r.edition));
  for (const std::string& piece : d.mapLines) PropertiesMapLines << toQString(piece);
  PropertiesVersion = toQString(r.version);
  linkCaption = toQString(d.linkCaption);
  linkTarget = toQString(d.linkTarget);
  Label3->setText(toQString(r.hostName));
  Label2->setText("Map: " + toQString(r.mapName));
  setLabelColour(Label2, mapInstalled(r.mapName, settings_.config().mohaaPath) ? kGreen : kRed);
  ListView1->clear();
  for (const Player& p : r.players)
    ListView1->addTopLevelItem(new TextItem(QStringList{toQString(p.name), toQString(p.ping)}));
  Label1->setText("Players: " + toQString(d.countText));
}

void MainWindow::ListView3SelectItem(QTreeWidgetItem* row) {
  if (!row) return;
  resetGraph(250);
  PropertiesMapLines = QStringList{toQString(kMapRotationHeading), toQString(kMapRotationRule)};
  // The row is followed through re-sorts while the query waits; it is gone
  // when the server view dropped it meanwhile.
  const QPersistentModelIndex tracked(
      ListView3->model()->index(ListView3->indexOfTopLevelItem(row), 0));
  queryServerNamed(toBytes(row->text(2)), [this, tracked](const std::string& reply) {
    QTreeWidgetItem* current = tracked.isValid() ? ListView3->topLevelItem(tracked.row()) : nullptr;
    refreshProperties();
    applyRowSelection(current, reply);
  });
}

void MainWindow::applyRowSelection(QTreeWidgetItem* row, const std::string& reply) {
  const ServerDetails d = rowSelectionDetails(reply);
  if (!d.answered) {
    showNoAnswer(true);
    if (row) {
      setRowIcon(row, IconNoAnswer);
      setRowCaption(row, "no response");
    }
    return;
  }
  AutoSort = false;
  showAnswer(d);
  if (row) {
    row->setText(3, toQString(d.reply.edition));
    row->setText(1, toQString(d.reply.mapName));
    setRowCaption(row, toQString(d.countText));
    ListView3->scrollToItem(row);
    ListView3->setCurrentItem(row, 0, QItemSelectionModel::NoUpdate);
  }
  if (!d.maxIsNumber) {
    // The row's icon stays as it was.
    dialogs().showError(toQString(conversionErrorText(d.reply.maxClients)));
  } else if (d.full) {
    setLabelColour(Label1, kRed);
    if (row) setRowIcon(row, IconFull);
  } else {
    if (row) setRowIcon(row, IconAnswered);
    setLabelColour(Label1, kGreen);
  }
}

void MainWindow::ListView2DblClick() {
  QTreeWidgetItem* buddy = ListView2->currentItem();
  if (!buddy || !buddy->isSelected()) return;
  const QString host = buddy->text(1);
  if (!Scanning) {
    AutoSort = true;
    for (int i = 0; i < serverRowCount(); ++i) {
      QTreeWidgetItem* row = serverRow(i);
      if (row->text(2) != host) continue;
      ListView3->clearSelection();
      ListView3->setCurrentItem(row);  // runs the row selection
      ListView3->scrollToItem(row);
      return;
    }
    return;
  }

  // During a scan the server view is left to the scan.
  resetGraph(97);
  queryServerNamed(toBytes(host), [this](const std::string& reply) {
    refreshProperties();
    applyBuddyReply(reply);
  });
}

void MainWindow::applyBuddyReply(const std::string& reply) {
  const ServerDetails d = buddyDetails(reply);
  if (!d.answered) {
    showNoAnswer(false);
    return;
  }
  PropertiesMapLines = QStringList{toQString(kMapRotationHeading), toQString(kMapRotationRule)};
  showAnswer(d);
  if (!d.maxIsNumber)
    dialogs().showError(toQString(conversionErrorText(d.reply.maxClients)));
  else
    setLabelColour(Label1, d.full ? kRed : kGreen);
}

void MainWindow::AddtoBuddys1Click() {
  QTreeWidgetItem* player = ListView1->currentItem();
  if (!player || !player->isSelected()) return;
  const QString name = player->text(0);
  setStatusText("Adding " + name + " to Buddylist");
  try {
    appendNameEntry(kBuddiesFile, toBytes(name));
  } catch (const FileError& e) {
    dialogs().showError(toQString(e.what()));
    return;
  }
  setStatusText("Done!");
  if (forms().Form2) forms().Form2->LoadList();
}

}  // namespace tarvix
