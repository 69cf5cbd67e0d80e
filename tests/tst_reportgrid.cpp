#include "RecordSet.h"
#include "ReportGrid.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Column indexes of the grid MoneyGrid() builds.
enum { ColSerial, ColKind, ColSum, ColIn, ColRemark, ColMissing, ColPhoto, ColNumber };

// Vouchers 1..count (or first..first+count-1). Amounts are not in index order, so a sort shows.
// For 1..5 the amounts are 8, 5, 2, 9, 6 times 100.25; every third voucher is an expense.
TRecordSet MoneyRows(int count, int first = 1)
{
    TRecordSet rs;
    rs.setFields({ { u"MoneyIndex"_s, QMetaType::LongLong, true }, { u"MoneySerial"_s, QMetaType::QString, false },
        { u"MoneyKind"_s, QMetaType::QString, false }, { u"MoneySum"_s, QMetaType::Double, false },
        { u"MoneyIn"_s, QMetaType::Double, false }, { u"MoneyRemark"_s, QMetaType::QString, false },
        { u"Photo"_s, QMetaType::QByteArray, false } });
    for (int i = 0; i < count; ++i) {
        const int n = first + i;
        const bool income = i % 3 != 2;
        const double sum = ((n * 7) % 10 + 1) * 100.25;
        rs.appendRow({ qlonglong(n), u"SZ-%1"_s.arg(n, 3, 10, QChar(u'0')), income ? u"财务收入"_s : u"财务支出"_s, sum,
            income ? sum : 0.0, u"备注%1"_s.arg(n), QByteArray("\x01\x02") });
    }
    return rs;
}

TGridColumn MakeColumn(const QString &field, const QString &title, int width,
    TGridColumn::FooterType footer = TGridColumn::FooterNone, const QString &format = QString())
{
    TGridColumn c;
    c.FieldName = field;
    c.Title = title;
    c.Width = width;
    c.Footer = footer;
    c.DisplayFormat = format;
    return c;
}

void AddMoneyColumns(TReportGrid &grid)
{
    grid.AddColumn(MakeColumn(u"MoneySerial"_s, u"单据编号"_s, 80, TGridColumn::FooterStatic));
    grid.AddColumn(MakeColumn(u"MoneyKind"_s, u"收支种类"_s, 80));
    grid.AddColumn(MakeColumn(u"MoneySum"_s, u"合计"_s, 60, TGridColumn::FooterSum));
    grid.AddColumn(MakeColumn(u"MoneyIn"_s, u"收入"_s, 70, TGridColumn::FooterSum, u",#.##"_s));
    grid.AddColumn(MakeColumn(u"MoneyRemark"_s, u"备注"_s, 100, TGridColumn::FooterSum));
    grid.AddColumn(MakeColumn(u"NoSuchField"_s, u"缺少"_s, 50, TGridColumn::FooterSum));
    grid.AddColumn(MakeColumn(u"Photo"_s, u"图片"_s, 50, TGridColumn::FooterCount));
    TGridColumn number = MakeColumn(u"AutoCalc"_s, u"序号"_s, 40);
    number.RowNumber = true;
    grid.AddColumn(number);
}

bool ShowAt(QWidget &w, const QSize &size)
{
    w.resize(size);
    w.show();
    return QTest::qWaitForWindowExposed(&w);
}

void ClickTitle(TReportGrid &grid, int column, bool upperHalf = false)
{
    QHeaderView *h = grid.Header();
    const QPoint pos(h->sectionViewportPosition(column) + h->sectionSize(column) / 2,
        upperHalf ? h->height() / 4 : h->height() * 3 / 4);
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, pos);
}

// A real double click: press, release, double-click press, release.
void DoubleClick(QWidget *widget, const QPoint &pos)
{
    QTest::mousePress(widget, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, pos);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, pos);
}

QPoint RowPoint(TReportGrid &grid, int row, int column = 0)
{
    return grid.View()->visualRect(grid.View()->model()->index(row, column)).center();
}

QList<int> SelectedRows(TReportGrid &grid)
{
    QList<int> rows;
    for (const QModelIndex &i : grid.View()->selectionModel()->selectedRows())
        rows.append(i.row());
    return rows;
}

QColor PixelAt(const QImage &image, const QPoint &point)
{
    return image.pixelColor(point * image.devicePixelRatio());
}

QString ReadText(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

bool WriteText(const QString &path, const QString &text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text.toUtf8()) >= 0;
}

QList<int> Widths(const TReportGrid &grid)
{
    QList<int> w;
    for (int c = 0; c < grid.ColumnCount(); ++c)
        w.append(grid.Column(c).Width);
    return w;
}

QList<bool> Visibility(const TReportGrid &grid)
{
    QList<bool> v;
    for (int c = 0; c < grid.ColumnCount(); ++c)
        v.append(grid.Column(c).Visible);
    return v;
}

// The three-column layout grid of the layout tests.
void AddLayoutColumns(TReportGrid &grid)
{
    grid.AddColumn(MakeColumn(u"MoneySerial"_s, u"单据编号"_s, 80));
    grid.AddColumn(MakeColumn(u"MoneyDate"_s, u"单据日期"_s, 70));
    grid.AddColumn(MakeColumn(u"MoneySum"_s, u"合计"_s, 60));
}

} // namespace

class TestReportGrid : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsQueryRowsWithoutCopying();
    void cellText_data();
    void cellText();
    void titleWords_data();
    void titleWords();
    void footers();
    void footerStaysAlignedWithColumns();
    void titleClickCyclesMarkersAndSorts();
    void titleClickThatDoesNotSort();
    void reopenKeepsTitleSort();
    void twoLevelTitles();
    void saveLayoutWritesExactSection();
    void saveLayoutToMissingFolderFails();
    void restoreLayoutFromSavedGrid();
    void restoreLayoutBadInput_data();
    void restoreLayoutBadInput();
    void currentRowFollowsQueryAndUser();
    void reopenKeepsRowByBookmarkAndDropsStaleRows();
    void doubleClickAndEnter();
    void stripedRowColor_data();
    void stripedRowColor();
    void renderedStripesAndRowColours();
    void hundredThousandRows();
    void closedEmptyAndDeletedQuery();
    void addGridColumnNeedsField();
};

