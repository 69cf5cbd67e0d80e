#include "AppImages.h"

#include <QBuffer>
#include <QImageReader>
#include <QSet>
#include <QTest>

#include <climits>

using namespace Qt::StringLiterals;

namespace {

QImage argb(const QPixmap &pm)
{
    return pm.toImage().convertToFormat(QImage::Format_ARGB32);
}

int opaquePixels(const QImage &img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += qAlpha(img.pixel(x, y)) == 255 ? 1 : 0;
    return n;
}

int colourCount(const QImage &img)
{
    QSet<QRgb> colours;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) > 0)
                colours.insert(img.pixel(x, y));
    return int(colours.size());
}

// Positive when the picture leans to blue, negative when it leans to red.
qint64 blueOverRed(const QImage &img)
{
    qint64 balance = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            balance += qBlue(img.pixel(x, y)) - qRed(img.pixel(x, y));
    return balance;
}

bool isGrey(const QImage &img)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            if (qAlpha(c) > 0 && (qRed(c) != qGreen(c) || qGreen(c) != qBlue(c)))
                return false;
        }
    return true;
}

} // namespace

class TestImages : public QObject
{
    Q_OBJECT

private slots:
    void imageList_data();
    void imageList();
    void imagesAreDistinct();
    void unknownIndex_data();
    void unknownIndex();
    void iconHasSmallAndDisabledLooks();
    void titlePicture_data();
    void titlePicture();
    void titlePictureSizes();
    void bannerRendersItsCaption();
    void bookIcon();
    void appIcon();
    void icoFileRoundTrip();
    void icoFileRefusesBadInput();
};

void TestImages::imageList_data()
{
    QTest::addColumn<int>("index");
    const char *names[] = { "财务收入", "财务支出", "待收记账", "待付记账", "账本信息", "关闭窗口", "账簿管理",
        "收支单据报表", "待收待付单据报表", "财务统计", "左侧栏", "右侧栏", "退出系统" };
    QCOMPARE(AppImages::ImageCount(), int(std::size(names)));
    for (int i = 0; i < AppImages::ImageCount(); ++i)
        QTest::addRow("%d %s", i, names[i]) << i;
}

void TestImages::imageList()
{
    QFETCH(int, index);
    const QPixmap pm = AppImages::Image32(index);
    QVERIFY(!pm.isNull());
    QCOMPARE(pm.size(), QSize(32, 32));
    const QImage img = argb(pm);
    QVERIFY2(opaquePixels(img) >= 150, "the image is mostly empty");
    QVERIFY2(colourCount(img) >= 12, "the image has too few colours");
    // Drawn at the device resolution on high-DPI screens, not scaled up.
    const QPixmap hiDpi = AppImages::Image32(index, 2.0);
    QCOMPARE(hiDpi.size(), QSize(64, 64));
    QCOMPARE(hiDpi.devicePixelRatio(), 2.0);
    QVERIFY(argb(hiDpi) != img.scaled(64, 64, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    QVERIFY(opaquePixels(argb(hiDpi)) >= 4 * 150);
}

void TestImages::imagesAreDistinct()
{
    QList<QImage> images;
    for (int i = 0; i < AppImages::ImageCount(); ++i)
        images << argb(AppImages::Image32(i));
    for (int a = 0; a < images.size(); ++a)
        for (int b = a + 1; b < images.size(); ++b)
            QVERIFY2(images.at(a) != images.at(b), qPrintable(u"images %1 and %2 are the same"_s.arg(a).arg(b)));
    // The image list is stable: drawing twice gives the same picture.
    QCOMPARE(argb(AppImages::Image32(0)), images.at(0));
}

void TestImages::unknownIndex_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("-1") << -1;
    QTest::newRow("one past the end") << AppImages::ImageCount();
    QTest::newRow("INT_MIN") << INT_MIN;
    QTest::newRow("INT_MAX") << INT_MAX;
}

void TestImages::unknownIndex()
{
    QFETCH(int, index);
    QVERIFY(AppImages::Image32(index).isNull());
    QVERIFY(AppImages::Icon32(index).isNull());
}

void TestImages::iconHasSmallAndDisabledLooks()
{
    for (int i = 0; i < AppImages::ImageCount(); ++i) {
        const QIcon icon = AppImages::Icon32(i);
        QVERIFY(!icon.isNull());
        const QList<QSize> sizes = icon.availableSizes();
        QVERIFY(sizes.contains(QSize(16, 16)));
        QVERIFY(sizes.contains(QSize(32, 32)));
        const QImage small = argb(icon.pixmap(QSize(16, 16)));
        QCOMPARE(small.size(), QSize(16, 16));
        QVERIFY(opaquePixels(small) >= 30);
        const QImage disabled = argb(icon.pixmap(QSize(32, 32), QIcon::Disabled));
        QVERIFY(isGrey(disabled));
        QVERIFY(!isGrey(argb(icon.pixmap(QSize(32, 32)))));
    }
}

void TestImages::titlePicture_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("blue");
    QTest::newRow("income") << u"财务收入"_s << true;
    QTest::newRow("expense") << u"财务支出"_s << false;
    QTest::newRow("receivable") << u"待收记账"_s << true;
    QTest::newRow("payable") << u"待付记账"_s << false;
}

