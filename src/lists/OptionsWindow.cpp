#include "lists/OptionsWindow.h"
#include "lists/ExtraOptions.h"

#include <QAction>
#include <algorithm>
#include <functional>
#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSlider>
#include <QComboBox>
#include <QTimer>
#include <QTreeWidget>

#include "app/Forms.h"
#include "app/MainWindow.h"
#include "app/CreditsWindow.h"
#include "components/ViewItems.h"
#include "base/HomePage.h"
#include "components/Dialogs.h"
#include "components/DoubleClickFilter.h"
#include "components/QtText.h"
#include "components/LinkLabel.h"
#include "lists/LabeledEdit.h"
#include "lists/WebLink.h"
#include "store/DataFile.h"
#include "store/ServerLists.h"
#include "store/SharedLists.h"
#include "components/Placement.h"

namespace tarvix {

namespace {

constexpr int kSpeedMin = 250;
constexpr int kSpeedMax = 5000;

MainWindow* mainForm() { return forms().Form1; }

QString speedCaption(int timeoutMs) {
  return QString("choose your speed: %1 sec").arg(timeoutMs / 1000);
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption,
                    const QRect& geometry) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setGeometry(geometry);
  return b;
}

}  // namespace

OptionsWindow::OptionsWindow(QWidget* parent) : QWidget(parent) {
  setObjectName("Form3");
  setWindowTitle("Options");
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                 Qt::MSWindowsFixedSizeDialogHint);

  GroupBox1 = new QGroupBox("Options", this);
  GroupBox1->setObjectName("GroupBox1");
  GroupBox1->setGeometry(8, 6, 226, 326);

  CheckBox2 = new QCheckBox("Check for clantags", GroupBox1);
  CheckBox2->setObjectName("CheckBox2");
  CheckBox2->setGeometry(10, 20, 200, 18);

  Label3 = new QLabel("choose your speed:", GroupBox1);
  Label3->setObjectName("Label3");
  Label3->setGeometry(10, 44, 200, 14);

  TrackBar1 = new QSlider(Qt::Horizontal, GroupBox1);
  TrackBar1->setObjectName("TrackBar1");
  TrackBar1->setTickPosition(QSlider::NoTicks);
  TrackBar1->setRange(kSpeedMin, kSpeedMax);
  TrackBar1->setValue(500);
  TrackBar1->setGeometry(8, 60, 206, 22);

  Label1 = new QLabel("fast", GroupBox1);
  Label1->setObjectName("Label1");
  Label1->setToolTip("DSL connection or better");
  Label1->setGeometry(10, 82, 40, 14);
  Label2 = new QLabel("slow", GroupBox1);
  Label2->setObjectName("Label2");
  Label2->setToolTip("Modem connection or E-Donky");
  Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  Label2->setGeometry(170, 82, 44, 14);

  LabeledEdit1 = makeLabeledEdit(GroupBox1, "LabeledEdit1", "Nickname", 10, 102, 204);
  LabeledEdit2 = makeLabeledEdit(GroupBox1, "LabeledEdit2", "Password", 10, 142, 204);
  LabeledEdit3 = makeLabeledEdit(GroupBox1, "LabeledEdit3", "MoH:AA path", 10, 182, 176);
  LabeledEdit4 = makeLabeledEdit(GroupBox1, "LabeledEdit4", "Spearhead path", 10, 222, 176);
  Button3 = button(GroupBox1, "Button3", "...", QRect(190, 196, 24, 21));
  Button6 = button(GroupBox1, "Button6", "...", QRect(190, 236, 24, 21));

  Legacy2 = makeWebLink(GroupBox1, "Legacy2");
  Legacy2->setText("Tarvix support - help");
  Legacy2->setAddress(toQString(kHomePage));
  {
    QFont f = Legacy2->font();
    f.setBold(true);
    Legacy2->setFont(f);
  }
  Legacy2->setGeometry(10, 266, 204, 16);

  Button4 = button(GroupBox1, "Button4", "About Tarvix 2.10", QRect(10, 290, 204, 25));

  GroupBox2 = new QGroupBox("Server lists", this);
  GroupBox2->setObjectName("GroupBox2");
  GroupBox2->setGeometry(242, 6, 196, 326);

  ListView1 = new QTreeWidget(GroupBox2);
  ListView1->setObjectName("ListView1");
  ListView1->setGeometry(10, 20, 176, 232);
  ListView1->setColumnCount(1);
  ListView1->setHeaderHidden(true);
  ListView1->setRootIsDecorated(false);
  ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
  ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
  ListView1->setIconSize(QSize(16, 16));
  ListView1->setSortingEnabled(true);
  ListView1->sortByColumn(0, Qt::AscendingOrder);
  ListView1->setToolTip("Doubleclick to select / Rightclick to edit");

  Button7 = button(GroupBox2, "Button7", "Import SSLF", QRect(10, 260, 176, 25));
  Button7->setToolTip("Imports an HLSW list");
  Button5 = button(GroupBox2, "Button5", "Import ASE", QRect(10, 290, 176, 25));
  Button5->setToolTip("Imports an ALL SEEING EYE Serverlist text");

  CheckBox3 = new QCheckBox("Enable save scan", this);
  CheckBox3->setObjectName("CheckBox3");
  CheckBox3->setVisible(false);
  CheckBox1 = new QCheckBox("Enable auto scan", this);
  CheckBox1->setObjectName("CheckBox1");
  CheckBox1->setVisible(false);

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  deletelist1 = PopupMenu1->addAction("delete list");
  deletelist1->setObjectName("deletelist1");
  selectlist1 = PopupMenu1->addAction("select list");
  selectlist1->setObjectName("selectlist1");
  exportasSSLF1 = PopupMenu1->addAction("export as SSLF");
  exportasSSLF1->setObjectName("exportasSSLF1");

  setFixedSize(446, 340);
  addParallelScanOption(this);
  addBuddyAlertsOption(this);
  centreOnDesktop(this);

  connect(TrackBar1, &QSlider::valueChanged, this, &OptionsWindow::TrackBar1Change);
  connect(CheckBox1, &QCheckBox::toggled, this, &OptionsWindow::CheckBox1Click);
  connect(CheckBox2, &QCheckBox::toggled, this, &OptionsWindow::CheckBox2Click);
  connect(CheckBox3, &QCheckBox::toggled, this, &OptionsWindow::CheckBox3Click);
  connect(LabeledEdit1, &QLineEdit::textChanged, this, [](const QString& t) {
    if (MainWindow* f = mainForm()) f->PlayerName = toBytes(t);
  });
  connect(LabeledEdit2, &QLineEdit::textChanged, this, [](const QString& t) {
    if (MainWindow* f = mainForm()) f->ServerPassword = toBytes(t);
  });
  connect(LabeledEdit3, &QLineEdit::textChanged, this, [](const QString& t) {
    if (MainWindow* f = mainForm()) f->MohaaPath = toBytes(t);
  });
  connect(LabeledEdit4, &QLineEdit::textChanged, this, [](const QString& t) {
    if (MainWindow* f = mainForm()) f->SpearheadPath = toBytes(t);
  });
  connect(Button3, &QPushButton::clicked, this, &OptionsWindow::Button3Click);
  connect(Button6, &QPushButton::clicked, this, &OptionsWindow::Button6Click);
  connect(Button4, &QPushButton::clicked, this, &OptionsWindow::Button4Click);
  connect(Button5, &QPushButton::clicked, this, &OptionsWindow::Button5Click);
  connect(Button7, &QPushButton::clicked, this, &OptionsWindow::Button7Click);
  connect(deletelist1, &QAction::triggered, this, &OptionsWindow::deletelist1Click);
  connect(selectlist1, &QAction::triggered, this, &OptionsWindow::selectlist1Click);
  connect(exportasSSLF1, &QAction::triggered, this, &OptionsWindow::exportasSSLF1Click);
  connect(ListView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
    PopupMenu1->popup(ListView1->viewport()->mapToGlobal(p));
  });
  onDoubleClick(ListView1, [this] { selectlist1Click(); });
}

