#include "BalloonUtil.h"
#include "CustomVistaHint.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QToolTip>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Stands for handling a control already had: counts key presses and swallows 'x'.
class KeyWatcher : public QObject
{
public:
    int keys = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        ++keys;
        return static_cast<QKeyEvent *>(event)->key() == Qt::Key_X;
    }
};

// A shown, active window holding a focused button and whatever control a test adds.
struct Form
{
    Form()
    {
        window.resize(320, 200);
        other = new QPushButton(u"其他"_s, &window);
        other->setGeometry(10, 150, 80, 26);
    }
    bool show(const QPoint &pos = QPoint(60, 60))
    {
        window.move(pos);
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            return false;
        other->setFocus();
        return other->hasFocus();
    }
    template<class W> W *add(const QRect &geometry = QRect(20, 20, 160, 26))
    {
        auto *w = new W(&window);
        w->setGeometry(geometry);
        return w;
    }

    QWidget window;
    QPushButton *other = nullptr;
};

using Action = std::function<void(Form &, QWidget *)>;

QWidget *makeControl(const QString &kind, QWidget *parent)
{
    if (kind == u"line edit")
        return new QLineEdit(parent);
    if (kind == u"editable combo" || kind == u"combo") {
        auto *combo = new QComboBox(parent);
        combo->setEditable(kind == u"editable combo");
        combo->addItems({ u"现金"_s, u"银行"_s });
        return combo;
    }
    if (kind == u"spin box")
        return new QSpinBox(parent);
    if (kind == u"date edit")
        return new QDateEdit(parent);
    if (kind == u"plain text edit")
        return new QPlainTextEdit(parent);
    if (kind == u"text edit")
        return new QTextEdit(parent);
    if (kind == u"list") {
        auto *list = new QListWidget(parent);
        list->addItems({ u"甲"_s, u"乙"_s });
        return list;
    }
    if (kind == u"push button")
        return new QPushButton(u"确定"_s, parent);
    if (kind == u"check box")
        return new QCheckBox(u"选项"_s, parent);
    return nullptr;
}

bool near(const QColor &a, const QColor &b, int tolerance = 6)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance;
}

QRect screenRect()
{
    return QGuiApplication::primaryScreen()->geometry();
}

// The offscreen platform can neither shape nor raise windows and says so on every show.
QtMessageHandler previousHandler = nullptr;
void dropPlatformWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(u"This plugin does not support"))
        return;
    previousHandler(type, context, message);
}

void sendToolTip(QWidget *widget, const QPoint &globalPos)
{
    QHelpEvent help(QEvent::ToolTip, widget->mapFromGlobal(globalPos), globalPos);
    QApplication::sendEvent(widget, &help);
}

} // namespace

Q_DECLARE_METATYPE(Action)

class TestBalloon : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void editBalloonGoesOnFirstKeyAndKeepsHandling();
    void hookedControls_data();
    void hookedControls();
    void focusLeavingClosesIt();
    void secondBalloonMovesAndReleasesFirst();
    void closes_data();
    void closes();
    void stableBalloonStays();
    void deletedWhileShown_data();
    void deletedWhileShown();
    void iconIsModulo4_data();
    void iconIsModulo4();
    void anchorAndPlacement_data();
    void anchorAndPlacement();
    void paintsBackground();

    void hintShowsInsteadOfToolTip_data();
    void hintShowsInsteadOfToolTip();
    void hintPlacement_data();
    void hintPlacement();
    void hintGradient();
    void hintCornersAreCut();
    void noToolTipNoHint();
    void hintHides_data();
    void hintHides();
};

void TestBalloon::initTestCase()
{
    previousHandler = qInstallMessageHandler(dropPlatformWarnings);
    TVistaHintWindow::Install(qApp);
}