void TestReportGrid::showsQueryRowsWithoutCopying()
{
    TQuery q;
    TReportGrid grid;
    AddMoneyColumns(grid);
    grid.SetQuery(&q);
    QCOMPARE(grid.RowCount(), 0);

    q.setResult(u"select"_s, MoneyRows(5));
    const QAbstractItemModel *model = grid.View()->model();
    QCOMPARE(model->rowCount(), 5);
    QCOMPARE(model->columnCount(), grid.ColumnCount());
    QCOMPARE(grid.CellText(2, ColSerial), u"SZ-003"_s);
    QCOMPARE(model->data(model->index(2, ColSerial)).toString(), u"SZ-003"_s);
    QCOMPARE(grid.CellText(2, ColKind), u"财务支出"_s);
    QCOMPARE(grid.CellText(0, ColSum), u"802"_s); // 8 * 100.25
    QCOMPARE(grid.CellText(0, ColMissing), QString());
    QCOMPARE(grid.CellText(1, ColPhoto), u"(BLOB)"_s);
    QCOMPARE(grid.CellText(4, ColNumber), u"5"_s);
    QCOMPARE(grid.CellText(5, ColSerial), QString());
    QCOMPARE(grid.CellText(0, 99), QString());
    QCOMPARE(model->headerData(ColIn, Qt::Horizontal).toString(), u"收入"_s);
    QCOMPARE(Qt::Alignment(model->data(model->index(0, ColSum), Qt::TextAlignmentRole).toInt()),
        Qt::Alignment(Qt::AlignCenter));

    // The model reads the query's rows in their current order; row numbers follow the display.
    q.sort(u"MoneySum DESC"_s);
    QCOMPARE(grid.CellText(0, ColSerial), u"SZ-004"_s);
    QCOMPARE(model->data(model->index(0, ColSerial)).toString(), u"SZ-004"_s);
    QCOMPARE(grid.CellText(0, ColNumber), u"1"_s);
}

void TestReportGrid::cellText_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");

    QTest::newRow("grouping") << QVariant(1234.5) << u",#.##"_s << u"1,234.5"_s;
    QTest::newRow("grouping whole") << QVariant(1234.0) << u",#.##"_s << u"1,234"_s;
    QTest::newRow("grouping millions") << QVariant(1234567.891) << u",#.##"_s << u"1,234,567.89"_s;
    QTest::newRow("grouping negative") << QVariant(-1234.5) << u",#.##"_s << u"-1,234.5"_s;
    QTest::newRow("grouping zero") << QVariant(0.0) << u",#.##"_s << u"0"_s;
    QTest::newRow("grouping fraction") << QVariant(0.5) << u",#.##"_s << u"0.5"_s;
    QTest::newRow("grouping integer field") << QVariant(qlonglong(1234)) << u",#.##"_s << u"1,234"_s;
    QTest::newRow("statistics") << QVariant(12.3) << u"0.##"_s << u"12.3"_s;
    QTest::newRow("statistics rounds half up") << QVariant(12.345) << u"0.##"_s << u"12.35"_s;
    QTest::newRow("statistics carries") << QVariant(999.995) << u"0.##"_s << u"1000"_s;
    QTest::newRow("no minus zero") << QVariant(-0.001) << u"0.##"_s << u"0"_s;
    QTest::newRow("fixed decimals round as read") << QVariant(1.005) << u"0.00"_s << u"1.01"_s;
    QTest::newRow("picture") << QVariant(12.0) << u"#,##0.00"_s << u"12.00"_s;
    QTest::newRow("negative section") << QVariant(-5.0) << u"0.00;(0.00)"_s << u"(5.00)"_s;
    QTest::newRow("zero section") << QVariant(0.0) << u"0.00;-0.00;零"_s << u"零"_s;
    QTest::newRow("literal suffix") << QVariant(3.0) << u"0 元"_s << u"3 元"_s;
    QTest::newRow("currency") << QVariant(1234.5) << u"%.2m"_s << u"¥1,234.50"_s;
    QTest::newRow("currency default decimals") << QVariant(1234.5) << u"%m"_s << u"¥1,234.50"_s;
    QTest::newRow("currency negative") << QVariant(-12.0) << u"%.2m"_s << u"-¥12.00"_s;
    QTest::newRow("currency whole yuan") << QVariant(1234.5) << u"%.0m"_s << u"¥1,235"_s;
    QTest::newRow("plain") << QVariant(1234.5) << QString() << u"1234.5"_s;
    QTest::newRow("plain sum artefact") << QVariant(0.1 + 0.2) << QString() << u"0.3"_s;
    QTest::newRow("plain large, no exponent") << QVariant(1e20) << QString() << u"100000000000000000000"_s;
    QTest::newRow("plain small, no exponent") << QVariant(0.000012) << QString() << u"0.000012"_s;
    QTest::newRow("plain integer") << QVariant(qlonglong(-42)) << QString() << u"-42"_s;
    QTest::newRow("text ignores format") << QVariant(u"abc"_s) << u",#.##"_s << u"abc"_s;
    QTest::newRow("null") << QVariant() << u",#.##"_s << QString();
    QTest::newRow("date") << QVariant(QDate(2009, 1, 5)) << QString() << u"2009-01-05"_s;
}

void TestReportGrid::cellText()
{
    QFETCH(QVariant, value);
    QFETCH(QString, format);
    QFETCH(QString, expected);

    TRecordSet rs;
    const auto type = value.isValid() ? QMetaType::Type(value.typeId()) : QMetaType::QString;
    rs.setFields({ { u"V"_s, type, false } });
    rs.appendRow({ value });
    TQuery q;
    q.setResult(u"select"_s, rs);
    TReportGrid grid;
    grid.SetQuery(&q);
    grid.AddColumn(MakeColumn(u"V"_s, u"V"_s, 60, TGridColumn::FooterNone, format));

    QCOMPARE(grid.CellText(0, 0), expected);
    QCOMPARE(grid.View()->model()->data(grid.View()->model()->index(0, 0)).toString(), expected);
}

void TestReportGrid::titleWords_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("words");
    QTest::newRow("one level") << u"合计"_s << QStringList { u"合计"_s };
    QTest::newRow("two levels") << u"财务收支|收入"_s << QStringList { u"财务收支"_s, u"收入"_s };
    QTest::newRow("run of bars") << u"A||B"_s << QStringList { u"A"_s, u"B"_s };
    QTest::newRow("leading bar") << u"|B"_s << QStringList { u"B"_s };
    QTest::newRow("empty") << QString() << QStringList();
}

void TestReportGrid::titleWords()
{
    QFETCH(QString, title);
    QFETCH(QStringList, words);
    QCOMPARE(TitleWords(title), words);
}

