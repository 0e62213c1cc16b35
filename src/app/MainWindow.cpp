#include "app/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <array>

#include "base/ConsoleLogs.h"
#include "components/Clock.h"
#include "components/Dialogs.h"
#include "components/JpegImage.h"
#include "components/Placement.h"
#include "components/QtText.h"
#include "components/TrayIcon.h"
#include "components/ViewItems.h"
#include "store/Config.h"
#include "store/DataFile.h"
#include "store/ServerLists.h"

namespace tarvix {

namespace {

QToolButton* makeButton(QToolBar* bar, const char* name, const QString& caption,
                        const QString& hint, const char* icon) {
  auto* b = new QToolButton(bar);
  b->setObjectName(name);
  b->setText(caption);
  b->setToolTip(hint);
  b->setIcon(QIcon(QString(":/") + icon));
  b->setIconSize(QSize(24, 24));
  b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  b->setAutoRaise(true);
  QFont f = b->font();
  f.setPixelSize(10);
  b->setFont(f);
  b->setFixedSize(55, 50);
  bar->addWidget(b);
  return b;
}

QTreeWidget* makeView(QWidget* parent, const char* name) {
  auto* v = new QTreeWidget(parent);
  v->setObjectName(name);
  v->setRootIsDecorated(false);
  v->setUniformRowHeights(true);
  v->setSelectionMode(QAbstractItemView::SingleSelection);
  v->setSelectionBehavior(QAbstractItemView::SelectRows);
  v->setEditTriggers(QAbstractItemView::NoEditTriggers);
  v->setContextMenuPolicy(Qt::CustomContextMenu);
  QPalette pal = v->palette();
  pal.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
  v->setPalette(pal);
  v->header()->setStretchLastSection(false);
  v->header()->setSectionsMovable(false);
  return v;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QColor& colour, bool bold) {
  auto* l = new QLabel(parent);
  l->setObjectName(name);
  QPalette pal = l->palette();
  pal.setColor(QPalette::WindowText, colour);
  l->setPalette(pal);
  QFont f = l->font();
  f.setBold(bold);
  l->setFont(f);
  return l;
}

}  // namespace

MainWindow::MainWindow(Settings& settings, QWidget* parent)
    : QMainWindow(parent), settings_(settings) {
  setObjectName("Form1");
  setWindowTitle("Tarvix 2.10 | Allied Assault & Spearhead |");
  setWindowIcon(QIcon(":/tarvix.png"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

  auto* central = new QWidget(this);
  setCentralWidget(central);
  buildToolBar();
  buildViews(central);
  buildMenus();
  buildDetails();
  connectLaunchHandlers();
  connect(remoteConsoleButton, &QToolButton::clicked, this, &MainWindow::remoteConsoleRequested);
  connect(remoteConsoleAction, &QAction::triggered, this, &MainWindow::remoteConsoleRequested);

  autoScanTimer = new QTimer(this);
  autoScanTimer->setObjectName("Timer1");
  autoScanTimer->setInterval(clock().scaled(125000));
  connect(autoScanTimer, &QTimer::timeout, this, &MainWindow::autoScanDue);

  buildTray();
  watchPingShutdown();
  setFixedSize(680, 618);
  centreOnDesktop(this);

  loadConfigAndList();
}

MainWindow::~MainWindow() {
  // A query still waiting ends now instead of at its time-out.
  detailsQuery_.cancel();
}

void MainWindow::buildToolBar() {
  toolBar = new QToolBar(this);
  toolBar->setObjectName("ToolBar1");
  toolBar->setMovable(false);
  toolBar->setFloatable(false);
  toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
  addToolBar(Qt::TopToolBarArea, toolBar);

  scanNowButton = makeButton(toolBar, "ToolButton3", "scan now ", "start scan ", "scan.png");
  stopScanButton = makeButton(toolBar, "ToolButton9", "stop scan", "stop scan", "stop.png");
  searchButton = makeButton(toolBar, "ToolButton6", "search", "search server-map-ip", "search.png");
  connectButton = makeButton(toolBar, "ToolButton1", "connect", "connect", "connect.png");
  directConnectButton =
      makeButton(toolBar, "ToolButton10", "d-connect", "direct connect", "dconnect.png");
  buddiesButton = makeButton(toolBar, "ToolButton2", "buddies", "buddies", "buddies.png");
  clanTagsButton = makeButton(toolBar, "ToolButton5", "clantags", "clantag's", "clantags.png");
  remoteConsoleButton = makeButton(toolBar, "ToolButton7", "r-con", "advanced rcon", "rcon.png");
  optionsButton = makeButton(toolBar, "ToolButton4", "options", "options", "options.png");
  setToolButtonVisible(stopScanButton, false);

  serverNameList = new QComboBox(this);
  serverNameList->setObjectName("ComboBoxEx1");
  serverNameList->setToolTip("Select a server to scan");
  serverNameList->setVisible(false);

  connect(scanNowButton, &QToolButton::clicked, this, &MainWindow::startScan);
  connect(stopScanButton, &QToolButton::clicked, this, &MainWindow::stopScan);
}

void MainWindow::buildViews(QWidget* central) {
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(6, 2, 6, 0);
  layout->setSpacing(3);

  auto* bannerArea = new QWidget(central);
  bannerArea->setFixedSize(668, 65);
  const char* names[] = {"Image1", "Image2", "Image3", "Image4"};
  for (int i = 0; i < 4; ++i) {
    QLabel* image = bannerImages[i] = new QLabel(bannerArea);
    image->setObjectName(names[i]);
    image->setGeometry(0, 0, 668, 65);
    image->setPixmap(QPixmap::fromImage(loadJpeg(QString(":/banner%1.jpg").arg(i + 1))));
    image->setVisible(false);
  }
  layout->addWidget(bannerArea, 0, Qt::AlignHCenter);

  auto* summary = new QWidget(central);
  auto* grid = new QHBoxLayout(summary);
  grid->setContentsMargins(2, 0, 2, 0);
  auto* left = new QVBoxLayout();
  playerCountLabel = makeLabel(summary, "Label1", QColor(0, 128, 0), true);
  mapLabel = makeLabel(summary, "Label2", QColor(0, 0, 128), true);
  hostNameLabel = makeLabel(summary, "Label3", QColor(0, 0, 128), false);
  editionLabel = makeLabel(summary, "Label4", Qt::black, true);
  editionLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  auto* top = new QHBoxLayout();
  top->addWidget(playerCountLabel);
  top->addWidget(mapLabel, 1);
  left->addLayout(top);
  auto* bottom = new QHBoxLayout();
  bottom->addWidget(hostNameLabel, 1);
  bottom->addWidget(editionLabel);
  left->addLayout(bottom);
  grid->addLayout(left);
  summary->setFixedHeight(38);
  layout->addWidget(summary);

  auto* pair = new QHBoxLayout();
  playerView = makeView(central, "ListView1");
  playerView->setColumnCount(2);
  playerView->setHeaderLabels({"Players on server", "Ping"});
  playerView->setColumnWidth(1, 35);
  playerView->setToolTip(
      "Rightclick will move selected player to the buddylist / Doubleclick connects with server");
  playerView->setSortingEnabled(true);
  playerView->sortByColumn(0, Qt::AscendingOrder);
  playerView->header()->setSortIndicatorShown(false);
  playerView->header()->setSectionsClickable(false);
  playerView->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  playerView->header()->setSectionResizeMode(1, QHeaderView::Fixed);
  buddyView = makeView(central, "ListView2");
  buddyView->setColumnCount(2);
  buddyView->setHeaderLabels({"No Buddies online", "Host"});
  buddyView->setColumnWidth(1, 107);
  buddyView->setToolTip("doubleclick on player to scan his server");
  // Sorted by caption without the view's own sorting: the scan inserts each
  // hit in place and sorts at the end of a pass, where a sorting view would
  // sort all of its rows again after every insert.
  buddyView->header()->setSortIndicatorShown(false);
  buddyView->header()->setSectionsClickable(false);
  buddyView->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  buddyView->header()->setSectionResizeMode(1, QHeaderView::Fixed);
  pair->addWidget(playerView);
  pair->addWidget(buddyView);
  layout->addLayout(pair, 2);

  serverView = makeView(central, "ListView3");
  serverView->setColumnCount(4);
  serverView->setHeaderLabels({"Player", "Map", "Host", "Game"});
  serverView->setColumnWidth(0, 98);
  serverView->setColumnWidth(1, 150);
  serverView->setColumnWidth(2, 315);
  serverView->setColumnWidth(3, 90);
  serverView->setToolTip("rightclick for options");
  serverView->setIconSize(QSize(16, 16));
  serverView->header()->setSectionsClickable(true);
  // The header shows by which column and in which direction the rows are
  // sorted; sortServerView() keeps it current.
  serverView->header()->setSortIndicator(sortColumn, Qt::AscendingOrder);
  serverView->header()->setSortIndicatorShown(true);
  connect(serverView->header(), &QHeaderView::sectionClicked, this, &MainWindow::sortServersBy);
  layout->addWidget(serverView, 3);

  scanProgress = new QProgressBar(central);
  scanProgress->setObjectName("ProgressBar1");
  scanProgress->setTextVisible(false);
  scanProgress->setFixedHeight(12);
  scanProgress->setVisible(false);
  layout->addWidget(scanProgress);

  statusLine = new QStatusBar(this);
  statusLine->setObjectName("StatusBar1");
  statusLine->setSizeGripEnabled(false);
  statusPanel = new QLabel(statusLine);
  statusPanel->setObjectName("StatusPanel");
  statusLine->addWidget(statusPanel, 1);
  setStatusBar(statusLine);
}

void MainWindow::buildMenus() {
  playerMenu = new QMenu(this);
  playerMenu->setObjectName("PopupMenu1");
  addToBuddiesAction = playerMenu->addAction("Add to Buddys");
  addToBuddiesAction->setObjectName("AddtoBuddys1");
  connectWithServerAction = playerMenu->addAction("Connect with server");
  connectWithServerAction->setObjectName("Connectwithserver1");
  connect(playerView, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& p) { playerMenu->popup(playerView->viewport()->mapToGlobal(p)); });

  serverMenu = new QMenu(this);
  serverMenu->setObjectName("PopupMenu4");
  remoteConsoleAction = serverMenu->addAction("rcon");
  propertiesAction = serverMenu->addAction("properties");
  serverMenu->addSeparator();
  addServerAction = serverMenu->addAction("add server");
  deleteServerAction = serverMenu->addAction("delete server");
  serverMenu->addSeparator();
  scanNowAction = serverMenu->addAction("scan now");
  searchAction = serverMenu->addAction("search");
  connectAction = serverMenu->addAction("connect");
  directConnectAction = serverMenu->addAction("direct connect");
  remoteConsoleAction->setObjectName("rcon1");
  propertiesAction->setObjectName("properties1");
  addServerAction->setObjectName("addserver1");
  deleteServerAction->setObjectName("deleteserver1");
  scanNowAction->setObjectName("scannow1");
  searchAction->setObjectName("search1");
  connectAction->setObjectName("connect1");
  directConnectAction->setObjectName("directconnect1");
  connect(deleteServerAction, &QAction::triggered, this, &MainWindow::deleteSelectedServer);
  connect(scanNowAction, &QAction::triggered, this, &MainWindow::startScan);
  connect(serverView, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& p) { serverMenu->popup(serverView->viewport()->mapToGlobal(p)); });

  trayMenu = new QMenu(this);
  trayMenu->setObjectName("PopupMenu5");
  trayOptionsAction = trayMenu->addAction("options");
  trayScanNowAction = trayMenu->addAction("scan now");
  trayMenu->addSeparator();
  trayExitAction = trayMenu->addAction("exit");
  trayOptionsAction->setObjectName("options2");
  trayScanNowAction->setObjectName("scannow2");
  trayExitAction->setObjectName("exit1");
  connect(trayScanNowAction, &QAction::triggered, this, &MainWindow::startScan);
  connect(trayExitAction, &QAction::triggered, this, &QWidget::close);
}

void MainWindow::buildTray() {
  trayIcon = new TrayIcon(this);
  trayIcon->setObjectName("Systray1");
  trayIcon->setIcon(QIcon(":/tarvix.png"));
  trayIcon->setHint("Tarvix 2.10");
  trayIcon->setPopupMenu(trayMenu);
}

void MainWindow::loadConfigAndList() {
  graphX = 250;
  scanning = false;
  sortDescending = false;
  firstShow = true;
  versionText = "2.10 build 08.07.2003";
  scanProgress->setRange(0, 100);
  buddyView->headerItem()->setText(0, "No Buddies online");
  playerView->headerItem()->setText(0, "Players on server");

  // Config is applied over the current settings, so that a failure part way
  // keeps every setting read before it and nothing else changes.
  Config cfg = settings_.config();
  cfg.autoScan = false;
  std::string failure;
  try {
    readConfig(cfg);
  } catch (const std::exception& e) {
    failure = e.what();
  }
  if (cfg.autoScan) autoScanTimer->start();
  settings_.setConfig(cfg);
  if (!failure.empty()) {
    // The rest of the creation is skipped: no banner, no list.
    dialogs().showError(this, errorText(failure));
    return;
  }

  showBanner();
  loadCurrentList();
}

void MainWindow::showBanner() {
  const std::string choices[] = {"0", "1", "2", "3"};
  const std::string banner = settings_.config().bannerIndex;
  for (int i = 0; i < 4; ++i) bannerImages[i]->setVisible(banner == choices[i]);
}

void MainWindow::loadCurrentList() {
  const std::string path = settings_.serverListPath();
  if (!fileExists(path)) {
    dialogs().showMessage(this, "Please select a server list !");
    return;
  }
  std::vector<ServerEntry> entries;
  try {
    entries = readServerEntries(path);
  } catch (const FileError& e) {
    dialogs().showError(this, errorText(e.what()));
    return;
  }
  for (const ServerEntry& entry : entries) {
    serverNameList->addItem(toQString(entry.name));
    addServerRow(entry.name);
  }
  sortServerView();
  setStatusText("Total servers: " + QString::number(serverNameList->count()));
}

void MainWindow::setToolButtonVisible(QToolButton* button, bool visible) {
  // A tool bar shows and hides a button through its action.
  for (QAction* a : toolBar->actions())
    if (toolBar->widgetForAction(a) == button) a->setVisible(visible);
}

QString MainWindow::statusText() const { return statusPanel->text(); }

void MainWindow::setStatusText(const QString& text) { statusPanel->setText(text); }

int MainWindow::serverRowCount() const { return serverView->topLevelItemCount(); }

QTreeWidgetItem* MainWindow::serverRow(int index) const { return serverView->topLevelItem(index); }

QTreeWidgetItem* MainWindow::addServerRow(const std::string& name) {
  auto* row = new ServerItem(QStringList{"not scanned", QString(), toQString(name), QString()});
  serverView->addTopLevelItem(row);
  setRowIcon(row, RowNotScanned);
  return row;
}

void MainWindow::setRowCaption(QTreeWidgetItem* row, const QString& caption) {
  row->setText(0, caption);
  if (autoSort) sortServerView();
}

void MainWindow::setRowIcon(QTreeWidgetItem* row, int icon) {
  // Decoded once: a pass sets an icon per row. Never freed, so no picture
  // outlives the application object at exit.
  static const auto* icons = new std::array<QIcon, 4>{QIcon(":/state0.png"), QIcon(":/state1.png"),
                                                      QIcon(":/state2.png"), QIcon(":/state3.png")};
  row->setIcon(0,
               icon >= 0 && icon < 4 ? (*icons)[icon] : QIcon(QString(":/state%1.png").arg(icon)));
  row->setData(0, Qt::UserRole, icon);
}

void MainWindow::sortServerView() {
  serverView->sortItems(sortColumn, sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

int MainWindow::serverNameCount() const { return serverNameList->count(); }

void MainWindow::reloadServerNames() {
  std::vector<std::string> names = readServerNames(settings_.serverListPath());
  serverNameList->clear();
  for (const std::string& n : names) serverNameList->addItem(toQString(n));
}

void MainWindow::updateBuddyCaption() {
  int n = buddyView->topLevelItemCount();
  buddyView->headerItem()->setText(
      0, n == 0 ? QString("No Buddies online") : QString::number(n) + " Buddies online");
}

void MainWindow::sortServersBy(int column) {
  if (scanning) {
    // The click has flipped the header's arrow; the rows keep their order.
    serverView->header()->setSortIndicator(
        sortColumn, sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
    return;
  }
  sortDescending = !sortDescending;
  sortColumn = column;
  sortServerView();
}

void MainWindow::deleteSelectedServer() {
  QTreeWidgetItem* row = serverView->currentItem();
  if (!row || !row->isSelected() || scanning) return;
  const QString name = row->text(2);
  if (!dialogs().confirm(this, "Delete server\n" + name + " ?")) return;
  try {
    removeServer(settings_.serverListPath(), toBytes(name));
    reloadServerNames();
    // Without a current row the view selects no other row in its place,
    // which would query that server.
    serverView->selectionModel()->clear();
    delete row;
  } catch (const FileError&) {
    consoleLogs().append(LogKind::BadLog, "!! server cant be deleted - list is in use");
    setStatusText("serverlist is in use...start Tarvix again and delete server before scaning !");
  }
}

void MainWindow::autoScanDue() {
  if (!scanning) startScan();
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (event->spontaneous()) return;
  if (firstShow) emit firstShown();
  firstShow = false;
  buddyView->setFocus();
  setStatusText(QString::number(serverNameList->count()) + " servers in " +
                toQString(settings_.serverListPath()));
}

void MainWindow::shutdown() {
  stopScanPass();
  emit shuttingDown();
  autoScanTimer->stop();
  if (trayIcon) trayIcon->removeIcon();
  shutdownPingThreads();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  shutdown();
  event->accept();
  QApplication::quit();
}

}  // namespace tarvix