void TestBalloon::editBalloonGoesOnFirstKeyAndKeepsHandling()
{
    Form form;
    auto *edit = form.add<QLineEdit>();
    KeyWatcher watcher;
    edit->installEventFilter(&watcher);
    QVERIFY(form.show());

    TXpTooltip tip;
    tip.Show(edit, 1, u"名称不能为空！"_s, u"青柚流水帐"_s);
    QVERIFY(tip.isVisible());
    QCOMPARE(tip.CurrentControl(), edit);
    QTRY_VERIFY(edit->hasFocus());
    QCOMPARE(QApplication::activeWindow(), &form.window); // the balloon took no activation

    // The first key closes it and still reaches the edit and its earlier filter.
    QTest::keyClick(edit, Qt::Key_A);
    QVERIFY(!tip.isVisible());
    QCOMPARE(edit->text(), u"a"_s);
    QCOMPARE(watcher.keys, 1);

    // Afterwards the edit behaves as before: the earlier filter still swallows 'x'.
    QTest::keyClick(edit, Qt::Key_X);
    QTest::keyClick(edit, Qt::Key_B);
    QCOMPARE(edit->text(), u"ab"_s);
    QCOMPARE(watcher.keys, 3);

    // A balloon whose first key is one the edit's own filter swallows still goes.
    edit->clear();
    tip.Show(edit, 1, u"名称不能为空！"_s, u"青柚流水帐"_s);
    QTest::keyClick(edit, Qt::Key_X);
    QVERIFY(!tip.isVisible());
    QCOMPARE(edit->text(), QString());
}

void TestBalloon::hookedControls_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("hooked");

    for (const char *kind :
        { "line edit", "editable combo", "combo", "spin box", "date edit", "plain text edit", "text edit", "list" })
        QTest::newRow(kind) << QString::fromLatin1(kind) << true;
    QTest::newRow("push button") << u"push button"_s << false;
    QTest::newRow("check box") << u"check box"_s << false;
}

// Edits and lists get the focus and lose the balloon on a key; other controls keep neither.
void TestBalloon::hookedControls()
{
    QFETCH(QString, kind);
    QFETCH(bool, hooked);

    Form form;
    QWidget *control = makeControl(kind, &form.window);
    QVERIFY(control);
    control->setGeometry(20, 20, 160, 60);
    QVERIFY(form.show());
    QCOMPARE(TXpTooltip::IsHookedControl(control), hooked);

    TXpTooltip tip;
    tip.Show(control, 2, u"提示"_s, u"标题"_s);
    QVERIFY(tip.isVisible());
    if (hooked) {
        QTRY_VERIFY(control->hasFocus());
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        QTest::keyClick(focus, Qt::Key_5);
        QVERIFY(!tip.isVisible());
    } else {
        QVERIFY(form.other->hasFocus());
        QTest::keyClick(control, Qt::Key_5);
        QVERIFY(tip.isVisible());
    }
}

void TestBalloon::focusLeavingClosesIt()
{
    Form form;
    auto *edit = form.add<QLineEdit>();
    QVERIFY(form.show());

    TXpTooltip tip;
    tip.Show(edit, 1, u"提示"_s, QString());
    QTRY_VERIFY(edit->hasFocus());
    form.other->setFocus();
    QTRY_VERIFY(!tip.isVisible());
}

void TestBalloon::secondBalloonMovesAndReleasesFirst()
{
    Form form;
    auto *first = form.add<QLineEdit>(QRect(20, 20, 160, 26));
    auto *second = form.add<QLineEdit>(QRect(20, 80, 160, 26));
    QVERIFY(form.show());

    TXpTooltip tip;
    tip.Show(first, 1, u"第一个"_s, u"青柚流水帐"_s);
    QTRY_VERIFY(first->hasFocus());
    const QPoint firstAnchor = tip.Anchor();

    // The focus moving from the first edit to the second must not take the new balloon away.
    tip.Show(second, 3, u"第二个"_s, u"错误"_s);
    QVERIFY(tip.isVisible());
    QCOMPARE(tip.CurrentControl(), second);
    QCOMPARE(tip.Text(), u"第二个"_s);
    QCOMPARE(tip.Icon(), 3);
    QVERIFY(tip.Anchor() != firstAnchor);
    QTRY_VERIFY(second->hasFocus());
    QVERIFY(tip.isVisible());

    // The first edit is no longer watched.
    QTest::keyClick(first, Qt::Key_A);
    QCOMPARE(first->text(), u"a"_s);
    QVERIFY(tip.isVisible());

    QTest::keyClick(second, Qt::Key_B);
    QVERIFY(!tip.isVisible());
}

