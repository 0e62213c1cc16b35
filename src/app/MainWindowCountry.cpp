// The opt-in "Country" column: each server's flag and ISO code, its
// country's name on hover, from the system's country database
// (app/core/CountryLookup), and the filter bar's country choice. Off, the
// view keeps its columns; without a database the column says once what it
// needs.
#include <QComboBox>
#include <QFile>
#include <QHash>
#include <QHeaderView>
#include <QIcon>
#include <QLayout>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <map>
#include <set>

#include "app/MainWindow.h"
#include "app/MainWindowUi.h"
#include "app/core/CountryLookup.h"
#include "components/IniSettings.h"
#include "components/QtText.h"
#include "store/DataFile.h"
#include "store/ServerLists.h"

namespace tarvix {

namespace {

// "CODE\nName" once the row was looked up (both empty when unknown).
constexpr int kCountryRole = Qt::UserRole + 3;
constexpr int kHostColumn = 2;
constexpr int kCountryWidth = 48;
// Where the distribution's flag pictures are (famfamfam-flag-png).
const char* const kFlagFolder = "/usr/share/flags/countries/16x11/";

QIcon flagFor(const QString& code) {
  // Read once each; never freed, so no picture outlives the application.
  static auto* flags = new QHash<QString, QIcon>();
  const auto known = flags->constFind(code);
  if (known != flags->constEnd()) return *known;
  const QString file = kFlagFolder + code.toLower() + ".png";
  const QIcon flag = !code.isEmpty() && QFile::exists(file) ? QIcon(file) : QIcon();
  flags->insert(code, flag);
  return flag;
}

}  // namespace

class MainWindow::CountryParts : public QObject {
 public:
  using QObject::QObject;
  int column = -1;  // while shown
  bool toldMissing = false;
  QComboBox* choice = nullptr;  // in the filter bar
  // The choice kept in tarvix.ini, chosen again once a row of it is shown;
  // empty after the user chose.
  std::string kept;
  QTimer* fill = nullptr;
};

std::string rowCountry(const QTreeWidgetItem* row) {
  return row->data(0, kCountryRole).toString().section('\n', 0, 0).toStdString();
}

void MainWindow::hideCountryColumn() {
  if (!countryParts_ || countryParts_->column < 0) return;
  QTreeWidget* view = ui_->serverView;
  view->setColumnCount(countryParts_->column);
  view->setColumnWidth(kHostColumn, view->columnWidth(kHostColumn) + kCountryWidth);
  if (sortColumn_ >= countryParts_->column) sortColumn_ = 0;
  countryParts_->column = -1;
}

void MainWindow::showCountryColumn(bool on) {
  if (!countryParts_) {
    if (!on) return;
    countryParts_ = new CountryParts(this);
    countryParts_->choice = new QComboBox(filter_->bar);
    countryParts_->choice->setObjectName("CountryFilter");
    countryParts_->choice->addItem("all countries", QString());
    filter_->bar->layout()->addWidget(countryParts_->choice);
    connect(countryParts_->choice, &QComboBox::currentIndexChanged, this, [this] {
      countryParts_->kept.clear();
      applyFilter();
      saveFilter();
    });
    countryParts_->fill = new QTimer(countryParts_);
    countryParts_->fill->setSingleShot(true);
    connect(countryParts_->fill, &QTimer::timeout, this, &MainWindow::fillCountries);
    connect(ui_->serverView->model(), &QAbstractItemModel::rowsInserted, countryParts_,
            [this] { countryParts_->fill->start(0); });
  }
  countryParts_->choice->setVisible(on);
  countryParts_->kept = on ? IniSettings().serverFilter().country : std::string();
  if (!on) {
    countryParts_->choice->setCurrentIndex(0);
    return;
  }
  QTreeWidget* view = ui_->serverView;
  const int column = countryParts_->column = view->columnCount();
  view->setColumnCount(column + 1);
  view->headerItem()->setText(column, "Country");
  view->setColumnWidth(column, kCountryWidth);
  view->setColumnWidth(kHostColumn,
                       std::max(kCountryWidth, view->columnWidth(kHostColumn) - kCountryWidth));
  if (!CountryLookup::shared().available()) {
    view->headerItem()->setToolTip(column, kNoCountryDatabase);
    if (!countryParts_->toldMissing) setStatusText(kNoCountryDatabase);
    countryParts_->toldMissing = true;
  }
  fillCountries();
}

void MainWindow::fillCountries() {
  if (!countryParts_ || countryParts_->column < 0) return;
  const int column = countryParts_->column;
  std::map<std::string, std::string> addresses;
  bool listRead = false;
  std::set<QString> codes;
  for (int i = 0; i < serverRowCount(); ++i) {
    QTreeWidgetItem* row = serverRow(i);
    if (!row->data(0, kCountryRole).isValid()) {
      if (!listRead) {
        listRead = true;
        try {
          for (const ServerEntry& e : readServerEntries(settings_.serverListPath()))
            addresses[e.name] = e.ip;
        } catch (const FileError&) {
        }
      }
      const Country c = CountryLookup::shared().lookup(addresses[toBytes(row->text(2))]);
      row->setData(0, kCountryRole, QString::fromStdString(c.code + "\n" + c.name));
    }
    const QString stored = row->data(0, kCountryRole).toString();
    const QString code = stored.section('\n', 0, 0);
    row->setText(column, code);
    row->setIcon(column, flagFor(code));
    row->setToolTip(column, stored.section('\n', 1));
    if (!code.isEmpty()) codes.insert(code);
  }
  QComboBox* choice = countryParts_->choice;
  const QSignalBlocker quiet(choice);
  for (const QString& code : codes)
    if (choice->findData(code) < 0) choice->addItem(flagFor(code), code, code);
  const int kept = choice->findData(QString::fromStdString(countryParts_->kept));
  if (kept > 0 && choice->currentIndex() == 0) {
    choice->setCurrentIndex(kept);
    applyFilter();
  }
}

std::string MainWindow::countryChoice() const {
  if (!countryParts_ || countryParts_->column < 0) return {};
  return countryParts_->choice->currentData().toString().toStdString();
}

std::string MainWindow::countryToKeep() const {
  const std::string chosen = countryChoice();
  return chosen.empty() && countryParts_ ? countryParts_->kept : chosen;
}

}  // namespace tarvix
