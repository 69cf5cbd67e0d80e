#include "SpTBXMonthDate.h"

#include <QLabel>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include <algorithm>
#include <numeric>

using namespace Qt::StringLiterals;

namespace {

// Counts grid refills so a test can tell a refill from a plain store.
class CountingMonthDate : public TSpTBXMonthDate
{
public:
    int fills = 0;

protected:
    void FillGrid() override
    {
        ++fills;
        TSpTBXMonthDate::FillGrid();
    }
};

bool ShowAt(QWidget &w, const QSize &size)
{
    w.resize(size);
    w.show();
    return QTest::qWaitForWindowExposed(&w);
}

void ClickCell(TSpTBXMonthDate &w, int row, int col)
{
    QTest::mouseClick(w.DayGrid(), Qt::LeftButton, {}, w.CellRect(row, col).center());
}

QDate LastSpyDate(const QSignalSpy &spy)
{
    return spy.isEmpty() ? QDate() : spy.last().at(0).toDate();
}

// Every emission of the spy carried `date`.
bool AllReport(const QSignalSpy &spy, const QDate &date)
{
    return std::all_of(
        spy.begin(), spy.end(), [&](const QList<QVariant> &args) { return args.at(0).toDate() == date; });
}

QColor PixelAt(const QImage &image, const QPoint &point)
{
    return image.pixelColor(point * image.devicePixelRatio());
}

} // namespace

class TestMonthDate : public QObject
{
    Q_OBJECT

private slots:
    void startsTodayAndFirstShowReportsIt();
    void firstShowReportsDateSetBeforeIt();
    void gridLayout_data();
    void gridLayout();
    void clickCell_data();
    void clickCell();
    void clickFollowsStartOfSpringInCaption();
    void monthSpinClampsDay_data();
    void monthSpinClampsDay();
    void yearSpinKeepsMonth_data();
    void yearSpinKeepsMonth();
    void spinsRejectTypedText();
    void spinsFollowSetDate();
    void setDateRefillsOnlyForAnotherMonth();
    void setDateReportsTheDate();
    void setDateOutOfRange_data();
    void setDateOutOfRange();
    void yearCaption_data();
    void yearCaption();
    void cellSizes_data();
    void cellSizes();
    void cellsFollowEveryResize();
    void keyboard_data();
    void keyboard();
    void paintsCellBackgrounds_data();
    void paintsCellBackgrounds();
    void rendersAtAnySize_data();
    void rendersAtAnySize();
};

void TestMonthDate::startsTodayAndFirstShowReportsIt()
{
    const QDate before = QDate::currentDate();
    TSpTBXMonthDate w;
    const QDate after = QDate::currentDate();
    QVERIFY(w.Date() == before || w.Date() == after);
    QCOMPARE(w.YearSpin()->value(), w.Date().year());
    QCOMPARE(w.MonthSpin()->value(), w.Date().month());
    QVERIFY(w.YearCaptionLabel()->text().endsWith(u'年'));

    QSignalSpy spy(&w, &TSpTBXMonthDate::DateChanged);
    QVERIFY(ShowAt(w, { 300, 300 }));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(LastSpyDate(spy), w.Date());

    // Only the first show reports.
    w.hide();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(spy.count(), 1);
}

void TestMonthDate::firstShowReportsDateSetBeforeIt()
{
    // Embedded as in the main window: the control is shown with its parent.
    QWidget parent;
    auto *w = new TSpTBXMonthDate(&parent);
    w->SetDate({ 2012, 6, 15 });
    QSignalSpy spy(w, &TSpTBXMonthDate::DateChanged);
    QVERIFY(ShowAt(parent, { 300, 300 }));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(LastSpyDate(spy), QDate(2012, 6, 15));
}

void TestMonthDate::gridLayout_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QPoint>("firstCell"); // (column, row)
    QTest::addColumn<QPoint>("lastCell");
    QTest::addColumn<int>("days");

    QTest::newRow("starts on Sunday") << QDate(2009, 3, 14) << QPoint(0, 1) << QPoint(2, 5) << 31;
    QTest::newRow("February on Sunday fills four rows") << QDate(2015, 2, 10) << QPoint(0, 1) << QPoint(6, 4) << 28;
    QTest::newRow("31 days from Friday") << QDate(2010, 1, 20) << QPoint(5, 1) << QPoint(0, 6) << 31;
    QTest::newRow("31 days from Saturday") << QDate(2011, 1, 1) << QPoint(6, 1) << QPoint(1, 6) << 31;
    QTest::newRow("leap February from Wednesday") << QDate(2012, 2, 29) << QPoint(3, 1) << QPoint(3, 5) << 29;
}

