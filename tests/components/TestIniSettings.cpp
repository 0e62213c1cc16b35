// tarvix.ini is read and written without Qt in the format QSettings uses:
// what either writes, the other reads back unchanged.
#include <QSettings>
#include <QtTest>

#include "store/IniFile.h"
#include "support/TempDataDir.h"

using namespace tarvix;

namespace {

enum class Kind { Flag, Number, Text, List, Bytes };

struct Case {
  const char* key;
  Kind kind;
  std::vector<std::string> items;  // UTF-8; bytes as they are
};

const std::vector<Case> kCases{
    {"Scan/parallel", Kind::Flag, {"true"}},
    {"Scan/retries", Kind::Number, {"3"}},
    {"top", Kind::Text, {"plain"}},
    {"FileDialogs/folder",
     Kind::Text,
     {"/home/\xC3\xBC\t\x01"
      "1x\\ \"end\" "}},
    {"Browser/filterText", Kind::Text, {"a=b;c\x7F\xC2\x85"}},
    {"a b/@key \xC3\xA9", Kind::Text, {"@at"}},
    {"discovery/masters", Kind::List, {"a:1", "b , c", " lead", "@at", ""}},
    {"discovery/games", Kind::List, {"only"}},
    {"discovery/none", Kind::List, {}},
    {"discovery/fetchedDigests/4142",
     Kind::Bytes,
     {std::string("\x01\0\x9a"
                  "a,\xff"
                  "1",
                  7)}},
    {"LastScan/Serverlists%5CStd%20%C3%A9", Kind::Text, {"[[\"\xC3\xA9\",\"b\"]]"}},
};

QVariant qtValue(const Case& c) {
  QStringList list;
  for (const std::string& s : c.items) list << QString::fromStdString(s);
  switch (c.kind) {
    case Kind::Flag:
      return c.items[0] == "true";
    case Kind::Number:
      return std::stoi(c.items[0]);
    case Kind::Text:
      return list[0];
    case Kind::List:
      return list;
    case Kind::Bytes:
      return QByteArray::fromStdString(c.items[0]);
  }
  return {};
}

}  // namespace

class TestIniSettings : public QObject {
  Q_OBJECT

 private slots:
  void eachReadsWhatTheOtherWrote() {
    test::TempDataDir dir;
    {
      QSettings qt("qt.ini", QSettings::IniFormat);
      for (const Case& c : kCases) qt.setValue(QString::fromStdString(c.key), qtValue(c));
    }
    const IniFile fromQt = IniFile::load("qt.ini");
    IniFile ours;
    for (const Case& c : kCases) {
      const QByteArray key(c.key);
      if (c.kind == Kind::Flag) {
        QCOMPARE(fromQt.flag(c.key, false), true);
        ours.setFlag(c.key, true);
      } else if (c.kind == Kind::Number) {
        QCOMPARE(fromQt.number(c.key, 0), 3);
        ours.setNumber(c.key, 3);
      } else if (c.kind == Kind::List) {
        QCOMPARE(fromQt.list(c.key), std::optional(c.items));
        ours.setList(c.key, c.items);
      } else {
        QCOMPARE(c.kind == Kind::Text ? fromQt.text(c.key) : fromQt.bytes(c.key),
                 std::optional(c.items[0]));
        c.kind == Kind::Text ? ours.setText(c.key, c.items[0]) : ours.setBytes(c.key, c.items[0]);
      }
    }
    ours.save("ours.ini");
    // Byte for byte what QSettings writes: sections, their order, escapes.
    QFile oursFile("ours.ini"), qtFile("qt.ini");
    QVERIFY(oursFile.open(QIODevice::ReadOnly) && qtFile.open(QIODevice::ReadOnly));
    QCOMPARE(oursFile.readAll(), qtFile.readAll());
    const QSettings qt("ours.ini", QSettings::IniFormat);
    for (const Case& c : kCases) {
      const QVariant read = qt.value(QString::fromStdString(c.key));
      if (c.kind == Kind::List)
        QCOMPARE(read.toStringList(), qtValue(c).toStringList());
      else if (c.kind == Kind::Bytes)
        QCOMPARE(read.toByteArray(), qtValue(c).toByteArray());
      else
        QCOMPARE(read.toString(), qtValue(c).toString());
    }
  }
};

QTEST_MAIN(TestIniSettings)
#include "TestIniSettings.moc"
