// Link label: where a click leads, and the look under the mouse.
#include <QEnterEvent>
#include <QSignalSpy>
#include <QtTest>

#include "components/LinkLabel.h"

using namespace tarvix;

class TestLinkLabel : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    opened.clear();
    setUrlOpener([this](const QUrl& url) { opened << url; });
  }
  void cleanup() { setUrlOpener(nullptr); }

  void clickOpensWebOrMailAddress() {
    LinkLabel label;
    label.setText("link");
    label.resize(80, 18);
    QSignalSpy clicks(&label, &LinkLabel::clicked);

    label.setAddress("http://www.clan.example/x?a=1");
    QTest::mouseClick(&label, Qt::LeftButton);
    label.setAddress("www.clan.example");
    QTest::mouseClick(&label, Qt::LeftButton);
    // An empty web address opens the mail program with no recipient.
    label.setAddress(QString());
    QTest::mouseClick(&label, Qt::LeftButton);
    label.setAddressType(AddressType::Mail);
    label.setAddress("admin@clan.example");
    QTest::mouseClick(&label, Qt::LeftButton);

    QCOMPARE(opened,
             (QList<QUrl>{QUrl("http://www.clan.example/x?a=1"), QUrl("http://www.clan.example"),
                          QUrl("mailto:"), QUrl("mailto:admin@clan.example")}));
    QCOMPARE(clicks.count(), 4);
    QCOMPARE(label.cursor().shape(), Qt::PointingHandCursor);

    // A press that ends outside the label is no click.
    QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(500, 5));
    QCOMPARE(opened.size(), 4);
  }

  // A server announces the web address: anything but an http or https page
  // (a local file, a program, another scheme's handler) is not opened.
  void webAddressOpensOnlyWebPages() {
    LinkLabel label;
    label.resize(80, 18);
    QSignalSpy clicks(&label, &LinkLabel::clicked);
    for (const char* address : {"file:///usr/bin/xterm?www", "/home/www/run.desktop",
                                "smb://www.clan.example/share", "javascript:alert('http:')"}) {
      label.setAddress(address);
      QVERIFY2(label.target().isEmpty(), address);
      QTest::mouseClick(&label, Qt::LeftButton);
    }
    QVERIFY(opened.isEmpty());
    QCOMPARE(clicks.count(), 4);
    QCOMPARE(label.cursor().shape(), Qt::PointingHandCursor);

    label.setAddress("HTTPS://www.clan.example/");
    QTest::mouseClick(&label, Qt::LeftButton);
    QCOMPARE(opened, QList<QUrl>{QUrl("https://www.clan.example/")});
  }

  void hoverRestoresColourAndStyle() {
    LinkLabel label;
    label.setText("link");
    QPalette pal = label.palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 128));
    label.setPalette(pal);
    label.setActiveColour(QColor(0, 128, 128));
    QSignalSpy enters(&label, &LinkLabel::mouseEntered);
    QSignalSpy exits(&label, &LinkLabel::mouseLeft);

    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(&label, &enter);
    QCOMPARE(label.palette().color(QPalette::WindowText), QColor(0, 128, 128));
    QVERIFY(label.font().underline());
    QCOMPARE(label.cursor().shape(), Qt::PointingHandCursor);

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&label, &leave);
    QCOMPARE(label.palette().color(QPalette::WindowText), QColor(0, 0, 128));
    QVERIFY(!label.font().underline());
    QCOMPARE(label.cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(enters.count(), 1);
    QCOMPARE(exits.count(), 1);
  }

 private:
  QList<QUrl> opened;
};

QTEST_MAIN(TestLinkLabel)
#include "TestLinkLabel.moc"
