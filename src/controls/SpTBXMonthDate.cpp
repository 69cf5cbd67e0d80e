#include "SpTBXMonthDate.h"

#include "CnCalendar.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QColor kFixedBack(245, 245, 245);
const QColor kDefaultSelected(0, 0, 255);
const QColor kDayTextColor(192, 220, 192);
const QColor kGridLine(208, 208, 208);
const QString kDefaultSkin = u"Default"_s;

constexpr int kMinPixelSize = 9;
constexpr qreal kMinPointSize = 7.0;

// Spin edit whose number changes only by its arrows (or the arrow keys and the wheel), never by typing.
class ArrowSpinBox : public QSpinBox
{
public:
    explicit ArrowSpinBox(QWidget *parent)
        : QSpinBox(parent)
    {
        lineEdit()->setReadOnly(true);
    }
};

// Widths of the 7 columns (or heights of the 7 rows) for a client extent: `base` per cell and one
// more pixel for the first `extra` cells when that leaves between 1 and 5 pixels over.
std::array<int, 7> SplitExtent(int base, int extra)
{
    std::array<int, 7> sizes {};
    for (int i = 0; i < 7; ++i)
        sizes[static_cast<std::size_t>(i)] = (extra >= 1 && extra <= 5 && i < extra) ? base + 1 : base;
    return sizes;
}

// The day text is often wider than a narrow cell ("闰十二月"): shrink it rather than lose both ends.
QFont FitFont(QFont font, const QString &text, int width)
{
    const int advance = QFontMetrics(font).horizontalAdvance(text);
    if (advance <= width || advance <= 0 || width <= 0)
        return font;
    const qreal scale = static_cast<qreal>(width) / advance;
    if (font.pixelSize() > 0)
        font.setPixelSize(std::max(kMinPixelSize, static_cast<int>(font.pixelSize() * scale)));
    else if (font.pointSizeF() > 0)
        font.setPointSizeF(std::max(kMinPointSize, font.pointSizeF() * scale));
    return font;
}

} // namespace

// The day grid paints and takes input on behalf of the control, which holds all the state.
class TMonthDayGrid : public QWidget
{
public:
    explicit TMonthDayGrid(TSpTBXCustomMonthDate *owner)
        : QWidget(owner)
        , m_owner(owner)
    {
        setObjectName(u"grdDays"_s);
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

    QSize sizeHint() const override
    {
        const QFontMetrics fm(font());
        const int cellW = std::max(fm.horizontalAdvance(u"廿九"_s), fm.horizontalAdvance(u"31"_s)) + 10;
        const int cellH = 2 * fm.height() + 6;
        return { 7 * cellW + 7, 7 * cellH + 13 };
    }
    QSize minimumSizeHint() const override { return { 7 * 8 + 7, 7 * 8 + 13 }; }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        m_owner->PaintGrid(painter, event->rect());
    }
    void resizeEvent(QResizeEvent *event) override
    {
        QWidget::resizeEvent(event);
        m_owner->SizeCells();
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        int row = -1;
        int col = -1;
        if (event->button() == Qt::LeftButton && m_owner->CellAt(event->position().toPoint(), &row, &col))
            m_owner->SelectCell(row, col);
        QWidget::mousePressEvent(event);
    }
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)
            || !m_owner->HandleGridKey(event->key()))
            QWidget::keyPressEvent(event);
    }

private:
    TSpTBXCustomMonthDate *m_owner;
};

