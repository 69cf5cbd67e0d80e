#include "ReportGrid.h"

#include "RecordSet.h"
#include "ReportGridParts.h"
#include "SqlText.h"

#include <QFile>
#include <QGuiApplication>
#include <QPalette>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <optional>

using namespace Qt::StringLiterals;

QColor StripedRowColor(int recordNumber, bool selected, const QPalette &palette)
{
    if (selected)
        return palette.color(QPalette::Active, QPalette::Highlight);
    if (recordNumber % 2 != 0)
        return QColor(166, 202, 240);
    return palette.color(QPalette::Active, QPalette::ToolTipBase);
}

// ---------------------------------------------------------------------------
// Cell texts

namespace {

bool IsNumericType(int typeId)
{
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        return true;
    default:
        return false;
    }
}

} // namespace

QString FormatCellValue(const QVariant &value, const QString &format)
{
    if (!value.isValid() || value.isNull())
        return QString();
    const int type = value.typeId();
    if (IsNumericType(type)) {
        if (!format.isEmpty())
            return FormatDisplayNumber(value.toDouble(), format);
        if (type == QMetaType::Double || type == QMetaType::Float)
            return FormatDisplayNumber(value.toDouble(), QString());
        if (type == QMetaType::ULongLong || type == QMetaType::ULong || type == QMetaType::UInt)
            return QString::number(value.toULongLong());
        return QString::number(value.toLongLong());
    }
    switch (type) {
    case QMetaType::QDate:
        return SqlText::DateText(value.toDate());
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        const QString date = SqlText::DateText(dt.date());
        return dt.time() == QTime(0, 0) ? date : date + u' ' + dt.time().toString(u"hh:mm:ss"_s);
    }
    case QMetaType::QTime:
        return value.toTime().toString(u"hh:mm:ss"_s);
    case QMetaType::Bool:
        return value.toBool() ? u"True"_s : u"False"_s;
    case QMetaType::QByteArray:
        return u"(BLOB)"_s;
    default:
        return value.toString();
    }
}

QStringList TitleWords(const QString &title)
{
    return title.split(u'|', Qt::SkipEmptyParts);
}

// ---------------------------------------------------------------------------
// The layout file: a small INI reader/writer that keeps the sections it does not touch.