OptionsWindow::~OptionsWindow() = default;

QLabel* OptionsWindow::editLabel(QLineEdit* edit) const { return labelOf(this, edit); }

void OptionsWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void OptionsWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) FormHide();
}

void OptionsWindow::FormShow() {
  MainWindow* f = mainForm();
  if (!f) return;
  // Moving the bar acts as the user's move: the limited value becomes the
  // time-out and the speed setting.
  TrackBar1->setValue(std::clamp(f->ScanTimeout.get(), kSpeedMin, kSpeedMax));
  Label3->setText(speedCaption(TrackBar1->value()));
  ListView1->clear();
  LabeledEdit1->setText(toQString(f->PlayerName));
  LabeledEdit2->setText(toQString(f->ServerPassword));
  LabeledEdit3->setText(toQString(f->MohaaPath));
  LabeledEdit4->setText(toQString(f->SpearheadPath));
  CheckBox3->setChecked(f->SafeScan);
  if (f->Timer1->isActive()) CheckBox1->setChecked(true);
  if (f->ClantagsOn.get()) CheckBox2->setChecked(true);
  std::vector<std::string> lists;
  try {
    lists = listServerLists();
  } catch (const std::exception& e) {
    dialogs().showError(toQString(e.what()));
  }
  for (const std::string& name : lists) {
    auto* item = new TextItem(QStringList{toQString(name)});
    item->setIcon(0, QIcon(":/state0.png"));
    ListView1->addTopLevelItem(item);
  }
}