void TestBalloon::closes_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<int>("delay");

    const int longDelay = 600000;
    QTest::newRow("after DelayTime") << Action([](Form &, QWidget *) {}) << 50;
    QTest::newRow("window moved") << Action([](Form &form, QWidget *) {
        form.window.move(form.window.pos() + QPoint(40, 30));
    }) << longDelay;
    QTest::newRow("control moved") << Action([](Form &, QWidget *control) {
        control->move(control->pos() + QPoint(0, 40));
    }) << longDelay;
    QTest::newRow("window hidden") << Action([](Form &form, QWidget *) { form.window.hide(); }) << longDelay;
    QTest::newRow("control hidden") << Action([](Form &, QWidget *control) { control->hide(); }) << longDelay;
    // Offscreen there is no other application to switch to; this is what Qt emits when one takes over.
    QTest::newRow("application deactivated")
        << Action([](Form &, QWidget *) { emit qApp->applicationStateChanged(Qt::ApplicationInactive); }) << longDelay;
}

// On a control without hooks, so only the timers and the application watch close it.
void TestBalloon::closes()
{
    QFETCH(Action, action);
    QFETCH(int, delay);

    Form form;
    auto *button = form.add<QPushButton>();
    QVERIFY(form.show());

    TXpTooltip tip;
    tip.DelayTime = delay;
    tip.Show(button, 1, u"提示"_s, u"标题"_s);
    QVERIFY(tip.isVisible());
    action(form, button);
    QTRY_VERIFY_WITH_TIMEOUT(!tip.isVisible(), 3000);
}

void TestBalloon::stableBalloonStays()
{
    Form form;
    auto *button = form.add<QPushButton>();
    QVERIFY(form.show());

    TXpTooltip tip;
    tip.DelayTime = 600000;
    tip.Show(button, 1, u"提示"_s, u"标题"_s);
    // Several place checks go by; nothing moved, so it must still show.
    QTest::qWait(500);
    QVERIFY(tip.isVisible());
}

void TestBalloon::deletedWhileShown_data()
{
    QTest::addColumn<bool>("deleteWindow");
    QTest::newRow("control deleted") << false;
    QTest::newRow("its window deleted") << true;
}

void TestBalloon::deletedWhileShown()
{
    QFETCH(bool, deleteWindow);

    auto form = std::make_unique<Form>();
    auto *edit = form->add<QLineEdit>();
    QVERIFY(form->show());

    TXpTooltip tip;
    tip.Show(edit, 1, u"提示"_s, u"标题"_s);
    QVERIFY(tip.isVisible());
    if (deleteWindow)
        form.reset();
    else
        delete edit;
    QVERIFY(!tip.isVisible());
    QCOMPARE(tip.CurrentControl(), nullptr);
    QTest::qWait(200); // let a place check run against the dead control

    Form again;
    auto *other = again.add<QLineEdit>();
    QVERIFY(again.show());
    tip.Show(other, 1, u"提示"_s, u"标题"_s);
    QVERIFY(tip.isVisible());
    tip.Hide();
    QVERIFY(!tip.isVisible());
}

void TestBalloon::iconIsModulo4_data()
{
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("shown");
    QTest::newRow("none") << 0 << 0;
    QTest::newRow("information") << 1 << 1;
    QTest::newRow("warning") << 2 << 2;
    QTest::newRow("error") << 3 << 3;
    QTest::newRow("4 wraps to none") << 4 << 0;
    QTest::newRow("7 wraps to error") << 7 << 3;
    QTest::newRow("-1 is error") << -1 << 3;
    QTest::newRow("-6 is warning") << -6 << 2;
}

void TestBalloon::iconIsModulo4()
{
    QFETCH(int, icon);
    QFETCH(int, shown);

    Form form;
    auto *edit = form.add<QLineEdit>();
    QVERIFY(form.show());
    TXpTooltip tip;
    tip.Show(edit, icon, u"提示"_s, u"标题"_s);
    QCOMPARE(tip.Icon(), shown);
    QVERIFY(tip.isVisible());
}

