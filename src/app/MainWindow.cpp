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

#include "components/ViewItems.h"
#include "base/ConsoleLogs.h"
#include "components/Dialogs.h"
#include "components/JpegImage.h"
#include "components/Clock.h"
#include "components/QtText.h"
#include "components/TrayIcon.h"
#include "store/Config.h"
#include "store/DataFile.h"
#include "store/ServerLists.h"
#include "components/Placement.h"

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
  connect(ToolButton7, &QToolButton::clicked, this, &MainWindow::remoteConsoleRequested);
  connect(rcon1, &QAction::triggered, this, &MainWindow::remoteConsoleRequested);

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(clock().scaled(125000));
  connect(Timer1, &QTimer::timeout, this, &MainWindow::Timer1Timer);

  buildTray();
  watchPingShutdown();
  setFixedSize(680, 618);
  centreOnDesktop(this);

  FormCreate();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildToolBar() {
  ToolBar1 = new QToolBar(this);
  ToolBar1->setObjectName("ToolBar1");
  ToolBar1->setMovable(false);
  ToolBar1->setFloatable(false);
  ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
  addToolBar(Qt::TopToolBarArea, ToolBar1);

  ToolButton3 = makeButton(ToolBar1, "ToolButton3", "scan now ", "start scan ", "scan.png");
  ToolButton9 = makeButton(ToolBar1, "ToolButton9", "stop scan", "stop scan", "stop.png");
  ToolButton6 = makeButton(ToolBar1, "ToolButton6", "search", "search server-map-ip", "search.png");
  ToolButton1 = makeButton(ToolBar1, "ToolButton1", "connect", "connect", "connect.png");
  ToolButton10 = makeButton(ToolBar1, "ToolButton10", "d-connect", "direct connect", "dconnect.png");
  ToolButton2 = makeButton(ToolBar1, "ToolButton2", "buddies", "buddies", "buddies.png");
  ToolButton5 = makeButton(ToolBar1, "ToolButton5", "clantags", "clantag's", "clantags.png");
  ToolButton7 = makeButton(ToolBar1, "ToolButton7", "r-con", "advanced rcon", "rcon.png");
  ToolButton4 = makeButton(ToolBar1, "ToolButton4", "options", "options", "options.png");
  setToolButtonVisible(ToolButton9, false);

  ComboBoxEx1 = new QComboBox(this);
  ComboBoxEx1->setObjectName("ComboBoxEx1");
  ComboBoxEx1->setToolTip("Select a server to scan");
  ComboBoxEx1->setVisible(false);

  connect(ToolButton3, &QToolButton::clicked, this, &MainWindow::ToolButton3Click);
  connect(ToolButton9, &QToolButton::clicked, this, &MainWindow::ToolButton9Click);
}

