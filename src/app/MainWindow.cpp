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
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <optional>

#include "app/EmptyListHint.h"
#include "app/MainWindowGeometry.h"
#include "app/MainWindowUi.h"
#include "app/core/ListStatus.h"
#include "app/core/ScanPass.h"
#include "base/ConsoleLogs.h"
#include "components/Clock.h"
#include "components/ColourCodeText.h"
#include "components/Dialogs.h"
#include "components/IniSettings.h"
#include "components/JpegImage.h"
#include "components/LastColumnGrowth.h"
#include "components/Placement.h"
#include "components/QtText.h"
#include "components/TrayIcon.h"
#include "components/ViewItems.h"
#include "components/WindowFit.h"
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
  b->setIconSize(kMainWindowGeometry.toolIcon);
  b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  b->setAutoRaise(true);
  QFont f = b->font();
  f.setPixelSize(kMainWindowGeometry.toolFontPixels);
  b->setFont(f);
  b->setFixedSize(kMainWindowGeometry.toolButton);
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

// Headers and widths from the table; a width of 0 takes the room left.
template <std::size_t N>
void setColumns(QTreeWidget* view, const ViewColumn (&columns)[N]) {
  view->setColumnCount(static_cast<int>(N));
  QStringList headers;
  for (const ViewColumn& c : columns) headers << c.header;
  view->setHeaderLabels(headers);
  // Beside a column that takes the room left the others keep their width.
  bool stretches = false;
  for (const ViewColumn& c : columns) stretches = stretches || c.width == 0;
  for (int i = 0; i < static_cast<int>(N); ++i) {
    if (columns[i].width == 0) {
      view->header()->setSectionResizeMode(i, QHeaderView::Stretch);
      continue;
    }
    view->setColumnWidth(i, columns[i].width);
    if (stretches) view->header()->setSectionResizeMode(i, QHeaderView::Fixed);
  }
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

// A split whose handle looks like the gap between the views it parts.
class PlainSplitter : public QSplitter {
 public:
  using QSplitter::QSplitter;

 protected:
  QSplitterHandle* createHandle() override {
    class Handle : public QSplitterHandle {
     public:
      using QSplitterHandle::QSplitterHandle;

     protected:
      void paintEvent(QPaintEvent*) override {}
    };
    return new Handle(orientation(), this);
  }
};

}  // namespace