TSpTBXCustomMonthDate::TSpTBXCustomMonthDate(QWidget *parent)
    : QWidget(parent)
    , m_date(std::clamp(QDate::currentDate(), FirstDate(), LastDate()))
    , m_skinName(u"Office 2007 Blue"_s)
{
    auto *caption = new QWidget(this);
    caption->setObjectName(u"pnlCaption"_s);
    caption->setAutoFillBackground(true);
    caption->setBackgroundRole(QPalette::Window);
    auto *captionLayout = new QHBoxLayout(caption);
    captionLayout->setContentsMargins(2, 2, 2, 2);
    captionLayout->setSpacing(0);

    m_lblYear = new QLabel(u"乙丑牛年"_s, caption);
    m_lblYear->setObjectName(u"lblYear"_s);
    m_lblYear->setFixedWidth(60);
    m_lblYear->setAlignment(Qt::AlignCenter);

    m_seYear = new ArrowSpinBox(caption);
    m_seYear->setObjectName(u"seYear"_s);
    m_seYear->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_seYear->setRange(1980, 2099);
    m_seYear->setValue(m_date.year());

    auto *lblYearUnit = new QLabel(u"年"_s, caption);
    lblYearUnit->setFixedWidth(20);
    lblYearUnit->setAlignment(Qt::AlignCenter);

    m_seMonth = new ArrowSpinBox(caption);
    m_seMonth->setObjectName(u"seMonth"_s);
    m_seMonth->setRange(1, 12);
    m_seMonth->setValue(m_date.month());

    auto *lblMonthUnit = new QLabel(u"月"_s, caption);
    lblMonthUnit->setFixedWidth(15);
    lblMonthUnit->setAlignment(Qt::AlignCenter);

    captionLayout->addWidget(m_lblYear);
    captionLayout->addWidget(m_seYear);
    captionLayout->addWidget(lblYearUnit);
    captionLayout->addWidget(m_seMonth);
    captionLayout->addWidget(lblMonthUnit);
    captionLayout->addStretch(1);
    // The panel may be docked narrower than the caption bar; the bar is then cut, the grid still fits.
    captionLayout->setSizeConstraint(QLayout::SetNoConstraint);
    caption->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    m_grid = new TMonthDayGrid(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(caption);
    layout->addWidget(m_grid, 1);
    layout->setSizeConstraint(QLayout::SetNoConstraint);

    connect(m_seYear, &QSpinBox::valueChanged, this, &TSpTBXCustomMonthDate::OnSpinChanged);
    connect(m_seMonth, &QSpinBox::valueChanged, this, &TSpTBXCustomMonthDate::OnSpinChanged);

    FitSpinWidths();
    FillGrid();
    SizeCells();
    // Nobody is connected yet; the first show reports the date instead (see showEvent).
    SetDate(m_date);
    SetDate(m_date);
}

TSpTBXCustomMonthDate::~TSpTBXCustomMonthDate() = default;

QDate TSpTBXCustomMonthDate::FirstDate()
{
    return { 1980, 1, 1 };
}

QDate TSpTBXCustomMonthDate::LastDate()
{
    return { 2099, 12, 31 };
}

void TSpTBXCustomMonthDate::SetDate(const QDate &date)
{
    if (!date.isValid())
        return;
    const QDate newDate = std::clamp(date, FirstDate(), LastDate());
    const bool sameMonth = newDate.year() == m_date.year() && newDate.month() == m_date.month();
    m_date = newDate;
    if (!sameMonth)
        FillGrid();
    const QPoint cell = CellOfDay(newDate.day());
    SelectCell(cell.y(), cell.x());
    UpdateCaption();
    SyncSpins();
    emit DateChanged(m_date);
}

void TSpTBXCustomMonthDate::SetSkinName(const QString &name)
{
    if (name == m_skinName)
        return;
    m_skinName = name;
    m_grid->update();
}

QString TSpTBXCustomMonthDate::CellText(int row, int col) const
{
    if (row < 0 || row > 6 || col < 0 || col > 6)
        return {};
    return m_cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

QPoint TSpTBXCustomMonthDate::CellOfDay(int day) const
{
    if (day < 1)
        return { -1, -1 };
    const QString text = QString::number(day);
    for (int row = 1; row <= 6; ++row) {
        for (int col = 0; col <= 6; ++col) {
            if (CellText(row, col) == text)
                return { col, row };
        }
    }
    return { -1, -1 };
}

QRect TSpTBXCustomMonthDate::CellRect(int row, int col) const
{
    if (row < 0 || row > 6 || col < 0 || col > 6)
        return {};
    int x = 0;
    for (int i = 0; i < col; ++i)
        x += m_colWidths[static_cast<std::size_t>(i)] + 1;
    int y = 0;
    for (int i = 0; i < row; ++i)
        y += m_rowHeights[static_cast<std::size_t>(i)] + 1;
    return { x, y, ColumnWidth(col), RowHeight(row) };
}

int TSpTBXCustomMonthDate::ColumnWidth(int col) const
{
    return col >= 0 && col <= 6 ? m_colWidths[static_cast<std::size_t>(col)] : 0;
}

int TSpTBXCustomMonthDate::RowHeight(int row) const
{
    return row >= 0 && row <= 6 ? m_rowHeights[static_cast<std::size_t>(row)] : 0;
}

QWidget *TSpTBXCustomMonthDate::DayGrid() const
{
    return m_grid;
}

QSize TSpTBXCustomMonthDate::sizeHint() const
{
    const QSize grid = m_grid->sizeHint();
    const int captionH = m_seYear->sizeHint().height() + 4;
    const int captionW = 60 + m_seYear->minimumWidth() + 20 + m_seMonth->minimumWidth() + 15 + 4;
    return { std::max(grid.width(), captionW), grid.height() + captionH };
}

QSize TSpTBXCustomMonthDate::minimumSizeHint() const
{
    const QSize grid = m_grid->minimumSizeHint();
    return { grid.width(), grid.height() + m_seYear->minimumSizeHint().height() + 4 };
}

void TSpTBXCustomMonthDate::FillGrid()
{
    static const QString kWeekdays[7] = { u"日"_s, u"一"_s, u"二"_s, u"三"_s, u"四"_s, u"五"_s, u"六"_s };
    for (int col = 0; col < 7; ++col)
        m_cells[0][static_cast<std::size_t>(col)] = kWeekdays[col];

    const QDate first(m_date.year(), m_date.month(), 1);
    const int firstWeekday = first.dayOfWeek() % 7 + 1; // 1 = Sunday … 7 = Saturday
    const int days = first.daysInMonth();
    for (int row = 1; row <= 6; ++row) {
        for (int col = 0; col <= 6; ++col) {
            const int k = (row - 1) * 7 + col;
            const int day = k + 2 - firstWeekday;
            m_cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)]
                = (day >= 1 && day <= days) ? QString::number(day) : QString();
        }
    }
    m_grid->update();
}