void MainWindow::buildViews(QWidget* central) {
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(6, 2, 6, 0);
  layout->setSpacing(3);

  auto* bannerArea = new QWidget(central);
  bannerArea->setFixedSize(668, 65);
  Image1 = new QLabel(bannerArea);
  Image2 = new QLabel(bannerArea);
  Image3 = new QLabel(bannerArea);
  Image4 = new QLabel(bannerArea);
  const char* names[] = {"Image1", "Image2", "Image3", "Image4"};
  QLabel* images[] = {Image1, Image2, Image3, Image4};
  for (int i = 0; i < 4; ++i) {
    images[i]->setObjectName(names[i]);
    images[i]->setGeometry(0, 0, 668, 65);
    images[i]->setPixmap(QPixmap::fromImage(loadJpeg(QString(":/banner%1.jpg").arg(i + 1))));
    images[i]->setVisible(false);
  }
  layout->addWidget(bannerArea, 0, Qt::AlignHCenter);

  auto* summary = new QWidget(central);
  auto* grid = new QHBoxLayout(summary);
  grid->setContentsMargins(2, 0, 2, 0);
  auto* left = new QVBoxLayout();
  Label1 = makeLabel(summary, "Label1", QColor(0, 128, 0), true);
  Label2 = makeLabel(summary, "Label2", QColor(0, 0, 128), true);
  Label3 = makeLabel(summary, "Label3", QColor(0, 0, 128), false);
  Label4 = makeLabel(summary, "Label4", Qt::black, true);
  Label4->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  auto* top = new QHBoxLayout();
  top->addWidget(Label1);
  top->addWidget(Label2, 1);
  left->addLayout(top);
  auto* bottom = new QHBoxLayout();
  bottom->addWidget(Label3, 1);
  bottom->addWidget(Label4);
  left->addLayout(bottom);
  grid->addLayout(left);
  summary->setFixedHeight(38);
  layout->addWidget(summary);

  auto* pair = new QHBoxLayout();
  ListView1 = makeView(central, "ListView1");
  ListView1->setColumnCount(2);
  ListView1->setHeaderLabels({"Players on server", "Ping"});
  ListView1->setColumnWidth(1, 35);
  ListView1->setToolTip(
      "Rightclick will move selected player to the buddylist / Doubleclick connects with server");
  ListView1->setSortingEnabled(true);
  ListView1->sortByColumn(0, Qt::AscendingOrder);
  ListView1->header()->setSortIndicatorShown(false);
  ListView1->header()->setSectionsClickable(false);
  ListView1->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  ListView1->header()->setSectionResizeMode(1, QHeaderView::Fixed);
  ListView2 = makeView(central, "ListView2");
  ListView2->setColumnCount(2);
  ListView2->setHeaderLabels({"No Buddies online", "Host"});
  ListView2->setColumnWidth(1, 107);
  ListView2->setToolTip("doubleclick on player to scan his server");
  // Sorted by caption without the view's own sorting: the scan inserts each
  // hit in place and sorts at the end of a pass, where a sorting view would
  // sort all of its rows again after every insert.
  ListView2->header()->setSortIndicatorShown(false);
  ListView2->header()->setSectionsClickable(false);
  ListView2->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  ListView2->header()->setSectionResizeMode(1, QHeaderView::Fixed);
  pair->addWidget(ListView1);
  pair->addWidget(ListView2);
  layout->addLayout(pair, 2);

  ListView3 = makeView(central, "ListView3");
  ListView3->setColumnCount(4);
  ListView3->setHeaderLabels({"Player", "Map", "Host", "Game"});
  ListView3->setColumnWidth(0, 98);
  ListView3->setColumnWidth(1, 150);
  ListView3->setColumnWidth(2, 315);
  ListView3->setColumnWidth(3, 90);
  ListView3->setToolTip("rightclick for options");
  ListView3->setIconSize(QSize(16, 16));
  ListView3->header()->setSectionsClickable(true);
  ListView3->header()->setSortIndicatorShown(false);
  connect(ListView3->header(), &QHeaderView::sectionClicked, this,
          &MainWindow::ListView3ColumnClick);
  layout->addWidget(ListView3, 3);

  ProgressBar1 = new QProgressBar(central);
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setTextVisible(false);
  ProgressBar1->setFixedHeight(12);
  ProgressBar1->setVisible(false);
  layout->addWidget(ProgressBar1);

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);
  StatusPanel = new QLabel(StatusBar1);
  StatusPanel->setObjectName("StatusPanel");
  StatusBar1->addWidget(StatusPanel, 1);
  setStatusBar(StatusBar1);
}