MainWindow::MainWindow(Settings& settings, QWidget* parent)
    : QMainWindow(parent), settings_(settings) {
  ui_ = std::make_unique<Ui>();
  filter_ = std::make_unique<FilterBar>();
  setObjectName("Form1");
  setWindowTitle("Tarvix 2.10 | Allied Assault & Spearhead |");
  setWindowIcon(QIcon(":/tarvix.png"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                 Qt::WindowCloseButtonHint);

  auto* central = new QWidget(this);
  setCentralWidget(central);
  buildToolBar();
  buildViews(central);
  buildMenus();
  buildHistoryAction();
  buildDetails();
  wireLaunchHandlers();
  connect(ui_->remoteConsoleButton, &QToolButton::clicked, this,
          &MainWindow::remoteConsoleRequested);
  connect(ui_->remoteConsoleAction, &QAction::triggered, this, &MainWindow::remoteConsoleRequested);
  connect(ui_->propertiesAction, &QAction::triggered, this, &MainWindow::propertiesRequested);
  attachEmptyListHint(ui_->serverView);
  buildFilterBar(central);

  ui_->autoScanTimer = new QTimer(this);
  ui_->autoScanTimer->setObjectName("Timer1");
  ui_->autoScanTimer->setInterval(clock().scaled(125000));
  connect(ui_->autoScanTimer, &QTimer::timeout, this, &MainWindow::autoScanDue);

  buildTray();
  buildWatchMenu();
  bindKeys();
  watchUserView();
  watchPingShutdown();
  // Opens at its first size in the middle of the desktop, or where the user
  // left it; the layouts grow the views with the window.
  resize(kMainWindowGeometry.window);
  centreOnDesktop(this);
  restoreGeometry(IniSettings().windowGeometry(objectName()));
  ui_->viewSplitter->restoreState(IniSettings().windowGeometry(splitKey()));
  // Never larger than the screen, frame and title bar included.
  fitWithinScreen(this);
  keepWithinScreen(this);

  loadConfigAndList();
  applyBrowserLooks();
}

MainWindow::~MainWindow() {
  // A query still waiting ends now instead of at its time-out.
  detailsQuery_.cancel();
}

void MainWindow::buildToolBar() {
  ui_->toolBar = new QToolBar(this);
  ui_->toolBar->setObjectName("ToolBar1");
  ui_->toolBar->setMovable(false);
  ui_->toolBar->setFloatable(false);
  ui_->toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
  addToolBar(Qt::TopToolBarArea, ui_->toolBar);

  ui_->scanNowButton =
      makeButton(ui_->toolBar, "ToolButton3", "scan now ", "start scan ", "scan.png");
  ui_->stopScanButton =
      makeButton(ui_->toolBar, "ToolButton9", "stop scan", "stop scan", "stop.png");
  ui_->searchButton =
      makeButton(ui_->toolBar, "ToolButton6", "search", "search server-map-ip", "search.png");
  ui_->connectButton = makeButton(ui_->toolBar, "ToolButton1", "connect", "connect", "connect.png");
  ui_->directConnectButton =
      makeButton(ui_->toolBar, "ToolButton10", "d-connect", "direct connect", "dconnect.png");
  ui_->buddiesButton = makeButton(ui_->toolBar, "ToolButton2", "buddies", "buddies", "buddies.png");
  ui_->clanTagsButton =
      makeButton(ui_->toolBar, "ToolButton5", "clantags", "clantag's", "clantags.png");
  ui_->remoteConsoleButton =
      makeButton(ui_->toolBar, "ToolButton7", "r-con", "advanced rcon", "rcon.png");
  ui_->optionsButton = makeButton(ui_->toolBar, "ToolButton4", "options", "options", "options.png");
  setToolButtonVisible(ui_->stopScanButton, false);

  ui_->serverNameList = new QComboBox(this);
  ui_->serverNameList->setObjectName("ComboBoxEx1");
  ui_->serverNameList->setToolTip("Select a server to scan");
  ui_->serverNameList->setVisible(false);

  connect(ui_->scanNowButton, &QToolButton::clicked, this, &MainWindow::startScan);
  connect(ui_->stopScanButton, &QToolButton::clicked, this, &MainWindow::stopScan);
}

void MainWindow::buildViews(QWidget* central) {
  auto* layout = new QVBoxLayout(central);
  const MainWindowGeometry& g = kMainWindowGeometry;
  layout->setContentsMargins(g.content);
  layout->setSpacing(g.spacing);
  layout->addWidget(buildBanner(central));  // centred where the window is wider
  layout->addWidget(buildSummary(central));

  // The player may move the split; the views share the height 2 : 3 until then.
  ui_->viewSplitter = new PlainSplitter(Qt::Vertical, central);
  ui_->viewSplitter->setObjectName("ViewSplitter");
  ui_->viewSplitter->setHandleWidth(g.spacing);
  ui_->viewSplitter->setChildrenCollapsible(false);
  ui_->viewSplitter->addWidget(buildUpperViews());
  ui_->viewSplitter->addWidget(buildServerView());
  ui_->viewSplitter->setStretchFactor(0, g.upperViewsStretch);
  ui_->viewSplitter->setStretchFactor(1, g.serverViewStretch);
  layout->addWidget(ui_->viewSplitter, 1);

  ui_->scanProgress = new QProgressBar(central);
  ui_->scanProgress->setObjectName("ProgressBar1");
  ui_->scanProgress->setTextVisible(false);
  ui_->scanProgress->setFixedHeight(g.progressHeight);
  ui_->scanProgress->setVisible(false);
  layout->addWidget(ui_->scanProgress);

  ui_->statusLine = new QStatusBar(this);
  ui_->statusLine->setObjectName("StatusBar1");
  ui_->statusLine->setSizeGripEnabled(false);
  ui_->statusPanel = new QLabel(ui_->statusLine);
  ui_->statusPanel->setObjectName("StatusPanel");
  ui_->statusLine->addWidget(ui_->statusPanel, 1);
  setStatusBar(ui_->statusLine);
}

QWidget* MainWindow::buildBanner(QWidget* central) {
  const MainWindowGeometry& g = kMainWindowGeometry;
  auto* bannerArea = new QWidget(central);
  // Its full size while the window has room; narrower on a small screen.
  bannerArea->setFixedHeight(g.banner.height());
  bannerArea->setMaximumWidth(g.banner.width());
  bannerArea->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  const char* names[] = {"Image1", "Image2", "Image3", "Image4"};
  for (int i = 0; i < 4; ++i) {
    QLabel* image = ui_->bannerImages[i] = new QLabel(bannerArea);
    image->setObjectName(names[i]);
    image->setGeometry(QRect(QPoint(0, 0), g.banner));
    image->setPixmap(QPixmap::fromImage(loadJpeg(QString(":/banner%1.jpg").arg(i + 1))));
    image->setVisible(false);
  }
  return bannerArea;
}

QWidget* MainWindow::buildSummary(QWidget* central) {
  auto* summary = new QWidget(central);
  auto* grid = new QHBoxLayout(summary);
  grid->setContentsMargins(kMainWindowGeometry.summary);
  auto* left = new QVBoxLayout();
  ui_->playerCountLabel = makeLabel(summary, "Label1", QColor(0, 128, 0), true);
  ui_->mapLabel = makeLabel(summary, "Label2", QColor(0, 0, 128), true);
  ui_->hostNameLabel = makeLabel(summary, "Label3", QColor(0, 0, 128), false);
  ui_->editionLabel = makeLabel(summary, "Label4", Qt::black, true);
  ui_->editionLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  auto* top = new QHBoxLayout();
  top->addWidget(ui_->playerCountLabel);
  top->addWidget(ui_->mapLabel, 1);
  left->addLayout(top);
  auto* bottom = new QHBoxLayout();
  bottom->addWidget(ui_->hostNameLabel, 1);
  bottom->addWidget(ui_->editionLabel);
  left->addLayout(bottom);
  grid->addLayout(left);
  summary->setFixedHeight(kMainWindowGeometry.summaryHeight);
  return summary;
}

QWidget* MainWindow::buildUpperViews() {
  auto* upper = new QWidget;
  auto* pair = new QHBoxLayout(upper);
  pair->setContentsMargins(0, 0, 0, 0);
  pair->setSpacing(kMainWindowGeometry.spacing);
  ui_->playerView = makeView(upper, "ListView1");
  setColumns(ui_->playerView, kPlayerColumns);
  ui_->playerView->setToolTip(
      "Rightclick will move selected player to the buddylist / Doubleclick connects with server");
  ui_->playerView->setSortingEnabled(true);
  ui_->playerView->sortByColumn(0, Qt::AscendingOrder);
  ui_->playerView->header()->setSortIndicatorShown(false);
  ui_->playerView->header()->setSectionsClickable(false);
  ui_->buddyView = makeView(upper, "ListView2");
  setColumns(ui_->buddyView, kBuddyColumns);
  ui_->buddyView->setToolTip("doubleclick on player to scan his server");
  // Sorted by caption without the view's own sorting: the scan inserts each
  // hit in place and sorts at the end of a pass, where a sorting view would
  // sort all of its rows again after every insert.
  ui_->buddyView->header()->setSortIndicatorShown(false);
  ui_->buddyView->header()->setSectionsClickable(false);
  pair->addWidget(ui_->playerView);
  pair->addWidget(ui_->buddyView);
  return upper;
}

QWidget* MainWindow::buildServerView() {
  // The filter bar, when shown, joins the server view in this pane.
  auto* lower = new QWidget;
  auto* column = new QVBoxLayout(lower);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(kMainWindowGeometry.spacing);
  ui_->serverView = makeView(lower, "ListView3");
  setColumns(ui_->serverView, kServerColumns);
  ui_->serverView->setToolTip("rightclick for options");
  ui_->serverView->setIconSize(kMainWindowGeometry.rowIcon);
  ui_->serverView->header()->setSectionsClickable(true);
  // The header shows by which column and in which direction the rows are
  // sorted; sortServerView() keeps it current.
  ui_->serverView->header()->setSortIndicator(sortColumn_, Qt::AscendingOrder);
  ui_->serverView->header()->setSortIndicatorShown(true);
  connect(ui_->serverView->header(), &QHeaderView::sectionClicked, this,
          &MainWindow::sortServersBy);
  column->addWidget(ui_->serverView);
  const MainWindowGeometry& g = kMainWindowGeometry;
  growLastColumn(ui_->serverView, g.window.width() - g.content.left() - g.content.right());
  return lower;
}

void MainWindow::buildMenus() {
  ui_->playerMenu = new QMenu(this);
  ui_->playerMenu->setObjectName("PopupMenu1");
  ui_->addToBuddiesAction = ui_->playerMenu->addAction("Add to Buddys");
  ui_->addToBuddiesAction->setObjectName("AddtoBuddys1");
  ui_->connectWithServerAction = ui_->playerMenu->addAction("Connect with server");
  ui_->connectWithServerAction->setObjectName("Connectwithserver1");
  connect(ui_->playerView, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
    ui_->playerMenu->popup(ui_->playerView->viewport()->mapToGlobal(p));
  });

  ui_->serverMenu = new QMenu(this);
  ui_->serverMenu->setObjectName("PopupMenu4");
  ui_->remoteConsoleAction = ui_->serverMenu->addAction("rcon");
  ui_->propertiesAction = ui_->serverMenu->addAction("properties");
  ui_->serverMenu->addSeparator();
  ui_->addServerAction = ui_->serverMenu->addAction("add server");
  ui_->deleteServerAction = ui_->serverMenu->addAction("delete server");
  ui_->serverMenu->addSeparator();
  ui_->scanNowAction = ui_->serverMenu->addAction("scan now");
  ui_->searchAction = ui_->serverMenu->addAction("search");
  ui_->connectAction = ui_->serverMenu->addAction("connect");
  ui_->directConnectAction = ui_->serverMenu->addAction("direct connect");
  ui_->remoteConsoleAction->setObjectName("rcon1");
  ui_->propertiesAction->setObjectName("properties1");
  ui_->addServerAction->setObjectName("addserver1");
  ui_->deleteServerAction->setObjectName("deleteserver1");
  ui_->scanNowAction->setObjectName("scannow1");
  ui_->searchAction->setObjectName("search1");
  ui_->connectAction->setObjectName("connect1");
  ui_->directConnectAction->setObjectName("directconnect1");
  connect(ui_->deleteServerAction, &QAction::triggered, this, &MainWindow::deleteSelectedServer);
  connect(ui_->scanNowAction, &QAction::triggered, this, &MainWindow::startScan);
  connect(ui_->serverView, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
    ui_->serverMenu->popup(ui_->serverView->viewport()->mapToGlobal(p));
  });

  ui_->trayMenu = new QMenu(this);
  ui_->trayMenu->setObjectName("PopupMenu5");
  ui_->trayOptionsAction = ui_->trayMenu->addAction("options");
  ui_->trayScanNowAction = ui_->trayMenu->addAction("scan now");
  ui_->trayMenu->addSeparator();
  ui_->trayExitAction = ui_->trayMenu->addAction("exit");
  ui_->trayOptionsAction->setObjectName("options2");
  ui_->trayScanNowAction->setObjectName("scannow2");
  ui_->trayExitAction->setObjectName("exit1");
  connect(ui_->trayScanNowAction, &QAction::triggered, this, &MainWindow::startScan);
  connect(ui_->trayExitAction, &QAction::triggered, this, &QWidget::close);
}

