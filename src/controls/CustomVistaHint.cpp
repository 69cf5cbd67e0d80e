#include "CustomVistaHint.h"

#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QPointer>
#include <QPropertyAnimation>
#include <QRegion>
#include <QScreen>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QToolTip>

#include <algorithm>

namespace {

constexpr int kFadeMilliseconds = 200;
const QPoint kCursorOffset(2, 16); // where a tooltip usually sits below the cursor

// Row y of h, from white at the top to RGB(229, 229, 240) at the bottom.
QColor gradientRow(int y, int h)
{
    auto channel = [y, h](int start, int end) { return start + qRound(static_cast<double>(end - start) * y / h); };
    return QColor(channel(255, 229), channel(255, 229), channel(255, 240));
}

// Watches the whole application: answers tooltip requests with a TVistaHintWindow and takes
// the hint away on the same occasions QToolTip would.
class TVistaHintFilter : public QObject
{
public:
    explicit TVistaHintFilter(QObject *parent)
        : QObject(parent)
    {
        m_expire.setSingleShot(true);
        connect(&m_expire, &QTimer::timeout, this, &TVistaHintFilter::hideHint);
    }
    ~TVistaHintFilter() override { hideHint(); }

    TVistaHintWindow *current() const { return m_hint; }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::ToolTip:
            return watched->isWidgetType()
                && showHint(static_cast<QWidget *>(watched), static_cast<QHelpEvent *>(event));
        case QEvent::Leave:
        case QEvent::Hide:
            if (m_hint && watched == m_widget)
                hideHint();
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (m_hint && key != Qt::Key_Shift && key != Qt::Key_Control && key != Qt::Key_Alt && key != Qt::Key_Meta)
                hideHint();
            break;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate:
        case QEvent::Close:
            if (m_hint && watched != m_hint)
                hideHint();
            break;
        default:
            break;
        }
        return false;
    }

    void hideHint()
    {
        m_expire.stop();
        if (m_hint) {
            m_hint->hide();
            m_hint->deleteLater();
        }
        m_hint = nullptr;
        m_widget = nullptr;
    }

private:
    bool showHint(QWidget *widget, const QHelpEvent *help)
    {
        QString text = widget->toolTip();
        if (text.isEmpty())
            return false; // the widget (an item view, a tab bar) or its parent may have its own
        if (Qt::mightBeRichText(text))
            text = QTextDocumentFragment::fromHtml(text).toPlainText();

        if (m_hint && m_widget == widget && m_hint->HintText() == text) {
            startExpiry(widget, text);
            return true;
        }
        hideHint();
        QToolTip::hideText();

        // Owned by the widget, so the hint goes with it.
        auto *hint = new TVistaHintWindow(widget);
        const QRect textRect = TVistaHintWindow::CalcHintRect(text).translated(help->globalPos() + kCursorOffset);
        hint->ActivateHint(textRect, text);
        m_hint = hint;
        m_widget = widget;
        startExpiry(widget, text);
        return true;
    }

    void startExpiry(const QWidget *widget, const QString &text)
    {
        // As long as QToolTip would keep it, unless the widget asks for its own time.
        const int duration = widget->toolTipDuration() > 0
            ? widget->toolTipDuration()
            : 10000 + 40 * std::max(0, static_cast<int>(text.size()) - 100);
        m_expire.start(duration);
    }

    QPointer<TVistaHintWindow> m_hint;
    QPointer<QWidget> m_widget;
    QTimer m_expire;
};

QPointer<TVistaHintFilter> s_filter;

} // namespace

TVistaHintWindow::TVistaHintWindow(QWidget *parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
{
    // Tooltip windows get the platform's drop shadow where it has one (Windows, compositors).
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent); // the gradient covers every pixel
    setFocusPolicy(Qt::NoFocus);
    setFont(QToolTip::font());
    m_fade = new QPropertyAnimation(this, "windowOpacity", this);
    m_fade->setDuration(kFadeMilliseconds);
    m_fade->setStartValue(0.0);
    m_fade->setEndValue(1.0);
}

void TVistaHintWindow::Install(QApplication *app)
{
    if (!app || s_filter)
        return;
    s_filter = new TVistaHintFilter(app);
    app->installEventFilter(s_filter);
}

TVistaHintWindow *TVistaHintWindow::Current()
{
    return s_filter ? s_filter->current() : nullptr;
}

QRect TVistaHintWindow::CalcHintRect(const QString &text, int maxWidth)
{
    const QFontMetrics metrics(QToolTip::font());
    const QRect r = metrics.boundingRect(QRect(0, 0, std::max(1, maxWidth), 0), Qt::TextWordWrap, text);
    return QRect(0, 0, r.width() + 6, r.height() + 2);
}

void TVistaHintWindow::ActivateHint(const QRect &rect, const QString &text)
{
    m_text = text;
    setFont(QToolTip::font());
    const QSize size(rect.width() + 16, rect.height() + 10);

    QPoint pos = rect.topLeft();
    QScreen *screen = QGuiApplication::screenAt(pos);
    if (!screen)
        screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        // Kept inside at the right only: a hint low on the screen stays where it was put.
        const QRect sg = screen->geometry();
        if (pos.x() + size.width() > sg.right() + 1)
            pos.setX(std::max(sg.left(), sg.right() + 1 - size.width()));
    }
    setGeometry(QRect(pos, size));

    // Rounded region from (1, 1) to the far corner with 3 × 3 corners: the outer row and
    // column are left out and each corner loses a pixel.
    const int w = size.width();
    const int h = size.height();
    QRegion region(1, 1, w - 1, h - 1);
    region -= QRegion(1, 1, 1, 1);
    region -= QRegion(w - 1, 1, 1, 1);
    region -= QRegion(1, h - 1, 1, 1);
    region -= QRegion(w - 1, h - 1, 1, 1);
    setMask(region);

    m_fade->stop();
    setWindowOpacity(0.0);
    show();
    update();
    m_fade->start();
}

void TVistaHintWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int w = width();
    const int h = height();
    for (int y = 0; y < h; ++y) {
        painter.setPen(gradientRow(y, h));
        painter.drawLine(0, y, w - 1, y);
    }

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QColor(118, 118, 118));
    const QRect outline(1, 1, w - 3, h - 3);
    painter.drawRoundedRect(outline, 3, 3);
    painter.drawRoundedRect(outline, 1.5, 1.5);

    painter.setPen(QColor(128, 128, 128));
    painter.drawText(QRect(8, 5, w - 8, h - 5), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, m_text);
}