void TSpTBXCustomMonthDate::SizeCells()
{
    const int w = m_grid->width();
    const int h = m_grid->height();
    const int a = (w - 6) / 7;
    m_colWidths = SplitExtent(std::max(0, a), w - 7 * a - 7);
    const int b = (h - 12) / 7;
    m_rowHeights = SplitExtent(std::max(0, b), h - 7 * b - 13);
    m_grid->update();
}

bool TSpTBXCustomMonthDate::SelectCell(int row, int col)
{
    if (row < 1 || row > 6 || col < 0 || col > 6)
        return false;
    bool isDay = false;
    const int day = CellText(row, col).toInt(&isDay);
    if (!isDay)
        return false;
    m_curRow = row;
    m_curCol = col;
    m_date = QDate(m_date.year(), m_date.month(), day);
    // A pick across 立春 changes the sexagenary year, so the caption follows clicks as well.
    UpdateCaption();
    m_grid->update();
    emit DateChanged(m_date);
    return true;
}

void TSpTBXCustomMonthDate::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_firstShowReported) {
        m_firstShowReported = true;
        emit DateChanged(m_date);
    }
}

void TSpTBXCustomMonthDate::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        FitSpinWidths();
        updateGeometry();
    }
}

void TSpTBXCustomMonthDate::OnSpinChanged()
{
    // Enter in a spin re-sends its unchanged value; that is no pick.
    if (m_seYear->value() == m_date.year() && m_seMonth->value() == m_date.month())
        return;
    const QDate moved
        = m_date.addYears(m_seYear->value() - m_date.year()).addMonths(m_seMonth->value() - m_date.month());
    SetDate(moved);
}

void TSpTBXCustomMonthDate::FitSpinWidths()
{
    // 45 and 35 pixels where the font and the arrows allow it; wider rather than showing "201".
    m_seYear->setFixedWidth(std::max(45, m_seYear->sizeHint().width()));
    m_seMonth->setFixedWidth(std::max(35, m_seMonth->sizeHint().width()));
}

void TSpTBXCustomMonthDate::SyncSpins()
{
    const QSignalBlocker yearBlocker(m_seYear);
    const QSignalBlocker monthBlocker(m_seMonth);
    m_seYear->setValue(m_date.year());
    m_seMonth->setValue(m_date.month());
}

void TSpTBXCustomMonthDate::UpdateCaption()
{
    const QString caption = CnCalendar::YearCaption(m_date);
    if (!caption.isEmpty())
        m_lblYear->setText(caption);
}

void TSpTBXCustomMonthDate::PaintGrid(QPainter &painter, const QRect &dirty) const
{
    painter.fillRect(dirty, Qt::white);
    for (int row = 0; row < 7; ++row) {
        for (int col = 0; col < 7; ++col) {
            const QRect cell = CellRect(row, col);
            if (!cell.isEmpty() && cell.intersects(dirty))
                PaintCell(painter, row, col);
        }
    }

    const QRect last = CellRect(6, 6);
    const int right = last.x() + last.width();
    const int bottom = last.y() + last.height();
    painter.setPen(kGridLine);
    for (int col = 0; col < 7; ++col) {
        const QRect cell = CellRect(0, col);
        const int x = cell.x() + cell.width();
        painter.drawLine(x, 0, x, bottom);
    }
    for (int row = 0; row < 7; ++row) {
        const QRect cell = CellRect(row, 0);
        const int y = cell.y() + cell.height();
        painter.drawLine(0, y, right, y);
    }
}