void TestReportGrid::footers()
{
    TQuery q;
    TReportGrid grid;
    AddMoneyColumns(grid);
    grid.SetQuery(&q);
    q.setResult(u"select"_s, MoneyRows(5));
    grid.SetFooterText(ColSerial, u"共 5 条"_s);

    QCOMPARE(grid.FooterDisplayText(ColSerial), u"共 5 条"_s);
    QCOMPARE(grid.FooterDisplayText(ColKind), QString()); // no footer
    QCOMPARE(grid.FooterDisplayText(ColSum), u"3007.5"_s); // 30 * 100.25, trimmed "0.##"
    QCOMPARE(grid.FooterDisplayText(ColIn), u"2,807"_s); // expenses count 0; ",#.##"
    QCOMPARE(grid.FooterDisplayText(ColRemark), QString()); // text is not summed
    QCOMPARE(grid.FooterDisplayText(ColMissing), QString());
    QCOMPARE(grid.FooterDisplayText(ColPhoto), u"5"_s); // count
    QCOMPARE(grid.FooterDisplayText(99), QString());
    // Unformatted values for the printed totals and the spreadsheet.
    QCOMPARE(grid.FooterValue(ColSum), QVariant(3007.5));
    QCOMPARE(grid.FooterValue(ColPhoto), QVariant(5));
    QCOMPARE(grid.FooterValue(ColSerial), QVariant(u"共 5 条"_s));
    QVERIFY(grid.FooterValue(ColRemark).isNull());
    QVERIFY(!grid.FooterValue(ColKind).isValid());

    // Sorting does not change the totals; a re-open recomputes them.
    grid.SortByTitle(ColSum);
    QCOMPARE(grid.FooterDisplayText(ColSum), u"3007.5"_s);
    q.setResult(u"select"_s, MoneyRows(2));
    QCOMPARE(grid.FooterDisplayText(ColSum), u"1303.25"_s);
    QCOMPARE(grid.FooterDisplayText(ColIn), u"1,303.25"_s);
    QCOMPARE(grid.FooterDisplayText(ColPhoto), u"2"_s);
    QCOMPARE(grid.FooterDisplayText(ColSerial), u"共 5 条"_s); // the owner's text until it sets a new one

    // The sum of binary fractions shows as the cents it stands for.
    TRecordSet cents;
    cents.setFields({ { u"MoneySum"_s, QMetaType::Double, false } });
    cents.appendRow({ 0.1 });
    cents.appendRow({ 0.2 });
    cents.appendRow({ QVariant() });
    q.setResult(u"select"_s, cents);
    QCOMPARE(grid.FooterDisplayText(ColSum), u"0.3"_s);

    // No rows: sums 0 and count 0, also when the result's fields are untyped.
    TRecordSet empty;
    empty.setFields({ { u"MoneySum"_s, QMetaType::QString, false } });
    q.setResult(u"select"_s, empty);
    QCOMPARE(grid.FooterDisplayText(ColSum), u"0"_s);
    QCOMPARE(grid.FooterDisplayText(ColIn), u"0"_s);
    QCOMPARE(grid.FooterDisplayText(ColPhoto), u"0"_s);
    q.close();
    QCOMPARE(grid.FooterDisplayText(ColSum), u"0"_s);

    // Hidden footer row: no cells to print.
    grid.SetFooterVisible(false);
    QVERIFY(grid.FooterCellRect(ColSum).isNull());
}

void TestReportGrid::footerStaysAlignedWithColumns()
{
    TQuery q;
    TReportGrid grid;
    AddMoneyColumns(grid);
    grid.SetQuery(&q);
    q.setResult(u"select"_s, MoneyRows(5));
    QVERIFY(ShowAt(grid, QSize(300, 200))); // narrower than the columns: scrolls sideways

    QHeaderView *h = grid.Header();
    const auto aligned = [&]() {
        for (int c = 0; c < grid.ColumnCount(); ++c) {
            const QRect footer = grid.FooterCellRect(c);
            if (h->isSectionHidden(c)) {
                if (!footer.isNull())
                    return false;
                continue;
            }
            const int x = h->viewport()->mapTo(&grid, QPoint(h->sectionViewportPosition(c), 0)).x();
            if (footer.x() != x || footer.width() != h->sectionSize(c))
                return false;
        }
        return true;
    };
    QVERIFY(aligned());
    QVERIFY(grid.Footer()->geometry().top() >= grid.View()->geometry().bottom());

    h->resizeSection(ColSerial, 120);
    QCOMPARE(grid.Column(ColSerial).Width, 120); // the user's width is the column's width
    QVERIFY(aligned());
    h->moveSection(h->visualIndex(ColSum), 0);
    QVERIFY(aligned());
    grid.SetColumnVisible(ColKind, false);
    QVERIFY(aligned());

    // The grid's own scroll bar under the footer scrolls the table, the titles and the footer.
    auto *bar = grid.findChild<QScrollBar *>(QString(), Qt::FindDirectChildrenOnly);
    QVERIFY(bar);
    QTRY_VERIFY(bar->isVisible());
    QVERIFY(bar->geometry().top() >= grid.Footer()->geometry().bottom());
    bar->setValue(70);
    QCOMPARE(grid.View()->horizontalScrollBar()->value(), 70);
    QCOMPARE(h->offset(), 70);
    QVERIFY(aligned());
    grid.View()->horizontalScrollBar()->setValue(10);
    QCOMPARE(bar->value(), 10);
    QVERIFY(aligned());

    // Wide enough: no sideways scrolling, no bar.
    grid.resize(900, 200);
    QTRY_VERIFY(!bar->isVisible());
    QVERIFY(aligned());
}

void TestReportGrid::titleClickCyclesMarkersAndSorts()
{
    TQuery q;
    TReportGrid grid;
    AddMoneyColumns(grid);
    grid.SetQuery(&q);
    q.setResult(u"select"_s, MoneyRows(5));
    QVERIFY(ShowAt(grid, QSize(700, 250)));
    grid.SetMarker(ColKind, TReportGrid::MarkerDescending);
    q.setRecNo(0); // SZ-001

    // What the owner sees when the signal arrives: nothing changed yet.
    QList<QPair<int, QString>> seen;
    connect(&grid, &TReportGrid::TitleClicked, this, [&](int column) {
        if (column == ColSum)
            seen.append({ int(grid.Marker(column)), q.sortOrder() });
    });

    struct Step
    {
        TReportGrid::SortMarker marker;
        QString order;
        QString firstSerial;
    };
    const QList<Step> steps { { TReportGrid::MarkerAscending, u"MoneySum"_s, u"SZ-003"_s },
        { TReportGrid::MarkerDescending, u"MoneySum DESC"_s, u"SZ-004"_s },
        { TReportGrid::MarkerNone, QString(), u"SZ-001"_s } };
    TReportGrid::SortMarker before = TReportGrid::MarkerNone;
    QString orderBefore;
    for (const Step &s : steps) {
        ClickTitle(grid, ColSum);
        QCOMPARE(seen.size(), qsizetype(&s - steps.data() + 1));
        QCOMPARE(seen.constLast().first, int(before));
        QCOMPARE(seen.constLast().second, orderBefore);
        QCOMPARE(grid.Marker(ColSum), s.marker);
        QCOMPARE(q.sortOrder(), s.order);
        QCOMPARE(grid.CellText(0, ColSerial), s.firstSerial);
        QCOMPARE(grid.Marker(ColKind), TReportGrid::MarkerDescending); // left as it was
        // The current record stays current; the selection moves with it.
        QCOMPARE(q.fieldText(u"MoneySerial"_s), u"SZ-001"_s);
        QCOMPARE(SelectedRows(grid), QList<int> { q.recNo() });
        before = s.marker;
        orderBefore = s.order;
    }

    // Clicking another column sorts by it and leaves the first one's marker alone.
    ClickTitle(grid, ColSum);
    ClickTitle(grid, ColSerial);
    QCOMPARE(q.sortOrder(), u"MoneySerial"_s);
    QCOMPARE(grid.Marker(ColSum), TReportGrid::MarkerAscending);
    QCOMPARE(grid.Marker(ColSerial), TReportGrid::MarkerAscending);
}

