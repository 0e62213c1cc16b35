// JPEG pictures decoded with libjpeg: the compiled-in banners and credits
// pictures, and data that is not a readable JPEG.
#include <QFile>
#include <QtTest>

#include "app/Resources.h"
#include "components/JpegImage.h"

using namespace tarvix;

class TestJpeg : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { initResources(); }

  void picturesDecodeAtTheirSizes() {
    for (int i = 1; i <= 4; ++i) {
      const QImage banner = loadJpeg(QString(":/banner%1.jpg").arg(i));
      QCOMPARE(banner.size(), QSize(668, 65));
    }
    QCOMPARE(loadJpeg(":/credits1.jpg").size(), QSize(249, 249));
    QCOMPARE(loadJpeg(":/credits2.jpg").size(), QSize(249, 249));
  }

  void unreadableDataGivesANullImage() {
    QVERIFY(decodeJpeg({}).isNull());
    QVERIFY(decodeJpeg("not a picture").isNull());
    QVERIFY(loadJpeg(":/missing.jpg").isNull());
    // A real picture cut short: libjpeg reports the error through its jump.
    QFile f(":/banner1.jpg");
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray whole = f.readAll();
    const QImage cut = decodeJpeg(whole.left(whole.size() / 3));
    QVERIFY(cut.isNull() || cut.size() == QSize(668, 65));
    QVERIFY(decodeJpeg(whole.left(20)).isNull());
  }
};

QTEST_MAIN(TestJpeg)
#include "TestJpeg.moc"