void TestMonthDate::gridLayout()
{
    QFETCH(QDate, date);
    QFETCH(QPoint, firstCell);
    QFETCH(QPoint, lastCell);
    QFETCH(int, days);

    TSpTBXMonthDate w;
    w.SetDate(date);

    const QStringList weekdays = { u"日"_s, u"一"_s, u"二"_s, u"三"_s, u"四"_s, u"五"_s, u"六"_s };
    for (int col = 0; col < 7; ++col)
        QCOMPARE(w.CellText(0, col), weekdays.at(col));

    QCOMPARE(w.CellOfDay(1), firstCell);
    QCOMPARE(w.CellOfDay(days), lastCell);
    QCOMPARE(w.CellOfDay(days + 1), QPoint(-1, -1));
    QCOMPARE(w.CellText(firstCell.y(), firstCell.x()), u"1"_s);

    // Reading order: blanks, then 1..days without a gap, then blanks.
    const int firstIndex = (firstCell.y() - 1) * 7 + firstCell.x();
    for (int k = 0; k < 42; ++k) {
        const int row = k / 7 + 1;
        const int col = k % 7;
        const int day = k - firstIndex + 1;
        const QString expected = (day >= 1 && day <= days) ? QString::number(day) : QString();
        QCOMPARE(w.CellText(row, col), expected);
    }

    QCOMPARE(w.CurrentCell(), w.CellOfDay(date.day()));
    QCOMPARE(w.CellText(-1, 0), QString());
    QCOMPARE(w.CellText(7, 0), QString());
    QCOMPARE(w.CellText(1, 7), QString());
}

void TestMonthDate::clickCell_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QDate>("expected"); // invalid: the click changes nothing

    // January 2010 starts on a Friday; the control starts on the 20th.
    QTest::newRow("day 1") << 1 << 5 << QDate(2010, 1, 1);
    QTest::newRow("day 31 in row 6") << 6 << 0 << QDate(2010, 1, 31);
    QTest::newRow("middle of the month") << 3 << 3 << QDate(2010, 1, 13);
    QTest::newRow("current cell again") << 4 << 3 << QDate(2010, 1, 20);
    QTest::newRow("weekday name") << 0 << 3 << QDate();
    QTest::newRow("weekday name over day 1") << 0 << 5 << QDate();
    QTest::newRow("empty cell before day 1") << 1 << 0 << QDate();
    QTest::newRow("empty cell after the last day") << 6 << 6 << QDate();
}

void TestMonthDate::clickCell()
{
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QDate, expected);

    TSpTBXMonthDate w;
    w.SetDate({ 2010, 1, 20 });
    QVERIFY(ShowAt(w, { 280, 320 }));
    const QPoint currentBefore = w.CurrentCell();
    const QString captionBefore = w.YearCaptionLabel()->text();
    QSignalSpy spy(&w, &TSpTBXMonthDate::DateChanged);

    ClickCell(w, row, col);

    if (!expected.isValid()) {
        QCOMPARE(spy.count(), 0);
        QCOMPARE(w.Date(), QDate(2010, 1, 20));
        QCOMPARE(w.CurrentCell(), currentBefore);
        QCOMPARE(w.YearCaptionLabel()->text(), captionBefore);
        return;
    }
    QCOMPARE(spy.count(), 1);
    QCOMPARE(LastSpyDate(spy), expected);
    QCOMPARE(w.Date(), expected);
    QCOMPARE(w.CurrentCell(), QPoint(col, row));
    QCOMPARE(w.YearSpin()->value(), 2010);
    QCOMPARE(w.MonthSpin()->value(), 1);
}

void TestMonthDate::clickFollowsStartOfSpringInCaption()
{
    TSpTBXMonthDate w;
    w.SetDate({ 2009, 2, 3 });
    QVERIFY(ShowAt(w, { 280, 320 }));
    QCOMPARE(w.YearCaptionLabel()->text(), u"戊子牛年"_s);

    const QPoint cell = w.CellOfDay(4);
    ClickCell(w, cell.y(), cell.x());
    QCOMPARE(w.Date(), QDate(2009, 2, 4));
    QCOMPARE(w.YearCaptionLabel()->text(), u"己丑牛年"_s);
}

