#include "lists/OptionsWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QSlider>
#include <QTreeWidget>
#include <algorithm>

#include "app/core/FetchedLists.h"
#include "app/core/IniFetchedLists.h"
#include "base/HomePage.h"
#include "components/CodePageValidator.h"
#include "components/Dialogs.h"
#include "components/DoubleClickFilter.h"
#include "components/FileNames.h"
#include "components/IniSettings.h"
#include "components/LinkLabel.h"
#include "components/Placement.h"
#include "components/QtText.h"
#include "components/ViewItems.h"
#include "lists/ControlTable.h"
#include "lists/ExtraOptions.h"
#include "lists/ScanState.h"
#include "lists/WebLink.h"
#include "lists/WindowStyle.h"
#include "store/ServerLists.h"
#include "store/Settings.h"
#include "store/SharedLists.h"

namespace tarvix {

// Controls; each keeps its code name as its objectName.
struct OptionsWindow::Ui {
  QCheckBox* clantagsCheckBox = nullptr;
  QLabel* speedLabel = nullptr;  // "choose your speed: N sec"
  QSlider* speedSlider = nullptr;
  QLineEdit* nicknameEdit = nullptr;
  QLineEdit* passwordEdit = nullptr;
  QLineEdit* mohaaPathEdit = nullptr;
  QLineEdit* spearheadPathEdit = nullptr;
  QTreeWidget* serverListView = nullptr;
  QCheckBox* safeScanCheckBox = nullptr;  // hidden
  QCheckBox* autoScanCheckBox = nullptr;  // hidden
  QMenu* listMenu = nullptr;
};

namespace {

constexpr int kSpeedMin = 250;
constexpr int kSpeedMax = 5000;

QString speedCaption(int timeoutMs) {
  return QString("choose your speed: %1 sec").arg(timeoutMs / 1000);
}

// Copies an edit's text into the settings as the user types; `bytesOf`
// spells it as the field is stored (data text or a file name).
void keepInSettings(QLineEdit* edit, Settings& settings, std::string Config::*field,
                    std::string (*bytesOf)(const QString&)) {
  QObject::connect(edit, &QLineEdit::textChanged, edit,
                   [&settings, field, bytesOf](const QString& text) {
                     settings.updateConfig([&](Config& c) { c.*field = bytesOf(text); });
                   });
}

// The chosen file's name as list-name text; empty after showing why not.
std::string listNameText(QWidget* parent, const QString& chosen) {
  QString refused;
  std::optional<std::string> name = toCodePageBytes(QFileInfo(chosen).fileName(), &refused);
  if (!name) {
    dialogs().showError(parent, codePageRefusal(refused));
    return {};
  }
  return *name;
}

// The window's fixed controls: two group boxes side by side, and two
// hidden boxes.
void placeOptionsControls(QWidget* window) {
  using C = Control;
  buildControls(
      window,
      {
          {C::Group, "GroupBox1", nullptr, "Options", {8, 6, 226, 326}},
          {C::CheckBox, "CheckBox2", "GroupBox1", "Check for clantags", {10, 20, 200, 18}},
          {C::Label, "Label3", "GroupBox1", "choose your speed:", {10, 44, 200, 14}},
          {C::Slider, "TrackBar1", "GroupBox1", nullptr, {8, 60, 206, 22}},
          {C::Label, "Label1", "GroupBox1", "fast", {10, 82, 40, 14}, "DSL connection or better"},
          {C::Label,
           "Label2",
           "GroupBox1",
           "slow",
           {170, 82, 44, 14},
           "Modem connection or E-Donky"},
          {C::LabeledEdit, "LabeledEdit1", "GroupBox1", "Nickname", {10, 102, 204, 0}},
          {C::LabeledEdit, "LabeledEdit2", "GroupBox1", "Password", {10, 142, 204, 0}},
          {C::LabeledEdit, "LabeledEdit3", "GroupBox1", "MoH:AA path", {10, 182, 176, 0}},
          {C::LabeledEdit, "LabeledEdit4", "GroupBox1", "Spearhead path", {10, 222, 176, 0}},
          {C::Button, "Button3", "GroupBox1", "...", {190, 196, 24, 21}},
          {C::Button, "Button6", "GroupBox1", "...", {190, 236, 24, 21}},
          {C::WebLink, "Legacy2", "GroupBox1", nullptr, {10, 266, 204, 16}},
          {C::Button, "Button4", "GroupBox1", "About Tarvix 2.10", {10, 290, 204, 25}},
          {C::Group, "GroupBox2", nullptr, "Server lists", {242, 6, 196, 326}},
          {C::Tree,
           "ListView1",
           "GroupBox2",
           nullptr,
           {10, 20, 176, 232},
           "Doubleclick to select / Rightclick to edit"},
          {C::Button,
           "Button7",
           "GroupBox2",
           "Import SSLF",
           {10, 260, 176, 25},
           "Imports an HLSW list"},
          {C::Button,
           "Button5",
           "GroupBox2",
           "Import ASE",
           {10, 290, 176, 25},
           "Imports an ALL SEEING EYE Serverlist text"},
          // Present but hidden: they carry state the window sets and reads.
          {C::CheckBox, "CheckBox3", nullptr, "Enable save scan", {}},
          {C::CheckBox, "CheckBox1", nullptr, "Enable auto scan", {}},
      });
}

// The support link, in bold.
void showSupportLink(LinkLabel* link) {
  link->setText("Tarvix support - help");
  link->setAddress(toQString(kHomePage));
  QFont bold = link->font();
  bold.setBold(true);
  link->setFont(bold);
}

// The server lists: names with an icon, sorted, no header.
void showListNames(QTreeWidget* view) {
  view->setColumnCount(1);
  view->setHeaderHidden(true);
  view->setRootIsDecorated(false);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setContextMenuPolicy(Qt::CustomContextMenu);
  view->setIconSize(QSize(16, 16));
  view->setSortingEnabled(true);
  view->sortByColumn(0, Qt::AscendingOrder);
}

}  // namespace

OptionsWindow::OptionsWindow(Settings& settings, const ScanState& scan, QWidget* parent)
    : QWidget(parent), settings_(settings), scan_(scan) {
  ui_ = std::make_unique<Ui>();
  setObjectName("Form3");
  setWindowTitle("Options");
  makeFixedToolWindow(this, true);

  placeOptionsControls(this);
  ui_->clantagsCheckBox = control<QCheckBox>(this, "CheckBox2");
  ui_->speedLabel = control<QLabel>(this, "Label3");
  ui_->speedSlider = control<QSlider>(this, "TrackBar1");
  ui_->nicknameEdit = control<QLineEdit>(this, "LabeledEdit1");
  ui_->passwordEdit = control<QLineEdit>(this, "LabeledEdit2");
  ui_->mohaaPathEdit = control<QLineEdit>(this, "LabeledEdit3");
  ui_->spearheadPathEdit = control<QLineEdit>(this, "LabeledEdit4");
  ui_->serverListView = control<QTreeWidget>(this, "ListView1");
  ui_->safeScanCheckBox = control<QCheckBox>(this, "CheckBox3");
  ui_->autoScanCheckBox = control<QCheckBox>(this, "CheckBox1");
  auto* supportLink = control<LinkLabel>(this, "Legacy2");

  ui_->speedSlider->setTickPosition(QSlider::NoTicks);
  ui_->speedSlider->setRange(kSpeedMin, kSpeedMax);
  ui_->speedSlider->setValue(500);
  control<QLabel>(this, "Label2")->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  acceptCodePageOnly({ui_->nicknameEdit, ui_->passwordEdit});
  showSupportLink(supportLink);
  showListNames(ui_->serverListView);
  ui_->safeScanCheckBox->setVisible(false);
  ui_->autoScanCheckBox->setVisible(false);

  ui_->listMenu = new QMenu(this);
  ui_->listMenu->setObjectName("PopupMenu1");

  setFixedSize(446, 340);
  addParallelScanOption(this);
  addBuddyAlertsOption(this);
  connect(addMasterServersButton(this), &QPushButton::clicked, this,
          &OptionsWindow::masterServersRequested);
  for (QCheckBox* look :
       {addFilterBarOption(this), addColourCodesOption(this), addPingColumnOption(this),
        addNumericPlayerSortOption(this), addHistoryOptions(this), addCountryColumnOption(this)})
    connect(look, &QCheckBox::toggled, this, &OptionsWindow::browserLooksChanged);
  centreOnDesktop(this);
  wireControls();
}

void OptionsWindow::wireControls() {
  connect(ui_->speedSlider, &QSlider::valueChanged, this, &OptionsWindow::onSpeedChanged);
  connect(ui_->autoScanCheckBox, &QCheckBox::toggled, this, &OptionsWindow::autoScanSwitched);
  connect(ui_->clantagsCheckBox, &QCheckBox::toggled, this,
          [this](bool on) { settings_.updateConfig([on](Config& c) { c.clantagsOn = on; }); });
  connect(ui_->safeScanCheckBox, &QCheckBox::toggled, this, &OptionsWindow::onSafeScanToggled);
  keepInSettings(ui_->nicknameEdit, settings_, &Config::playerName, toBytes);
  keepInSettings(ui_->passwordEdit, settings_, &Config::serverPassword, toBytes);
  keepInSettings(ui_->mohaaPathEdit, settings_, &Config::mohaaPath, fileNameBytes);
  keepInSettings(ui_->spearheadPathEdit, settings_, &Config::spearheadPath, fileNameBytes);
  connect(control<QPushButton>(this, "Button3"), &QPushButton::clicked, this,
          [this] { pickExecutable(ui_->mohaaPathEdit); });
  connect(control<QPushButton>(this, "Button6"), &QPushButton::clicked, this,
          [this] { pickExecutable(ui_->spearheadPathEdit); });
  connect(control<QPushButton>(this, "Button4"), &QPushButton::clicked, this,
          &OptionsWindow::showCredits);
  connect(control<QPushButton>(this, "Button5"), &QPushButton::clicked, this,
          &OptionsWindow::importTextListFile);
  connect(control<QPushButton>(this, "Button7"), &QPushButton::clicked, this,
          &OptionsWindow::importSslfFile);
  QAction* deleteListAction = ui_->listMenu->addAction("delete list");
  deleteListAction->setObjectName("deletelist1");
  QAction* selectListAction = ui_->listMenu->addAction("select list");
  selectListAction->setObjectName("selectlist1");
  QAction* exportSslfAction = ui_->listMenu->addAction("export as SSLF");
  exportSslfAction->setObjectName("exportasSSLF1");
  connect(deleteListAction, &QAction::triggered, this, &OptionsWindow::deleteList);
  connect(selectListAction, &QAction::triggered, this, &OptionsWindow::selectList);
  connect(exportSslfAction, &QAction::triggered, this, &OptionsWindow::exportListAsSslf);
  QTreeWidget* view = ui_->serverListView;
  connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& p) {
    ui_->listMenu->popup(view->viewport()->mapToGlobal(p));
  });
  onDoubleClick(view, [this] { selectList(); });
}

