// The Options window: filled from the settings on showing, the speed bar and
// its label, the boxes and fields writing through, Config on every hide, the
// file pickers, selecting and deleting lists, the credits window, and the
// shared list commands.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include "base/Text.h"
#include "components/LinkLabel.h"
#include "store/DataFile.h"
#include "support/ConfigLines.h"
#include "support/FakeGameServer.h"
#include "support/SettingsEdits.h"
#include "support/qt/MainWindowParts.h"
#include "support/qt/ProgramFixture.h"
#include "support/qt/TreeRows.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {

// The Options window's controls, found by objectName.
QSlider* speedSlider(const OptionsWindow* w) { return partNamed<QSlider>(*w, "TrackBar1"); }
QLabel* speedLabel(const OptionsWindow* w) { return partNamed<QLabel>(*w, "Label3"); }
QLineEdit* nicknameEdit(const OptionsWindow* w) { return partNamed<QLineEdit>(*w, "LabeledEdit1"); }
QLineEdit* passwordEdit(const OptionsWindow* w) { return partNamed<QLineEdit>(*w, "LabeledEdit2"); }
QLineEdit* mohaaPathEdit(const OptionsWindow* w) {
  return partNamed<QLineEdit>(*w, "LabeledEdit3");
}
QLineEdit* spearheadPathEdit(const OptionsWindow* w) {
  return partNamed<QLineEdit>(*w, "LabeledEdit4");
}
QCheckBox* safeScanCheckBox(const OptionsWindow* w) {
  return partNamed<QCheckBox>(*w, "CheckBox3");
}
QCheckBox* autoScanCheckBox(const OptionsWindow* w) {
  return partNamed<QCheckBox>(*w, "CheckBox1");
}
QCheckBox* clantagsCheckBox(const OptionsWindow* w) {
  return partNamed<QCheckBox>(*w, "CheckBox2");
}
QLabel* fastLabel(const OptionsWindow* w) { return partNamed<QLabel>(*w, "Label1"); }
QLabel* slowLabel(const OptionsWindow* w) { return partNamed<QLabel>(*w, "Label2"); }
QPushButton* aboutButton(const OptionsWindow* w) { return partNamed<QPushButton>(*w, "Button4"); }
LinkLabel* supportLink(const OptionsWindow* w) { return partNamed<LinkLabel>(*w, "Legacy2"); }
QPushButton* importSslfButton(const OptionsWindow* w) {
  return partNamed<QPushButton>(*w, "Button7");
}
QPushButton* importTextListButton(const OptionsWindow* w) {
  return partNamed<QPushButton>(*w, "Button5");
}
QMenu* listMenu(const OptionsWindow* w) { return partNamed<QMenu>(*w, "PopupMenu1"); }
QTreeWidget* serverListView(const OptionsWindow* w) {
  return partNamed<QTreeWidget>(*w, "ListView1");
}
QPushButton* mohaaBrowseButton(const OptionsWindow* w) {
  return partNamed<QPushButton>(*w, "Button3");
}
QPushButton* spearheadBrowseButton(const OptionsWindow* w) {
  return partNamed<QPushButton>(*w, "Button6");
}
// The caption above a labeled edit.
QLabel* editLabel(const QLineEdit* edit) {
  return partNamed<QLabel>(*edit->parent(), edit->objectName() + "Label");
}

void selectList(OptionsWindow* w, const QString& name) {
  const auto found = serverListView(w)->findItems(name, Qt::MatchExactly);
  QVERIFY(!found.isEmpty());
  serverListView(w)->setCurrentItem(found.first());
}

std::vector<std::string> configOnDisk() { return readLines("Config"); }

QStringList serverNames(MainWindow* f) {
  QStringList out;
  for (int i = 0; i < serverRowCount(*f); ++i) out << serverRow(*f, i)->text(2);
  return out;
}

}  // namespace