void TestMonthDate::monthSpinClampsDay_data()
{
    QTest::addColumn<QDate>("start");
    QTest::addColumn<int>("month");
    QTest::addColumn<QDate>("expected");

    QTest::newRow("leap year") << QDate(2008, 3, 31) << 2 << QDate(2008, 2, 29);
    QTest::newRow("common year") << QDate(2009, 3, 31) << 2 << QDate(2009, 2, 28);
    QTest::newRow("2000 is a leap year") << QDate(2000, 3, 31) << 2 << QDate(2000, 2, 29);
    QTest::newRow("into a 30-day month") << QDate(2009, 5, 31) << 6 << QDate(2009, 6, 30);
    QTest::newRow("day that exists stays") << QDate(2009, 3, 15) << 2 << QDate(2009, 2, 15);
    QTest::newRow("several months at once") << QDate(2009, 1, 31) << 11 << QDate(2009, 11, 30);
}

void TestMonthDate::monthSpinClampsDay()
{
    QFETCH(QDate, start);
    QFETCH(int, month);
    QFETCH(QDate, expected);

    TSpTBXMonthDate w;
    w.SetDate(start);
    QSignalSpy spy(&w, &TSpTBXMonthDate::DateChanged);

    w.MonthSpin()->setValue(month);

    QCOMPARE(w.Date(), expected);
    QVERIFY(spy.count() >= 1);
    QVERIFY(AllReport(spy, expected));
    QCOMPARE(w.CurrentCell(), w.CellOfDay(expected.day()));
    QCOMPARE(w.CellOfDay(expected.daysInMonth() + 1), QPoint(-1, -1));
    QCOMPARE(w.YearSpin()->value(), expected.year());
    QCOMPARE(w.MonthSpin()->value(), month);
}

void TestMonthDate::yearSpinKeepsMonth_data()
{
    QTest::addColumn<QDate>("start");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QDate>("expected");

    QTest::newRow("one up") << QDate(2009, 7, 15) << 1 << QDate(2010, 7, 15);
    QTest::newRow("one down") << QDate(2009, 12, 31) << -1 << QDate(2008, 12, 31);
    QTest::newRow("29 February to a common year") << QDate(2008, 2, 29) << 1 << QDate(2009, 2, 28);
    QTest::newRow("at the top of the range") << QDate(2099, 5, 5) << 1 << QDate(2099, 5, 5);
}

void TestMonthDate::yearSpinKeepsMonth()
{
    QFETCH(QDate, start);
    QFETCH(int, steps);
    QFETCH(QDate, expected);

    TSpTBXMonthDate w;
    w.SetDate(start);

    w.YearSpin()->stepBy(steps); // what the spin's arrow does

    QCOMPARE(w.Date(), expected);
    QCOMPARE(w.YearSpin()->value(), expected.year());
    QCOMPARE(w.MonthSpin()->value(), start.month());
    QCOMPARE(w.CurrentCell(), w.CellOfDay(expected.day()));
}

void TestMonthDate::spinsRejectTypedText()
{
    TSpTBXMonthDate w;
    w.SetDate({ 2009, 7, 15 });
    QVERIFY(ShowAt(w, { 280, 320 }));
    QSignalSpy spy(&w, &TSpTBXMonthDate::DateChanged);

    QTest::keyClicks(w.YearSpin(), u"1999"_s);
    QTest::keyClick(w.YearSpin(), Qt::Key_Return);
    QTest::keyClick(w.MonthSpin(), Qt::Key_Backspace);
    QTest::keyClicks(w.MonthSpin(), u"3"_s);
    QTest::keyClick(w.MonthSpin(), Qt::Key_Return);
    QCOMPARE(w.YearSpin()->value(), 2009);
    QCOMPARE(w.MonthSpin()->value(), 7);
    QCOMPARE(spy.count(), 0);

    // The arrow key still steps.
    QTest::keyClick(w.MonthSpin(), Qt::Key_Up);
    QCOMPARE(w.Date(), QDate(2009, 8, 15));
}

