#pragma once

#include "DisplayFormat.h"

#include <QColor>
#include <QFrame>
#include <QList>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <vector>

class QHeaderView;
class QPalette;
class QScrollBar;
class QTableView;
class TQuery;
class TRecordSet;
class TReportGridModel;
class TReportGridView;
class TReportHeader;
class TReportFooter;

// One column of a report grid.
struct TGridColumn
{
    QString FieldName; // field of the query; a column whose field is missing shows empty cells
    QString Title; // "A|B" is a two-level title: A is shared by adjacent columns
    int Width = 64; // pixels
    bool Visible = true;
    Qt::Alignment Alignment = Qt::AlignCenter; // cells; titles are always centred
    enum FooterType { FooterNone, FooterSum, FooterCount, FooterStatic } Footer = FooterNone;
    QString FooterText; // shown by FooterStatic (the "共 n 条" label), set by the owner
    QString DisplayFormat; // numbers in cells and footer: "" plain, ",#.##", "0.##", "%m", "%.2m"
    QColor FooterColor = Qt::blue;
    bool RowNumber = false; // shows the row's 1-based number in the current order, not a field
    int DropDownRows = 7; // kept only for the layout file
    int DropDownWidth = 0;
};

// An upper title cell: the part before "|" and the visible columns (logical indexes, in their
// on-screen order) that it spans.
struct TTitleSpan
{
    QString Caption;
    QList<int> Columns;
    bool operator==(const TTitleSpan &) const = default;
};

// The striping of the report grids: odd record numbers RGB(166,202,240), even ones the
// tooltip background, a selected row the highlight (active caption) colour.
QColor StripedRowColor(int recordNumber /*1-based*/, bool selected, const QPalette &palette);

// Display text of one stored value: numbers through FormatDisplayNumber, dates as yyyy-MM-dd,
// null as empty text.
QString FormatCellValue(const QVariant &value, const QString &format);
// The words of a title split at "|" (runs of "|" are one separator, empty words dropped).
QStringList TitleWords(const QString &title);

// The program's report grid: a read-only table over a TQuery (rows are read on demand, never
// copied), a title row that may have two levels and shows sort markers, and one footer row
// with sums, counts or fixed texts that stays aligned with the columns.
class TReportGrid : public QFrame
{
    Q_OBJECT
public:
    enum SortMarker { MarkerNone = 0, MarkerDescending = 1, MarkerAscending = 2 }; // layout file values

    explicit TReportGrid(QWidget *parent = nullptr);
    ~TReportGrid() override;

    // The grid follows the query: opened (new rows), closed (no rows), sorted, current row.
    void SetQuery(TQuery *query);
    TQuery *Query() const;

    // Columns by logical index: the order they were added in, whatever the user's moves.
    void ClearColumns();
    void AddColumn(const TGridColumn &column);
    // The shared way of adding a statistics column: nothing (false) when the open query has no
    // such field; otherwise a centred column with a blue footer.
    bool AddGridColumn(const QString &fieldName, const QString &caption, int width, bool visible,
        TGridColumn::FooterType footer, const QString &displayFormat);
    int ColumnCount() const { return int(m_columns.size()); }
    TGridColumn &Column(int index);
    const TGridColumn &Column(int index) const;
    int ColumnIndexOfField(const QString &field) const; // case-insensitive; -1 when none
    // After changing columns through Column(): applies widths, visibility, titles and footers.
    void UpdateColumns();
    void SetColumnWidth(int column, int width);
    void SetColumnVisible(int column, bool visible);
    // Logical indexes in their on-screen order, hidden columns included.
    QList<int> VisualOrder() const;
    // Upper title cells of the two-level titles, left to right.
    QList<TTitleSpan> TitleSpans() const;
    int TitleLevels() const; // 2 when a visible column has a two-level title, else 1

    // Footer row.
    void SetFooterText(int column, const QString &text); // also makes the footer a static text
    QString FooterDisplayText(int column) const; // sums are over the rows shown
    // The footer's value before formatting: the sum (double; null for a field that is not a
    // number), the row count (int), the static text, or null without a footer.
    QVariant FooterValue(int column) const;
    bool FooterVisible() const { return m_footerVisible; }
    void SetFooterVisible(bool visible);
    // Where the footer cell of a column is drawn, in this widget's coordinates (empty when the
    // column is hidden or the footer is off).
    QRect FooterCellRect(int column) const;

