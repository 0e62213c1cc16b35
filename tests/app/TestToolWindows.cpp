// What every tool window and dialog shares: Escape closes it, Enter presses
// its main button, Tab walks its controls in reading order, and the file
// dialogs open where the user last chose a file.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <vector>

#include "components/Dialogs.h"
#include "lists/LabeledEdit.h"
#include "support/qt/ProgramFixture.h"
#include "support/qt/ScriptedDialogs.h"

using namespace tarvix;
using tarvix::test::ProgramFixture;
using tarvix::test::ScriptedDialogs;

namespace {

std::vector<QWidget*> toolWindows(const Application& app) {
  return {app.buddies(),   app.options(),          app.clanTags(),    app.search(),
          app.credits(),   app.serverProperties(), app.quickAdd(),    app.directConnect(),
          app.mapChange(), app.addMap(),           app.banList(),     app.addBan(),
          app.skinList(),  app.addSkin(),          app.messageList(), app.addMessage(),
          app.console()};
}

// The control a key press goes to: the window's focus child, else the window.
QWidget* keyTarget(QWidget* window) {
  QWidget* focus = window->focusWidget();
  return focus ? focus : window;
}

// The controls Tab visits, from the window's first one, once round.
std::vector<QWidget*> tabChain(QWidget* window) {
  std::vector<QWidget*> chain;
  QWidget* w = window;
  for (int i = 0; i < 200; ++i) {
    w = w->nextInFocusChain();
    if (w == window) break;
    if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window) && w->isEnabled())
      chain.push_back(w);
  }
  return chain;
}

}  // namespace

class TestToolWindows : public QObject {
  Q_OBJECT

 private slots:
  // The list, add and search windows open in the middle of the desktop the
  // first time; after that where the user left them.
  void listWindowsCentreOnTheirFirstShowOnly() {
    ProgramFixture fx;
    fx.dir().writeInstallation({"A", "127.0.0.1", "1"});
    Application& app = fx.start();
    const QPoint middle = QApplication::primaryScreen()->availableGeometry().center();
    const std::vector<QWidget*> windows = {app.buddies(),   app.clanTags(), app.search(),
                                           app.mapChange(), app.banList(),  app.addBan(),
                                           app.addMap()};
    for (QWidget* window : windows) {
      const QString name = window->objectName();
      window->show();
      QCOMPARE(window->pos(), middle - window->rect().center());
      window->move(10, 12);
      window->hide();
      window->show();
      QVERIFY2(window->pos() == QPoint(10, 12), qPrintable(name));
      window->hide();
    }
  }

  void enterPressesTheMainButton() {
    ProgramFixture fx;
    fx.dir().writeInstallation({"A", "127.0.0.1", "1"});
    Application& app = fx.start();

    // Quick add: Enter on the focused "add server" adds (here: asks for the
    // address); Enter in "IP" splits an address with its port, then adds.
    QuickAddDialog* add = app.quickAdd();
    add->show();
    auto* ip = add->findChild<QLineEdit*>("LabeledEdit2");
    auto* port = add->findChild<QLineEdit*>("LabeledEdit3");
    auto* addButton = add->findChild<QPushButton*>("Button1");
    // (an address it refuses, so that nothing is sent)
    ip->setText("999.0.0.1:80");
    ip->setFocus();
    QTest::keyClick(ip, Qt::Key_Return);
    QCOMPARE(ip->text(), QString("999.0.0.1"));
    QCOMPARE(port->text(), QString("80"));
    const QString refused = "999.0.0.1 is neither an IPv4 address nor a host name !";
    QCOMPARE(fx.dialogs().messages, QStringList{refused});
    QVERIFY(add->isVisible());
    ip->clear();
    addButton->setFocus();
    QTest::keyClick(addButton, Qt::Key_Enter);
    QCOMPARE(fx.dialogs().messages, (QStringList{refused, "please enter ip and port !"}));
    QVERIFY(!add->isVisible());

    // Direct connect: Enter in the password field connects.
    DirectConnectDialog* direct = app.directConnect();
    direct->show();
    direct->findChild<QLineEdit*>("Edit1")->setText("nodot");
    QLineEdit* password = direct->findChild<QLineEdit*>("LabeledEdit1");
    QTest::keyClick(password, Qt::Key_Return);
    QCOMPARE(fx.dialogs().messages.last(), QString("please enter a valid ip!"));

    // Search: Enter on an option searches (an empty text hides the window).
    SearchWindow* search = app.search();
    search->show();
    QWidget* mapOption = search->findChild<QWidget*>("RadioButton2");
    QTest::keyClick(mapOption, Qt::Key_Return);
    QVERIFY(!search->isVisible());
  }