void TestReportGrid::titleClickThatDoesNotSort()
{
    TQuery q;
    TReportGrid grid;
    AddMoneyColumns(grid);
    grid.AddColumn(MakeColumn(u"X"_s, u"组|甲"_s, 60));
    const int group = grid.ColumnCount() - 1;
    grid.SetQuery(&q);
    q.setResult(u"select"_s, MoneyRows(5));
    QVERIFY(ShowAt(grid, QSize(900, 250)));
    QSignalSpy clicked(&grid, &TReportGrid::TitleClicked);

    // Missing field, blob field, row numbers: the signal, but neither marker nor sort.
    for (int column : { int(ColMissing), int(ColPhoto), int(ColNumber) }) {
        ClickTitle(grid, column);
        QCOMPARE(clicked.size(), 1);
        QCOMPARE(clicked.takeFirst().at(0).toInt(), column);
        QCOMPARE(grid.Marker(column), TReportGrid::MarkerNone);
        QCOMPARE(q.sortOrder(), QString());
    }

    // The upper cell of a two-level title is not a title button; its lower cell is.
    ClickTitle(grid, group, true);
    QCOMPARE(clicked.size(), 0);
    ClickTitle(grid, group, false);
    QCOMPARE(clicked.size(), 1);
    clicked.clear();

    // An owner that sorts by itself switches the grid's own sorting off.
    grid.SetAutoSortOnTitleClick(false);
    ClickTitle(grid, ColSum);
    QCOMPARE(clicked.size(), 1);
    QCOMPARE(grid.Marker(ColSum), TReportGrid::MarkerNone);
    QCOMPARE(q.sortOrder(), QString());
    grid.SortByTitle(ColSum);
    QCOMPARE(q.sortOrder(), u"MoneySum"_s);
    clicked.clear();

    // A closed query is not sorted and its markers stay.
    grid.SetAutoSortOnTitleClick(true);
    q.close();
    ClickTitle(grid, ColSerial);
    QCOMPARE(clicked.size(), 1);
    QCOMPARE(grid.Marker(ColSerial), TReportGrid::MarkerNone);
    grid.SortByTitle(-1);
    grid.SortByTitle(99);
}

void TestReportGrid::reopenKeepsTitleSort()
{
    TQuery q;
    TReportGrid grid;
    AddMoneyColumns(grid);
    grid.SetQuery(&q);
    q.setResult(u"select"_s, MoneyRows(5));
    grid.SortByTitle(ColSum);
    grid.SortByTitle(ColSum);
    QCOMPARE(q.sortOrder(), u"MoneySum DESC"_s);

    // A refresh brings new rows in the statement's order; the grid sorts them as its marker says.
    q.setResult(u"select"_s, MoneyRows(5, 6)); // amounts 3, 10, 7, 4, 1 times 100.25
    QCOMPARE(q.sortOrder(), u"MoneySum DESC"_s);
    QCOMPARE(grid.CellText(0, ColSerial), u"SZ-007"_s);
    QCOMPARE(grid.CellText(4, ColSerial), u"SZ-010"_s);
    QCOMPARE(grid.Marker(ColSum), TReportGrid::MarkerDescending);
    QCOMPARE(q.recNo(), 0); // a fresh result starts on the first row shown
    QCOMPARE(SelectedRows(grid), QList<int> { 0 });

    grid.SortByTitle(ColSum); // back to none: the next refresh keeps the statement's order
    q.setResult(u"select"_s, MoneyRows(5, 6));
    QCOMPARE(q.sortOrder(), QString());
    QCOMPARE(grid.CellText(0, ColSerial), u"SZ-006"_s);
}

void TestReportGrid::twoLevelTitles()
{
    TQuery q;
    TRecordSet rs;
    rs.setFields({ { u"SumMoneyIn"_s, QMetaType::Double, false } });
    rs.appendRow({ 1.0 });
    q.setResult(u"select"_s, rs);

    TReportGrid plain;
    AddMoneyColumns(plain);
    const int oneLevel = plain.Header()->sizeHint().height();
    QCOMPARE(plain.TitleLevels(), 1);
    QVERIFY(plain.TitleSpans().isEmpty());

    TReportGrid grid;
    grid.SetQuery(&q);
    const QStringList titles { u"序号"_s, u"财务收支|收入"_s, u"财务收支|支出"_s, u"财务收支|差额"_s,
        u"待收记账|待收款"_s, u"待收记账|实收款"_s, u"备注"_s, u"财务收支|其它"_s };
    for (const QString &t : titles)
        grid.AddColumn(MakeColumn(u"SumMoneyIn"_s, t, 60, TGridColumn::FooterSum, u"0.##"_s));
    QCOMPARE(grid.TitleLevels(), 2);
    QCOMPARE(grid.Header()->sizeHint().height(), 2 * oneLevel);
    const QList<TTitleSpan> designed { { u"财务收支"_s, { 1, 2, 3 } }, { u"待收记账"_s, { 4, 5 } },
        { u"财务收支"_s, { 7 } } };
    QCOMPARE(grid.TitleSpans(), designed);
    QVERIFY(ShowAt(grid, QSize(700, 200)));
    QCOMPARE(grid.Header()->height(), 2 * oneLevel);

    // A column dragged away leaves its group; one dragged next to a same-named group joins it.
    QHeaderView *h = grid.Header();
    h->moveSection(h->visualIndex(2), 7); // visual order 0 1 3 4 5 6 7 2
    const QList<TTitleSpan> moved { { u"财务收支"_s, { 1, 3 } }, { u"待收记账"_s, { 4, 5 } },
        { u"财务收支"_s, { 7, 2 } } };
    QCOMPARE(grid.TitleSpans(), moved);
    QCOMPARE(grid.VisualOrder(), (QList<int> { 0, 1, 3, 4, 5, 6, 7, 2 }));

    // Hidden columns do not break a group: the visible neighbours still share it.
    h->moveSection(h->visualIndex(2), 2);
    grid.SetColumnVisible(6, false);
    const QList<TTitleSpan> hidden { { u"财务收支"_s, { 1, 2, 3 } }, { u"待收记账"_s, { 4, 5 } },
        { u"财务收支"_s, { 7 } } };
    QCOMPARE(grid.TitleSpans(), hidden);
    grid.SetColumnVisible(4, false);
    grid.SetColumnVisible(5, false);
    const QList<TTitleSpan> joined { { u"财务收支"_s, { 1, 2, 3, 7 } } };
    QCOMPARE(grid.TitleSpans(), joined);

    // Without any visible two-level title the title row is one line again.
    for (int c : { 1, 2, 3, 7 })
        grid.SetColumnVisible(c, false);
    QCOMPARE(grid.TitleLevels(), 1);
    QTRY_COMPARE(grid.Header()->height(), oneLevel);
    grid.SetColumnVisible(1, true);
    QTRY_COMPARE(grid.Header()->height(), 2 * oneLevel);
    QCOMPARE(grid.FooterDisplayText(1), u"1"_s);
}

