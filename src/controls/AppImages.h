#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QSize>
#include <QString>

// The program's own pictures, all drawn in code: the shared 32-pixel image list of the toolbar,
// the tabs and the book control panel, the title pictures of the voucher editors, the header
// banners of the dialogs, the account-book icon and the window icon.
namespace AppImages {

// Indexes of the shared 32-pixel image list.
enum ImageIndex : int {
    ImgMoneyIn = 0, // 财务收入
    ImgMoneyOut = 1, // 财务支出
    ImgGet = 2, // 待收记账
    ImgPay = 3, // 待付记账
    ImgBookInfo = 4, // 账本信息
    ImgCloseWindow = 5, // 关闭窗口
    ImgTabBooks = 6, // 账簿管理
    ImgTabMoneyReport = 7, // 收支单据报表
    ImgTabGetPayReport = 8, // 待收待付单据报表
    ImgTabStatistics = 9, // 财务统计
    ImgLeftPanel = 10, // 左侧栏
    ImgRightPanel = 11, // 右侧栏
    ImgExit = 12, // 退出系统
};

int ImageCount();

// Image `index` of the image list, 32×32 logical pixels drawn at devicePixelRatio; a null pixmap
// for an unknown index.
QPixmap Image32(int index, qreal devicePixelRatio = 1.0);

// The same image as an icon: 16, 24 and 32 pixels (also at twice the resolution) with a greyed
// disabled look; a null icon for an unknown index.
QIcon Icon32(int index);

// Banner of a voucher editor: "财务收入", "财务支出", "待收记账" or "待付记账" (income and
// receivable blue, expense and payable red). Any other text gets a neutral banner with that text.
QPixmap TitlePicture(const QString &kind, QSize size = { 497, 73 });

// Header banner of a dialog. A caption with a line break shows its second line as a subtitle.
// Captions about account books ("账簿…", "账本…") carry the book icon, others the program icon.
QPixmap Banner(const QString &caption, QSize size);

// The account-book icon of the book overview, size × size pixels.
QPixmap BookIcon(int size = 48);

// The program's window icon: a green-yellow pomelo.
QIcon AppIcon();
QPixmap AppIconPixmap(int size);

// The bytes of a Windows .ico file holding `images` (each at most 256×256), stored as 32-bit
// bitmaps with an AND mask so every reader understands them. Empty when an image is unusable.
QByteArray IcoFileData(const QList<QImage> &images);

} // namespace AppImages
