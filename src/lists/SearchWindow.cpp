#include "lists/SearchWindow.h"

#include <QAbstractItemModel>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "base/Text.h"
#include "components/CodePageValidator.h"
#include "components/Dialogs.h"
#include "components/Placement.h"
#include "components/QtText.h"
#include "components/WindowKeys.h"
#include "store/ServerLists.h"
#include "store/Settings.h"

namespace tarvix {

namespace {
constexpr int kMapColumn = 1;
constexpr int kHostColumn = 2;
}  // namespace

SearchWindow::SearchWindow(Settings& settings, const QAbstractItemModel& serverRows,
                           QWidget* parent)
    : QWidget(parent), settings_(settings), serverRows_(serverRows) {
  setObjectName("Form6");
  setWindowTitle("search for server, map, ip");
  setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                 Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->setSpacing(4);
  searchEdit = new QLineEdit(this);
  acceptCodePageOnly({searchEdit});
  searchEdit->setObjectName("Edit1");
  searchEdit->setMinimumWidth(220);
  searchEdit->installEventFilter(this);
  layout->addWidget(searchEdit);

  auto* options = new QHBoxLayout();
  serverOption = new QRadioButton("server", this);
  serverOption->setObjectName("RadioButton1");
  mapOption = new QRadioButton("map", this);
  mapOption->setObjectName("RadioButton2");
  ipOption = new QRadioButton("ip", this);
  ipOption->setObjectName("RadioButton3");
  searchButton = new QPushButton("search", this);
  searchButton->setObjectName("Button1");
  options->addWidget(serverOption);
  options->addWidget(mapOption);
  options->addWidget(ipOption);
  options->addStretch(1);
  options->addWidget(searchButton);
  layout->addLayout(options);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  for (QRadioButton* option : {serverOption, mapOption, ipOption})
    connect(option, &QRadioButton::toggled, this, [this](bool on) {
      if (on) searchEdit->setFocus();
    });
  connect(searchButton, &QPushButton::clicked, this, &SearchWindow::search);
  pressOnEnter(this, searchButton);
}

void SearchWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;
  if (!centred_) {
    centred_ = true;
    adjustSize();
    centreOnDesktop(this);
  }
  searchEdit->setFocus();
}

bool SearchWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == searchEdit && event->type() == QEvent::KeyPress) {
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
  serverOption->setChecked(true);
  mapOption->setChecked(false);
  hide();
}

void SearchWindow::search() {
  if (ipOption->isChecked())
    addressSearch();
  else if (mapOption->isChecked())
    textSearch(kMapColumn);
  else if (serverOption->isChecked())
    textSearch(kHostColumn);
  else
    hide();
}

QString SearchWindow::rowText(int row, int column) const {
  return serverRows_.data(serverRows_.index(row, column)).toString();
}

void SearchWindow::textSearch(int column) {
  hide();
  const std::string text = toBytes(searchEdit->text());
  if (text.empty()) return;
  bool matched = false;
  // The row count is read again after every question: the rows may change
  // while the question is open.
  for (int i = 0; i < serverRows_.rowCount(); ++i) {
    if (!containsNoCase(toBytes(rowText(i, column)), text)) continue;
    matched = true;
    emit serverRowFound(i);
    if (!dialogs().confirm(this, "search next ?")) break;
  }
  if (!matched) {
    dialogs().showMessage(this, "no matches !");
    show();
    searchEdit->setFocus();
  }
}

void SearchWindow::addressSearch() {
  hide();
  const std::string text = toBytes(searchEdit->text());
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
  if (!found) {
    dialogs().showMessage(this, "ip not found!");
    return;
  }
  const QString host = toQString(name);
  for (int i = 0; i < serverRows_.rowCount(); ++i)
    if (rowText(i, kHostColumn) == host) emit serverRowFound(i);
}

}  // namespace tarvix