void MainWindow::buildMenus() {
  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  AddtoBuddys1 = PopupMenu1->addAction("Add to Buddys");
  AddtoBuddys1->setObjectName("AddtoBuddys1");
  Connectwithserver1 = PopupMenu1->addAction("Connect with server");
  Connectwithserver1->setObjectName("Connectwithserver1");
  connect(ListView1, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& p) { PopupMenu1->popup(ListView1->viewport()->mapToGlobal(p)); });

  PopupMenu4 = new QMenu(this);
  PopupMenu4->setObjectName("PopupMenu4");
  rcon1 = PopupMenu4->addAction("rcon");
  properties1 = PopupMenu4->addAction("properties");
  PopupMenu4->addSeparator();
  addserver1 = PopupMenu4->addAction("add server");
  deleteserver1 = PopupMenu4->addAction("delete server");
  PopupMenu4->addSeparator();
  scannow1 = PopupMenu4->addAction("scan now");
  search1 = PopupMenu4->addAction("search");
  connect1 = PopupMenu4->addAction("connect");
  directconnect1 = PopupMenu4->addAction("direct connect");
  rcon1->setObjectName("rcon1");
  properties1->setObjectName("properties1");
  addserver1->setObjectName("addserver1");
  deleteserver1->setObjectName("deleteserver1");
  scannow1->setObjectName("scannow1");
  search1->setObjectName("search1");
  connect1->setObjectName("connect1");
  directconnect1->setObjectName("directconnect1");
  connect(deleteserver1, &QAction::triggered, this, &MainWindow::deleteserver1Click);
  connect(scannow1, &QAction::triggered, this, &MainWindow::ToolButton3Click);
  connect(ListView3, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& p) { PopupMenu4->popup(ListView3->viewport()->mapToGlobal(p)); });

  PopupMenu5 = new QMenu(this);
  PopupMenu5->setObjectName("PopupMenu5");
  options2 = PopupMenu5->addAction("options");
  scannow2 = PopupMenu5->addAction("scan now");
  PopupMenu5->addSeparator();
  exit1 = PopupMenu5->addAction("exit");
  options2->setObjectName("options2");
  scannow2->setObjectName("scannow2");
  exit1->setObjectName("exit1");
  connect(scannow2, &QAction::triggered, this, &MainWindow::ToolButton3Click);
  connect(exit1, &QAction::triggered, this, &QWidget::close);
}

void MainWindow::buildTray() {
  Systray1 = new TrayIcon(this);
  Systray1->setObjectName("Systray1");
  Systray1->setIcon(QIcon(":/tarvix.png"));
  Systray1->setHint("Tarvix 2.10");
  Systray1->setPopupMenu(PopupMenu5);
}

void MainWindow::FormCreate() {
  GraphX = 250;
  Scanning = false;
  SortDescending = false;
  FirstShow = true;
  VersionText = "2.10 build 08.07.2003";
  ProgressBar1->setRange(0, 100);
  ListView2->headerItem()->setText(0, "No Buddies online");
  ListView1->headerItem()->setText(0, "Players on server");

  // Config is applied over the current settings, so that a failure part way
  // keeps every setting read before it and nothing else changes.
  Config cfg = settings_.config();
  cfg.timerOn = false;
  std::string failure;
  try {
    readConfig(cfg);
  } catch (const std::exception& e) {
    failure = e.what();
  }
  if (cfg.timerOn) Timer1->start();
  settings_.setConfig(cfg);
  if (!failure.empty()) {
    // The rest of the creation is skipped: no banner, no list.
    dialogs().showError(toQString(failure));
    return;
  }

  showBanner();
  loadCurrentList();
}

void MainWindow::showBanner() {
  QLabel* images[] = {Image1, Image2, Image3, Image4};
  const std::string choices[] = {"0", "1", "2", "3"};
  const std::string banner = settings_.config().bannerIndex;
  for (int i = 0; i < 4; ++i) images[i]->setVisible(banner == choices[i]);
}

void MainWindow::loadCurrentList() {
  const std::string path = settings_.serverListPath();
  if (!fileExists(path)) {
    dialogs().showMessage("Please select a server list !");
    return;
  }
  std::vector<ServerEntry> entries;
  try {
    entries = readServerEntries(path);
  } catch (const FileError& e) {
    dialogs().showError(toQString(e.what()));
    return;
  }
  for (const ServerEntry& entry : entries) {
    ComboBoxEx1->addItem(toQString(entry.name));
    addServerRow(entry.name);
  }
  sortServerView();
  setStatusText("Total servers: " + QString::number(ComboBoxEx1->count()));
}