Config OptionsWindow::configFromWindow() const {
  Config c;
  c.timerOn = CheckBox1->isChecked();
  c.clantagsOn = CheckBox2->isChecked();
  c.playerName = toBytes(LabeledEdit1->text());
  c.serverPassword = toBytes(LabeledEdit2->text());
  c.mohaaPath = toBytes(LabeledEdit3->text());
  c.spearheadPath = toBytes(LabeledEdit4->text());
  c.safeScan = CheckBox3->isChecked();
  if (MainWindow* f = mainForm()) {
    c.serverListPath = f->ServerListPath.get();
    c.speedSetting = f->SpeedSetting;
    c.optionFlag10 = f->OptionFlag10;
    c.bannerIndex = f->BannerIndex;
  }
  return c;
}

void OptionsWindow::FormHide() {
  if (!mainForm()) return;
  try {
    writeConfig(configFromWindow());
  } catch (const std::exception& e) {
    dialogs().showError(toQString(e.what()));
  }
}

void OptionsWindow::TrackBar1Change() {
  const int position = TrackBar1->value();
  if (MainWindow* f = mainForm()) {
    f->ScanTimeout = position;
    f->SpeedSetting = position;
  }
  Label3->setText(speedCaption(position));
}

void OptionsWindow::CheckBox1Click() {
  MainWindow* f = mainForm();
  if (!f) return;
  if (CheckBox1->isChecked())
    f->Timer1->start();
  else
    f->Timer1->stop();
}

void OptionsWindow::CheckBox2Click() {
  if (MainWindow* f = mainForm()) f->ClantagsOn = CheckBox2->isChecked();
}

void OptionsWindow::CheckBox3Click() {
  MainWindow* f = mainForm();
  if (!f) return;
  if (CheckBox3->isChecked()) {
    f->ScanTimeout = 5000;
    f->SafeScan = true;
  } else {
    f->ScanTimeout = f->SpeedSetting;
    f->SafeScan = false;
  }
}

void OptionsWindow::pickExecutable(QLineEdit* field) {
  MainWindow* f = mainForm();
  if (f && f->Scanning) return;
  const QString chosen = openFileKeepingDirectory(QString());
  if (chosen.isEmpty()) return;
  field->setText(QFileInfo(chosen).absoluteFilePath());
}

void OptionsWindow::Button3Click() { pickExecutable(LabeledEdit3); }

void OptionsWindow::Button6Click() { pickExecutable(LabeledEdit4); }

void OptionsWindow::Button4Click() {
  if (forms().Form8) forms().Form8->show();
  hide();
}


std::string OptionsWindow::selectedList() const {
  QTreeWidgetItem* item = ListView1->currentItem();
  if (!item || !item->isSelected()) return {};
  return toBytes(item->text(0));
}

void OptionsWindow::hideAndShowAgain() {
  hide();
  show();
}

void OptionsWindow::appendRows(MainWindow* f, const std::vector<std::string>& names, bool progress,
                        bool showAfterFirst) {
  for (const std::string& name : names) {
    if (progress) f->ComboBoxEx1->addItem(toQString(name));
    f->addServerRow(name);
    if (progress) {
      f->ProgressBar1->setValue(f->ProgressBar1->value() + 1);
      f->repaint();
    }
    if (showAfterFirst && !isVisible()) show();
  }
}

