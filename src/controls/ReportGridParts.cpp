#include "ReportGridParts.h"

#include "ReportGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QStyleOptionHeader>

#include <algorithm>

using namespace Qt::StringLiterals;

// ---------------------------------------------------------------------------
// Model

TReportGridModel::TReportGridModel(TReportGrid *grid)
    : QAbstractTableModel(grid)
    , m_grid(grid)
{
}

int TReportGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TReportGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_grid->ColumnCount();
}

QVariant TReportGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows || index.column() >= m_grid->ColumnCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_grid->CellText(index.row(), index.column());
    case Qt::EditRole:
        return m_grid->CellValue(index.row(), index.column());
    case Qt::TextAlignmentRole: {
        Qt::Alignment a = m_grid->Column(index.column()).Alignment;
        if (!(a & Qt::AlignHorizontal_Mask))
            a |= Qt::AlignHCenter;
        if (!(a & Qt::AlignVertical_Mask))
            a |= Qt::AlignVCenter;
        return a.toInt();
    }
    case Qt::ForegroundRole:
        return QBrush(m_grid->RowTextColor(index.row()));
    default:
        return {};
    }
}

QVariant TReportGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    if (section < 0 || section >= m_grid->ColumnCount())
        return {};
    if (role == Qt::DisplayRole)
        return m_grid->Column(section).Title;
    if (role == Qt::TextAlignmentRole)
        return Qt::Alignment(Qt::AlignCenter).toInt();
    return {};
}

Qt::ItemFlags TReportGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void TReportGridModel::SetRows(int rows)
{
    rows = std::max(rows, 0);
    if (m_rows > 0) {
        beginRemoveRows(QModelIndex(), 0, m_rows - 1);
        m_rows = 0;
        endRemoveRows();
    }
    if (rows > 0) {
        beginInsertRows(QModelIndex(), 0, rows - 1);
        m_rows = rows;
        endInsertRows();
    }
}

void TReportGridModel::RowsReordered()
{
    // The query has already reordered its rows; the current row is placed by the grid. The hint
    // keeps the column header out of it (it would otherwise redo hidden sections).
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TReportGridModel::BeginAppendColumn()
{
    const int n = m_grid->ColumnCount();
    beginInsertColumns(QModelIndex(), n, n);
}

void TReportGridModel::EndAppendColumn()
{
    endInsertColumns();
}

void TReportGridModel::BeginResetColumns()
{
    beginResetModel();
}

void TReportGridModel::EndResetColumns()
{
    endResetModel();
}

void TReportGridModel::ColumnsChanged()
{
    const int columns = m_grid->ColumnCount();
    if (columns == 0)
        return;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, columns - 1);
    if (m_rows > 0)
        Q_EMIT dataChanged(index(0, 0), index(m_rows - 1, columns - 1));
}

// ---------------------------------------------------------------------------
// View

TReportGridView::TReportGridView(QWidget *parent)
    : QTableView(parent)
{
}

int TReportGridView::FirstVisibleColumn() const
{
    const QHeaderView *h = horizontalHeader();
    for (int v = 0; v < h->count(); ++v) {
        const int logical = h->logicalIndex(v);
        if (!h->isSectionHidden(logical))
            return logical;
    }
    return 0;
}

QModelIndex TReportGridView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QAbstractItemModel *m = model();
    if (!m || m->rowCount() == 0 || m->columnCount() == 0)
        return {};
    const QModelIndex current = currentIndex();
    const int column = current.isValid() ? current.column() : FirstVisibleColumn();
    switch (action) {
    case MoveHome:
        return m->index(0, column);
    case MoveEnd:
        return m->index(m->rowCount() - 1, column);
    case MoveLeft:
    case MoveRight:
    case MoveNext:
    case MovePrevious:
        return current; // rows only: the grid selects whole rows
    default:
        break;
    }
    const QModelIndex next = QTableView::moveCursor(action, modifiers);
    return next.isValid() ? m->index(next.row(), column) : next;
}