void TestBalloon::anchorAndPlacement_data()
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QTest::addColumn<QPoint>("windowPos");
    QTest::newRow("mid screen") << QPoint(60, 60);
    QTest::newRow("right edge") << QPoint(screen.right() - 200, 60);
    QTest::newRow("bottom edge") << QPoint(60, screen.bottom() - 70);
}

// The stem touches the anchor and the balloon stays on the screen.
void TestBalloon::anchorAndPlacement()
{
    QFETCH(QPoint, windowPos);

    Form form;
    auto *edit = form.add<QLineEdit>(QRect(100, 20, 160, 26));
    QVERIFY(form.show(windowPos));

    TXpTooltip tip;
    tip.Show(edit, 1, u"这是一段比较长的提示文字，用来检查气泡提示的换行和位置是否合适。"_s, u"青柚流水帐"_s);
    const QPoint expected = edit->mapToGlobal(QPoint(0, 0)) + QPoint(15, edit->height() - 5);
    QCOMPARE(tip.Anchor(), expected);

    const QRect g = tip.geometry();
    QVERIFY2(g.top() == expected.y() || g.bottom() == expected.y(),
        qPrintable(u"%1,%2 %3x%4"_s.arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height())));
    QVERIFY(g.left() < expected.x() && expected.x() < g.right());
    QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(g));
    QVERIFY(g.width() <= 360); // the text wraps rather than running across the screen
}

void TestBalloon::paintsBackground()
{
    Form form;
    auto *edit = form.add<QLineEdit>();
    QVERIFY(form.show());
    TXpTooltip tip;
    tip.Show(edit, 1, u"提示"_s, u"标题"_s);

    const QImage image = tip.grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    // Inside the box, in the right margin where nothing is drawn.
    const QPoint inside(qRound((tip.width() - 4) * ratio), qRound((tip.height() - 20) * ratio));
    QCOMPARE(image.pixelColor(inside), QColor(255, 251, 240));
}

void TestBalloon::hintShowsInsteadOfToolTip_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("expected");
    QTest::newRow("widget") << u"widget"_s << u"收入合计 & 支出合计"_s;
    QTest::newRow("toolbar action") << u"action"_s << u"新建收入凭证"_s;
    QTest::newRow("rich text") << u"rich"_s << u"余额"_s;
}

void TestBalloon::hintShowsInsteadOfToolTip()
{
    QFETCH(QString, source);
    QFETCH(QString, expected);

    QWidget window;
    window.resize(300, 200);
    QWidget *target = nullptr;
    if (source == u"action") {
        auto *bar = new QToolBar(&window);
        QAction *action = bar->addAction(u"收入"_s);
        action->setToolTip(expected);
        bar->setGeometry(0, 0, 300, 40);
        target = bar->widgetForAction(action);
    } else {
        target = new QLabel(u"合计"_s, &window);
        target->setGeometry(20, 60, 100, 24);
        target->setToolTip(source == u"rich" ? u"<b>余额</b>"_s : expected);
    }
    QVERIFY(target);
    window.move(50, 50);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const QPoint cursor = target->mapToGlobal(QPoint(5, 5));
    sendToolTip(target, cursor);
    TVistaHintWindow *hint = TVistaHintWindow::Current();
    QVERIFY(hint);
    QVERIFY(hint->isVisible());
    QCOMPARE(hint->HintText(), expected);
    QVERIFY(!QToolTip::isVisible());
    QCOMPARE(hint->size(), TVistaHintWindow::CalcHintRect(expected).size() + QSize(16, 10));
    QCOMPARE(hint->pos(), cursor + QPoint(2, 16));
    QVERIFY(!hint->isActiveWindow());
}

void TestBalloon::hintPlacement_data()
{
    const QRect screen = screenRect();
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<bool>("atRightEdge");
    QTest::newRow("mid screen") << QPoint(200, 200) << false;
    QTest::newRow("near right edge") << QPoint(screen.right() - 5, 200) << true;
    // Low on the screen it is not lifted: only the right edge is kept.
    QTest::newRow("near bottom") << QPoint(200, screen.bottom() - 5) << false;
}

