#include "lists/TForm3.h"

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
#include "app/TForm1.h"
#include "app/TForm8.h"
#include "app/ViewItems.h"
#include "app/core/HomePage.h"
#include "components/Dialogs.h"
#include "components/DoubleClick.h"
#include "components/QtText.h"
#include "components/TLegacy.h"
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

TForm1* mainForm() { return forms().Form1; }

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

TForm3::TForm3(QWidget* parent) : QWidget(parent) {
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
  Legacy2->Adress = toQString(kHomePage);
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
  centreOnDesktop(this);

  connect(TrackBar1, &QSlider::valueChanged, this, &TForm3::TrackBar1Change);
  connect(CheckBox1, &QCheckBox::toggled, this, &TForm3::CheckBox1Click);
  connect(CheckBox2, &QCheckBox::toggled, this, &TForm3::CheckBox2Click);
  connect(CheckBox3, &QCheckBox::toggled, this, &TForm3::CheckBox3Click);
  connect(LabeledEdit1, &QLineEdit::textChanged, this, [](const QString& t) {
    if (TForm1* f = mainForm()) f->PlayerName = toBytes(t);
  });
  connect(LabeledEdit2, &QLineEdit::textChanged, this, [](const QString& t) {
    if (TForm1* f = mainForm()) f->ServerPassword = toBytes(t);
  });
  connect(LabeledEdit3, &QLineEdit::textChanged, this, [](const QString& t) {
    if (TForm1* f = mainForm()) f->MohaaPath = toBytes(t);
  });
  connect(LabeledEdit4, &QLineEdit::textChanged, this, [](const QString& t) {
    if (TForm1* f = mainForm()) f->SpearheadPath = toBytes(t);
  });
  connect(Button3, &QPushButton::clicked, this, &TForm3::Button3Click);
  connect(Button6, &QPushButton::clicked, this, &TForm3::Button6Click);
  connect(Button4, &QPushButton::clicked, this, &TForm3::Button4Click);
  connect(Button5, &QPushButton::clicked, this, &TForm3::Button5Click);
  connect(Button7, &QPushButton::clicked, this, &TForm3::Button7Click);
  connect(deletelist1, &QAction::triggered, this, &TForm3::deletelist1Click);
  connect(selectlist1, &QAction::triggered, this, &TForm3::selectlist1Click);
  connect(exportasSSLF1, &QAction::triggered, this, &TForm3::exportasSSLF1Click);
  connect(ListView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
    PopupMenu1->popup(ListView1->viewport()->mapToGlobal(p));
  });
  onDoubleClick(ListView1, [this] { selectlist1Click(); });
}

TForm3::~TForm3() = default;

QLabel* TForm3::editLabel(QLineEdit* edit) const { return labelOf(this, edit); }

void TForm3::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TForm3::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) FormHide();
}

void TForm3::FormShow() {
  TForm1* f = mainForm();
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
    lists = ListServerLists();
  } catch (const std::exception& e) {
    dialogs().showError(toQString(e.what()));
  }
  for (const std::string& name : lists) {
    auto* item = new TTextItem(QStringList{toQString(name)});
    item->setIcon(0, QIcon(":/state0.png"));
    ListView1->addTopLevelItem(item);
  }
}

TConfig TForm3::configFromWindow() const {
  TConfig c;
  c.timerOn = CheckBox1->isChecked();
  c.clantagsOn = CheckBox2->isChecked();
  c.playerName = toBytes(LabeledEdit1->text());
  c.serverPassword = toBytes(LabeledEdit2->text());
  c.mohaaPath = toBytes(LabeledEdit3->text());
  c.spearheadPath = toBytes(LabeledEdit4->text());
  c.safeScan = CheckBox3->isChecked();
  if (TForm1* f = mainForm()) {
    c.serverListPath = f->ServerListPath.get();
    c.speedSetting = f->SpeedSetting;
    c.optionFlag10 = f->OptionFlag10;
    c.bannerIndex = f->BannerIndex;
  }
  return c;
}

void TForm3::FormHide() {
  if (!mainForm()) return;
  try {
    WriteConfig(configFromWindow());
  } catch (const std::exception& e) {
    dialogs().showError(toQString(e.what()));
  }
}

void TForm3::TrackBar1Change() {
  const int position = TrackBar1->value();
  if (TForm1* f = mainForm()) {
    f->ScanTimeout = position;
    f->SpeedSetting = position;
  }
  Label3->setText(speedCaption(position));
}