void OptionsWindow::selectlist1Click() {
  MainWindow* f = mainForm();
  if (!f) return;
  if (f->Scanning) f->ToolButton9Click();  // as "stop scan"
  const std::string name = selectedList();
  if (name.empty() || f->Scanning) return;

  f->ServerListPath = serverListPathFor(name);
  f->ComboBoxEx1->clear();
  f->ListView3->clear();
  f->ListView2->clear();
  f->ListView1->clear();
  for (QLabel* l : {f->Label1, f->Label2, f->Label3, f->Label4}) l->clear();
  f->ListView2->headerItem()->setText(0, "No Buddys online");

  std::vector<ServerEntry> entries;
  try {
    entries = readServerEntries(f->ServerListPath.get());
  } catch (const std::exception& e) {
    dialogs().showError(toQString(e.what()));
    return;
  }
  hide();
  f->setStatusText("loading servers...please wait");
  f->repaint();

  f->ProgressBar1->setRange(0, static_cast<int>(entries.size()));
  f->ProgressBar1->setValue(0);
  f->ProgressBar1->setVisible(true);
  std::vector<std::string> names;
  names.reserve(entries.size());
  for (const ServerEntry& e : entries) names.push_back(e.name);
  appendRows(f, names, true, false);

  f->ProgressBar1->setVisible(false);
  f->ComboBoxEx1->setCurrentText(toQString(name));
  f->setStatusText(QString::number(names.size()) + " servers in " +
                   toQString(f->ServerListPath.get()));
  f->sortServerView();
  f->ToolButton3Click();
}

void OptionsWindow::deletelist1Click() {
  MainWindow* f = mainForm();
  if (!f) return;
  const std::string name = selectedList();
  if (name.empty() || f->Scanning || name == kStandardList) return;
  if (!dialogs().confirm("Delete List " + toQString(name) + " ?")) return;
  try {
    deleteServerList(name);
  } catch (const std::exception& e) {
    dialogs().showError(toQString(e.what()));
    return;
  }
  hideAndShowAgain();

  f->ServerListPath = serverListPathFor(kStandardList);
  std::vector<std::string> names;
  try {
    names = readServerNames(f->ServerListPath.get());
  } catch (const std::exception& e) {
    dialogs().showError(toQString(e.what()));
    return;
  }
  f->ComboBoxEx1->clear();
  for (const std::string& n : names) f->ComboBoxEx1->addItem(toQString(n));
  f->ComboBoxEx1->setCurrentText(kStandardList);
  f->setStatusText(QString::number(names.size()) + " servers in " +
                   toQString(f->ServerListPath.get()));

  hide();
  f->ListView3->clear();
  appendRows(f, names, false, true);
}

void OptionsWindow::exportasSSLF1Click() {
  MainWindow* f = mainForm();
  const std::string name = selectedList();
  if (name.empty() || (f && f->Scanning)) return;
  const QString chosen = saveFileKeepingDirectory(QString(), toQString(name));
  if (chosen.isEmpty()) return;
  try {
    exportSslf(serverListPathFor(name), toBytes(chosen));
  } catch (const std::exception& e) {
    dialogs().showError(toQString(e.what()));
  }
}

void OptionsWindow::Button7Click() {
  MainWindow* f = mainForm();
  if (f && f->Scanning) return;
  const QString chosen = openFileKeepingDirectory("sslf (*.sslf)");
  if (chosen.isEmpty()) return;
  if (!dialogs().confirm("Import HLSW list ?")) return;
  try {
    importSslf(toBytes(chosen));
  } catch (const std::exception& e) {
    dialogs().showError(toQString(e.what()));
  }
  hideAndShowAgain();
}

void OptionsWindow::Button5Click() {
  MainWindow* f = mainForm();
  if (f && f->Scanning) return;
  const QString chosen = openFileKeepingDirectory("txt (*.txt)", "txt");
  if (chosen.isEmpty()) return;
  if (!dialogs().confirm("Sure text is formated: Name|Ip:Port ?")) return;
  try {
    importTextList(toBytes(chosen));
  } catch (const std::exception& e) {
    dialogs().showError(toQString(e.what()));
  }
  hideAndShowAgain();
}

}  // namespace tarvix