void TSpTBXCustomMonthDate::PaintCell(QPainter &painter, int row, int col) const
{
    const QRect rect = CellRect(row, col);
    const QString text = CellText(row, col);
    painter.save();
    painter.setClipRect(rect);
    painter.setFont(font());

    if (row == 0) {
        painter.fillRect(rect, kFixedBack);
        painter.setPen(Qt::black);
        painter.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, text);
    } else if (text.isEmpty()) {
        painter.fillRect(rect, kFixedBack);
    } else {
        QColor back = Qt::white;
        if (row == m_curRow && col == m_curCol)
            back = m_skinName == kDefaultSkin ? kDefaultSelected
                                              : palette().color(QPalette::Active, QPalette::Highlight);
        painter.fillRect(rect, back);

        // Placed by ink rather than by line height: CJK fonts carry tall line spacing, and a cell
        // of a docked panel is only about two glyphs high.
        const QFontMetrics numberMetrics(font());
        const QRect numberInk = numberMetrics.tightBoundingRect(text);
        const int numberBaseline = rect.top() + 2 - numberInk.top();
        painter.setPen(Qt::black);
        painter.drawText(
            QPoint(rect.left() + (rect.width() - numberMetrics.horizontalAdvance(text)) / 2, numberBaseline), text);

        const QString dayText = CnCalendar::DayText(QDate(m_date.year(), m_date.month(), text.toInt()));
        if (!dayText.isEmpty()) {
            const QFont dayFont = FitFont(font(), dayText, rect.width() - 2);
            const QFontMetrics dayMetrics(dayFont);
            const QRect dayInk = dayMetrics.tightBoundingRect(dayText);
            const int dayBaseline = rect.top() + rect.height() - 2 - dayInk.bottom();
            // Only where it clears the day number: overlapping glyphs help nobody.
            if (dayBaseline + dayInk.top() > numberBaseline + numberInk.bottom() + 1) {
                painter.setFont(dayFont);
                painter.setPen(kDayTextColor);
                painter.drawText(
                    QPoint(rect.left() + (rect.width() - dayMetrics.horizontalAdvance(dayText)) / 2, dayBaseline),
                    dayText);
            }
        }
    }
    painter.restore();
}

bool TSpTBXCustomMonthDate::CellAt(const QPoint &pos, int *row, int *col) const
{
    // Each cell owns the grid line after it, so every point of the drawn grid belongs to a cell.
    int foundCol = -1;
    for (int i = 0, x = 0; i < 7; ++i) {
        const int next = x + ColumnWidth(i) + 1;
        if (pos.x() >= x && pos.x() < next) {
            foundCol = i;
            break;
        }
        x = next;
    }
    int foundRow = -1;
    for (int i = 0, y = 0; i < 7; ++i) {
        const int next = y + RowHeight(i) + 1;
        if (pos.y() >= y && pos.y() < next) {
            foundRow = i;
            break;
        }
        y = next;
    }
    if (foundCol < 0 || foundRow < 0)
        return false;
    *row = foundRow;
    *col = foundCol;
    return true;
}

bool TSpTBXCustomMonthDate::HandleGridKey(int key)
{
    QDate target;
    switch (key) {
    case Qt::Key_Left:
        target = m_date.addDays(-1);
        break;
    case Qt::Key_Right:
        target = m_date.addDays(1);
        break;
    case Qt::Key_Up:
        target = m_date.addDays(-7);
        break;
    case Qt::Key_Down:
        target = m_date.addDays(7);
        break;
    case Qt::Key_Home:
        target = QDate(m_date.year(), m_date.month(), 1);
        break;
    case Qt::Key_End:
        target = QDate(m_date.year(), m_date.month(), m_date.daysInMonth());
        break;
    case Qt::Key_PageUp:
        target = m_date.addMonths(-1);
        break;
    case Qt::Key_PageDown:
        target = m_date.addMonths(1);
        break;
    default:
        return false;
    }
    SetDate(target);
    return true;
}

TSpTBXMonthDate::TSpTBXMonthDate(QWidget *parent)
    : TSpTBXCustomMonthDate(parent)
{
}
