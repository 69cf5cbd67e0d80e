#pragma once

#include <QDate>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

#include <array>

class QLabel;
class QSpinBox;
class TMonthDayGrid;

// Month calendar: a caption bar (year caption, year and month spins) over a 7×7 day grid whose
// cells show the day number and its Chinese calendar text. The week starts on Sunday.
//
// Date changes are reported through DateChanged:
// - SetDate reports the date twice (once when the day's cell is selected, once at the end);
//   listeners must tolerate the repeat.
// - A click on a day cell reports once; a click on a weekday name or an empty cell reports nothing.
// - The first show reports the date once, so a listener connected after construction still gets
//   the starting date (today) without calling Date() itself.
//
// Dates are kept within 1980-01-01 .. 2099-12-31 (the year spin's range, inside the Chinese
// calendar's); SetDate clamps a date outside it and ignores an invalid one.
//
// The spins follow every SetDate (programmatic, spin or keyboard). A click never needs them to:
// it only picks a day of the month already shown.
//
// Keys on the grid: arrows move by a day or a week, Home/End go to the month's first/last day,
// PageUp/PageDown move by a month; all of them go through SetDate.
class TSpTBXCustomMonthDate : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QDate date READ Date WRITE SetDate NOTIFY DateChanged)

public:
    explicit TSpTBXCustomMonthDate(QWidget *parent = nullptr);
    ~TSpTBXCustomMonthDate() override;

    QDate Date() const { return m_date; }
    void SetDate(const QDate &date);

    static QDate FirstDate();
    static QDate LastDate();

    // The main window passes the toolkit theme's name; "Default" paints the current day solid blue,
    // any other theme uses the palette's highlight colour.
    QString SkinName() const { return m_skinName; }
    void SetSkinName(const QString &name);

    // Grid access, rows 0..6 (0 = weekday names) and columns 0..6 (0 = Sunday). Out-of-range
    // cells give an empty text and an empty rectangle.
    QString CellText(int row, int col) const;
    // Cell holding `day` of the shown month as (x = column, y = row); (-1, -1) when none does.
    QPoint CellOfDay(int day) const;
    // (x = column, y = row) of the current (selected) cell.
    QPoint CurrentCell() const { return { m_curCol, m_curRow }; }
    // In DayGrid() coordinates, without the grid line that follows the cell.
    QRect CellRect(int row, int col) const;
    int ColumnWidth(int col) const;
    int RowHeight(int row) const;

    QWidget *DayGrid() const;
    QLabel *YearCaptionLabel() const { return m_lblYear; }
    QSpinBox *YearSpin() const { return m_seYear; }
    QSpinBox *MonthSpin() const { return m_seMonth; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void DateChanged(const QDate &date);

protected:
    // Rewrites the weekday row and the day numbers for Date()'s month.
    virtual void FillGrid();
    // Recomputes column widths and row heights from the grid's client size.
    virtual void SizeCells();
    // A click or a programmatic pick of a cell. Accepted only for a cell of rows 1..6 holding a day
    // number: Date becomes that day and DateChanged is raised. Returns whether it was accepted.
    bool SelectCell(int row, int col);

    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    friend class TMonthDayGrid;

    void OnSpinChanged();
    void SyncSpins();
    void FitSpinWidths();
    void UpdateCaption();
    void PaintGrid(QPainter &painter, const QRect &dirty) const;
    void PaintCell(QPainter &painter, int row, int col) const;
    bool CellAt(const QPoint &pos, int *row, int *col) const;
    bool HandleGridKey(int key);

    QDate m_date;
    QString m_skinName;
    std::array<std::array<QString, 7>, 7> m_cells; // [row][col]
    std::array<int, 7> m_colWidths {};
    std::array<int, 7> m_rowHeights {};
    int m_curRow = 1;
    int m_curCol = 0;
    bool m_firstShowReported = false;

    QLabel *m_lblYear = nullptr;
    QSpinBox *m_seYear = nullptr;
    QSpinBox *m_seMonth = nullptr;
    TMonthDayGrid *m_grid = nullptr;
};

class TSpTBXMonthDate : public TSpTBXCustomMonthDate
{
    Q_OBJECT

public:
    explicit TSpTBXMonthDate(QWidget *parent = nullptr);
};
