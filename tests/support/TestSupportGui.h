#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace TestSupport {

// Runs `action` on the first visible top-level widget of type T as soon as it shows (for modal
// dialogs opened by the code under test). Polls every 10 ms, gives up after `timeoutMs`.
template<typename T>
void WhenShown(std::function<void(T *)> action, int timeoutMs = 5000)
{
    auto *timer = new QTimer(qApp);
    auto remaining = std::make_shared<int>(timeoutMs / 10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, remaining, action] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget *w : windows) {
            if (auto *t = qobject_cast<T *>(w); t && t->isVisible()) {
                timer->stop();
                timer->deleteLater();
                action(t);
                // A check that failed inside `action` returned early: close a dialog left
                // open so the test fails instead of waiting forever.
                if (t->isVisible() && t->inherits("QDialog"))
                    QMetaObject::invokeMethod(t, "reject", Qt::QueuedConnection);
                return;
            }
        }
        if (--*remaining <= 0) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
}

// Shows a window and makes it the active one, so its shortcuts work (offscreen too).
bool ShowActive(QWidget *window);

// Types any text (Chinese too) into a widget as key presses carrying the characters.
void TypeText(QWidget *widget, const QString &text);

// Points HOME at a folder of the test, so nothing is written into the real home.
void UseHome(const QString &path);

} // namespace TestSupport