namespace {

struct IniText
{
    QStringList lines;
    QString eol = u"\n"_s;
};

IniText ReadIni(const QString &fileName)
{
    IniText ini;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return ini;
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    if (text.contains(u"\r\n"_s))
        ini.eol = u"\r\n"_s;
    ini.lines = text.split(u'\n');
    if (!ini.lines.isEmpty() && ini.lines.constLast().isEmpty())
        ini.lines.removeLast();
    for (QString &line : ini.lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    return ini;
}

bool SectionName(const QString &line, QString *name)
{
    const QString t = line.trimmed();
    if (!t.startsWith(u'['))
        return false;
    const qsizetype end = t.indexOf(u']');
    if (end < 0)
        return false;
    *name = t.mid(1, end - 1).trimmed();
    return true;
}

using IniEntries = QList<QPair<QString, QString>>;

IniEntries ReadSection(const IniText &ini, const QString &section)
{
    IniEntries entries;
    bool inside = false;
    bool found = false;
    for (const QString &line : ini.lines) {
        QString name;
        if (SectionName(line, &name)) {
            if (found && inside)
                break; // the first section of that name counts
            inside = name.compare(section, Qt::CaseInsensitive) == 0;
            found = found || inside;
            continue;
        }
        if (!inside)
            continue;
        const QString t = line.trimmed();
        if (t.isEmpty() || t.startsWith(u';') || t.startsWith(u'#'))
            continue;
        const qsizetype eq = t.indexOf(u'=');
        if (eq <= 0)
            continue;
        QString value = t.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
            value = value.mid(1, value.size() - 2);
        entries.append({ t.left(eq).trimmed(), value });
    }
    return entries;
}

std::optional<QString> FindEntry(const IniEntries &entries, const QString &key)
{
    for (const auto &e : entries) {
        if (e.first.compare(key, Qt::CaseInsensitive) == 0)
            return e.second;
    }
    return std::nullopt;
}

// Erases the section (wherever it occurs) and writes it again with `entries`, in the place
// of its first occurrence or at the end.
bool WriteSection(const QString &fileName, const QString &section, const IniEntries &entries)
{
    const IniText ini = ReadIni(fileName);
    QStringList out;
    qsizetype insertAt = -1;
    bool skipping = false;
    for (const QString &line : ini.lines) {
        QString name;
        if (SectionName(line, &name)) {
            skipping = name.compare(section, Qt::CaseInsensitive) == 0;
            if (skipping) {
                if (insertAt < 0)
                    insertAt = out.size();
                continue;
            }
        }
        if (!skipping)
            out.append(line);
    }
    QStringList block;
    block.append(u'[' + section + u']');
    for (const auto &e : entries)
        block.append(e.first + u'=' + e.second);
    if (insertAt < 0) {
        if (!out.isEmpty() && !out.constLast().trimmed().isEmpty())
            out.append(QString());
        out.append(block);
    } else {
        if (insertAt < out.size() && !out.at(insertAt).trimmed().isEmpty())
            block.append(QString());
        for (qsizetype i = 0; i < block.size(); ++i)
            out.insert(insertAt + i, block.at(i));
    }

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write((out.join(ini.eol) + ini.eol).toUtf8());
    return file.commit();
}

struct WaitCursor
{
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace

// ---------------------------------------------------------------------------
// The grid

TReportGrid::TReportGrid(QWidget *parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);

    m_model = new TReportGridModel(this);
    m_view = new TReportGridView(this);
    m_header = new TReportHeader(this, m_view);
    m_view->setHorizontalHeader(m_header);
    m_view->setModel(m_model);
    m_view->setItemDelegate(new TStripedDelegate(m_view));
    m_view->setFrameShape(QFrame::NoFrame);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setTabKeyNavigation(false);
    m_view->setWordWrap(false);
    m_view->setSortingEnabled(false);
    m_view->setCornerButtonEnabled(false);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // the grid's own bar sits under the footer
    m_view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_view->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    m_header->setSectionsMovable(true);
    m_header->setSectionsClickable(true);
    m_header->setHighlightSections(false);
    m_header->setStretchLastSection(false);
    m_header->setSectionResizeMode(QHeaderView::Interactive);
    m_header->setSortIndicatorShown(false);
    m_header->setDefaultAlignment(Qt::AlignCenter);
    m_header->setMinimumSectionSize(8);

    m_footer = new TReportFooter(this, this);
    m_hbar = new QScrollBar(Qt::Horizontal, this);
    m_hbar->hide();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_footer);
    layout->addWidget(m_hbar);
    setFocusProxy(m_view);

    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex &current) { OnViewCurrentChanged(current.isValid() ? current.row() : -1); });
    connect(m_view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            Q_EMIT RowDoubleClicked(index.row());
    });
    m_view->Activated = [this] {
        const QModelIndex current = m_view->currentIndex();
        if (current.isValid())
            Q_EMIT RowDoubleClicked(current.row());
    };
    m_view->GeometriesChanged = [this] {
        SyncScrollBar();
        m_footer->update();
    };
    connect(m_header, &QHeaderView::sectionClicked, this, &TReportGrid::OnSectionClicked);
    connect(m_header, &QHeaderView::sectionResized, this, &TReportGrid::OnSectionResized);
    connect(m_header, &QHeaderView::sectionMoved, this, [this] {
        m_header->viewport()->update();
        m_footer->update();
    });
    QScrollBar *inner = m_view->horizontalScrollBar();
    connect(inner, &QScrollBar::rangeChanged, this, [this] { SyncScrollBar(); });
    connect(inner, &QScrollBar::valueChanged, this, [this](int value) {
        m_hbar->setValue(value);
        m_footer->update();
    });
    connect(m_hbar, &QScrollBar::valueChanged, inner, &QScrollBar::setValue);

    ApplyFontMetrics();
}

