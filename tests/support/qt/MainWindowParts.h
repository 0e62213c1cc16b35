#pragma once
// The main window's controls as a user finds them: by their objectName.
#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include "app/MainWindow.h"
#include "store/Settings.h"
#include "support/qt/Parts.h"

namespace tarvix::test {

inline QTreeWidget* playerView(const QObject& w) { return partNamed<QTreeWidget>(w, "ListView1"); }
inline QTreeWidget* buddyView(const QObject& w) { return partNamed<QTreeWidget>(w, "ListView2"); }
inline QTreeWidget* serverView(const QObject& w) { return partNamed<QTreeWidget>(w, "ListView3"); }
inline QToolBar* toolBar(const QObject& w) { return partNamed<QToolBar>(w, "ToolBar1"); }
inline QToolButton* scanNowButton(const QObject& w) {
  return partNamed<QToolButton>(w, "ToolButton3");
}
inline QToolButton* stopScanButton(const QObject& w) {
  return partNamed<QToolButton>(w, "ToolButton9");
}
inline QToolButton* searchButton(const QObject& w) {
  return partNamed<QToolButton>(w, "ToolButton6");
}
inline QToolButton* buddiesButton(const QObject& w) {
  return partNamed<QToolButton>(w, "ToolButton2");
}
inline QToolButton* remoteConsoleButton(const QObject& w) {
  return partNamed<QToolButton>(w, "ToolButton7");
}
inline QComboBox* serverNameList(const QObject& w) {
  return partNamed<QComboBox>(w, "ComboBoxEx1");
}
inline QProgressBar* scanProgress(const QObject& w) {
  return partNamed<QProgressBar>(w, "ProgressBar1");
}
inline QLabel* playerCountLabel(const QObject& w) { return partNamed<QLabel>(w, "Label1"); }
inline QLabel* mapLabel(const QObject& w) { return partNamed<QLabel>(w, "Label2"); }
inline QLabel* hostNameLabel(const QObject& w) { return partNamed<QLabel>(w, "Label3"); }
inline QLabel* editionLabel(const QObject& w) { return partNamed<QLabel>(w, "Label4"); }
// Banner 0 to 3.
inline QLabel* bannerImage(const QObject& w, int i) {
  return partNamed<QLabel>(w, QString("Image%1").arg(i + 1));
}
inline QTimer* autoScanTimer(const QObject& w) { return partNamed<QTimer>(w, "Timer1"); }
inline QAction* actionNamed(const QObject& w, const char* name) {
  return partNamed<QAction>(w, name);
}

inline int serverRowCount(const QObject& w) { return serverView(w)->topLevelItemCount(); }
inline QTreeWidgetItem* serverRow(const QObject& w, int i) {
  return serverView(w)->topLevelItem(i);
}

// A tool bar shows and hides a button through its action.
inline bool toolButtonShown(const QObject& w, QToolButton* button) {
  for (QAction* a : toolBar(w)->actions())
    if (toolBar(w)->widgetForAction(a) == button) return a->isVisible();
  return false;
}

// A left click on the header of `section`.
inline void clickHeader(QTreeWidget* view, int section) {
  QHeaderView* header = view->header();
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                    QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
}

// Makes `row` the current, selected row by a click, as a user would.
inline void clickRow(QTreeWidget* view, QTreeWidgetItem* row) {
  view->scrollToItem(row);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(row).center());
}

inline void doubleClickRow(QTreeWidget* view, QTreeWidgetItem* row) {
  view->scrollToItem(row);
  const QPoint at = view->visualItemRect(row).center();
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

// "scan now" with a time-out no test outlasts: on a list whose first server
// does not answer, the pass is still waiting when the caller looks. "stop
// scan" (or the window's end) stops it.
inline bool startWaitingScan(MainWindow& w, Settings& settings) {
  settings.updateConfig([](Config& c) { c.scanTimeout = 60000; });
  scanNowButton(w)->click();
  return w.scanRunning();
}

}  // namespace tarvix::test
