#pragma once

// The pieces TReportGrid is made of. Private to the grid; only ReportGrid.cpp includes this.

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QTableView>

#include <functional>

class TReportGrid;

// Rows come from the grid's query on demand; the model only remembers how many rows the views
// were told about, so that removal and insertion notices stay consistent with rowCount().
class TReportGridModel : public QAbstractTableModel
{
public:
    explicit TReportGridModel(TReportGrid *grid);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Replaces all rows: the old ones are removed and the new ones inserted, so the column
    // header keeps its sizes and the user's column order.
    void SetRows(int rows);
    void RowsReordered();
    void BeginAppendColumn();
    void EndAppendColumn();
    void BeginResetColumns();
    void EndResetColumns();
    void ColumnsChanged();

private:
    TReportGrid *m_grid;
    int m_rows = 0;
};

class TReportGridView : public QTableView
{
public:
    explicit TReportGridView(QWidget *parent = nullptr);

    std::function<void()> Activated; // Enter on a row
    std::function<void()> GeometriesChanged; // scroll ranges or viewport size may have changed
    void RefreshGeometries() { updateGeometries(); }

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent *event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(
        const QModelIndex &index, const QEvent *event = nullptr) const override;
    void updateGeometries() override;

private:
    int FirstVisibleColumn() const;
};

// Draws every cell on the striped background and in the row's text colour.
class TStripedDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};

// Title row with two-level titles: adjacent visible columns whose titles share the text
// before "|" get one upper cell; sort markers are drawn at the right of the lower cell.
class TReportHeader : public QHeaderView
{
public:
    explicit TReportHeader(TReportGrid *grid, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    int LineHeight() const;
    // The press that led to the current click was on an upper (group) cell.
    bool PressedOnGroup() const { return m_pressedOnGroup; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void DrawCell(QPainter *painter, const QRect &rect, const QString &text, int marker) const;
    QRect LowerRect(int logicalIndex, const QRect &full, QString *text) const;

    TReportGrid *m_grid;
    bool m_pressedOnGroup = false;
};

// The footer row under the table, drawn at the positions of the header's sections.
class TReportFooter : public QWidget
{
public:
    explicit TReportFooter(TReportGrid *grid, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    // Cell of a column in this widget's coordinates; empty for hidden columns.
    QRect CellRect(int column) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int ViewportLeft() const;

    TReportGrid *m_grid;
};
