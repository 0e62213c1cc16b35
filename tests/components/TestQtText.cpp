// The byte-text conversions of the windows: Windows-1252, every byte kept.
#include <QtTest>

#include "components/QtText.h"

using namespace tarvix;

class TestQtText : public QObject {
  Q_OBJECT

 private slots:
  void everyByteSurvivesAWindow() {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const QString shown = toQString(all);
    QCOMPARE(shown.size(), 256);
    QCOMPARE(toBytes(shown), all);
    QCOMPARE(toCodePageBytes(shown), std::optional<std::string>(all));
    // The code page's own characters display as themselves.
    QCOMPARE(toQString("\x80"
                       "Clan \x8A"
                       "koda \x9F"),
             QString::fromUtf8("€Clan Škoda Ÿ"));
  }

  void aCharacterTheCodePageCannotHoldIsRefusedByName() {
    QString refused;
    QCOMPARE(toCodePageBytes(QString::fromUtf8("€Clan Łukasz"), &refused), std::nullopt);
    QCOMPARE(refused, QString::fromUtf8("Ł"));
    QCOMPARE(toCodePageBytes(QString::fromUtf8("ok 😀"), &refused), std::nullopt);
    QCOMPARE(refused, QString::fromUtf8("😀"));
    QVERIFY(codePageRefusal(refused).contains(refused));
    QCOMPARE(toCodePageBytes(QString::fromUtf8("€Clan Škoda")),
             std::optional<std::string>("\x80"
                                        "Clan \x8A"
                                        "koda"));
    // The unchecked conversion keeps its stand-in for callers that cannot refuse.
    QCOMPARE(toBytes(QString::fromUtf8("€Clan Łukasz")), std::string("\x80"
                                                                     "Clan ?ukasz"));
  }

  // A file name from a file dialog is UTF-8; a list named in the data is in
  // the code page. Both read right in an error box.
  void errorTextsShowFileNamesInTheirOwnEncoding() {
    QCOMPARE(errorText("Cannot open file \"/home/b/caf\xC3\xA9.sslf\". No such file"),
             QString::fromUtf8("Cannot open file \"/home/b/café.sslf\". No such file"));
    QCOMPARE(errorText("Cannot open file \"Serverlists/caf\xE9\". No such file"),
             QString::fromUtf8("Cannot open file \"Serverlists/café\". No such file"));
  }
};

QTEST_GUILESS_MAIN(TestQtText)
#include "TestQtText.moc"
