#include "BalloonUtil.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QBitmap>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyle>
#include <QTextEdit>

#include <algorithm>

namespace {

constexpr int kMargin = 8;
constexpr int kRadius = 6;
constexpr int kStemHeight = 12;
constexpr int kStemWidth = 14;
constexpr int kStemInset = 16; // the tip sits this far from the balloon's left edge when there is room
constexpr int kMaxTextWidth = 320;
constexpr int kIconSize = 16;
constexpr int kIconGap = 6;
constexpr int kLineGap = 4;
constexpr int kPollInterval = 150;

QPixmap iconPixmap(const QStyle *style, int icon)
{
    QStyle::StandardPixmap which = QStyle::SP_MessageBoxInformation;
    if (icon == 2)
        which = QStyle::SP_MessageBoxWarning;
    else if (icon == 3)
        which = QStyle::SP_MessageBoxCritical;
    return style->standardIcon(which).pixmap(kIconSize, kIconSize);
}

// Used when the style has no message-box icons: a coloured disc with a sign.
void drawFallbackIcon(QPainter &painter, const QRect &rect, int icon)
{
    static const QColor colours[] = { {}, { 32, 96, 200 }, { 230, 170, 0 }, { 200, 32, 32 } };
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colours[icon]);
    painter.drawEllipse(rect.adjusted(0, 0, -1, -1));
    painter.setPen(Qt::white);
    QFont f = painter.font();
    f.setBold(true);
    f.setPixelSize(rect.height() - 4);
    painter.setFont(f);
    const char16_t sign = icon == 1 ? u'i' : icon == 2 ? u'!' : u'\u00d7';
    painter.drawText(rect, Qt::AlignCenter, QString(QChar(sign)));
    painter.restore();
}

} // namespace

TXpTooltip::TXpTooltip(QWidget *parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);

    m_delayTimer.setSingleShot(true);
    connect(&m_delayTimer, &QTimer::timeout, this, &TXpTooltip::Hide);
    m_pollTimer.setInterval(kPollInterval);
    connect(&m_pollTimer, &QTimer::timeout, this, &TXpTooltip::checkControlPlace);

    // Switching to another application takes the balloon away. Qt derives this state from the
    // focus window where the platform has no notion of its own, so it works on every desktop.
    if (qGuiApp) {
        connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            if (state != Qt::ApplicationActive)
                Hide();
        });
    }
}

TXpTooltip::~TXpTooltip()
{
    releaseControl();
}

bool TXpTooltip::IsHookedControl(const QWidget *control)
{
    return qobject_cast<const QLineEdit *>(control) || qobject_cast<const QComboBox *>(control)
        || qobject_cast<const QAbstractItemView *>(control) || qobject_cast<const QAbstractSpinBox *>(control)
        || qobject_cast<const QPlainTextEdit *>(control) || qobject_cast<const QTextEdit *>(control);
}

QPoint TXpTooltip::anchorOf(const QWidget *control)
{
    return control->mapToGlobal(QPoint(15, control->height() - 5));
}

void TXpTooltip::Show(QWidget *control, int icon, const QString &text, const QString &title)
{
    Hide();
    if (!control)
        return;

    if (IsHookedControl(control)) {
        // A filter rather than replaced handlers: the control's own key and focus handling
        // stays exactly as it was, and the balloon only watches.
        auto hook = [this](QWidget *w) {
            if (!w)
                return;
            for (const auto &h : m_hooked)
                if (h == w)
                    return;
            w->installEventFilter(this);
            m_hooked.emplace_back(w);
        };
        hook(control);
        if (auto *combo = qobject_cast<QComboBox *>(control))
            hook(combo->lineEdit());
        control->setFocus(Qt::OtherFocusReason);
    }

    const bool sameTool = m_control == control && m_text.compare(text, Qt::CaseInsensitive) == 0;
    m_control = control;
    if (!sameTool || !m_form) {
        m_text = text;
        m_form = control->window();
    }
    m_destroyedConnection = connect(control, &QObject::destroyed, this, &TXpTooltip::Hide);
    m_title = title;
    m_icon = ((icon % 4) + 4) % 4;
    m_anchor = anchorOf(control);

    layoutBalloon();
    show();
    update();

    m_delayTimer.start(std::max(0, DelayTime));
    m_pollTimer.start();
}

void TXpTooltip::Hide()
{
    m_delayTimer.stop();
    m_pollTimer.stop();
    releaseControl();
    hide();
}

void TXpTooltip::releaseControl()
{
    for (const auto &w : m_hooked)
        if (w)
            w->removeEventFilter(this);
    m_hooked.clear();
    disconnect(m_destroyedConnection);
}

void TXpTooltip::checkControlPlace()
{
    const bool stays
        = m_control && m_control->isVisible() && anchorOf(m_control) == m_anchor && (!m_form || m_form->isVisible());
    if (!stays)
        Hide();
}

bool TXpTooltip::eventFilter(QObject *watched, QEvent *event)
{
    bool leave = false;
    if (event->type() == QEvent::KeyPress) {
        leave = true;
    } else if (event->type() == QEvent::FocusOut) {
        // A context menu or a combo's list taking the focus does not leave the control; nor
        // does the focus moving between a combo and its own line edit.
        const auto *focus = static_cast<QFocusEvent *>(event);
        const QWidget *now = QApplication::focusWidget();
        leave = focus->reason() != Qt::PopupFocusReason
            && std::none_of(m_hooked.begin(), m_hooked.end(), [now](const auto &w) { return now && w == now; });
    }
    if (leave) {
        for (const auto &w : m_hooked) {
            if (w == watched) {
                Hide();
                break;
            }
        }
    }
    return QWidget::eventFilter(watched, event); // the event goes on unchanged
}