TReportGrid::~TReportGrid()
{
    DetachQuery();
    // The parts call back into the grid while they go; let them go while the columns exist.
    delete m_view;
    m_view = nullptr;
    delete m_footer;
    m_footer = nullptr;
    delete m_model;
    m_model = nullptr;
}

QTableView *TReportGrid::View() const
{
    return m_view;
}

QHeaderView *TReportGrid::Header() const
{
    return m_header;
}

QWidget *TReportGrid::Footer() const
{
    return m_footer;
}

// --- query -----------------------------------------------------------------

void TReportGrid::SetQuery(TQuery *query)
{
    if (query == m_query)
        return;
    DetachQuery();
    m_query = query;
    m_sortColumn = -1;
    std::fill(m_markers.begin(), m_markers.end(), MarkerNone);
    AttachQuery();
}

TQuery *TReportGrid::Query() const
{
    return m_query;
}

void TReportGrid::AttachQuery()
{
    if (!m_query) {
        OnQueryDestroyed();
        return;
    }
    TQuery *q = m_query;
    m_queryConnections = {
        connect(q, &TQuery::opened, this, &TReportGrid::OnQueryOpened),
        connect(q, &TQuery::closed, this, &TReportGrid::OnQueryClosed),
        connect(q, &TQuery::sorted, this, &TReportGrid::OnQuerySorted),
        connect(q, &TQuery::currentChanged, this, &TReportGrid::OnQueryCurrentChanged),
        connect(q, &QObject::destroyed, this, &TReportGrid::OnQueryDestroyed),
    };
    if (q->isOpen()) {
        OnQueryOpened();
        OnQueryCurrentChanged(q->recNo());
    } else {
        OnQueryClosed();
    }
}

void TReportGrid::DetachQuery()
{
    for (const QMetaObject::Connection &c : std::as_const(m_queryConnections))
        disconnect(c);
    m_queryConnections.clear();
}

void TReportGrid::OnQueryOpened()
{
    ResolveFields();
    InvalidateSums();
    m_syncing = true;
    m_model->SetRows(m_query ? m_query->recordCount() : 0);
    m_syncing = false;
    // Keep the order the user chose by title across refreshes.
    QString name;
    if (m_sortColumn >= 0 && m_sortColumn < ColumnCount() && m_markers.at(m_sortColumn) != MarkerNone
        && SortFieldName(m_sortColumn, &name)) {
        m_query->sort(m_markers.at(m_sortColumn) == MarkerAscending ? name : name + u" DESC"_s);
        m_query->first(); // a fresh result starts on its first row as shown
    }
    m_footer->update();
    m_view->viewport()->update();
}

void TReportGrid::OnQueryClosed()
{
    ResolveFields();
    InvalidateSums();
    m_syncing = true;
    m_model->SetRows(0);
    m_syncing = false;
    m_footer->update();
    Q_EMIT CurrentRowChanged(-1);
}

void TReportGrid::OnQueryDestroyed()
{
    m_queryConnections.clear();
    OnQueryClosed();
}

void TReportGrid::OnQuerySorted()
{
    m_model->RowsReordered();
    m_view->viewport()->update();
}

void TReportGrid::OnQueryCurrentChanged(int row)
{
    SelectRow(row);
    Q_EMIT CurrentRowChanged(row);
}

void TReportGrid::OnViewCurrentChanged(int row)
{
    if (m_syncing || !m_query || row < 0)
        return;
    m_query->setRecNo(row);
}

void TReportGrid::SelectRow(int row)
{
    QItemSelectionModel *selection = m_view->selectionModel();
    m_syncing = true;
    if (row < 0 || row >= m_model->rowCount() || m_model->columnCount() == 0) {
        selection->clear();
    } else {
        const QModelIndex current = selection->currentIndex();
        const int column = current.isValid() && !m_header->isSectionHidden(current.column()) ? current.column()
                                                                                             : FirstVisibleColumn();
        const QModelIndex index = m_model->index(row, column);
        selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_view->scrollTo(index);
    }
    m_syncing = false;
}