void MainWindow::setToolButtonVisible(QToolButton* button, bool visible) {
  // A tool bar shows and hides a button through its action.
  for (QAction* a : ToolBar1->actions())
    if (ToolBar1->widgetForAction(a) == button) a->setVisible(visible);
}

QString MainWindow::statusText() const { return StatusPanel->text(); }

void MainWindow::setStatusText(const QString& text) { StatusPanel->setText(text); }

int MainWindow::serverRowCount() const { return ListView3->topLevelItemCount(); }

QTreeWidgetItem* MainWindow::serverRow(int index) const { return ListView3->topLevelItem(index); }

QTreeWidgetItem* MainWindow::addServerRow(const std::string& name) {
  auto* row = new ServerItem(QStringList{"not scanned", QString(), toQString(name), QString()});
  ListView3->addTopLevelItem(row);
  setRowIcon(row, IconNotScanned);
  return row;
}

void MainWindow::setRowCaption(QTreeWidgetItem* row, const QString& caption) {
  row->setText(0, caption);
  if (AutoSort) sortServerView();
}

void MainWindow::setRowIcon(QTreeWidgetItem* row, int icon) {
  // Decoded once: a pass sets an icon per row. Never freed, so no picture
  // outlives the application object at exit.
  static const auto* icons = new std::array<QIcon, 4>{
      QIcon(":/state0.png"), QIcon(":/state1.png"), QIcon(":/state2.png"), QIcon(":/state3.png")};
  row->setIcon(0, icon >= 0 && icon < 4 ? (*icons)[icon] : QIcon(QString(":/state%1.png").arg(icon)));
  row->setData(0, Qt::UserRole, icon);
}

void MainWindow::sortServerView() {
  ListView3->sortItems(SortColumn, SortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

int MainWindow::serverNameCount() const { return ComboBoxEx1->count(); }

void MainWindow::reloadServerNames() {
  std::vector<std::string> names = readServerNames(settings_.serverListPath());
  ComboBoxEx1->clear();
  for (const std::string& n : names) ComboBoxEx1->addItem(toQString(n));
}

void MainWindow::updateBuddyCaption() {
  int n = ListView2->topLevelItemCount();
  ListView2->headerItem()->setText(0, n == 0 ? QString("No Buddies online")
                                              : QString::number(n) + " Buddies online");
}

void MainWindow::ListView3ColumnClick(int column) {
  if (Scanning) return;
  SortDescending = !SortDescending;
  SortColumn = column;
  sortServerView();
}

void MainWindow::deleteserver1Click() {
  QTreeWidgetItem* row = ListView3->currentItem();
  if (!row || !row->isSelected() || Scanning) return;
  const QString name = row->text(2);
  if (!dialogs().confirm("Delete server\n" + name + " ?")) return;
  try {
    removeServer(settings_.serverListPath(), toBytes(name));
    reloadServerNames();
    // Without a current row the view selects no other row in its place,
    // which would query that server.
    ListView3->selectionModel()->clear();
    delete row;
  } catch (const FileError&) {
    consoleLogs().append(LogKind::BadLog, "!! server cant be deleted - list is in use");
    setStatusText("serverlist is in use...start Tarvix again and delete server before scaning !");
  }
}

void MainWindow::Timer1Timer() {
  if (!Scanning) ToolButton3Click();
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (event->spontaneous()) return;
  if (FirstShow) FirstShowSearch();
  FirstShow = false;
  ListView2->setFocus();
  setStatusText(QString::number(ComboBoxEx1->count()) + " servers in " +
                toQString(settings_.serverListPath()));
}

void MainWindow::shutdown() {
  stopScanThread();
  emit shuttingDown();
  Timer1->stop();
  if (Systray1) Systray1->removeIcon();
  shutdownPingThreads();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  shutdown();
  event->accept();
  QApplication::quit();
}

}  // namespace tarvix