OptionsWindow::~OptionsWindow() = default;

std::string OptionsWindow::password() const { return toBytes(ui_->passwordEdit->text()); }

void OptionsWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) fillFromSettings();
}

void OptionsWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) saveSettings();
}

void OptionsWindow::fillFromSettings() {
  const Config config = settings_.config();
  // Moving the bar acts as the user's move: the limited value becomes the
  // time-out and the speed setting.
  ui_->speedSlider->setValue(std::clamp(config.scanTimeout, kSpeedMin, kSpeedMax));
  ui_->speedLabel->setText(speedCaption(ui_->speedSlider->value()));
  ui_->serverListView->clear();
  ui_->nicknameEdit->setText(toQString(config.playerName));
  ui_->passwordEdit->setText(toQString(config.serverPassword));
  ui_->mohaaPathEdit->setText(fileNameText(config.mohaaPath));
  ui_->spearheadPathEdit->setText(fileNameText(config.spearheadPath));
  ui_->safeScanCheckBox->setChecked(config.safeScan);
  // Showing never clears these two boxes.
  if (scan_.autoScanRunning()) ui_->autoScanCheckBox->setChecked(true);
  if (config.clantagsOn) ui_->clantagsCheckBox->setChecked(true);
  std::vector<std::string> lists;
  showingErrors(this, [&] { lists = listServerLists(); });
  for (const std::string& name : lists) {
    auto* item = new TextItem(QStringList{toQString(name)});
    item->setIcon(0, QIcon(":/state0.png"));
    markListItem(item, name);
    ui_->serverListView->addTopLevelItem(item);
  }
}