void TestMonthDate::spinsFollowSetDate()
{
    TSpTBXMonthDate w;
    w.SetDate({ 2009, 7, 15 });
    QSignalSpy spy(&w, &TSpTBXMonthDate::DateChanged);

    w.SetDate({ 2011, 3, 31 });

    QCOMPARE(w.YearSpin()->value(), 2011);
    QCOMPARE(w.MonthSpin()->value(), 3);
    // Syncing the spins must not feed back into another date change.
    QCOMPARE(w.Date(), QDate(2011, 3, 31));
    QVERIFY(AllReport(spy, QDate(2011, 3, 31)));
}

void TestMonthDate::setDateRefillsOnlyForAnotherMonth()
{
    CountingMonthDate w;
    w.SetDate({ 2009, 5, 10 });
    w.fills = 0;

    w.SetDate({ 2009, 5, 20 });
    QCOMPARE(w.fills, 0);
    QCOMPARE(w.CurrentCell(), w.CellOfDay(20));

    w.SetDate({ 2010, 5, 20 }); // same month number, another year
    QCOMPARE(w.fills, 1);

    w.SetDate({ 2010, 6, 1 });
    QCOMPARE(w.fills, 2);
    QCOMPARE(w.CellOfDay(1), QPoint(2, 1)); // June 2010 starts on a Tuesday
}

void TestMonthDate::setDateReportsTheDate()
{
    TSpTBXMonthDate w;
    w.SetDate({ 2009, 5, 10 });
    QSignalSpy spy(&w, &TSpTBXMonthDate::DateChanged);

    w.SetDate({ 2009, 5, 10 });
    QVERIFY(spy.count() >= 1);
    QVERIFY(AllReport(spy, QDate(2009, 5, 10)));

    spy.clear();
    w.SetDate({ 2009, 8, 3 });
    QVERIFY(spy.count() >= 1);
    QVERIFY(AllReport(spy, QDate(2009, 8, 3)));
    QCOMPARE(w.property("date").toDate(), QDate(2009, 8, 3));
}

void TestMonthDate::setDateOutOfRange_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QDate>("expected");
    QTest::addColumn<bool>("reported");

    QTest::newRow("invalid") << QDate() << QDate(2009, 5, 10) << false;
    QTest::newRow("before 1980") << QDate(1970, 6, 1) << QDate(1980, 1, 1) << true;
    QTest::newRow("after 2099") << QDate(2150, 6, 1) << QDate(2099, 12, 31) << true;
    QTest::newRow("first day") << QDate(1980, 1, 1) << QDate(1980, 1, 1) << true;
    QTest::newRow("last day") << QDate(2099, 12, 31) << QDate(2099, 12, 31) << true;
}

void TestMonthDate::setDateOutOfRange()
{
    QFETCH(QDate, date);
    QFETCH(QDate, expected);
    QFETCH(bool, reported);

    TSpTBXMonthDate w;
    w.SetDate({ 2009, 5, 10 });
    QSignalSpy spy(&w, &TSpTBXMonthDate::DateChanged);

    w.SetDate(date);

    QCOMPARE(w.Date(), expected);
    QCOMPARE(spy.isEmpty(), !reported);
    QVERIFY(AllReport(spy, expected));
    QCOMPARE(w.YearSpin()->value(), expected.year());
    QVERIFY(!w.YearCaptionLabel()->text().isEmpty());
}

void TestMonthDate::yearCaption_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("caption");

    QTest::newRow("before Start of Spring 2009") << QDate(2009, 1, 20) << u"戊子牛年"_s;
    QTest::newRow("eve of Start of Spring 2009") << QDate(2009, 2, 3) << u"戊子牛年"_s;
    QTest::newRow("Start of Spring 2009") << QDate(2009, 2, 4) << u"己丑牛年"_s;
    QTest::newRow("end of 1985") << QDate(1985, 12, 31) << u"乙丑牛年"_s;
}

void TestMonthDate::yearCaption()
{
    QFETCH(QDate, date);
    QFETCH(QString, caption);

    TSpTBXMonthDate w;
    w.SetDate(date);
    QCOMPARE(w.YearCaptionLabel()->text(), caption);
}

