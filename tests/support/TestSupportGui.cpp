#include "TestSupportGui.h"

#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QTest>

namespace TestSupport {

bool ShowActive(QWidget *window)
{
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

void TypeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

void UseHome(const QString &path)
{
    QDir().mkpath(path);
    qputenv("HOME", QFile::encodeName(path));
}

} // namespace TestSupport