void OptionsWindow::markListItem(QTreeWidgetItem* item, const std::string& name) const {
  QStringList notes;
  if (serverListPathFor(name) == settings_.serverListPath()) notes << "the current list";
  IniFetchedLists record;
  if (FetchedLists(record).isFetched(name)) {
    notes << "fetched: the next refresh replaces it";
    QFont font = item->font(0);
    font.setItalic(true);
    item->setFont(0, font);
  }
  item->setToolTip(0, notes.join("; "));
}

Config OptionsWindow::configFromWindow() const {
  Config c = settings_.config();
  c.autoScan = ui_->autoScanCheckBox->isChecked();
  c.clantagsOn = ui_->clantagsCheckBox->isChecked();
  c.playerName = toBytes(ui_->nicknameEdit->text());
  c.serverPassword = toBytes(ui_->passwordEdit->text());
  c.mohaaPath = fileNameBytes(ui_->mohaaPathEdit->text());
  c.spearheadPath = fileNameBytes(ui_->spearheadPathEdit->text());
  c.safeScan = ui_->safeScanCheckBox->isChecked();
  return c;
}

void OptionsWindow::saveSettings() {
  showingErrors(this, [&] { writeConfig(configFromWindow()); });
}

void OptionsWindow::onSpeedChanged() {
  const int position = ui_->speedSlider->value();
  settings_.updateConfig([position](Config& c) {
    c.scanTimeout = position;
    c.speedSetting = position;
  });
  ui_->speedLabel->setText(speedCaption(position));
}

