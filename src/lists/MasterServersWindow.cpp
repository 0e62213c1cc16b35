#include "lists/MasterServersWindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <algorithm>
#include <array>

#include "app/core/ServerDiscovery.h"
#include "components/Dialogs.h"
#include "components/IniSettings.h"
#include "components/Placement.h"
#include "lists/WindowStyle.h"

namespace tarvix {

namespace {

struct GameChoice {
  const char* game;
  const char* caption;
  const char* objectName;
};

constexpr std::array<GameChoice, 3> kGames{{
    {"mohaa", "Allied Assault", "AlliedAssaultCheckBox"},
    {"mohaas", "Spearhead", "SpearheadCheckBox"},
    {"mohaab", "Breakthrough", "BreakthroughCheckBox"},
}};

QString masterLines(const std::vector<std::string>& masters) {
  QStringList lines;
  for (const std::string& m : masters) lines << QString::fromStdString(m);
  return lines.join('\n');
}

}  // namespace

struct MasterServersWindow::Ui {
  QPlainTextEdit* mastersEdit = nullptr;
  std::array<QCheckBox*, kGames.size()> gameBoxes{};
  QCheckBox* refreshAtStartBox = nullptr;
};

MasterServersWindow::MasterServersWindow(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui>()) {
  setObjectName("MasterServersWindow");
  setWindowTitle("master servers");
  // Above the Options window it is opened from, which stays on top.
  makeFixedToolWindow(this, true);

  auto* mastersLabel = new QLabel("master servers, one HOST:PORT a line:", this);
  mastersLabel->setGeometry(10, 8, 280, 16);
  ui_->mastersEdit = new QPlainTextEdit(this);
  ui_->mastersEdit->setObjectName("MastersEdit");
  ui_->mastersEdit->setGeometry(10, 26, 280, 100);
  ui_->mastersEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
  ui_->mastersEdit->setTabChangesFocus(true);

  auto* gamesLabel = new QLabel("fetch the servers of:", this);
  gamesLabel->setGeometry(10, 134, 280, 16);
  for (std::size_t i = 0; i < kGames.size(); ++i) {
    auto* box = new QCheckBox(kGames[i].caption, this);
    box->setObjectName(kGames[i].objectName);
    box->setGeometry(16, 152 + static_cast<int>(i) * 20, 200, 18);
    ui_->gameBoxes[i] = box;
  }
  ui_->refreshAtStartBox = new QCheckBox("refresh from master servers at start", this);
  ui_->refreshAtStartBox->setObjectName("RefreshAtStartCheckBox");
  ui_->refreshAtStartBox->setGeometry(10, 218, 280, 18);

  QPushButton* defaults =
      makeButton(this, "DefaultMastersButton", "defaults", QRect(10, 246, 80, 25));
  QPushButton* ok = makeButton(this, "OkButton", "OK", QRect(120, 246, 80, 25));
  QPushButton* cancel = makeButton(this, "CancelButton", "Cancel", QRect(210, 246, 80, 25));
  ok->setDefault(true);
  setFixedSize(300, 281);
  centreOnDesktop(this);

  connect(defaults, &QPushButton::clicked, this, &MasterServersWindow::restoreDefaultMasters);
  connect(ok, &QPushButton::clicked, this, &MasterServersWindow::accept);
  connect(cancel, &QPushButton::clicked, this, &MasterServersWindow::reject);
}

MasterServersWindow::~MasterServersWindow() = default;

void MasterServersWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) load();
}

void MasterServersWindow::load() {
  const IniSettings ini;
  ui_->mastersEdit->setPlainText(masterLines(ini.masterServers()));
  const std::vector<std::string> games = ini.discoveryGames();
  for (std::size_t i = 0; i < kGames.size(); ++i)
    ui_->gameBoxes[i]->setChecked(std::find(games.begin(), games.end(), kGames[i].game) !=
                                  games.end());
  ui_->refreshAtStartBox->setChecked(ini.refreshAtStart());
}

void MasterServersWindow::restoreDefaultMasters() {
  QStringList lines;
  for (const MasterAddress& m : defaultMasters())
    lines << QString::fromStdString(m.host) + ":" + QString::number(m.port);
  ui_->mastersEdit->setPlainText(lines.join('\n'));
}

void MasterServersWindow::accept() {
  std::vector<std::string> masters;
  const QStringList lines = ui_->mastersEdit->toPlainText().split('\n');
  for (int i = 0; i < lines.size(); ++i) {
    const QString line = lines[i].trimmed();
    if (line.isEmpty()) continue;
    MasterAddress address;
    // Host names are ASCII; anything else could never be looked up.
    bool ascii = true;
    for (const QChar c : line) ascii = ascii && c.unicode() > 32 && c.unicode() < 127;
    if (!ascii || !parseMasterAddress(line.toStdString(), address)) {
      dialogs().showError(this, "Line " + QString::number(i + 1) + " is not a master server: \"" +
                                    line +
                                    "\". Write HOST or HOST:PORT, the port from 1 to 65535.");
      return;
    }
    masters.push_back(address.host + ":" + std::to_string(address.port));
  }
  std::vector<std::string> games;
  for (std::size_t i = 0; i < kGames.size(); ++i)
    if (ui_->gameBoxes[i]->isChecked()) games.emplace_back(kGames[i].game);
  if (games.empty()) {
    dialogs().showError(this, "Choose at least one game to fetch the servers of.");
    return;
  }
  IniSettings ini;
  ini.setMasterServers(masters);
  ini.setDiscoveryGames(games);
  ini.setRefreshAtStart(ui_->refreshAtStartBox->isChecked());
  QDialog::accept();
}

}  // namespace tarvix
