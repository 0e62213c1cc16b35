#include "app/WatchesWindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "components/IniSettings.h"
#include "components/Placement.h"

namespace tarvix {

namespace {

constexpr int kMaxJoinMinutes = 120;

}  // namespace

struct WatchesWindow::Ui {
  QListWidget* list = nullptr;
  QPushButton* remove = nullptr;
  QSpinBox* joinMinutes = nullptr;
};

WatchesWindow::WatchesWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool), ui_(std::make_unique<Ui>()) {
  setObjectName("WatchesWindow");
  setWindowTitle("watches");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("tell me when:", this));
  ui_->list = new QListWidget(this);
  ui_->list->setObjectName("WatchList");
  layout->addWidget(ui_->list);
  ui_->remove = new QPushButton("remove", this);
  ui_->remove->setObjectName("RemoveWatchButton");
  auto* row = new QHBoxLayout();
  row->addWidget(ui_->remove);
  row->addStretch(1);
  row->addWidget(new QLabel("give up joining after", this));
  ui_->joinMinutes = new QSpinBox(this);
  ui_->joinMinutes->setObjectName("JoinMinutesSpinBox");
  ui_->joinMinutes->setRange(1, kMaxJoinMinutes);
  ui_->joinMinutes->setSuffix(" minutes");
  ui_->joinMinutes->setToolTip("How long \"join when a slot frees\" waits for a free slot");
  row->addWidget(ui_->joinMinutes);
  layout->addLayout(row);
  resize(420, 240);
  centreOnFirstShow(this);

  connect(ui_->remove, &QPushButton::clicked, this, [this] {
    if (ui_->list->currentRow() >= 0 && ui_->list->currentItem()->isSelected())
      emit removeRequested(ui_->list->currentRow());
  });
  connect(ui_->joinMinutes, &QSpinBox::valueChanged, this,
          [](int minutes) { IniSettings().setJoinWaitMinutes(minutes); });
}

WatchesWindow::~WatchesWindow() = default;

void WatchesWindow::showWatches(const QStringList& texts) {
  ui_->list->clear();
  ui_->list->addItems(texts);
  const QSignalBlocker quiet(ui_->joinMinutes);
  ui_->joinMinutes->setValue(IniSettings().joinWaitMinutes());
}

}  // namespace tarvix