void TestMonthDate::cellSizes_data()
{
    QTest::addColumn<QSize>("gridSize");
    QTest::addColumn<QList<int>>("widths");
    QTest::addColumn<QList<int>>("heights");

    // Widths: a = (W - 6) / 7, the first W - 7a - 7 columns one wider when that is 1..5.
    // Heights: b = (H - 12) / 7, the first H - 7b - 13 rows one taller when that is 1..5.
    QTest::newRow("200x150") << QSize(200, 150) << QList<int> { 28, 28, 28, 28, 27, 27, 27 }
                             << QList<int> { 20, 20, 20, 20, 19, 19, 19 };
    QTest::newRow("196x145 no remainder")
        << QSize(196, 145) << QList<int> { 27, 27, 27, 27, 27, 27, 27 } << QList<int> { 19, 19, 19, 19, 19, 19, 19 };
    QTest::newRow("197x147 remainder 1") << QSize(197, 147) << QList<int> { 28, 27, 27, 27, 27, 27, 27 }
                                         << QList<int> { 20, 19, 19, 19, 19, 19, 19 };
    QTest::newRow("202x151 remainder 5 and -1")
        << QSize(202, 151) << QList<int> { 28, 28, 28, 28, 28, 28, 28 } << QList<int> { 20, 20, 20, 20, 20, 19, 19 };
    QTest::newRow("201x158") << QSize(201, 158) << QList<int> { 28, 28, 28, 28, 28, 27, 27 }
                             << QList<int> { 21, 21, 21, 21, 21, 20, 20 };
    QTest::newRow("narrow 10x70") << QSize(10, 70) << QList<int> { 1, 1, 1, 0, 0, 0, 0 }
                                  << QList<int> { 9, 8, 8, 8, 8, 8, 8 };
}

void TestMonthDate::cellSizes()
{
    QFETCH(QSize, gridSize);
    QFETCH(QList<int>, widths);
    QFETCH(QList<int>, heights);

    TSpTBXMonthDate w;
    QVERIFY(ShowAt(w, { 300, 300 }));
    const int captionHeight = w.height() - w.DayGrid()->height();
    w.resize(gridSize.width(), gridSize.height() + captionHeight);
    QCOMPARE(w.DayGrid()->size(), gridSize);

    for (int i = 0; i < 7; ++i) {
        QCOMPARE(w.ColumnWidth(i), widths.at(i));
        QCOMPARE(w.RowHeight(i), heights.at(i));
    }
    // Cells are laid out left to right and top to bottom with a one-pixel grid line after each.
    QCOMPARE(w.CellRect(0, 0), QRect(0, 0, widths.at(0), heights.at(0)));
    QCOMPARE(w.CellRect(6, 6).topLeft(),
        QPoint(std::accumulate(widths.begin(), widths.end() - 1, 0) + 6,
            std::accumulate(heights.begin(), heights.end() - 1, 0) + 6));
}

void TestMonthDate::cellsFollowEveryResize()
{
    TSpTBXMonthDate w;
    QVERIFY(ShowAt(w, { 300, 300 }));
    const int captionHeight = w.height() - w.DayGrid()->height();

    w.resize(200, 150 + captionHeight);
    QCOMPARE(w.ColumnWidth(6), 27);
    QCOMPARE(w.RowHeight(6), 19);
    w.resize(350, 300 + captionHeight); // a = 49, r = 0; b = 41, r' = 0
    QCOMPARE(w.ColumnWidth(0), 49);
    QCOMPARE(w.RowHeight(0), 41);

    // A click lands on the cell under the pointer after the resize.
    w.SetDate({ 2010, 1, 20 });
    ClickCell(w, 6, 0);
    QCOMPARE(w.Date(), QDate(2010, 1, 31));
}

void TestMonthDate::keyboard_data()
{
    QTest::addColumn<QDate>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<QDate>("expected");

    QTest::newRow("right") << QDate(2009, 3, 14) << int(Qt::Key_Right) << QDate(2009, 3, 15);
    QTest::newRow("right into next month") << QDate(2009, 1, 31) << int(Qt::Key_Right) << QDate(2009, 2, 1);
    QTest::newRow("left into previous month") << QDate(2009, 3, 1) << int(Qt::Key_Left) << QDate(2009, 2, 28);
    QTest::newRow("left into previous year") << QDate(2009, 1, 1) << int(Qt::Key_Left) << QDate(2008, 12, 31);
    QTest::newRow("up") << QDate(2009, 3, 3) << int(Qt::Key_Up) << QDate(2009, 2, 24);
    QTest::newRow("down") << QDate(2009, 3, 28) << int(Qt::Key_Down) << QDate(2009, 4, 4);
    QTest::newRow("home") << QDate(2009, 3, 28) << int(Qt::Key_Home) << QDate(2009, 3, 1);
    QTest::newRow("end") << QDate(2009, 2, 3) << int(Qt::Key_End) << QDate(2009, 2, 28);
    QTest::newRow("page up") << QDate(2009, 3, 31) << int(Qt::Key_PageUp) << QDate(2009, 2, 28);
    QTest::newRow("page down") << QDate(2009, 12, 15) << int(Qt::Key_PageDown) << QDate(2010, 1, 15);
    QTest::newRow("left at the first date") << QDate(1980, 1, 1) << int(Qt::Key_Left) << QDate(1980, 1, 1);
    QTest::newRow("right at the last date") << QDate(2099, 12, 31) << int(Qt::Key_Right) << QDate(2099, 12, 31);
}