int TReportGrid::FirstVisibleColumn() const
{
    for (int v = 0; v < m_header->count(); ++v) {
        const int logical = m_header->logicalIndex(v);
        if (!m_header->isSectionHidden(logical))
            return logical;
    }
    return 0;
}

int TReportGrid::RowCount() const
{
    return m_model->rowCount();
}

int TReportGrid::CurrentRow() const
{
    return m_query ? m_query->recNo() : -1;
}

void TReportGrid::SetCurrentRow(int row)
{
    if (m_query)
        m_query->setRecNo(row);
}

// --- columns ---------------------------------------------------------------

void TReportGrid::ClearColumns()
{
    m_model->BeginResetColumns();
    m_columns.clear();
    m_markers.clear();
    m_fieldIndex.clear();
    m_sums.clear();
    m_sortColumn = -1;
    m_model->EndResetColumns();
    RefreshTitles();
    m_footer->update();
}

void TReportGrid::AddColumn(const TGridColumn &column)
{
    const int index = ColumnCount();
    m_model->BeginAppendColumn();
    m_columns.append(column);
    m_markers.append(MarkerNone);
    m_fieldIndex.push_back(-1);
    m_sums.push_back({});
    m_model->EndAppendColumn();
    ResolveFields();
    ApplyColumn(index);
    RefreshTitles();
    m_footer->update();
    if (!m_view->selectionModel()->currentIndex().isValid() && CurrentRow() >= 0)
        SelectRow(CurrentRow());
}

bool TReportGrid::AddGridColumn(const QString &fieldName, const QString &caption, int width, bool visible,
    TGridColumn::FooterType footer, const QString &displayFormat)
{
    if (!m_query || !m_query->hasField(fieldName))
        return false;
    TGridColumn c;
    c.FieldName = fieldName;
    c.Title = caption;
    c.Width = width;
    c.Visible = visible;
    c.Footer = footer;
    c.DisplayFormat = displayFormat;
    c.Alignment = Qt::AlignCenter;
    c.FooterColor = QColor(0, 0, 255);
    AddColumn(c);
    return true;
}

TGridColumn &TReportGrid::Column(int index)
{
    if (index < 0 || index >= ColumnCount()) {
        m_scratch = TGridColumn();
        return m_scratch;
    }
    return m_columns[index];
}

const TGridColumn &TReportGrid::Column(int index) const
{
    static const TGridColumn none;
    return index < 0 || index >= ColumnCount() ? none : m_columns.at(index);
}