void TestReportGrid::saveLayoutWritesExactSection()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString ini = dir.filePath(u"DBGrid.ini"_s);
    QVERIFY(WriteText(ini,
        u"[GetPayDBGrid]\n"
        "DBGridEh1.GetPaySerial=0,80,0,1,0,7,0\n"
        "\n"
        "[MoneyDBGrid]\n"
        "DBGridEh1.Old=0,10,0,1,0,7,0\n"
        "; note\n"
        "\n"
        "[Other]\n"
        "a=1\n"_s));

    TRecordSet rs;
    rs.setFields({ { u"MoneySerial"_s, QMetaType::QString, false }, { u"MoneyDate"_s, QMetaType::QString, false },
        { u"MoneySum"_s, QMetaType::Double, false } });
    TQuery q;
    q.setResult(u"select"_s, rs);
    TReportGrid grid;
    AddLayoutColumns(grid);
    grid.SetQuery(&q);
    grid.Header()->moveSection(2, 0); // 合计 first
    grid.Header()->resizeSection(1, 90); // the user widened 单据日期
    grid.SetColumnVisible(0, false);
    grid.SortByTitle(2);

    QVERIFY(grid.SaveColumnLayout(ini, u"MoneyDBGrid"_s, u"DBGridEh1"_s));
    const QString expected = u"[GetPayDBGrid]\n"
                             "DBGridEh1.GetPaySerial=0,80,0,1,0,7,0\n"
                             "\n"
                             "[MoneyDBGrid]\n"
                             "DBGridEh1.MoneySum=0,60,2,1,0,7,0\n"
                             "DBGridEh1.MoneySerial=1,80,0,0,0,7,0\n"
                             "DBGridEh1.MoneyDate=2,90,0,1,0,7,0\n"
                             "\n"
                             "[Other]\n"
                             "a=1\n"_s;
    QCOMPARE(ReadText(ini), expected);
    QVERIFY(grid.SaveColumnLayout(ini, u"MoneyDBGrid"_s, u"DBGridEh1"_s));
    QCOMPARE(ReadText(ini), expected);

    // A new file holds just the section.
    const QString fresh = dir.filePath(u"new.ini"_s);
    TReportGrid design;
    AddLayoutColumns(design);
    QVERIFY(design.SaveColumnLayout(fresh, u"GetPayDBGrid"_s, u"DBGridEh1"_s));
    QCOMPARE(ReadText(fresh),
        u"[GetPayDBGrid]\n"
        "DBGridEh1.MoneySerial=0,80,0,1,0,7,0\n"
        "DBGridEh1.MoneyDate=1,70,0,1,0,7,0\n"
        "DBGridEh1.MoneySum=2,60,0,1,0,7,0\n"_s);
}

void TestReportGrid::saveLayoutToMissingFolderFails()
{
    QTemporaryDir dir;
    TReportGrid grid;
    AddLayoutColumns(grid);
    const QString path = dir.filePath(u"no/such/folder/DBGrid.ini"_s);
    QVERIFY(!grid.SaveColumnLayout(path, u"MoneyDBGrid"_s, u"DBGridEh1"_s));
    QVERIFY(!QFile::exists(path));
}

void TestReportGrid::restoreLayoutFromSavedGrid()
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(u"DBGrid.ini"_s);
    TQuery q;
    q.setResult(u"select"_s, MoneyRows(3));

    QList<int> order;
    QList<int> widths;
    {
        TReportGrid user;
        AddMoneyColumns(user);
        user.SetQuery(&q);
        QHeaderView *h = user.Header();
        h->moveSection(h->visualIndex(ColIn), 0);
        h->moveSection(h->visualIndex(ColSerial), 5);
        h->resizeSection(ColRemark, 155);
        user.SetColumnVisible(ColKind, false);
        user.SortByTitle(ColSum);
        order = user.VisualOrder();
        widths = Widths(user);
        QVERIFY(user.SaveColumnLayout(ini, u"MoneyDBGrid"_s, u"DBGridEh1"_s));
        // Another grid's section in the same file is not mixed up with this one.
        TReportGrid other;
        AddMoneyColumns(other);
        other.SetColumnWidth(ColSerial, 33);
        QVERIFY(other.SaveColumnLayout(ini, u"GetPayDBGrid"_s, u"DBGridEh1"_s));
    }

    TReportGrid next;
    AddMoneyColumns(next);
    next.SetQuery(&q);
    next.LoadColumnLayout(ini, u"MoneyDBGrid"_s, u"DBGridEh1"_s);
    QCOMPARE(next.VisualOrder(), order);
    QCOMPARE(Widths(next), widths);
    QCOMPARE(next.Column(ColRemark).Width, 155);
    QCOMPARE(next.Header()->sectionSize(ColRemark), 155);
    QVERIFY(!next.Column(ColKind).Visible);
    QVERIFY(next.Header()->isSectionHidden(ColKind));
    QCOMPARE(next.Marker(ColSum), TReportGrid::MarkerNone); // markers are not restored
    QCOMPARE(q.sortOrder(), u"MoneySum"_s); // (the query is as the first grid left it)

    // A hidden column shown again comes back at its stored width.
    next.SetColumnVisible(ColKind, true);
    QCOMPARE(next.Header()->sectionSize(ColKind), 80);
}