    // Cells, rows in the query's current order.
    QVariant CellValue(int row, int column) const;
    QString CellText(int row, int column) const;
    int RowCount() const;
    // Whole-row text colour; the reports colour rows by kind. Default black.
    void SetRowColorFunction(std::function<QColor(const TRecordSet &, int row)> function);
    QColor RowTextColor(int row) const;

    int CurrentRow() const; // the query's current row, -1 when none
    void SetCurrentRow(int row);

    // Title click: TitleClicked is emitted first; then, unless switched off, SortByTitle runs.
    SortMarker Marker(int column) const;
    void SetMarker(int column, SortMarker marker);
    bool AutoSortOnTitleClick() const { return m_autoSort; }
    void SetAutoSortOnTitleClick(bool on) { m_autoSort = on; }
    // Cycles the column's marker none -> ascending -> descending -> none and sorts the open
    // query by its field ("Field", "Field DESC", unsorted). Other columns keep their markers.
    // Nothing happens for a closed query, a missing or blob field, or a row-number column.
    // A re-opened query is sorted again by the column last sorted this way.
    void SortByTitle(int column);

    // Layout file (DBGrid.ini): in `section`, one key "<gridName>.<FieldName>" per column with
    // "position,width,marker,visible,sortIndex,dropDownRows,dropDownWidth". Saving replaces the
    // whole section (other sections are kept); false when the file cannot be written.
    bool SaveColumnLayout(const QString &iniFile, const QString &section, const QString &gridName) const;
    // Restores position, width and visibility; a missing key or a field that is not a number
    // leaves that property as it is. Markers are not restored.
    void LoadColumnLayout(const QString &iniFile, const QString &section, const QString &gridName);

    // The parts, for the owner's fine tuning and for tests.
    QTableView *View() const;
    QHeaderView *Header() const;
    QWidget *Footer() const;

Q_SIGNALS:
    void TitleClicked(int column);
    void RowDoubleClicked(int row); // double click on a data row, or Enter
    void CurrentRowChanged(int row);

protected:
    void changeEvent(QEvent *event) override;

private:
    void AttachQuery();
    void DetachQuery();
    void OnQueryOpened();
    void OnQueryClosed();
    void OnQuerySorted();
    void OnQueryCurrentChanged(int row);
    void OnQueryDestroyed();
    void OnViewCurrentChanged(int row);
    void OnSectionClicked(int logical);
    void OnSectionResized(int logical, int oldSize, int newSize);
    void ResolveFields();
    void InvalidateSums();
    void ApplyColumn(int column);
    void ApplyFontMetrics();
    void RefreshTitles();
    void SyncScrollBar();
    void SelectRow(int row);
    int FirstVisibleColumn() const;
    bool IsNumericField(int fieldIndex) const;
    bool SortFieldName(int column, QString *name) const;

    struct SumCache
    {
        bool valid = false;
        bool numeric = false;
        double sum = 0;
    };

    QList<TGridColumn> m_columns;
    const SumCache &Sum(int column) const;

    QList<SortMarker> m_markers;
    std::vector<int> m_fieldIndex; // per column: field in the query's records, -1 when missing
    mutable std::vector<SumCache> m_sums;
    TGridColumn m_scratch; // what Column() hands out for a bad index
    QPointer<TQuery> m_query;
    QList<QMetaObject::Connection> m_queryConnections;
    std::function<QColor(const TRecordSet &, int)> m_rowColor;

    TReportGridModel *m_model = nullptr;
    TReportGridView *m_view = nullptr;
    TReportHeader *m_header = nullptr;
    TReportFooter *m_footer = nullptr;
    QScrollBar *m_hbar = nullptr;

    int m_sortColumn = -1; // the column last sorted by title, re-applied on re-open
    bool m_syncing = false;
    bool m_applying = false;
    bool m_autoSort = true;
    bool m_footerVisible = true;
};