void TestImages::titlePicture()
{
    QFETCH(QString, kind);
    QFETCH(bool, blue);
    const QPixmap pm = AppImages::TitlePicture(kind);
    QCOMPARE(pm.size(), QSize(497, 73));
    const QImage img = argb(pm);
    QVERIFY(!img.hasAlphaChannel() || opaquePixels(img) == img.width() * img.height());
    if (blue)
        QVERIFY(blueOverRed(img) > 0);
    else
        QVERIFY(blueOverRed(img) < 0);
}

void TestImages::titlePictureSizes()
{
    QCOMPARE(AppImages::TitlePicture(u"财务收入"_s, QSize(300, 50)).size(), QSize(300, 50));
    QVERIFY(AppImages::TitlePicture(u"财务收入"_s, QSize(0, 73)).isNull());
    QVERIFY(argb(AppImages::TitlePicture(u"财务收入"_s)) != argb(AppImages::TitlePicture(u"财务支出"_s)));
    QVERIFY(argb(AppImages::TitlePicture(u"待收记账"_s)) != argb(AppImages::TitlePicture(u"财务收入"_s)));
    // An unknown kind still gives a usable picture.
    QCOMPARE(AppImages::TitlePicture(u"其它"_s).size(), QSize(497, 73));
}

void TestImages::bannerRendersItsCaption()
{
    const QPixmap login = AppImages::Banner(u"青柚流水帐"_s, QSize(322, 60));
    QCOMPARE(login.size(), QSize(322, 60));
    QVERIFY(AppImages::Banner(u"青柚流水帐"_s, QSize()).isNull());
    // Missing glyphs would all draw as the same box, so two captions of equal length that share
    // no character would then give the same picture.
    const QImage a = argb(AppImages::Banner(u"账簿信息"_s, QSize(322, 47)));
    const QImage b = argb(AppImages::Banner(u"账本控制"_s, QSize(322, 47)));
    QCOMPARE(a.size(), QSize(322, 47));
    QVERIFY(a != b);
    const QImage c = argb(AppImages::Banner(u"收入支出"_s, QSize(322, 47)));
    const QImage d = argb(AppImages::Banner(u"待付记录"_s, QSize(322, 47)));
    QVERIFY(c != d);
    // A subtitle changes the picture.
    QVERIFY(argb(AppImages::Banner(u"青柚流水帐\n副标题"_s, QSize(322, 60))) != argb(login));
}

void TestImages::bookIcon()
{
    const QPixmap icon = AppImages::BookIcon();
    QCOMPARE(icon.size(), QSize(48, 48));
    const QImage img = argb(icon);
    QVERIFY(opaquePixels(img) > 48 * 48 / 3);
    QVERIFY(colourCount(img) >= 12);
    QCOMPARE(AppImages::BookIcon(16).size(), QSize(16, 16));
    QVERIFY(AppImages::BookIcon(0).isNull());
    QVERIFY(AppImages::BookIcon(-5).isNull());
}

void TestImages::appIcon()
{
    const QIcon icon = AppImages::AppIcon();
    QVERIFY(!icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    QVERIFY(sizes.contains(QSize(16, 16)));
    QVERIFY(sizes.contains(QSize(32, 32)));
    QVERIFY(sizes.contains(QSize(256, 256)));
    const QImage img = argb(AppImages::AppIconPixmap(64));
    QVERIFY(opaquePixels(img) > 64 * 64 / 3);
    // Green-yellow: at the centre green outweighs blue.
    const QRgb centre = img.pixel(32, 40);
    QVERIFY(qGreen(centre) > qBlue(centre) + 60);
}

void TestImages::icoFileRoundTrip()
{
    const QList<QImage> images { argb(AppImages::BookIcon(48)), argb(AppImages::BookIcon(32)),
        argb(AppImages::BookIcon(16)) };
    QByteArray data = AppImages::IcoFileData(images);
    QVERIFY(!data.isEmpty());
    QBuffer buffer(&data);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QImageReader reader(&buffer, "ico");
    QCOMPARE(reader.imageCount(), 3);
    for (int i = 0; i < images.size(); ++i) {
        QVERIFY(reader.jumpToImage(i));
        const QImage read = reader.read().convertToFormat(QImage::Format_ARGB32);
        QVERIFY2(!read.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(read.size(), images.at(i).size());
        QCOMPARE(read, images.at(i));
    }
}

void TestImages::icoFileRefusesBadInput()
{
    QVERIFY(AppImages::IcoFileData({}).isEmpty());
    QVERIFY(AppImages::IcoFileData({ QImage() }).isEmpty());
    QImage tooBig(257, 16, QImage::Format_ARGB32);
    tooBig.fill(Qt::red);
    QVERIFY(AppImages::IcoFileData({ tooBig }).isEmpty());
    // 256 pixels is written with the size byte 0, as the format wants.
    QImage largest(256, 256, QImage::Format_ARGB32);
    largest.fill(Qt::blue);
    const QByteArray data = AppImages::IcoFileData({ largest });
    QVERIFY(data.size() > 22);
    QCOMPARE(data.at(6), '\0');
    QCOMPARE(data.at(7), '\0');
}

QTEST_MAIN(TestImages)
#include "tst_images.moc"