void TForm3::CheckBox1Click() {
  TForm1* f = mainForm();
  if (!f) return;
  if (CheckBox1->isChecked())
    f->Timer1->start();
  else
    f->Timer1->stop();
}

void TForm3::CheckBox2Click() {
  if (TForm1* f = mainForm()) f->ClantagsOn = CheckBox2->isChecked();
}

void TForm3::CheckBox3Click() {
  TForm1* f = mainForm();
  if (!f) return;
  if (CheckBox3->isChecked()) {
    f->ScanTimeout = 5000;
    f->SafeScan = true;
  } else {
    f->ScanTimeout = f->SpeedSetting;
    f->SafeScan = false;
  }
}

void TForm3::pickExecutable(QLineEdit* field) {
  TForm1* f = mainForm();
  if (f && f->Scanning) return;
  const QString chosen = openFileKeepingDirectory(QString());
  if (chosen.isEmpty()) return;
  field->setText(QFileInfo(chosen).absoluteFilePath());
}

void TForm3::Button3Click() { pickExecutable(LabeledEdit3); }

void TForm3::Button6Click() { pickExecutable(LabeledEdit4); }

void TForm3::Button4Click() {
  if (forms().Form8) forms().Form8->show();
  hide();
}


std::string TForm3::selectedList() const {
  QTreeWidgetItem* item = ListView1->currentItem();
  if (!item || !item->isSelected()) return {};
  return toBytes(item->text(0));
}

void TForm3::hideAndShowAgain() {
  hide();
  show();
}

void TForm3::appendRows(TForm1* f, const std::vector<std::string>& names, bool progress,
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

void TForm3::selectlist1Click() {
  TForm1* f = mainForm();
  if (!f) return;
  if (f->Scanning) f->ToolButton9Click();  // as "stop scan"
  const std::string name = selectedList();
  if (name.empty() || f->Scanning) return;

  f->ServerListPath = ServerListPathFor(name);
  f->ComboBoxEx1->clear();
  f->ListView3->clear();
  f->ListView2->clear();
  f->ListView1->clear();
  for (QLabel* l : {f->Label1, f->Label2, f->Label3, f->Label4}) l->clear();
  f->ListView2->headerItem()->setText(0, "No Buddys online");

  std::vector<ServerEntry> entries;
  try {
    entries = ReadServerEntries(f->ServerListPath.get());
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

void TForm3::deletelist1Click() {
  TForm1* f = mainForm();
  if (!f) return;
  const std::string name = selectedList();
  if (name.empty() || f->Scanning || name == kStandardList) return;
  if (!dialogs().confirm("Delete List " + toQString(name) + " ?")) return;
  try {
    DeleteServerList(name);
  } catch (const std::exception& e) {
    dialogs().showError(toQString(e.what()));
    return;
  }
  hideAndShowAgain();

  f->ServerListPath = ServerListPathFor(kStandardList);
  std::vector<std::string> names;
  try {
    names = ReadServerNames(f->ServerListPath.get());
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

void TForm3::exportasSSLF1Click() {
  TForm1* f = mainForm();
  const std::string name = selectedList();
  if (name.empty() || (f && f->Scanning)) return;
  const QString chosen = saveFileKeepingDirectory(QString(), toQString(name));
  if (chosen.isEmpty()) return;
  try {
    ExportSslf(ServerListPathFor(name), toBytes(chosen));
  } catch (const std::exception& e) {
    dialogs().showError(toQString(e.what()));
  }
}

void TForm3::Button7Click() {
  TForm1* f = mainForm();
  if (f && f->Scanning) return;
  const QString chosen = openFileKeepingDirectory("sslf (*.sslf)");
  if (chosen.isEmpty()) return;
  if (!dialogs().confirm("Import HLSW list ?")) return;
  try {
    ImportSslf(toBytes(chosen));
  } catch (const std::exception& e) {
    dialogs().showError(toQString(e.what()));
  }
  hideAndShowAgain();
}

void TForm3::Button5Click() {
  TForm1* f = mainForm();
  if (f && f->Scanning) return;
  const QString chosen = openFileKeepingDirectory("txt (*.txt)", "txt");
  if (chosen.isEmpty()) return;
  if (!dialogs().confirm("Sure text is formated: Name|Ip:Port ?")) return;
  try {
    ImportTextList(toBytes(chosen));
  } catch (const std::exception& e) {
    dialogs().showError(toQString(e.what()));
  }
  hideAndShowAgain();
}

}  // namespace tarvix