void OptionsWindow::onSafeScanToggled() {
  const bool safe = ui_->safeScanCheckBox->isChecked();
  settings_.updateConfig([safe](Config& c) {
    c.scanTimeout = safe ? 5000 : c.speedSetting;
    c.safeScan = safe;
  });
}

void OptionsWindow::pickExecutable(QLineEdit* field) {
  if (scan_.scanRunning()) return;
  const QString chosen = openFileKeepingDirectory(this, QString());
  if (chosen.isEmpty()) return;
  field->setText(QFileInfo(chosen).absoluteFilePath());
}

void OptionsWindow::showCredits() {
  emit creditsRequested();
  hide();
}

std::string OptionsWindow::selectedList() const {
  QTreeWidgetItem* item = ui_->serverListView->currentItem();
  if (!item || !item->isSelected()) return {};
  return toBytes(item->text(0));
}

void OptionsWindow::hideAndShowAgain() {
  hide();
  show();
}

void OptionsWindow::selectList() {
  if (scan_.scanRunning()) emit scanStopRequested();
  const std::string name = selectedList();
  if (name.empty() || scan_.scanRunning()) return;

  const std::string path = serverListPathFor(name);
  settings_.updateConfig([&path](Config& c) { c.serverListPath = path; });
  emit serverListCleared();
  std::vector<ServerEntry> entries;
  if (!showingErrors(this, [&] { entries = readServerEntries(path); })) return;
  hide();
  std::vector<std::string> names;
  names.reserve(entries.size());
  for (const ServerEntry& e : entries) names.push_back(e.name);
  emit serverListLoaded(toQString(name), names);
}

