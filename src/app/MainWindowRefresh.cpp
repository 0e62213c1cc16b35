// What a refresh from the master servers or the LAN shows in the main window:
// the servers as they answer, and a note on sources that failed, kept beside
// the status text until the next refresh.
#include <QComboBox>
#include <QLabel>
#include <QStatusBar>
#include <QTreeWidget>

#include "app/MainWindow.h"
#include "app/MainWindowUi.h"
#include "components/QtText.h"

namespace tarvix {

void MainWindow::showFoundServer(const QString& name, const ScanRow& texts) {
  if (!showingFoundServers_) {
    // The first answer: the view shows what the refresh finds from now on.
    if (scanning_) stopScan();
    clearServerList();
    showingFoundServers_ = true;
  }
  ui_->serverNameList->addItem(name);
  QTreeWidgetItem* row = addServerRow(toBytes(name));
  row->setText(1, toQString(texts.map));
  row->setText(3, toQString(texts.game));
  keepRowPing(row, texts.replyMs);
  setRowIcon(row, texts.icon);
  setRowCaption(row, toQString(texts.caption));
}

void MainWindow::endFoundServers() { showingFoundServers_ = false; }

void MainWindow::showRefreshNote(const QString& note) {
  if (!ui_->refreshNote) {
    if (note.isEmpty()) return;
    ui_->refreshNote = new QLabel(ui_->statusLine);
    ui_->refreshNote->setObjectName("RefreshNoteLabel");
    ui_->statusLine->addPermanentWidget(ui_->refreshNote);
  }
  ui_->refreshNote->setText(note);
  ui_->refreshNote->setToolTip(note);
  ui_->refreshNote->setVisible(!note.isEmpty());
}

}  // namespace tarvix