void TestReportGrid::restoreLayoutBadInput_data()
{
    QTest::addColumn<QString>("ini"); // empty: no file
    QTest::addColumn<QList<int>>("order");
    QTest::addColumn<QList<int>>("widths");
    QTest::addColumn<QList<bool>>("visible");

    const QList<int> designOrder { 0, 1, 2 };
    const QList<int> designWidths { 80, 70, 60 };
    const QList<bool> allVisible { true, true, true };
    QTest::newRow("no file") << QString() << designOrder << designWidths << allVisible;
    QTest::newRow("no section") << u"[Other]\nDBGridEh1.MoneySerial=2,10,0,0,0,7,0\n"_s << designOrder << designWidths
                                << allVisible;
    QTest::newRow("missing keys keep the design") << u"[MoneyDBGrid]\nDBGridEh1.MoneyDate=0,99,0,1,0,7,0\n"_s
                                                  << QList<int> { 1, 0, 2 } << QList<int> { 80, 99, 60 } << allVisible;
    QTest::newRow("width not a number") << u"[MoneyDBGrid]\nDBGridEh1.MoneySerial=2,abc,0,0,0,7,0\n"_s
                                        << QList<int> { 1, 2, 0 } << designWidths << QList<bool> { false, true, true };
    QTest::newRow("position not a number") << u"[MoneyDBGrid]\nDBGridEh1.MoneySerial=x,100,0,1,0,7,0\n"_s << designOrder
                                           << QList<int> { 100, 70, 60 } << allVisible;
    QTest::newRow("visible not a number")
        << u"[MoneyDBGrid]\nDBGridEh1.MoneySerial=0,80,0,no,0,7,0\n"_s << designOrder << designWidths << allVisible;
    QTest::newRow("short value") << u"[MoneyDBGrid]\nDBGridEh1.MoneySerial=2,120\n"_s << QList<int> { 1, 2, 0 }
                                 << QList<int> { 120, 70, 60 } << allVisible;
    QTest::newRow("position out of range") << u"[MoneyDBGrid]\nDBGridEh1.MoneySerial=9,100,0,1\n"_s << designOrder
                                           << QList<int> { 100, 70, 60 } << allVisible;
    QTest::newRow("width not positive")
        << u"[MoneyDBGrid]\nDBGridEh1.MoneySerial=0,-5,0,1\nDBGridEh1.MoneyDate=1,0,0,1\n"_s << designOrder
        << designWidths << allVisible;
    QTest::newRow("names without case") << u"[moneydbgrid]\r\ndbgrideh1.moneysum = 0,61,0,1,0,7,0\r\n"_s
                                        << QList<int> { 2, 0, 1 } << QList<int> { 80, 70, 61 } << allVisible;
    QTest::newRow("same position twice") << u"[MoneyDBGrid]\nDBGridEh1.MoneySerial=1,80,0,1\n"
                                            "DBGridEh1.MoneyDate=1,70,0,1\nDBGridEh1.MoneySum=0,60,0,1\n"_s
                                         << QList<int> { 2, 1, 0 } << designWidths << allVisible;
    QTest::newRow("other grid name") << u"[MoneyDBGrid]\nDBGridEh2.MoneySerial=2,10,0,0\n"_s << designOrder
                                     << designWidths << allVisible;
}

void TestReportGrid::restoreLayoutBadInput()
{
    QFETCH(QString, ini);
    QFETCH(QList<int>, order);
    QFETCH(QList<int>, widths);
    QFETCH(QList<bool>, visible);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"DBGrid.ini"_s);
    if (!ini.isEmpty())
        QVERIFY(WriteText(path, ini));
    TReportGrid grid;
    AddLayoutColumns(grid);
    grid.LoadColumnLayout(path, u"MoneyDBGrid"_s, u"DBGridEh1"_s);
    QCOMPARE(grid.VisualOrder(), order);
    QCOMPARE(Widths(grid), widths);
    QCOMPARE(Visibility(grid), visible);
    for (int c = 0; c < grid.ColumnCount(); ++c) {
        QCOMPARE(grid.Header()->isSectionHidden(c), !visible.at(c));
        if (visible.at(c))
            QCOMPARE(grid.Header()->sectionSize(c), widths.at(c));
    }
}

void TestReportGrid::currentRowFollowsQueryAndUser()
{
    TQuery q;
    TReportGrid grid;
    AddMoneyColumns(grid);
    grid.SetQuery(&q);
    QSignalSpy changed(&grid, &TReportGrid::CurrentRowChanged);
    q.setResult(u"select"_s, MoneyRows(40));
    QVERIFY(ShowAt(grid, QSize(700, 250)));
    QCOMPARE(SelectedRows(grid), QList<int> { 0 });
    QCOMPARE(changed.constLast().at(0).toInt(), 0);

    // query -> grid
    q.setRecNo(3);
    QCOMPARE(grid.View()->currentIndex().row(), 3);
    QCOMPARE(SelectedRows(grid), QList<int> { 3 });
    QCOMPARE(grid.CurrentRow(), 3);
    QCOMPARE(changed.constLast().at(0).toInt(), 3);
    q.setRecNo(35); // off screen: scrolled into view
    QVERIFY(grid.View()->viewport()->rect().contains(RowPoint(grid, 35)));

    // user -> query
    q.setRecNo(0);
    QTest::mouseClick(grid.View()->viewport(), Qt::LeftButton, {}, RowPoint(grid, 2, ColSum));
    QCOMPARE(q.recNo(), 2);
    QCOMPARE(SelectedRows(grid), QList<int> { 2 });
    QCOMPARE(changed.constLast().at(0).toInt(), 2);
    QTest::mouseClick(grid.View()->viewport(), Qt::LeftButton, Qt::ControlModifier, RowPoint(grid, 2, ColSum));
    QCOMPARE(SelectedRows(grid), QList<int> { 2 }); // the row cannot be unselected

    QTableView *view = grid.View();
    QTest::keyClick(view, Qt::Key_Down);
    QCOMPARE(q.recNo(), 3);
    QTest::keyClick(view, Qt::Key_Up);
    QCOMPARE(q.recNo(), 2);
    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Left);
    QCOMPARE(q.recNo(), 2);
    QTest::keyClick(view, Qt::Key_End);
    QCOMPARE(q.recNo(), 39);
    QTest::keyClick(view, Qt::Key_Home);
    QCOMPARE(q.recNo(), 0);
    QTest::keyClick(view, Qt::Key_PageDown);
    QVERIFY(q.recNo() > 1);
    const int afterPage = q.recNo();
    QTest::keyClick(view, Qt::Key_PageUp);
    QVERIFY(q.recNo() < afterPage);
    grid.SetCurrentRow(7);
    QCOMPARE(q.recNo(), 7);
    QCOMPARE(SelectedRows(grid), QList<int> { 7 });
}

