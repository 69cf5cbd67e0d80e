#include "DataModule.h"
#include "GetPayReportFrame.h"
#include "MoneyCustomStatFrame.h"
#include "ReportGrid.h"
#include "ReportStatements.h"
#include "TestSupport.h"
#include "TestSupportGui.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The receivable/payable report and the custom statistics as far as this version shows them.
class TestOtherReports : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void getPayReport();
    void getPayReportForOneUser();
    void statisticsTotals();
    void statisticsGrouping_data();
    void statisticsGrouping();
    void dropGroupComma_data();
    void dropGroupComma();

private:
    QString cell(TReportGrid *grid, const QString &field, int row) const
    {
        return grid->CellText(row, grid->ColumnIndexOfField(field));
    }
    std::unique_ptr<TestSupport::TProgramFolder> m_folder;
    std::unique_ptr<TShareDM> m_dm;
};

void TestOtherReports::init()
{
    m_folder = std::make_unique<TestSupport::TProgramFolder>();
    QString error;
    m_dm = TestSupport::OpenFixture(*m_folder, false, &error);
    QVERIFY2(m_dm, qPrintable(error));
    QVERIFY(TestSupport::LogIn(*m_dm, u"管理员"_s));
}

void TestOtherReports::cleanup()
{
    m_dm.reset();
}

void TestOtherReports::getPayReport()
{
    TFrameGetPayReport frame(*m_dm);
    frame.show();
    frame.RefreshReport();
    TReportGrid *grid = frame.DBGridEh1;
    QCOMPARE(grid->RowCount(), 2);
    frame.ADOQueryGetPayReport.sort(u"GetPaySerial"_s);
    // A receivable of 1000 with 300 and 200 received; a payable of 500 with 120 paid.
    QCOMPARE(cell(grid, u"GetPaySerial"_s, 1), u"DS20090104001"_s);
    QCOMPARE(cell(grid, u"GetSum"_s, 1), u"1,000.00"_s);
    QCOMPARE(cell(grid, u"GetPayMoney"_s, 1), u"500.00"_s);
    QCOMPARE(cell(grid, u"GetPayBalance"_s, 1), u"500.00"_s);
    QCOMPARE(cell(grid, u"PaySum"_s, 0), u"-500.00"_s);
    QCOMPARE(cell(grid, u"GetPayMoney"_s, 0), u"-120.00"_s);
    QCOMPARE(cell(grid, u"GetPayBalance"_s, 0), u"-380.00"_s);
    QCOMPARE(grid->FooterDisplayText(0), u"共 2 条"_s);
    QCOMPARE(grid->FooterDisplayText(grid->ColumnIndexOfField(u"GetPayBalance"_s)), u"120.00"_s);
    QCOMPARE(grid->RowTextColor(1), QColor(0, 0, 255));
    QCOMPARE(grid->RowTextColor(0), QColor(255, 0, 0));

    // The calendar's filter: settlements only up to the day count.
    frame.FilterList.setValue(u"GetPayFilter"_s, u" and GetPayDate <= #2009-01-05#"_s);
    frame.FilterList.setValue(u"MoneyFilter"_s, u" and MoneyDate <= #2009-01-05#"_s);
    frame.RefreshReport();
    frame.ADOQueryGetPayReport.sort(u"GetPaySerial"_s);
    QCOMPARE(cell(grid, u"GetPayBalance"_s, 1), u"700.00"_s);
    QCOMPARE(cell(grid, u"GetPayBalance"_s, 0), u"-500.00"_s);
}

void TestOtherReports::getPayReportForOneUser()
{
    QVERIFY(TestSupport::LogIn(*m_dm, u"出纳"_s));
    TFrameGetPayReport frame(*m_dm);
    frame.RefreshReport();
    // His own payable, with his own settlement only.
    QCOMPARE(frame.DBGridEh1->RowCount(), 1);
    QCOMPARE(cell(frame.DBGridEh1, u"GetPaySerial"_s, 0), u"DF20090105001"_s);
    QCOMPARE(cell(frame.DBGridEh1, u"GetPayMoney"_s, 0), u"-120.00"_s);
}