void TestMonthDate::keyboard()
{
    QFETCH(QDate, start);
    QFETCH(int, key);
    QFETCH(QDate, expected);

    TSpTBXMonthDate w;
    w.SetDate(start);
    QVERIFY(ShowAt(w, { 280, 320 }));

    QTest::keyClick(w.DayGrid(), Qt::Key(key));

    QCOMPARE(w.Date(), expected);
    QCOMPARE(w.CurrentCell(), w.CellOfDay(expected.day()));
    QCOMPARE(w.YearSpin()->value(), expected.year());
    QCOMPARE(w.MonthSpin()->value(), expected.month());
}

void TestMonthDate::paintsCellBackgrounds_data()
{
    QTest::addColumn<QString>("skin");
    QTest::addColumn<bool>("blue");

    QTest::newRow("Default") << u"Default"_s << true;
    QTest::newRow("Office 2007 Blue") << u"Office 2007 Blue"_s << false;
}

void TestMonthDate::paintsCellBackgrounds()
{
    QFETCH(QString, skin);
    QFETCH(bool, blue);

    TSpTBXMonthDate w;
    w.SetSkinName(skin);
    QCOMPARE(w.SkinName(), skin);
    w.SetDate({ 2009, 5, 13 }); // May 2009 starts on a Friday and ends in row 6
    QVERIFY(ShowAt(w, { 280, 320 }));

    const QImage image = w.grab().toImage();
    QVERIFY(!image.isNull());
    const QPoint origin = w.DayGrid()->geometry().topLeft();
    // Left edge, halfway down: clear of the day number (top) and the day text (bottom).
    auto background = [&](int row, int col) {
        const QRect cell = w.CellRect(row, col).translated(origin);
        return PixelAt(image, { cell.left() + 1, cell.center().y() });
    };

    const QPoint current = w.CurrentCell();
    const QColor selected = blue ? QColor(0, 0, 255) : w.palette().color(QPalette::Active, QPalette::Highlight);
    QCOMPARE(background(current.y(), current.x()), selected);
    const QPoint other = w.CellOfDay(20);
    QCOMPARE(background(other.y(), other.x()), QColor(Qt::white));
    QCOMPARE(background(1, 0), QColor(245, 245, 245)); // empty cell before day 1
    QCOMPARE(background(0, 3), QColor(245, 245, 245)); // weekday name

    // The selection moves with a click and the old cell turns white again.
    ClickCell(w, other.y(), other.x());
    const QImage after = w.grab().toImage();
    const QRect oldCell = w.CellRect(current.y(), current.x()).translated(origin);
    const QRect newCell = w.CellRect(other.y(), other.x()).translated(origin);
    QCOMPARE(PixelAt(after, { oldCell.left() + 1, oldCell.center().y() }), QColor(Qt::white));
    QCOMPARE(PixelAt(after, { newCell.left() + 1, newCell.center().y() }), selected);
}

void TestMonthDate::rendersAtAnySize_data()
{
    QTest::addColumn<QSize>("size");

    QTest::newRow("tiny") << QSize(8, 8);
    QTest::newRow("narrow") << QSize(60, 400);
    QTest::newRow("flat") << QSize(400, 60);
    QTest::newRow("large") << QSize(900, 700);
}

void TestMonthDate::rendersAtAnySize()
{
    QFETCH(QSize, size);

    TSpTBXMonthDate w;
    w.SetDate({ 2017, 7, 23 }); // 闰六月 falls in July 2017, one of the widest day texts
    QVERIFY(ShowAt(w, size));
    const QImage image = w.grab().toImage();
    QVERIFY(!image.isNull());
    QCOMPARE(image.size() / image.devicePixelRatio(), w.size());
}

QTEST_MAIN(TestMonthDate)
#include "tst_monthdate.moc"