void MainWindow::buildTray() {
  ui_->trayIcon = new TrayIcon(this);
  ui_->trayIcon->setObjectName("Systray1");
  ui_->trayIcon->setIcon(QIcon(":/tarvix.png"));
  ui_->trayIcon->setHint("Tarvix 2.10");
  ui_->trayIcon->setPopupMenu(ui_->trayMenu);
}

void MainWindow::loadConfigAndList() {
  scanning_ = false;
  sortDescending_ = false;
  firstShow_ = true;
  versionText_ = "2.10 build 08.07.2003";
  ui_->scanProgress->setRange(0, 100);
  ui_->buddyView->headerItem()->setText(0, kBuddyColumns[0].header);
  ui_->playerView->headerItem()->setText(0, kPlayerColumns[0].header);

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
  if (cfg.autoScan) ui_->autoScanTimer->start();
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
  for (int i = 0; i < 4; ++i) ui_->bannerImages[i]->setVisible(banner == choices[i]);
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
  std::vector<std::string> names;
  names.reserve(entries.size());
  for (const ServerEntry& entry : entries) names.push_back(entry.name);
  for (const std::string& name : names) ui_->serverNameList->addItem(toQString(name));
  addServerRows(names);
  sortServerView();
  setStatusText("Total servers: " + QString::number(ui_->serverNameList->count()));
}

