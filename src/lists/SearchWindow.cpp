#include "lists/SearchWindow.h"

#include <QAbstractItemModel>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "base/ColourCodes.h"
#include "components/CodePageValidator.h"
#include "components/Dialogs.h"
#include "components/Placement.h"
#include "components/QtText.h"
#include "components/WindowKeys.h"
#include "store/ServerLists.h"
#include "store/Settings.h"

namespace tarvix {

// Controls; each keeps its code name as its objectName.
struct SearchWindow::Ui {
  QLineEdit* searchEdit = nullptr;
  QRadioButton* serverOption = nullptr;
  QRadioButton* mapOption = nullptr;
  QRadioButton* ipOption = nullptr;
};

namespace {
constexpr int kMapColumn = 1;
constexpr int kHostColumn = 2;
}  // namespace

SearchWindow::~SearchWindow() = default;

SearchWindow::SearchWindow(Settings& settings, const QAbstractItemModel& serverRows,
                           std::function<bool(int)> rowShown, QWidget* parent)
    : QWidget(parent),
      settings_(settings),
      serverRows_(serverRows),
      rowShown_(std::move(rowShown)) {
  ui_ = std::make_unique<Ui>();
  setObjectName("Form6");
  setWindowTitle("search for server, map, ip");
  setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                 Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->setSpacing(4);
  ui_->searchEdit = new QLineEdit(this);
  acceptCodePageOnly({ui_->searchEdit});
  ui_->searchEdit->setObjectName("Edit1");
  ui_->searchEdit->setMinimumWidth(220);
  ui_->searchEdit->installEventFilter(this);
  layout->addWidget(ui_->searchEdit);

  auto* options = new QHBoxLayout();
  ui_->serverOption = new QRadioButton("server", this);
  ui_->serverOption->setObjectName("RadioButton1");
  ui_->mapOption = new QRadioButton("map", this);
  ui_->mapOption->setObjectName("RadioButton2");
  ui_->ipOption = new QRadioButton("ip", this);
  ui_->ipOption->setObjectName("RadioButton3");
  auto* searchButton = new QPushButton("search", this);
  searchButton->setObjectName("Button1");
  options->addWidget(ui_->serverOption);
  options->addWidget(ui_->mapOption);
  options->addWidget(ui_->ipOption);
  options->addStretch(1);
  options->addWidget(searchButton);
  layout->addLayout(options);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  for (QRadioButton* option : {ui_->serverOption, ui_->mapOption, ui_->ipOption})
    connect(option, &QRadioButton::toggled, this, [this](bool on) {
      if (on) ui_->searchEdit->setFocus();
    });
  connect(searchButton, &QPushButton::clicked, this, &SearchWindow::search);
  pressOnEnter(this, searchButton);
  centreOnFirstShow(this);
}

void SearchWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) ui_->searchEdit->setFocus();
}

bool SearchWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->searchEdit && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      search();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void SearchWindow::primeWithServerOption() {
  show();
  ui_->serverOption->setChecked(true);
  ui_->mapOption->setChecked(false);
  hide();
}

void SearchWindow::search() {
  if (ui_->ipOption->isChecked())
    addressSearch();
  else if (ui_->mapOption->isChecked())
    textSearch(kMapColumn);
  else if (ui_->serverOption->isChecked())
    textSearch(kHostColumn);
  else
    hide();
}

QString SearchWindow::rowText(int row, int column) const {
  return serverRows_.data(serverRows_.index(row, column)).toString();
}

void SearchWindow::textSearch(int column) {
  hide();
  const std::string text = toBytes(ui_->searchEdit->text());
  if (text.empty()) return;
  bool matched = false;
  // The row count is read again after every question: the rows may change
  // while the question is open. Rows a filter hides are passed over.
  for (int i = 0; i < serverRows_.rowCount(); ++i) {
    if (!rowShown_(i) || !containsIgnoringColours(toBytes(rowText(i, column)), text)) continue;
    matched = true;
    emit serverRowFound(i);
    if (!dialogs().confirm(this, "search next ?")) break;
  }
  if (!matched) {
    dialogs().showMessage(this, "no matches !");
    show();
    ui_->searchEdit->setFocus();
  }
}

void SearchWindow::addressSearch() {
  hide();
  const std::string text = toBytes(ui_->searchEdit->text());
  if (text.empty()) return;
  std::vector<ServerEntry> entries;
  if (!showingErrors(this, [&] { entries = readServerEntries(settings_.serverListPath()); }))
    return;
  const bool withPort = text.find(':') != std::string::npos;
  bool found = false;
  std::string name;
  for (const ServerEntry& entry : entries) {
    const std::string key = withPort ? entry.ip + ":" + entry.port : entry.ip;
    if (key == text) {
      name = entry.name;
      found = true;
    }
  }
  if (entries.empty() || entries.back().name.empty()) return;
  // A server whose rows a filter hides is not found either.
  std::vector<int> shown;
  bool hidden = false;
  const QString host = toQString(name);
  for (int i = 0; found && i < serverRows_.rowCount(); ++i) {
    if (rowText(i, kHostColumn) != host) continue;
    if (rowShown_(i))
      shown.push_back(i);
    else
      hidden = true;
  }
  if (!found || (hidden && shown.empty())) {
    dialogs().showMessage(this, "ip not found!");
    return;
  }
  for (int i : shown) emit serverRowFound(i);
}

}  // namespace tarvix