  // In every tool window Tab walks the controls in reading order and Escape
  // closes the window.
  void tabAndEscapeInEveryToolWindow() {
    ProgramFixture fx;
    fx.dir().writeInstallation({"A", "127.0.0.1", "1"});
    Application& app = fx.start();
    for (QWidget* window : toolWindows(app)) {
      window->show();
      QVERIFY(window->isVisible());
      const std::vector<QWidget*> chain = tabChain(window);
      // Within one container, each control is right of or below the one before.
      for (std::size_t i = 1; i < chain.size(); ++i) {
        QWidget* a = chain[i - 1];
        QWidget* b = chain[i];
        if (a->parentWidget() != b->parentWidget()) continue;
        const bool sameRow = std::abs(a->y() - b->y()) < 8;
        QVERIFY2(
            sameRow ? a->x() < b->x() : a->y() < b->y(),
            qPrintable(window->objectName() + ": " + a->objectName() + " then " + b->objectName()));
      }
      QTest::keyClick(keyTarget(window), Qt::Key_Escape);
      QVERIFY2(!window->isVisible(), qPrintable(window->objectName()));
    }
    // Quick add's own order; another key closes nothing.
    const std::vector<QWidget*> quick = tabChain(app.quickAdd());
    QCOMPARE(quick.size(), std::size_t(3));
    QCOMPARE(quick[0]->objectName(), QString("LabeledEdit2"));
    QCOMPARE(quick[1]->objectName(), QString("LabeledEdit3"));
    QCOMPARE(quick[2]->objectName(), QString("Button1"));
    app.quickAdd()->show();
    QTest::keyClick(app.quickAdd(), Qt::Key_A);
    QVERIFY(app.quickAdd()->isVisible());
  }

  void fileDialogsOpenWhereTheUserLastChose() {
    ProgramFixture fx;
    fx.dir().writeInstallation({});
    fx.dir().writeLines("in/list.txt", {"My|1.2.3.4:80"});
    const QString chosenFolder = QString::fromStdString(fx.dir().path() + "/in");
    ScriptedDialogs& d = fx.dialogs();
    OptionsWindow* options = fx.start().options();
    options->show();
    // First: the home folder, not the data folder.
    options->importSslfFile();
    QCOMPARE(d.folders.last(), QDir::homePath());
    QVERIFY(d.folders.last() != QDir::currentPath());
    d.files.push_back(chosenFolder + "/list.txt");
    options->importTextListFile();
    QCOMPARE(d.folders.last(), QDir::homePath());
    // The data folder stays the current one.
    QCOMPARE(QDir::currentPath(), QString::fromStdString(fx.dir().path()));
    options->importSslfFile();
    QCOMPARE(d.folders.last(), chosenFolder);

    // Across a restart; a folder since removed falls back to home.
    options = fx.restart().options();
    options->importSslfFile();
    QCOMPARE(d.folders.last(), chosenFolder);
    QVERIFY(QDir(chosenFolder).removeRecursively());
    options->importSslfFile();
    QCOMPARE(d.folders.last(), QDir::homePath());
  }
};

QTEST_MAIN(TestToolWindows)
#include "TestToolWindows.moc"