void TReportGridView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (Activated)
            Activated();
        event->accept();
        return;
    case Qt::Key_Left:
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        event->accept();
        return;
    case Qt::Key_Right:
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        event->accept();
        return;
    default:
        break;
    }
    QTableView::keyPressEvent(event);
    // Home on the first row scrolled out of sight moves nothing; show the row all the same.
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        if (currentIndex().isValid())
            scrollTo(currentIndex());
        break;
    default:
        break;
    }
}

QItemSelectionModel::SelectionFlags TReportGridView::selectionCommand(const QModelIndex &index, const QEvent *) const
{
    // Exactly one whole row is selected; a Ctrl+click must not leave the grid without one.
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
}

void TReportGridView::updateGeometries()
{
    QTableView::updateGeometries();
    if (GeometriesChanged)
        GeometriesChanged();
}

// ---------------------------------------------------------------------------
// Cells

void TStripedDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    painter->fillRect(option.rect, StripedRowColor(index.row() + 1, selected, option.palette));

    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_MouseOver);
    opt.backgroundBrush = QBrush();
    const QWidget *widget = option.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
}

// ---------------------------------------------------------------------------
// Titles

TReportHeader::TReportHeader(TReportGrid *grid, QWidget *parent)
    : QHeaderView(Qt::Horizontal, parent)
    , m_grid(grid)
{
}

int TReportHeader::LineHeight() const
{
    return fontMetrics().height() + 8;
}

QSize TReportHeader::sizeHint() const
{
    return QSize(QHeaderView::sizeHint().width(), LineHeight() * m_grid->TitleLevels());
}

QRect TReportHeader::LowerRect(int logicalIndex, const QRect &full, QString *text) const
{
    const QStringList words = TitleWords(m_grid->Column(logicalIndex).Title);
    if (words.size() >= 2 && m_grid->TitleLevels() == 2) {
        *text = words.mid(1).join(u'|');
        return full.adjusted(0, full.height() / 2, 0, 0);
    }
    *text = words.join(u'|');
    return full;
}

void TReportHeader::DrawCell(QPainter *painter, const QRect &rect, const QString &text, int marker) const
{
    QStyleOptionHeader opt;
    opt.initFrom(this);
    opt.rect = rect;
    opt.orientation = Qt::Horizontal;
    opt.state |= QStyle::State_Raised | QStyle::State_Horizontal;
    opt.position = QStyleOptionHeader::Middle;
    opt.textAlignment = Qt::AlignCenter;
    style()->drawControl(QStyle::CE_HeaderSection, &opt, painter, this);

    const int markerWidth = marker != TReportGrid::MarkerNone ? 11 : 0;
    const QRect label = rect.adjusted(2, 0, -2 - markerWidth, 0);
    opt.rect = label;
    opt.text = fontMetrics().elidedText(text, Qt::ElideRight, std::max(label.width(), 0));
    style()->drawControl(QStyle::CE_HeaderLabel, &opt, painter, this);

    if (markerWidth > 0) {
        // ▲ ascending, ▼ descending
        const qreal cx = rect.right() - 2 - markerWidth / 2.0;
        const qreal cy = rect.center().y() + 0.5;
        QPainterPath triangle;
        if (marker == TReportGrid::MarkerAscending) {
            triangle.moveTo(cx - 4, cy + 2.5);
            triangle.lineTo(cx + 4, cy + 2.5);
            triangle.lineTo(cx, cy - 2.5);
        } else {
            triangle.moveTo(cx - 4, cy - 2.5);
            triangle.lineTo(cx + 4, cy - 2.5);
            triangle.lineTo(cx, cy + 2.5);
        }
        triangle.closeSubpath();
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->fillPath(triangle, palette().color(QPalette::ButtonText));
        painter->restore();
    }
}

