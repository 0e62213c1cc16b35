// "master servers": opened from Options, shows the stored discovery settings
// (the known masters, Allied Assault and Spearhead, no refresh at start until
// the user chose), stores them on "OK" only, refuses a line that is no
// master address, and closes on Escape without storing.
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "app/core/ServerDiscovery.h"
#include "components/IniSettings.h"
#include "lists/MasterServersWindow.h"
#include "support/TempDataDir.h"
#include "support/qt/ProgramFixture.h"
#include "support/qt/ScriptedDialogs.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {

template <typename T>
T* child(QWidget* w, const char* name) {
  T* c = w->findChild<T*>(name);
  if (!c) qFatal("no %s", name);
  return c;
}

QStringList asLines(const std::vector<std::string>& v) {
  QStringList out;
  for (const std::string& s : v) out << QString::fromStdString(s);
  return out;
}

}  // namespace

class TestMasterServers : public QObject {
  Q_OBJECT

 private slots:
  void openedFromOptionsWithTheDefaults() {
    ProgramFixture fx;
    fx.dir().writeInstallation({});
    Application& app = fx.start();
    app.options()->show();
    auto* button = child<QPushButton>(app.options(), "MasterServersButton");
    QCOMPARE(button->text(), QString("master servers..."));
    QVERIFY(app.options()->rect().contains(button->geometry()));
    QTest::mouseClick(button, Qt::LeftButton);
    MasterServersWindow* w = app.masterServers();
    QVERIFY(w->isVisible());
    QCOMPARE(w->windowTitle(), QString("master servers"));

    QStringList known;
    for (const MasterAddress& m : defaultMasters())
      known << QString::fromStdString(m.host) + ":" + QString::number(m.port);
    QVERIFY(!known.isEmpty());
    QCOMPARE(child<QPlainTextEdit>(w, "MastersEdit")->toPlainText().split('\n'), known);
    QVERIFY(child<QCheckBox>(w, "AlliedAssaultCheckBox")->isChecked());
    QVERIFY(child<QCheckBox>(w, "SpearheadCheckBox")->isChecked());
    QVERIFY(!child<QCheckBox>(w, "BreakthroughCheckBox")->isChecked());
    QVERIFY(!child<QCheckBox>(w, "RefreshAtStartCheckBox")->isChecked());
    // Nothing is stored by looking.
    QVERIFY(!fx.dir().exists("tarvix.ini") ||
            fx.dir().read("tarvix.ini").find("masters") == std::string::npos);
  }

  void okStoresEscapeDoesNot() {
    TempDataDir dir;
    dir.writeInstallation({});
    ScriptedDialogs d;
    MasterServersWindow w;
    w.show();
    auto* edit = child<QPlainTextEdit>(&w, "MastersEdit");
    edit->setPlainText(" 127.0.0.1:1 \n\nmaster.example:65535\nbare.example\n");
    child<QCheckBox>(&w, "SpearheadCheckBox")->setChecked(false);
    child<QCheckBox>(&w, "BreakthroughCheckBox")->setChecked(true);
    child<QCheckBox>(&w, "RefreshAtStartCheckBox")->setChecked(true);
    QTest::mouseClick(child<QPushButton>(&w, "OkButton"), Qt::LeftButton);
    QVERIFY(d.errors.isEmpty());
    QVERIFY(!w.isVisible());
    IniSettings ini;
    QCOMPARE(asLines(ini.masterServers()),
             QStringList({"127.0.0.1:1", "master.example:65535", "bare.example:28900"}));
    QCOMPARE(asLines(ini.discoveryGames()), QStringList({"mohaa", "mohaab"}));
    QVERIFY(ini.refreshAtStart());

    // Escape leaves the stored settings alone.
    w.show();
    QCOMPARE(edit->toPlainText().split('\n').size(), 3);
    edit->setPlainText("other.example");
    child<QCheckBox>(&w, "RefreshAtStartCheckBox")->setChecked(false);
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(!w.isVisible());
    QCOMPARE(ini.masterServers().size(), std::size_t(3));
    QVERIFY(ini.refreshAtStart());

    // An empty master list is kept empty, not replaced by the known masters.
    w.show();
    edit->clear();
    QTest::mouseClick(child<QPushButton>(&w, "OkButton"), Qt::LeftButton);
    QVERIFY(ini.masterServers().empty());
    QVERIFY(ini.masterAddresses().empty());
    // "defaults" brings the known masters back into the edit.
    w.show();
    QTest::mouseClick(child<QPushButton>(&w, "DefaultMastersButton"), Qt::LeftButton);
    QCOMPARE(edit->toPlainText().split('\n').size(),
             static_cast<qsizetype>(defaultMasters().size()));
  }

  void refusals_data() {
    QTest::addColumn<QString>("masters");
    QTest::addColumn<bool>("anyGame");
    QTest::addColumn<QString>("says");
    QTest::newRow("port 0") << "good.example\nbad.example:0" << true << "Line 2 ";
    QTest::newRow("port 65536") << "bad.example:65536" << true << "Line 1 ";
    QTest::newRow("no host") << ":28900" << true << "\":28900\"";
    QTest::newRow("blank inside") << "bad example" << true << "\"bad example\"";
    QTest::newRow("port text") << "bad.example:x" << true << "HOST:PORT";
    QTest::newRow("not ascii") << "bäd.example" << true << "Line 1 ";
    QTest::newRow("no game") << "good.example" << false << "at least one game";
  }

  void refusals() {
    QFETCH(QString, masters);
    QFETCH(bool, anyGame);
    QFETCH(QString, says);
    TempDataDir dir;
    dir.writeInstallation({});
    ScriptedDialogs d;
    MasterServersWindow w;
    w.show();
    child<QPlainTextEdit>(&w, "MastersEdit")->setPlainText(masters);
    for (const char* box : {"AlliedAssaultCheckBox", "SpearheadCheckBox", "BreakthroughCheckBox"})
      child<QCheckBox>(&w, box)->setChecked(anyGame && QByteArray(box) == "SpearheadCheckBox");
    QTest::mouseClick(child<QPushButton>(&w, "OkButton"), Qt::LeftButton);
    QCOMPARE(d.errors.size(), 1);
    QVERIFY2(d.errors.first().contains(says), qPrintable(d.errors.first()));
    QCOMPARE(d.parents.first(), &w);
    QVERIFY(w.isVisible());
    // Nothing stored: the defaults still read back.
    QCOMPARE(IniSettings().masterServers().size(), defaultMasters().size());
    QCOMPARE(IniSettings().discoveryGames().size(), std::size_t(2));
  }
};

QTEST_MAIN(TestMasterServers)
#include "TestMasterServers.moc"