void TestReportGrid::reopenKeepsRowByBookmarkAndDropsStaleRows()
{
    TQuery q;
    TReportGrid grid;
    AddMoneyColumns(grid);
    grid.SetQuery(&q);
    q.setResult(u"select"_s, MoneyRows(10));
    QVERIFY(ShowAt(grid, QSize(700, 300)));
    q.setRecNo(6);
    const QVariant mark = q.bookmark();
    // The user's arrangement survives every refresh.
    grid.Header()->moveSection(grid.Header()->visualIndex(ColSum), 0);
    grid.Header()->resizeSection(ColKind, 123);
    grid.SetColumnVisible(ColRemark, false);
    const QList<int> order = grid.VisualOrder();

    // The owner's refresh: re-open, then go back to the remembered row.
    q.setResult(u"select"_s, MoneyRows(10));
    QCOMPARE(SelectedRows(grid), QList<int> { 0 });
    QVERIFY(q.gotoBookmark(mark));
    QCOMPARE(SelectedRows(grid), QList<int> { 6 });
    QCOMPARE(grid.View()->currentIndex().row(), 6);
    QCOMPARE(grid.VisualOrder(), order);
    QCOMPARE(grid.Header()->sectionSize(ColKind), 123);
    QVERIFY(grid.Header()->isSectionHidden(ColRemark));

    // Fewer rows: nothing of the old rows remains, the row that is gone is not current.
    q.setResult(u"select"_s, MoneyRows(3));
    QVERIFY(!q.gotoBookmark(mark));
    QCOMPARE(grid.View()->model()->rowCount(), 3);
    QCOMPARE(grid.CellText(5, ColSerial), QString());
    QVERIFY(!grid.View()->model()->data(grid.View()->model()->index(5, ColSerial)).isValid());
    QCOMPARE(grid.View()->rowAt(grid.View()->rowViewportPosition(2) + grid.View()->rowHeight(2) + 2), -1);
    QCOMPARE(SelectedRows(grid), QList<int> { 0 });
    QCOMPARE(grid.FooterDisplayText(ColPhoto), u"3"_s);
    QCOMPARE(grid.VisualOrder(), order);
    QVERIFY(grid.Header()->isSectionHidden(ColRemark));
    grid.View()->viewport()->grab(); // paints without touching rows that are gone
}