void OptionsWindow::deleteList() {
  const std::string name = selectedList();
  if (name.empty() || scan_.scanRunning() || name == kStandardList) return;
  if (!dialogs().confirm(this, "Delete List " + toQString(name) + " ?")) return;
  if (!showingErrors(this, [&] { deleteServerList(name); })) return;
  IniSettings().forgetFetchedList(name);
  hideAndShowAgain();

  const std::string path = serverListPathFor(kStandardList);
  settings_.updateConfig([&path](Config& c) { c.serverListPath = path; });
  std::vector<std::string> names;
  if (!showingErrors(this, [&] { names = readServerNames(path); })) return;
  hide();
  emit standardListReloaded(names);
  // Back once Standard's first server is shown.
  if (!names.empty()) show();
}

void OptionsWindow::exportListAsSslf() {
  const std::string name = selectedList();
  if (name.empty() || scan_.scanRunning()) return;
  const QString chosen = saveFileKeepingDirectory(this, QString(), toQString(name));
  if (chosen.isEmpty()) return;
  showingErrors(this, [&] { exportSslf(serverListPathFor(name), fileNameBytes(chosen)); });
}

void OptionsWindow::importSslfFile() {
  if (scan_.scanRunning()) return;
  const QString chosen = openFileKeepingDirectory(this, "sslf (*.sslf)");
  if (chosen.isEmpty()) return;
  if (!dialogs().confirm(this, "Import HLSW list ?")) return;
  const std::string name = listNameText(this, chosen);
  if (name.empty()) return;
  if (!mayReplaceList(sslfListName(name))) return;
  // An imported list is the user's, whatever it replaced.
  std::string imported;
  if (!showingErrors(this, [&] { imported = importSslf(fileNameBytes(chosen), name); })) return;
  IniSettings().forgetFetchedList(imported);
  hideAndShowAgain();
  showImportedIfCurrent(imported);
}

void OptionsWindow::importTextListFile() {
  if (scan_.scanRunning()) return;
  const QString chosen = openFileKeepingDirectory(this, "txt (*.txt);;all files (*)", "txt");
  if (chosen.isEmpty()) return;
  if (!dialogs().confirm(this, "Sure text is formated: Name|Ip:Port ?")) return;
  const std::string name = listNameText(this, chosen);
  if (name.empty()) return;
  if (!mayReplaceList(textListName(name))) return;
  // An imported list is the user's, whatever it replaced.
  std::string imported;
  if (!showingErrors(this, [&] { imported = importTextList(fileNameBytes(chosen), name); })) return;
  IniSettings().forgetFetchedList(imported);
  hideAndShowAgain();
  showImportedIfCurrent(imported);
}

bool OptionsWindow::mayReplaceList(const std::string& name) {
  const std::vector<std::string> lists = listServerLists();
  if (std::find(lists.begin(), lists.end(), name) == lists.end()) return true;
  std::vector<std::string> names;
  if (!showingErrors(this, [&] { names = readServerNames(serverListPathFor(name)); })) return false;
  return dialogs().confirm(this, "Replace the list " + toQString(name) + ", which holds " +
                                     QString::number(names.size()) + " servers now ?");
}

void OptionsWindow::showImportedIfCurrent(const std::string& name) {
  if (name.empty() || serverListPathFor(name) != settings_.serverListPath()) return;
  std::vector<std::string> names;
  if (!showingErrors(this, [&] { names = readServerNames(serverListPathFor(name)); })) return;
  emit serverListCleared();
  emit serverListLoaded(toQString(name), names);
}

}  // namespace tarvix