int TReportGrid::ColumnIndexOfField(const QString &field) const
{
    for (int i = 0; i < ColumnCount(); ++i) {
        if (m_columns.at(i).FieldName.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void TReportGrid::UpdateColumns()
{
    ResolveFields();
    InvalidateSums();
    for (int c = 0; c < ColumnCount(); ++c)
        ApplyColumn(c);
    m_model->ColumnsChanged();
    RefreshTitles();
    m_footer->update();
    m_view->viewport()->update();
}

void TReportGrid::SetColumnWidth(int column, int width)
{
    if (column < 0 || column >= ColumnCount() || width < 0)
        return;
    m_columns[column].Width = width;
    ApplyColumn(column);
    m_footer->update();
}

void TReportGrid::SetColumnVisible(int column, bool visible)
{
    if (column < 0 || column >= ColumnCount())
        return;
    m_columns[column].Visible = visible;
    ApplyColumn(column);
    RefreshTitles();
    m_footer->update();
}

void TReportGrid::ApplyColumn(int column)
{
    const TGridColumn &c = m_columns.at(column);
    m_applying = true;
    const int width = std::max(c.Width, 0);
    if (c.Visible) {
        if (m_header->isSectionHidden(column))
            m_header->setSectionHidden(column, false);
        if (m_header->sectionSize(column) != width)
            m_header->resizeSection(column, width);
    } else {
        if (!m_header->isSectionHidden(column)) {
            m_header->resizeSection(column, width);
            m_header->setSectionHidden(column, true);
        }
    }
    m_applying = false;
}

void TReportGrid::OnSectionResized(int logical, int, int newSize)
{
    // Hiding a section reports a size of 0; the column keeps the width it had.
    if (!m_applying && newSize > 0 && logical >= 0 && logical < ColumnCount() && !m_header->isSectionHidden(logical))
        m_columns[logical].Width = newSize;
    m_header->viewport()->update(); // a group title spanning this column is re-centred
    m_footer->update();
}

QList<int> TReportGrid::VisualOrder() const
{
    QList<int> order;
    order.reserve(m_header->count());
    for (int v = 0; v < m_header->count(); ++v)
        order.append(m_header->logicalIndex(v));
    return order;
}

QList<TTitleSpan> TReportGrid::TitleSpans() const
{
    QList<TTitleSpan> spans;
    bool open = false;
    for (int logical : VisualOrder()) {
        if (logical < 0 || logical >= ColumnCount() || m_header->isSectionHidden(logical))
            continue;
        const QStringList words = TitleWords(m_columns.at(logical).Title);
        if (words.size() < 2) {
            open = false;
            continue;
        }
        if (open && spans.constLast().Caption == words.constFirst()) {
            spans.last().Columns.append(logical);
        } else {
            spans.append(TTitleSpan { words.constFirst(), { logical } });
            open = true;
        }
    }
    return spans;
}

int TReportGrid::TitleLevels() const
{
    for (int c = 0; c < ColumnCount(); ++c) {
        if (m_columns.at(c).Visible && TitleWords(m_columns.at(c).Title).size() >= 2)
            return 2;
    }
    return 1;
}

void TReportGrid::RefreshTitles()
{
    m_header->updateGeometry();
    m_header->viewport()->update();
    m_view->RefreshGeometries();
}

void TReportGrid::ApplyFontMetrics()
{
    const int rowHeight = m_view->fontMetrics().height() + 4;
    m_view->verticalHeader()->setMinimumSectionSize(rowHeight);
    m_view->verticalHeader()->setDefaultSectionSize(rowHeight);
    m_footer->updateGeometry();
    RefreshTitles();
}

void TReportGrid::changeEvent(QEvent *event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        ApplyFontMetrics();
}

void TReportGrid::SyncScrollBar()
{
    const QScrollBar *inner = m_view->horizontalScrollBar();
    m_hbar->setRange(inner->minimum(), inner->maximum());
    m_hbar->setPageStep(inner->pageStep());
    m_hbar->setSingleStep(inner->singleStep());
    m_hbar->setValue(inner->value());
    m_hbar->setVisible(inner->maximum() > inner->minimum());
}

// --- cells -----------------------------------------------------------------

void TReportGrid::ResolveFields()
{
    m_fieldIndex.assign(std::size_t(ColumnCount()), -1);
    if (!m_query || !m_query->isOpen())
        return;
    const TRecordSet &rows = m_query->records();
    for (int c = 0; c < ColumnCount(); ++c) {
        if (!m_columns.at(c).RowNumber)
            m_fieldIndex[std::size_t(c)] = rows.fieldIndex(m_columns.at(c).FieldName);
    }
}

QVariant TReportGrid::CellValue(int row, int column) const
{
    if (!m_query || column < 0 || column >= ColumnCount() || row < 0 || row >= RowCount())
        return {};
    if (m_columns.at(column).RowNumber)
        return row + 1;
    const int field = std::size_t(column) < m_fieldIndex.size() ? m_fieldIndex[std::size_t(column)] : -1;
    if (field < 0)
        return {};
    return m_query->records().value(row, field);
}

QString TReportGrid::CellText(int row, int column) const
{
    if (column < 0 || column >= ColumnCount())
        return QString();
    return FormatCellValue(CellValue(row, column), m_columns.at(column).DisplayFormat);
}

void TReportGrid::SetRowColorFunction(std::function<QColor(const TRecordSet &, int)> function)
{
    m_rowColor = std::move(function);
    m_view->viewport()->update();
}

QColor TReportGrid::RowTextColor(int row) const
{
    if (m_rowColor && m_query && row >= 0 && row < RowCount()) {
        const QColor c = m_rowColor(m_query->records(), row);
        if (c.isValid())
            return c;
    }
    return QColor(Qt::black);
}

// --- footer ----------------------------------------------------------------

void TReportGrid::InvalidateSums()
{
    m_sums.assign(std::size_t(ColumnCount()), SumCache {});
}

bool TReportGrid::IsNumericField(int fieldIndex) const
{
    if (!m_query || fieldIndex < 0 || fieldIndex >= m_query->records().fieldCount())
        return false;
    return IsNumericType(m_query->records().field(fieldIndex).type);
}

void TReportGrid::SetFooterText(int column, const QString &text)
{
    if (column < 0 || column >= ColumnCount())
        return;
    m_columns[column].Footer = TGridColumn::FooterStatic;
    m_columns[column].FooterText = text;
    m_footer->update();
}

QVariant TReportGrid::FooterValue(int column) const
{
    if (column < 0 || column >= ColumnCount())
        return {};
    const TGridColumn &c = m_columns.at(column);
    switch (c.Footer) {
    case TGridColumn::FooterNone:
        return {};
    case TGridColumn::FooterStatic:
        return c.FooterText;
    case TGridColumn::FooterCount:
        return RowCount();
    case TGridColumn::FooterSum:
        break;
    }
    const SumCache &s = Sum(column);
    return s.numeric ? QVariant(s.sum) : QVariant();
}

const TReportGrid::SumCache &TReportGrid::Sum(int column) const
{
    if (m_sums.size() != std::size_t(ColumnCount()))
        m_sums.assign(std::size_t(ColumnCount()), SumCache {});
    SumCache &s = m_sums[std::size_t(column)];
    if (s.valid)
        return s;
    s = SumCache { true, true, 0 };
    const int rows = RowCount();
    const int field = m_fieldIndex.at(std::size_t(column));
    if (rows == 0) {
        // no rows: the sum is 0 whatever the field
    } else if (m_columns.at(column).RowNumber) {
        s.sum = double(rows) * double(rows + 1) / 2;
    } else if (!IsNumericField(field)) {
        s.numeric = false;
    } else {
        const TRecordSet &records = m_query->records();
        long double sum = 0;
        for (int r = 0; r < rows; ++r) {
            const QVariant &v = records.fetchedValue(r, field);
            if (!v.isNull())
                sum += v.toDouble();
        }
        s.sum = double(sum);
    }
    return s;
}

QString TReportGrid::FooterDisplayText(int column) const
{
    if (column < 0 || column >= ColumnCount())
        return QString();
    const TGridColumn &c = m_columns.at(column);
    switch (c.Footer) {
    case TGridColumn::FooterNone:
        return QString();
    case TGridColumn::FooterStatic:
        return c.FooterText;
    case TGridColumn::FooterCount:
        return c.DisplayFormat.isEmpty() ? QString::number(RowCount())
                                         : FormatDisplayNumber(RowCount(), c.DisplayFormat);
    case TGridColumn::FooterSum:
        break;
    }
    const SumCache &s = Sum(column);
    if (!s.numeric)
        return QString();
    return FormatDisplayNumber(s.sum, c.DisplayFormat.isEmpty() ? u"0.##"_s : c.DisplayFormat);
}

void TReportGrid::SetFooterVisible(bool visible)
{
    m_footerVisible = visible;
    m_footer->setVisible(visible);
}

QRect TReportGrid::FooterCellRect(int column) const
{
    if (!m_footerVisible)
        return {};
    const QRect r = m_footer->CellRect(column);
    return r.isNull() ? r : r.translated(m_footer->mapTo(this, QPoint(0, 0)));
}

// --- title click and sort --------------------------------------------------

TReportGrid::SortMarker TReportGrid::Marker(int column) const
{
    return column >= 0 && column < ColumnCount() ? m_markers.at(column) : MarkerNone;
}

void TReportGrid::SetMarker(int column, SortMarker marker)
{
    if (column < 0 || column >= ColumnCount())
        return;
    m_markers[column] = marker;
    m_header->viewport()->update();
}

void TReportGrid::OnSectionClicked(int logical)
{
    if (m_header->PressedOnGroup() || logical < 0 || logical >= ColumnCount())
        return;
    Q_EMIT TitleClicked(logical);
    if (m_autoSort)
        SortByTitle(logical);
}

bool TReportGrid::SortFieldName(int column, QString *name) const
{
    if (!m_query || !m_query->isOpen() || column < 0 || column >= ColumnCount() || m_columns.at(column).RowNumber)
        return false;
    const TRecordSet &rows = m_query->records();
    const int field = rows.fieldIndex(m_columns.at(column).FieldName);
    if (field < 0)
        return false;
    const TRecordSet::Field &f = rows.field(field);
    if (f.type == QMetaType::QByteArray || f.name.isEmpty() || f.name.contains(u';'))
        return false;
    *name = f.name;
    return true;
}

void TReportGrid::SortByTitle(int column)
{
    if (column < 0 || column >= ColumnCount())
        return;
    const WaitCursor wait;
    QString name;
    if (!SortFieldName(column, &name))
        return;
    switch (m_markers.at(column)) {
    case MarkerNone:
        m_markers[column] = MarkerAscending;
        m_sortColumn = column;
        m_query->sort(name);
        break;
    case MarkerAscending:
        m_markers[column] = MarkerDescending;
        m_sortColumn = column;
        m_query->sort(name + u" DESC"_s);
        break;
    case MarkerDescending:
        m_markers[column] = MarkerNone;
        m_sortColumn = -1;
        m_query->sort(QString());
        break;
    }
    m_header->viewport()->update();
}

// --- layout file -----------------------------------------------------------

bool TReportGrid::SaveColumnLayout(const QString &iniFile, const QString &section, const QString &gridName) const
{
    IniEntries entries;
    for (int v = 0; v < m_header->count(); ++v) {
        const int logical = m_header->logicalIndex(v);
        if (logical < 0 || logical >= ColumnCount())
            continue;
        const TGridColumn &c = m_columns.at(logical);
        // The sort index belongs to multi-column sorting, which the reports do not use.
        const QStringList fields { QString::number(v), QString::number(c.Width),
            QString::number(int(m_markers.at(logical))), c.Visible ? u"1"_s : u"0"_s, u"0"_s,
            QString::number(c.DropDownRows), QString::number(c.DropDownWidth) };
        entries.append({ gridName + u'.' + c.FieldName, fields.join(u',') });
    }
    return WriteSection(iniFile, section, entries);
}

void TReportGrid::LoadColumnLayout(const QString &iniFile, const QString &section, const QString &gridName)
{
    const IniEntries entries = ReadSection(ReadIni(iniFile), section);
    if (entries.isEmpty())
        return;
    const int n = ColumnCount();
    std::vector<int> position(std::size_t(n), -1);
    for (int c = 0; c < n; ++c) {
        const std::optional<QString> value = FindEntry(entries, gridName + u'.' + m_columns.at(c).FieldName);
        if (!value)
            continue;
        const QStringList parts = value->split(u',');
        const auto number = [&parts](int i) -> std::optional<int> {
            if (i >= parts.size())
                return std::nullopt;
            bool ok = false;
            const int v = parts.at(i).trimmed().toInt(&ok);
            return ok ? std::optional<int>(v) : std::nullopt;
        };
        if (const auto p = number(0); p && *p >= 0 && *p < n)
            position[std::size_t(c)] = *p;
        if (const auto w = number(1); w && *w > 0 && *w <= 32767)
            m_columns[c].Width = *w;
        if (const auto visible = number(3))
            m_columns[c].Visible = *visible != 0;
    }
    for (int c = 0; c < n; ++c)
        ApplyColumn(c);
    // Each column whose stored position is p goes to p, for p from 0 upwards.
    for (int p = 0; p < n; ++p) {
        for (int c = 0; c < n; ++c) {
            if (position[std::size_t(c)] == p && m_header->visualIndex(c) != p)
                m_header->moveSection(m_header->visualIndex(c), p);
        }
    }
    RefreshTitles();
    m_footer->update();
}