void TReportHeader::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const int height = viewport()->height();
    const QRect dirty = event->rect();
    int right = 0;
    for (int v = 0; v < count(); ++v) {
        const int logical = logicalIndex(v);
        if (isSectionHidden(logical))
            continue;
        const QRect full(sectionViewportPosition(logical), 0, sectionSize(logical), height);
        right = std::max(right, full.x() + full.width());
        if (!full.intersects(dirty))
            continue;
        QString text;
        const QRect lower = LowerRect(logical, full, &text);
        DrawCell(&painter, lower, text, m_grid->Marker(logical));
    }
    if (m_grid->TitleLevels() == 2) {
        for (const TTitleSpan &span : m_grid->TitleSpans()) {
            const int first = span.Columns.constFirst();
            const int last = span.Columns.constLast();
            const int x1 = sectionViewportPosition(first);
            const int x2 = sectionViewportPosition(last) + sectionSize(last);
            const QRect upper(x1, 0, x2 - x1, height / 2);
            if (upper.intersects(dirty))
                DrawCell(&painter, upper, span.Caption, TReportGrid::MarkerNone);
        }
    }
    if (right < viewport()->width()) {
        QStyleOption opt;
        opt.initFrom(this);
        opt.rect = QRect(right, 0, viewport()->width() - right, height);
        style()->drawControl(QStyle::CE_HeaderEmptyArea, &opt, &painter, this);
    }
}

void TReportHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    // Used for the picture that follows the mouse while a column is dragged.
    QString text;
    const QRect lower = LowerRect(logicalIndex, rect, &text);
    if (lower != rect) {
        const QStringList words = TitleWords(m_grid->Column(logicalIndex).Title);
        DrawCell(painter, QRect(rect.x(), rect.y(), rect.width(), rect.height() / 2), words.value(0),
            TReportGrid::MarkerNone);
    }
    DrawCell(painter, lower, text, m_grid->Marker(logicalIndex));
}

void TReportHeader::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const int logical = logicalIndexAt(pos);
    m_pressedOnGroup = logical >= 0 && m_grid->TitleLevels() == 2 && pos.y() < viewport()->height() / 2
        && TitleWords(m_grid->Column(logical).Title).size() >= 2;
    QHeaderView::mousePressEvent(event);
}

// ---------------------------------------------------------------------------
// Footer

TReportFooter::TReportFooter(TReportGrid *grid, QWidget *parent)
    : QWidget(parent)
    , m_grid(grid)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize TReportFooter::sizeHint() const
{
    return QSize(100, fontMetrics().height() + 8);
}

int TReportFooter::ViewportLeft() const
{
    const QWidget *viewport = m_grid->View()->viewport();
    return viewport->mapTo(m_grid, QPoint(0, 0)).x() - mapTo(m_grid, QPoint(0, 0)).x();
}

QRect TReportFooter::CellRect(int column) const
{
    const QHeaderView *header = m_grid->Header();
    if (column < 0 || column >= header->count() || header->isSectionHidden(column))
        return {};
    return QRect(ViewportLeft() + header->sectionViewportPosition(column), 0, header->sectionSize(column), height());
}

void TReportFooter::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    const QWidget *viewport = m_grid->View()->viewport();
    const QRect area(ViewportLeft(), 0, viewport->width(), height());
    painter.setClipRect(area);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(area.topLeft(), area.topRight());
    for (int c = 0; c < m_grid->ColumnCount(); ++c) {
        const QRect cell = CellRect(c);
        if (cell.width() <= 0 || !cell.intersects(area))
            continue;
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawLine(cell.topRight(), cell.bottomRight());
        const QString text = m_grid->FooterDisplayText(c);
        if (text.isEmpty())
            continue;
        const QRect inner = cell.adjusted(2, 1, -3, 0);
        painter.setPen(m_grid->Column(c).FooterColor);
        painter.drawText(
            inner, Qt::AlignCenter, fontMetrics().elidedText(text, Qt::ElideRight, std::max(inner.width(), 0)));
    }
}