void TestOtherReports::statisticsTotals()
{
    TFrameCustomStat frame(*m_dm);
    frame.show();
    frame.BuildStatistics();
    TReportGrid *grid = frame.DBGridEh1;
    QCOMPARE(grid->RowCount(), 1);
    QCOMPARE(grid->FooterDisplayText(0), u"共 1 条"_s);
    QCOMPARE(cell(grid, u"SumMoneyIn"_s, 0), u"600"_s);
    QCOMPARE(cell(grid, u"SumMoneyOut"_s, 0), u"170.5"_s);
    QCOMPARE(cell(grid, u"MoneyBalance"_s, 0), u"429.5"_s);
    QCOMPARE(cell(grid, u"SumShouldGet"_s, 0), u"1000"_s);
    QCOMPARE(cell(grid, u"SumRealGet"_s, 0), u"500"_s);
    QCOMPARE(cell(grid, u"SumGetBalance"_s, 0), u"500"_s);
    QCOMPARE(cell(grid, u"SumPayBalance"_s, 0), u"380"_s);
    QCOMPARE(grid->ColumnIndexOfField(u"MoneyBook"_s), -1); // not grouped by book
    QCOMPARE(grid->Column(grid->ColumnIndexOfField(u"SumRealGet"_s)).Title, u"待收记账|实收款"_s);
}

void TestOtherReports::statisticsGrouping_data()
{
    QTest::addColumn<int>("statType");
    QTest::addColumn<QString>("fields");
    QTest::addColumn<QString>("periodField");
    QTest::addColumn<QString>("firstPeriod");
    QTest::addColumn<int>("rows");
    QTest::newRow("by book") << 0 << u",MoneyBook"_s << QString() << QString() << 3;
    QTest::newRow("by day") << 1 << QString() << u"DateStr"_s << u"2009年1月4日"_s << 3;
    QTest::newRow("by week") << 2 << QString() << u"weekStr"_s << u"2009年2周"_s << 1; // 4 January 2009 is a Sunday
    QTest::newRow("by month and customer") << 3 << u",MoneyUser"_s << u"monthStr"_s << u"2009年1月"_s << 4;
    QTest::newRow("by quarter") << 4 << QString() << u"quarterStr"_s << u"2009年第1季"_s << 1;
}

void TestOtherReports::statisticsGrouping()
{
    QFETCH(int, statType);
    QFETCH(QString, fields);
    QFETCH(QString, periodField);
    QFETCH(QString, firstPeriod);
    QFETCH(int, rows);
    TFrameCustomStat frame(*m_dm);
    frame.FilterList.setValue(u"StatType"_s, QString::number(statType));
    frame.FilterList.setValue(u"UserStatField"_s, fields);
    frame.BuildStatistics();
    QVERIFY(!m_dm->QueryFailed());
    QCOMPARE(frame.DBGridEh1->RowCount(), rows);
    if (!periodField.isEmpty()) {
        frame.ADOQueryMoneyStat.sort(periodField);
        QCOMPARE(cell(frame.DBGridEh1, periodField, 0), firstPeriod);
    }
    // Whatever the grouping, the groups add up to the totals.
    double in = 0;
    for (int r = 0; r < frame.DBGridEh1->RowCount(); ++r)
        in += frame.ADOQueryMoneyStat.records().value(r, u"SumMoneyIn"_s).toDouble();
    QCOMPARE(in, 600.0);
    QCOMPARE(frame.DBGridEh1->ColumnIndexOfField(u"year1"_s), -1);
}

void TestOtherReports::dropGroupComma_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("grouping columns only") << u" group by ,MoneyBook,MoneyUser"_s << u" group by MoneyBook,MoneyUser"_s;
    QTest::newRow("period first") << u" group by year(MoneyDate),MoneyBook"_s << u" group by year(MoneyDate),MoneyBook"_s;
    QTest::newRow("blanks before the comma") << u" group by   ,MoneyBook"_s << u" group by   MoneyBook"_s;
    QTest::newRow("no group") << u""_s << u""_s;
}

void TestOtherReports::dropGroupComma()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(ReportStatements::DropGroupComma(text), expected);
    QCOMPARE(ReportStatements::StatGrouping(0, u",MoneyBook"_s).StatGroup, u" group by MoneyBook"_s);
    QCOMPARE(ReportStatements::StatGrouping(1, u",MoneyBook"_s).StatGroup,
             u" group by year(MoneyDate),month(MoneyDate),day(MoneyDate),MoneyBook"_s);
    QCOMPARE(ReportStatements::StatGrouping(0, QString()).StatGroup, QString());
}

QTEST_MAIN(TestOtherReports)
#include "tst_otherreports.moc"