class TestOptions : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { initResources(); }

  void showFillsFromSettingsAndClampsTheSaveTimeout() {
    ProgramFixture fx;
    fx.dir().writeInstallation({"A", "127.0.0.1", "1"});
    fx.dir().writeLines("Config", test::configLines("timer on", "Serverlists\\Standard",
                                                    "clantags on", "Nick", "pw", "800", "save"));
    Application& app = fx.start();
    MainWindow* f = app.mainWindow();
    OptionsWindow* w = app.options();
    QCOMPARE(app.settings().config().scanTimeout, 10000);
    QCOMPARE(app.settings().config().speedSetting, 800);

    w->show();
    QCOMPARE(w->windowTitle(), QString("Options"));
    QCOMPARE(speedSlider(w)->value(), 5000);
    QCOMPARE(app.settings().config().scanTimeout, 5000);
    QCOMPARE(app.settings().config().speedSetting, 5000);
    QCOMPARE(speedLabel(w)->text(), QString("choose your speed: 5 sec"));
    QCOMPARE(nicknameEdit(w)->text(), QString("Nick"));
    QCOMPARE(passwordEdit(w)->text(), QString("pw"));
    QCOMPARE(mohaaPathEdit(w)->text(), QString("/games/MOHAA.exe"));
    QCOMPARE(spearheadPathEdit(w)->text(), QString("/games/moh_spearhead.exe"));
    QVERIFY(safeScanCheckBox(w)->isChecked());
    QVERIFY(autoScanCheckBox(w)->isChecked());
    QVERIFY(clantagsCheckBox(w)->isChecked());
    QVERIFY(!autoScanCheckBox(w)->isVisible());
    QVERIFY(!safeScanCheckBox(w)->isVisible());
    QCOMPARE(editLabel(mohaaPathEdit(w))->text(), QString("MoH:AA path"));
    QCOMPARE(editLabel(spearheadPathEdit(w))->text(), QString("Spearhead path"));
    QCOMPARE(fastLabel(w)->toolTip(), QString("DSL connection or better"));
    QCOMPARE(slowLabel(w)->toolTip(), QString("Modem connection or E-Donky"));
    QCOMPARE(aboutButton(w)->text(), QString("About Tarvix 2.10"));
    QCOMPARE(supportLink(w)->text(), QString("Tarvix support - help"));
    // The link: bold navy Tahoma, teal under the mouse, a web address.
    QCOMPARE(supportLink(w)->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    QCOMPARE(supportLink(w)->activeColour(), QColor(0, 128, 128));
    QCOMPARE(supportLink(w)->font().family(), QString("Tahoma"));
    QVERIFY(supportLink(w)->font().bold());
    QVERIFY(supportLink(w)->target().scheme().startsWith("http"));
    QCOMPARE(importSslfButton(w)->toolTip(), QString("Imports an HLSW list"));
    QCOMPARE(importTextListButton(w)->toolTip(),
             QString("Imports an ALL SEEING EYE Serverlist text"));
    QCOMPARE(listMenu(w)->actions().size(), 3);
    QCOMPARE(listMenu(w)->actions()[0]->text(), QString("delete list"));
    QCOMPARE(listMenu(w)->actions()[1]->text(), QString("select list"));
    QCOMPARE(listMenu(w)->actions()[2]->text(), QString("export as SSLF"));

    // Boxes are never cleared by showing, and a short time-out is left alone.
    w->hide();
    setConfigValue(app.settings(), &Config::clantagsOn, false);
    setConfigValue(app.settings(), &Config::scanTimeout, 300);
    autoScanTimer(*f)->stop();
    w->show();
    QVERIFY(clantagsCheckBox(w)->isChecked());
    QVERIFY(autoScanCheckBox(w)->isChecked());
    QCOMPARE(speedSlider(w)->value(), 300);
    QCOMPARE(app.settings().config().scanTimeout, 300);
    QCOMPARE(speedLabel(w)->text(), QString("choose your speed: 0 sec"));
    w->hide();
    QVERIFY(fx.dialogs().errors.isEmpty());
  }

  void speedBarLabelAndBoxesChangeTheSettings() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    Application& app = fx.start();
    MainWindow* f = app.mainWindow();
    OptionsWindow* w = app.options();
    w->show();
    speedSlider(w)->setValue(999);
    QCOMPARE(speedLabel(w)->text(), QString("choose your speed: 0 sec"));
    QCOMPARE(app.settings().config().scanTimeout, 999);
    QCOMPARE(app.settings().config().speedSetting, 999);
    speedSlider(w)->setValue(1000);
    QCOMPARE(speedLabel(w)->text(), QString("choose your speed: 1 sec"));
    speedSlider(w)->setValue(100);
    QCOMPARE(app.settings().config().scanTimeout, 250);
    speedSlider(w)->setValue(9000);
    QCOMPARE(app.settings().config().scanTimeout, 5000);
    speedSlider(w)->setValue(1200);

    safeScanCheckBox(w)->setChecked(true);
    QVERIFY(app.settings().config().safeScan);
    QCOMPARE(app.settings().config().scanTimeout, 5000);
    QCOMPARE(app.settings().config().speedSetting, 1200);
    safeScanCheckBox(w)->setChecked(false);
    QVERIFY(!app.settings().config().safeScan);
    QCOMPARE(app.settings().config().scanTimeout, 1200);

    autoScanCheckBox(w)->setChecked(true);
    QVERIFY(autoScanTimer(*f)->isActive());
    autoScanCheckBox(w)->setChecked(false);
    QVERIFY(!autoScanTimer(*f)->isActive());
    clantagsCheckBox(w)->setChecked(true);
    QVERIFY(app.settings().config().clantagsOn);
    clantagsCheckBox(w)->setChecked(false);
    QVERIFY(!app.settings().config().clantagsOn);

    QTest::keyClicks(nicknameEdit(w), "X");
    QCOMPARE(app.settings().config().playerName, std::string("PlayerX"));
    passwordEdit(w)->setText("se\"cret");
    QCOMPARE(app.settings().config().serverPassword, std::string("se\"cret"));
    mohaaPathEdit(w)->setText("/a/MOHAA.exe");
    spearheadPathEdit(w)->setText(QString::fromUtf8("/b/\xc3\xa9/moh_spearhead.exe"));
    QCOMPARE(app.settings().config().mohaaPath, std::string("/a/MOHAA.exe"));
    // A path is the system's file name, not data text.
    QCOMPARE(app.settings().config().spearheadPath, std::string("/b/\xc3\xa9/moh_spearhead.exe"));

    // Nickname and password take only what the code page holds.
    nicknameEdit(w)->setText("Player");
    nicknameEdit(w)->insert(
        QString::fromUtf8("\xe2\x82\xac\xc5\x81"));  // the euro sign, then L-stroke
    QCOMPARE(nicknameEdit(w)->text(), QString("Player"));
    QTRY_COMPARE(fx.dialogs().errors, QStringList{codePageRefusal(QString::fromUtf8("\xc5\x81"))});
    QCOMPARE(fx.dialogs().parents.last(), w);
    nicknameEdit(w)->insert(QString::fromUtf8("\xe2\x82\xac"));
    QCOMPARE(app.settings().config().playerName, std::string("Player\x80"));
    w->hide();
  }

  void everyHideWritesConfig() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    Application& app = fx.start();
    OptionsWindow* w = app.options();

    w->show();
    nicknameEdit(w)->setText("Closer");
    safeScanCheckBox(w)->setChecked(true);
    speedSlider(w)->setValue(700);
    QVERIFY(w->close());  // the system menu's close
    std::vector<std::string> cfg = configOnDisk();
    QCOMPARE(cfg.size(), std::size_t(12));
    QCOMPARE(cfg[0], std::string("timer off"));
    QCOMPARE(cfg[1], std::string("Serverlists\\Standard"));
    QCOMPARE(cfg[2], std::string("clantags off"));
    QCOMPARE(cfg[3], std::string("Closer"));
    QCOMPARE(cfg[7], std::string("700"));
    QCOMPARE(cfg[8], std::string("save"));
    QCOMPARE(cfg[9], std::string("false"));
    QCOMPARE(cfg[10], std::string("0"));
    QCOMPARE(cfg[11], std::string("//Quellis Config - Dont change this file !"));

    // "About" hides this window (writing Config) and shows the credits;
    // a click on the picture comes back.
    w->show();
    nicknameEdit(w)->setText("About");
    QTest::mouseClick(aboutButton(w), Qt::LeftButton);
    QVERIFY(!w->isVisible());
    QVERIFY(app.credits()->isVisible());
    QCOMPARE(configOnDisk()[3], std::string("About"));
    QCOMPARE(app.credits()->size(), QSize(249, 249));
    QVERIFY(app.credits()->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(app.credits()->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!partNamed<QLabel>(*app.credits(), "Image1")->pixmap().isNull());
    QVERIFY(partNamed<QLabel>(*app.credits(), "Image1")->isVisible());
    QTest::mouseClick(partNamed<QLabel>(*app.credits(), "Image1"), Qt::LeftButton);
    QVERIFY(!app.credits()->isVisible());
    QVERIFY(w->isVisible());

    // The fourth banner shows the second picture.
    setConfigValue(app.settings(), &Config::bannerIndex, "3");
    w->hide();
    app.credits()->show();
    QVERIFY(partNamed<QLabel>(*app.credits(), "Image2")->isVisible());
    QVERIFY(!partNamed<QLabel>(*app.credits(), "Image1")->isVisible());
    app.credits()->hide();

    // A Config that cannot be written is reported and the window still hides.
    w->show();
    {
      ReadHold hold("Config");
      w->hide();
    }
    QCOMPARE(fx.dialogs().errors.size(), 1);
  }

  void pickersSetThePathAndKeepTheDirectory() {
    ProgramFixture fx;
    fx.dir().writeInstallation({"Quiet", "127.0.0.1", "1"});
    // The file dialog browses to another folder before it answers.
    fx.dialogs().whileFileDialogOpen = [] { QDir::setCurrent(QDir::tempPath()); };
    Application& app = fx.start();
    OptionsWindow* w = app.options();
    w->show();
    const QString here = QDir::currentPath();
    fx.dir().write("games/MOHAA.exe", "MZ");
    fx.dialogs().files.push_back(QString::fromStdString(fx.dir().path() + "/games/MOHAA.exe"));
    mohaaBrowseButton(w)->click();
    QCOMPARE(QDir::currentPath(), here);
    QCOMPARE(mohaaPathEdit(w)->text(),
             QString::fromStdString(fx.dir().path() + "/games/MOHAA.exe"));
    QCOMPARE(app.settings().config().mohaaPath, fx.dir().path() + "/games/MOHAA.exe");

    // Cancel keeps the field; a running scan refuses without a dialog.
    spearheadBrowseButton(w)->click();
    QCOMPARE(fx.dialogs().filters.size(), 2);
    QCOMPARE(spearheadPathEdit(w)->text(), QString());
    QVERIFY(startWaitingScan(*app.mainWindow(), app.settings()));
    mohaaBrowseButton(w)->click();
    spearheadBrowseButton(w)->click();
    QCOMPARE(fx.dialogs().filters.size(), 2);
    stopScanButton(*app.mainWindow())->click();
    w->hide();
  }

  void listViewShowsListsSorted() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    fx.dir().write("Serverlists/zeta", "");
    fx.dir().write("Serverlists/Alpha", "");
    fx.dir().write("Serverlists/beta", "");
    fx.dir().write("Serverlists/my.list", "");
    Application& app = fx.start();
    app.options()->show();
    QCOMPARE(columnTexts(serverListView(app.options())),
             QStringList({"Alpha", "beta", "Standard", "zeta"}));
    // Showing again does not duplicate rows.
    app.options()->hide();
    app.options()->show();
    QCOMPARE(serverListView(app.options())->topLevelItemCount(), 4);
    app.options()->hide();
  }

  void selectingAListLoadsItAndStartsAScan() {
    ProgramFixture fx;
    FakeGameServer server;
    server.setReply(
        test::makeStatusReply("\\sv_hostname\\S\\mapname\\dm/mohdm1\\sv_maxclients\\8", {}));
    const std::string port = server.portText();
    fx.dir().writeInstallation({"Std", "127.0.0.1", port});
    fx.dir().writeLines("Serverlists/Team", {"One", "127.0.0.1", port, "Two", "127.0.0.1", port});
    Application& app = fx.start();
    MainWindow* f = app.mainWindow();
    OptionsWindow* w = app.options();
    w->show();
    // No selection: nothing happens.
    w->selectList();
    QVERIFY(w->isVisible());
    QCOMPARE(app.settings().config().serverListPath, std::string("Serverlists\\Standard"));

    selectList(w, "Team");
    w->selectList();
    QVERIFY(!w->isVisible());
    QCOMPARE(app.settings().config().serverListPath, std::string("Serverlists\\Team"));
    QCOMPARE(configOnDisk()[1], std::string("Serverlists\\Team"));
    QCOMPARE(serverNameList(*f)->count(), 2);
    QCOMPARE(serverNames(f), QStringList({"One", "Two"}));
    QCOMPARE(buddyView(*f)->headerItem()->text(0), QString("No Buddys online"));
    QCOMPARE(scanProgress(*f)->maximum(), 2);
    QVERIFY(f->scanRunning());  // a new pass started
    QTRY_VERIFY_WITH_TIMEOUT(!f->scanRunning(), 10000);
    QCOMPARE(f->statusText(), QString("2 servers in Serverlists\\Team"));
    QVERIFY(server.receivedCount() >= 2);
    QVERIFY(fx.dialogs().errors.isEmpty());
  }

  void selectingDuringAScanStopsItFirst() {
    ProgramFixture fx;
    FakeGameServer silent;  // never answers: the first pass stays busy
    const std::string port = silent.portText();
    std::vector<std::string> std10;
    for (int i = 0; i < 10; ++i) {
      std10.push_back("S" + std::to_string(i));
      std10.push_back("127.0.0.1");
      std10.push_back(port);
    }
    fx.dir().writeInstallation(std10);
    fx.dir().writeLines("Config", test::configLines("timer off", "Serverlists\\Standard",
                                                    "clantags off", "N", "", "2000", "fast"));
    fx.dir().writeLines("Serverlists/Team", {"One", "127.0.0.1", port});
    Application& app = fx.start();
    MainWindow* f = app.mainWindow();
    f->startScan();
    QVERIFY(f->scanRunning());
    QVERIFY(silent.waitForCount(1, 5000));
    app.options()->show();
    selectList(app.options(), "Team");
    app.options()->selectList();
    QCOMPARE(serverNames(f), QStringList({"One"}));
    QVERIFY(f->scanRunning());  // the new pass over Team
    f->stopScan();
    QVERIFY(!f->scanRunning());
    QCOMPARE(serverRow(*f, 0)->text(2), QString("One"));
  }

  void aMissingListIsReportedAndNothingChangesOnScreen() {
    ProgramFixture fx;
    fx.dir().writeInstallation({"A", "127.0.0.1", "1"});
    fx.dir().write("Serverlists/Gone", "");
    Application& app = fx.start();
    app.options()->show();
    selectList(app.options(), "Gone");
    deleteFile("Serverlists\\Gone");
    app.options()->selectList();
    QCOMPARE(fx.dialogs().errors.size(), 1);
    QVERIFY(app.options()->isVisible());
    QVERIFY(!app.mainWindow()->scanRunning());
    app.options()->hide();
  }

  void deletingAListMakesStandardCurrent() {
    ProgramFixture fx;
    fx.dir().writeInstallation({"Std1", "127.0.0.1", "1", "Std2", "127.0.0.1", "2"});
    fx.dir().writeLines("Serverlists/Team", {"T", "127.0.0.1", "3"});
    fx.dir().writeLines("Serverlists/Other", {"O", "127.0.0.1", "4"});
    fx.dir().writeLines("Config", test::configLines("timer off", "Serverlists\\Team",
                                                    "clantags off", "N", "", "500", "fast"));
    Application& app = fx.start();
    MainWindow* f = app.mainWindow();
    OptionsWindow* w = app.options();
    QCOMPARE(serverNames(f), QStringList({"T"}));
    w->show();

    // Standard is never deleted and nothing is asked.
    selectList(w, "Standard");
    w->deleteList();
    QVERIFY(fx.dialogs().questions.isEmpty());
    QVERIFY(fx.dir().exists("Serverlists/Standard"));

    // No keeps the list.
    selectList(w, "Other");
    w->deleteList();
    QCOMPARE(fx.dialogs().questions.last(), QString("Delete List Other ?"));
    QVERIFY(fx.dir().exists("Serverlists/Other"));

    // Deleting a list that is not the current one still makes Standard current.
    fx.dialogs().answers.push_back(true);
    w->deleteList();
    QVERIFY(!fx.dir().exists("Serverlists/Other"));
    QCOMPARE(app.settings().config().serverListPath, std::string("Serverlists\\Standard"));
    QCOMPARE(configOnDisk()[1], std::string("Serverlists\\Standard"));
    QCOMPARE(serverNames(f), QStringList({"Std1", "Std2"}));
    QCOMPARE(serverNameList(*f)->count(), 2);
    QCOMPARE(f->statusText(), QString("2 servers in Serverlists\\Standard"));
    QVERIFY(w->isVisible());
    QCOMPARE(columnTexts(serverListView(w)), QStringList({"Standard", "Team"}));

    // Refused while a scan runs.
    selectList(w, "Team");
    QVERIFY(startWaitingScan(*f, app.settings()));
    w->deleteList();
    stopScanButton(*f)->click();
    QCOMPARE(fx.dialogs().questions.size(), 2);
    w->hide();
  }

  void emptyStandardAfterDeleteLeavesTheWindowHidden() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    fx.dir().writeLines("Serverlists/Team", {"T", "127.0.0.1", "3"});
    fx.dialogs().answers.push_back(true);
    Application& app = fx.start();
    app.options()->show();
    selectList(app.options(), "Team");
    app.options()->deleteList();
    QVERIFY(!app.options()->isVisible());
    QCOMPARE(serverRowCount(*app.mainWindow()), 0);
    QCOMPARE(app.mainWindow()->statusText(), QString("0 servers in Serverlists\\Standard"));
  }

  void exportThenImportGivesTheSameServers() {
    ProgramFixture fx;
    fx.dir().writeInstallation({"Alpha", "127.0.0.3", "12203", "Be\"ta x", "127.0.0.4", "80"});
    fx.dir().writePasswords({"127.0.0.312203", "joinme", "127.0.0.312203", "rcon:secret"});
    fx.dir().write("out/.keep", "");
    Application& app = fx.start();
    OptionsWindow* w = app.options();
    w->show();
    selectList(w, "Standard");
    const QString chosen = QString::fromStdString(fx.dir().path() + "/out/x.sslf");
    fx.dialogs().files.push_back(chosen);
    w->exportListAsSslf();
    QCOMPARE(fx.dialogs().presets, QStringList({"Standard"}));
    QVERIFY(fx.dir().exists("out/x.sslf.sslf"));
    const std::string exported = fx.dir().read("out/x.sslf.sslf");
    QVERIFY(contains(exported, "Server=MoHAA 127.0.0.3:12203 joinme \"Alpha\"\r\n"));
    QVERIFY(contains(exported, "Server=MoHAA 127.0.0.4:80 \"\" \"Be\"ta x\"\r\n"));

    // Import: declined first, then accepted; the list view shows the new list.
    fx.dialogs().files.push_back(chosen + ".sslf");
    w->importSslfFile();
    QCOMPARE(fx.dialogs().questions.last(), QString("Import HLSW list ?"));
    QVERIFY(!fx.dir().exists("Serverlists/x"));
    fx.dialogs().files.push_back(chosen + ".sslf");
    fx.dialogs().answers.push_back(true);
    w->importSslfFile();
    QCOMPARE(fx.dialogs().filters.last(), QString("sslf (*.sslf)"));
    QCOMPARE(fx.dir().read("Serverlists/x"),
             test::crlf({"Alpha", "127.0.0.3", "12203", "Beta x", "127.0.0.4", "80"}));
    QVERIFY(
        contains(fx.dir().read("Passwords.txt"), "rcon:secret\r\n127.0.0.312203\r\njoinme\r\n"));
    QVERIFY(columnTexts(serverListView(w)).contains("x"));
    QVERIFY(w->isVisible());

    // Cancel and scanning do nothing.
    const int asked = fx.dialogs().questions.size();
    w->importSslfFile();
    QVERIFY(startWaitingScan(*app.mainWindow(), app.settings()));
    w->importSslfFile();
    w->importTextListFile();
    w->exportListAsSslf();
    stopScanButton(*app.mainWindow())->click();
    QCOMPARE(fx.dialogs().questions.size(), asked);
    QCOMPARE(fx.dialogs().presets.size(), 1);
    w->hide();
  }

  void importOverTheCurrentListAsksAndShowsTheNewList() {
    ProgramFixture fx;
    fx.dir().writeInstallation({"Old1", "127.0.0.1", "1", "Old2", "127.0.0.1", "2"});
    fx.dir().writeLines("in/Standard.txt", {"New|127.0.0.1:3"});
    Application& app = fx.start();
    OptionsWindow* w = app.options();
    w->show();
    const QString file = QString::fromStdString(fx.dir().path() + "/in/Standard.txt");
    // The second question names the list it would replace and its size.
    fx.dialogs().files.push_back(file);
    fx.dialogs().answers = {true, false};
    w->importTextListFile();
    QCOMPARE(fx.dialogs().questions.last(),
             QString("Replace the list Standard, which holds 2 servers now ?"));
    QCOMPARE(fx.dir().read("Serverlists/Standard"),
             test::crlf({"Old1", "127.0.0.1", "1", "Old2", "127.0.0.1", "2"}));
    QCOMPARE(serverRowCount(*app.mainWindow()), 2);

    fx.dialogs().files.push_back(file);
    fx.dialogs().answers = {true, true};
    w->importTextListFile();
    QCOMPARE(fx.dir().read("Serverlists/Standard"), test::crlf({"New", "127.0.0.1", "3"}));
    // The main window shows the list as the file holds it now.
    QCOMPARE(serverRowCount(*app.mainWindow()), 1);
    QCOMPARE(serverRow(*app.mainWindow(), 0)->text(2), QString("New"));
    stopScanButton(*app.mainWindow())->click();
    w->hide();
  }

  void importsTakeSystemFileNamesAndAskAboveTheWindow() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    fx.dir().writeLines("in/caf\xc3\xa9.sslf", {"Server=MoHAA 1.1.1.1:1 \"\" \"Open\""});
    fx.dir().writeLines("in/\xd0\xa1\xd0\xb5.txt", {"A|1.2.3.4:80"});
    Application& app = fx.start();
    OptionsWindow* w = app.options();
    w->show();
    fx.dialogs().files.push_back(QString::fromStdString(fx.dir().path() + "/in/caf\xc3\xa9.sslf"));
    fx.dialogs().answers.push_back(true);
    w->importSslfFile();
    QCOMPARE(fx.dialogs().errors, QStringList());
    // The box and the file dialog open above the always-on-top Options window.
    QCOMPARE(fx.dialogs().parents, QList<QWidget*>{w});
    QCOMPARE(fx.dialogs().fileParents, QList<QWidget*>{w});
    QCOMPARE(fx.dir().read("Serverlists/caf\xe9"), test::crlf({"Open", "1.1.1.1", "1"}));
    QVERIFY(columnTexts(serverListView(w)).contains(QString::fromUtf8("caf\xc3\xa9")));

    // A name the code page cannot hold cannot name a list.
    fx.dialogs().files.push_back(
        QString::fromStdString(fx.dir().path() + "/in/\xd0\xa1\xd0\xb5.txt"));
    fx.dialogs().answers.push_back(true);
    w->importTextListFile();
    QCOMPARE(fx.dialogs().errors, QStringList{codePageRefusal(QString::fromUtf8("\xd0\xa1"))});
    QCOMPARE(fx.dialogs().parents.last(), w);
    QCOMPARE(columnTexts(serverListView(w)).size(), 2);
    w->hide();
  }

  void importTextListAndFileErrors() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    fx.dir().writeLines("in/ase.TXT", {"My|Server|1.2.3.4:80", "NoColon", ""});
    Application& app = fx.start();
    OptionsWindow* w = app.options();
    w->show();
    fx.dialogs().files.push_back(QString::fromStdString(fx.dir().path() + "/in/ase.TXT"));
    fx.dialogs().answers.push_back(true);
    w->importTextListFile();
    QCOMPARE(fx.dialogs().questions.last(), QString("Sure text is formated: Name|Ip:Port ?"));
    QCOMPARE(fx.dialogs().filters.last(), QString("txt (*.txt);;all files (*)"));
    QCOMPARE(fx.dir().read("Serverlists/ase"),
             test::crlf({"My|Server", "1.2.3.4", "80", "", "", "NoColon", "", "", ""}));
    QVERIFY(columnTexts(serverListView(w)).contains("ase"));

    // A password line with Passwords.txt missing stops the import with a box.
    deleteFile("Passwords.txt");
    fx.dir().writeLines("in/Team.sslf", {"Server=MoHAA 1.1.1.1:1 \"\" \"Open\"",
                                         "Server=MoHAA 2.2.2.2:2 pw \"Locked\""});
    fx.dialogs().files.push_back(QString::fromStdString(fx.dir().path() + "/in/Team.sslf"));
    fx.dialogs().answers.push_back(true);
    w->importSslfFile();
    QCOMPARE(fx.dialogs().errors.size(), 1);
    QCOMPARE(fx.dir().read("Serverlists/Team").substr(0, 6), std::string("Open\r\n"));

    // An export into a folder that does not exist is reported.
    selectList(w, "Standard");
    fx.dialogs().files.push_back(QString::fromStdString(fx.dir().path() + "/nowhere/x"));
    w->exportListAsSslf();
    QCOMPARE(fx.dialogs().errors.size(), 2);
    w->hide();
  }
};

QTEST_MAIN(TestOptions)
#include "TestOptions.moc"
