// qybook-makeimages OUTDIR: writes the picture files that the program loads from its folder
// (the voucher editors' title pictures, the dialog banners, the account-book icon and the
// program icon) into OUTDIR/images and OUTDIR/Resource.

#include "AppImages.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSaveFile>
#include <QTextStream>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

bool fail(const QString &text)
{
    err() << u"qybook-makeimages: "_s << text << u'\n';
    err().flush();
    return false;
}

bool writeImage(const QDir &root, const QString &relative, const QImage &image, const QByteArray &format)
{
    const QString path = root.filePath(relative);
    if (image.isNull())
        return fail(u"无法绘制 %1"_s.arg(relative));
    QImageWriter writer(path, format);
    if (!writer.write(image))
        return fail(u"无法写入 %1：%2"_s.arg(path, writer.errorString()));
    return true;
}

bool writeBytes(const QDir &root, const QString &relative, const QByteArray &bytes)
{
    const QString path = root.filePath(relative);
    if (bytes.isEmpty())
        return fail(u"无法绘制 %1"_s.arg(relative));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return fail(u"无法写入 %1：%2"_s.arg(path, file.errorString()));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        fail(u"用法：qybook-makeimages 输出文件夹"_s);
        return 2;
    }
    const QDir root(args.at(1));
    for (const QString &sub : { u"images"_s, u"Resource"_s }) {
        if (!root.mkpath(sub)) {
            fail(u"无法创建文件夹 %1"_s.arg(root.filePath(sub)));
            return 1;
        }
    }

    bool ok = true;
    // The editors' title pictures are 24-bit bitmaps.
    const struct
    {
        const char16_t *kind;
        const char16_t *file;
    } titles[] = {
        { u"财务收入", u"images/TitleIn.bmp" },
        { u"财务支出", u"images/TitleOut.bmp" },
        { u"待收记账", u"images/TitleGet.bmp" },
        { u"待付记账", u"images/TitlePay.bmp" },
    };
    for (const auto &t : titles) {
        const QImage picture = AppImages::TitlePicture(QString::fromUtf16(t.kind)).toImage();
        ok = writeImage(root, QString::fromUtf16(t.file), picture.convertToFormat(QImage::Format_RGB888), "bmp"_ba)
            && ok;
    }

    ok = writeImage(root, u"images/LoginBanner.png"_s,
             AppImages::Banner(u"青柚流水帐\n收支流水　一目了然"_s, QSize(322, 60)).toImage(), "png"_ba)
        && ok;
    ok = writeImage(root, u"images/BookEditorBanner.png"_s, AppImages::Banner(u"账簿信息"_s, QSize(322, 47)).toImage(),
             "png"_ba)
        && ok;
    ok = writeImage(root, u"images/BookControlBanner.png"_s,
             AppImages::Banner(u"账簿控制面板"_s, QSize(322, 47)).toImage(), "png"_ba)
        && ok;
    ok = writeImage(root, u"images/AppIcon.png"_s, AppImages::AppIconPixmap(256).toImage(), "png"_ba) && ok;

    // Qt's .ico writer stores a single image, so the three sizes go through our own writer.
    const QList<QImage> bookSizes { AppImages::BookIcon(48).toImage(), AppImages::BookIcon(32).toImage(),
        AppImages::BookIcon(16).toImage() };
    ok = writeBytes(root, u"Resource/Account.ico"_s, AppImages::IcoFileData(bookSizes)) && ok;

    return ok ? 0 : 1;
}