void MainWindow::setToolButtonVisible(QToolButton* button, bool visible) {
  // A tool bar shows and hides a button through its action.
  for (QAction* a : ui_->toolBar->actions())
    if (ui_->toolBar->widgetForAction(a) == button) a->setVisible(visible);
}

const QAbstractItemModel& MainWindow::serverRows() const { return *ui_->serverView->model(); }

unsigned long MainWindow::scanThreadId() const { return scanPass_ ? scanPass_->threadId() : 0; }

void MainWindow::notify(const QString& title, const QString& text) {
  forgetAlertServer();
  if (!ui_->trayIcon->showNotification(plainName(title, colourCodes_),
                                       plainName(text, colourCodes_)))
    setStatusText(QString(text).replace('\n', "; "));
}

QString MainWindow::statusText() const { return ui_->statusPanel->text(); }

void MainWindow::setStatusText(const QString& text) {
  statusBase_ = plainName(text, colourCodes_);
  ui_->statusPanel->setText(statusNote_.isEmpty() ? statusBase_ : statusBase_ + " " + statusNote_);
}

int MainWindow::serverRowCount() const { return ui_->serverView->topLevelItemCount(); }

QTreeWidgetItem* MainWindow::serverRow(int index) const {
  return ui_->serverView->topLevelItem(index);
}

