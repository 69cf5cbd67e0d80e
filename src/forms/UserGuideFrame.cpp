#include "UserGuideFrame.h"

#include "DataModule.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QUrl>

using namespace Qt::StringLiterals;

QStringList TFrameUserGuide::Captions()
{
    return {u"账簿管理"_s, u"收支、待收、待付"_s, u"财务收支状况"_s, u"财务统计"_s,
            u"打印及导出"_s, u"用户及权限设置"_s, u"数据备份恢复"_s, u"界面自定义"_s};
}

QStringList TFrameUserGuide::Pages()
{
    return {u"账簿操作.htm"_s, u"收支.htm"_s, u"收支状况.htm"_s, u"财务统计.htm"_s,
            u"打印及导出.htm"_s, u"权限设置.htm"_s, u"备份恢复.htm"_s, u"界面自定义.htm"_s};
}

TFrameUserGuide::TFrameUserGuide(TShareDM &dm, QWidget *parent)
    : QWidget(parent)
    , m_dm(dm)
{
    setObjectName(u"FrameUserGuide"_s);
    const QList<int> tops = {8, 25, 42, 59, 76, 93, 110, 128};
    const QStringList captions = Captions();
    for (int i = 0; i < captions.size(); ++i) {
        auto *label = new QLabel(captions.at(i), this);
        label->setObjectName(u"SpTBXLabel"_s + QString::number(i + 1));
        label->setGeometry(8, tops.at(i), 150, 15);
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, Qt::blue);
        label->setPalette(p);
        label->setCursor(Qt::PointingHandCursor);
        label->installEventFilter(this);
        m_links.append(label);
    }
    setMinimumHeight(150);
}

void TFrameUserGuide::OpenPage(int index)
{
    if (index < 0 || index >= Pages().size())
        return;
    // Whatever the current directory is: always the program's own folder.
    m_dm.OpenUrl(QUrl::fromLocalFile(m_dm.GetAppPath() + u"UserGuide/"_s + Pages().at(index)));
}

bool TFrameUserGuide::eventFilter(QObject *watched, QEvent *event)
{
    auto *label = qobject_cast<QLabel *>(watched);
    const int index = int(m_links.indexOf(label));
    if (index < 0)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Enter:
    case QEvent::Leave: {
        QFont f = label->font();
        f.setUnderline(event->type() == QEvent::Enter);
        label->setFont(f);
        break;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton && label->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint()))
            OpenPage(index);
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