void TestBalloon::hintPlacement()
{
    QFETCH(QPoint, cursor);
    QFETCH(bool, atRightEdge);

    QWidget window;
    window.resize(200, 100);
    window.setToolTip(u"本月收入、支出与结余的合计，双击打开报表"_s);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    sendToolTip(&window, cursor);
    TVistaHintWindow *hint = TVistaHintWindow::Current();
    QVERIFY(hint);
    const QRect g = hint->geometry();
    QCOMPARE(g.top(), cursor.y() + 16);
    if (atRightEdge) {
        QCOMPARE(g.right(), screenRect().right());
        QVERIFY(g.left() < cursor.x());
    } else {
        QCOMPARE(g.left(), cursor.x() + 2);
    }
}

void TestBalloon::hintGradient()
{
    QWidget window;
    window.resize(200, 100);
    window.setToolTip(u"结余"_s);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    sendToolTip(&window, window.mapToGlobal(QPoint(10, 10)));
    TVistaHintWindow *hint = TVistaHintWindow::Current();
    QVERIFY(hint);

    const QImage image = hint->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    const int x = qRound(hint->width() / 2 * ratio);
    const QColor top = image.pixelColor(x, qRound(3 * ratio));
    const QColor bottom = image.pixelColor(x, qRound((hint->height() - 3) * ratio));
    QVERIFY2(near(top, QColor(255, 255, 255)), qPrintable(top.name()));
    QVERIFY2(near(bottom, QColor(229, 229, 240)), qPrintable(bottom.name()));
    const QColor outline = image.pixelColor(x, qRound(1 * ratio));
    QVERIFY2(near(outline, QColor(118, 118, 118), 2), qPrintable(outline.name()));
}

void TestBalloon::hintCornersAreCut()
{
    QWidget window;
    window.resize(200, 100);
    window.setToolTip(u"结余"_s);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    sendToolTip(&window, window.mapToGlobal(QPoint(10, 10)));
    TVistaHintWindow *hint = TVistaHintWindow::Current();
    QVERIFY(hint);

    const QRegion mask = hint->mask();
    const int w = hint->width();
    const int h = hint->height();
    QVERIFY(!mask.contains(QPoint(0, 5)));
    QVERIFY(!mask.contains(QPoint(5, 0)));
    QVERIFY(!mask.contains(QPoint(1, 1)));
    QVERIFY(!mask.contains(QPoint(w - 1, h - 1)));
    QVERIFY(mask.contains(QPoint(2, 1)));
    QVERIFY(mask.contains(QPoint(w - 2, h - 2)));
}

void TestBalloon::noToolTipNoHint()
{
    QWidget window;
    window.resize(200, 100);
    auto *plain = new QLabel(u"无提示"_s, &window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    sendToolTip(plain, plain->mapToGlobal(QPoint(3, 3)));
    QCOMPARE(TVistaHintWindow::Current(), nullptr);
}

void TestBalloon::hintHides_data()
{
    QTest::addColumn<QEvent::Type>("type");
    QTest::newRow("mouse leaves") << QEvent::Leave;
    QTest::newRow("click") << QEvent::MouseButtonPress;
    QTest::newRow("key") << QEvent::KeyPress;
    QTest::newRow("widget hidden") << QEvent::Hide;
}

void TestBalloon::hintHides()
{
    QFETCH(QEvent::Type, type);

    QWidget window;
    window.resize(200, 100);
    auto *label = new QLabel(u"结余"_s, &window);
    label->setGeometry(10, 10, 80, 24);
    label->setToolTip(u"本日结余"_s);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    sendToolTip(label, label->mapToGlobal(QPoint(3, 3)));
    QVERIFY(TVistaHintWindow::Current());

    switch (type) {
    case QEvent::Leave: {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(label, &leave);
        break;
    }
    case QEvent::MouseButtonPress:
        QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(150, 80));
        break;
    case QEvent::KeyPress:
        QTest::keyClick(&window, Qt::Key_A);
        break;
    default:
        label->hide();
        break;
    }
    QCOMPARE(TVistaHintWindow::Current(), nullptr);
}

QTEST_MAIN(TestBalloon)
#include "tst_balloon.moc"