void TXpTooltip::layoutBalloon()
{
    QFont titleFont = font();
    titleFont.setBold(true);
    const QFontMetrics textMetrics(font());
    const QFontMetrics titleMetrics(titleFont);
    const QRect bounds(0, 0, kMaxTextWidth, 100000);

    const int iconSize = m_icon != 0 ? kIconSize : 0;
    const QRect titleBox = m_title.isEmpty() ? QRect() : titleMetrics.boundingRect(bounds, Qt::TextWordWrap, m_title);
    const QRect textBox = m_text.isEmpty() ? QRect() : textMetrics.boundingRect(bounds, Qt::TextWordWrap, m_text);

    const bool hasHeader = iconSize > 0 || !m_title.isEmpty();
    const int headerWidth = iconSize + (iconSize > 0 && !m_title.isEmpty() ? kIconGap : 0) + titleBox.width();
    const int headerHeight = std::max(iconSize, titleBox.height());
    const int contentWidth = std::max(headerWidth, textBox.width());
    const int contentHeight = headerHeight + (hasHeader && !m_text.isEmpty() ? kLineGap : 0) + textBox.height();

    const int width = std::max(contentWidth + 2 * kMargin, kStemInset + kStemWidth + kRadius + 4);
    const int boxHeight = std::max(contentHeight + 2 * kMargin, 2 * kRadius + 4);
    const int height = boxHeight + kStemHeight;

    QScreen *screen = QGuiApplication::screenAt(m_anchor);
    if (!screen && m_control)
        screen = m_control->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(m_anchor, QSize(width, height));

    // Below the anchor with the stem pointing up; above it when the screen ends first.
    m_stemOnTop = m_anchor.y() + height <= avail.bottom() + 1 || m_anchor.y() - height + 1 < avail.top();
    const int top = m_stemOnTop ? m_anchor.y() : m_anchor.y() - height + 1;
    int left = m_anchor.x() - kStemInset;
    left = std::min(left, avail.right() + 1 - width);
    left = std::max(left, avail.left());
    m_stemX = std::clamp(m_anchor.x() - left, kRadius + 1, width - kRadius - 2);

    const int boxTop = m_stemOnTop ? kStemHeight : 0;
    const QPoint origin(kMargin, boxTop + kMargin);
    m_iconRect
        = iconSize > 0 ? QRect(origin.x(), origin.y() + (headerHeight - iconSize) / 2, iconSize, iconSize) : QRect();
    m_titleRect
        = QRect(origin.x() + iconSize + (iconSize > 0 ? kIconGap : 0), origin.y(), titleBox.width(), headerHeight);
    const int textTop = origin.y() + headerHeight + (hasHeader ? kLineGap : 0);
    m_textRect = QRect(origin.x(), hasHeader ? textTop : origin.y(), contentWidth, textBox.height());

    setGeometry(left, top, width, height);

    QBitmap mask(size());
    mask.fill(Qt::color0);
    QPainter maskPainter(&mask);
    maskPainter.setPen(Qt::color1);
    maskPainter.setBrush(Qt::color1);
    maskPainter.drawPath(balloonPath());
    maskPainter.end();
    setMask(mask);
}

QPainterPath TXpTooltip::balloonPath() const
{
    const qreal w = width();
    const qreal boxHeight = height() - kStemHeight;
    const qreal boxTop = m_stemOnTop ? kStemHeight : 0;
    QPainterPath box;
    box.addRoundedRect(QRectF(0.5, boxTop + 0.5, w - 1, boxHeight - 1), kRadius, kRadius);

    // The stem's straight side is under the tip; its base runs away from the nearer corner.
    const qreal tipX = m_stemX + 0.5;
    const qreal baseX = m_stemX + kStemWidth <= width() - kRadius - 1 ? tipX + kStemWidth : tipX - kStemWidth;
    const qreal tipY = m_stemOnTop ? 0.5 : height() - 0.5;
    const qreal baseY = m_stemOnTop ? boxTop + 1.5 : boxHeight - 1.5;
    QPainterPath stem;
    stem.moveTo(tipX, tipY);
    stem.lineTo(tipX, baseY);
    stem.lineTo(baseX, baseY);
    stem.closeSubpath();
    return box.united(stem);
}

void TXpTooltip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath path = balloonPath();
    painter.fillPath(path, Background);
    painter.setPen(QPen(FontColor, 1));
    painter.drawPath(path);
    painter.setRenderHint(QPainter::Antialiasing, false);

    if (m_icon != 0) {
        const QPixmap pixmap = iconPixmap(style(), m_icon);
        if (pixmap.isNull())
            drawFallbackIcon(painter, m_iconRect, m_icon);
        else
            painter.drawPixmap(m_iconRect, pixmap);
    }
    painter.setPen(FontColor);
    if (!m_title.isEmpty()) {
        QFont titleFont = font();
        titleFont.setBold(true);
        painter.setFont(titleFont);
        painter.drawText(m_titleRect, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignVCenter, m_title);
        painter.setFont(font());
    }
    if (!m_text.isEmpty())
        painter.drawText(m_textRect, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, m_text);
}
