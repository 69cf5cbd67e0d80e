#include "Skins.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

using namespace Qt::StringLiterals;

namespace Skins {

namespace {

QString g_current;

struct Look
{
    QColor window, base, alternate, button, text, highlight, highlightText, toolTip, bar1, bar2, barText, border;
};

Look lookOf(const QString &name)
{
    // Dark bars around light panels, so the blue and red figures stay readable.
    if (name == u"Office 2007 Black"_s)
        return {QColor(226, 228, 231), QColor(250, 250, 250), QColor(236, 236, 236), QColor(214, 217, 222),
                QColor(20, 20, 20),    QColor(255, 196, 92),  QColor(0, 0, 0),       QColor(255, 255, 225),
                QColor(96, 96, 96),    QColor(36, 36, 36),    QColor(240, 240, 240), QColor(20, 20, 20)};
    if (name == u"Office 2007 Silver"_s)
        return {QColor(225, 228, 233), QColor(255, 255, 255), QColor(243, 244, 246), QColor(233, 235, 239),
                QColor(30, 30, 30),    QColor(255, 210, 120), QColor(0, 0, 0),       QColor(255, 255, 225),
                QColor(248, 249, 250), QColor(201, 205, 212), QColor(40, 40, 40),    QColor(160, 166, 176)};
    // Office 2007 Blue
    return {QColor(191, 219, 255), QColor(255, 255, 255), QColor(233, 243, 255), QColor(214, 232, 255),
            QColor(21, 66, 139),   QColor(255, 213, 112), QColor(0, 0, 0),       QColor(255, 255, 225),
            QColor(227, 239, 255), QColor(175, 210, 255), QColor(21, 66, 139),   QColor(101, 147, 207)};
}

QString styleSheetFor(const Look &l)
{
    const auto c = [](const QColor &color) { return color.name(); };
    return uR"(
QMenuBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, stop:1 %2); color: %3; }
QMenuBar::item:selected { background: %4; color: black; }
QToolBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, stop:1 %2); border-bottom: 1px solid %5; spacing: 4px; }
QToolBar QToolButton { color: %3; padding: 2px 6px; }
QToolBar QToolButton:hover { background: %4; border: 1px solid %5; border-radius: 3px; color: black; }
QStatusBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, stop:1 %2); color: %3; }
QStatusBar QLabel { color: %3; }
QDockWidget { color: %3; }
QDockWidget::title { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, stop:1 %2); padding: 3px; border: 1px solid %5; }
QTabBar::tab { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, stop:1 %2); color: %3; border: 1px solid %5; padding: 4px 12px; }
QTabBar::tab:selected { background: %6; color: black; }
QFrame#SplitterBar { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 %1, stop:1 %2); border: 1px solid %5; }
)"_s.arg(c(l.bar1), c(l.bar2), c(l.barText), c(l.highlight), c(l.border), c(l.base));
}

} // namespace

QStringList SkinNames()
{
    return {u"Default"_s, u"Office 2007 Blue"_s, u"Office 2007 Black"_s, u"Office 2007 Silver"_s};
}

QString DefaultSkin()
{
    return u"Office 2007 Blue"_s;
}

QString ApplySkin(const QString &name)
{
    const QString skin = SkinNames().contains(name) ? name : DefaultSkin();
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (!app)
        return skin;
    QApplication::setStyle(QStyleFactory::create(u"Fusion"_s));
    if (skin == u"Default"_s) {
        QApplication::setPalette(QApplication::style()->standardPalette());
        app->setStyleSheet(QString());
    } else {
        const Look l = lookOf(skin);
        QPalette p;
        p.setColor(QPalette::Window, l.window);
        p.setColor(QPalette::WindowText, l.text);
        p.setColor(QPalette::Base, l.base);
        p.setColor(QPalette::AlternateBase, l.alternate);
        p.setColor(QPalette::Button, l.button);
        p.setColor(QPalette::ButtonText, l.text);
        p.setColor(QPalette::Text, Qt::black);
        p.setColor(QPalette::Highlight, l.highlight);
        p.setColor(QPalette::HighlightedText, l.highlightText);
        p.setColor(QPalette::ToolTipBase, l.toolTip);
        p.setColor(QPalette::ToolTipText, Qt::black);
        QApplication::setPalette(p);
        app->setStyleSheet(styleSheetFor(l));
    }
    g_current = skin;
    return skin;
}

QString CurrentSkin()
{
    return g_current.isEmpty() ? DefaultSkin() : g_current;
}

} // namespace Skins