void TestReportGrid::doubleClickAndEnter()
{
    TQuery q;
    TReportGrid grid;
    AddMoneyColumns(grid);
    grid.SetQuery(&q);
    q.setResult(u"select"_s, MoneyRows(4));
    QVERIFY(ShowAt(grid, QSize(700, 300)));
    QSignalSpy dbl(&grid, &TReportGrid::RowDoubleClicked);

    DoubleClick(grid.View()->viewport(), RowPoint(grid, 2, ColKind));
    QCOMPARE(dbl.size(), 1);
    QCOMPARE(dbl.takeFirst().at(0).toInt(), 2);
    QCOMPARE(q.recNo(), 2);

    q.setRecNo(1);
    QTest::keyClick(grid.View(), Qt::Key_Return);
    QTest::keyClick(grid.View(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(dbl.size(), 2);
    QCOMPARE(dbl.at(0).at(0).toInt(), 1);
    QCOMPARE(dbl.at(1).at(0).toInt(), 1);
    dbl.clear();

    // Below the last row there is no row to open.
    const QPoint below(RowPoint(grid, 3).x(), grid.View()->rowViewportPosition(3) + 3 * grid.View()->rowHeight(3));
    QVERIFY(grid.View()->viewport()->rect().contains(below));
    DoubleClick(grid.View()->viewport(), below);
    QCOMPARE(dbl.size(), 0);

    q.close();
    QTest::keyClick(grid.View(), Qt::Key_Return);
    QCOMPARE(dbl.size(), 0);
}

void TestReportGrid::stripedRowColor_data()
{
    QTest::addColumn<int>("record");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QColor>("expected");

    const QColor stripe(166, 202, 240);
    const QColor info(255, 255, 225);
    const QColor highlight(10, 36, 106);
    QTest::newRow("first record") << 1 << false << stripe;
    QTest::newRow("second record") << 2 << false << info;
    QTest::newRow("third record") << 3 << false << stripe;
    QTest::newRow("large even") << 100000 << false << info;
    QTest::newRow("selected odd") << 1 << true << highlight;
    QTest::newRow("selected even") << 2 << true << highlight;
}

void TestReportGrid::stripedRowColor()
{
    QFETCH(int, record);
    QFETCH(bool, selected);
    QFETCH(QColor, expected);
    QPalette palette;
    palette.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
    palette.setColor(QPalette::Highlight, QColor(10, 36, 106));
    QCOMPARE(StripedRowColor(record, selected, palette), expected);
}

void TestReportGrid::renderedStripesAndRowColours()
{
    TQuery q;
    TReportGrid grid;
    QPalette palette = grid.palette();
    palette.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
    palette.setColor(QPalette::Highlight, QColor(10, 36, 106));
    grid.setPalette(palette);
    AddMoneyColumns(grid);
    grid.SetRowColorFunction([](const TRecordSet &rows, int row) {
        return rows.value(row, u"MoneyKind"_s).toString() == u"财务收入"_s ? QColor(Qt::blue) : QColor(Qt::red);
    });
    grid.SetQuery(&q);
    q.setResult(u"select"_s, MoneyRows(6));
    QVERIFY(ShowAt(grid, QSize(700, 300)));
    q.setRecNo(0);

    QTableView *view = grid.View();
    const QImage image = view->viewport()->grab().toImage();
    const auto background = [&](int row) {
        return PixelAt(image,
            QPoint(view->columnViewportPosition(ColSerial) + 3,
                view->rowViewportPosition(row) + view->rowHeight(row) / 2));
    };
    QCOMPARE(background(0), QColor(10, 36, 106)); // current row
    QCOMPARE(background(1), QColor(255, 255, 225));
    QCOMPARE(background(2), QColor(166, 202, 240));
    QCOMPARE(background(3), QColor(255, 255, 225));
    // Every cell of a row is striped, not just the first.
    QCOMPARE(
        PixelAt(image,
            QPoint(view->columnViewportPosition(ColRemark) + 3, view->rowViewportPosition(2) + view->rowHeight(2) / 2)),
        QColor(166, 202, 240));

    // Text colour by kind: income rows blue, expense rows (the third) red.
    const QAbstractItemModel *model = view->model();
    QCOMPARE(model->data(model->index(1, ColKind), Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::blue));
    QCOMPARE(model->data(model->index(2, ColSum), Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::red));
    const auto countPixels = [&](int row, auto test) {
        int n = 0;
        const QRect cell = view->visualRect(model->index(row, ColSerial));
        for (int y = cell.top(); y <= cell.bottom(); ++y) {
            for (int x = cell.left(); x <= cell.right(); ++x) {
                if (test(PixelAt(image, QPoint(x, y))))
                    ++n;
            }
        }
        return n;
    };
    const auto reddish = [](const QColor &c) { return c.red() > 150 && c.green() < 90 && c.blue() < 90; };
    const auto bluish = [](const QColor &c) { return c.blue() > 150 && c.red() < 90 && c.green() < 90; };
    QVERIFY(countPixels(2, reddish) > 0);
    QCOMPARE(countPixels(2, bluish), 0);
    QVERIFY(countPixels(1, bluish) > 0);
    QCOMPARE(countPixels(1, reddish), 0);
}

void TestReportGrid::hundredThousandRows()
{
    TQuery q;
    TReportGrid grid;
    AddMoneyColumns(grid);
    grid.SetQuery(&q);
    q.setResult(u"select"_s, MoneyRows(100000));
    QVERIFY(ShowAt(grid, QSize(700, 400)));
    QCOMPARE(grid.RowCount(), 100000);
    QCOMPARE(grid.FooterDisplayText(ColSum), u"55137500"_s); // 10 000 × (1 + … + 10) × 100.25

    QTableView *view = grid.View();
    view->scrollToBottom();
    QTRY_COMPARE(view->verticalScrollBar()->value(), view->verticalScrollBar()->maximum());
    QCOMPARE(view->rowAt(view->viewport()->height() - 2), 99999);
    QCOMPARE(grid.CellText(99999, ColSerial), u"SZ-100000"_s);
    QCOMPARE(grid.CellText(99999, ColNumber), u"100000"_s);
    view->viewport()->grab();

    QTest::keyClick(view, Qt::Key_Home);
    QCOMPARE(q.recNo(), 0);
    QTRY_COMPARE(view->verticalScrollBar()->value(), 0);
    QTest::keyClick(view, Qt::Key_End);
    QCOMPARE(q.recNo(), 99999);
    QCOMPARE(SelectedRows(grid), QList<int> { 99999 });

    // Sorting all rows keeps the current record and shows it.
    const QString serial = q.fieldText(u"MoneySerial"_s);
    grid.SortByTitle(ColSum);
    QCOMPARE(q.fieldText(u"MoneySerial"_s), serial);
    QCOMPARE(SelectedRows(grid), QList<int> { q.recNo() });
    QCOMPARE(grid.CellText(0, ColSum), u"100.25"_s);
    QCOMPARE(grid.CellText(99999, ColSum), u"1002.5"_s);
}

void TestReportGrid::closedEmptyAndDeletedQuery()
{
    auto *q = new TQuery;
    TReportGrid grid;
    AddMoneyColumns(grid);
    QVERIFY(ShowAt(grid, QSize(600, 200)));
    QSignalSpy changed(&grid, &TReportGrid::CurrentRowChanged);

    // Attached when already open: rows and current row at once.
    q->setResult(u"select"_s, MoneyRows(5));
    q->setRecNo(4);
    grid.SetQuery(q);
    QCOMPARE(grid.RowCount(), 5);
    QCOMPARE(SelectedRows(grid), QList<int> { 4 });

    q->close();
    QCOMPARE(grid.RowCount(), 0);
    QCOMPARE(grid.CurrentRow(), -1);
    QCOMPARE(changed.constLast().at(0).toInt(), -1);
    QVERIFY(SelectedRows(grid).isEmpty());
    QCOMPARE(grid.CellText(0, ColSerial), QString());
    QCOMPARE(grid.FooterDisplayText(ColSum), u"0"_s);
    QTest::keyClick(grid.View(), Qt::Key_Down);
    grid.SortByTitle(ColSum);
    QCOMPARE(grid.Marker(ColSum), TReportGrid::MarkerNone);
    grid.grab();

    // An empty result.
    TRecordSet none = MoneyRows(0);
    q->setResult(u"select"_s, none);
    QCOMPARE(grid.RowCount(), 0);
    QCOMPARE(grid.FooterDisplayText(ColIn), u"0"_s);
    QTest::keyClick(grid.View(), Qt::Key_End);
    grid.grab();

    // The query goes away under the grid.
    q->setResult(u"select"_s, MoneyRows(5));
    QCOMPARE(grid.RowCount(), 5);
    delete q;
    QCOMPARE(grid.Query(), nullptr);
    QCOMPARE(grid.RowCount(), 0);
    QCOMPARE(grid.CellText(0, ColSerial), QString());
    grid.grab();

    TQuery other;
    other.setResult(u"select"_s, MoneyRows(2));
    grid.SetQuery(&other);
    QCOMPARE(grid.RowCount(), 2);
    grid.SetQuery(nullptr);
    QCOMPARE(grid.RowCount(), 0);
    other.setRecNo(1); // no longer followed
    QVERIFY(SelectedRows(grid).isEmpty());
}

void TestReportGrid::addGridColumnNeedsField()
{
    TQuery q;
    TReportGrid grid;
    QVERIFY(!grid.AddGridColumn(u"MoneySum"_s, u"合计"_s, 60, true, TGridColumn::FooterSum, u"0.##"_s));
    grid.SetQuery(&q);
    q.setResult(u"select"_s, MoneyRows(3));
    QVERIFY(!grid.AddGridColumn(u"weekStr"_s, u"周"_s, 80, true, TGridColumn::FooterNone, QString()));
    QCOMPARE(grid.ColumnCount(), 0);
    QVERIFY(grid.AddGridColumn(u"MoneySum"_s, u"财务收支|收入"_s, 60, false, TGridColumn::FooterSum, u"0.##"_s));
    QCOMPARE(grid.ColumnCount(), 1);
    const TGridColumn &c = grid.Column(0);
    QCOMPARE(c.Alignment, Qt::Alignment(Qt::AlignCenter));
    QCOMPARE(c.FooterColor, QColor(0, 0, 255));
    QVERIFY(!c.Visible);
    QVERIFY(grid.Header()->isSectionHidden(0));
    QCOMPARE(grid.ColumnIndexOfField(u"moneysum"_s), 0);
    QCOMPARE(grid.ColumnIndexOfField(u"x"_s), -1);
    QCOMPARE(grid.FooterDisplayText(0), u"1503.75"_s); // (8 + 5 + 2) × 100.25
    QCOMPARE(grid.Column(5).FieldName, QString()); // a bad index is harmless
}

QTEST_MAIN(TestReportGrid)
#include "tst_reportgrid.moc"