QTreeWidgetItem* MainWindow::addServerRow(const std::string& name) {
  auto* row = new ServerItem(QStringList{"not scanned", QString(), toQString(name), QString()});
  ui_->serverView->addTopLevelItem(row);
  setRowIcon(row, RowNotScanned);
  filterServerRow(row);
  return row;
}

void MainWindow::setRowCaption(QTreeWidgetItem* row, const QString& caption) {
  row->setText(0, caption);
  if (autoSort_) sortServerView();
  filterServerRow(row);
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
  ui_->serverView->sortItems(sortColumn_,
                             sortDescending_ ? Qt::DescendingOrder : Qt::AscendingOrder);
}

int MainWindow::serverNameCount() const { return ui_->serverNameList->count(); }

void MainWindow::reloadServerNames() {
  std::vector<std::string> names = readServerNames(settings_.serverListPath());
  ui_->serverNameList->clear();
  for (const std::string& n : names) ui_->serverNameList->addItem(toQString(n));
}

void MainWindow::updateBuddyCaption() {
  int n = ui_->buddyView->topLevelItemCount();
  ui_->buddyView->headerItem()->setText(
      0, n == 0 ? QString("No Buddies online") : QString::number(n) + " Buddies online");
}

void MainWindow::sortServersBy(int column) {
  if (scanning_) {
    // The click has flipped the header's arrow; the rows keep their order
    // until the pass ends.
    ui_->serverView->header()->setSortIndicator(
        sortColumn_, sortDescending_ ? Qt::DescendingOrder : Qt::AscendingOrder);
    deferSortClick(column);
    return;
  }
  const std::optional<bool> bestFirst = descendingForBestFirst(column);
  sortDescending_ = bestFirst && column != sortColumn_ ? *bestFirst : !sortDescending_;
  sortColumn_ = column;
  sortServerView();
}

void MainWindow::deleteSelectedServer() {
  QTreeWidgetItem* row = ui_->serverView->currentItem();
  if (!row || !row->isSelected() || scanning_) return;
  const QString name = row->text(2);
  if (!dialogs().confirm(this, "Delete server\n" + plainName(name, colourCodes_) + " ?")) return;
  try {
    removeServer(settings_.serverListPath(), toBytes(name));
    reloadServerNames();
    // Without a current row the view selects no other row in its place,
    // which would query that server.
    ui_->serverView->selectionModel()->clear();
    delete row;
    emit serverDeleted(toBytes(name));
  } catch (const FileError&) {
    consoleLogs().append(LogKind::BadLog, "!! server cant be deleted - list is in use");
    setStatusText("serverlist is in use...start Tarvix again and delete server before scaning !");
  }
}

void MainWindow::autoScanDue() {
  if (!scanning_) startScan();
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (event->spontaneous()) return;
  if (firstShow_) emit firstShown();
  firstShow_ = false;
  ui_->buddyView->setFocus();
  showServerCount(ui_->serverNameList->count());
}

void MainWindow::shutdown() {
  // Stopped as "stop scan" stops it, so the window is left idle, not
  // claiming a pass that no longer runs.
  listLoad_.reset();
  stopScan();
  stopScanPass();
  emit shuttingDown();
  ui_->autoScanTimer->stop();
  if (ui_->trayIcon) ui_->trayIcon->removeIcon();
  shutdownPingThreads();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  IniSettings().setWindowGeometry(objectName(), saveGeometry());
  IniSettings().setWindowGeometry(splitKey(), ui_->viewSplitter->saveState());
  if (filter_->bar && !filter_->bar->isHidden()) saveFilter();
  shutdown();
  event->accept();
  QApplication::quit();
}

}  // namespace tarvix
